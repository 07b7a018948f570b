#include "ctl/fleet_commands.h"

#include "core/clock/calendar.h"
#include "core/clock/clock_values.h"
#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"
#include "core/text/json.h"
#include "core/text/value_texts.h"
#include "ctl/ctl_formats.h"
#include "ctl/fleet_report.h"
#include "ctl/fleet_runner.h"
#include "ctl/module_work.h"
#include "net/host_interfaces.h"
#include "net/pc_clock.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>
#include <sstream>

namespace zek::cli {

namespace {

// A file's refusals shown before the count of the rest.
constexpr std::size_t kRefusalsShown = 20;

std::ostream* progressOf(const Context& c) {
    // The traffic and a line that rewrites itself would garble each other.
    return c.progress && !c.args.has("verbose") ? &c.err : nullptr;
}

// Runs the automatic read with each target that answered, then `then`, on up to --jobs
// sessions at once. Returns why each target failed, empty where it did not.
using ModuleWork = std::function<std::string(std::size_t, ModuleSession&)>;
std::vector<std::string> eachModule(const Context& c, FleetRunner& runner,
                                    const std::vector<FleetTarget>& targets, std::string_view what,
                                    const ModuleWork& then) {
    std::vector<std::string> problems(targets.size());
    runner.run(targets.size(), what, [&](std::size_t i) {
        const FleetTarget& t = targets[i];
        if (!t.found) {
            problems[i] = noAnswerText(c);
            return;
        }
        ModuleSession session(runner.traceFor(*t.found), c.waitMs, ModuleSession::kLeanStepPeriodMs);
        std::string error;
        if (!session.connect(c.from, *t.found, error) || !session.run(GroupAction::Connect, error))
            problems[i] = error;
        else if (then)
            problems[i] = then(i, session);
    });
    return problems;
}

bool anyFailed(const std::vector<std::string>& problems) {
    return std::any_of(problems.begin(), problems.end(), [](const std::string& p) { return !p.empty(); });
}

std::string labelOf(const FleetTarget& t) {
    return t.found ? macText(t.found->Mac) : visibleText(t.name);
}

// Searches once for the modules the command names; kDone or the exit code.
int openFleet(const Context& c, SearchEndpoint& finder, Fleet& fleet) {
    if (const int code = findFleet(c, finder, fleet); code != kDone)
        return code;
    if (fleet.targets.empty())
        return c.fail("no module answered within " + std::to_string(c.waitMs) + " ms");
    return kDone;
}

ModuleRead moduleRead(FleetRunner& runner, const ModuleSession& session) {
    ModuleRead read{session.settings(), session.state().loggerCapable(), session.state().trapCapable(), {}};
    if (hasClock(session)) {
        const PcTime pc = runner.alone([] { return net::readPcClock(); });
        const auto clock = parseModuleClock(read.settings.utcLine);
        read.drift = long(clock->utc) - long(ToClockSeconds(pc.utc));
    }
    return read;
}

// Counts of a fleet command's modules, printed after its rows.
struct Tally {
    int took = 0, notTaken = 0, failed = 0, skipped = 0;
    std::string text(std::size_t count) const {
        return std::to_string(count) + " modules: " + std::to_string(took) + " took, " +
               std::to_string(notTaken) + " not taken, " + std::to_string(failed) + " failed, " +
               std::to_string(skipped) + " skipped\n";
    }
    int code() const { return notTaken + failed == 0 ? kDone : kNotTaken; }
};

} // namespace

int cmdAudit(Context& c) {
    const std::string format = c.args.value("format").value_or("table");
    if (format != "table" && format != "json" && format != "csv")
        return c.usage("--format is table, json or csv, not " + quotedText(format));
    SearchEndpoint finder(c.trace);
    Fleet fleet;
    if (const int code = openFleet(c, finder, fleet); code != kDone)
        return code;
    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    std::vector<std::optional<ModuleRead>> reads(fleet.targets.size());
    const auto problems = eachModule(c, runner, fleet.targets, "audit", [&](std::size_t i, ModuleSession& s) {
        reads[i] = moduleRead(runner, s);
        return std::string();
    });
    std::vector<AuditRow> rows;
    for (std::size_t i = 0; i < fleet.targets.size(); ++i)
        rows.push_back(auditRow(fleet.targets[i], reads[i] ? &*reads[i] : nullptr, problems[i]));
    if (format == "csv")
        c.out << auditCsv(rows);
    else if (format == "json")
        c.out << auditJson(rows);
    else
        c.out << auditTable(rows, auditLooks(rows, c.from, net::hostNetmask(c.from)));
    return anyFailed(problems) ? kNotTaken : kDone;
}

int fleetRead(Context& c) {
    const std::string format = c.args.value("format").value_or("text");
    if (format != "text" && format != "json")
        return c.usage("--format is text or json, not " + quotedText(format));
    SearchEndpoint finder(c.trace);
    Fleet fleet;
    if (const int code = openFleet(c, finder, fleet); code != kDone)
        return code;
    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    std::vector<Members> fields(fleet.targets.size());
    const auto problems = eachModule(c, runner, fleet.targets, "read", [&](std::size_t i, ModuleSession& s) {
        fields[i] = readFields(*fleet.targets[i].found, s);
        return std::string();
    });
    std::vector<JsonMembers> objects;
    for (std::size_t i = 0; i < fleet.targets.size(); ++i) {
        const FleetTarget& t = fleet.targets[i];
        Members shown = fields[i];
        if (!problems[i].empty()) {
            // A name no module answered to is shown as what it is, a MAC or an IP.
            const auto mac = t.found ? std::optional(t.found->Mac) : parseMac(t.name);
            shown.clear();
            if (mac)
                shown.emplace_back("mac", macText(*mac));
            if (t.found || !mac)
                shown.emplace_back("ip", t.found ? dottedText(t.found->CurrentIp) : t.name);
        }
        if (!problems[i].empty() || !t.note.empty())
            shown.emplace_back("problem", t.note.empty() || problems[i].empty()
                                              ? t.note + problems[i]
                                              : t.note + "; " + problems[i]);
        if (format == "json") {
            // The problem's module text unescaped, so that JSON escapes it once, its own way.
            if (shown.back().first == "problem")
                shown.back().second = unescapeVisible(shown.back().second);
            objects.push_back(shown);
            continue;
        }
        c.out << (i > 0 ? "\n" : "");
        for (const auto& [key, value] : shown) {
            char label[32];
            std::snprintf(label, sizeof label, "%-15s", (key + ":").c_str());
            // A problem's module text is escaped where it is made.
            c.out << label << (key == "problem" ? value : visibleText(value)) << "\n";
        }
    }
    if (format == "json")
        c.out << jsonArray(objects);
    return anyFailed(problems) ? kNotTaken : kDone;
}

int fleetBackup(Context& c) {
    SearchEndpoint finder(c.trace);
    Fleet fleet;
    if (const int code = openFleet(c, finder, fleet); code != kDone)
        return code;
    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    std::vector<JsonMembers> objects(fleet.targets.size());
    const auto problems =
        eachModule(c, runner, fleet.targets, "backup", [&](std::size_t i, ModuleSession& s) {
            objects[i] = backupMembers(*fleet.targets[i].found, s);
            return std::string();
        });
    // A module that failed has no entry: a backup of half its values would restore wrong ones.
    std::vector<JsonMembers> taken;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (problems[i].empty())
            taken.push_back(objects[i]);
        else
            c.err << "zekctl: " << labelOf(fleet.targets[i]) << ": " << problems[i] << "\n";
    }
    c.out << jsonArray(taken);
    return anyFailed(problems) ? kNotTaken : kDone;
}

