#include "core/clock/time_zones.h"

#include "core/text/c_scan.h"

#include <algorithm>
#include <climits>

namespace zek {

int ZoneOffsetMinutes(std::string_view text) {
    text = text.substr(0, kZoneTextRoom);
    ScanCursor scan(text);
    const auto hours = scan.scanfDecimal();
    if (!hours)
        return 0;
    const auto minutes = scan.literal('.') ? scan.scanfDecimal() : std::nullopt;
    const long long m = minutes.value_or(0);
    const bool west = text.find('-') != std::string_view::npos;
    const long long offset = *hours * 60LL + (west ? -m : m);
    return int(std::clamp<long long>(offset, INT_MIN, INT_MAX));
}

} // namespace zek
