#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/ui/Image.h"

namespace testsupport {

// The largest difference, in levels of 255, between the channels of two ARGB pixels.
int channelDifference(std::uint32_t a, std::uint32_t b);

// Success when both images have the same pixel size and no channel of any
// pixel differs by more than `tolerance` levels (of 255), but for at most
// `outliers` pixels. Qt's rasterizer shades a few antialiased edge pixels
// that a clip cuts a little differently (seen: 9 pixels, 4 levels), so a
// partial repaint compared with a full one needs some slack; a missing or
// stale shape differs in far more pixels.
::testing::AssertionResult samePixels(const ui::Image& actual, const ui::Image& expected, int tolerance = 0,
                                      int outliers = 0);

}  // namespace testsupport
