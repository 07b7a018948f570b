#pragma once

#include "core/clock/clock_texts.h"
#include "net/pc_clock.h"

#include <functional>

namespace zek {

// Where the clock rows read the PC's time; tests pass a fixed one.
using PcClock = std::function<PcTime()>;

// The system clock now, from the platform seam.
using net::readPcClock;

} // namespace zek
