#include "ctl/zekctl.h"

#include "core/clock/calendar.h"
#include "core/clock/clock_planner.h"
#include "core/clock/clock_values.h"
#include "core/clock/dst_window.h"
#include "core/clock/time_zones.h"
#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"
#include "ctl/ctl_args.h"
#include "ctl/ctl_formats.h"
#include "ctl/module_session.h"
#include "net/host_interfaces.h"
#include "net/pc_clock.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace zek::cli {

namespace {

constexpr int kDefaultWaitMs = 1500;
// The window reboots a module on the third tick of its 500 ms timer after Set.
constexpr int kRebootDelayMs = 1000;
// A verification searches again this often until the new values show.
constexpr int kVerifyRoundMs = 250;
// A clock read back this close to the time sent has taken.
constexpr long kClockToleranceSeconds = 3;

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> commands = {
        {"interfaces", "zekctl interfaces", "List the PC's IPv4 interface addresses.", 0, {}, {}, false},
        {"search",
         "zekctl search [--format table|json|csv]",
         "List every module that answers a search.",
         0,
         {"format"},
         {}},
        {"set",
         "zekctl set MODULE [--ip A] [--netmask M] [--gateway G] [--dhcp on|off] [--name N] [--port P] "
         "[--mode N] [--no-reboot]",
         "Write a module's network settings, reboot it and check that they took.",
         1,
         {"ip", "netmask", "gateway", "dhcp", "name", "port", "mode"},
         {"no-reboot"}},
        {"apply",
         "zekctl apply FILE.csv [--dry-run]",
         "Write the network settings of many modules, one CSV row per MAC, and check them.",
         1,
         {},
         {"dry-run"}},
        {"read",
         "zekctl read MODULE [--format text|json]",
         "Read a module's identity and session settings.",
         1,
         {"format"},
         {}},
        {"write",
         "zekctl write MODULE [--logger off|1..60] [--dst on|off] [--dst-start \"n w m h\"] [--dst-stop \"n "
         "w m h\"] "
         "[--trap1 A|off] [--trap2 A|off] [--trap3 A|off] [--snmp-location TEXT]",
         "Write session settings and check them by reading them back.",
         1,
         {"logger", "dst", "dst-start", "dst-stop", "trap1", "trap2", "trap3", "snmp-location"},
         {}},
        {"clock",
         "zekctl clock MODULE --from-pc | --time HH:MM:SS --date DD.MM.YY --zone +1.00 [--dst-answer "
         "summer|winter]",
         "Set the module clock from the PC clock or from a time entered by hand, and check it.",
         1,
         {"time", "date", "zone", "dst-answer"},
         {"from-pc"}},
        {"backup",
         "zekctl backup MODULE > module.json",
         "Print a module's network and session settings as JSON.",
         1,
         {},
         {}},
        {"restore",
         "zekctl restore MODULE module.json [--to-other-module]",
         "Write what differs from the module's own backup file to it and check it.",
         2,
         {},
         {"to-other-module"}},
    };
    return commands;
}

constexpr std::string_view kCommonHelp =
    "Options of every command that talks to modules:\n"
    "  --from ADDR   the PC interface address to search and connect from\n"
    "                (default: the first non-loopback IPv4 address; see zekctl interfaces)\n"
    "  --wait MS     how long one answer is waited for (default 1500): a search's replies, a\n"
    "                connection, each reply of a session. A session asks each query up to 3\n"
    "                times and ends after 30 waits at most; any value from 1 works.\n"
    "  --verbose     print the traffic (\"SND:\", \"RCV:\") on stderr\n"
    "MODULE is a MAC (\"00 0A 1B 2C 3D 4E\" or 00:0a:1b:2c:3d:4e) or the module's current IP address;\n"
    "an IP that two modules answer with is refused. FILE - reads standard input.\n"
    "Text from modules is shown with control characters as \\xNN and a backslash as \\\\.\n"
    "Exit codes: 0 done, 1 a change did not take or a module did not answer, 2 bad usage or\n"
    "a change refused before anything was sent.\n";

