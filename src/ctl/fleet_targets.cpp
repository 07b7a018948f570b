#include "ctl/fleet_targets.h"

#include "core/scan/device_protocol.h"
#include "core/text/encodings.h"
#include "core/text/fleet_files.h"
#include "ctl/module_work.h"

#include <algorithm>

namespace zek::cli {

namespace {

// The targets of one record: itself, and every other module that answered with its MAC.
void addWithSameMac(Fleet& fleet, FleetTarget target) {
    std::vector<DeviceRecord> same;
    for (const DeviceRecord& r : fleet.all.sameMac())
        if (r.Mac == target.found->Mac)
            same.push_back(r);
    if (same.empty()) {
        fleet.targets.push_back(std::move(target));
        return;
    }
    same.insert(same.begin(), *target.found);
    for (const DeviceRecord& r : same) {
        std::string others;
        for (const DeviceRecord& o : same)
            if (&o != &r)
                others += (others.empty() ? "" : ", ") + dottedText(o.CurrentIp);
        FleetTarget t = target;
        t.found = r;
        t.note = "another module answers with this MAC from " + others;
        fleet.targets.push_back(std::move(t));
    }
}

} // namespace

bool namesFleet(const Args& args) {
    return args.has("all") || args.has("modules");
}

int checkFleetUsage(const Context& c) {
    const bool fleet = namesFleet(c.args);
    if (c.args.has("all") && c.args.has("modules"))
        return c.usage("give --all or --modules FILE, not both");
    const bool module = int(c.args.positional.size()) == c.args.command->positionals;
    if (fleet && module)
        return c.usage("give MODULE, or --all or --modules FILE, not both");
    if (!fleet && !module)
        return c.usage("name the module, or the modules with --all or --modules FILE: " +
                       std::string(c.args.command->usage));
    return kDone;
}

std::string noAnswerText(const Context& c) {
    return "no answer to the search within " + std::to_string(c.waitMs) + " ms";
}

int findFleet(const Context& c, SearchEndpoint& finder, Fleet& fleet) {
    std::optional<TargetList> list;
    if (const auto path = c.args.value("modules")) {
        const auto text = readFile(*path);
        if (!text)
            return c.usage("cannot read " + quotedText(*path));
        list = parseTargetList(*text);
        if (!list->error.empty())
            return c.usage(quotedText(*path) + ": " + list->error);
    }
    // Named by MACs alone, the search ends once every one has answered; an IP may be
    // another module's too, and --all takes whoever answers, so those wait it out.
    const auto enough = [&] {
        return list && std::all_of(list->names.begin(), list->names.end(),
                                   [&](const TargetName& n) { return n.mac && fleet.all.find(*n.mac); });
    };
    std::string error;
    if (!finder.open(c.from, error) || !finder.search(fleet.all, c.waitDeadline(), enough, error))
        return c.fail(error);
    if (!list) {
        for (const DeviceRecord& r : fleet.all.records())
            addWithSameMac(fleet, {0, {}, r, {}});
        return kDone;
    }
    for (const TargetName& name : list->names) {
        std::vector<const DeviceRecord*> matches;
        for (const DeviceRecord& r : fleet.all.records())
            if (name.mac ? r.Mac == *name.mac : r.CurrentIp == *name.ip)
                matches.push_back(&r);
        for (const DeviceRecord& r : fleet.all.sameMac())
            if (name.ip && r.CurrentIp == *name.ip)
                matches.push_back(&r);
        if (matches.size() > 1 && name.ip) {
            std::string macs;
            for (const DeviceRecord* r : matches)
                macs += (macs.empty() ? "" : ", ") + macText(r->Mac);
            return c.usage(quotedText(*c.args.value("modules")) + ": line " + std::to_string(name.line) +
                           ": more than one module answers with IP " + name.text + ": " + macs +
                           "; name the module by its MAC");
        }
        if (matches.empty())
            fleet.targets.push_back({name.line, name.text, std::nullopt, {}});
        else
            addWithSameMac(fleet, {name.line, name.text, *matches.front(), {}});
    }
    return kDone;
}

} // namespace zek::cli
