#include "sim/sim_fleet.h"

#include "sim/sim_platform.h"
#include "sim/sim_session.h"

#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace zek {

namespace {

// A flood of searches must not grow the queue without bound.
constexpr std::size_t kMaxQueuedReplies = 200000;
// Connections one module keeps open at a time; further ones are accepted and closed. High
// enough for a test that opens many sessions at once; a bound against running out of
// descriptors.
constexpr int kMaxSessionsPerModule = 256;
constexpr int kReceiveBufferBytes = 1 << 20;

QString peerText(const QHostAddress& address, quint16 port) {
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

QString sizeText(qsizetype size) {
    return size == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(size);
}

} // namespace

SimFleet::SimFleet(QObject* parent) : QObject(parent) {
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    m_paceTimer.setInterval(m_options.replySpacingMs);
    connect(&m_paceTimer, &QTimer::timeout, this, &SimFleet::sendNextReply);
}

SimFleet::SimFleet(const std::vector<SimModuleConfig>& modules, QObject* parent) : SimFleet(parent) {
    for (const SimModuleConfig& config : modules)
        addModule(config);
}

SimFleet::~SimFleet() {
    // Sessions refer to their modules: they go now, before the modules do.
    for (SimSession* session : std::exchange(m_sessions, {}))
        delete session;
    stop();
}

void SimFleet::setOptions(const FleetOptions& options) {
    m_options = options;
    m_options.replySpacingMs = std::max(0, m_options.replySpacingMs);
    m_options.rebootMs = std::max(0, m_options.rebootMs);
    m_paceTimer.setInterval(m_options.replySpacingMs);
}

int SimFleet::addModule(const SimModuleConfig& config) {
    m_modules.push_back(std::make_unique<SimModule>(config));
    m_listeners.push_back(nullptr);
    const int index = moduleCount() - 1;
    if (m_socket)
        openListener(index);
    return index;
}

int SimFleet::indexOf(const SimMac& mac) const {
    for (std::size_t i = 0; i < m_modules.size(); ++i)
        if (m_modules[i]->mac() == mac)
            return static_cast<int>(i);
    return -1;
}

bool SimFleet::start(quint16 udpPort, const QHostAddress& address) {
    stop();
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(address, udpPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        m_error =
            QStringLiteral("cannot bind UDP %1: %2").arg(peerText(address, udpPort), m_socket->errorString());
        delete m_socket;
        m_socket = nullptr;
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(kReceiveBufferBytes));
    connect(m_socket, &QUdpSocket::readyRead, this, &SimFleet::readPending);
    m_error.clear();
    m_listenersExhausted = false;
    for (int i = 0; i < moduleCount(); ++i)
        openListener(i);
    return true;
}

void SimFleet::stop() {
    m_paceTimer.stop();
    m_replyQueue.clear();
    for (int i = 0; i < moduleCount(); ++i)
        closeListener(i);
    // stop() may run inside a session's own signals: sessions end now and go later.
    for (SimSession* session : std::exchange(m_sessions, {})) {
        session->abandon();
        session->deleteLater();
    }
    if (!m_socket)
        return;
    // The port is released at once; the object goes later, since stop() may run inside
    // one of the socket's own signals.
    m_socket->disconnect(this);
    m_socket->close();
    m_socket->deleteLater();
    m_socket = nullptr;
}

bool SimFleet::isListening() const {
    return m_socket && m_socket->state() == QAbstractSocket::BoundState;
}

quint16 SimFleet::udpPort() const {
    return m_socket ? m_socket->localPort() : 0;
}

void SimFleet::readPending() {
    // Every pending datagram is read on each notification, zero-length ones included:
    // one left unread would hold back the ones behind it.
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid()) {
            emit logLine(QStringLiteral("receive failed: %1").arg(m_socket->errorString()));
            break;
        }
        handleDatagram(datagram);
    }
}

