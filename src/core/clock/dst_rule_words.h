#pragma once

#include "core/clock/dst_rule.h"

#include <optional>
#include <string>
#include <string_view>

namespace zek {

// A rule in the words of the window's English lists: "last Sunday March 02:00". Occurrence 4
// is "last" (the fifth such weekday, or the last where the month has no fifth). A rule that
// is not valid keeps its four numbers ("9 0 13 2"), so nothing is lost in print.
std::string dstRuleWords(const DstRule& rule);

// "last Sunday March 02:00" in any letter case, with "fifth" for "last" and the hour as
// "2", "02", "2:00" or "02:00"; or the four numbers "4 0 3 2" that "!DST_START" carries.
// Words and numbers are separated by blanks. Nothing for anything else.
std::optional<DstRule> parseDstRuleText(std::string_view text);

} // namespace zek