struct Context {
    const Args& args;
    std::ostream& out;
    std::ostream& err;
    std::uint32_t from = 0;
    int waitMs = kDefaultWaitMs;
    Trace trace;

    Clock::time_point waitDeadline() const { return Clock::now() + std::chrono::milliseconds(waitMs); }
    int stop(int code, std::string_view message) const {
        err << "zekctl: " << message << "\n";
        return code;
    }
    int fail(std::string_view message) const { return stop(kNotTaken, message); }
    int usage(std::string_view message) const { return stop(kBadUsage, message); }
};

// MODULE on the command line: a MAC or the address the module answers from.
struct ModuleRef {
    std::string text;
    std::optional<MacAddress> mac;
    std::optional<std::uint32_t> ip;

    bool matches(const DeviceRecord& r) const { return mac ? r.Mac == *mac : r.CurrentIp == *ip; }
};

std::optional<ModuleRef> parseModule(const std::string& text) {
    ModuleRef ref{text, parseMac(text), std::nullopt};
    if (!ref.mac)
        ref.ip = parseIpv4(text);
    if (!ref.mac && !ref.ip)
        return std::nullopt;
    return ref;
}

// Searches for the module. A MODULE given as an IP, or a move to `newIp`, waits for the
// whole search: another module with that IP may answer later, and must not be the one
// changed or be left sharing its IP. Returns the exit code, kDone when found.
int findModule(const Context& c, SearchEndpoint& finder, const ModuleRef& ref, DeviceRecord& found,
               ModuleList& all, std::optional<std::uint32_t> newIp, std::string& error) {
    const auto present = [&] {
        for (const DeviceRecord& r : all.records())
            if (ref.matches(r))
                return &r;
        return static_cast<const DeviceRecord*>(nullptr);
    };
    const auto enough = [&] {
        const DeviceRecord* r = present();
        return !ref.ip && r && (!newIp || *newIp == r->CurrentIp);
    };
    if (!finder.open(c.from, error) || !finder.search(all, c.waitDeadline(), enough, error))
        return kNotTaken;
    std::string macs;
    for (const DeviceRecord& r : all.records())
        if (ref.matches(r))
            macs += (macs.empty() ? "" : ", ") + macText(r.Mac);
    if (macs.find(',') != std::string::npos) {
        error =
            "more than one module answers with IP " + ref.text + ": " + macs + "; name the module by its MAC";
        return kBadUsage;
    }
    if (!present()) {
        error = "module " + ref.text + " did not answer a search within " + std::to_string(c.waitMs) + " ms";
        return kNotTaken;
    }
    found = *present();
    return kDone;
}

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
    return change;
}

// A file's text; "-" is standard input.
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

// Where every module's IP will be after `changes`; `lines` gives each change's row.
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

int cmdInterfaces(Context& c) {
    int n = 0;
    for (std::uint32_t address : net::hostIpv4Addresses())
        c.out << ++n << ": " << dottedText(address) << "\n";
    return n > 0 ? kDone : c.fail("no IPv4 interface address");
}

int cmdSearch(Context& c) {
    const std::string format = c.args.value("format").value_or("table");
    if (format != "table" && format != "json" && format != "csv")
        return c.usage("--format is table, json or csv, not " + quotedText(format));
    SearchEndpoint finder(c.trace);
    ModuleList found;
    std::string error;
    if (!finder.open(c.from, error) || !finder.search(found, c.waitDeadline(), {}, error))
        return c.fail(error);
    const std::vector<DeviceRecord>& modules = found.records();
    c.out << (format == "json"  ? searchJson(modules)
              : format == "csv" ? searchCsv(modules)
                                : searchTable(modules));
    return modules.empty() ? c.fail("no module answered within " + std::to_string(c.waitMs) + " ms") : kDone;
}

