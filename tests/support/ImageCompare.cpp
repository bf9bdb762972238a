#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace testsupport {

int channelDifference(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
    return worst;
}

::testing::AssertionResult samePixels(const ui::Image& actual, const ui::Image& expected, int tolerance, int outliers)
{
    if (actual.pixelWidth() != expected.pixelWidth() || actual.pixelHeight() != expected.pixelHeight())
        return ::testing::AssertionFailure() << "sizes differ: " << actual.pixelWidth() << "x" << actual.pixelHeight()
                                             << " against " << expected.pixelWidth() << "x" << expected.pixelHeight();
    const std::uint32_t* got = actual.pixels();
    const std::uint32_t* wanted = expected.pixels();
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < actual.pixelHeight(); ++y) {
        for (int x = 0; x < actual.pixelWidth(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(actual.pixelWidth())
                + static_cast<std::size_t>(x);
            if (channelDifference(got[i], wanted[i]) > tolerance && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing <= outliers)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, the first at (" << firstX << ", " << firstY
                                         << ")";
}

}  // namespace testsupport
