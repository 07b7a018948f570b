#pragma once

#include "core/clock/clock_planner.h"
#include "core/text/json.h"
#include "ctl/ctl_context.h"
#include "ctl/ctl_formats.h"
#include "ctl/module_session.h"

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace zek::cli {

// The steps of zekctl's work on one module that its single-module and fleet commands share.

using Members = JsonMembers;

bool allTook(const std::vector<FieldOutcome>& outcomes);
// One line per value: `MAC  field "wanted": took` or NOT TAKEN with what the module reports.
bool printOutcomes(std::ostream& out, const MacAddress& mac, const std::vector<FieldOutcome>& outcomes);

// One module of a network change, from its search answer to the verification.
struct Target {
    DeviceRecord found;
    NetworkChange change;
    DeviceRecord seen;     // the last answer
    bool answered = false; // answered a search after the reboot
    bool took = false;
};
// Sends the set-values requests, then the reboots as the window does, then searches until
// every module answers with its new values or the wait runs out.
bool writeNetwork(const Context& c, SearchEndpoint& finder, std::vector<Target*>& targets, bool reboot,
                  std::string& error);
std::string notAnsweredText(const Context& c);
// Where every module's IP will be after `changes`; `lines` gives each change's row.
std::vector<std::string> clashesAfter(const ModuleList& all, const std::vector<const Target*>& changes,
                                      const std::vector<int>& lines);

// A file's text; "-" is standard input.
std::optional<std::string> readFile(const std::string& path);

// What `read` shows of a module after the automatic read, UTF-8.
Members readFields(const DeviceRecord& r, const ModuleSession& session);
// What `backup` keeps of a module: its search values and the session settings it has.
Members backupMembers(const DeviceRecord& r, const ModuleSession& session);

// The values the command line names, or empty with `error` set; a session change names at
// least one value.
std::optional<NetworkChange> networkChangeFromOptions(const Context& c, std::string& error);
std::optional<SessionChange> sessionChangeFromOptions(const Context& c, std::string& error);

// What a backup object asks of its module (the mac and serial it was taken from, its
// values); the refusal, empty when every member is taken.
std::string backupRow(const Members& members, ApplyRow& row);

// Why the module cannot keep the change's values: the letter it lacks; empty when it can.
std::string missingLetter(const SessionChange& change, const ModuleState& state);
// Writes what differs and reads the changed groups back; false when the module lacks the
// letter a value that differs needs or the session failed.
bool writeSession(ModuleSession& session, const SessionChange& change, std::vector<FieldOutcome>& outcomes,
                  std::string& error);

// The module's own summer-time switch and rules, which decide what a set time means.
void withModuleRules(ClockRequest& request, const ModuleSettings& current);
// The module has a clock to set: letter L, and its clock reply is a time, not "No RTC".
bool hasClock(const ModuleSession& session);
struct ClockResult {
    bool took = false;
    std::string text; // `clock "payload": took, the module's local time is ...` or NOT TAKEN
};
// Sends the planned time and reads the clock back.
bool setModuleClock(ModuleSession& session, const ClockPlan& plan, ClockResult& result, std::string& error);

} // namespace zek::cli
