#include "core/session/line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zek;

namespace {

std::span<const std::uint8_t> bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Feeds each '|'-separated chunk as one read; gives every completed line followed by '|'.
std::string split(LineSplitter& splitter, const std::string& chunks) {
    std::string lines;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = chunks.find('|', start);
        splitter.feed(bytes(std::string_view(chunks).substr(start, end - start)), [&](std::string_view line) {
            lines.append(line) += '|';
            return true;
        });
    }
    return lines;
}

} // namespace

TEST(LineSplitter, CutsAtCrAndDropsLf) {
    std::string numbered;
    for (int i = 0; i < 400; ++i)
        numbered += char('0' + i % 10);
    const std::string a298(298, 'a');
    // name, chunks, lines, characters left waiting
    const std::tuple<const char*, std::string, std::string, std::size_t> cases[] = {
        {"CR LF gives one line", "!GERAET ZEK 1\r\n", "!GERAET ZEK 1|", 0},
        {"LF alone continues the line", "abc\n|def\r", "abcdef|", 0},
        {"two lines in one read keep their order", "!FIRMA x\r!REVISION 2\r\n", "!FIRMA x|!REVISION 2|", 0},
        {"a line split over reads is joined", "!LOG_|ON 5|\r", "!LOG_ON 5|", 0},
        {"CR and LF split over reads", "a\r|\nb\r|\n", "a|b|", 0},
        {"empty lines", "\r\r\n\r", "|||", 0},
        {"a partial line waits", "!DST_USE 1", "", 10},
        {"400 characters keep the first 298", numbered + "\r", numbered.substr(0, 298) + "|", 0},
        {"299 loses the last", a298 + "c\r", a298 + "|", 0},
        {"a long line over many reads", std::string(200, 'x') + "|" + std::string(200, 'y') + "|\rnext\r",
         std::string(200, 'x') + std::string(98, 'y') + "|next|", 0},
        {"NUL ends the text of a line", std::string("ab\0cd\r", 6), "ab|", 0},
        {"NUL first gives an empty line", std::string("\0x\r", 3), "|", 0},
        {"bytes above 127 are kept", "\xE4\xF6\xFC\xFF\r", "\xE4\xF6\xFC\xFF|", 0},
    };
    for (const auto& [name, chunks, lines, pending] : cases) {
        LineSplitter splitter;
        EXPECT_EQ(split(splitter, chunks), lines) << name;
        EXPECT_EQ(splitter.length(), pending) << name;
    }
}

TEST(LineSplitter, APartLineStaysBoundedUntilItsCrOrAClear) {
    LineSplitter splitter;
    const std::string flood(1 << 20, 'z');
    EXPECT_EQ(split(splitter, flood + "|" + flood), "");
    EXPECT_EQ(splitter.length(), LineSplitter::kLineMax);
    EXPECT_EQ(split(splitter, "\r"), std::string(298, 'z') + "|");
    EXPECT_EQ(split(splitter, "half a li"), "");
    splitter.clear();
    EXPECT_EQ(split(splitter, "ne\r"), "ne|");
}

TEST(LineSplitter, CountsLinesAndStopsWhenAskedTo) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    const std::size_t count = splitter.feed(bytes("one\rtwo\rthree\rrest"), [&](std::string_view line) {
        lines.emplace_back(line);
        return lines.size() < 2;
    });
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two"}));
    // The bytes after the stop are dropped, not kept for the next line.
    EXPECT_EQ(splitter.length(), 0u);
    EXPECT_EQ(splitter.feed(bytes("a\rb\r"), {}), 2u);
}
