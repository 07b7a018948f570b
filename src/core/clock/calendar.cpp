#include "core/clock/calendar.h"

#include <array>
#include <cmath>

namespace zek {

namespace {

constexpr std::uint32_t kDayNumber2000 = 2451545;
constexpr std::uint32_t kSecondsPerDay = 86400;
constexpr std::array<int, 12> kWeekdayKeys = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
constexpr std::array<int, 12> kLengthsOver28 = {3, 0, 3, 2, 3, 2, 3, 3, 2, 3, 2, 3};

// Months outside 1..12 are read as the nearest one, so no table is read past its end.
std::size_t monthIndex(int month) {
    return std::size_t(month < 1 ? 0 : month > 12 ? 11 : month - 1);
}

} // namespace

std::uint32_t DayNumber(int year, int month, int day) {
    int y = year;
    int m = month;
    if (m < 3) {
        y -= 1;
        m += 12;
    }
    const int a = y / 100;
    const int b = 2 - a + a / 4;
    const double jd = std::trunc(365.25 * (y + 4716)) + std::trunc(30.6001 * (m + 1)) + 1 +
                      (day - 0.041666666666666664) + b - 1524.5;
    return std::uint32_t(std::int64_t(std::trunc(jd)));
}

ClockSeconds ToClockSeconds(int year, int month, int day, int hour, int minute, int second) {
    return (DayNumber(year, month, day) - kDayNumber2000) * kSecondsPerDay + std::uint32_t(hour) * 3600u +
           std::uint32_t(minute) * 60u + std::uint32_t(second);
}

CivilTime FromClockSeconds(ClockSeconds seconds) {
    const double z = double(seconds / kSecondsPerDay + kDayNumber2000);
    const double alpha = std::trunc((z - 1867216.25) / 36524.25);
    const double a = z + 1 + alpha - std::trunc(alpha / 4);
    const double b = a + 1524;
    const double n = std::trunc((b - 122.1) / 365.25);
    const double d = std::trunc(365.25 * n);
    const double e = std::trunc((b - d) / 30.6001);
    CivilTime t;
    t.day = std::uint8_t(b - d - std::trunc(30.6001 * e));
    t.month = std::uint8_t(e < 14 ? e - 1 : e - 13);
    t.year = std::uint16_t(t.month > 2 ? n - 4716 : n - 4715);
    const ClockSeconds r = seconds % kSecondsPerDay;
    t.hour = std::uint8_t(r / 3600);
    t.minute = std::uint8_t(r % 3600 / 60);
    t.second = std::uint8_t(r % 60);
    return t;
}

int WeekdayOf(int day, int month, int year) {
    const int yy = year - 2000;
    int v = 6 + yy + yy / 4 + kWeekdayKeys[monthIndex(month)] + day;
    if (yy % 4 == 0 && (month == 1 || month == 2))
        v -= 1;
    return (v % 7 + 7) % 7;
}

int MonthLength(int month, int year) {
    return 28 + kLengthsOver28[monthIndex(month)] + (month == 2 && year % 4 == 0 ? 1 : 0);
}

} // namespace zek
