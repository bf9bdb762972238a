#include <cmath>

#include "core/model/RaceTest.h"
#include "performance/GforceView.h"
#include "performance/GradientPolylineRenderer.h"
#include "performance/RaceGaugeView.h"
#include "performance/TrackView.h"
#include "platform/ui/Context.h"

namespace {

using RaceViewsTest = RaceTest;

void draw(ui::View& view)
{
    ui::BitmapContext context(view.bounds().size);
    view.draw(context, view.bounds());
}

TEST_F(RaceViewsTest, RaceGaugeLightsSegmentsInProportion)
{
    RaceGaugeView gauge({0, 0, 300, 300}, 0);
    gauge.startTimer();
    EXPECT_EQ(gauge.maxSpeed(), 255);
    gauge.setSpeed(127.5f);
    gauge.setRpm(4500);
    advance(0.5);
    draw(gauge);
    EXPECT_EQ(gauge.litSpeedSegments(), 68);
    EXPECT_EQ(gauge.litRpmSegments(), 45);
    EXPECT_EQ(gauge.rpmLabel().text(), "4.5");
    gauge.setSpeed(400);
    gauge.setRpm(-100);
    advance(1.5);
    draw(gauge);
    EXPECT_EQ(gauge.litSpeedSegments(), RaceGaugeView::speedSegments);
    EXPECT_EQ(gauge.litRpmSegments(), 0);
}

// A repaint of damage and a full repaint at the same moment must show the same gauge mid-glide.
TEST_F(RaceViewsTest, RaceGaugePaintsAlikeTwiceAtOneMoment)
{
    RaceGaugeView gauge({0, 0, 300, 300}, 0);
    gauge.startTimer();
    gauge.setSpeed(20);
    advance(1);
    gauge.setSpeed(200);
    advance(0.1);
    draw(gauge);
    const int lit = gauge.litSpeedSegments();
    const std::string shown = gauge.speedLabel().text();
    draw(gauge);
    EXPECT_EQ(gauge.litSpeedSegments(), lit);
    EXPECT_EQ(gauge.speedLabel().text(), shown);
    EXPECT_LT(lit, RaceGaugeView::speedSegments * 200 / 255);
}

TEST_F(RaceViewsTest, RaceGaugeShiftLightActsOnChangesOnly)
{
    RaceGaugeView gauge({0, 0, 300, 300}, 0);
    gauge.setShiftLightColor(1);
    gauge.setShiftLight(false);
    EXPECT_EQ(gauge.backgroundColor(), ui::Color::black());
    gauge.setShiftLight(true);
    EXPECT_EQ(gauge.backgroundColor(), ui::Color::orange());
    EXPECT_EQ(gauge.speedLabel().textColor(), ui::Color::black());
    gauge.setShiftLight(false);
    EXPECT_EQ(gauge.backgroundColor(), ui::Color::black());
    EXPECT_EQ(gauge.speedLabel().textColor(), ui::Color::rgb255(51, 181, 225));
    EXPECT_EQ(RaceGaugeView::darkerColorForColor(ui::Color::rgb(0.2, 0.5, 1.0, 0.4)), ui::Color::rgb(0, 0.2, 0.7, 0.4));
}

TEST_F(RaceViewsTest, GforcePlotMovesTheDotAndKeepsATrail)
{
    GforceView plot({0, 0, 300, 300}, 0, false);
    plot.updateData(0.5f, -0.3f);
    EXPECT_FLOAT_EQ(plot.x(), -0.5f);
    EXPECT_FLOAT_EQ(plot.y(), 0.3f);
    plot.updateDisplay();
    EXPECT_NEAR(plot.dotPosition().x, 100, 1e-9);
    EXPECT_NEAR(plot.dotPosition().y, 180, 1e-4);
    EXPECT_EQ(plot.xLabel().text(), "-0.5");
    EXPECT_EQ(plot.yLabel().text(), "0.3");
    EXPECT_NEAR(plot.extremePosition().y, 180, 1e-4);
    for (int i = 0; i < 40; ++i)
        plot.updateDisplay();
    EXPECT_EQ(plot.trailSize(), GforceView::trailLength);
    plot.updateData(0, 0);
    EXPECT_EQ(plot.x(), 0);
    EXPECT_FALSE(std::signbit(plot.x()));

    GforceView wide({0, 0, 300, 200}, 0, false);
    EXPECT_EQ(wide.length(), 180);
    GforceView overlay({0, 0, 300, 200}, 0, true);
    draw(overlay);
    EXPECT_EQ(overlay.length(), 200);
    // The dash camera's overlay moves the dot at once.
    overlay.updateData(0.3f, 0);
    EXPECT_NEAR(overlay.dotPosition().x, 150 - 30, 1e-4);
    EXPECT_EQ(overlay.trailSize(), 0u);
}

TEST_F(RaceViewsTest, GforceHiddenContentStaysEmpty)
{
    GforceView plot({0, 0, 100, 100}, 0, true);
    plot.setBackgroundColor(ui::Color::clear());
    plot.hideContent();
    plot.adjustView();
    const ui::Image image = plot.takeScreenShot();
    EXPECT_EQ(image.size(), (ui::Size{100, 100}));
}

TEST_F(RaceViewsTest, TrackViewMapsAndTicksAcrossTheDirectionOfTravel)
{
    TrackView track({0, 0, 160, 160}, 0);
    EXPECT_TRUE(track.isDotHidden());
    // Driving east from the start: the tick runs north-south.
    track.setCoordinatesArr({at(0, 0), at(0, 100), at(100, 100), at(100, 0)});
    EXPECT_TRUE(track.isDotHidden()) << "no dot before a position comes";
    track.setCurrentLocation(at(100, 100));
    EXPECT_FALSE(track.isDotHidden());
    EXPECT_NEAR(track.dotPosition().x, 10, 0.5);
    const auto tick = track.startTick({160, 160});
    ASSERT_TRUE(tick);
    EXPECT_NEAR(tick->first.y, tick->second.y, 1e-6);  // the path runs along y on screen (longitude)
    EXPECT_NEAR(std::abs(tick->first.x - tick->second.x), 140, 0.5);
    // Higher latitudes lie to the left, higher longitudes to the top; 1/16 margins.
    EXPECT_NEAR(track.map(at(100, 100).coordinate, {160, 160}).x, 10, 0.5);
    EXPECT_NEAR(track.map(at(0, 0).coordinate, {160, 160}).y, 150, 0.5);

    // A different track gets its own box (in one widened from the old it would start at x 50), each axis
    // stretched to the area.
    track.setCoordinatesArr({at(500, 500), at(500, 800), at(700, 800)});
    EXPECT_NEAR(track.map(at(500, 500).coordinate, {160, 80}).x, 150, 1);
    EXPECT_NEAR(track.map(at(500, 500).coordinate, {160, 80}).y, 75, 1);
}

TEST_F(RaceViewsTest, TrackViewDrawsNothingBelowTwoPointsOrOnAFlatBox)
{
    TrackView track({0, 0, 100, 100}, 0);
    draw(track);
    track.setCoordinatesArr({at(0, 0)});
    draw(track);
    EXPECT_FALSE(track.startTick({100, 100}));
    // A lap running due east has no latitude extent: it lies on the middle line.
    track.setCoordinatesArr({at(0, 0), at(0, 50), at(0, 100)});
    EXPECT_NEAR(track.map(at(0, 50).coordinate, {100, 100}).x, 50, 1e-9);
    draw(track);
    track.setCurrentLocation(at(0, 50));
}

TEST_F(RaceViewsTest, TrackViewHuesFollowTheSpeedUnit)
{
    TrackView track({0, 0, 100, 100}, 0);
    track.setCoordinatesArr({at(0, 0), at(0, 50), at(50, 50), at(60, 0)});
    track.setDataArr({0, 127.5f, 255, 300});
    track.setLapNumber(3);
    track.setDataEnabled(true);
    ASSERT_EQ(track.hues().size(), 4u);
    EXPECT_FLOAT_EQ(track.hues()[0], 0.03f);
    EXPECT_FLOAT_EQ(track.hues()[1], 0.165f);
    EXPECT_FLOAT_EQ(track.hues()[2], 0.30f);
    EXPECT_FLOAT_EQ(track.hues()[3], 0.30f);
    EXPECT_TRUE(track.isDotHidden());
    draw(track);

    TrackView imperial({0, 0, 100, 100}, 1);
    imperial.setUnits(false);
    imperial.setCoordinatesArr({at(0, 0), at(0, 50)});
    imperial.setDataArr({160, 80});
    imperial.setDataEnabled(true);
    EXPECT_FLOAT_EQ(imperial.hues()[0], 0.30f);
    EXPECT_FLOAT_EQ(imperial.hues()[1], 0.165f);
    EXPECT_EQ(imperial.unitLabel().text(), "mph");
}

TEST_F(RaceViewsTest, TrackViewSpeedReadoutGlides)
{
    TrackView track({0, 0, 100, 100}, 0);
    track.updateSpeed(100);
    advance(1);
    EXPECT_EQ(track.speedLabel().text(), "100");
    track.updateSpeed(40);
    advance(0.1);
    const int between = std::stoi(track.speedLabel().text());
    EXPECT_GT(between, 40);
    EXPECT_LT(between, 100);
    advance(2);
    EXPECT_EQ(track.speedLabel().text(), "40");
    track.stopTimer();
    EXPECT_FALSE(track.isTimerRunning());
}

TEST_F(RaceViewsTest, TrackPreviewMakesAnImage)
{
    TrackView track({0, 0, 120, 80}, 0);
    track.setCoordinatesArr({at(0, 0), at(0, 100), at(100, 100)});
    track.setPreviewMode();
    track.renderPreview();
    ASSERT_FALSE(track.trackImageData().empty());
    const std::string png(track.trackImageData().begin(), track.trackImageData().end());
    EXPECT_TRUE(ui::Image::fromData(png));
}

TEST_F(RaceViewsTest, RouteRendererColoursBySpeedAndDrawsAnEastWestLap)
{
    auto route = std::make_shared<GradientPolylineOverlay>(
        std::vector<geo::Coordinate>{at(0, 0).coordinate, at(0, 200).coordinate, at(0, 400).coordinate},
        std::vector<float>{0, 255});
    ASSERT_EQ(route->mpg().size(), 3u);  // a missing value reads 0
    GradientPolylineRenderer renderer(route);
    renderer.setLineWidth(8);
    EXPECT_FLOAT_EQ(renderer.hues()[0], 0.03f);
    EXPECT_FLOAT_EQ(renderer.hues()[1], 0.30f);
    EXPECT_EQ(GradientPolylineRenderer::speedToHue({300}, 0, 255)[0], 0.30f);

    // The route lies on one latitude: its box has no height, yet it is drawn.
    const map::MapPoint first = route->points().front();
    const map::MapPoint last = route->points().back();
    const map::MapRect tile{{first.x - 100, first.y - 100}, {last.x - first.x + 200, 200}};
    const ui::Rect area = renderer.rectForMapRect(tile);
    ui::BitmapContext bitmap({64, 64});
    ui::Context& context = bitmap;
    context.scale(64 / area.size.width, 64 / area.size.height);
    context.translate(-area.origin.x, -area.origin.y);
    renderer.drawMapRect(tile, 1, context);
    const ui::Image picture = bitmap.makeImage();
    EXPECT_GT(picture.pixel(32, 32).a, 0.5);
    EXPECT_TRUE(route->boundingMapRect().contains(first));

    auto empty = std::make_shared<GradientPolylineOverlay>(std::vector<geo::Coordinate>{}, std::vector<float>{});
    GradientPolylineRenderer nothing(empty);
    nothing.drawMapRect(map::mapRectWorld, 1, context);
    EXPECT_EQ(empty->pointCount(), 0u);
}

TEST_F(RaceViewsTest, RouteOverlayAddsOnlyDistantPoints)
{
    GradientPolylineOverlay route({at(0, 0).coordinate}, {10});
    EXPECT_TRUE(route.addCoordinate(at(0, 5).coordinate).isNull());
    EXPECT_EQ(route.pointCount(), 1u);
    EXPECT_FALSE(route.addCoordinate(at(0, 20).coordinate).isNull());
    EXPECT_EQ(route.pointCount(), 2u);
}

}  // namespace