void SimFleet::handleDatagram(const QNetworkDatagram& datagram) {
    const QByteArray bytes = datagram.data();
    const QHostAddress sender = datagram.senderAddress();
    const auto senderPort = static_cast<quint16>(datagram.senderPort());
    emit requestReceived(bytes, sender, senderPort);

    const SimRequest request = decodeSimRequest(bytes);
    if (request.kind == SimRequest::Kind::Ignored) {
        emit logLine(QStringLiteral("ignored %1 from %2: %3")
                         .arg(sizeText(bytes.size()), peerText(sender, senderPort), request.ignoredReason));
        emit datagramIgnored(bytes, sender, senderPort, request.ignoredReason);
        return;
    }

    QString outcome;
    switch (request.kind) {
    case SimRequest::Kind::Search:
        outcome = answerSearch(request, sender, senderPort);
        break;
    case SimRequest::Kind::SetValues:
        outcome = storeValues(request);
        break;
    case SimRequest::Kind::Reboot:
        outcome = rebootModules(request);
        break;
    case SimRequest::Kind::Ignored:
        break;
    }
    emit logLine(
        QStringLiteral("%1 %2 MAC %3, %4 bytes: %5")
            .arg(peerText(sender, senderPort), simCommandName(request.command), simMacText(request.mac))
            .arg(bytes.size())
            .arg(outcome));
}

QString SimFleet::answerSearch(const SimRequest& request, const QHostAddress& address, quint16 port) {
    if (!m_socket)
        return QStringLiteral("not answered, the fleet was stopped");
    int answering = 0;
    for (int i = 0; i < moduleCount(); ++i) {
        SimUdpAction action = actOnRequest(module(i), request);
        if (action.kind != SimUdpAction::Kind::Reply)
            continue;
        ++answering;
        QueuedReply reply{i, address, port, std::move(action.reply)};
        if (m_options.replySpacingMs == 0) {
            sendReply(reply);
        } else if (m_replyQueue.size() < kMaxQueuedReplies) {
            m_replyQueue.push_back(std::move(reply));
        } else {
            return QStringLiteral("reply queue full, %1 replies dropped").arg(moduleCount() - i);
        }
    }
    if (!m_replyQueue.empty() && !m_paceTimer.isActive()) {
        // The first reply goes out at once; the rest follow one per interval.
        sendNextReply();
        if (!m_replyQueue.empty())
            m_paceTimer.start();
    }
    return QStringLiteral("%1 replies").arg(answering);
}

QString SimFleet::storeValues(const SimRequest& request) {
    QString outcome = QStringLiteral("no module has this MAC");
    for (int i = 0; i < moduleCount(); ++i) {
        if (actOnRequest(module(i), request).kind != SimUdpAction::Kind::Stored)
            continue;
        emit valuesStored(i);
        const NetworkValues& next = *module(i).pending();
        outcome =
            QStringLiteral("stored for the next reboot: ip %1, port %2, netmask %3, gateway %4, dhcp %5, "
                           "name \"%6\", mode %7")
                .arg(ipv4Text(next.ip))
                .arg(next.port)
                .arg(ipv4Text(next.netmask), ipv4Text(next.gateway))
                .arg(next.dhcp)
                .arg(QString::fromLatin1(next.name()),
                     next.mode ? QString::number(*next.mode) : QStringLiteral("none"));
    }
    return outcome;
}

QString SimFleet::rebootModules(const SimRequest& request) {
    QString outcome = QStringLiteral("no module has this MAC");
    for (int i = 0; i < moduleCount(); ++i) {
        switch (actOnRequest(module(i), request).kind) {
        case SimUdpAction::Kind::AlreadyRebooting:
            outcome = QStringLiteral("already rebooting");
            break;
        case SimUdpAction::Kind::Reboot:
            if (m_options.rebootMs == 0) {
                finishReboot(i);
                outcome = QStringLiteral("rebooted");
                break;
            }
            closeTcpSessions(i);
            closeListener(i);
            QTimer::singleShot(m_options.rebootMs, this, [this, i] { finishReboot(i); });
            outcome = QStringLiteral("rebooting for %1 ms").arg(m_options.rebootMs);
            break;
        default:
            break;
        }
    }
    return outcome;
}

