#pragma once

#include "sim/sim_module.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

namespace zek {

// One thing a module's connection does next, in order.
struct SimTcpStep {
    enum class Action { Write, Close, Reset, HalfClose };
    Action action = Action::Write;
    QByteArray bytes;         // what a Write sends
    bool pauseBefore = false; // the second half of a split write waits before it goes
    int pauseMs = 0;          // a dripped byte waits this long before it goes

    friend bool operator==(const SimTcpStep&, const SimTcpStep&) = default;
};

// A command line as received, without its CR, CR LF or LF.
struct SimCommandLine {
    QByteArray text;
    qsizetype dropped = 0; // bytes beyond SimCommandStream::kMaxCommandLine, not kept
};

// What a module makes of the byte stream of one TCP connection: cuts it into command
// lines and answers each one as the module does, with the module's faults applied. It
// knows no socket; the connection carries out the steps it returns.
class SimCommandStream {
public:
    // Longest command line kept; the rest of a longer line is dropped and the line is
    // answered as an unknown command.
    static constexpr qsizetype kMaxCommandLine = 1024;
    // Replies are withheld while this much is still waiting to be sent to a peer that
    // does not read.
    static constexpr qint64 kMaxSendBacklog = 8 * 1024 * 1024;

    struct Answer {
        std::vector<SimTcpStep> steps;
        // The received line and what became of it, for the console; empty for an empty
        // line, which is no command.
        QString log;
    };

    // `hostClock` gives the host's UTC time the module clock runs from; empty: the real clock.
    explicit SimCommandStream(SimModule& module, std::function<QDateTime()> hostClock = {});

    // The lines that `bytes` completes, in order: a CR, a CR LF or a lone LF ends one.
    // An unfinished line waits for the next call.
    std::vector<SimCommandLine> take(QByteArrayView bytes);
    // The answer to one line. `backlog` is what still waits to go to the peer. The faults
    // are read afresh for every line, so a change applies to the next one.
    Answer answer(const SimCommandLine& line, qint64 backlog = 0);

    int commandCount() const { return m_commands; }
    // After a half-close nothing more is answered, though lines are still read.
    bool isSendingShut() const { return m_sendingShut; }

private:
    QList<QByteArray> replyFor(const SimCommandLine& line, QString& note);
    QString queueReply(const QList<QByteArray>& lines, qint64 backlog, std::vector<SimTcpStep>& steps) const;
    void queueWrite(const QByteArray& bytes, std::vector<SimTcpStep>& steps) const;
    QByteArray garbage() const;

    SimModule& m_module;
    std::function<QDateTime()> m_hostClock;
    QByteArray m_line;
    qsizetype m_dropped = 0;
    bool m_afterCr = false;
    int m_commands = 0;
    bool m_sendingShut = false;
};

} // namespace zek
