#include "gui/session/session_connection.h"

#include "gui/app/socket_notifier.h"
#include "gui/app/text_codec.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstring>
#include <utility>

namespace zek {

SessionConnection::SessionConnection(LogFn log, TargetFn target, net::StreamSocketFactory socket,
                                     QObject* parent)
    : QObject(parent), m_log(std::move(log)), m_target(std::move(target)), m_factory(std::move(socket)),
      m_watch(new SocketWatch(this)) {
    connect(m_watch, &SocketWatch::readable, this, &SessionConnection::onReadable);
    connect(m_watch, &SocketWatch::writable, this, &SessionConnection::onWritable);
    // Until a PC interface is chosen the socket is one that was never opened, so a send
    // fails with the platform's own error number.
    createSocket(0);
}

SessionConnection::~SessionConnection() {
    closeSocket();
}

void SessionConnection::createSocket(std::uint32_t interfaceAddress) {
    // The interface selector is locked during a session; a program call still must not
    // leave a session on a socket that is going away.
    if (m_state != SessionState::Idle)
        GoIdle();
    if (m_socket)
        closeSocket();
    m_socket = m_factory();
    m_interfaceAddress = interfaceAddress;
}

void SessionConnection::ToggleConnection() {
    switch (m_state) {
    case SessionState::Idle: {
        // The Connect button is enabled only with a module selected; a press from the
        // program without one has nothing to connect to.
        const std::optional<ConnectTarget> target = m_target();
        if (!target) {
            m_log(QStringLiteral("ZEKConfig: No module selected, nothing to connect to"));
            return;
        }
        enter(SessionState::LookingUp);
        // The host text is the module's address in dotted form, so no name lookup is
        // needed: straight on to connecting.
        enter(SessionState::Connecting);
        runConnect(*target);
        break;
    }
    case SessionState::LookingUp:
    case SessionState::Connecting:
        GoIdle();
        break;
    case SessionState::Connected:
        m_socket->shutdownBoth();
        GoIdle();
        break;
    }
}

void SessionConnection::runConnect(ConnectTarget target) {
    if (!m_socket->open()) {
        logError("creating socket", m_socket->lastError());
        GoIdle();
        return;
    }
    if (!m_socket->bind(m_interfaceAddress)) {
        logError("on socket Bind", m_socket->lastError());
        GoIdle();
        return;
    }
    if (!m_socket->startConnect(target.address, target.port)) {
        logError("while connecting", m_socket->lastError());
        GoIdle();
        return;
    }
    // Also a connect that completed at once reports through write readiness, as every other
    // does: on the next turn of the loop.
    m_connecting = true;
    m_watch->watch(m_socket->handle());
    m_watch->setWriteEnabled(true);
    if (net::connectEndedAtOnce(*m_socket))
        QTimer::singleShot(0, this, [this, generation = m_sessionGeneration] {
            if (generation == m_sessionGeneration && m_connecting)
                completeConnect();
        });
}

void SessionConnection::completeConnect() {
    m_connecting = false;
    const int error = m_socket->connectError();
    m_watch->setReadEnabled(error == 0);
    m_watch->setWriteEnabled(error == 0 && m_queue.waiting());
    if (m_state != SessionState::Connecting)
        return;
    if (error != 0) {
        logError("while connecting", error);
        GoIdle();
    } else {
        enter(SessionState::Connected);
    }
}

void SessionConnection::onWritable() {
    if (!m_socket->isOpen())
        return;
    if (m_connecting) {
        completeConnect();
        return;
    }
    int error = 0;
    const net::SendQueue::Status status = m_queue.flush(*m_socket, error);
    m_watch->setWriteEnabled(status == net::SendQueue::Status::Waiting);
    if (status == net::SendQueue::Status::Failed)
        logError("writing data", error);
}

void SessionConnection::onReadable() {
    if (receive())
        emit linesCompleted();
}

bool SessionConnection::readSome() {
    if (m_ended || !m_socket->isOpen())
        return false;
    std::size_t received = 0;
    switch (m_socket->read(m_read, received)) {
    case net::StreamSocket::ReadResult::Data:
        m_readAt = 0;
        m_readEnd = received;
        m_bytesReceived += std::uint32_t(received);
        emit rxActivity();
        return true;
    case net::StreamSocket::ReadResult::WouldBlock:
        return false;
    case net::StreamSocket::ReadResult::Failed:
        logError("while reading", m_socket->lastError());
        return false;
    case net::StreamSocket::ReadResult::Ended:
        break;
    }
    // Nothing more will come, so the read readiness would only repeat itself until the
    // socket is closed.
    m_ended = true;
    m_watch->setReadEnabled(false);
    closeLater(m_socket->lastError());
    return false;
}

void SessionConnection::closeLater(int error) {
    QTimer::singleShot(0, this, [this, error, generation = m_sessionGeneration] {
        if (generation != m_sessionGeneration || !m_socket->isOpen())
            return;
        if (error != 0)
            logError("closing socket", error);
        GoIdle();
    });
}

bool SessionConnection::receive() {
    const unsigned generation = m_sessionGeneration;
    const auto onLine = [&](std::string_view line) {
        m_log(QStringLiteral("RCV: ") + fromModuleText(line));
        emit lineReceived(QByteArray(line.data(), qsizetype(line.size())));
        return generation == m_sessionGeneration;
    };
    QElapsedTimer clock;
    clock.start();
    int lines = 0;
    int reads = 0;
    while (generation == m_sessionGeneration && lines < kLinesPerPass) {
        if (lines > 0 && lines % kLinesPerClockLook == 0 && clock.nsecsElapsed() >= kPassNs)
            break;
        if (m_readAt == m_readEnd) {
            if (reads == kReadsPerNotification || !readSome())
                break;
            ++reads;
        }
        // One line at a time, so that the pass can stop between any two lines.
        const auto* begin = m_read.data() + m_readAt;
        const auto* cr = static_cast<const std::uint8_t*>(std::memchr(begin, '\r', m_readEnd - m_readAt));
        const std::size_t size = cr ? std::size_t(cr - begin) + 1 : m_readEnd - m_readAt;
        m_readAt += size;
        lines += int(m_lines.feed(std::span(begin, size), onLine));
    }
    if (generation == m_sessionGeneration && m_readAt < m_readEnd)
        resumeLater();
    return lines > 0;
}

void SessionConnection::resumeLater() {
    if (std::exchange(m_resumePending, true))
        return;
    QTimer::singleShot(0, this, [this, generation = m_sessionGeneration] {
        m_resumePending = false;
        if (generation == m_sessionGeneration)
            onReadable();
    });
}

int SessionConnection::SendText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    int error = 0;
    switch (m_queue.write(*m_socket, std::span(bytes, text.size()), m_connecting, error)) {
    case net::SendQueue::Status::Sent:
        break;
    case net::SendQueue::Status::Waiting:
        m_watch->setWriteEnabled(true);
        break;
    case net::SendQueue::Status::Failed:
        logError("writing data", error);
        return -1;
    }
    m_bytesSent += std::uint32_t(text.size());
    m_log(QStringLiteral("SND: ") + fromModuleText(text));
    return 0;
}

void SessionConnection::enter(SessionState state) {
    m_state = state;
    if (const std::string_view line = stateEntry(state).logLine; !line.empty())
        m_log(QString::fromLatin1(line.data(), qsizetype(line.size())));
    emit stateEntered(state);
}

void SessionConnection::GoIdle() {
    ++m_sessionGeneration;
    m_lines.clear();
    m_readAt = m_readEnd = 0;
    closeSocket();
    enter(SessionState::Idle);
}

void SessionConnection::closeSocket() {
    m_watch->stop();
    m_socket->close();
    m_queue.clear();
    m_connecting = false;
    m_ended = false;
}

void SessionConnection::logError(const char* what, int error) {
    m_log(QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)").arg(QLatin1String(what)).arg(error, 5));
}

} // namespace zek
