#pragma once

#include "sim/sim_module.h"
#include "sim/sim_protocol.h"

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QUdpSocket;
class QNetworkDatagram;
class QTcpServer;

namespace zek {

struct FleetOptions {
    // Pause between two search replies, as modules answer at slightly different
    // times; 0 sends every reply to a search at once.
    int replySpacingMs = 1;
    // Each module follows its search reply with its software-information datagram.
    bool softwareInfoAfterReply = false;
    // How long a rebooting module stays silent before its new values apply; 0 applies
    // them at once.
    int rebootMs = 0;
    // Each module listens for TCP sessions on its own IP and port.
    bool tcp = true;
    // Pause between the two halves of a split write (SimFaults::split).
    int splitPauseMs = 50;
    // The host clock the module clocks run from; empty: the real UTC clock.
    std::function<QDateTime()> hostClock = {};
};

class SimSession;

// The simulated fleet: owns the modules, the one UDP socket that all of them share, as
// modules on one segment all hear the same broadcast, and one TCP listener per module
// on the module's own IP and port. Runs in the caller's event loop and never blocks it.
class SimFleet : public QObject {
    Q_OBJECT
public:
    explicit SimFleet(QObject* parent = nullptr);
    explicit SimFleet(const std::vector<SimModuleConfig>& modules, QObject* parent = nullptr);
    ~SimFleet() override;

    void setOptions(const FleetOptions& options);
    const FleetOptions& options() const { return m_options; }

    // Returns the new module's index.
    int addModule(const SimModuleConfig& config);
    int moduleCount() const { return static_cast<int>(m_modules.size()); }
    SimModule& module(int index) { return *m_modules.at(static_cast<std::size_t>(index)); }
    const SimModule& module(int index) const { return *m_modules.at(static_cast<std::size_t>(index)); }
    // -1 when no module has this MAC.
    int indexOf(const SimMac& mac) const;

    // Binds the UDP socket with address sharing (SO_REUSEADDR), so that broadcast
    // copies reach it beside other listeners on the port. Port 0 picks a free port.
    // Then opens each module's TCP listener: a module whose IP the host lacks, or whose
    // port is taken, gets none and a log line, which does not fail the start. A module
    // with TCP port 0 listens on a free port and reports that port from then on.
    bool start(quint16 udpPort = kSimUdpPort,
               const QHostAddress& address = QHostAddress(QHostAddress::AnyIPv4));
    // Closes the UDP socket, every listener and every TCP session (the sessions end
    // without tcpDisconnected).
    void stop();
    bool isListening() const;
    quint16 udpPort() const;
    QString errorString() const { return m_error; }

    // The port module `index` listens on, 0 while it has no listener.
    quint16 tcpPort(int index) const;
    bool isTcpListening(int index) const;
    // Open TCP connections of module `index`.
    int tcpSessionCount(int index) const;
    // Replace a module's faults or state; a change of `refuse` closes or opens its
    // listener at once (open connections stay).
    void setFaults(int index, const SimFaults& faults);
    void setState(int index, const SimDeviceState& state);
    // Closes every TCP connection of module `index` in order (FIN).
    void closeTcpSessions(int index);
    // The host time the module clocks run from (FleetOptions::hostClock or the real clock).
    QDateTime hostUtc() const;

    // Sends module `index`'s software text to the address now, from the fleet's port.
    bool sendSoftwareInfo(int index, const QHostAddress& address, quint16 port);
    // Search replies still waiting for their turn.
    int queuedReplies() const { return static_cast<int>(m_replyQueue.size()); }

signals:
    // Every datagram received, with its raw bytes, before it is acted on.
    void requestReceived(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort);
    void datagramIgnored(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                         const QString& reason);
    void replySent(int moduleIndex, const QHostAddress& address, quint16 port);
    void softwareInfoSent(int moduleIndex, const QHostAddress& address, quint16 port);
    // A set-values request left values for the module's next reboot.
    void valuesStored(int moduleIndex);
    // The module finished rebooting; `changed` tells whether its reported values changed.
    void moduleRebooted(int moduleIndex, bool changed);
    // One line per received datagram, TCP command and notable event, for the console.
    void logLine(const QString& line);

    // A TCP connection to module `module` was accepted / ended (either side).
    void tcpConnected(int module);
    void tcpDisconnected(int module);
    // Each command line the module received, without its CR (or CR LF, or LF).
    void tcpLineReceived(int module, const QByteArray& line);
    // The raw bytes of each read, as they arrived.
    void tcpBytesReceived(int module, const QByteArray& raw);
    // The bytes of each write the module made, in order.
    void tcpBytesSent(int module, const QByteArray& bytes);

private:
    struct QueuedReply {
        int module;
        QHostAddress address;
        quint16 port;
        QByteArray bytes;
    };

    void readPending();
    void handleDatagram(const QNetworkDatagram& datagram);
    // Each returns what became of the request, for the console.
    QString answerSearch(const SimRequest& request, const QHostAddress& address, quint16 port);
    QString storeValues(const SimRequest& request);
    QString rebootModules(const SimRequest& request);
    void finishReboot(int index);
    void sendNextReply();
    void sendReply(const QueuedReply& reply);
    bool sendFromModule(int index, const QByteArray& bytes, const QHostAddress& address, quint16 port);
    void openListener(int index);
    void closeListener(int index);
    void acceptPending(int index);
    void dropSession(SimSession* session);

    FleetOptions m_options;
    std::vector<std::unique_ptr<SimModule>> m_modules;
    // Parallel to m_modules; null where a module has no listener.
    std::vector<QTcpServer*> m_listeners;
    std::vector<SimSession*> m_sessions;
    // Set once the host ran out of descriptors: no further listener is tried.
    bool m_listenersExhausted = false;
    QUdpSocket* m_socket = nullptr;
    QTimer m_paceTimer;
    std::deque<QueuedReply> m_replyQueue;
    QString m_error;
};

} // namespace zek
