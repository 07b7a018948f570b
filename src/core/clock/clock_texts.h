#pragma once

#include "core/clock/calendar.h"
#include "core/session/reply_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

// One reading of the PC clock: UTC and local time with their weekdays (0 Sunday) and the
// local zone's standard offset, without any daylight-saving shift.
struct PcTime {
    CivilTime utc;
    int utcWeekday = 6;
    CivilTime local;
    int localWeekday = 6;
    long standardOffsetMinutes = 0;
};

// The date the module clock is set from by hand; only the date picker changes it.
struct ManualDate {
    std::uint8_t day = 1;
    std::uint8_t month = 1;
    std::uint8_t year = 10; // of the century, 1..99

    friend bool operator==(const ManualDate&, const ManualDate&) = default;
};

// The local standard times from which (start) and until which (stop, in summer time) the
// daylight-saving rules of the year in use keep summer time. A start later in the year than
// the stop (the southern hemisphere's rules) keeps summer time across the turn of the year:
// from the start to the end of the year and from its beginning to the stop. A stop of 0 (a
// rule not known yet) or one equal to the start leaves the window empty.
struct SummerWindow {
    ClockSeconds start = 0;
    ClockSeconds stop = 0;

    bool spansNewYear() const { return stop != 0 && stop < start; }
    // Summer time, as the "(S)" mark shows it: start <= b < stop - 3600, or across the turn
    // of the year b >= start or b < stop - 3600.
    bool contains(ClockSeconds localStandard) const;
};

// Where a local wall-clock time falls when the module is to switch to summer time by itself.
enum class SummerCase {
    Standard,
    Summer,       // one hour less to UTC
    RepeatedHour, // the last summer hour, which the clocks pass twice: the user decides
    SkippedHour,  // the hour the clocks skip: the time is not sent
};
SummerCase summerCase(const SummerWindow& window, ClockSeconds local);

// "hh:mm:ss (w) dd.mm.yy (z)": the PC's UTC time and its standard offset in minutes east of
// UTC; also the set-clock payload while the PC clock sets the module.
std::string PcUtcText(const PcTime& pc);
// Compact: "hh:mm:ss        dd.mm.yy"; extended: "hh:mm:ss (w) dd.mm.yy" and `computedLocal`.
std::string PcLocalText(const PcTime& pc, bool compactView, std::string_view computedLocal);

// The clock entries of the window that the derived texts depend on.
struct ClockEntries {
    bool compactView = true;
    bool automaticDst = false;
    bool usePcTime = true;
    ManualDate date;
    std::string_view timeText; // "hh:mm:ss "
    int zoneMinutes = 0;
    SummerWindow window;
};
// The local time derived from the PC's UTC clock (or the entered time) and the zone, with
// its "(S)"/"(W)" mark; empty in the compact view and while Automatic DST is clear.
std::string ComputedLocalText(const PcTime& pc, const ClockEntries& entries);

// The entered local wall-clock time and its UTC value from the zone's offset alone.
struct ManualClock {
    ClockSeconds local = 0;
    ClockSeconds utc = 0;
};
ManualClock manualClock(const ManualDate& date, std::string_view timeText, int zoneMinutes);
// "hh:mm:ss (w) dd.mm.yy (z)" of a UTC value: the weekday of the UTC date, the zone's
// standard offset.
std::string SetClockPayload(ClockSeconds utc, int zoneMinutes);
// "!TIME_UTC " + payload + CR.
std::string setClockCommandText(std::string_view payload);

// What a clock reply line shows in the module's UTC field, its local field and its zone
// field; a field without a value keeps its text.
struct ClockReplyEffect {
    std::optional<std::string> utcTime;
    std::optional<std::string> localTime;
    std::optional<std::string> zone;
};
ClockReplyEffect clockReplyEffect(ReplyKind kind, std::string_view line, bool compactView);
// A zone in minutes east of UTC as hours and minutes: 60 "+1.00", -570 "-9.30".
std::string zoneDisplayText(long long minutes);

} // namespace zek
