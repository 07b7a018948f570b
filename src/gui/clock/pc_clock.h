#pragma once

#include "core/clock/clock_texts.h"

#include <functional>

namespace zek {

// Where the clock rows read the PC's time; tests pass a fixed one.
using PcClock = std::function<PcTime()>;

// The system clock now: UTC, local time and the local zone's standard offset, which leaves
// out any daylight-saving shift. One file per platform provides it.
PcTime readPcClock();

} // namespace zek
