#include "core/session/reply_parser.h"

#include <gtest/gtest.h>

using namespace zek;

namespace {

struct Case {
    std::string line;
    ReplyKind kind;
    std::optional<std::string> shown = std::nullopt;
    int number = 0;
    std::array<int, 4> values{};
};

std::string ofLength(std::string head, std::size_t length) {
    head.resize(length, 'x');
    return head;
}

} // namespace

TEST(ReplyParser, DecidesEachLine) {
    const Case cases[] = {
        {"!GERAET ZEK-Logger 4", ReplyKind::Geraet, "ZEK-Logger 4"},
        {"!GERAET", ReplyKind::Geraet, std::nullopt},
        {"!GERAET ", ReplyKind::Geraet, std::nullopt},
        {"!GERAET  two blanks", ReplyKind::Geraet, " two blanks"},
        {"  !GERAET Typ", ReplyKind::Geraet, "T Typ"}, // positions count from the line's start
        {"!REVISION 1.07", ReplyKind::Revision, "1.07"},
        {"!FIRMA Holvek GmbH", ReplyKind::Firma, "Holvek GmbH"},
        {"!SNMP_LOC Hall 3, rack 2", ReplyKind::SnmpLoc, "Hall 3, rack 2"},
        {"!geraet x", ReplyKind::None},
        {"!GERAET: x", ReplyKind::None},
        {"", ReplyKind::None},
        {"   ", ReplyKind::None},
        {"!LOG_ON 5", ReplyKind::LogOn, std::nullopt, 5},
        {"!LOG_ON 12min", ReplyKind::LogOn, std::nullopt, 12},
        {"!LOG_ON -3", ReplyKind::LogOn, std::nullopt, -3},
        {"!LOG_ON", ReplyKind::None},
        {"!LOG_ON on", ReplyKind::None},
        {"!LOG_ON 99999999999999", ReplyKind::LogOn, std::nullopt, 2147483647},
        {"!DST_USE 1", ReplyKind::DstUse, std::nullopt, 1},
        {"!ERROR 4", ReplyKind::Error, std::nullopt, 4},
        {"!ERROR", ReplyKind::None},
        {"!TRAP_IP2 192.168.1.20", ReplyKind::TrapIp, std::nullopt, 0, {192, 168, 1, 20}},
        {"!TRAP_IP2 0.0.0.0", ReplyKind::TrapIp, std::nullopt, 0, {0, 0, 0, 0}},
        {"!TRAP_IP1 1.2.3", ReplyKind::None},
        {"!TRAP_IP1 1..2.3", ReplyKind::None},
        {"!DST_START 4 0 3 2", ReplyKind::DstStart, std::nullopt, 0, {4, 0, 3, 2}},
        {"!DST_STOP 4 0 10 3", ReplyKind::DstStop, std::nullopt, 0, {4, 0, 10, 3}},
        {"!DST_START 4 0 3", ReplyKind::None},
        {" !DST_START 4 0 3 2", ReplyKind::None}, // the whole line must read as the rule
        {"modul_typ ZEK date 05.01.24 SW: 1.02", ReplyKind::ModulTyp, "1.02 date 05.01.24"},
        {"modul_typ ZEK-4 nothing", ReplyKind::ModulTyp, std::nullopt},
        {"modul_typ date", ReplyKind::ModulTyp, std::nullopt},        // 11 characters or fewer
        {"modul_typ x date SW", ReplyKind::ModulTyp, " date SW"},     // SW at the end: empty first part
        {"modul_typ abc SW: 2.0", ReplyKind::ModulTyp, std::nullopt}, // no date
        {ofLength("!FIRMA ", 254), ReplyKind::Firma, ofLength("", 247)},
        {ofLength("!FIRMA ", 255), ReplyKind::None},
        {ofLength("!FIRMA ", 298), ReplyKind::None},
    };
    for (const Case& c : cases) {
        const ParsedReply r = ParseReply(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(r.kind, c.kind);
        if (c.kind == ReplyKind::None)
            continue;
        EXPECT_EQ(r.shown, c.shown);
        EXPECT_EQ(r.number, c.number);
        if (c.kind == ReplyKind::TrapIp || c.kind == ReplyKind::DstStart || c.kind == ReplyKind::DstStop) {
            EXPECT_EQ(r.values, c.values);
        }
    }
}

TEST(ReplyParser, CapabilityLettersAndTrapRows) {
    const ParsedReply config = ParseReply("modul_config TL");
    ASSERT_EQ(config.kind, ReplyKind::ModulConfig);
    const Capabilities c = capabilitiesOf(config.word);
    EXPECT_TRUE(c.T && c.L);
    EXPECT_FALSE(c.S || c.H || c.X || c.D);
    EXPECT_FALSE(capabilitiesOf("tl").T);
    EXPECT_EQ(ParseReply("modul_config").word, "");
    EXPECT_EQ(ParseReply("!TRAP_IP3 1.2.3.4").trapRow, 3);
    EXPECT_EQ(ParseReply("!TRAP_IP1 1.2.3.4").trapRow, 1);
}

TEST(ReplyParser, ModuleInfoStaysWithinItsBuffer) {
    std::string line = "modul_typ date 01.02.03 SW: " + std::string(200, 'v');
    const auto shown = ParseReply(line).shown;
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->size(), kModuleInfoMax);
}

TEST(ReplyParser, ClockLinesAreHandedOnWhole) {
    const ParsedReply r = ParseReply("!TIME_LOCAL 12:00:00 05.01.24 (S)");
    EXPECT_EQ(r.kind, ReplyKind::TimeLocal);
    EXPECT_EQ(r.line, "!TIME_LOCAL 12:00:00 05.01.24 (S)");
    EXPECT_EQ(ParseReply("modul_time_utc x").kind, ReplyKind::ModulTimeUtc);
}
