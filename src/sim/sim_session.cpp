#include "sim/sim_session.h"

#include "sim/sim_platform.h"

#include <QTcpSocket>

namespace zek {

namespace {

constexpr qint64 kReadChunk = 16 * 1024;

QString endpointText(const QHostAddress& address, quint16 port) {
    if (address.isNull())
        return QStringLiteral("(gone)");
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return QStringLiteral("%1:%2").arg(isIpv4 ? QHostAddress(ipv4).toString() : address.toString()).arg(port);
}

} // namespace

SimSession::SimSession(QTcpSocket* socket, SimModule& module, const FleetOptions& options, QObject* parent)
    : QObject(parent), m_socket(socket), m_module(module), m_options(options), m_stream(module, [&options] {
          return options.hostClock ? options.hostClock() : QDateTime::currentDateTimeUtc();
      }) {
    m_socket->setParent(this);
    m_peerText = endpointText(m_socket->peerAddress(), m_socket->peerPort());
    m_localText = endpointText(m_socket->localAddress(), m_socket->localPort());
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &SimSession::pump);
    connect(m_socket, &QTcpSocket::readyRead, this, &SimSession::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &SimSession::end);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            end();
    });
}

SimSession::~SimSession() {
    abandon();
}

void SimSession::closeInOrder() {
    if (m_finished)
        return;
    m_steps.clear();
    m_pause.stop();
    m_socket->disconnectFromHost();
}

void SimSession::abandon() {
    m_finished = true;
    m_pause.stop();
    m_steps.clear();
    m_socket->disconnect(this);
    m_socket->abort();
}

void SimSession::readAvailable() {
    // One chunk per turn of the event loop: a peer that sends megabytes of commands gets
    // them answered in turns with every other connection, not before them. What is left
    // in Qt's buffer brings no new notification, so the next turn is queued here. (A
    // capped read buffer that fills up would stop the notifications.)
    if (m_finished || m_socket->bytesAvailable() <= 0)
        return;
    const QByteArray chunk = m_socket->read(kReadChunk);
    if (chunk.isEmpty())
        return;
    emit bytesReceived(chunk);
    for (const SimCommandLine& line : m_stream.take(chunk)) {
        if (m_finished)
            return;
        handleLine(line);
    }
    if (!m_finished && m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SimSession::readAvailable, Qt::QueuedConnection);
}

void SimSession::handleLine(const SimCommandLine& line) {
    emit lineReceived(line.text);
    if (m_finished)
        return;
    qint64 backlog = m_socket->bytesToWrite();
    for (const SimTcpStep& step : m_steps)
        backlog += step.bytes.size();
    SimCommandStream::Answer answer = m_stream.answer(line, backlog);
    if (answer.log.isEmpty())
        return;
    for (SimTcpStep& step : answer.steps)
        m_steps.push_back(std::move(step));
    emit logLine(QStringLiteral("%1 -> %2 %3").arg(m_peerText, m_localText, answer.log));
    pump();
}

void SimSession::pump() {
    while (!m_finished && !m_pause.isActive() && !m_steps.empty()) {
        SimTcpStep& next = m_steps.front();
        if (next.pauseBefore || next.pauseMs > 0) {
            m_pause.start(next.pauseBefore ? std::max(0, m_options.splitPauseMs) : next.pauseMs);
            next.pauseBefore = false;
            next.pauseMs = 0;
            return;
        }
        const SimTcpStep step = std::move(next);
        m_steps.pop_front();
        switch (step.action) {
        case SimTcpStep::Action::Write:
            writeNow(step.bytes);
            break;
        case SimTcpStep::Action::Close:
            m_steps.clear();
            m_socket->disconnectFromHost();
            return;
        case SimTcpStep::Action::Reset:
            m_steps.clear();
            m_socket->flush();
            if (!setResetOnClose(m_socket->socketDescriptor()))
                emit logLine(
                    QStringLiteral("%1 -> %2: cannot reset, closing instead").arg(m_peerText, m_localText));
            m_socket->abort();
            return;
        case SimTcpStep::Action::HalfClose:
            m_socket->flush();
            if (!shutdownSending(m_socket->socketDescriptor()))
                emit logLine(QStringLiteral("%1 -> %2: cannot shut the sending side down")
                                 .arg(m_peerText, m_localText));
            m_sendingShut = true;
            break;
        }
    }
}

void SimSession::writeNow(const QByteArray& bytes) {
    if (m_sendingShut || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(bytes);
    // Each write goes to the socket by itself rather than gathered with the next one.
    m_socket->flush();
    emit bytesSent(bytes);
}

void SimSession::end() {
    if (m_finished)
        return;
    m_finished = true;
    m_pause.stop();
    m_steps.clear();
    emit logLine(QStringLiteral("%1 -> %2: connection ended").arg(m_peerText, m_localText));
    emit finished();
}

} // namespace zek
