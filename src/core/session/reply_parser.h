#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

// What one reply line from a module says. The parser decides; applying it to the
// window is the session's business.
enum class ReplyKind {
    None, // not a reply the tool acts on
    TimeUtc,
    TimeLocal,
    ModulTimeUtc,
    ModulTimeLocal,
    ModulConfig,
    LogOn,
    TrapIp,
    ModulTyp,
    DstUse,
    DstStart,
    DstStop,
    Geraet,
    Revision,
    Firma,
    SnmpLoc,
    Error,
};

struct ParsedReply {
    ReplyKind kind = ReplyKind::None;
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

} // namespace zek
