#include "net/pc_clock.h"

#include <ctime>

namespace zek::net {

namespace {

CivilTime civilTime(const std::tm& tm) {
    return {std::uint16_t(tm.tm_year + 1900), std::uint8_t(tm.tm_mon + 1), std::uint8_t(tm.tm_mday),
            std::uint8_t(tm.tm_hour),         std::uint8_t(tm.tm_min),     std::uint8_t(tm.tm_sec)};
}

} // namespace

PcTime readPcClock() {
    // tzset fills `timezone`, seconds west of UTC in standard time, from TZ or the system zone.
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    std::tm local{};
    gmtime_r(&now, &utc);
    localtime_r(&now, &local);
    return {civilTime(utc), utc.tm_wday, civilTime(local), local.tm_wday, -timezone / 60};
}

} // namespace zek::net
