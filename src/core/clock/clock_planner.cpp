#include "core/clock/clock_planner.h"

#include "core/clock/dst_window.h"

namespace zek {

ClockPlan planClock(const ClockRequest& request) {
    if (request.usePcTime)
        return {ClockQuestion::None, PcUtcText(request.pc), ToClockSeconds(request.pc.utc),
                int(request.pc.standardOffsetMinutes)};
    const ManualClock entered = manualClock(request.date, request.timeText, request.zoneMinutes);
    ClockSeconds utc = entered.utc;
    if (request.automaticDst) {
        const SummerCase when = summerCase(request.window, entered.local);
        if (when == SummerCase::RepeatedHour && !request.repeatedHourIsSummer)
            return {ClockQuestion::RepeatedHour, {}, 0, request.zoneMinutes};
        const SummerCorrection correction = SummerTimeCorrection(
            request.window, entered.local, utc, request.repeatedHourIsSummer.value_or(false));
        if (!correction.send)
            return {ClockQuestion::SkippedHour, {}, 0, request.zoneMinutes};
        utc = correction.utc;
    }
    return {ClockQuestion::None, SetClockPayload(utc, request.zoneMinutes), utc, request.zoneMinutes};
}

} // namespace zek
