#pragma once

#include "core/scan/device_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// The files a fleet command reads besides the apply CSV.

// One module a --modules file names, by MAC or by the IP it answers from.
struct TargetName {
    int line = 0;
    std::string text; // as the file gives it
    std::optional<MacAddress> mac;
    std::optional<std::uint32_t> ip;
};
struct TargetList {
    std::vector<TargetName> names; // in file order
    std::string error;             // "line 3: not a MAC or an IP address: 'x'"; empty when taken
};
// Either one MAC or IP a line (blank lines and lines starting with # are skipped), or a CSV
// whose header names a "mac" column, such as the audit's or search's own file. A name given
// twice is refused. A UTF-8 byte order mark is skipped; lines end in CR LF, LF or CR.
TargetList parseTargetList(std::string_view text);

// The text of each object of a JSON array, for a fleet backup: `[{...}, {...}]`. The objects
// are only delimited here; each is read by the single-module backup reader. Empty, with
// `error` set, for anything but an array of objects.
std::optional<std::vector<std::string_view>> jsonArrayObjects(std::string_view text, std::string& error);
// The text starts with `[` (after a byte order mark and blanks).
bool isJsonArray(std::string_view text);

} // namespace zek
