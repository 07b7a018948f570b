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
#include "ctl/fleet_commands.h"
#include "ctl/fleet_runner.h"
#include "ctl/fleet_targets.h"
#include "ctl/module_session.h"
#include "ctl/module_work.h"
#include "net/host_interfaces.h"
#include "net/pc_clock.h"
#include "net/socket_limit.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <tuple>

namespace zek::cli {

namespace {

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
         "zekctl apply FILE.csv [--dry-run] [--jobs N]",
         "Write many modules' network and session settings from a CSV (the audit's) and check them.",
         1,
         {"jobs"},
         {"dry-run"}},
        {"audit",
         "zekctl audit [--format table|csv|json] [--modules FILE] [--jobs N]",
         "Read every module and show what needs a look; its CSV is the fleet's file.",
         0,
         {"format", "modules", "jobs"},
         {}},
        {"read",
         "zekctl read MODULE|--all|--modules FILE [--format text|json] [--jobs N]",
         "Read a module's identity and session settings.",
         1,
         {"format", "modules", "jobs"},
         {"all"},
         true,
         true},
        {"write",
         "zekctl write MODULE|--all|--modules FILE [--logger off|1..60] [--dst on|off] [--dst-start \"n w m "
         "h\"] [--dst-stop \"n w m h\"] [--trap1 A|off] [--trap2 A|off] [--trap3 A|off] [--snmp-location "
         "TEXT] [--jobs N]",
         "Write session settings and check them by reading them back.",
         1,
         {"logger", "dst", "dst-start", "dst-stop", "trap1", "trap2", "trap3", "snmp-location", "modules",
          "jobs"},
         {"all"},
         true,
         true},
        {"clock",
         "zekctl clock MODULE --from-pc | --time HH:MM:SS --date DD.MM.YY --zone +1.00 [--dst-answer "
         "summer|winter]\n       zekctl clock --all|--modules FILE --from-pc [--jobs N]",
         "Set the module clock from the PC clock or from a time entered by hand, and check it.",
         1,
         {"time", "date", "zone", "dst-answer", "modules", "jobs"},
         {"from-pc", "all"},
         true,
         true},
        {"backup",
         "zekctl backup MODULE|--all|--modules FILE [--jobs N] > backup.json",
         "Print a module's settings as JSON; of a fleet, an array of them.",
         1,
         {"modules", "jobs"},
         {"all"},
         true,
         true},
        {"restore",
         "zekctl restore MODULE module.json [--to-other-module]\n       zekctl restore backup.json [--jobs "
         "N]",
         "Write what differs from a backup (of one module or a fleet) to its modules and check it.",
         2,
         {"jobs"},
         {"to-other-module"},
         true,
         true},
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
    "Fleet options (audit, apply, and read, write, clock, backup instead of MODULE):\n"
    "  --all           every module that answers the search\n"
    "  --modules FILE  the modules FILE names: a MAC or IP a line, or a CSV with a mac column\n"
    "  --jobs N        sessions at once (default 16, bounded by the sockets the system allows)\n"
    "MODULE is a MAC (\"00 0A 1B 2C 3D 4E\" or 00:0a:1b:2c:3d:4e) or the module's current IP address;\n"
    "an IP that two modules answer with is refused. FILE - reads standard input.\n"
    "Text from modules is shown with control characters as \\xNN and a backslash as \\\\.\n"
    "Exit codes: 0 done, 1 a change did not take or a module did not answer, 2 bad usage or\n"
    "a change refused before anything was sent.\n";

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

int cmdWrite(Context& c) {
    std::string error;
    const auto change = sessionChangeFromOptions(c, error);
    if (!change)
        return c.usage(error);
    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::vector<FieldOutcome> outcomes;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    if (!writeSession(session, *change, outcomes, error))
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
    withModuleRules(request, session.settings());
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
    ClockResult result;
    if (!setModuleClock(session, plan, result, error))
        return c.fail(error);
    c.out << macText(found.Mac) << "  " << result.text << "\n";
    return result.took ? kDone : kNotTaken;
}

int cmdBackup(Context& c) {
    ModuleSession session(c.trace, c.waitMs);
    DeviceRecord found;
    std::string error;
    if (const int code = readModule(c, session, found, error); code != kDone)
        return c.stop(code, error);
    c.out << jsonObject(backupMembers(found, session));
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
    ApplyRow row;
    if (error = backupRow(*members, row); !error.empty())
        return c.usage(quotedText(path) + ": " + error);
    const NetworkChange& network = row.change;
    const SessionChange& sessionChange = row.session;
    const std::optional<MacAddress> mac = row.mac;
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
        !writeSession(session, sessionChange, outcomes, error))
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
// Each command's runner, and the one it runs when a fleet option or file names the modules.
constexpr std::tuple<std::string_view, Runner, Runner> kRunners[] = {
    {"interfaces", cmdInterfaces, nullptr},
    {"search", cmdSearch, nullptr},
    {"set", cmdSet, nullptr},
    {"apply", cmdApply, nullptr},
    {"audit", cmdAudit, nullptr},
    {"read", cmdRead, fleetRead},
    {"write", cmdWrite, fleetWrite},
    {"clock", cmdClock, fleetClock},
    {"backup", cmdBackup, fleetBackup},
    {"restore", cmdRestore, fleetRestore},
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

int runZekctl(std::span<const std::string> argv, std::ostream& out, std::ostream& err, bool progress) {
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
    Context c{args, out, err, 0, kDefaultWaitMs, {}, kDefaultJobs, progress};
    if (const auto wait = args.value("wait")) {
        const auto ms = parseNumber(*wait, 1, 600000);
        if (!ms)
            return c.usage("--wait is 1 to 600000 milliseconds, not " + quotedText(*wait));
        c.waitMs = *ms;
    }
    if (const auto jobs = args.value("jobs")) {
        const auto n = parseNumber(*jobs, 1, 100000);
        if (!n)
            return c.usage("--jobs is 1 to 100000 sessions at once, not " + quotedText(*jobs));
        c.jobs = boundedJobs(*n, net::openSocketBound());
    }
    if (args.has("verbose"))
        c.trace = [&err](std::string_view line) { err << line << "\n"; };
    if (args.command->talksToModules) {
        // MODULE, where the command takes one and it is given.
        const bool module = args.command->positionals > 0 && args.command->name != "apply" &&
                            int(args.positional.size()) == args.command->positionals;
        if (args.command->moduleOptional && args.command->name != "restore")
            if (const int code = checkFleetUsage(c); code != kDone)
                return code;
        if (module && !parseModule(args.positional[0]))
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
    const bool fleet =
        args.command->moduleOptional && int(args.positional.size()) < args.command->positionals;
    for (const auto& [name, run, runFleet] : kRunners)
        if (name == args.command->name)
            return fleet ? runFleet(c) : run(c);
    return kBadUsage;
}

} // namespace zek::cli
