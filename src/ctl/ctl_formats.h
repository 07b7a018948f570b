#pragma once

#include "core/scan/device_record.h"
#include "core/text/csv.h"
#include "core/text/json.h"
#include "ctl/ctl_values.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zek::cli {

// The nine values of a module in the columns `search --format csv` writes.
inline constexpr std::array<std::string_view, 9> kSearchColumns = {
    "mac", "serial", "ip", "netmask", "gateway", "dhcp", "name", "port", "mode"};

std::string searchTable(std::span<const DeviceRecord> modules);
std::string searchCsv(std::span<const DeviceRecord> modules);
std::string searchJson(std::span<const DeviceRecord> modules);

// Columns of the audit file that describe a module and cannot be written: apply ignores
// them, whatever they hold, so an audit file can be edited and applied as it is.
inline constexpr std::array<std::string_view, 9> kDescriptiveColumns = {
    "module-info", "device", "revision", "company", "letters", "clock-utc", "clock-drift", "zone", "problem"};

// One row of an apply file: the module and what to change in it. The MAC names the module;
// a serial, where given, must be the module's, so a row cannot reach another module by a
// mistyped MAC.
struct ApplyRow {
    int line = 0;
    MacAddress mac{};
    std::optional<std::uint32_t> serial;
    NetworkChange change;
    SessionChange session;
};
struct ApplyFile {
    std::vector<ApplyRow> rows;
    std::string error; // "line 3: bad IP address '10.0.0'", empty when the file was taken
};
// A header line naming the columns (mac among them), then one row per MAC. Known columns:
// search's (mac, serial and the network values), the session values (logger, dst, dst-start,
// dst-stop, trap1-3, snmp-location; rules as words or numbers) and the descriptive columns
// an audit adds. An empty cell keeps the module's value, and so does "?", which the tools
// print for a value they could not read. Cells are read as search and audit write them
// (csvValue), so their own files read back to the modules' values. An unknown column, a
// cell that does not read, a row with a MAC of an earlier row: refused, naming the line.
ApplyFile parseApplyCsv(std::string_view text);
std::optional<std::uint32_t> parseSerial(std::string_view text);

// The JSON texts, in core.
using zek::jsonObject;
using zek::jsonString;
using zek::parseFlatJson;

} // namespace zek::cli
