#include "core/text/encodings.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace zek {
namespace {

TEST(Encodings, Utf8IsCheckedStrictlyAndWindows1252RoundTrips) {
    for (const std::string& bytes : {"plain"s, "\xC3\xA7"s, "\xF0\x9F\x98\x80"s, "\0"s})
        EXPECT_TRUE(isValidUtf8(bytes)) << testing::PrintToString(bytes);
    for (const char* bytes : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE2\x82"})
        EXPECT_FALSE(isValidUtf8(bytes)) << testing::PrintToString(bytes);

    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToWindows1252(utf8), all);
    EXPECT_EQ(utf8ToWindows1252("\xE2\x86\x92"), std::nullopt);
    EXPECT_EQ(windows1252ToUtf8("\x9F\x8A"), "\xC5\xB8\xC5\xA0");
    // Prefixes count characters and never split one.
    EXPECT_EQ(utf8Prefix("a\xC3\xA7\xE2\x82\xAC!", 3), "a\xC3\xA7\xE2\x82\xAC");
    EXPECT_EQ(utf8Prefix("abc", 0), "");
    EXPECT_EQ(utf8Prefix("abc", 99), "abc");
}

TEST(Encodings, TypedTextBecomesLatin1) {
    const struct {
        std::string typed;
        std::optional<std::string> latin1;
    } cases[] = {
        {"Boiler 7", "Boiler 7"},
        {"Z\xC3\xA4hler 5\xC2\xB0", "Z\xE4hler 5\xB0"}, // UTF-8, as terminals and files send it
        {"Z\xE4hler", "Z\xE4hler"},                     // already Latin-1: not valid UTF-8
        {"\xC3", "\xC3"},
        {"\xC3\xBF\xC4\x80", std::nullopt}, // U+0100 has no Latin-1 code
        {"\xE2\x82\xAC", std::nullopt},     // nor has the euro sign
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToLatin1(c.typed), c.latin1) << testing::PrintToString(c.typed);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(textToLatin1(latin1ToUtf8(all)), all);
}

} // namespace
} // namespace zek
