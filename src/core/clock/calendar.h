#pragma once

#include <cstdint>

namespace zek {

// Seconds since 2000-01-01 00:00:00, for UTC, local standard and local wall-clock time
// alike; sums and differences wrap modulo 2^32, so 4294967295 is 2136-02-07 06:28:15.
using ClockSeconds = std::uint32_t;

struct CivilTime {
    std::uint16_t year = 2000; // in full, e.g. 2026
    std::uint8_t month = 1;    // 1..12
    std::uint8_t day = 1;      // 1..31
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// Julian day number of a civil date (its noon): 2000-01-01 gives 2451545. The Gregorian
// conversion in floating point, as the modules compute it.
std::uint32_t DayNumber(int year, int month, int day);
ClockSeconds ToClockSeconds(int year, int month, int day, int hour, int minute, int second);
inline ClockSeconds ToClockSeconds(const CivilTime& t) {
    return ToClockSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second);
}
CivilTime FromClockSeconds(ClockSeconds seconds);

// Weekday 0 Sunday .. 6 Saturday, for the years 2000 to 2099, where every year divisible
// by 4 is a leap year.
int WeekdayOf(int day, int month, int year);
// 28..31; the year in full or of the century, the leap-year test is the same.
int MonthLength(int month, int year);

} // namespace zek
