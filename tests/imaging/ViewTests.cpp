#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "imaging/GfxPicture.h"
#include "imaging/GfxView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Device.h"

namespace {

using namespace imagingtest;

class GfxViewTest : public ::testing::Test {
protected:
    void SetUp() override { ui::Device::current().setScale(1); }
    static void settle() { fnd::RunLoop::main().processEvents(); }
};

TEST_F(GfxViewTest, FillModesScaleTheQuad)
{
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 375, 667});
    view->setInputSize({1280, 720}, 0);
    settle();
    // Preserve aspect ratio: the 375 x 210.9 band in the middle.
    EXPECT_NEAR(view->imageVertices()[2], 1.0, 1e-4);
    EXPECT_NEAR(view->imageVertices()[5], 210.9375 / 667, 1e-4);

    view->setFillMode(FillModePreserveAspectRatioAndFill);
    settle();
    EXPECT_NEAR(view->imageVertices()[2], 667 / 210.9375, 1e-3);
    EXPECT_NEAR(view->imageVertices()[5], 1.0, 1e-4);

    view->setFillMode(FillModeStretch);
    settle();
    EXPECT_EQ(view->imageVertices()[2], 1.0f);
    EXPECT_EQ(view->imageVertices()[5], 1.0f);

    // With rotation 2 the input counts as 720 x 1280.
    view->setFillMode(FillModePreserveAspectRatio);
    view->setInputRotation(RotateRight, 0);
    view->setInputSize({1280, 720}, 0);
    settle();
    EXPECT_NEAR(view->imageVertices()[2], 1.0, 1e-4);
    EXPECT_NEAR(view->imageVertices()[5], 1.0, 0.01);
}

TEST_F(GfxViewTest, PresentsFramesUprightAndReleasesThem)
{
    std::vector<Rgba> colours(16 * 8, Rgba{0, 0, 255, 255});
    for (int x = 0; x < 16 * 4; ++x)
        colours[std::size_t(x)] = {255, 0, 0, 255};  // the top half red
    auto picture = std::make_shared<GfxPicture>(imageFromColours(16, 8, colours));
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 32, 16});
    view->setFillMode(FillModeStretch);
    settle();
    picture->addTarget(view);
    picture->processImage();
    const ui::Image shown = view->presentedImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelWidth(), 32);
    EXPECT_GT(shown.pixel(16, 2).r, 0.95);
    EXPECT_GT(shown.pixel(16, 13).b, 0.95);
}

TEST_F(GfxViewTest, AZeroSizedViewStillReleasesItsFrame)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    auto source = std::make_shared<TimedSource>(ui::Size{5, 3}, Rgba{9, 9, 9, 255});
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 0, 0});
    source->addTarget(view);
    const auto idle = cache.idleFramebufferCount();
    source->push(frameTime(1));
    EXPECT_EQ(cache.idleFramebufferCount(), idle + 1);
    EXPECT_TRUE(view->presentedImage().isNull());
}

}  // namespace
