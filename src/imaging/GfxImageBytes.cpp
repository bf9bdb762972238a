#include "imaging/GfxImageBytes.h"

#include <algorithm>
#include <cstddef>

namespace {

void writeRgba(std::uint32_t word, bool straightAlpha, std::uint8_t* out)
{
    std::uint32_t a = word >> 24, r = (word >> 16) & 0xff, g = (word >> 8) & 0xff, b = word & 0xff;
    if (straightAlpha && a != 0 && a != 255) {
        // Rounded to the nearest.
        r = std::min(255u, (r * 255 + a / 2) / a);
        g = std::min(255u, (g * 255 + a / 2) / a);
        b = std::min(255u, (b * 255 + a / 2) / a);
    }
    out[0] = static_cast<std::uint8_t>(r);
    out[1] = static_cast<std::uint8_t>(g);
    out[2] = static_cast<std::uint8_t>(b);
    out[3] = static_cast<std::uint8_t>(a);
}

}  // namespace

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
            writeRgba(pixels[static_cast<std::size_t>(sourceY) * sourceWidth + x * sourceWidth / width], straightAlpha,
                      &rgba[(static_cast<std::size_t>(y) * width + x) * 4]);
        }
    }
    return rgba;
}

void straightRgbaBytesOfArea(const ui::Image& image, const ui::Rect& area, std::vector<std::uint8_t>& rgba)
{
    const int left = static_cast<int>(area.x());
    const int top = static_cast<int>(area.y());
    const int width = static_cast<int>(area.width());
    const int height = static_cast<int>(area.height());
    rgba.resize(static_cast<std::size_t>(width) * height * 4);
    std::uint8_t* out = rgba.data();
    for (int y = top; y < top + height; ++y) {
        const std::uint32_t* row = image.pixels() + static_cast<std::size_t>(y) * image.pixelWidth();
        for (int x = left; x < left + width; ++x, out += 4)
            writeRgba(row[x], true, out);
    }
}
