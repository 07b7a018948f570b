#pragma once

#include "core/clock/clock_texts.h"
#include "core/clock/dst_rule.h"
#include "core/scan/device_record.h"
#include "core/session/command_texts.h"
#include "core/session/module_state.h"
#include "core/session/session_engine.h"
#include "core/text/value_texts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zek::cli {

// Why a module cannot be given or be reached at `address`, empty when it can: the address of
// no host, the broadcast address, multicast and reserved ranges, and loopback unless
// `loopbackHere` (a module that already lives on this PC's loopback, as simulated ones do).
std::string addressProblem(std::uint32_t address, bool loopbackHere);
// Why the session may not connect to a module that reports `address`, searched from `from`.
std::string connectProblem(std::uint32_t address, std::uint32_t from);
// A netmask is ones then zeros, and not all zeros.
bool contiguousNetmask(std::uint32_t netmask);

// What a command line or a CSV row asks to change in a module's network settings; a value
// left out keeps the module's own.
struct NetworkChange {
    std::optional<std::uint32_t> ip, netmask, gateway;
    std::optional<bool> dhcp;
    std::optional<std::string> name;
    std::optional<int> port;
    std::optional<int> mode;
};
// The keys, in the order search writes its columns after mac and serial.
inline constexpr std::array<std::string_view, 7> kNetworkKeys = {"ip",   "netmask", "gateway", "dhcp",
                                                                 "name", "port",    "mode"};
// Stores one value given by its key; returns why it is refused, empty when it is taken. Any
// value a module may report is taken, so that a file written by search reads back; what may
// be written is judged by networkChangeProblem.
std::string setNetworkField(NetworkChange& change, std::string_view key, std::string_view text);
// Why the values that differ from `found` (every value, with no module) must not be sent:
// an address a module cannot have, a netmask with a gap, a name with a control character, a
// mode beyond 0-4. Empty when the change may be sent.
std::string networkChangeProblem(const NetworkChange& change, const DeviceRecord* found);

// A key's value as search and backup write it: "127.0.0.2", "on", "10001", "2" or "none".
std::string networkFieldText(const DeviceRecord& record, std::string_view key);

// The record to send: the module's as found, with the change. Empty, with `error` set, when
// a mode is asked of a module that reports none.
std::optional<DeviceRecord> changedRecord(const DeviceRecord& found, const NetworkChange& change,
                                          std::string& error);

// Where a module's IP will be once a change is made: every module that answered the search
// keeps its own unless a row (line > 0, or 0 for a command line) gives it another.
struct PlannedAddress {
    MacAddress mac{};
    std::uint32_t ip = 0;
    int line = 0;         // the row that names the module; -1 for a module no row names
    bool changed = false; // the row gives it this IP
};
// One text per IP that two modules would share because of a change ("IP 127.0.0.3 for
// 02 5A 45 00 00 01 (line 2) and 02 5A 45 00 00 02 (keeps it)"). Modules that already share
// an IP and keep it are not the change's doing and are left alone.
std::vector<std::string> addressClashes(std::vector<PlannedAddress> planned);

// One asked-for value against what the module reports.
struct FieldOutcome {
    std::string field;
    std::string wanted;
    std::string reported;
    bool took() const { return wanted == reported; }
};
std::vector<FieldOutcome> compareNetwork(const NetworkChange& change, const DeviceRecord& reported);

// What a module reports over its session, as far as the read got.
struct ModuleSettings {
    std::string moduleInfo, letters, deviceType, revision, company;
    bool loggerRead = false;
    int logger = 0; // 0 off, else the interval 1..60
    std::string clockUtc, clockLocal, zone;
    std::string utcLine; // the last "!TIME_UTC" line, whole
    bool dstRead = false;
    bool dst = false;
    DstRule dstStart, dstStop;
    std::array<std::optional<std::uint32_t>, 3> traps;
    std::optional<std::string> snmpLocation;

    // The module's state as the tool prints and compares it.
    static ModuleSettings of(const ModuleState& state);
};

// What `write` asks to change over the session.
struct SessionChange {
    std::optional<int> logger; // 0 off
    std::optional<bool> dst;
    std::optional<DstRule> dstStart, dstStop;
    std::array<std::optional<std::uint32_t>, 3> traps; // 0 off
    std::optional<std::string> snmpLocation;

    bool touchesLogger() const { return logger || dst || dstStart || dstStop; }
    bool touchesSnmp() const { return traps[0] || traps[1] || traps[2] || snmpLocation; }
};
inline constexpr std::array<std::string_view, 8> kSessionKeys = {
    "logger", "dst", "dst-start", "dst-stop", "trap1", "trap2", "trap3", "snmp-location"};
std::string setSessionField(SessionChange& change, std::string_view key, std::string_view text);
// As networkChangeProblem, for the SNMP location.
std::string sessionChangeProblem(const SessionChange& change, const ModuleSettings* current);
// "off" or "15"; "on"/"off"; "4 0 3 2"; "off" or "192.168.1.7"; the location as it is.
std::string sessionFieldText(const ModuleSettings& settings, std::string_view key);

// The set commands for the values that differ from the module's, each with the engine's
// action that writes it.
struct PlannedWrite {
    ValueAction action;
    SessionCommand command;
};
std::vector<PlannedWrite> sessionCommands(const SessionChange& change, const ModuleSettings& current);
std::vector<FieldOutcome> compareSession(const SessionChange& change, const ModuleSettings& reported);

} // namespace zek::cli