int cmdSet(Context& c) {
    const auto ref = parseModule(c.args.positional[0]);
    std::string error;
    const auto change = networkChangeFromOptions(c, error);
    if (!change)
        return c.usage(error);
    if (compareNetwork(*change, DeviceRecord{}).empty())
        return c.usage("set needs at least one value: " + std::string(c.args.command->usage));
    SearchEndpoint finder(c.trace);
    Target target;
    ModuleList all;
    if (const int code = findModule(c, finder, *ref, target.found, all, change->ip, error); code != kDone)
        return c.stop(code, error);
    target.change = *change;
    if (error = networkChangeProblem(*change, &target.found); !error.empty())
        return c.usage(error);
    for (const std::string& clash : clashesAfter(all, {&target}, {0}))
        error += (error.empty() ? "" : "; ") + clash;
    if (!error.empty())
        return c.usage("two modules would share an IP: " + error + "; nothing sent");
    std::vector<Target*> targets{&target};
    const bool reboot = !c.args.has("no-reboot");
    if (!writeNetwork(c, finder, targets, reboot, error))
        return c.fail(error);
    if (!reboot) {
        c.out << macText(target.found.Mac) << "  values sent; not verified, as the module was not rebooted\n";
        return kDone;
    }
    if (!target.answered) {
        c.out << macText(target.found.Mac) << "  " << notAnsweredText(c) << "\n";
        return kNotTaken;
    }
    return printOutcomes(c.out, target.found.Mac, compareNetwork(target.change, target.seen)) ? kDone
                                                                                              : kNotTaken;
}

