#include "ctl/module_work.h"

#include "core/clock/calendar.h"
#include "core/clock/clock_values.h"
#include "core/clock/dst_window.h"
#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"
#include "core/text/value_texts.h"
#include "ctl/ctl_formats.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

namespace zek::cli {

namespace {

// The window reboots a module on the third tick of its 500 ms timer after Set.
constexpr int kRebootDelayMs = 1000;
// A verification searches again this often until the new values show.
constexpr int kVerifyRoundMs = 250;
// A clock read back this close to the time sent has taken.
constexpr long kClockToleranceSeconds = 3;

} // namespace

bool allTook(const std::vector<FieldOutcome>& outcomes) {
    return std::all_of(outcomes.begin(), outcomes.end(), [](const FieldOutcome& o) { return o.took(); });
}

bool printOutcomes(std::ostream& out, const MacAddress& mac, const std::vector<FieldOutcome>& outcomes) {
    for (const FieldOutcome& o : outcomes) {
        out << macText(mac) << "  " << o.field << " \"" << visibleText(o.wanted) << "\": ";
        if (o.took())
            out << "took\n";
        else
            out << "NOT TAKEN, the module reports \"" << visibleText(o.reported) << "\"\n";
    }
    return allTook(outcomes);
}

bool writeNetwork(const Context& c, SearchEndpoint& finder, std::vector<Target*>& targets, bool reboot,
                  std::string& error) {
    for (Target* t : targets) {
        const auto record = changedRecord(t->found, t->change, error);
        if (!record || !finder.send(encodeSetValues(*record), error))
            return false;
    }
    if (!reboot)
        return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRebootDelayMs));
    for (Target* t : targets)
        if (!finder.send(encodeReboot(t->found.Mac), error))
            return false;
    const auto deadline = c.waitDeadline();
    ModuleList table;
    std::size_t pending = targets.size();
    const auto update = [&] {
        for (Target* t : targets) {
            if (const DeviceRecord* seen = table.find(t->found.Mac); seen && !t->took) {
                t->seen = *seen;
                t->answered = true;
                t->took = allTook(compareNetwork(t->change, t->seen));
                pending -= t->took;
            }
        }
        return pending == 0;
    };
    for (Target* t : targets)
        t->seen = t->found;
    while (!update() && Clock::now() < deadline) {
        const auto round = Clock::now() + std::chrono::milliseconds(kVerifyRoundMs);
        if (!finder.search(table, deadline, update, error, kVerifyRoundMs))
            return false;
        // A module that answered with its old values is given the rest of the round to reboot.
        while (Clock::now() < std::min(round, deadline) && !update())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string notAnsweredText(const Context& c) {
    return "did not answer after the reboot within " + std::to_string(c.waitMs) + " ms";
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream file;
    if (path != "-")
        file.open(path, std::ios::binary);
    std::istream& in = path == "-" ? std::cin : file;
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> clashesAfter(const ModuleList& all, const std::vector<const Target*>& changes,
                                      const std::vector<int>& lines) {
    std::map<MacAddress, PlannedAddress> planned;
    for (const DeviceRecord& r : all.records())
        planned[r.Mac] = {r.Mac, r.CurrentIp, -1, false};
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Target& t = *changes[i];
        const bool changed = t.change.ip && *t.change.ip != t.found.CurrentIp;
        planned[t.found.Mac] = {t.found.Mac, t.change.ip.value_or(t.found.CurrentIp), lines[i], changed};
    }
    std::vector<PlannedAddress> list;
    for (const auto& [mac, p] : planned)
        list.push_back(p);
    return addressClashes(std::move(list));
}

Members readFields(const DeviceRecord& r, const ModuleSession& session) {
    const ModuleSettings& s = session.settings();
    // The module's own texts are Latin-1; what zekctl prints is UTF-8.
    std::vector<std::pair<std::string, std::string>> fields = {{"mac", macText(r.Mac)},
                                                               {"ip", dottedText(r.CurrentIp)},
                                                               {"port", std::to_string(r.Port)},
                                                               {"module-info", latin1ToUtf8(s.moduleInfo)},
                                                               {"letters", latin1ToUtf8(s.letters)},
                                                               {"device", latin1ToUtf8(s.deviceType)},
                                                               {"revision", latin1ToUtf8(s.revision)},
                                                               {"company", latin1ToUtf8(s.company)}};
    if (session.state().loggerCapable()) {
        fields.insert(fields.end(), {{"logger", sessionFieldText(s, "logger")},
                                     {"clock-utc", latin1ToUtf8(s.clockUtc)},
                                     {"clock-local", latin1ToUtf8(s.clockLocal)},
                                     {"zone", latin1ToUtf8(s.zone)}});
        for (std::string_view key : {"dst", "dst-start", "dst-stop"})
            fields.emplace_back(key, sessionFieldText(s, key));
    }
    for (std::string_view key : {"trap1", "trap2", "trap3", "snmp-location"})
        fields.emplace_back(key, sessionFieldText(s, key));
    return fields;
}

// Writes what differs and reads the changed groups back.
bool writeSession(ModuleSession& session, const SessionChange& change, std::vector<FieldOutcome>& outcomes,
                  std::string& error) {
    // Values the module already has need no letter: a backup of a module without one holds
    // the values it reports anyway.
    const std::vector<PlannedWrite> writes = sessionCommands(change, session.settings());
    if (writes.empty()) {
        outcomes = compareSession(change, session.settings());
        return true;
    }
    if (error = missingLetter(change, session.state()); !error.empty())
        return false;
    if ((change.touchesLogger() && !session.write(GroupAction::SetLogger, writes, error)) ||
        (change.touchesSnmp() && !session.write(GroupAction::SetSnmp, writes, error)))
        return false;
    if ((change.touchesLogger() && !session.run(GroupAction::ReadLogger, error)) ||
        (change.touchesSnmp() && !session.run(GroupAction::ReadSnmp, error)))
        return false;
    outcomes = compareSession(change, session.settings());
    return true;
}

std::string missingLetter(const SessionChange& change, const ModuleState& state) {
    if (change.touchesLogger() && !state.loggerCapable())
        return "the module has no letter L: it keeps no logger, clock or daylight-saving settings";
    if (change.touchesSnmp() && !state.trapCapable())
        return "the module has no letter T: it keeps no trap receivers or SNMP location";
    return "";
}

Members backupMembers(const DeviceRecord& found, const ModuleSession& session) {
    Members members;
    for (std::string_view key : kSearchColumns)
        members.emplace_back(key, networkFieldText(found, key));
    for (std::string_view key : kSessionKeys)
        if (session.state().loggerCapable() || (key.starts_with("trap") || key == "snmp-location"))
            members.emplace_back(key, sessionFieldText(session.settings(), key));
    return members;
}

std::optional<NetworkChange> networkChangeFromOptions(const Context& c, std::string& error) {
    NetworkChange change;
    for (const auto& [name, value] : c.args.options)
        if (std::find(kNetworkKeys.begin(), kNetworkKeys.end(), name) != kNetworkKeys.end())
            if (error = setNetworkField(change, name, value); !error.empty())
                return std::nullopt;
    if (error = networkChangeProblem(change, nullptr); !error.empty())
        return std::nullopt;
    return change;
}

std::optional<SessionChange> sessionChangeFromOptions(const Context& c, std::string& error) {
    SessionChange change;
    for (const auto& [name, value] : c.args.options)
        if (std::find(kSessionKeys.begin(), kSessionKeys.end(), name) != kSessionKeys.end())
            if (error = setSessionField(change, name, value); !error.empty())
                return std::nullopt;
    if (error = sessionChangeProblem(change, nullptr); !error.empty())
        return std::nullopt;
    if (!change.touchesLogger() && !change.touchesSnmp()) {
        error = "write needs at least one value: " + std::string(c.args.command->usage);
        return std::nullopt;
    }
    return change;
}

std::string backupRow(const Members& members, ApplyRow& row) {
    bool named = false;
    for (const auto& [key, value] : members) {
        const bool isNetwork = std::find(kNetworkKeys.begin(), kNetworkKeys.end(), key) != kNetworkKeys.end();
        const bool isSession = std::find(kSessionKeys.begin(), kSessionKeys.end(), key) != kSessionKeys.end();
        if (key == "mac") {
            const auto mac = parseMac(value);
            if (!mac)
                return "bad MAC " + quotedText(value);
            row.mac = *mac;
            named = true;
            continue;
        }
        if (key == "serial") {
            if (!(row.serial = parseSerial(value)))
                return "serial is a number 0 to 4294967295, not " + quotedText(value);
            continue;
        }
        if (key == "mode" && value == "none")
            continue;
        if (!isNetwork && !isSession)
            return "unknown key " + quotedText(key);
        if (std::string error = isNetwork ? setNetworkField(row.change, key, value)
                                          : setSessionField(row.session, key, value);
            !error.empty())
            return error;
    }
    return named ? "" : "no \"mac\": a backup names the module it was taken from";
}

void withModuleRules(ClockRequest& request, const ModuleSettings& current) {
    request.automaticDst = current.dst;
    request.window = summerWindowOf(current.dstStart, current.dstStop, yearInUse(false, 0, request.date));
}

bool hasClock(const ModuleSession& session) {
    return session.state().loggerCapable() && parseModuleClock(session.settings().utcLine).has_value();
}

bool setModuleClock(ModuleSession& session, const ClockPlan& plan, ClockResult& result, std::string& error) {
    const ClockSeconds utc = plan.utc;
    const int zone = plan.zoneMinutes;
    const auto sent = Clock::now();
    if (!session.exchange({setClockCommandText(plan.payload), ReplyKey::TimeLocal}, error) ||
        !session.exchange(*readQuery(ValueAction::ReadClock), error))
        return false;
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - sent).count();
    const ModuleSettings now = session.settings();
    const auto reported = parseModuleClock(now.utcLine);
    const std::string wanted = SetClockPayload(utc + ClockSeconds(elapsed), zone);
    const long drift = reported ? long(reported->utc) - long(utc + ClockSeconds(elapsed)) : 0;
    result.took = reported && std::labs(drift) <= kClockToleranceSeconds && reported->zoneMinutes == zone;
    result.text =
        "clock \"" + wanted + "\": " +
        (result.took ? "took, the module's local time is " + visibleText(latin1ToUtf8(now.clockLocal))
                     : "NOT TAKEN, the module reports \"" + visibleText(latin1ToUtf8(now.utcLine)) + "\"");
    return true;
}

} // namespace zek::cli