int fleetWrite(Context& c) {
    std::string error;
    const auto change = sessionChangeFromOptions(c, error);
    if (!change)
        return c.usage(error);
    SearchEndpoint finder(c.trace);
    Fleet fleet;
    if (const int code = openFleet(c, finder, fleet); code != kDone)
        return code;
    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    std::vector<std::string> lines(fleet.targets.size());
    enum class Outcome { Took, NotTaken, Skipped };
    std::vector<Outcome> outcomesOf(fleet.targets.size());
    const auto problems = eachModule(c, runner, fleet.targets, "write", [&](std::size_t i, ModuleSession& s) {
        const std::string mac = macText(fleet.targets[i].found->Mac);
        // A module without the letter keeps no such value: the rest of the fleet is written.
        if ((change->touchesLogger() && !s.state().loggerCapable()) ||
            (change->touchesSnmp() && !s.state().trapCapable())) {
            lines[i] = mac + "  skipped: the module has no letter " +
                       (change->touchesLogger() && !s.state().loggerCapable() ? "L" : "T") + "\n";
            outcomesOf[i] = Outcome::Skipped;
            return std::string();
        }
        std::vector<FieldOutcome> outcomes;
        std::string error;
        if (!writeSession(s, *change, outcomes, error))
            return error;
        std::ostringstream text;
        outcomesOf[i] =
            printOutcomes(text, fleet.targets[i].found->Mac, outcomes) ? Outcome::Took : Outcome::NotTaken;
        lines[i] = text.str();
        return std::string();
    });
    Tally tally;
    for (std::size_t i = 0; i < fleet.targets.size(); ++i) {
        if (!problems[i].empty()) {
            c.out << labelOf(fleet.targets[i]) << "  FAILED: " << problems[i] << "\n";
            ++tally.failed;
            continue;
        }
        c.out << lines[i];
        (outcomesOf[i] == Outcome::Took       ? tally.took
         : outcomesOf[i] == Outcome::NotTaken ? tally.notTaken
                                              : tally.skipped)++;
    }
    c.out << tally.text(fleet.targets.size());
    return tally.code();
}

