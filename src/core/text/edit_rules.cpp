#include "core/text/edit_rules.h"

#include <cstdio>
#include <limits>

namespace zek {

namespace {

constexpr char kInvalidCharacter[] = "Invalid character in input";

bool isDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c) {
    return isDecimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

EditJudgement judgeRange(const EditRule& rule, std::u16string_view text) {
    if (text.empty())
        return {EditVerdict::Intermediate, {}};
    for (const char16_t c : text)
        if (!isDecimalDigit(c))
            return {EditVerdict::Invalid, kInvalidCharacter};
    // Stop accumulating once past the maximum, so a long pasted number cannot overflow.
    long value = 0;
    for (const char16_t c : text) {
        const long digit = c - u'0';
        if (value > (std::numeric_limits<long>::max() - digit) / 10 ||
            (value = value * 10 + digit) > rule.maximum) {
            char message[80];
            std::snprintf(message, sizeof message, "Value is not in the range %ld to %ld.", rule.minimum,
                          rule.maximum);
            return {EditVerdict::Invalid, message};
        }
    }
    return {value < rule.minimum ? EditVerdict::Intermediate : EditVerdict::Acceptable, {}};
}

} // namespace

EditJudgement judgeEdit(const EditRule& rule, std::u16string_view text) {
    if (rule.limit > 0 && text.size() > std::size_t(rule.limit))
        return {EditVerdict::Invalid, {}};
    switch (rule.kind) {
    case EditRule::Kind::Range:
        return judgeRange(rule, text);
    case EditRule::Kind::Hex:
        for (const char16_t c : text)
            if (!isHexDigit(c))
                return {EditVerdict::Invalid, kInvalidCharacter};
        break;
    case EditRule::Kind::Text:
        break;
    }
    return {};
}

} // namespace zek