void SimFleet::finishReboot(int index) {
    if (index >= moduleCount())
        return;
    // A module comes up again with its connections gone and listens on its new address.
    closeTcpSessions(index);
    closeListener(index);
    const bool changed = module(index).reboot();
    if (m_socket)
        openListener(index);
    if (m_options.rebootMs > 0)
        emit logLine(QStringLiteral("module %1 is up again").arg(simMacText(module(index).mac())));
    emit moduleRebooted(index, changed);
}

void SimFleet::sendNextReply() {
    if (m_replyQueue.empty()) {
        m_paceTimer.stop();
        return;
    }
    const QueuedReply reply = std::move(m_replyQueue.front());
    m_replyQueue.pop_front();
    sendReply(reply);
    if (m_replyQueue.empty())
        m_paceTimer.stop();
}

void SimFleet::sendReply(const QueuedReply& reply) {
    if (reply.module >= moduleCount() || module(reply.module).isRebooting())
        return;
    if (!sendFromModule(reply.module, reply.bytes, reply.address, reply.port))
        return;
    emit replySent(reply.module, reply.address, reply.port);
    if (m_options.softwareInfoAfterReply)
        sendSoftwareInfo(reply.module, reply.address, reply.port);
}

bool SimFleet::sendSoftwareInfo(int index, const QHostAddress& address, quint16 port) {
    if (index < 0 || index >= moduleCount())
        return false;
    const SimModule& source = module(index);
    if (!sendFromModule(index, encodeSoftwareInfo(source.mac(), source.software()), address, port))
        return false;
    emit softwareInfoSent(index, address, port);
    return true;
}

bool SimFleet::sendFromModule(int index, const QByteArray& bytes, const QHostAddress& address, quint16 port) {
    if (!m_socket)
        return false;
    // Sent from the module's own address where the host has it (all of 127/8 on lo),
    // as a module answers from its own IP; otherwise from whatever the route picks.
    const quint32 ip = module(index).network().ip;
    if (ip != 0 && sendFromAddress(m_socket->socketDescriptor(), bytes, ip, address, port) == bytes.size())
        return true;
    if (m_socket->writeDatagram(bytes, address, port) == bytes.size())
        return true;
    emit logLine(QStringLiteral("sending %1 bytes to %2 failed: %3")
                     .arg(bytes.size())
                     .arg(peerText(address, port), m_socket->errorString()));
    return false;
}

QDateTime SimFleet::hostUtc() const {
    return m_options.hostClock ? m_options.hostClock() : QDateTime::currentDateTimeUtc();
}

quint16 SimFleet::tcpPort(int index) const {
    if (index < 0 || index >= moduleCount())
        return 0;
    const QTcpServer* listener = m_listeners[static_cast<std::size_t>(index)];
    return listener ? listener->serverPort() : 0;
}

bool SimFleet::isTcpListening(int index) const {
    return tcpPort(index) != 0;
}

int SimFleet::tcpSessionCount(int index) const {
    if (index < 0 || index >= moduleCount())
        return 0;
    const SimModule* target = &module(index);
    return static_cast<int>(
        std::count_if(m_sessions.begin(), m_sessions.end(),
                      [target](const SimSession* s) { return &s->module() == target && !s->isFinished(); }));
}

void SimFleet::setFaults(int index, const SimFaults& faults) {
    if (index < 0 || index >= moduleCount())
        return;
    module(index).faults() = faults;
    if (faults.refuse)
        closeListener(index);
    else if (m_socket && !m_listeners[static_cast<std::size_t>(index)])
        openListener(index);
}

void SimFleet::setState(int index, const SimDeviceState& state) {
    if (index >= 0 && index < moduleCount())
        module(index).state() = state;
}

