#include "core/text/c_scan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace zek;

// Within the range of their types the scanners read what the C library reads.
TEST(CScan, ReadsAsTheCLibraryDoes) {
    for (const char* text :
         {"12", " -7x", "+3", "\t42 9", "-", "+-1", "x1", "", "2147483647", "-2147483648"}) {
        int d = 0;
        const std::optional<int> decimal = ScanCursor(text).scanfDecimal();
        EXPECT_EQ(decimal.has_value(), std::sscanf(text, "%d", &d) == 1) << text;
        EXPECT_EQ(decimal.value_or(0), decimal ? d : 0) << text;
        EXPECT_EQ(atoiLike(text), std::atoi(text)) << text;
    }
    for (const char* text :
         {"1f", " -7x", "0x1f", "-0x10", "0xg", "0X", "fF", "ffffffff", "7fffffff 1", ""}) {
        unsigned long x = 0;
        const std::optional<unsigned long> hex = ScanCursor(text).scanfHex();
        EXPECT_EQ(hex.has_value(), std::sscanf(text, "%lx", &x) == 1) << text;
        EXPECT_EQ(hex.value_or(0), hex ? x & 0xFFFFFFFFUL : 0) << text;
    }
    // Beyond the range they saturate; leading digits skip nothing before them.
    EXPECT_EQ(ScanCursor("-99999999999").scanfDecimal(), INT_MIN);
    EXPECT_EQ(atoiLike("99999999999"), INT_MAX);
    EXPECT_EQ(ScanCursor("123456789ab").scanfHex(), 0xFFFFFFFFUL);
    for (const auto& [text, value] :
         {std::pair{"192", 192u}, {"12a", 12u}, {" 1", 0u}, {"-1", 0u}, {"300", 255u}})
        EXPECT_EQ(leadingDigits(text, 255), value) << text;
}
