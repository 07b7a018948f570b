#include "core/session/line_splitter.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The rule written out plainly, on a growing string, to compare the fixed buffer against.
std::vector<std::string> reference(std::span<const std::uint8_t> bytes, std::string& pending) {
    std::vector<std::string> lines;
    for (const std::uint8_t byte : bytes) {
        if (byte == '\r') {
            std::string line = pending.substr(0, zek::LineSplitter::kLineMax);
            lines.push_back(line.substr(0, line.find('\0')));
            pending.clear();
        } else if (byte != '\n') {
            pending += char(byte);
        }
    }
    return lines;
}

} // namespace

// The first byte chooses how the rest is cut into reads, so lines split across reads
// at every position are tried.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = std::size_t(data[0] % 64) + 1;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);

    std::string pending;
    const std::vector<std::string> expected = reference(stream, pending);

    zek::LineSplitter splitter;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const auto part = stream.subspan(at, std::min(chunk, stream.size() - at));
        const std::size_t before = lines.size();
        const std::size_t count = splitter.feed(part, [&](std::string_view line) {
            require(line.size() <= zek::LineSplitter::kLineMax);
            require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
            lines.emplace_back(line);
            return true;
        });
        require(count == lines.size() - before);
        require(splitter.length() <= zek::LineSplitter::kLineMax);
    }
    require(lines == expected);
    require(splitter.length() == std::min(pending.size(), zek::LineSplitter::kLineMax));
    return 0;
}
