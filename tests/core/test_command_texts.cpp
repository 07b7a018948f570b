#include "core/session/command_texts.h"
#include "core/session/session_engine.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zek;

namespace {

using K = ReplyKey;

// Every command is one line: exactly one CR, at its end, and no LF.
void expectOneLine(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\r') << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
}

} // namespace

TEST(CommandTexts, ReadButtonsSendTheirQueryAndClearTheirReply) {
    const struct {
        ValueAction action;
        const char* text;
        ReplyKey reply;
    } rows[] = {
        {ValueAction::ReadLogger, "?LOG_ON\r", K::LogOn},
        {ValueAction::ReadClock, "?TIME_UTC\r", K::TimeLocal},
        {ValueAction::ReadDstUse, "?DST_USE\r", K::DstUse},
        {ValueAction::ReadDstStart, "?DST_START\r", K::DstStart},
        {ValueAction::ReadDstStop, "?DST_STOP\r", K::DstStop},
        {ValueAction::ReadTrap1, "?TRAP_IP1\r", K::TrapIp1},
        {ValueAction::ReadTrap2, "?TRAP_IP2\r", K::TrapIp2},
        {ValueAction::ReadTrap3, "?TRAP_IP3\r", K::TrapIp3},
        {ValueAction::ReadSnmpLocation, "?SNMP_LOC\r", K::SnmpLoc},
    };
    for (const auto& row : rows) {
        const auto query = readQuery(row.action);
        ASSERT_TRUE(query) << row.text;
        EXPECT_EQ(query->text, row.text);
        EXPECT_EQ(query->answeredBy, row.reply) << row.text;
    }
    EXPECT_FALSE(readQuery(ValueAction::SetClock));
}

TEST(CommandTexts, SetCommandsFollowTheirArgumentRules) {
    const struct {
        const char* name;
        SessionCommand command;
        std::string text;
        ReplyKey reply;
    } rows[] = {
        {"logger inactive sends 0", loggerCommand(false, 4), "!LOG_ON 0\r", K::LogOn},
        {"logger active sends index + 1", loggerCommand(true, 4), "!LOG_ON 5\r", K::LogOn},
        {"logger without selection", loggerCommand(true, -1), "!LOG_ON 0\r", K::LogOn},
        {"DST on", dstUseCommand(true), "!DST_USE 1\r", K::DstUse},
        {"stop rule", dstRuleCommand(DstRuleRow::Stop, {4, 6, 9, 3}), "!DST_STOP 4 0 10 3\r", K::DstStop},
        {"trap row 2 as typed", trapCommand(2, {"192", "168", "1", "7"}), "!TRAP_IP2 192.168.1.7\r",
         K::TrapIp2},
        {"trap empty edits give empty fields", trapCommand(3, {"", "5", "", ""}), "!TRAP_IP3 .5..\r",
         K::TrapIp3},
        {"trap field read with room for 3", trapCommand(1, {"1234", "2", "3", "4"}), "!TRAP_IP1 123.2.3.4\r",
         K::TrapIp1},
        {"trap fields are not converted", trapCommand(1, {"010", "x", " 1", "255"}),
         "!TRAP_IP1 010.x. 1.255\r", K::TrapIp1},
        {"location with blanks", snmpLocationCommand("  Boiler room 2 "), "!SNMP_LOC   Boiler room 2 \r",
         K::SnmpLoc},
        {"location read with room for 38", snmpLocationCommand(std::string(50, 'L')),
         "!SNMP_LOC " + std::string(38, 'L') + "\r", K::SnmpLoc},
        {"location keeps Latin-1 bytes", snmpLocationCommand("K\xFC"), "!SNMP_LOC K\xFC\r", K::SnmpLoc},
        {"line ends in the location are left out", snmpLocationCommand("a\rb\nc"), "!SNMP_LOC abc\r",
         K::SnmpLoc},
        {"the location ends at NUL", snmpLocationCommand(std::string("ab\0cd", 5)), "!SNMP_LOC ab\r",
         K::SnmpLoc},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.command.text, row.text);
        EXPECT_EQ(row.command.answeredBy, row.reply);
        expectOneLine(row.command.text);
    }
    for (const int row : {0, 4, -1})
        EXPECT_EQ(trapCommand(row, {"1", "2", "3", "4"}).text, "") << row;
}
