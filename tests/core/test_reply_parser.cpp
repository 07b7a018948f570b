#include "core/session/reply_parser.h"
#include "core/text/c_scan.h"

#include <gtest/gtest.h>

#include <set>

using namespace zek;

namespace {

using K = ReplyKey;
using R = ReplyKind;

std::string ofLength(std::string head, std::size_t length) {
    head.resize(length, 'x');
    return head;
}

} // namespace

TEST(ReplyParser, DecidesEachLine) {
    const struct {
        std::string line;
        ReplyKind kind;
        std::optional<ReplyKey> seen = std::nullopt;
        std::optional<std::string> shown = std::nullopt;
        int number = 0;
        std::array<int, 4> values{};
    } cases[] = {
        {"!TIME_UTC 12:00:00 (4) 05.12.24 (60)", R::TimeUtc},
        {"!TIME_LOCAL 13:00:00 (4) 05.12.24 (W)", R::TimeLocal, K::TimeLocal},
        {"!TIME_LOCAL 1", R::TimeLocal, K::TimeLocal},
        {"!TIME_LOCAL ", R::TimeLocal}, // 12 characters or fewer: not seen
        {"modul_time_utc x", R::ModulTimeUtc},
        {"modul_time_local x", R::ModulTimeLocal},
        {"modul_config TL", R::ModulConfig},
        {"!GERAET ZEK-Logger 4", R::Geraet, K::Geraet, "ZEK-Logger 4"},
        {"!GERAET", R::Geraet, K::Geraet},
        {"!GERAET  two blanks", R::Geraet, K::Geraet, " two blanks"},
        {"  !GERAET Typ", R::Geraet, K::Geraet, "T Typ"}, // positions count from the line's start
        {"!REVISION 1.07", R::Revision, K::Revision, "1.07"},
        {"!SNMP_LOC Hall 3, rack 2", R::SnmpLoc, K::SnmpLoc, "Hall 3, rack 2"},
        {"!geraet x", R::None},
        {"!GERAET: x", R::None},
        {"", R::None},
        {"!LOG_ON 12min", R::LogOn, K::LogOn, {}, 12},
        {"!LOG_ON -3", R::LogOn, K::LogOn, {}, -3},
        {"!LOG_ON", R::None},
        {"!LOG_ON 99999999999999", R::LogOn, K::LogOn, {}, 2147483647},
        {"!DST_USE 1", R::DstUse, K::DstUse, {}, 1},
        {"!ERROR 4", R::Error, {}, {}, 4},
        {"!ERROR 24", R::Error, K::TimeLocal, {}, 24}, // answers a clock query
        {"!ERROR", R::None},
        {"!TRAP_IP3 1.2.3.4", R::TrapIp, K::TrapIp3, {}, 0, {1, 2, 3, 4}},
        {"!TRAP_IP2 192.168.1.20", R::TrapIp, K::TrapIp2, {}, 0, {192, 168, 1, 20}},
        {"!TRAP_IP1 0.0.0.0", R::TrapIp, K::TrapIp1},
        {"!TRAP_IP1 1.2.3", R::None},
        {"!TRAP_IP1 1..2.3", R::None},
        {"!DST_START 4 0 3 2", R::DstStart, K::DstStart, {}, 0, {4, 0, 3, 2}},
        {"!DST_STOP 4 0 10 3", R::DstStop, K::DstStop, {}, 0, {4, 0, 10, 3}},
        {"!DST_START 4 0 3", R::None},
        {" !DST_START 4 0 3 2", R::None}, // the whole line must read as the rule
        {"modul_typ ZEK date 05.01.24 SW: 1.02", R::ModulTyp, K::ModulTyp, "1.02 date 05.01.24"},
        {"modul_typ ZEK-4 nothing", R::ModulTyp, K::ModulTyp},
        {"modul_typ date", R::ModulTyp, K::ModulTyp},                  // 11 characters or fewer
        {"modul_typ x date SW", R::ModulTyp, K::ModulTyp, " date SW"}, // SW at the end: empty first part
        {"modul_typ abc SW: 2.0", R::ModulTyp, K::ModulTyp},           // no date
        {ofLength("!FIRMA ", 254), R::Firma, K::Firma, ofLength("", 247)},
        {ofLength("!FIRMA ", 255), R::None},
    };
    std::set<std::string_view> keywords;
    for (const auto& c : cases) {
        const ParsedReply r = ParseReply(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.seen, c.seen);
        if (c.kind == R::None)
            continue;
        keywords.insert(findReply(ScanCursor(c.line).scanfWord().value())->keyword);
        EXPECT_EQ(r.shown, c.shown);
        EXPECT_EQ(r.number, c.number);
        EXPECT_EQ(r.values, c.values);
    }
    EXPECT_EQ(keywords.size(), kReplyTable.size()) << "every reply of the table";
}

TEST(ReplyParser, WhatTheWindowShows) {
    const Capabilities c = capabilitiesOf(ParseReply("modul_config TL").word);
    EXPECT_TRUE(c.T && c.L);
    EXPECT_FALSE(c.S || c.H || c.X || c.D);
    EXPECT_FALSE(capabilitiesOf("tl").T);
    EXPECT_EQ(ParseReply("!TRAP_IP3 1.2.3.4").trapRow, 3);
    EXPECT_EQ(ParseReply("!TIME_LOCAL 12:00:00 05.01.24 (S)").line, "!TIME_LOCAL 12:00:00 05.01.24 (S)");
    EXPECT_EQ(ParseReply(ofLength("modul_typ date 01.02.03 SW: ", 254)).shown->size(), kModuleInfoMax);
    EXPECT_EQ(loggerReply(15).intervalIndex, 14);
    EXPECT_TRUE(loggerReply(1).active && dstUseOn(1) && trapReceiverSet({0, 0, 0, 7}));
    EXPECT_FALSE(loggerReply(0).active || loggerReply(-3).intervalIndex || dstUseOn(2) ||
                 trapReceiverSet({}));
}
