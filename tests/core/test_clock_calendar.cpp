#include "core/clock/calendar.h"
#include "core/clock/time_zones.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

using namespace zek;
namespace chr = std::chrono;

TEST(Calendar, Examples) {
    EXPECT_EQ(ToClockSeconds(2026, 12, 5, 0, 0, 0), 849744000u);
    EXPECT_EQ(FromClockSeconds(4294967295u), (CivilTime{2136, 2, 7, 6, 28, 15}));
    // Before 2000 the count wraps.
    EXPECT_EQ(ToClockSeconds(1999, 12, 31, 23, 59, 59), 4294967295u);
    EXPECT_EQ(MonthLength(2, 24), 29);
}

// Every day of the 32-bit range, at a different second of each, against the standard
// library's calendar; weekdays and month lengths over the century the tool handles.
TEST(Calendar, AgreesWithTheStandardCalendar) {
    const chr::sys_seconds epoch = chr::sys_days(chr::year(2000) / 1 / 1);
    for (std::uint64_t day = 0; day <= 4294967295u / 86400; ++day) {
        const auto s = ClockSeconds(std::min<std::uint64_t>(day * 86400 + day * 7919 % 86400, 4294967295u));
        const chr::sys_seconds at = epoch + chr::seconds(s);
        const chr::year_month_day date{chr::floor<chr::days>(at)};
        const chr::hh_mm_ss time{at - chr::floor<chr::days>(at)};
        const CivilTime expected{std::uint16_t(int(date.year())),      std::uint8_t(unsigned(date.month())),
                                 std::uint8_t(unsigned(date.day())),   std::uint8_t(time.hours().count()),
                                 std::uint8_t(time.minutes().count()), std::uint8_t(time.seconds().count())};
        ASSERT_EQ(FromClockSeconds(s), expected) << s;
        ASSERT_EQ(ToClockSeconds(expected), s);
        if (expected.year < 2100) {
            ASSERT_EQ(WeekdayOf(expected.day, expected.month, expected.year),
                      int(chr::weekday(chr::sys_days(date)).c_encoding()));
            ASSERT_EQ(MonthLength(expected.month, expected.year),
                      int(unsigned((date.year() / date.month() / chr::last).day())));
        }
    }
}

TEST(TimeZones, EveryTextGivesItsOffset) {
    const int offsets[] = {-720, -660, -600, -570, -540, -480, -420, -360, -300, -270, -240, -180, -120,
                           -60,  0,    60,   120,  180,  187,  210,  240,  270,  300,  330,  345,  360,
                           390,  420,  480,  540,  570,  600,  660,  690,  720,  765,  780,  840};
    ASSERT_EQ(std::size(offsets), ZoneTable.size());
    for (std::size_t i = 0; i < ZoneTable.size(); ++i)
        EXPECT_EQ(ZoneOffsetMinutes(ZoneTable[i]), offsets[i]) << ZoneTable[i];
    EXPECT_EQ(ZoneTable[kDefaultZoneIndex], "  +0.00");
    const std::pair<const char*, int> odd[] = {
        {"", 0}, {"abc", 0}, {" +5", 300}, {"-0.30", -30}, {"99999999999.99", INT_MAX}};
    for (const auto& [text, minutes] : odd)
        EXPECT_EQ(ZoneOffsetMinutes(text), minutes) << text;
}
