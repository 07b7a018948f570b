#pragma once

#include "sim/sim_module.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

namespace zek {

// The module side of the TCP text protocol: "?KEYWORD" queries, "!KEYWORD arguments"
// sets, each answered by the line the query of that keyword gets.

// Answered for a line that is no command the module knows.
inline constexpr int kSimErrorUnknown = 1;
// Answered for a set of a value the module only reports.
inline constexpr int kSimErrorReadOnly = 2;

struct SimTextCommand {
    enum class Kind { Query, Set, Invalid };
    Kind kind = Kind::Invalid;
    QByteArray keyword;  // without "?" or "!"; empty for Invalid
    QByteArray argument; // everything after the keyword and one blank, as sent
};
SimTextCommand parseSimTextCommand(QByteArrayView line);

struct SimAnswer {
    QList<QByteArray> lines; // without line endings
    QString note;            // what the module made of the command, for the log
};

// The module's answer to one command; a set changes `state`. A set whose argument the
// module cannot take leaves the value as it was and reports it all the same.
SimAnswer answerSimTextCommand(const SimTextCommand& command, SimDeviceState& state,
                               const QDateTime& hostUtc);
// The answer to "?STARTMSG".
QList<QByteArray> simStartMessage(const SimDeviceState& state, const QDateTime& hostUtc);
QByteArray simErrorLine(int code);

} // namespace zek
