#include "ctl/rule_words.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zek {

namespace {

constexpr std::array<std::string_view, 5> kOccurrences = {"first", "second", "third", "fourth", "last"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};

} // namespace

std::string dstRuleWords(const DstRule& rule) {
    if (!rule.valid())
        return {};
    char hour[8];
    std::snprintf(hour, sizeof hour, "%02d:00", rule.hour);
    return std::string(kOccurrences[std::size_t(rule.occurrence)]) + " " +
           std::string(kWeekdays[std::size_t(rule.weekday)]) + " " +
           std::string(kMonths[std::size_t(rule.month - 1)]) + " " + hour;
}

std::optional<DstRule> parseRuleWords(std::string_view text) {
    std::array<std::string_view, 4> words;
    for (std::string_view& word : words) {
        const std::size_t end = std::min(text.find(' '), text.size());
        word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    const auto indexOf = [](const auto& list, std::string_view word) {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i] == word)
                return int(i);
        return -1;
    };
    const std::string_view hour = words[3];
    const bool hourShape = hour.size() == 5 && hour.substr(2) == ":00" && hour[0] >= '0' && hour[0] <= '2' &&
                           hour[1] >= '0' && hour[1] <= '9';
    const DstRule rule{indexOf(kOccurrences, words[0]), indexOf(kWeekdays, words[1]),
                       indexOf(kMonths, words[2]) + 1,
                       hourShape ? (hour[0] - '0') * 10 + (hour[1] - '0') : -1};
    if (!text.empty() || !rule.valid())
        return std::nullopt;
    return rule;
}

} // namespace zek
