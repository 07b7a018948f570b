#pragma once

#include "sim/sim_command_stream.h"
#include "sim/sim_fleet.h"
#include "sim/sim_module.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QTcpSocket;

namespace zek {

// One accepted TCP connection of a module: hands the received bytes to the module's
// SimCommandStream and carries out the writes, pauses and closes it answers with.
// Deletes nothing inside the socket's own signals: when the connection is gone it emits
// finished() and the owner disposes of it later.
class SimSession : public QObject {
    Q_OBJECT
public:
    // Takes over the connected `socket`.
    SimSession(QTcpSocket* socket, SimModule& module, const FleetOptions& options, QObject* parent = nullptr);
    ~SimSession() override;

    SimModule& module() const { return m_module; }
    // "a.b.c.d:port" of the peer and of the module's end.
    const QString& peerText() const { return m_peerText; }
    const QString& localText() const { return m_localText; }
    bool isFinished() const { return m_finished; }

    // Closes in order once everything written has gone out.
    void closeInOrder();
    // Ends the connection at once, emitting nothing more; for tearing a fleet down.
    void abandon();

signals:
    void bytesReceived(const QByteArray& raw);
    void lineReceived(const QByteArray& line);
    void bytesSent(const QByteArray& bytes);
    void logLine(const QString& line);
    // Emitted once, when the connection has ended from either side.
    void finished();

private:
    void readAvailable();
    void handleLine(const SimCommandLine& line);
    void pump();
    void writeNow(const QByteArray& bytes);
    void end();

    QTcpSocket* m_socket;
    SimModule& m_module;
    const FleetOptions& m_options;
    QString m_peerText;
    QString m_localText;
    SimCommandStream m_stream;
    bool m_sendingShut = false; // half-closed: reads go on, nothing more is sent
    bool m_finished = false;
    std::deque<SimTcpStep> m_steps;
    QTimer m_pause;
};

} // namespace zek
