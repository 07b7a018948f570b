#include "gui/session/session_connection.h"

#include "gui/app/text_codec.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstring>
#include <utility>

namespace zek {

SessionConnection::SessionConnection(LogFn log, TargetFn target, TcpTransport::Factory transport,
                                     QObject* parent)
    : QObject(parent), m_log(std::move(log)), m_target(std::move(target)), m_factory(std::move(transport)) {
    // Until a PC interface is chosen the socket is one that was never opened, so a send
    // fails with the platform's own error number.
    createSocket(0);
}

SessionConnection::~SessionConnection() {
    if (m_socket)
        m_socket->close();
}

void SessionConnection::createSocket(std::uint32_t interfaceAddress) {
    // The interface selector is locked during a session; a program call still must not
    // leave a session on a socket that is going away.
    if (m_state != SessionState::Idle)
        GoIdle();
    if (m_socket) {
        m_socket->close();
        m_socket->deleteLater();
    }
    m_socket = m_factory(
        interfaceAddress, [this](TcpTransport::Event event, int error) { onSocketEvent(event, error); },
        this);
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
    if (!m_socket->bind()) {
        logError("on socket Bind", m_socket->lastError());
        GoIdle();
        return;
    }
    if (!m_socket->connectTo(target.address, target.port)) {
        logError("while connecting", m_socket->lastError());
        GoIdle();
    }
}

void SessionConnection::onSocketEvent(TcpTransport::Event event, int error) {
    switch (event) {
    case TcpTransport::Event::Readable:
        if (error != 0)
            logError("while reading", error);
        else if (receive())
            emit linesCompleted();
        break;
    case TcpTransport::Event::Writable:
        if (error != 0)
            logError("writing data", error);
        break;
    case TcpTransport::Event::Connected:
        if (m_state != SessionState::Connecting)
            break;
        if (error != 0) {
            logError("while connecting", error);
            GoIdle();
        } else {
            enter(SessionState::Connected);
        }
        break;
    case TcpTransport::Event::Closed:
        if (error != 0)
            logError("closing socket", error);
        GoIdle();
        break;
    }
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
    while (generation == m_sessionGeneration && m_socket && lines < kLinesPerPass) {
        if (lines > 0 && lines % kLinesPerClockLook == 0 && clock.nsecsElapsed() >= kPassNs)
            break;
        if (m_readAt == m_readEnd) {
            std::size_t received = 0;
            if (reads == kReadsPerNotification ||
                m_socket->read(m_read, received) != TcpTransport::ReadResult::Data)
                break;
            ++reads;
            m_readAt = 0;
            m_readEnd = received;
            m_bytesReceived += std::uint32_t(received);
            emit rxActivity();
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
            onSocketEvent(TcpTransport::Event::Readable, 0);
    });
}

int SessionConnection::SendText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!m_socket->write(std::span(bytes, text.size()))) {
        logError("writing data", m_socket->lastError());
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
    m_socket->close();
    enter(SessionState::Idle);
}

void SessionConnection::logError(const char* what, int error) {
    m_log(QStringLiteral("ZEKConfig: TCP/IP Error %1 (Winsock:%2)").arg(QLatin1String(what)).arg(error, 5));
}

} // namespace zek
