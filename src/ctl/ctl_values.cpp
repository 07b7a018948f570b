#include "ctl/ctl_values.h"

#include "core/clock/dst_rule_words.h"
#include "core/scan/device_protocol.h"
#include "core/scan/network_settings.h"
#include "core/text/encodings.h"
#include "core/text/value_texts.h"

#include <algorithm>

namespace zek::cli {

namespace {

std::string quoted(std::string_view text) {
    return quotedText(text);
}

std::optional<bool> parseSwitch(std::string_view text) {
    if (text == "on")
        return true;
    if (text == "off")
        return false;
    return std::nullopt;
}

std::string trapText(std::optional<std::uint32_t> address) {
    if (!address)
        return "?";
    return *address == 0 ? "off" : dottedText(*address);
}

std::string ruleText(const DstRule& rule) {
    return std::to_string(rule.occurrence) + " " + std::to_string(rule.weekday) + " " +
           std::to_string(rule.month) + " " + std::to_string(rule.hour);
}

std::string trapField(std::uint32_t address, int shift) {
    return std::to_string((address >> shift) & 0xFF);
}

} // namespace

std::string addressProblem(std::uint32_t a, bool loopbackHere) {
    const std::uint32_t top = a >> 24;
    if (top == 0)
        return "an address of no host";
    if (a == 0xFFFFFFFF)
        return "the broadcast address";
    if (top >= 224 && top <= 239)
        return "a multicast address";
    if (top >= 240)
        return "a reserved address";
    if (top == 127 && !loopbackHere)
        return "a loopback address, which is the PC itself";
    return "";
}

std::string connectProblem(std::uint32_t address, std::uint32_t from) {
    return addressProblem(address, from >> 24 == 127);
}

bool contiguousNetmask(std::uint32_t netmask) {
    const std::uint32_t hosts = ~netmask;
    return netmask != 0 && (hosts & (hosts + 1)) == 0;
}

std::string networkChangeProblem(const NetworkChange& c, const DeviceRecord* found) {
    const std::vector<FieldOutcome> outcomes =
        found ? compareNetwork(c, *found) : std::vector<FieldOutcome>{};
    const auto changes = [&](std::string_view key, bool given) {
        return given && (!found || std::any_of(outcomes.begin(), outcomes.end(), [&](const FieldOutcome& o) {
                   return o.field == key && !o.took();
               }));
    };
    if (changes("ip", bool(c.ip))) {
        // Without the module, loopback waits for it: a simulated module may move within it.
        const bool loopbackHere = !found || found->CurrentIp >> 24 == 127;
        if (const std::string problem = addressProblem(*c.ip, loopbackHere); !problem.empty())
            return "IP address " + dottedText(*c.ip) + " is " + problem + ": no module can be reached there";
    }
    if (changes("netmask", bool(c.netmask)) && !contiguousNetmask(*c.netmask))
        return "netmask " + dottedText(*c.netmask) + " is not ones followed by zeros";
    if (changes("name", bool(c.name)) && hasControlCharacter(*c.name))
        return "name with a control character";
    if (changes("mode", bool(c.mode)) && *c.mode >= kEthModeCount)
        return "mode is 0 to 4, not '" + std::to_string(*c.mode) + "'";
    return "";
}

std::string setNetworkField(NetworkChange& change, std::string_view key, std::string_view text) {
    const auto address = [&](std::optional<std::uint32_t>& into, const char* what) {
        into = parseIpv4(text);
        return into ? std::string() : std::string("bad ") + what + " " + quoted(text);
    };
    if (key == "ip")
        return address(change.ip, "IP address");
    if (key == "netmask")
        return address(change.netmask, "netmask");
    if (key == "gateway")
        return address(change.gateway, "gateway");
    if (key == "dhcp") {
        change.dhcp = parseSwitch(text);
        return change.dhcp ? "" : "dhcp is on or off, not " + quoted(text);
    }
    if (key == "name") {
        const auto name = textToLatin1(text);
        if (!name)
            return "name with a character outside Latin-1: " + quoted(text);
        if (name->size() > NAME_FIELD_SIZE - 1)
            return "name longer than 32 characters: " + quoted(text);
        if (name->find('\0') != std::string::npos)
            return "name with a control character";
        change.name = *name;
        return "";
    }
    if (key == "port") {
        change.port = parseNumber(text, 0, 65535);
        return change.port ? "" : "port out of range 0-65535: " + quoted(text);
    }
    if (key == "mode") {
        // A module may report any mode byte; only 0 to 4 are ever sent.
        change.mode = parseNumber(text, 0, 255);
        return change.mode ? "" : "mode is 0 to 4, not " + quoted(text);
    }
    return "unknown value " + quoted(key);
}

std::string networkFieldText(const DeviceRecord& r, std::string_view key) {
    if (key == "mac")
        return macText(r.Mac);
    if (key == "serial")
        return std::to_string(r.SerialNumber);
    if (key == "ip")
        return dottedText(r.CurrentIp);
    if (key == "netmask")
        return dottedText(r.Netmask);
    if (key == "gateway")
        return dottedText(r.Gateway);
    if (key == "dhcp")
        return r.Dhcp ? "on" : "off";
    if (key == "name")
        return latin1ToUtf8(r.nameText());
    if (key == "port")
        return std::to_string(r.Port);
    if (key == "mode")
        return r.EthMode == ETH_MODE_NOT_REPORTED ? "none" : std::to_string(r.EthMode & 0xFF);
    return "";
}

std::optional<DeviceRecord> changedRecord(const DeviceRecord& found, const NetworkChange& change,
                                          std::string& error) {
    DeviceRecord record = found;
    record.Ip = change.ip.value_or(found.CurrentIp);
    record.Netmask = change.netmask.value_or(found.Netmask);
    record.Gateway = change.gateway.value_or(found.Gateway);
    if (change.dhcp)
        record.Dhcp = *change.dhcp ? 1 : 0;
    if (change.name)
        record.setName(*change.name);
    record.Port = change.port.value_or(found.Port);
    if (change.mode && found.EthMode == ETH_MODE_NOT_REPORTED) {
        error = "the module reports no Ethernet mode, so none can be set";
        return std::nullopt;
    }
    if (change.mode)
        record.EthMode = *change.mode;
    return record;
}

std::vector<FieldOutcome> compareNetwork(const NetworkChange& change, const DeviceRecord& reported) {
    DeviceRecord wanted = reported;
    std::string ignored;
    if (auto record = changedRecord(reported, change, ignored)) {
        wanted = *record;
        wanted.CurrentIp = record->Ip;
    }
    const bool asked[] = {bool(change.ip),   bool(change.netmask), bool(change.gateway), bool(change.dhcp),
                          bool(change.name), bool(change.port),    bool(change.mode)};
    std::vector<FieldOutcome> outcomes;
    for (std::size_t i = 0; i < kNetworkKeys.size(); ++i)
        if (asked[i])
            outcomes.push_back({std::string(kNetworkKeys[i]), networkFieldText(wanted, kNetworkKeys[i]),
                                networkFieldText(reported, kNetworkKeys[i])});
    return outcomes;
}

std::vector<std::string> addressClashes(std::vector<PlannedAddress> planned) {
    std::stable_sort(planned.begin(), planned.end(),
                     [](const PlannedAddress& a, const PlannedAddress& b) { return a.ip < b.ip; });
    std::vector<std::string> clashes;
    for (auto first = planned.begin(); first != planned.end();) {
        const auto last =
            std::find_if(first, planned.end(), [&](const PlannedAddress& p) { return p.ip != first->ip; });
        if (last - first > 1 && std::any_of(first, last, [](const PlannedAddress& p) { return p.changed; })) {
            std::string text = "IP " + dottedText(first->ip) + " for ";
            for (auto p = first; p != last; ++p)
                text += (p == first      ? ""
                         : p + 1 == last ? " and "
                                         : ", ") +
                        macText(p->mac) +
                        (p->line < 0    ? " (keeps it)"
                         : p->line == 0 ? " (asked)"
                                        : " (line " + std::to_string(p->line) + ")");
            clashes.push_back(text);
        }
        first = last;
    }
    return clashes;
}

ModuleSettings ModuleSettings::of(const ModuleState& state) {
    ModuleSettings s;
    const auto text = [&](ModulePart part) { return state.text(part).value_or(""); };
    s.moduleInfo = text(ModulePart::ModuleInfo);
    s.deviceType = text(ModulePart::DeviceType);
    s.revision = text(ModulePart::Revision);
    s.company = text(ModulePart::Company);
    s.letters = state.capabilityWord().value_or("");
    s.loggerRead = state.loggerActive().has_value();
    s.logger = state.loggerInterval() ? std::min(*state.loggerInterval() + 1, 60) : 0;
    if (const auto& utc = state.utcClock()) {
        s.clockUtc = clockReplyEffect(utc->kind, utc->line, false).utcTime.value_or("");
        if (utc->kind == ReplyKind::TimeUtc)
            s.utcLine = utc->line;
    }
    if (const auto& local = state.localClock())
        s.clockLocal = clockReplyEffect(local->kind, local->line, false).localTime.value_or("");
    s.zone = state.zone().value_or("");
    s.dstRead = state.dstUse().has_value();
    s.dst = state.dstUse().value_or(false);
    s.dstStart = state.dstRule(DstRuleRow::Start).value_or(DstRule{});
    s.dstStop = state.dstRule(DstRuleRow::Stop).value_or(DstRule{});
    for (int row = 1; row <= 3; ++row)
        if (const auto& numbers = state.trap(row)) {
            std::uint32_t address = 0;
            for (const int v : *numbers)
                address = address << 8 | std::uint32_t(v & 0xFF);
            s.traps[std::size_t(row - 1)] = address;
        }
    s.snmpLocation = state.text(ModulePart::SnmpLocation);
    return s;
}

namespace {

// One session setting: its key, how its text goes into a change (the refusal, or ""),
// whether a change names it, what a module's settings show for it, what setting it makes
// of them, and its set command. A new setting is one row.
struct SessionSetting {
    std::string_view key;
    ValueAction set;
    std::string (*parse)(SessionChange& change, std::string_view text);
    bool (*named)(const SessionChange& change);
    std::string (*shown)(const ModuleSettings& settings);
    void (*want)(const SessionChange& change, ModuleSettings& settings);
    SessionCommand (*command)(const SessionChange& change);
};

std::string ruleRefusal(std::string_view key, std::string_view text) {
    return std::string(key) +
           " is a rule such as \"last Sunday March 02:00\" or its numbers \"4 0 3 2\", not " + quoted(text);
}

template <std::size_t Row> constexpr SessionSetting trapSetting(std::string_view key, ValueAction set) {
    return {key,
            set,
            [](SessionChange& c, std::string_view text) {
                c.traps[Row] = text == "off" ? std::optional(0u) : parseIpv4(text);
                return c.traps[Row] ? std::string()
                                    : "trap" + std::to_string(Row + 1) + " is an IPv4 address or off, not " +
                                          quoted(text);
            },
            [](const SessionChange& c) { return c.traps[Row].has_value(); },
            [](const ModuleSettings& s) { return trapText(s.traps[Row]); },
            [](const SessionChange& c, ModuleSettings& s) { s.traps[Row] = c.traps[Row]; },
            [](const SessionChange& c) {
                const std::uint32_t a = *c.traps[Row];
                return trapCommand(int(Row + 1),
                                   {trapField(a, 24), trapField(a, 16), trapField(a, 8), trapField(a, 0)});
            }};
}

constexpr std::array<SessionSetting, 8> kSessionSettings = {{
    {"logger", ValueAction::SetLogger,
     [](SessionChange& c, std::string_view text) {
         c.logger = text == "off" ? std::optional(0) : parseNumber(text, 1, 60);
         return c.logger ? std::string() : "logger is off or 1 to 60, not " + quoted(text);
     },
     [](const SessionChange& c) { return c.logger.has_value(); },
     [](const ModuleSettings& s) {
         return !s.loggerRead   ? std::string("?")
                : s.logger == 0 ? std::string("off")
                                : std::to_string(s.logger);
     },
     [](const SessionChange& c, ModuleSettings& s) {
         s.loggerRead = true;
         s.logger = *c.logger;
     },
     [](const SessionChange& c) { return loggerCommand(*c.logger > 0, *c.logger - 1); }},
    {"dst", ValueAction::SetDstUse,
     [](SessionChange& c, std::string_view text) {
         c.dst = parseSwitch(text);
         return c.dst ? std::string() : "dst is on or off, not " + quoted(text);
     },
     [](const SessionChange& c) { return c.dst.has_value(); },
     [](const ModuleSettings& s) { return std::string(!s.dstRead ? "?"
                                                      : s.dst    ? "on"
                                                                 : "off"); },
     [](const SessionChange& c, ModuleSettings& s) {
         s.dstRead = true;
         s.dst = *c.dst;
     },
     [](const SessionChange& c) { return dstUseCommand(*c.dst); }},
    {"dst-start", ValueAction::SetDstStart,
     [](SessionChange& c, std::string_view text) {
         c.dstStart = parseDstRuleText(text);
         return c.dstStart ? std::string() : ruleRefusal("dst-start", text);
     },
     [](const SessionChange& c) { return c.dstStart.has_value(); },
     [](const ModuleSettings& s) { return ruleText(s.dstStart); },
     [](const SessionChange& c, ModuleSettings& s) { s.dstStart = *c.dstStart; },
     [](const SessionChange& c) { return dstRuleCommand(DstRuleRow::Start, c.dstStart->indexes()); }},
    {"dst-stop", ValueAction::SetDstStop,
     [](SessionChange& c, std::string_view text) {
         c.dstStop = parseDstRuleText(text);
         return c.dstStop ? std::string() : ruleRefusal("dst-stop", text);
     },
     [](const SessionChange& c) { return c.dstStop.has_value(); },
     [](const ModuleSettings& s) { return ruleText(s.dstStop); },
     [](const SessionChange& c, ModuleSettings& s) { s.dstStop = *c.dstStop; },
     [](const SessionChange& c) { return dstRuleCommand(DstRuleRow::Stop, c.dstStop->indexes()); }},
    trapSetting<0>("trap1", ValueAction::SetTrap1),
    trapSetting<1>("trap2", ValueAction::SetTrap2),
    trapSetting<2>("trap3", ValueAction::SetTrap3),
    {"snmp-location", ValueAction::SetSnmpLocation,
     [](SessionChange& c, std::string_view text) {
         const auto location = textToLatin1(text);
         if (!location)
             return "snmp-location with a character outside Latin-1: " + quoted(text);
         if (location->size() > kSnmpLocationRoom)
             return "snmp-location longer than 38 characters: " + quoted(text);
         if (location->find('\0') != std::string::npos)
             return std::string("snmp-location with a control character");
         c.snmpLocation = *location;
         return std::string();
     },
     [](const SessionChange& c) { return c.snmpLocation.has_value(); },
     [](const ModuleSettings& s) {
         return s.snmpLocation ? latin1ToUtf8(*s.snmpLocation) : std::string("?");
     },
     [](const SessionChange& c, ModuleSettings& s) { s.snmpLocation = c.snmpLocation; },
     [](const SessionChange& c) { return snmpLocationCommand(*c.snmpLocation); }},
}};

static_assert([] {
    for (std::size_t i = 0; i < kSessionKeys.size(); ++i)
        if (kSessionSettings[i].key != kSessionKeys[i])
            return false;
    return true;
}());

const SessionSetting* findSetting(std::string_view key) {
    for (const SessionSetting& setting : kSessionSettings)
        if (setting.key == key)
            return &setting;
    return nullptr;
}

} // namespace

std::string setSessionField(SessionChange& change, std::string_view key, std::string_view text) {
    const SessionSetting* setting = findSetting(key);
    return setting ? setting->parse(change, text) : "unknown value " + quoted(key);
}

std::string sessionChangeProblem(const SessionChange& change, const ModuleSettings* current) {
    const bool changes = change.snmpLocation && (!current || current->snmpLocation != change.snmpLocation);
    if (changes && (hasControlCharacter(*change.snmpLocation) ||
                    argumentText(*change.snmpLocation, kSnmpLocationRoom) != *change.snmpLocation))
        return "snmp-location with a control character";
    return "";
}

std::string sessionFieldText(const ModuleSettings& s, std::string_view key) {
    const SessionSetting* setting = findSetting(key);
    return setting ? setting->shown(s) : "";
}

std::vector<FieldOutcome> compareSession(const SessionChange& change, const ModuleSettings& reported) {
    ModuleSettings wanted = reported;
    for (const SessionSetting& setting : kSessionSettings)
        if (setting.named(change))
            setting.want(change, wanted);
    std::vector<FieldOutcome> outcomes;
    for (const SessionSetting& setting : kSessionSettings)
        if (setting.named(change))
            outcomes.push_back({std::string(setting.key), setting.shown(wanted), setting.shown(reported)});
    return outcomes;
}

// Only the values that differ from the module's are sent, in the table's order.
std::vector<PlannedWrite> sessionCommands(const SessionChange& change, const ModuleSettings& current) {
    std::vector<PlannedWrite> writes;
    for (const FieldOutcome& outcome : compareSession(change, current))
        if (!outcome.took()) {
            const SessionSetting& setting = *findSetting(outcome.field);
            writes.push_back({setting.set, setting.command(change)});
        }
    return writes;
}

} // namespace zek::cli