int cmdApply(Context& c) {
    const std::string& path = c.args.positional[0];
    const auto text = readFile(path);
    if (!text)
        return c.usage("cannot read " + quotedText(path));
    ApplyFile file = parseApplyCsv(*text);
    if (!file.error.empty())
        return c.usage(quotedText(path) + ": " + file.error);
    // This apply writes network values only: refuse session values rather than drop them.
    for (const ApplyRow& row : file.rows)
        if (row.session.touchesLogger() || row.session.touchesSnmp())
            return c.usage(quotedText(path) + ": line " + std::to_string(row.line) +
                           ": session values are written with zekctl write; nothing sent");

    // Where a row moves a module, the whole search: a module the file leaves out, or one
    // that answers late, still keeps its IP.
    SearchEndpoint finder(c.trace);
    ModuleList all;
    std::string error;
    const auto enough = [&] {
        return std::all_of(file.rows.begin(), file.rows.end(), [&](const ApplyRow& r) {
            const DeviceRecord* found = all.find(r.mac);
            return found && (!r.change.ip || *r.change.ip == found->CurrentIp);
        });
    };
    if (!finder.open(c.from, error) || !finder.search(all, c.waitDeadline(), enough, error))
        return c.fail(error);

    enum class Result { Missing, Unchanged, Refused, Pending };
    std::vector<Target> targets(file.rows.size());
    std::vector<Result> results(file.rows.size(), Result::Pending);
    std::vector<std::string> reasons(file.rows.size());
    std::vector<Target*> toWrite;
    std::vector<const Target*> named;
    std::vector<int> lines;
    std::vector<std::string> refusals;
    const bool dryRun = c.args.has("dry-run");
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        const ApplyRow& row = file.rows[i];
        const DeviceRecord* found = all.find(row.mac);
        if (!found) {
            results[i] = Result::Missing;
            continue;
        }
        targets[i] = {*found, row.change, {}, false, false};
        named.push_back(&targets[i]);
        lines.push_back(row.line);
        const auto outcomes = compareNetwork(targets[i].change, targets[i].found);
        if (row.serial && *row.serial != found->SerialNumber) {
            refusals.push_back("line " + std::to_string(row.line) + ": the module " + macText(row.mac) +
                               " reports serial " + std::to_string(found->SerialNumber) + ", not " +
                               std::to_string(*row.serial));
        } else if (allTook(outcomes)) {
            results[i] = Result::Unchanged;
        } else if (const std::string problem = networkChangeProblem(row.change, found); !problem.empty()) {
            refusals.push_back("line " + std::to_string(row.line) + ": " + problem);
        } else if (!changedRecord(targets[i].found, targets[i].change, reasons[i])) {
            results[i] = Result::Refused;
        } else if (dryRun) {
            std::string changes;
            for (const FieldOutcome& o : outcomes)
                if (!o.took())
                    changes += (changes.empty() ? "" : ", ") + o.field + " \"" + visibleText(o.reported) +
                               "\" -> \"" + visibleText(o.wanted) + "\"";
            reasons[i] = "would change " + changes;
        } else {
            toWrite.push_back(&targets[i]);
        }
    }
    for (const std::string& clash : clashesAfter(all, named, lines))
        refusals.push_back("two modules would share an IP: " + clash);
    if (!refusals.empty()) {
        constexpr std::size_t kShown = 20;
        for (std::size_t i = 0; i < std::min(refusals.size(), kShown); ++i)
            c.err << "zekctl: " << quotedText(path) << ": " << refusals[i] << "\n";
        if (refusals.size() > kShown)
            c.err << "zekctl: " << quotedText(path) << ": " << refusals.size() - kShown << " rows more\n";
        return c.usage("the file is refused; nothing sent");
    }
    if (!dryRun && !toWrite.empty() && !writeNetwork(c, finder, toWrite, true, error))
        return c.fail(error);

    int counts[4] = {};
    c.out << "MAC                RESULT\n";
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        std::string result;
        const Target& t = targets[i];
        int kind = 0; // 0 good, 1 not taken, 2 missing, 3 unchanged
        if (results[i] == Result::Missing) {
            result = "missing: no answer to the search (line " + std::to_string(file.rows[i].line) + ")";
            kind = 2;
        } else if (results[i] == Result::Unchanged) {
            result = "unchanged";
            kind = 3;
        } else if (results[i] == Result::Refused) {
            result = "not written: " + reasons[i];
            kind = 1;
        } else if (dryRun) {
            result = reasons[i];
        } else if (!t.answered) {
            result = "NOT TAKEN: " + notAnsweredText(c);
            kind = 1;
        } else {
            std::string took, missed;
            for (const FieldOutcome& o : compareNetwork(t.change, t.seen))
                (o.took() ? took : missed) +=
                    (o.took() ? (took.empty() ? "" : ", ") : (missed.empty() ? "" : ", ")) + o.field +
                    (o.took() ? ""
                              : " (wanted \"" + visibleText(o.wanted) + "\", reports \"" +
                                    visibleText(o.reported) + "\")");
            result = missed.empty() ? "took: " + took : "NOT TAKEN: " + missed;
            kind = missed.empty() ? 0 : 1;
        }
        ++counts[kind];
        c.out << macText(file.rows[i].mac) << "  " << result << "\n";
    }
    c.out << file.rows.size() << " modules: " << counts[0] << (dryRun ? " to change, " : " took, ")
          << counts[1] << " not taken, " << counts[2] << " missing, " << counts[3] << " unchanged\n";
    return counts[1] + counts[2] == 0 ? kDone : kNotTaken;
}

// Finds the module, connects and runs the window's automatic read; the exit code.
int readModule(const Context& c, ModuleSession& session, DeviceRecord& found, std::string& error,
               ModuleList* all = nullptr, std::optional<std::uint32_t> newIp = {}) {
    const auto ref = parseModule(c.args.positional[0]);
    SearchEndpoint finder(c.trace);
    ModuleList own;
    if (const int code = findModule(c, finder, *ref, found, all ? *all : own, newIp, error); code != kDone)
        return code;
    return session.connect(c.from, found, error) && session.run(GroupAction::Connect, error) ? kDone
                                                                                             : kNotTaken;
}