int fleetClock(Context& c) {
    if (!c.args.has("from-pc") || c.args.has("time") || c.args.has("date") || c.args.has("zone"))
        return c.usage("a fleet's clocks are set from the PC: --from-pc");
    SearchEndpoint finder(c.trace);
    Fleet fleet;
    if (const int code = openFleet(c, finder, fleet); code != kDone)
        return code;
    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    std::vector<ClockResult> results(fleet.targets.size());
    std::vector<bool> skipped(fleet.targets.size());
    const auto problems = eachModule(c, runner, fleet.targets, "clock", [&](std::size_t i, ModuleSession& s) {
        if (!hasClock(s)) {
            skipped[i] = true;
            results[i].text = s.state().loggerCapable() ? "skipped: the module has no real-time clock"
                                                        : "skipped: the module has no letter L, so no clock";
            return std::string();
        }
        ClockRequest request;
        request.usePcTime = true;
        withModuleRules(request, s.settings());
        request.pc = runner.alone([] { return net::readPcClock(); });
        std::string error;
        return setModuleClock(s, planClock(request), results[i], error) ? std::string() : error;
    });
    Tally tally;
    for (std::size_t i = 0; i < fleet.targets.size(); ++i) {
        c.out << labelOf(fleet.targets[i]) << "  "
              << (problems[i].empty() ? results[i].text : "FAILED: " + problems[i]) << "\n";
        (!problems[i].empty() ? tally.failed
         : skipped[i]         ? tally.skipped
         : results[i].took    ? tally.took
                              : tally.notTaken)++;
    }
    c.out << tally.text(fleet.targets.size());
    return tally.code();
}

