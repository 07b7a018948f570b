#pragma once

#include "core/clock/dst_rule.h"

#include <optional>
#include <string>
#include <string_view>

// Stand-ins for the rule words that core is getting; the merge keeps core's.
namespace zek {

// "last Sunday March 02:00": occurrence, weekday, month and hour as a reader says them.
std::string dstRuleWords(const DstRule& rule);
// The inverse of dstRuleWords, exactly its words.
std::optional<DstRule> parseRuleWords(std::string_view text);

} // namespace zek