std::vector<std::pair<std::string, std::string>> readFields(const DeviceRecord& r,
                                                            const ModuleSession& session) {
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

int cmdRead(Context& c) {
    const std::string format = c.args.value("format").value_or("text");
    if (format != "text" && format != "json")
        return c.usage("--format is text or json, not " + quotedText(format));
    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::string error;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    const auto fields = readFields(found, session);
    if (format == "json") {
        c.out << jsonObject(fields);
    } else {
        for (const auto& [key, value] : fields) {
            char label[32];
            std::snprintf(label, sizeof label, "%-15s", (key + ":").c_str());
            c.out << label << visibleText(value) << "\n";
        }
    }
    return kDone;
}

// Writes what differs and reads the changed groups back.
bool writeSession(const Context& c, ModuleSession& session, const SessionChange& change,
                  std::vector<FieldOutcome>& outcomes, std::string& error) {
    if (change.touchesLogger() && !session.state().loggerCapable()) {
        error = "the module has no letter L: it keeps no logger, clock or daylight-saving settings";
        return false;
    }
    if (change.touchesSnmp() && !session.state().trapCapable()) {
        error = "the module has no letter T: it keeps no trap receivers or SNMP location";
        return false;
    }
    const std::vector<PlannedWrite> writes = sessionCommands(change, session.settings());
    if ((change.touchesLogger() && !session.write(GroupAction::SetLogger, writes, error)) ||
        (change.touchesSnmp() && !session.write(GroupAction::SetSnmp, writes, error)))
        return false;
    if ((change.touchesLogger() && !session.run(GroupAction::ReadLogger, error)) ||
        (change.touchesSnmp() && !session.run(GroupAction::ReadSnmp, error)))
        return false;
    outcomes = compareSession(change, session.settings());
    (void)c;
    return true;
}

int cmdWrite(Context& c) {
    std::string error;
    const auto change = sessionChangeFromOptions(c, error);
    if (!change)
        return c.usage(error);
    if (!change->touchesLogger() && !change->touchesSnmp())
        return c.usage("write needs at least one value: " + std::string(c.args.command->usage));
    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::vector<FieldOutcome> outcomes;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    if (!writeSession(c, session, *change, outcomes, error))
        return c.fail(error);
    return printOutcomes(c.out, found.Mac, outcomes) ? kDone : kNotTaken;
}

int cmdClock(Context& c) {
    const bool fromPc = c.args.has("from-pc");
    const auto time = c.args.value("time"), date = c.args.value("date"), zoneText = c.args.value("zone");
    const auto answer = c.args.value("dst-answer");
    if (fromPc == (time || date || zoneText) || (!fromPc && !(time && date && zoneText)))
        return c.usage("clock takes --from-pc, or --time, --date and --zone together");
    if (answer && *answer != "summer" && *answer != "winter")
        return c.usage("--dst-answer is summer or winter, not " + quotedText(*answer));
    ClockRequest request;
    request.usePcTime = fromPc;
    std::string timeText;
    if (!fromPc) {
        if (!parseTimeText(*time))
            return c.usage("--time is HH:MM:SS, not " + quotedText(*time));
        const auto day = parseDateText(*date);
        if (!day)
            return c.usage("--date is DD.MM.YY (years 01 to 99), not " + quotedText(*date));
        const auto minutes = parseZoneText(*zoneText);
        if (!minutes)
            return c.usage("--zone is one of the zone list's offsets such as +1.00 or -9.30, not " +
                           quotedText(*zoneText));
        request.date = *day;
        request.zoneMinutes = *minutes;
        timeText = *time + " ";
        request.timeText = timeText;
    }

    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::string error;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    if (!session.state().loggerCapable())
        return c.fail("the module has no letter L: it has no clock to set");

    // The time is set exactly as given: the module's own rules decide summer time, and the
    // repeated hour is answered by --dst-answer instead of a dialog.
    if (fromPc)
        request.pc = net::readPcClock();
    const ModuleSettings current = session.settings();
    request.automaticDst = current.dst;
    request.window = summerWindowOf(current.dstStart, current.dstStop, yearInUse(false, 0, request.date));
    if (answer)
        request.repeatedHourIsSummer = *answer == "summer";
    const ClockPlan plan = planClock(request);
    if (plan.question == ClockQuestion::RepeatedHour)
        return c.usage(*time + " on " + *date +
                       " falls in the hour that occurs twice when summer time ends: say --dst-answer summer "
                       "or winter");
    if (plan.question == ClockQuestion::SkippedHour)
        return c.usage(
            *time + " on " + *date +
            " falls in the hour skipped when summer time starts: no such local time; nothing sent");
    const ClockSeconds utc = plan.utc;
    const int zone = plan.zoneMinutes;
    const auto sent = Clock::now();
    if (!session.exchange({setClockCommandText(plan.payload), ReplyKey::TimeLocal}, error) ||
        !session.exchange(*readQuery(ValueAction::ReadClock), error))
        return c.fail(error);
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - sent).count();
    const auto reported = parseModuleClock(session.settings().utcLine);
    const std::string wanted = SetClockPayload(utc + ClockSeconds(elapsed), zone);
    const long drift = reported ? long(reported->utc) - long(utc + ClockSeconds(elapsed)) : 0;
    const bool took = reported && std::labs(drift) <= kClockToleranceSeconds && reported->zoneMinutes == zone;
    c.out << macText(found.Mac) << "  clock \"" << wanted << "\": ";
    if (took)
        c.out << "took, the module's local time is "
              << visibleText(latin1ToUtf8(session.settings().clockLocal)) << "\n";
    else
        c.out << "NOT TAKEN, the module reports \"" << visibleText(latin1ToUtf8(session.settings().utcLine))
              << "\"\n";
    return took ? kDone : kNotTaken;
}

