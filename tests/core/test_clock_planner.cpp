#include "core/clock/clock_planner.h"
#include "core/clock/clock_values.h"
#include "core/clock/dst_window.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zek;

// Sydney's rules set by hand at zone +10.00; the UTC times are the tz database's for
// Australia/Sydney.
TEST(ClockPlanner, SydneyByHand) {
    const SummerWindow sydney = summerWindowOf({0, 0, 10, 2}, {0, 0, 4, 3}, 2026);
    // Date, time, answer to the repeated hour, question, payload.
    const std::tuple<ManualDate, const char*, std::optional<bool>, ClockQuestion, const char*> cases[] = {
        {{15, 1, 26}, "12:00:00 ", {}, ClockQuestion::None, "01:00:00 (4) 15.01.26 (600)"},
        {{15, 7, 26}, "12:00:00 ", {}, ClockQuestion::None, "02:00:00 (3) 15.07.26 (600)"},
        {{4, 10, 26}, "02:30:00 ", {}, ClockQuestion::SkippedHour, ""},
        {{5, 4, 26}, "02:30:00 ", {}, ClockQuestion::RepeatedHour, ""},
        {{5, 4, 26}, "02:30:00 ", true, ClockQuestion::None, "15:30:00 (6) 04.04.26 (600)"},
        {{5, 4, 26}, "02:30:00 ", false, ClockQuestion::None, "16:30:00 (6) 04.04.26 (600)"},
    };
    for (const auto& [date, time, answer, question, payload] : cases) {
        const ClockPlan plan = planClock({false, {}, date, time, 600, true, sydney, answer});
        EXPECT_EQ(plan.question, question) << time;
        EXPECT_EQ(plan.payload, payload) << time;
    }
    // Without automatic switching the zone alone counts; the PC clock is sent as it reads.
    EXPECT_EQ(planClock({false, {}, {15, 1, 26}, "12:00:00 ", 600, false, sydney, {}}).payload,
              "02:00:00 (4) 15.01.26 (600)");
    PcTime pc;
    pc.utc = {2026, 1, 15, 1, 2, 3};
    pc.utcWeekday = 4;
    pc.standardOffsetMinutes = 60;
    EXPECT_EQ(planClock({true, pc, {}, "", 0, true, sydney, {}}).payload, "01:02:03 (4) 15.01.26 (60)");
}

TEST(ClockValues, TextsAreReadStrictly) {
    // Text, whether it is a time, a date.
    const std::tuple<const char*, bool, bool> cases[] = {
        {"23:59:59", true, false},  {"24:00:00", false, false}, {"12:60:00", false, false},
        {"1:02:03", false, false},  {"+1:02:03", false, false}, {"12:00:00 ", false, false},
        {"29.02.28", false, true},  {"29.02.27", false, false}, {"31.04.26", false, false},
        {"01.01.00", false, false}, {"15.13.26", false, false}, {"", false, false},
    };
    for (const auto& [text, time, date] : cases) {
        EXPECT_EQ(parseTimeText(text).has_value(), time) << text;
        EXPECT_EQ(parseDateText(text).has_value(), date) << text;
    }
    EXPECT_EQ(parseZoneText("+10.00"), 600);
    EXPECT_EQ(parseZoneText("-9.30"), -570);
    EXPECT_FALSE(parseZoneText("+10"));
    EXPECT_FALSE(parseZoneText(""));

    const auto clock = parseModuleClock("!TIME_UTC 01:00:00 (4) 15.01.26 (600)");
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->utc, ToClockSeconds(2026, 1, 15, 1, 0, 0));
    EXPECT_EQ(clock->zoneMinutes, 600);
    EXPECT_EQ(parseModuleClock("!TIME_UTC 23:00:00 (0) 31.12.99 (-570)")->zoneMinutes, -570);
    for (const char* bad : {"!TIME_UTC 25:00:00 (4) 15.01.26 (600)", "!TIME_UTC 01:00:00 (4) 32.01.26 (600)",
                            "!TIME_UTC 01:00:00 (4) 15.01.26 (600", "!TIME_LOCAL 01:00:00 (4) 15.01.26 (W)",
                            "!TIME_UTC 01:00 (4) 15.01.26 (600)", "!TIME_UTC"})
        EXPECT_FALSE(parseModuleClock(bad)) << bad;
}
