// Any bytes as a time, a date or a zone typed for zekctl, or as the module's clock reply:
// each parser gives a valid value or nothing, and a value it gives reads back the same.
#include "core/clock/clock_values.h"
#include "core/clock/date_picker.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto time = zek::parseTimeText(text)) {
        char again[16];
        std::snprintf(again, sizeof again, "%02d:%02d:%02d", time->hour, time->minute, time->second);
        if (text != again)
            std::abort();
    }
    if (const auto date = zek::parseDateText(text))
        if (zek::dateFieldText(*date) != text)
            std::abort();
    if (const auto zone = zek::parseZoneText(text); zone && (*zone < -12 * 60 || *zone > 14 * 60))
        std::abort();
    if (const auto clock = zek::parseModuleClock(text)) {
        const zek::CivilTime civil = zek::FromClockSeconds(clock->utc);
        if (civil.year < 2001 || civil.year > 2099 || civil.hour > 23)
            std::abort();
    }
    return 0;
}
