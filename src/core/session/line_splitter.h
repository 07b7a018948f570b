#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace zek {

// Cuts the session's received byte stream into reply lines. A line ends at CR; LF is
// dropped wherever it stands, so a line ended by LF alone continues with the next bytes.
// The buffer is fixed: a line keeps its first 298 characters and every further byte up
// to its CR overwrites the one slot behind them, so a peer that never sends CR cannot
// make anything grow. The buffer survives from one read to the next.
class LineSplitter {
public:
    static constexpr std::size_t kBufferSize = 300;
    static constexpr std::size_t kLineMax = 298;

    // Called for each completed line, in arrival order. The view points into the
    // splitter's buffer and is valid only during the call. A line is the text before its
    // first NUL byte, as a line is a C string for everything that reads it. Returning
    // false drops the rest of the bytes (the session ended while a line was handled).
    using LineFn = std::function<bool(std::string_view line)>;

    // Walks the bytes; returns the number of lines completed.
    std::size_t feed(std::span<const std::uint8_t> bytes, const LineFn& onLine);
    // Forgets the partly received line.
    void clear() { m_length = 0; }
    // Characters of the partly received line held so far (0 to 298).
    std::size_t length() const { return m_length; }

private:
    std::array<char, kBufferSize> m_buffer{};
    std::size_t m_length = 0;
};

} // namespace zek
