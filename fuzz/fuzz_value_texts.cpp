// Any bytes as a MAC, an IPv4 address, a number or a DST rule (numbers or words) given to
// zekctl: each parser gives a value or nothing, and the value's own text reads back to the
// same value.
#include "core/clock/dst_rule_words.h"
#include "core/scan/device_protocol.h"
#include "core/text/value_texts.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto mac = zek::parseMac(text); mac && zek::parseMac(zek::macText(*mac)) != mac)
        std::abort();
    if (const auto ip = zek::parseIpv4(text); ip && zek::parseIpv4(zek::dottedText(*ip)) != ip)
        std::abort();
    if (const auto n = zek::parseNumber(text, -1000, 1000); n && (*n < -1000 || *n > 1000))
        std::abort();
    if (const auto rule = zek::parseRuleText(text)) {
        const std::string again = std::to_string(rule->occurrence) + " " + std::to_string(rule->weekday) +
                                  " " + std::to_string(rule->month) + " " + std::to_string(rule->hour);
        if (!rule->valid() || zek::parseRuleText(again) != rule)
            std::abort();
    }
    if (const auto rule = zek::parseDstRuleText(text)) {
        const std::string words = zek::dstRuleWords(*rule);
        if (!rule->valid() || zek::parseDstRuleText(words) != rule ||
            (zek::parseRuleText(text) && zek::parseRuleText(text) != rule))
            std::abort();
    }
    return 0;
}
