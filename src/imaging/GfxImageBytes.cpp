#include "imaging/GfxImageBytes.h"

#include <algorithm>
#include <cstddef>

std::vector<std::uint8_t> rgbaBytesOfImage(const ui::Image& image, int width, int height, bool straightAlpha)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0) * 4);
    const std::uint32_t* pixels = image.isNull() ? nullptr : image.pixels();
    const int sourceWidth = image.isNull() ? 0 : image.pixelWidth();
    const int sourceHeight = image.isNull() ? 0 : image.pixelHeight();
    if (!pixels || sourceWidth <= 0 || sourceHeight <= 0)
        return rgba;
    for (int y = 0; y < height; ++y) {
        const int sourceY = y * sourceHeight / height;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word =
                pixels[static_cast<std::size_t>(sourceY) * sourceWidth + x * sourceWidth / width];
            std::uint32_t a = word >> 24, r = (word >> 16) & 0xff, g = (word >> 8) & 0xff, b = word & 0xff;
            if (straightAlpha && a != 0 && a != 255) {
                // Rounded to the nearest.
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            out[0] = static_cast<std::uint8_t>(r);
            out[1] = static_cast<std::uint8_t>(g);
            out[2] = static_cast<std::uint8_t>(b);
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
    return rgba;
}