int cmdBackup(Context& c) {
    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::string error;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    std::vector<std::pair<std::string, std::string>> members;
    for (std::string_view key : kSearchColumns)
        members.emplace_back(key, networkFieldText(found, key));
    for (std::string_view key : kSessionKeys)
        if (session.state().loggerCapable() || (key.starts_with("trap") || key == "snmp-location"))
            members.emplace_back(key, sessionFieldText(session.settings(), key));
    c.out << jsonObject(members);
    return kDone;
}

int cmdRestore(Context& c) {
    const std::string& path = c.args.positional[1];
    const auto text = readFile(path);
    if (!text)
        return c.usage("cannot read " + quotedText(path));
    std::string error;
    const auto members = parseFlatJson(*text, error);
    if (!members)
        return c.usage(quotedText(path) + ": " + error);
    NetworkChange network;
    SessionChange sessionChange;
    std::optional<MacAddress> mac;
    for (const auto& [key, value] : *members) {
        const bool isNetwork = std::find(kNetworkKeys.begin(), kNetworkKeys.end(), key) != kNetworkKeys.end();
        const bool isSession = std::find(kSessionKeys.begin(), kSessionKeys.end(), key) != kSessionKeys.end();
        if (key == "mac" && !(mac = parseMac(value)))
            return c.usage(quotedText(path) + ": bad MAC " + quotedText(value));
        if (key == "mac" || key == "serial" || (key == "mode" && value == "none"))
            continue;
        if (!isNetwork && !isSession)
            return c.usage(quotedText(path) + ": unknown key " + quotedText(key));
        error = isNetwork ? setNetworkField(network, key, value) : setSessionField(sessionChange, key, value);
        if (!error.empty())
            return c.usage(quotedText(path) + ": " + error);
    }
    if (!mac)
        return c.usage(quotedText(path) + ": no \"mac\": a backup names the module it was taken from");
    ModuleSession session(c.trace, c.waitMs);
    Target target;
    ModuleList all;
    std::vector<FieldOutcome> outcomes;
    if (const int code = readModule(c, session, target.found, error, &all, network.ip); code != kDone)
        return c.stop(code, error);
    target.change = network;
    if (*mac != target.found.Mac && !c.args.has("to-other-module"))
        return c.usage(quotedText(path) + " is the backup of " + macText(*mac) + ", not of " +
                       macText(target.found.Mac) + "; --to-other-module copies it; nothing sent");
    const ModuleSettings current = session.settings();
    if (error = networkChangeProblem(network, &target.found); error.empty())
        error = sessionChangeProblem(sessionChange, &current);
    for (const std::string& clash : clashesAfter(all, {&target}, {0}))
        error += (error.empty() ? "two modules would share an IP: " : "; ") + clash;
    if (!error.empty())
        return c.usage(quotedText(path) + ": " + error + "; nothing sent");
    if ((sessionChange.touchesLogger() || sessionChange.touchesSnmp()) &&
        !writeSession(c, session, sessionChange, outcomes, error))
        return c.fail(error);
    bool ok = printOutcomes(c.out, target.found.Mac, outcomes);
    if (!allTook(compareNetwork(network, target.found))) {
        SearchEndpoint finder(c.trace);
        std::vector<Target*> targets{&target};
        if (!finder.open(c.from, error) || !writeNetwork(c, finder, targets, true, error))
            return c.fail(error);
        if (!target.answered) {
            c.out << macText(target.found.Mac) << "  " << notAnsweredText(c) << "\n";
            return kNotTaken;
        }
        ok = printOutcomes(c.out, target.found.Mac, compareNetwork(network, target.seen)) && ok;
    } else {
        ok = printOutcomes(c.out, target.found.Mac, compareNetwork(network, target.found)) && ok;
    }
    return ok ? kDone : kNotTaken;
}

