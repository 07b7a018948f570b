#pragma once

#include "ctl/ctl_context.h"

#include <optional>
#include <string>
#include <vector>

namespace zek::cli {

// One module a fleet command works on, in search order (--all) or file order (--modules).
struct FleetTarget {
    int line = 0;                      // the --modules file's line; 0 for --all
    std::string name;                  // as the file names it
    std::optional<DeviceRecord> found; // empty: no module answered to the name
    std::string note;                  // what the search showed that needs a look
};
struct Fleet {
    std::vector<FleetTarget> targets;
    net::ModuleList all; // every module that answered the search
};

// The command names its modules with --all or --modules FILE instead of MODULE.
bool namesFleet(const Args& args);
// Checks that the command names either MODULE or a fleet; the exit code, kDone when it does.
int checkFleetUsage(const Context& c);
// Reads --modules FILE, searches once and lists the modules to work on. A module the file
// names that does not answer is a target without `found`; a MAC that two modules answer
// with gives a target for each, with a note. Returns kDone, or the exit code after the
// message (a bad file, a name two modules answer to).
int findFleet(const Context& c, net::SearchEndpoint& finder, Fleet& fleet);
// "no answer to the search within 1500 ms"
std::string noAnswerText(const Context& c);

} // namespace zek::cli
