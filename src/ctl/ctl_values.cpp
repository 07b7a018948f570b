#include "ctl/ctl_values.h"

#include "core/scan/device_protocol.h"
#include "core/scan/network_settings.h"
#include "core/text/encodings.h"

#include <algorithm>
#include <charconv>

namespace zek::cli {

namespace {

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

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

std::optional<DstRule> parseRule(std::string_view text) {
    std::array<int, 4> numbers{};
    std::size_t at = 0;
    for (int& n : numbers) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), n);
        if (ec != std::errc() || end == text.data() + at)
            return std::nullopt;
        at = std::size_t(end - text.data());
    }
    const DstRule rule = DstRule::fromReply(numbers);
    if (text.find_first_not_of(' ', at) != std::string_view::npos || !rule.valid())
        return std::nullopt;
    return rule;
}

std::string trapField(std::uint32_t address, int shift) {
    return std::to_string((address >> shift) & 0xFF);
}

} // namespace

std::optional<MacAddress> parseMac(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    const char separator = text[2];
    if (separator != ' ' && separator != ':' && separator != '-')
        return std::nullopt;
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const auto high = hexDigit(text[i * 3]);
        const auto low = hexDigit(text[i * 3 + 1]);
        if (!high || !low || (i < 5 && text[i * 3 + 2] != separator))
            return std::nullopt;
        mac[i] = std::uint8_t(*high * 16 + *low);
    }
    return mac;
}

std::optional<int> parseNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseIpv4(std::string_view text) {
    std::uint32_t address = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = i < 3 ? text.find('.') : text.size();
        const auto part = dot <= 3 ? parseNumber(text.substr(0, dot), 0, 255) : std::nullopt;
        if (!part)
            return std::nullopt;
        address = address << 8 | std::uint32_t(*part);
        text.remove_prefix(i < 3 ? dot + 1 : dot);
    }
    return address;
}

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

std::string setSessionField(SessionChange& change, std::string_view key, std::string_view text) {
    if (key == "logger") {
        change.logger = text == "off" ? std::optional(0) : parseNumber(text, 1, 60);
        return change.logger ? "" : "logger is off or 1 to 60, not " + quoted(text);
    }
    if (key == "dst") {
        change.dst = parseSwitch(text);
        return change.dst ? "" : "dst is on or off, not " + quoted(text);
    }
    if (key == "dst-start" || key == "dst-stop") {
        auto& rule = key == "dst-start" ? change.dstStart : change.dstStop;
        rule = parseRule(text);
        return rule ? ""
                    : std::string(key) + " is \"occurrence weekday month hour\" (0-4 0-6 1-12 0-23), not " +
                          quoted(text);
    }
    for (std::size_t row = 0; row < change.traps.size(); ++row) {
        if (key != "trap" + std::to_string(row + 1))
            continue;
        change.traps[row] = text == "off" ? std::optional(0u) : parseIpv4(text);
        return change.traps[row] ? "" : std::string(key) + " is an IPv4 address or off, not " + quoted(text);
    }
    if (key == "snmp-location") {
        const auto location = textToLatin1(text);
        if (!location)
            return "snmp-location with a character outside Latin-1: " + quoted(text);
        if (location->size() > kSnmpLocationRoom)
            return "snmp-location longer than 38 characters: " + quoted(text);
        if (location->find('\0') != std::string::npos)
            return "snmp-location with a control character";
        change.snmpLocation = *location;
        return "";
    }
    return "unknown value " + quoted(key);
}

std::string sessionChangeProblem(const SessionChange& change, const ModuleSettings* current) {
    const bool changes = change.snmpLocation && (!current || current->snmpLocation != change.snmpLocation);
    if (changes && (hasControlCharacter(*change.snmpLocation) ||
                    argumentText(*change.snmpLocation, kSnmpLocationRoom) != *change.snmpLocation))
        return "snmp-location with a control character";
    return "";
}

std::string sessionFieldText(const ModuleSettings& s, std::string_view key) {
    if (key == "logger")
        return !s.loggerRead ? "?" : s.logger == 0 ? "off" : std::to_string(s.logger);
    if (key == "dst")
        return !s.dstRead ? "?" : s.dst ? "on" : "off";
    if (key == "dst-start")
        return ruleText(s.dstStart);
    if (key == "dst-stop")
        return ruleText(s.dstStop);
    for (std::size_t row = 0; row < s.traps.size(); ++row)
        if (key == "trap" + std::to_string(row + 1))
            return trapText(s.traps[row]);
    if (key == "snmp-location")
        return s.snmpLocation ? latin1ToUtf8(*s.snmpLocation) : "?";
    return "";
}

namespace {

// The session change as the module would report it: its own values where nothing is asked.
ModuleSettings wantedSettings(const SessionChange& c, const ModuleSettings& current) {
    ModuleSettings wanted = current;
    if (c.logger) {
        wanted.loggerRead = true;
        wanted.logger = *c.logger;
    }
    if (c.dst) {
        wanted.dstRead = true;
        wanted.dst = *c.dst;
    }
    wanted.dstStart = c.dstStart.value_or(current.dstStart);
    wanted.dstStop = c.dstStop.value_or(current.dstStop);
    for (std::size_t row = 0; row < c.traps.size(); ++row)
        if (c.traps[row])
            wanted.traps[row] = c.traps[row];
    if (c.snmpLocation)
        wanted.snmpLocation = c.snmpLocation;
    return wanted;
}

std::vector<bool> askedKeys(const SessionChange& c) {
    return {bool(c.logger),   bool(c.dst),      bool(c.dstStart), bool(c.dstStop),
            bool(c.traps[0]), bool(c.traps[1]), bool(c.traps[2]), bool(c.snmpLocation)};
}

} // namespace

std::vector<FieldOutcome> compareSession(const SessionChange& change, const ModuleSettings& reported) {
    const ModuleSettings wanted = wantedSettings(change, reported);
    const std::vector<bool> asked = askedKeys(change);
    std::vector<FieldOutcome> outcomes;
    for (std::size_t i = 0; i < kSessionKeys.size(); ++i)
        if (asked[i])
            outcomes.push_back({std::string(kSessionKeys[i]), sessionFieldText(wanted, kSessionKeys[i]),
                                sessionFieldText(reported, kSessionKeys[i])});
    return outcomes;
}

std::vector<SessionCommand> sessionCommands(const SessionChange& change, const ModuleSettings& current) {
    std::vector<SessionCommand> commands;
    for (const FieldOutcome& outcome : compareSession(change, current)) {
        if (outcome.took())
            continue;
        const std::string& f = outcome.field;
        if (f == "logger")
            commands.push_back(loggerCommand(*change.logger > 0, *change.logger - 1));
        else if (f == "dst")
            commands.push_back(dstUseCommand(*change.dst));
        else if (f == "dst-start")
            commands.push_back(dstRuleCommand(DstRuleRow::Start, change.dstStart->indexes()));
        else if (f == "dst-stop")
            commands.push_back(dstRuleCommand(DstRuleRow::Stop, change.dstStop->indexes()));
        else if (f == "snmp-location")
            commands.push_back(snmpLocationCommand(*change.snmpLocation));
        else {
            const int row = f.back() - '0';
            const std::uint32_t a = *change.traps[std::size_t(row - 1)];
            commands.push_back(
                trapCommand(row, {trapField(a, 24), trapField(a, 16), trapField(a, 8), trapField(a, 0)}));
        }
    }
    return commands;
}

} // namespace zek::cli
