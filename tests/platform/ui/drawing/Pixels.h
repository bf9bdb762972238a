#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Image.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace drawingtest {

inline ::testing::AssertionResult sameColor(const ui::Color& actual, const ui::Color& expected, double tolerance = 0.03)
{
    const bool same = std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance
        && std::abs(actual.b - expected.b) <= tolerance && std::abs(actual.a - expected.a) <= tolerance;
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.r << ", " << actual.g << ", " << actual.b << ", "
                                         << actual.a << ") expected (" << expected.r << ", " << expected.g << ", "
                                         << expected.b << ", " << expected.a << ")";
}

inline bool isInk(const ui::Color& c) { return c.a > 0.5; }

// Keeps what a test rendered for a person to look at.
inline void keep(const ui::Image& image, const std::string& name)
{
    image.writePNG(testsupport::artifactsDir() / "ui-drawing" / (name + ".png"));
}

} // namespace drawingtest