void SimFleet::closeTcpSessions(int index) {
    if (index < 0 || index >= moduleCount())
        return;
    const SimModule* target = &module(index);
    // Copied: closing may end a session at once, which takes it off the list.
    const std::vector<SimSession*> sessions = m_sessions;
    for (SimSession* session : sessions)
        if (&session->module() == target)
            session->closeInOrder();
}

void SimFleet::openListener(int index) {
    if (!m_options.tcp || index < 0 || index >= moduleCount() || m_listeners[static_cast<std::size_t>(index)])
        return;
    SimModule& target = module(index);
    if (target.faults().refuse || target.isRebooting())
        return;
    const quint32 ip = target.network().ip;
    const QString where = QStringLiteral("%1:%2").arg(ipv4Text(ip)).arg(target.network().port);
    if (ip == 0) {
        emit logLine(
            QStringLiteral("module %1 has no IP address: no TCP listener").arg(simMacText(target.mac())));
        return;
    }
    if (m_listenersExhausted)
        return;
    auto* listener = new QTcpServer(this);
    // Connections wait in the kernel while a module has its maximum of sessions.
    if (!listener->listen(QHostAddress(ip), target.network().port)) {
        const bool exhausted = listener->serverError() == QAbstractSocket::SocketResourceError;
        emit logLine(QStringLiteral("module %1 gets no TCP listener on %2: %3%4")
                         .arg(simMacText(target.mac()), where, listener->errorString(),
                              exhausted ? QStringLiteral("; no further listeners are tried") : QString()));
        m_listenersExhausted = exhausted;
        delete listener;
        return;
    }
    if (target.network().port == 0)
        target.assignPort(listener->serverPort());
    m_listeners[static_cast<std::size_t>(index)] = listener;
    connect(listener, &QTcpServer::newConnection, this, [this, index] { acceptPending(index); });
}

void SimFleet::closeListener(int index) {
    if (index < 0 || index >= moduleCount())
        return;
    QTcpServer*& listener = m_listeners[static_cast<std::size_t>(index)];
    if (!listener)
        return;
    // The port is released at once; the object goes later, as this may run inside its
    // own newConnection signal.
    listener->disconnect(this);
    listener->close();
    listener->deleteLater();
    listener = nullptr;
}

void SimFleet::acceptPending(int index) {
    QTcpServer* listener = m_listeners[static_cast<std::size_t>(index)];
    while (listener && listener->hasPendingConnections()) {
        QTcpSocket* socket = listener->nextPendingConnection();
        if (!socket)
            break;
        if (tcpSessionCount(index) >= kMaxSessionsPerModule) {
            emit logLine(QStringLiteral("module %1: already %2 connections, one more closed")
                             .arg(simMacText(module(index).mac()))
                             .arg(kMaxSessionsPerModule));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* session = new SimSession(socket, module(index), m_options, this);
        m_sessions.push_back(session);
        connect(session, &SimSession::bytesReceived, this,
                [this, index](const QByteArray& raw) { emit tcpBytesReceived(index, raw); });
        connect(session, &SimSession::lineReceived, this,
                [this, index](const QByteArray& line) { emit tcpLineReceived(index, line); });
        connect(session, &SimSession::bytesSent, this,
                [this, index](const QByteArray& bytes) { emit tcpBytesSent(index, bytes); });
        connect(session, &SimSession::logLine, this, &SimFleet::logLine);
        connect(session, &SimSession::finished, this, [this, index, session] {
            dropSession(session);
            emit tcpDisconnected(index);
        });
        emit logLine(QStringLiteral("%1 -> %2: connected").arg(session->peerText(), session->localText()));
        emit tcpConnected(index);
        listener = m_listeners[static_cast<std::size_t>(index)];
    }
}

void SimFleet::dropSession(SimSession* session) {
    const auto found = std::find(m_sessions.begin(), m_sessions.end(), session);
    if (found == m_sessions.end())
        return;
    m_sessions.erase(found);
    session->deleteLater();
}

} // namespace zek
