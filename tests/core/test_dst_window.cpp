#include "core/clock/date_picker.h"
#include "core/clock/dst_window.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace zek;
namespace chr = std::chrono;

constexpr DstRule kEuStart{4, 0, 3, 2}, kEuStop{4, 0, 10, 3};

// Seconds from 2000-01-01 to a day and hour, by the standard library's calendar.
static ClockSeconds oracle(chr::sys_days day, int hour) {
    return ClockSeconds((day - chr::sys_days(chr::year(2000) / 1 / 1)).count() * 86400 + hour * 3600);
}

TEST(DstWindow, NthWeekdayOfMonth) {
    const struct {
        int n, weekday, month, year, day;
    } rows[] = {
        {0, 0, 3, 2026, 1},  {1, 0, 3, 2026, 8},   {4, 0, 3, 2026, 29}, {4, 0, 10, 2026, 25},
        {4, 3, 4, 2024, 24}, {4, 4, 10, 2024, 31}, {4, 4, 2, 2024, 29}, {4, 0, 2, 2025, 23},
    };
    for (const auto& r : rows)
        EXPECT_EQ(NthWeekdayOfMonth(r.n, r.weekday, r.month, r.year), r.day) << r.n << r.weekday << r.month;
}

// The European rules (last Sunday of March 02:00 standard time to last Sunday of October
// 03:00 summer time) and the US ones before and after 2007, as the tz database has them for
// Europe/Berlin and America/New_York, against the standard library's calendar.
TEST(DstWindow, SwitchInstantsAgreeWithTheStandardCalendar) {
    using chr::Sunday, chr::last;
    for (int y = 2001; y <= 2037; ++y) {
        const chr::year year(y);
        SCOPED_TRACE(y);
        EXPECT_EQ(DstSwitchInstant(kEuStart, y), oracle(chr::sys_days(year / chr::March / Sunday[last]), 2));
        EXPECT_EQ(DstSwitchInstant(kEuStop, y), oracle(chr::sys_days(year / chr::October / Sunday[last]), 3));
        const bool us2007 = y >= 2007;
        const SummerWindow us = us2007 ? summerWindowOf({1, 0, 3, 2}, {0, 0, 11, 2}, y)
                                       : summerWindowOf({0, 0, 4, 2}, {4, 0, 10, 2}, y);
        const chr::sys_days usStart = us2007 ? chr::sys_days(year / chr::March / Sunday[2])
                                             : chr::sys_days(year / chr::April / Sunday[1]);
        const chr::sys_days usStop = us2007 ? chr::sys_days(year / chr::November / Sunday[1])
                                            : chr::sys_days(year / chr::October / Sunday[last]);
        EXPECT_EQ(us.start, oracle(usStart, 2));
        EXPECT_EQ(us.stop, oracle(usStop, 2));
    }
}

TEST(DstWindow, PreviewsOf2026) {
    EXPECT_EQ(rulePreview(kEuStart, 2026, false).text, "29.03.26 (0) (828064800)");
    EXPECT_EQ(rulePreview(kEuStop, 2026, false).text, "25.10.26 (0) (846212400)");
    EXPECT_EQ(rulePreview(kEuStart, 2030, true).text, "31.03.30");
    // Before a language fills the lists no rule is selected.
    EXPECT_EQ(rulePreview(DstRule::fromIndexes({-1, -1, -1, 2}), 2026, false).text, "?");
    EXPECT_EQ(DstSwitchInstant({5, 0, 3, 2}, 2026), 0u);
    EXPECT_EQ(yearInUse(false, 2024, {1, 1, 30}), 2030);
}

// Zone +1.00 with the default rules: the local times around both switches of 2026.
TEST(DstWindow, SwitchHoursOf2026) {
    const SummerWindow window = summerWindowOf(kEuStart, kEuStop, 2026);
    const struct {
        int day, hour, minute, second;
        SummerCase when;
        int utcHourIfSummer, utcHourIfWinter; // -1: not sent
    } rows[] = {
        {29, 1, 59, 59, SummerCase::Standard, 0, 0},      {29, 2, 0, 0, SummerCase::SkippedHour, -1, -1},
        {29, 2, 59, 59, SummerCase::SkippedHour, -1, -1}, {29, 3, 0, 0, SummerCase::Summer, 1, 1},
        {25, 1, 59, 59, SummerCase::Summer, 23, 23},      {25, 2, 0, 0, SummerCase::RepeatedHour, 0, 1},
        {25, 2, 59, 59, SummerCase::RepeatedHour, 0, 1},  {25, 3, 0, 0, SummerCase::Standard, 2, 2},
    };
    for (const auto& r : rows) {
        const int month = r.day == 29 ? 3 : 10;
        const ClockSeconds local = ToClockSeconds(2026, month, r.day, r.hour, r.minute, r.second);
        SCOPED_TRACE(local);
        // Read as local standard time, the skipped hour is summer time already.
        EXPECT_EQ(InSummerTime(window, local),
                  r.when == SummerCase::Summer || r.when == SummerCase::SkippedHour);
        for (const bool summer : {true, false}) {
            const SummerCorrection c = SummerTimeCorrection(window, local, local - 3600, summer);
            EXPECT_EQ(c.when, r.when);
            const int hour = summer ? r.utcHourIfSummer : r.utcHourIfWinter;
            EXPECT_EQ(c.send ? FromClockSeconds(c.utc).hour : -1, hour);
        }
    }
}

// A summer time across the turn of the year: no time counts as summer time, nothing is asked.
TEST(DstWindow, InvertedRulesGiveAnEmptyWindow) {
    const SummerWindow window = summerWindowOf({4, 0, 10, 3}, {4, 0, 3, 2}, 2026);
    for (const ClockSeconds local : {window.stop + 1800, window.start - 1800, window.start + 1800}) {
        EXPECT_FALSE(InSummerTime(window, local));
        EXPECT_EQ(SummerTimeCorrection(window, local, local - 3600, true).utc, local - 3600);
    }
}

TEST(DatePicker, DayGrid) {
    const struct {
        int dayIndex, monthIndex, yearIndex, count, chosen;
    } rows[] = {
        {30, 1, 9, 28, 28},  // 31.01.10 moved to February 2010
        {30, 1, 11, 29, 29}, // ... to February 2012
        {16, 2, 24, 31, 17}, // March 2025 shows 29 .. 31 again
        {-1, -1, -1, 31, 1}, // no selection: the first items
    };
    for (const auto& r : rows) {
        const DayGrid grid = UpdateDayGrid(r.dayIndex, r.monthIndex, r.yearIndex);
        EXPECT_EQ(std::pair(grid.dayCount, grid.chosenDay), std::pair(r.count, r.chosen));
        EXPECT_EQ(grid.look(r.chosen), DayLook::Chosen);
        EXPECT_EQ(grid.look(r.chosen == 1 ? 2 : 1), DayLook::Plain);
        EXPECT_EQ(grid.look(31), r.count < 31 ? DayLook::Hidden : DayLook::Plain);
    }
    EXPECT_EQ(UpdateDayGrid(30, 1, 11).date, (ManualDate{29, 2, 12}));
    EXPECT_EQ(dateFieldText({5, 12, 26}), "05.12.26");
    EXPECT_EQ(dayItems(28).back(), "28");
}
