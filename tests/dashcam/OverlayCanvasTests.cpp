#include <memory>

#include "DashcamTest.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/OverlayCanvas.h"
#include "imaging/GfxImageBytes.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"

namespace {

class OverlayCanvasTest : public DashcamTest {
protected:
    // The overlay view as the camera screen makes it: upright first, then turned to landscape.
    void SetUp() override
    {
        DashcamTest::SetUp();
        ui::Device::current().setScreenSize({375, 667});  // no home indicator
        overlay = std::make_shared<ui::View>(ui::makeRect(0, 0, 375, 667));
        overlay->setBackgroundColor(ui::Color::clear());
        canvas = std::make_unique<OverlayCanvas>(overlay);
        overlay->setFrame(ui::makeRect(0, 0, 1.778 * 375, 390));
    }

    static ui::Image solid(ui::Color color, double side)
    {
        ui::BitmapContext context({side, side});
        context.setFillColor(color);
        context.fillRect(ui::makeRect(0, 0, side, side));
        return context.makeImage();
    }

    static int opaquePixels(const ui::Image& image, const ui::Rect& r)
    {
        int count = 0;
        for (int y = static_cast<int>(r.y()); y < static_cast<int>(r.maxY()) && y < image.pixelHeight(); ++y)
            for (int x = static_cast<int>(r.x()); x < static_cast<int>(r.maxX()); ++x)
                count += image.pixel(x, y).a > 0.3 ? 1 : 0;
        return count;
    }

    // Pixels lighter than the g-force face (white 0.3): texts painted over it.
    static int lightPixels(const ui::Image& image, const ui::Rect& r)
    {
        int count = 0;
        for (int y = static_cast<int>(r.y()); y < static_cast<int>(r.maxY()) && y < image.pixelHeight(); ++y)
            for (int x = static_cast<int>(r.x()); x < static_cast<int>(r.maxX()); ++x)
                count += image.pixel(x, y).r > 0.5 ? 1 : 0;
        return count;
    }

    static ui::Color centreOf(const ui::Image& image, const ui::Rect& r)
    {
        return image.pixel(static_cast<int>(r.midX()), static_cast<int>(r.midY()));
    }

    std::shared_ptr<ui::View> overlay;
    std::unique_ptr<OverlayCanvas> canvas;
};

TEST_F(OverlayCanvasTest, GeometryFromTheUprightView)
{
    EXPECT_FLOAT_EQ(canvas->layerWidth(), 375);
    EXPECT_FLOAT_EQ(canvas->gaugeWidth(), static_cast<float>(375 / 2.81));
    EXPECT_EQ(canvas->imageOffset(), 0);
    EXPECT_NEAR(canvas->slotRect(0).maxX(), 667, 1e-9);

    ui::Device::current().setScreenSize({375, 812});
    ASSERT_GT(ui::Device::current().safeAreaInsets().bottom, 0);
    auto notched = std::make_shared<ui::View>(ui::makeRect(0, 0, 375, 812));
    EXPECT_EQ(OverlayCanvas(notched).imageOffset(), 145);
}

TEST_F(OverlayCanvasTest, StripNeedlesTextsAndGforceFigures)
{
    const double g = canvas->gaugeWidth();
    CamGaugeView tile;
    tile.setFrame(ui::makeRect(0, 0, g, g));
    canvas->bgImage = tile.attachBGImages({solid(ui::Color::red(), g), solid(ui::Color::green(), g),
                                           solid(ui::Color::blue(), g), solid(ui::Color::white(0.3), g)});
    canvas->needleImageArray = {ui::Image(), ui::Image(), ui::Image()};
    canvas->valArray = {"1.2", "88", "3"};
    canvas->gForceEnabled = true;
    canvas->gForcePoint = {0.04, -1.26};
    auto clock = std::make_shared<ui::Label>(ui::makeRect(450, 0, 150, 20));
    clock->setText("2026 12 07-15:04 PM");
    clock->setTextColor(ui::Color::white());
    overlay->addSubview(clock);

    const ui::Image frame = canvas->paint(1);
    ASSERT_GE(frame.pixelWidth(), static_cast<int>(1.778 * 375));
    EXPECT_DOUBLE_EQ(frame.pixel(20, 200).a, 0);  // nothing painted: the picture shows through
    const ui::Color first = centreOf(frame, canvas->slotRect(0));
    EXPECT_GT(first.r, 0.9);
    EXPECT_LT(first.g, 0.1);
    EXPECT_GT(centreOf(frame, canvas->slotRect(1)).g, 0.9);
    EXPECT_GT(centreOf(frame, canvas->slotRect(2)).b, 0.9);
    EXPECT_GT(opaquePixels(frame, ui::makeRect(450, 0, 150, 20)), 20);  // the overlay view's own texts
    frame.writePNG(testsupport::artifactsDir() / "dashcam-overlay.png");

    // The figures sit in the slot left of the last tile, over the g-force face.
    const ui::Rect figures = canvas->slotRect(3);
    const ui::Image blank = [&] {
        canvas->gForceEnabled = false;
        return canvas->paint(1);
    }();
    EXPECT_GT(lightPixels(frame, figures), 20);
    EXPECT_EQ(lightPixels(blank, figures), 0);
}

TEST_F(OverlayCanvasTest, FullRateModePaintsTextsOnlyAndShortListsAreSafe)
{
    canvas->needleImageArray = {solid(ui::Color::red(), 20), solid(ui::Color::red(), 20)};
    canvas->valArray = {"1"};
    canvas->is30Framerate = true;
    const ui::Image texts = canvas->paint(1);
    EXPECT_EQ(opaquePixels(texts, canvas->slotRect(1)), 0);
    canvas->is30Framerate = false;
    const ui::Image needles = canvas->paint(1);
    EXPECT_GT(opaquePixels(needles, canvas->slotRect(1)), 100);
}

TEST_F(OverlayCanvasTest, TranslucentPixelsAreUploadedWithStraightAlpha)
{
    auto panel = std::make_shared<ui::View>(ui::makeRect(0, 0, 50, 20));
    panel->setBackgroundColor(ui::Color::white(1, 0.5));
    overlay->addSubview(panel);
    const ui::Image frame = canvas->paint(1);
    const auto bytes = rgbaBytesOfImage(frame, frame.pixelWidth(), frame.pixelHeight(), true);
    const std::size_t inside = (10 * static_cast<std::size_t>(frame.pixelWidth()) + 10) * 4;
    EXPECT_EQ(bytes[inside + 0], 255);
    EXPECT_EQ(bytes[inside + 1], 255);
    EXPECT_EQ(bytes[inside + 2], 255);
    EXPECT_NEAR(bytes[inside + 3], 128, 1);
    const std::size_t outside = (200 * static_cast<std::size_t>(frame.pixelWidth()) + 10) * 4;
    EXPECT_EQ(bytes[outside + 3], 0);
}

}  // namespace
