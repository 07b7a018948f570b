#pragma once

#include "core/scan/device_record.h"
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

// A CSV cell as search and audit write it: module text escaped as everywhere, never a
// formula, quoted where it holds a comma or a quote.
std::string csvCell(const std::string& value);

std::string searchTable(std::span<const DeviceRecord> modules);
std::string searchCsv(std::span<const DeviceRecord> modules);
std::string searchJson(std::span<const DeviceRecord> modules);

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
// The audit's columns that describe a module and are never written: apply ignores them.
inline constexpr std::array<std::string_view, 9> kDescriptiveColumns = {
    "module-info", "device", "revision", "company", "letters", "clock-utc", "clock-drift", "zone", "problem"};
struct ApplyFile {
    std::vector<ApplyRow> rows;
    std::string error; // "line 3: bad IP address '10.0.0'", empty when the file was taken
};
// A header line naming some of the search columns (mac among them), then one row per MAC;
// an empty cell keeps the module's value. Cells may be quoted as spreadsheets write them; a
// cell read undoes what search did to it (the ' before a formula start, the escapes of
// control characters and backslashes), so search's own file reads back to the modules' values. A UTF-8 byte
// order mark is skipped; lines end in CR LF, LF or CR.
ApplyFile parseApplyCsv(std::string_view text);
std::optional<std::uint32_t> parseSerial(std::string_view text);

// A JSON string literal; control characters (C0, DEL, C1) are \u escapes.
std::string jsonString(std::string_view text);
// One flat JSON object of string values, keys in the order given.
std::string jsonObject(std::span<const std::pair<std::string, std::string>> members);
// Reads a flat object whose values are strings, numbers, true, false or null (kept as their
// text); empty with `error` set for anything else or a key given twice. A UTF-8 byte order
// mark is skipped.
std::optional<std::vector<std::pair<std::string, std::string>>> parseFlatJson(std::string_view text,
                                                                              std::string& error);

} // namespace zek::cli
