#pragma once

#include "core/clock/dst_rule.h"
#include "core/session/reply_table.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zek {

// One command text (ending in its single CR) and the reply that answers it.
struct SessionCommand {
    std::string text;
    ReplyKey answeredBy;
};

// "?" + keyword + CR.
std::string queryText(std::string_view keyword);

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

// The rule of a row's four lists as "!DST_START o w m h\r" (or "!DST_STOP").
SessionCommand dstRuleCommand(DstRuleRow row, const DstRuleIndexes& indexes);

// What is read of a trap-receiver edit and of the SNMP location edit.
inline constexpr std::size_t kTrapFieldRoom = 3;
inline constexpr std::size_t kSnmpLocationRoom = 38;
inline constexpr int kTrapRowCount = 3;

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
