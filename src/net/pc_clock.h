#pragma once

#include "core/clock/clock_texts.h"

namespace zek::net {

// The system clock now: UTC, local time and the local zone's standard offset, which leaves
// out any daylight-saving shift.
PcTime readPcClock();

} // namespace zek::net
