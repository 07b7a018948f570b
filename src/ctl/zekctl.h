#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace zek::cli {

enum ExitCode { kDone = 0, kNotTaken = 1, kBadUsage = 2 };

// The whole tool: `args` without the program name; results on `out`, one line per error
// (and the traffic with --verbose) on `err`.
int runZekctl(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace zek::cli
