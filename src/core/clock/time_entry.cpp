#include "core/clock/time_entry.h"

#include <algorithm>
#include <cctype>

namespace zek {

namespace {

constexpr std::size_t kFieldLength = 9;
constexpr std::size_t kFieldReadRoom = 98;

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "%02d": white space, then at most two characters of sign and digits, one digit at least.
std::optional<int> twoDigits(std::string_view text, std::size_t& p) {
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p])))
        ++p;
    std::size_t q = p;
    const bool negative = q < text.size() && (text[q] == '+' || text[q] == '-') && text[q++] == '-';
    int value = 0;
    const std::size_t digits = q;
    for (; q < text.size() && q < p + 2 && isDigit(text[q]); ++q)
        value = value * 10 + (text[q] - '0');
    if (q == digits)
        return std::nullopt;
    p = q;
    return negative ? -value : value;
}

} // namespace

std::optional<TimeOfDay> scanTimeText(std::string_view text) {
    std::size_t p = 0;
    const auto hour = twoDigits(text, p);
    if (!hour || p >= text.size() || text[p++] != ':')
        return std::nullopt;
    const auto minute = twoDigits(text, p);
    if (!minute || p >= text.size() || text[p++] != ':')
        return std::nullopt;
    const auto second = twoDigits(text, p);
    if (!second)
        return std::nullopt;
    return TimeOfDay{*hour, *minute, *second};
}

bool TFormat2Validator::accept(std::string_view text) {
    const auto time = scanTimeText(text);
    if (!time || text.size() != kFieldLength || text[2] != ':' || text[5] != ':' || text[8] != ' ') {
        m_corrected = false;
        return false;
    }
    m_corrected = false;
    if (time->hour >= 24 && time->hour <= 29) {
        if (text[0] != m_lastAccepted[0])
            m_lastAccepted[1] = '0';
        m_lastAccepted[0] = text[0];
        m_corrected = true;
    }
    if (time->hour < 0 || time->hour > 23 || time->minute < 0 || time->minute > 59 || time->second < 0 ||
        time->second > 59)
        return false;
    m_lastAccepted = std::string(text.substr(0, kRoom));
    return true;
}

TimeFieldState timeFieldFocus(TimeFieldState state, std::size_t selectionStart, std::size_t selectionEnd) {
    state.caret = selectionStart;
    state.selectionEnd = selectionEnd;
    return state;
}

TimeFieldStep timeFieldUpdate(TimeFieldState state, std::string_view text, std::size_t selectionStart) {
    std::string field(text.substr(0, kFieldReadRoom));
    TimeFieldStep step{state, std::nullopt, std::nullopt};
    TimeFieldState& s = step.state;
    bool typed = false;
    if (s.mode == 1) {
        s.caret = selectionStart;
        if (s.caret >= 1 && s.caret <= kFieldLength) {
            if (s.caret < field.size())
                field.erase(s.caret, 1);
            typed = true;
        }
    } else {
        s.mode = 1;
        step.caret = std::min(s.caret, field.size());
    }
    if (!s.validator.accept(field)) {
        s.mode = 0;
        if (s.caret > 0)
            --s.caret;
        if (s.validator.corrected() && s.caret == 0)
            s.caret = 1;
        step.replacement = s.validator.lastAccepted();
    } else if (typed) {
        s.mode = 0;
        s.caret = std::min(s.caret, field.size() - 1);
        while (s.caret + 1 < field.size() && !isDigit(field[s.caret]))
            ++s.caret;
        step.replacement = field;
    }
    // The caret, like the edit's own, stays within the text.
    if (step.replacement) {
        s.caret = std::min(s.caret, step.replacement->size());
        step.caret = s.caret;
    }
    return step;
}

} // namespace zek
