#include "core/text/c_scan.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace zek {

namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// What every numeric conversion does first: blanks, then an optional sign. True for "-".
bool skipBlanksAndSign(std::string_view text, std::size_t& p) {
    while (p < text.size() && isSpace(text[p]))
        ++p;
    return p < text.size() && (text[p] == '+' || text[p] == '-') && text[p++] == '-';
}

} // namespace

void ScanCursor::skipSpace() {
    while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
        ++m_pos;
}

bool ScanCursor::literal(char c) {
    if (m_pos >= m_text.size() || m_text[m_pos] != c)
        return false;
    ++m_pos;
    return true;
}

std::optional<std::string_view> ScanCursor::scanfWord() {
    skipSpace();
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !isSpace(m_text[m_pos]))
        ++m_pos;
    if (m_pos == start)
        return std::nullopt;
    return m_text.substr(start, m_pos - start);
}

std::optional<int> ScanCursor::scanfDecimal() {
    std::size_t p = m_pos;
    const bool negative = skipBlanksAndSign(m_text, p);
    const std::size_t digits = p;
    long long value = 0;
    for (; p < m_text.size() && isDigit(m_text[p]); ++p)
        value = std::min<long long>(value * 10 + (m_text[p] - '0'), 1LL + INT_MAX);
    if (p == digits)
        return std::nullopt;
    m_pos = p;
    value = negative ? -value : value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<unsigned long> ScanCursor::scanfHex() {
    std::size_t p = m_pos;
    const bool negative = skipBlanksAndSign(m_text, p);
    if (p + 2 < m_text.size() && m_text[p] == '0' && (m_text[p + 1] == 'x' || m_text[p + 1] == 'X') &&
        isHexDigit(m_text[p + 2]))
        p += 2;
    const std::size_t digits = p;
    unsigned long value = 0;
    for (; p < m_text.size() && isHexDigit(m_text[p]); ++p) {
        const char c = m_text[p];
        const unsigned d = isDigit(c) ? unsigned(c - '0') : unsigned(std::toupper(c) - 'A' + 10);
        value = value > 0xFFFFFFFUL ? 0xFFFFFFFFUL : (value << 4 | d);
    }
    if (p == digits)
        return std::nullopt;
    m_pos = p;
    return negative ? (0x100000000UL - value) & 0xFFFFFFFFUL : value;
}

int atoiLike(std::string_view text) {
    return ScanCursor(text).scanfDecimal().value_or(0);
}

std::uint32_t leadingDigits(std::string_view text, std::uint32_t max) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < text.size() && isDigit(text[i]); ++i)
        value = std::uint32_t(
            std::min<std::uint64_t>(max, std::uint64_t(value) * 10 + std::uint64_t(text[i] - '0')));
    return value;
}

} // namespace zek
