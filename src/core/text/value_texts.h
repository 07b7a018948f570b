#pragma once

#include "core/clock/dst_rule.h"
#include "core/scan/device_record.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zek {

// The value texts a user gives the tools, read strictly: nothing but the value, or nothing.

// "00 0A 1B 2C 3D 4E", "00:0a:1b:2c:3d:4e" or with dashes: six two-digit hex numbers.
std::optional<MacAddress> parseMac(std::string_view text);
// Four dotted numbers 0-255 (zero padding allowed: "192.168.001.020").
std::optional<std::uint32_t> parseIpv4(std::string_view text);
// A decimal number within [low, high], nothing else in the text.
std::optional<int> parseNumber(std::string_view text, int low, int high);
// "occurrence weekday month hour" as "!DST_START" carries it, each standing for a list item.
std::optional<DstRule> parseRuleText(std::string_view text);

} // namespace zek
