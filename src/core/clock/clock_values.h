#pragma once

#include "core/clock/calendar.h"
#include "core/clock/clock_texts.h"
#include "core/clock/time_entry.h"

#include <optional>
#include <string_view>

namespace zek {

// The clock values a user types or a module reports, read strictly: a text that does not
// match exactly gives nothing, and the caller names the field it came from.

// "HH:MM:SS", a valid time of day.
std::optional<TimeOfDay> parseTimeText(std::string_view text);
// "DD.MM.YY", years 01 to 99, a day the month has.
std::optional<ManualDate> parseDateText(std::string_view text);
// One of the zone list's offsets without its padding ("+1.00", "-9.30"), in minutes.
std::optional<int> parseZoneText(std::string_view text);

// "!TIME_UTC hh:mm:ss (w) dd.mm.yy (z)": the module's UTC clock and its zone in minutes.
struct ModuleClock {
    ClockSeconds utc = 0;
    int zoneMinutes = 0;
};
std::optional<ModuleClock> parseModuleClock(std::string_view line);

} // namespace zek
