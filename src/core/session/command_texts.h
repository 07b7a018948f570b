#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zek {

// The reply lines that answer the tool's commands; each has a `ReplySeen` flag that the
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

// The first word of the answering line: "modul_typ", "!GERAET", ... "!SNMP_LOC".
std::string_view replyKeyword(ReplyKey key);
// The key of a reply line's first word, exactly and with case; none for another word.
std::optional<ReplyKey> findReplyKey(std::string_view keyword);

// One command text (ending in its single CR) and the reply that answers it.
struct SessionCommand {
    std::string text;
    ReplyKey answeredBy;
};

// "?" + keyword + CR.
std::string queryText(std::string_view keyword);

// A per-row "Read" button of the session panels and the query it sends.
struct ReadButton {
    int id;
    std::string_view keyword;
    ReplyKey answeredBy;
};
std::span<const ReadButton> readButtons();
// nullptr for an ID that is no Read button.
const ReadButton* findReadButton(int id);
SessionCommand readCommand(const ReadButton& button);

// The identity queries of the read sequence, sent by no button.
SessionCommand startMessageQuery();
SessionCommand deviceTypeQuery();
SessionCommand revisionQuery();
SessionCommand companyQuery();

// "!LOG_ON n\r": the interval (selected index + 1) while the logger is active, else 0;
// the interval is not sent then.
SessionCommand loggerCommand(bool active, int intervalIndex);
// "!DST_USE 1\r" or "!DST_USE 0\r".
SessionCommand dstUseCommand(bool on);

enum class DstRuleRow { Start, Stop };
// Selected indices of a rule row's four combo boxes.
struct DstRuleIndices {
    int week = 0;
    int weekday = 0;
    int month = 0;
    int hour = 0;
};
// "!DST_START w d m h\r" (or "!DST_STOP"): the week index as is, the weekday index moved so
// that the last item (index 6) goes out as 0, the month index + 1, the hour index.
SessionCommand dstRuleCommand(DstRuleRow row, const DstRuleIndices& indices);

// What is read of a trap-receiver edit and of the SNMP location edit.
inline constexpr std::size_t kTrapFieldRoom = 3;
inline constexpr std::size_t kSnmpLocationRoom = 38;
inline constexpr int kTrapRows = 3;

// "!TRAP_IPr a.b.c.d\r" for row 1 to 3 with the four edit texts as they stand, nothing
// checked or converted (an empty edit gives an empty field). Empty text for another row.
SessionCommand trapCommand(int row, const std::array<std::string, 4>& fields);
ReplyKey trapReply(int row);
// "!SNMP_LOC text\r" with the text as it stands, blanks included.
SessionCommand snmpLocationCommand(std::string_view location);

// An argument as the edit yields it: up to its first NUL, at most `room` characters, and
// without CR or LF, so that a command is always exactly one line.
std::string argumentText(std::string_view text, std::size_t room);

} // namespace zek