namespace {

// One row of apply (or one module of a fleet restore), from the search to its result.
struct RowPlan {
    Target network;
    bool found = false;
    bool networkDiffers = false;
    bool sessionNamed = false;
    std::string refusal;                    // refused before anything is sent
    std::string notWritten;                 // a value this module cannot take
    std::string failed;                     // the session failed: nothing written to the module
    std::vector<FieldOutcome> sessionDiffs; // what a session showed to differ
    std::vector<FieldOutcome> sessionOutcomes;
};

std::vector<FieldOutcome> differing(const std::vector<FieldOutcome>& outcomes) {
    std::vector<FieldOutcome> out;
    std::copy_if(outcomes.begin(), outcomes.end(), std::back_inserter(out),
                 [](const FieldOutcome& o) { return !o.took(); });
    return out;
}

std::string changesText(const std::vector<FieldOutcome>& diffs) {
    std::string text;
    for (const FieldOutcome& o : diffs)
        text += (text.empty() ? "" : ", ") + o.field + " \"" + visibleText(o.reported) + "\" -> \"" +
                visibleText(o.wanted) + "\"";
    return text;
}

// Writes the rows: each module's session values in parallel, then every network change with
// one batch of set-values, reboots and verifying searches. `rowWord` names a row in messages.
int applyRows(const Context& c, const std::string& source, const std::vector<ApplyRow>& rows, bool dryRun,
              std::string_view rowWord) {
    const auto rowName = [&](const ApplyRow& r) {
        return std::string(rowWord) + " " + std::to_string(r.line);
    };
    // Where a row moves a module, the whole search: a module the file leaves out, or one
    // that answers late, still keeps its IP.
    SearchEndpoint finder(c.trace);
    ModuleList all;
    std::string error;
    const auto enough = [&] {
        return std::all_of(rows.begin(), rows.end(), [&](const ApplyRow& r) {
            const DeviceRecord* found = all.find(r.mac);
            return found && (!r.change.ip || *r.change.ip == found->CurrentIp);
        });
    };
    if (!finder.open(c.from, error) || !finder.search(all, c.waitDeadline(), enough, error))
        return c.fail(error);

    std::vector<RowPlan> plans(rows.size());
    std::vector<const Target*> named;
    std::vector<int> lines;
    std::vector<std::string> refusals;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ApplyRow& row = rows[i];
        RowPlan& plan = plans[i];
        const DeviceRecord* found = all.find(row.mac);
        const bool twice = std::any_of(all.sameMac().begin(), all.sameMac().end(),
                                       [&](const DeviceRecord& r) { return r.Mac == row.mac; });
        if (!found || twice) {
            refusals.push_back(
                rowName(row) + ": " +
                (found ? "two modules answer with MAC " + macText(row.mac)
                       : "no module answers with MAC " + macText(row.mac) + " (" + noAnswerText(c) + ")"));
            continue;
        }
        plan.found = true;
        plan.network = {*found, row.change, *found, false, false};
        named.push_back(&plan.network);
        lines.push_back(row.line);
        plan.sessionNamed = row.session.touchesLogger() || row.session.touchesSnmp();
        plan.networkDiffers = !allTook(compareNetwork(row.change, *found));
        if (row.serial && *row.serial != found->SerialNumber)
            refusals.push_back(rowName(row) + ": the module " + macText(row.mac) + " reports serial " +
                               std::to_string(found->SerialNumber) + ", not " + std::to_string(*row.serial));
        else if (const std::string problem = networkChangeProblem(row.change, found);
                 plan.networkDiffers && !problem.empty())
            refusals.push_back(rowName(row) + ": " + problem);
        else if (plan.networkDiffers)
            changedRecord(*found, row.change, plan.notWritten);
    }
    for (const std::string& clash : clashesAfter(all, named, lines))
        refusals.push_back("two modules would share an IP: " + clash);