using Runner = int (*)(Context&);
constexpr std::pair<std::string_view, Runner> kRunners[] = {
    {"interfaces", cmdInterfaces}, {"search", cmdSearch}, {"set", cmdSet},
    {"apply", cmdApply},           {"read", cmdRead},     {"write", cmdWrite},
    {"clock", cmdClock},           {"backup", cmdBackup}, {"restore", cmdRestore},
};

void printHelp(std::ostream& out, const CommandInfo* command) {
    if (command) {
        out << "Usage: " << command->usage << "\n" << command->summary << "\n";
    } else {
        out << "Usage: zekctl COMMAND [options]\nThe configurator's work from the command "
               "line.\n\nCommands:\n";
        for (const CommandInfo& entry : commandTable()) {
            std::string name(entry.name);
            name.resize(std::max<std::size_t>(name.size(), 11), ' ');
            out << "  " << name << ' ' << entry.summary << '\n';
        }
        out << "\n'zekctl COMMAND --help' shows a command's options.\n";
    }
    out << "\n" << kCommonHelp;
}

} // namespace

int runZekctl(std::span<const std::string> argv, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(argv, commandTable());
    if (!parsed.error.empty()) {
        err << "zekctl: " << parsed.error << " (see zekctl --help)\n";
        return kBadUsage;
    }
    const Args& args = parsed.args;
    if (args.help) {
        printHelp(out, args.command);
        return kDone;
    }
    Context c{args, out, err, 0, kDefaultWaitMs, {}};
    if (const auto wait = args.value("wait")) {
        const auto ms = parseNumber(*wait, 1, 600000);
        if (!ms)
            return c.usage("--wait is 1 to 600000 milliseconds, not " + quotedText(*wait));
        c.waitMs = *ms;
    }
    if (args.has("verbose"))
        c.trace = [&err](std::string_view line) { err << line << "\n"; };
    if (args.command->talksToModules) {
        if (args.command->positionals > 0 && args.command->name != "apply" &&
            !parseModule(args.positional[0]))
            return c.usage("MODULE is a MAC or an IP address, not " + quotedText(args.positional[0]));
        if (const auto from = args.value("from")) {
            const auto address = parseIpv4(*from);
            if (!address)
                return c.usage("--from is an IPv4 address, not " + quotedText(*from));
            c.from = *address;
        } else {
            const auto addresses = net::hostIpv4Addresses();
            const auto own = std::find_if(addresses.begin(), addresses.end(),
                                          [](std::uint32_t a) { return (a >> 24) != 127; });
            if (own == addresses.end())
                return c.usage("no IPv4 interface besides loopback: give --from ADDR");
            c.from = *own;
        }
    }
    for (const auto& [name, run] : kRunners)
        if (name == args.command->name)
            return run(c);
    return kBadUsage;
}

} // namespace zek::cli
