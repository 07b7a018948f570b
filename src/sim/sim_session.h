#pragma once

#include "sim/sim_fleet.h"
#include "sim/sim_module.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QTcpSocket;

namespace zek {

// One accepted TCP connection of a module: cuts the received bytes into command lines,
// answers them as the module does, and applies the module's faults. Deletes nothing
// inside the socket's own signals: when the connection is gone it emits finished() and
// the owner disposes of it later.
class SimSession : public QObject {
    Q_OBJECT
public:
    // Longest command line kept; the rest of a longer line is dropped and the line is
    // answered as an unknown command.
    static constexpr qsizetype kMaxCommandLine = 1024;
    // Replies are withheld while this much is still waiting to be sent to a peer that
    // does not read.
    static constexpr qint64 kMaxSendBacklog = 8 * 1024 * 1024;

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
    enum class Action { Write, Close, Reset, HalfClose };
    struct Step {
        Action action;
        QByteArray bytes;
        bool pauseBefore = false; // the second half of a split write
    };

    void readAvailable();
    void takeBytes(const QByteArray& bytes);
    void finishLine();
    void handleLine(const QByteArray& line, qsizetype droppedBytes);
    QList<QByteArray> replyFor(const QByteArray& line, qsizetype droppedBytes, QString& note);
    // Returns a description of what was queued, for the log.
    QString queueReply(const QList<QByteArray>& lines);
    void queueWrite(const QByteArray& bytes);
    void pump();
    void writeNow(const QByteArray& bytes);
    void end();

    QTcpSocket* m_socket;
    SimModule& m_module;
    const FleetOptions& m_options;
    QString m_peerText;
    QString m_localText;
    QByteArray m_line;
    qsizetype m_dropped = 0; // bytes of the current line beyond kMaxCommandLine
    bool m_afterCr = false;
    int m_commands = 0;
    bool m_sendingShut = false; // half-closed: reads go on, nothing more is sent
    bool m_finished = false;
    std::deque<Step> m_steps;
    QTimer m_pause;
};

} // namespace zek
