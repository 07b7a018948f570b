#include <windows.h>

#include "net/pc_clock.h"

namespace zek::net {

namespace {

CivilTime civilTime(const SYSTEMTIME& t) {
    return {std::uint16_t(t.wYear), std::uint8_t(t.wMonth),  std::uint8_t(t.wDay),
            std::uint8_t(t.wHour),  std::uint8_t(t.wMinute), std::uint8_t(t.wSecond)};
}

} // namespace

PcTime readPcClock() {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    GetSystemTime(&utc);
    // The local time of the same instant: a second read could fall on the next second.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        GetLocalTime(&local);
    // Bias + StandardBias: minutes west of UTC outside summer time; an unknown zone is UTC.
    TIME_ZONE_INFORMATION zone{};
    const long westMinutes =
        GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ? 0 : long(zone.Bias) + long(zone.StandardBias);
    return {civilTime(utc), utc.wDayOfWeek, civilTime(local), local.wDayOfWeek, -westMinutes};
}

} // namespace zek::net
