#include "core/session/line_splitter.h"

namespace zek {

std::size_t LineSplitter::feed(std::span<const std::uint8_t> bytes, const LineFn& onLine) {
    std::size_t lines = 0;
    for (const std::uint8_t byte : bytes) {
        if (byte == '\r') {
            std::string_view line(m_buffer.data(), m_length);
            line = line.substr(0, line.find('\0'));
            m_length = 0;
            ++lines;
            if (onLine && !onLine(line))
                break;
        } else if (byte != '\n') {
            m_buffer[m_length] = char(byte);
            if (m_length < kLineMax)
                ++m_length;
        }
    }
    return lines;
}

} // namespace zek
