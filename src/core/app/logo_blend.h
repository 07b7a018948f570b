#pragma once

#include <cstdint>
#include <span>

namespace zek {

// The logo's background colour, RGB 212, 208, 200, red in bits 16-23.
inline constexpr std::uint32_t LOGO_BACKGROUND_RGB = 0xD4D0C8;

// Gives the logo the window's own background: every pixel whose RGB is the logo
// background takes faceColour's RGB; the pixel's alpha byte and all other pixels stay.
void blendLogoBackground(std::span<std::uint32_t> pixels, std::uint32_t faceColour);

} // namespace zek
