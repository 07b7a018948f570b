#pragma once

#include "core/clock/clock_texts.h"

#include <optional>
#include <string>
#include <string_view>

namespace zek {

// What setting the module clock starts from: the PC clock, or a time entered by hand with
// its date and zone, under the module's own summer-time switching or without it.
struct ClockRequest {
    bool usePcTime = true;
    PcTime pc; // read only while the PC clock sets the module
    ManualDate date;
    std::string_view timeText; // "hh:mm:ss "
    int zoneMinutes = 0;
    bool automaticDst = false;
    SummerWindow window; // of the year in use
    // The answer to the repeated hour's question once it was asked: true for summer time.
    std::optional<bool> repeatedHourIsSummer;
};

// The question an entered time raises instead of a payload.
enum class ClockQuestion {
    None,
    RepeatedHour, // ask which of the two hours is meant, then plan again with the answer
    SkippedHour,  // the clocks skip this hour: the time is refused
};

struct ClockPlan {
    ClockQuestion question = ClockQuestion::None;
    std::string payload;  // "hh:mm:ss (w) dd.mm.yy (z)" when there is no question
    ClockSeconds utc = 0; // what the payload sets, for checking the module's reading after
    int zoneMinutes = 0;
};

// The one decision of what "!TIME_UTC" carries. Both faces ask the question themselves:
// the window with a dialog, a console with a flag.
ClockPlan planClock(const ClockRequest& request);

} // namespace zek
