#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zek {

// Reads text the way the C library reads it where the tool's formats come from: a cursor
// for scanf directives, and the two plain conversions of a whole field. Nothing overflows:
// numbers too large for their type saturate.
class ScanCursor {
public:
    explicit ScanCursor(std::string_view text, std::size_t pos = 0) : m_text(text), m_pos(pos) {}

    std::size_t position() const { return m_pos; }

    // A blank in a format: any white space, also none.
    void skipSpace();
    // A literal character of a format, matched exactly without skipping white space.
    bool literal(char c);
    // "%s": white space skipped, then the characters up to the next white space.
    std::optional<std::string_view> scanfWord();
    // "%d": white space, an optional sign, at least one digit; saturates at the int range.
    std::optional<int> scanfDecimal();
    // "%lx" (and "%X"): white space, an optional sign, an optional "0x" before a hex digit,
    // hex digits; 32 bits wide, saturating at 0xFFFFFFFF, a minus sign taken modulo 2^32.
    std::optional<unsigned long> scanfHex();

private:
    std::string_view m_text;
    std::size_t m_pos;
};

// atoi: "%d" at the start of the text, 0 when there is no number.
int atoiLike(std::string_view text);

// The text's leading decimal digits as an unsigned number no greater than `max`; nothing
// is skipped before them, and a text without a leading digit counts as 0.
std::uint32_t leadingDigits(std::string_view text, std::uint32_t max);

} // namespace zek
