#include "core/clock/clock_values.h"

#include "core/clock/time_zones.h"
#include "core/text/c_scan.h"

namespace zek {

namespace {

// Two digits at `at`, nothing else.
std::optional<int> twoDigits(std::string_view text, std::size_t at) {
    if (at + 2 > text.size() || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9')
        return std::nullopt;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// "nn<sep>nn<sep>nn", exactly eight characters.
std::optional<std::array<int, 3>> threeFields(std::string_view text, char separator) {
    if (text.size() != 8 || text[2] != separator || text[5] != separator)
        return std::nullopt;
    const auto a = twoDigits(text, 0), b = twoDigits(text, 3), c = twoDigits(text, 6);
    if (!a || !b || !c)
        return std::nullopt;
    return std::array{*a, *b, *c};
}

bool validDate(int day, int month, int year) {
    return month >= 1 && month <= 12 && year >= 1 && year <= 99 && day >= 1 &&
           day <= MonthLength(month, year);
}

} // namespace

std::optional<TimeOfDay> parseTimeText(std::string_view text) {
    const auto f = threeFields(text, ':');
    if (!f || (*f)[0] > 23 || (*f)[1] > 59 || (*f)[2] > 59)
        return std::nullopt;
    return TimeOfDay{(*f)[0], (*f)[1], (*f)[2]};
}

std::optional<ManualDate> parseDateText(std::string_view text) {
    const auto f = threeFields(text, '.');
    if (!f || !validDate((*f)[0], (*f)[1], (*f)[2]))
        return std::nullopt;
    return ManualDate{std::uint8_t((*f)[0]), std::uint8_t((*f)[1]), std::uint8_t((*f)[2])};
}

std::optional<int> parseZoneText(std::string_view text) {
    for (const std::string_view zone : ZoneTable)
        if (!text.empty() && zone.substr(zone.find_first_not_of(' ')) == text)
            return ZoneOffsetMinutes(zone);
    return std::nullopt;
}

std::optional<ModuleClock> parseModuleClock(std::string_view line) {
    constexpr std::string_view kKeyword = "!TIME_UTC ";
    if (!line.starts_with(kKeyword))
        return std::nullopt;
    ScanCursor at(line, kKeyword.size());
    std::array<int, 8> n{};                        // h, m, s, weekday, d, m, y, zone
    constexpr std::string_view after = ":: )..  "; // what follows each number; blank: nothing
    for (std::size_t i = 0; i < n.size(); ++i) {
        if (i == 3 || i == 7) {
            at.skipSpace();
            if (!at.literal('('))
                return std::nullopt;
        }
        const auto value = at.scanfDecimal();
        if (!value || (after[i] != ' ' && !at.literal(after[i])))
            return std::nullopt;
        n[i] = *value;
    }
    if (!at.literal(')') || n[0] < 0 || n[0] > 23 || n[1] < 0 || n[1] > 59 || n[2] < 0 || n[2] > 59 ||
        !validDate(n[4], n[5], n[6]) || n[7] < -24 * 60 || n[7] > 24 * 60)
        return std::nullopt;
    return ModuleClock{ToClockSeconds(2000 + n[6], n[5], n[4], n[0], n[1], n[2]), n[7]};
}

} // namespace zek
