#include "core/app/logo_blend.h"

namespace zek {

void blendLogoBackground(std::span<std::uint32_t> pixels, std::uint32_t faceColour) {
    constexpr std::uint32_t kRgbMask = 0xFFFFFF;
    const std::uint32_t faceRgb = faceColour & kRgbMask;
    for (std::uint32_t& pixel : pixels) {
        if ((pixel & kRgbMask) == LOGO_BACKGROUND_RGB)
            pixel = (pixel & ~kRgbMask) | faceRgb;
    }
}

} // namespace zek
