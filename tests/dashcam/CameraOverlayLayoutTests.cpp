#include <gtest/gtest.h>

#include "dashcam/CameraOverlayLayout.h"
#include "dashcam/CameraScreenGeometry.h"

namespace {

// A landscape phone with a home indicator: the overlay ends short of the screen's long side.
const CameraOverlayLayout phone(390, 844, true);

TEST(CameraOverlayLayout, TheTilesLieSideBySideAlongTheBottomFromTheOverlaysEnd)
{
    const double end = camerascreen::overlayEnd(390, 844, true);
    EXPECT_LT(end, 844);
    EXPECT_DOUBLE_EQ(phone.tile(1).maxX(), end);
    for (int n = 1; n <= 5; ++n) {
        const ui::Rect tile = phone.tile(n);
        EXPECT_DOUBLE_EQ(tile.width(), tile.height());
        EXPECT_DOUBLE_EQ(tile.maxY(), 390);
        EXPECT_NEAR(phone.tile(n + 1).maxX(), tile.x(), 1e-9);
    }
    EXPECT_GE(phone.tile(5).x(), 0);
    EXPECT_DOUBLE_EQ(phone.overlay().height(), 390);
    EXPECT_GE(phone.overlay().maxX(), end - 1);
}

TEST(CameraOverlayLayout, ThePanelsShadeSpansTheLinesShownAtTheTopRight)
{
    const ui::Rect coordinates = phone.coordinates();
    const ui::Rect clock = phone.clock(true);
    const ui::Rect both = phone.panel(true, true);
    EXPECT_DOUBLE_EQ(both.y(), 0);
    EXPECT_DOUBLE_EQ(both.maxX(), phone.tile(1).maxX());
    EXPECT_LE(both.x(), coordinates.x());
    EXPECT_LE(both.x(), clock.x());
    EXPECT_GT(clock.y(), coordinates.y());
    EXPECT_GT(both.maxY(), clock.midY());

    // The clock alone takes the top line, on a narrower and lower shade.
    const ui::Rect clockAlone = phone.panel(false, true);
    EXPECT_DOUBLE_EQ(phone.clock(false).y(), 0);
    EXPECT_DOUBLE_EQ(clockAlone.x(), phone.clock(false).x());
    EXPECT_LT(clockAlone.height(), both.height());
    EXPECT_LT(phone.panel(true, false).height(), both.height());
}

TEST(CameraOverlayLayout, TheCompassStripIsCentredOverTheTileRow)
{
    const ui::Rect compass = phone.compass();
    EXPECT_DOUBLE_EQ(compass.midX(), phone.tile(1).maxX() / 2);
    EXPECT_LT(compass.maxY(), phone.tile(1).y());
    EXPECT_LT(compass.maxX(), phone.panel(true, true).x());
}

}  // namespace
