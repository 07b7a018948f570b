#include "core/session/module_state.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zek;

TEST(ModuleState, EachReplyChangesItsPart) {
    // Line, the part it changes, whether it counts as the reply of its key.
    const std::tuple<const char*, ModulePart, bool> cases[] = {
        {"modul_typ ZEK 100 date 05.12.24 SW: 1.02", ModulePart::ModuleInfo, true},
        {"!GERAET ZEK 100", ModulePart::DeviceType, true},
        {"!GERAET", ModulePart::None, true},
        {"!FIRMA MERIDON", ModulePart::Company, true},
        {"modul_config TLD", ModulePart::Capabilities, false},
        {"!LOG_ON 15", ModulePart::Logger, true},
        {"!TIME_UTC 12:00:00 (4) 15.01.26 (600)", ModulePart::UtcClock, false},
        {"!TIME_LOCAL 13:00:00 (4) 15.01.26 (W)", ModulePart::LocalClock, true},
        {"!TIME_LOCAL ", ModulePart::None, false},
        {"!TIME_UTC", ModulePart::UtcClock, false},
        {"modul_time_utc No RTC", ModulePart::UtcClock, false},
        {"!DST_USE 1", ModulePart::DstUse, true},
        {"!DST_START 0 0 10 2", ModulePart::DstStart, true},
        {"!DST_STOP 0 7 4 3", ModulePart::None, true}, // weekday 7: no list item, not taken
        {"!TRAP_IP2 10.0.0.9", ModulePart::Trap2, true},
        {"!SNMP_LOC Roof", ModulePart::SnmpLocation, true},
        {"!ERROR 4", ModulePart::Error, false},
        {"garbage \x01\xff", ModulePart::None, false},
        {"", ModulePart::None, false},
    };
    for (const auto& [line, part, seen] : cases) {
        ModuleState state;
        const ParsedReply reply = ParseReply(line);
        EXPECT_EQ(state.apply(reply), part) << line;
        EXPECT_EQ(reply.seen && state.seen(*reply.seen), seen) << line;
    }
}

TEST(ModuleState, ValuesAreDerivedFromTheReplies) {
    ModuleState state;
    EXPECT_FALSE(state.loggerCapable());
    EXPECT_FALSE(state.loggerActive());
    for (const char* line : {"modul_config xTL", "!LOG_ON 7", "!DST_START 4 0 3 2", "!TRAP_IP1 1.2.3.4",
                             "!SNMP_LOC  Hall 3", "!GERAET"})
        state.apply(ParseReply(line));
    EXPECT_TRUE(state.loggerCapable());
    EXPECT_TRUE(state.trapCapable());
    EXPECT_EQ(state.loggerActive(), true);
    EXPECT_EQ(state.loggerInterval(), 6);
    EXPECT_EQ(state.dstRule(DstRuleRow::Start), (DstRule{4, 0, 3, 2}));
    EXPECT_FALSE(state.dstRule(DstRuleRow::Stop));
    EXPECT_EQ(state.trap(1), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(state.text(ModulePart::SnmpLocation), " Hall 3");
    EXPECT_FALSE(state.text(ModulePart::DeviceType)) << "a keyword without its text shows nothing";

    // An inactive logger tells no interval; a new session forgets the letters, not the values.
    state.apply(ParseReply("!LOG_ON 0"));
    state.newSession();
    EXPECT_EQ(state.loggerActive(), false);
    EXPECT_FALSE(state.loggerInterval());
    EXPECT_FALSE(state.trapCapable());
    EXPECT_TRUE(state.trap(1));

    state.awaiting(ReplyKey::LogOn);
    EXPECT_FALSE(state.seen(ReplyKey::LogOn));
    state.skip(ReplyKey::LogOn);
    EXPECT_TRUE(state.seen(ReplyKey::LogOn));
}
