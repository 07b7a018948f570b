#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace zek::cli {

enum ExitCode { kDone = 0, kNotTaken = 1, kBadUsage = 2 };

// The whole tool: `args` without the program name; results on `out`, one line per error
// (and the traffic with --verbose) on `err`. With `progress` (`err` is a terminal) a fleet
// command shows how far it got on one line of `err`.
int runZekctl(std::span<const std::string> args, std::ostream& out, std::ostream& err, bool progress = false);

} // namespace zek::cli
