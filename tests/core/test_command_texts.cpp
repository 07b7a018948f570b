#include "core/session/command_texts.h"
#include "core/session/session_flags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace zek;

namespace {

// Every command is one line: exactly one CR, at its end, and no LF.
void expectOneLine(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\r') << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
}

} // namespace

TEST(CommandTexts, ReadButtonsSendTheirQueryAndClearTheirReply) {
    struct Row {
        int id;
        const char* text;
        ReplyKey reply;
    };
    const Row rows[] = {
        {5090, "?LOG_ON\r", ReplyKey::LogOn},     {5089, "?TIME_UTC\r", ReplyKey::TimeLocal},
        {5140, "?DST_USE\r", ReplyKey::DstUse},   {5139, "?DST_START\r", ReplyKey::DstStart},
        {5138, "?DST_STOP\r", ReplyKey::DstStop}, {5086, "?TRAP_IP1\r", ReplyKey::TrapIp1},
        {5088, "?TRAP_IP2\r", ReplyKey::TrapIp2}, {5087, "?TRAP_IP3\r", ReplyKey::TrapIp3},
        {5202, "?SNMP_LOC\r", ReplyKey::SnmpLoc},
    };
    ASSERT_EQ(readButtons().size(), std::size(rows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const ReadButton* button = findReadButton(row.id);
        ASSERT_NE(button, nullptr);
        const SessionCommand command = readCommand(*button);
        EXPECT_EQ(command.text, row.text);
        EXPECT_EQ(command.answeredBy, row.reply);
    }
    EXPECT_EQ(findReadButton(5110), nullptr);
    EXPECT_EQ(findReadButton(0), nullptr);
}

TEST(CommandTexts, SetCommandsFollowTheirArgumentRules) {
    struct Row {
        const char* name;
        SessionCommand command;
        std::string text;
        ReplyKey reply;
    };
    const Row rows[] = {
        {"logger inactive sends 0", loggerCommand(false, 4), "!LOG_ON 0\r", ReplyKey::LogOn},
        {"logger active sends index + 1", loggerCommand(true, 4), "!LOG_ON 5\r", ReplyKey::LogOn},
        {"logger last item", loggerCommand(true, 59), "!LOG_ON 60\r", ReplyKey::LogOn},
        {"logger without selection", loggerCommand(true, -1), "!LOG_ON 0\r", ReplyKey::LogOn},
        {"DST on", dstUseCommand(true), "!DST_USE 1\r", ReplyKey::DstUse},
        {"DST off", dstUseCommand(false), "!DST_USE 0\r", ReplyKey::DstUse},
        {"start rule: weekday 6 goes out as 0", dstRuleCommand(DstRuleRow::Start, {4, 6, 2, 2}),
         "!DST_START 4 0 3 2\r", ReplyKey::DstStart},
        {"stop rule", dstRuleCommand(DstRuleRow::Stop, {4, 6, 9, 3}), "!DST_STOP 4 0 10 3\r",
         ReplyKey::DstStop},
        {"rule first items", dstRuleCommand(DstRuleRow::Start, {0, 0, 0, 0}), "!DST_START 0 1 1 0\r",
         ReplyKey::DstStart},
        {"trap row 2 as typed", trapCommand(2, {"192", "168", "1", "7"}), "!TRAP_IP2 192.168.1.7\r",
         ReplyKey::TrapIp2},
        {"trap row 1 zeros", trapCommand(1, {"0", "0", "0", "0"}), "!TRAP_IP1 0.0.0.0\r", ReplyKey::TrapIp1},
        {"trap empty edits give empty fields", trapCommand(3, {"", "5", "", ""}), "!TRAP_IP3 .5..\r",
         ReplyKey::TrapIp3},
        {"trap field read with room for 3", trapCommand(1, {"1234", "2", "3", "4"}), "!TRAP_IP1 123.2.3.4\r",
         ReplyKey::TrapIp1},
        {"trap fields are not converted", trapCommand(1, {"010", "x", " 1", "255"}),
         "!TRAP_IP1 010.x. 1.255\r", ReplyKey::TrapIp1},
        {"location with blanks", snmpLocationCommand("  Boiler room 2 "), "!SNMP_LOC   Boiler room 2 \r",
         ReplyKey::SnmpLoc},
        {"empty location", snmpLocationCommand(""), "!SNMP_LOC \r", ReplyKey::SnmpLoc},
        {"location read with room for 38", snmpLocationCommand(std::string(50, 'L')),
         "!SNMP_LOC " + std::string(38, 'L') + "\r", ReplyKey::SnmpLoc},
        {"location keeps Latin-1 bytes",
         snmpLocationCommand("K\xFC"
                             "che"),
         "!SNMP_LOC K\xFC"
         "che\r",
         ReplyKey::SnmpLoc},
        {"a line end inside the location is left out", snmpLocationCommand("a\rb\nc"), "!SNMP_LOC abc\r",
         ReplyKey::SnmpLoc},
        {"the location ends at NUL", snmpLocationCommand(std::string("ab\0cd", 5)), "!SNMP_LOC ab\r",
         ReplyKey::SnmpLoc},
        {"identity: start message", startMessageQuery(), "?STARTMSG\r", ReplyKey::ModulTyp},
        {"identity: device type", deviceTypeQuery(), "?GERAET\r", ReplyKey::Geraet},
        {"identity: revision", revisionQuery(), "?REVISION\r", ReplyKey::Revision},
        {"identity: company", companyQuery(), "?FIRMA\r", ReplyKey::Firma},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.command.text, row.text);
        EXPECT_EQ(row.command.answeredBy, row.reply);
        expectOneLine(row.command.text);
    }
}

TEST(CommandTexts, TrapRowsOutsideOneToThreeSendNothing) {
    for (const int row : {0, 4, -1}) {
        EXPECT_EQ(trapCommand(row, {"1", "2", "3", "4"}).text, "") << row;
    }
}

TEST(CommandTexts, ReplyKeywordsAreDistinctAndFlagsStartClear) {
    std::set<std::string_view> keywords;
    for (std::size_t i = 0; i < kReplyKeyCount; ++i) {
        keywords.insert(replyKeyword(ReplyKey(i)));
        EXPECT_EQ(findReplyKey(replyKeyword(ReplyKey(i))), ReplyKey(i));
    }
    EXPECT_EQ(findReplyKey("!geraet"), std::nullopt);
    EXPECT_EQ(findReplyKey("!GERAET:"), std::nullopt);
    EXPECT_EQ(findReplyKey("!TIME_UTC"), std::nullopt);
    EXPECT_EQ(keywords.size(), kReplyKeyCount);
    EXPECT_EQ(replyKeyword(ReplyKey::ModulTyp), "modul_typ");
    EXPECT_EQ(replyKeyword(ReplyKey::TimeLocal), "!TIME_LOCAL");
    EXPECT_EQ(replyKeyword(ReplyKey::SnmpLoc), "!SNMP_LOC");

    SessionFlags flags;
    for (std::size_t i = 0; i < kReplyKeyCount; ++i)
        EXPECT_FALSE(flags.seen(ReplyKey(i)));
    flags.setSeen(ReplyKey::TrapIp2);
    EXPECT_TRUE(flags.seen(ReplyKey::TrapIp2));
    EXPECT_FALSE(flags.seen(ReplyKey::TrapIp3));
    flags.setSeen(ReplyKey::TrapIp2, false);
    EXPECT_FALSE(flags.seen(ReplyKey::TrapIp2));
}
