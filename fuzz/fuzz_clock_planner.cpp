// Any bytes as a clock set by hand: the first bytes choose the date, the zone, the rules
// and the answer to the repeated hour, the rest is the time field's text. The plan is a
// question or a payload the module can read, never both, never a crash.
#include "core/clock/clock_planner.h"
#include "core/clock/dst_window.h"
#include "core/clock/time_entry.h"
#include "core/clock/time_zones.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return 0;
    const auto at = [&](std::size_t i, int range) { return int(data[i] % range); };
    const zek::ManualDate date{std::uint8_t(1 + at(0, 31)), std::uint8_t(1 + at(1, 12)),
                               std::uint8_t(1 + at(2, 99))};
    const zek::DstRule start{at(3, 5), at(4, 7), 1 + at(5, 12), at(6, 24)};
    const zek::DstRule stop{at(4, 5), at(3, 7), 1 + at(6, 12), at(5, 24)};
    const int year = 2000 + date.year;
    const std::string_view time(reinterpret_cast<const char*>(data + 8), size - 8);
    zek::ClockRequest request{
        false,
        {},
        date,
        time,
        zek::ZoneOffsetMinutes(zek::ZoneTable[std::size_t(at(7, int(zek::ZoneTable.size())))]),
        (data[7] & 1) != 0,
        zek::summerWindowOf(start, stop, year),
        std::nullopt};
    if (data[7] & 2)
        request.repeatedHourIsSummer = (data[7] & 4) != 0;
    const zek::ClockPlan plan = zek::planClock(request);
    if ((plan.question == zek::ClockQuestion::None) == plan.payload.empty())
        std::abort();
    if (plan.question == zek::ClockQuestion::RepeatedHour && request.repeatedHourIsSummer)
        std::abort();
    if (!plan.payload.empty() && (plan.payload.size() < 24 || !zek::scanTimeText(plan.payload)))
        std::abort();
    return 0;
}
