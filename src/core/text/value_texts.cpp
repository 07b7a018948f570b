#include "core/text/value_texts.h"

#include <charconv>

namespace zek {

namespace {

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

} // namespace

std::optional<MacAddress> parseMac(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    const char separator = text[2];
    if (separator != ' ' && separator != ':' && separator != '-')
        return std::nullopt;
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const auto high = hexDigit(text[i * 3]);
        const auto low = hexDigit(text[i * 3 + 1]);
        if (!high || !low || (i < 5 && text[i * 3 + 2] != separator))
            return std::nullopt;
        mac[i] = std::uint8_t(*high * 16 + *low);
    }
    return mac;
}

std::optional<int> parseNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseIpv4(std::string_view text) {
    std::uint32_t address = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = i < 3 ? text.find('.') : text.size();
        const auto part = dot <= 3 ? parseNumber(text.substr(0, dot), 0, 255) : std::nullopt;
        if (!part)
            return std::nullopt;
        address = address << 8 | std::uint32_t(*part);
        text.remove_prefix(i < 3 ? dot + 1 : dot);
    }
    return address;
}

std::optional<DstRule> parseRuleText(std::string_view text) {
    std::array<int, 4> numbers{};
    std::size_t at = 0;
    for (int& n : numbers) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), n);
        if (ec != std::errc() || end == text.data() + at)
            return std::nullopt;
        at = std::size_t(end - text.data());
    }
    const DstRule rule = DstRule::fromReply(numbers);
    if (text.find_first_not_of(' ', at) != std::string_view::npos || !rule.valid())
        return std::nullopt;
    return rule;
}

} // namespace zek
