#pragma once

#include "sim/sim_module.h"
#include "sim/sim_protocol.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QUdpSocket;
class QNetworkDatagram;

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
};

// The simulated fleet: owns the modules and the one UDP socket that all of them
// share, as modules on one segment all hear the same broadcast. Runs in the caller's
// event loop and never blocks it.
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
    bool start(quint16 udpPort = kSimUdpPort,
               const QHostAddress& address = QHostAddress(QHostAddress::AnyIPv4));
    void stop();
    bool isListening() const;
    quint16 udpPort() const;
    QString errorString() const { return m_error; }

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
    // One line per received datagram and per notable event, for the console.
    void logLine(const QString& line);

private:
    struct QueuedReply {
        int module;
        QHostAddress address;
        quint16 port;
    };

    void readPending();
    void handleDatagram(const QNetworkDatagram& datagram);
    QString answerSearch(const QHostAddress& address, quint16 port);
    QString storeValues(const SimRequest& request);
    QString rebootModule(const SimRequest& request);
    void finishReboot(int index);
    void sendNextReply();
    void sendReply(const QueuedReply& reply);
    bool sendFromModule(int index, const QByteArray& bytes, const QHostAddress& address, quint16 port);

    FleetOptions m_options;
    std::vector<std::unique_ptr<SimModule>> m_modules;
    QUdpSocket* m_socket = nullptr;
    QTimer m_paceTimer;
    std::deque<QueuedReply> m_replyQueue;
    QString m_error;
};

} // namespace zek
