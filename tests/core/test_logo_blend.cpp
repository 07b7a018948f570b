#include "core/app/logo_blend.h"

#include <gtest/gtest.h>

TEST(LogoBlend, ReplacesExactlyTheBackgroundRgb) {
    // name, pixel, face colour, pixel after
    const std::tuple<const char*, std::uint32_t, std::uint32_t, std::uint32_t> cases[] = {
        {"opaque background takes the face colour", 0xFFD4D0C8, 0xFFF0F0F0, 0xFFF0F0F0},
        {"alpha of the pixel is kept", 0x80D4D0C8, 0xFF112233, 0x80112233},
        {"alpha of the face colour is ignored", 0x00D4D0C8, 0xAA112233, 0x00112233},
        {"blue one off stays", 0xFFD4D0C9, 0xFF112233, 0xFFD4D0C9},
        {"red one off stays", 0xFFD5D0C8, 0xFF112233, 0xFFD5D0C8},
        {"channels swapped stay", 0xFFC8D0D4, 0xFF112233, 0xFFC8D0D4},
        {"logo ink stays", 0xFF1F3A93, 0xFF112233, 0xFF1F3A93},
    };
    for (auto [name, pixel, face, expected] : cases) {
        zek::blendLogoBackground(std::span(&pixel, 1), face);
        EXPECT_EQ(pixel, expected) << name;
    }
}