    FleetRunner runner(c.jobs, c.trace, progressOf(c));
    const auto sessionTargets = [&](const auto& wanted) {
        std::vector<std::size_t> indexes;
        std::vector<FleetTarget> targets;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (plans[i].found && plans[i].sessionNamed && plans[i].notWritten.empty() &&
                plans[i].failed.empty() && wanted(i)) {
                indexes.push_back(i);
                targets.push_back({rows[i].line, {}, plans[i].network.found, {}});
            }
        return std::pair(indexes, targets);
    };
    // What a session value differs in is known only from the module. A dry run reads every
    // module; a run reads first only where a value could be refused where it differs.
    const bool readFirst =
        refusals.empty() && (dryRun || std::any_of(rows.begin(), rows.end(), [](const ApplyRow& r) {
                                 return !sessionChangeProblem(r.session, nullptr).empty();
                             }));
    if (readFirst) {
        const auto selected = sessionTargets([](std::size_t) { return true; });
        const std::vector<std::size_t>& indexes = selected.first;
        const std::vector<FleetTarget>& targets = selected.second;
        const auto problems = eachModule(c, runner, targets, "reading", [&](std::size_t k, ModuleSession& s) {
            RowPlan& plan = plans[indexes[k]];
            const SessionChange& change = rows[indexes[k]].session;
            const ModuleSettings current = s.settings();
            plan.refusal = sessionChangeProblem(change, &current);
            plan.sessionDiffs = differing(compareSession(change, current));
            if (!plan.sessionDiffs.empty())
                plan.notWritten = missingLetter(change, s.state());
            return std::string();
        });
        for (std::size_t k = 0; k < indexes.size(); ++k) {
            plans[indexes[k]].failed = problems[k];
            if (!plans[indexes[k]].refusal.empty())
                refusals.push_back(rowName(rows[indexes[k]]) + ": " + plans[indexes[k]].refusal);
        }
    }
    if (!refusals.empty()) {
        for (std::size_t i = 0; i < std::min(refusals.size(), kRefusalsShown); ++i)
            c.err << "zekctl: " << quotedText(source) << ": " << refusals[i] << "\n";
        if (refusals.size() > kRefusalsShown)
            c.err << "zekctl: " << quotedText(source) << ": " << refusals.size() - kRefusalsShown
                  << " rows more\n";
        return c.usage("the file is refused; nothing sent");
    }

    if (!dryRun) {
        const auto selected =
            sessionTargets([&](std::size_t i) { return !readFirst || !plans[i].sessionDiffs.empty(); });
        const std::vector<std::size_t>& indexes = selected.first;
        const std::vector<FleetTarget>& targets = selected.second;
        const auto problems = eachModule(c, runner, targets, "writing", [&](std::size_t k, ModuleSession& s) {
            RowPlan& plan = plans[indexes[k]];
            const SessionChange& change = rows[indexes[k]].session;
            const auto diffs = differing(compareSession(change, s.settings()));
            if (diffs.empty())
                return std::string();
            if (plan.notWritten = missingLetter(change, s.state()); !plan.notWritten.empty())
                return std::string();
            std::vector<FieldOutcome> outcomes;
            std::string error;
            if (!writeSession(s, change, outcomes, error))
                return error;
            // The values that differed, as read back.
            for (const FieldOutcome& o : outcomes)
                if (std::any_of(diffs.begin(), diffs.end(),
                                [&](const FieldOutcome& d) { return d.field == o.field; }))
                    plan.sessionOutcomes.push_back(o);
            return std::string();
        });
        for (std::size_t k = 0; k < indexes.size(); ++k)
            plans[indexes[k]].failed = problems[k];
        std::vector<Target*> toWrite;
        for (RowPlan& plan : plans)
            if (plan.networkDiffers && plan.notWritten.empty() && plan.failed.empty())
                toWrite.push_back(&plan.network);
        if (!toWrite.empty() && !writeNetwork(c, finder, toWrite, true, error))
            return c.fail(error);
    }

