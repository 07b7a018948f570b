#pragma once

#include "core/session/reply_table.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

// What one reply line from a module says. The parser decides; applying it to the
// window is the session's business.
struct ParsedReply {
    ReplyKind kind = ReplyKind::None;
    // The `ReplySeen` flag this line sets, if any.
    std::optional<ReplyKey> seen;
    // ModulConfig: the capability letters (the second word).
    std::string word;
    // Geraet, Revision, Firma, SnmpLoc: the text after the keyword and its blank, when the
    // line is long enough; ModulTyp: the composed module information, when SW and date are found.
    std::optional<std::string> shown;
    // LogOn, DstUse, Error: the number.
    int number = 0;
    // TrapIp: the four address numbers; DstStart/DstStop: the four rule numbers.
    std::array<int, 4> values{};
    // TrapIp: row 1 to 3.
    int trapRow = 0;
    // Clock replies: the whole line, for the clock's own reading.
    std::string line;
};

inline constexpr std::size_t kReplyLineMax = 254;
inline constexpr std::size_t kModuleInfoMax = 99;

ParsedReply ParseReply(std::string_view line);

// Letters of a capability word: matched case-sensitively anywhere in it.
struct Capabilities {
    bool T = false, L = false, S = false, H = false, X = false, D = false;
};
Capabilities capabilitiesOf(std::string_view word);

// "!LOG_ON n": the logger is active for n > 0 and then runs at interval n, the list's
// index n - 1.
struct LoggerReply {
    bool active = false;
    std::optional<int> intervalIndex;
};
LoggerReply loggerReply(int n);

// "!DST_USE n": automatic switching is on exactly for 1.
constexpr bool dstUseOn(int n) {
    return n == 1;
}

// "!TRAP_IPr a.b.c.d": the row's box is ticked when any of the four is non-zero.
bool trapReceiverSet(const std::array<int, 4>& octets);

} // namespace zek
