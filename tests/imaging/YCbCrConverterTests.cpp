#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "imaging/GfxFilter.h"
#include "imaging/GfxPicture.h"
#include "imaging/GfxYCbCrConverter.h"
#include "platform/media/PixelBuffer.h"

#include <cmath>

namespace {

using namespace imagingtest;

// BT.601 video range, as the movie is tagged.
double luma(const Rgba& c)
{
    return 16 + (65.481 * c[0] + 128.553 * c[1] + 24.966 * c[2]) / 255;
}

double blueChroma(const Rgba& c)
{
    return 128 + (-37.797 * c[0] - 74.203 * c[1] + 112.0 * c[2]) / 255;
}

double redChroma(const Rgba& c)
{
    return 128 + (112.0 * c[0] - 93.786 * c[1] - 18.214 * c[2]) / 255;
}

// A picture whose every pixel differs, 10 x 6 (a width that is not a multiple of four).
struct Gradient {
    static constexpr int width = 10;
    static constexpr int height = 6;
    static Rgba at(int x, int y) { return {x * 25, y * 40, 255 - x * 20, 255}; }
    std::shared_ptr<GfxPicture> picture()
    {
        std::vector<Rgba> colours;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                colours.push_back(at(x, y));
        return std::make_shared<GfxPicture>(imageFromColours(width, height, colours));
    }
};

std::shared_ptr<media::PixelBuffer> convert(GfxPicture& picture, int width, int height, RotationMode rotation)
{
    GfxContext::useImageProcessingContext();
    GfxYCbCrConverter converter(GfxContext::sharedImageProcessingContext(), width, height);
    auto pixels = media::PixelBuffer::create(width, height, media::PixelFormat::NV12VideoRange);
    converter.draw(*picture.framebufferForOutput(), rotation);
    converter.read(*pixels);
    return pixels;
}

TEST(YCbCrConverterTest, LumaPerPixelAndChromaPerTwoByTwoBlock)
{
    Gradient gradient;
    auto picture = gradient.picture();
    const auto pixels = convert(*picture, Gradient::width, Gradient::height, NoRotation);
    pixels->lockBaseAddress();
    for (int y = 0; y < Gradient::height; ++y)
        for (int x = 0; x < Gradient::width; ++x)
            EXPECT_NEAR(pixels->baseAddressOfPlane(0)[pixels->bytesPerRowOfPlane(0) * y + x],
                        luma(Gradient::at(x, y)), 1)
                << x << ", " << y;
    for (int y = 0; y < Gradient::height / 2; ++y) {
        for (int x = 0; x < Gradient::width / 2; ++x) {
            double cb = 0;
            double cr = 0;
            for (int k = 0; k < 4; ++k) {
                const Rgba c = Gradient::at(x * 2 + k % 2, y * 2 + k / 2);
                cb += blueChroma(c) / 4;
                cr += redChroma(c) / 4;
            }
            const std::uint8_t* pair = pixels->baseAddressOfPlane(1) + pixels->bytesPerRowOfPlane(1) * y + x * 2;
            EXPECT_NEAR(pair[0], cb, 1) << x << ", " << y;
            EXPECT_NEAR(pair[1], cr, 1) << x << ", " << y;
        }
    }
    pixels->unlockBaseAddress();
}

TEST(YCbCrConverterTest, RowsWithoutPaddingFillBothPlanes)
{
    // 128 bytes a row: neither plane is padded, so both come in one read.
    const Rgba colour{200, 60, 30, 255};
    const auto picture = std::make_shared<GfxPicture>(solidImage(4, 4, colour));
    const auto pixels = convert(*picture, 128, 6, NoRotation);
    pixels->lockBaseAddress();
    ASSERT_EQ(pixels->bytesPerRowOfPlane(0), 128u);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 128; ++x)
            EXPECT_NEAR(pixels->baseAddressOfPlane(0)[128 * y + x], luma(colour), 1) << x << ", " << y;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* pair = pixels->baseAddressOfPlane(1) + 128 * y + x * 2;
            EXPECT_NEAR(pair[0], blueChroma(colour), 1) << x << ", " << y;
            EXPECT_NEAR(pair[1], redChroma(colour), 1) << x << ", " << y;
        }
    }
    pixels->unlockBaseAddress();
}

TEST(YCbCrConverterTest, ATurnedInputIsSampledAsTheRotationSays)
{
    Gradient gradient;
    auto picture = gradient.picture();
    // Turned a quarter, the movie is 6 x 10.
    const int width = Gradient::height;
    const int height = Gradient::width;
    const auto pixels = convert(*picture, width, height, RotateRight);
    pixels->lockBaseAddress();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const ui::Point p = GfxFilter::rotatedPoint({(x + 0.5) / width, (y + 0.5) / height}, RotateRight);
            const Rgba c = Gradient::at(int(p.x * Gradient::width), int(p.y * Gradient::height));
            EXPECT_NEAR(pixels->baseAddressOfPlane(0)[pixels->bytesPerRowOfPlane(0) * y + x], luma(c), 1)
                << x << ", " << y;
        }
    }
    pixels->unlockBaseAddress();
}

}  // namespace
