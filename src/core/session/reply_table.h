#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace zek {

// What one reply line from a module is, by its first word.
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

// The replies that answer the tool's commands; each has a `ReplySeen` flag that the
// sending action clears and the reply parser sets. A query and the set of the same
// keyword are answered by the same line.
enum class ReplyKey {
    ModulTyp,
    Geraet,
    Revision,
    Firma,
    LogOn,
    TimeLocal,
    DstUse,
    DstStart,
    DstStop,
    TrapIp1,
    TrapIp2,
    TrapIp3,
    SnmpLoc,
};
inline constexpr std::size_t kReplyKeyCount = 13;

struct ReplyRow {
    std::string_view keyword; // the line's first word, exactly and with case
    ReplyKind kind;
    std::optional<ReplyKey> flag;
};

// Every reply the tool knows, in the order the parser compares a first word with them.
inline constexpr std::array<ReplyRow, 18> kReplyTable = {{
    {"!TIME_UTC", ReplyKind::TimeUtc, std::nullopt},
    {"!TIME_LOCAL", ReplyKind::TimeLocal, ReplyKey::TimeLocal},
    {"modul_time_utc", ReplyKind::ModulTimeUtc, std::nullopt},
    {"modul_time_local", ReplyKind::ModulTimeLocal, std::nullopt},
    {"modul_config", ReplyKind::ModulConfig, std::nullopt},
    {"!LOG_ON", ReplyKind::LogOn, ReplyKey::LogOn},
    {"!TRAP_IP3", ReplyKind::TrapIp, ReplyKey::TrapIp3},
    {"!TRAP_IP2", ReplyKind::TrapIp, ReplyKey::TrapIp2},
    {"!TRAP_IP1", ReplyKind::TrapIp, ReplyKey::TrapIp1},
    {"modul_typ", ReplyKind::ModulTyp, ReplyKey::ModulTyp},
    {"!DST_USE", ReplyKind::DstUse, ReplyKey::DstUse},
    {"!DST_START", ReplyKind::DstStart, ReplyKey::DstStart},
    {"!DST_STOP", ReplyKind::DstStop, ReplyKey::DstStop},
    {"!GERAET", ReplyKind::Geraet, ReplyKey::Geraet},
    {"!REVISION", ReplyKind::Revision, ReplyKey::Revision},
    {"!FIRMA", ReplyKind::Firma, ReplyKey::Firma},
    {"!SNMP_LOC", ReplyKind::SnmpLoc, ReplyKey::SnmpLoc},
    {"!ERROR", ReplyKind::Error, std::nullopt},
}};

// The row of a first word; nullptr for a word the tool does not act on.
constexpr const ReplyRow* findReply(std::string_view firstWord) {
    for (const ReplyRow& row : kReplyTable)
        if (row.keyword == firstWord)
            return &row;
    return nullptr;
}

// The row whose line sets this flag.
constexpr const ReplyRow& replyRow(ReplyKey key) {
    for (const ReplyRow& row : kReplyTable)
        if (row.flag == key)
            return row;
    return kReplyTable.back();
}

// The first word of the line that sets this flag: "modul_typ", "!GERAET", ... "!SNMP_LOC".
constexpr std::string_view replyKeyword(ReplyKey key) {
    return replyRow(key).keyword;
}

namespace detail {
constexpr bool eachFlagOnce() {
    for (std::size_t k = 0; k < kReplyKeyCount; ++k) {
        int rows = 0;
        for (const ReplyRow& row : kReplyTable)
            rows += row.flag == ReplyKey(k) ? 1 : 0;
        if (rows != 1)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::eachFlagOnce(), "every ReplySeen flag is set by exactly one reply");

} // namespace zek
