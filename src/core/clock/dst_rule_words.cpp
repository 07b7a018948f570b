#include "core/clock/dst_rule_words.h"

#include "core/text/value_texts.h"

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

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

template <std::size_t N>
std::optional<int> indexOf(const std::array<std::string_view, N>& words, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (sameWord(words[i], word))
            return int(i);
    return std::nullopt;
}

// "2", "02", "2:00" or "02:00".
std::optional<int> hourOf(std::string_view word) {
    if (word.ends_with(":00"))
        word.remove_suffix(3);
    if (word.empty() || word.size() > 2 || word.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return parseNumber(word, 0, 23);
}

} // namespace

std::string dstRuleWords(const DstRule& rule) {
    if (!rule.valid())
        return std::to_string(rule.occurrence) + " " + std::to_string(rule.weekday) + " " +
               std::to_string(rule.month) + " " + std::to_string(rule.hour);
    char hour[8];
    std::snprintf(hour, sizeof hour, "%02d:00", rule.hour);
    return std::string(kOccurrences[std::size_t(rule.occurrence)]) + " " +
           std::string(kWeekdays[std::size_t(rule.weekday)]) + " " +
           std::string(kMonths[std::size_t(rule.month - 1)]) + " " + hour;
}

std::optional<DstRule> parseDstRuleText(std::string_view text) {
    if (const auto numbers = parseRuleText(text))
        return numbers;
    std::array<std::string_view, 4> words;
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        if (count == words.size())
            return std::nullopt;
        words[count++] = text.substr(at, end - at);
        at = end;
    }
    if (count != words.size())
        return std::nullopt;
    auto occurrence = indexOf(kOccurrences, words[0]);
    if (!occurrence && sameWord(words[0], "fifth"))
        occurrence = 4;
    const auto weekday = indexOf(kWeekdays, words[1]);
    const auto month = indexOf(kMonths, words[2]);
    const auto hour = hourOf(words[3]);
    if (!occurrence || !weekday || !month || !hour)
        return std::nullopt;
    return DstRule{*occurrence, *weekday, *month + 1, *hour};
}

} // namespace zek
