#pragma once

#include "core/scan/device_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

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
// The modules a fleet command works on: either one MAC or IP a line (blank lines and lines
// starting with # are skipped), or a CSV whose header names a "mac" column, such as the
// audit's or search's own file. A name given twice is refused. A UTF-8 byte order mark is
// skipped; lines end in CR LF, LF or CR.
TargetList parseTargetList(std::string_view text);

} // namespace zek