    int counts[4] = {}; // to change or took, not taken, missing, unchanged
    c.out << "MAC                RESULT\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowPlan& plan = plans[i];
        const Target& t = plan.network;
        std::string result;
        int kind = 0;
        if (!plan.failed.empty()) {
            result = "missing: " + plan.failed + " (" + rowName(rows[i]) + ")";
            kind = 2;
        } else if (!plan.notWritten.empty()) {
            result = "not written: " + plan.notWritten;
            kind = 1;
        } else if (dryRun) {
            const auto network = plan.networkDiffers ? differing(compareNetwork(t.change, t.found))
                                                     : std::vector<FieldOutcome>{};
            const std::string changes = changesText(network) +
                                        (network.empty() || plan.sessionDiffs.empty() ? "" : ", ") +
                                        changesText(plan.sessionDiffs);
            result = changes.empty() ? "unchanged" : "would change " + changes;
            kind = changes.empty() ? 3 : 0;
        } else {
            std::vector<FieldOutcome> outcomes = plan.sessionOutcomes;
            bool answered = true;
            if (plan.networkDiffers) {
                const auto network = compareNetwork(t.change, t.seen);
                outcomes.insert(outcomes.begin(), network.begin(), network.end());
                answered = t.answered;
            }
            std::string took, missed;
            for (const FieldOutcome& o : outcomes)
                (o.took() ? took : missed) +=
                    std::string(o.took() ? (took.empty() ? "" : ", ") : (missed.empty() ? "" : ", ")) +
                    o.field +
                    (o.took() ? ""
                              : " (wanted \"" + visibleText(o.wanted) + "\", reports \"" +
                                    visibleText(o.reported) + "\")");
            if (!answered)
                result = "NOT TAKEN: " + notAnsweredText(c);
            else if (outcomes.empty())
                result = "unchanged";
            else
                result = missed.empty() ? "took: " + took : "NOT TAKEN: " + missed;
            kind = !answered || !missed.empty() ? 1 : outcomes.empty() ? 3 : 0;
        }
        ++counts[kind];
        c.out << macText(rows[i].mac) << "  " << result << "\n";
    }
    c.out << rows.size() << " modules: " << counts[0] << (dryRun ? " to change, " : " took, ") << counts[1]
          << " not taken, " << counts[2] << " missing, " << counts[3] << " unchanged\n";
    return counts[1] + counts[2] == 0 ? kDone : kNotTaken;
}

} // namespace

int cmdApply(Context& c) {
    const std::string& path = c.args.positional[0];
    const auto text = readFile(path);
    if (!text)
        return c.usage("cannot read " + quotedText(path));
    const ApplyFile file = parseApplyCsv(*text);
    if (!file.error.empty())
        return c.usage(quotedText(path) + ": " + file.error);
    return applyRows(c, path, file.rows, c.args.has("dry-run"), "line");
}

int fleetRestore(Context& c) {
    const std::string& path = c.args.positional[0];
    const auto text = readFile(path);
    if (!text)
        return c.usage("cannot read " + quotedText(path));
    std::string error;
    bool array = false;
    const auto objects = parseFlatJsonObjects(*text, error, &array);
    if (!objects)
        return c.usage(quotedText(path) + ": " + error);
    std::vector<ApplyRow> rows;
    std::set<MacAddress> macs;
    for (std::size_t i = 0; i < objects->size(); ++i) {
        const std::string where = array ? "object " + std::to_string(i + 1) + ": " : "";
        ApplyRow row;
        row.line = int(i + 1);
        if (error = backupRow((*objects)[i], row); !error.empty())
            return c.usage(quotedText(path) + ": " + where + error);
        if (!macs.insert(row.mac).second)
            return c.usage(quotedText(path) + ": " + where + "MAC " + macText(row.mac) + " twice");
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        return c.usage(quotedText(path) + ": no module in the backup");
    return applyRows(c, path, rows, false, "object");
}

} // namespace zek::cli
