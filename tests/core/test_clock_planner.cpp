#include "core/clock/clock_planner.h"
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
