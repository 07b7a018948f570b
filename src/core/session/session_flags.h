#pragma once

#include "core/session/reply_table.h"

#include <array>

namespace zek {

struct ParsedReply;

// The flags that the session's commands, its reply parser and its read sequence share;
// all false at start. `ReplySeen` keeps its values across sessions: each send clears the
// flag of its own reply.
struct SessionFlags {
    std::array<bool, kReplyKeyCount> ReplySeen{};
    bool ModulConfigSeen = false; // the automatic read after connect is running
    bool TrapCapable = false;     // letter T in the module's configuration
    bool LoggerCapable = false;   // letter L
    bool LoggerActive = false;    // check box "active" as last read
    bool TimeSent = false;        // the last set-clock action sent its command
    bool SequenceBusy = false;    // the set-clock action runs; the sequence does not step

    bool seen(ReplyKey key) const { return ReplySeen[std::size_t(key)]; }
    void setSeen(ReplyKey key, bool seen = true) { ReplySeen[std::size_t(key)] = seen; }
};

// What a reply line changes in the flags: the `ReplySeen` flag it sets and, for
// "modul_config", the capability letters and the mark that the automatic read runs.
void noteReply(const ParsedReply& reply, SessionFlags& flags);

} // namespace zek
