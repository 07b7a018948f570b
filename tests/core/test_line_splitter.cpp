#include "core/session/line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zek;

namespace {

std::span<const std::uint8_t> bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Feeds each chunk as one read and returns every completed line in order.
std::vector<std::string> split(LineSplitter& splitter, const std::vector<std::string>& chunks) {
    std::vector<std::string> lines;
    for (const std::string& chunk : chunks)
        splitter.feed(bytes(chunk), [&](std::string_view line) {
            lines.emplace_back(line);
            return true;
        });
    return lines;
}

struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
    std::size_t pending;
};

} // namespace

TEST(LineSplitter, CutsAtCrAndDropsLf) {
    const std::string long400(400, 'a');
    std::string long400Numbered;
    for (int i = 0; i < 400; ++i)
        long400Numbered += char('0' + i % 10);
    const Case cases[] = {
        {"CR LF gives one line", {"!GERAET ZEK 1\r\n"}, {"!GERAET ZEK 1"}, 0},
        {"LF alone continues the line", {"abc\n", "def\r"}, {"abcdef"}, 0},
        {"two lines in one read keep their order",
         {"!FIRMA x\r!REVISION 2\r\n"},
         {"!FIRMA x", "!REVISION 2"},
         0},
        {"a line split over reads is joined", {"!LOG_", "ON 5", "\r"}, {"!LOG_ON 5"}, 0},
        {"CR and LF split over reads", {"a\r", "\nb\r", "\n"}, {"a", "b"}, 0},
        {"empty lines", {"\r\r\n\r"}, {"", "", ""}, 0},
        {"a partial line waits", {"!DST_USE 1"}, {}, 10},
        {"400 characters keep the first 298", {long400 + "\r"}, {std::string(298, 'a')}, 0},
        {"the overflow is not the kept text", {long400Numbered + "\r"}, {long400Numbered.substr(0, 298)}, 0},
        {"exactly 298", {std::string(298, 'b') + "\r"}, {std::string(298, 'b')}, 0},
        {"299 loses the last", {std::string(298, 'b') + "c\r"}, {std::string(298, 'b')}, 0},
        {"a long line over many reads",
         {std::string(200, 'x'), std::string(200, 'y'), "\rnext\r"},
         {std::string(200, 'x') + std::string(98, 'y'), "next"},
         0},
        {"NUL ends the text of a line", {std::string("ab\0cd\r", 6)}, {"ab"}, 0},
        {"NUL first gives an empty line", {std::string("\0x\r", 3)}, {""}, 0},
        {"bytes above 127 are kept", {"\xE4\xF6\xFC\xFF\r"}, {"\xE4\xF6\xFC\xFF"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineSplitter splitter;
        EXPECT_EQ(split(splitter, c.chunks), c.lines);
        EXPECT_EQ(splitter.length(), c.pending);
    }
}

TEST(LineSplitter, APeerThatNeverSendsCrStaysBounded) {
    LineSplitter splitter;
    const std::string flood(1 << 20, 'z');
    EXPECT_EQ(split(splitter, {flood, flood}), std::vector<std::string>{});
    EXPECT_EQ(splitter.length(), LineSplitter::kLineMax);
    EXPECT_EQ(split(splitter, {"\r"}), std::vector<std::string>{std::string(298, 'z')});
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

TEST(LineSplitter, ClearDiscardsThePartLine) {
    LineSplitter splitter;
    EXPECT_EQ(split(splitter, {"half a li"}), std::vector<std::string>{});
    splitter.clear();
    EXPECT_EQ(split(splitter, {"ne\r"}), std::vector<std::string>{"ne"});
}
