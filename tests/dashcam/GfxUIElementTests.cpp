#include <memory>

#include "../imaging/ImagingTestSupport.h"
#include "DashcamTest.h"
#include "dashcam/GfxUIElement.h"
#include "imaging/GfxAlphaBlendFilter.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace {

using namespace imagingtest;

class GfxUIElementTest : public DashcamTest {
protected:
    void SetUp() override
    {
        DashcamTest::SetUp();
        GfxContext::sharedFramebufferCache().resetCounters();
        ui::Device::current().setScreenSize({180, 320});
        overlay = std::make_shared<ui::View>(ui::makeRect(0, 0, 180, 320));
        element = std::make_shared<GfxUIElement>(overlay);
        overlay->setFrame(ui::makeRect(0, 0, 320, 180));
    }
    void TearDown() override { EXPECT_EQ(GfxContext::sharedFramebufferCache().unbalancedUnlocks(), 0u); }

    std::shared_ptr<ui::View> overlay;
    std::shared_ptr<GfxUIElement> element;
};

TEST_F(GfxUIElementTest, TheOverlayIsLaidOverThePicture)
{
    // A red tile face in slot 0 and a half-transparent white panel at the top left.
    const double g = element->canvas().gaugeWidth();
    element->canvas().bgImage = solidImage(static_cast<int>(g), static_cast<int>(g), {255, 0, 0, 255});
    auto panel = std::make_shared<ui::View>(ui::makeRect(0, 0, 40, 20));
    panel->setBackgroundColor(ui::Color::white(1, 0.5));
    overlay->addSubview(panel);

    auto camera = std::make_shared<TimedSource>(ui::Size{320, 180}, Rgba{0, 0, 255, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->setMix(1.0);
    blend->addTarget(target);
    camera->addTarget(blend);
    element->addTarget(blend);
    EXPECT_DOUBLE_EQ(element->layerSizeInPixels().width, 320);

    for (int frame = 1; frame <= 3; ++frame) {
        element->update();
        camera->push(frameTime(frame));
    }
    ASSERT_EQ(target->frames.size(), 3u);
    const auto& composite = target->frames.back();
    const auto at = [&](double x, double y) { return composite.at(static_cast<int>(x), static_cast<int>(y)); };
    const ui::Rect slot = element->canvas().slotRect(0);
    const Rgba tile = at(slot.midX(), slot.midY());
    EXPECT_GT(tile[0], 240);
    EXPECT_LT(tile[2], 15);
    const Rgba clear = at(160, 60);
    EXPECT_LT(clear[0], 15);
    EXPECT_GT(clear[2], 240);
    // Half white over blue: about (128, 128, 255). Premultiplied, it came out at about (64, 64, 191).
    const Rgba translucent = at(10, 10);
    EXPECT_NEAR(translucent[0], 128, 6);
    EXPECT_NEAR(translucent[2], 255, 6);

    // One composite frame for the eye.
    std::vector<Rgba> colours;
    for (int y = 0; y < composite.height; ++y)
        for (int x = 0; x < composite.width; ++x)
            colours.push_back(at(x, y));
    imageFromColours(composite.width, composite.height, colours)
        .writePNG(testsupport::artifactsDir() / "dashcam-composite.png");
}

// A panel that counts how often the overlay paints it.
class CountingView : public ui::View {
public:
    using ui::View::View;
    int draws = 0;
    void draw(ui::Context& context, ui::Rect dirty) override
    {
        ++draws;
        ui::View::draw(context, dirty);
    }
};

// The overlay laid over a black picture, as the blend hands it on.
std::vector<std::uint8_t> composite(GfxUIElement& element)
{
    auto camera = std::make_shared<TimedSource>(ui::Size{320, 180}, Rgba{0, 0, 0, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->setMix(1.0);
    blend->addTarget(target);
    camera->addTarget(blend);
    element.addTarget(blend);
    element.update();
    camera->push(frameTime(1));
    element.removeAllTargets();
    return target->frames.empty() ? std::vector<std::uint8_t>{} : target->frames.back().pixels;
}

TEST_F(GfxUIElementTest, AfterChangesTheTextureHoldsWhatAFreshPaintWould)
{
    // A corner box on the ragged last tiles (320 x 180 is not a whole number of tiles) and a label mid-way.
    auto corner = std::make_shared<ui::View>(ui::makeRect(300, 170, 20, 10));
    corner->setBackgroundColor(ui::Color::red());
    auto label = std::make_shared<ui::Label>(ui::makeRect(100, 70, 120, 30));
    label->setTextColor(ui::Color::white());
    label->setText("88 km/h");
    overlay->addSubview(corner);
    overlay->addSubview(label);
    const auto first = composite(*element);

    corner->setBackgroundColor(ui::Color::green());
    label->setText("89 km/h");
    const auto changed = composite(*element);
    EXPECT_NE(changed, first);

    GfxUIElement fresh(overlay);
    EXPECT_EQ(changed, composite(fresh));
    EXPECT_EQ(composite(*element), changed) << "an unchanged frame keeps the texture as it is";
}

TEST_F(GfxUIElementTest, RendersWithoutATarget)
{
    // A target that was taken off again must hear of no frame.
    auto panel = std::make_shared<CountingView>(ui::makeRect(0, 0, 40, 20));
    overlay->addSubview(panel);
    auto removed = std::make_shared<RecordingTarget>();
    element->addTarget(removed);
    element->removeAllTargets();
    const int receivedBefore = removed->framebuffersReceived;
    // Idle framebuffers left by earlier tests would hide whether this one is handed back.
    auto& cache = GfxContext::sharedFramebufferCache();
    cache.purgeAllUnassignedFramebuffers();

    element->update();
    element->update();

    EXPECT_EQ(panel->draws, 2);
    // The element keeps one texture between frames (only changed tiles are uploaded again): the second render
    // reused the first's, and it goes back to the cache with the element.
    EXPECT_EQ(cache.framebuffersCreated(), 1u);
    EXPECT_EQ(cache.idleFramebufferCount(), 0u);
    EXPECT_EQ(element->framebufferForOutput(), nullptr);
    EXPECT_EQ(removed->framebuffersReceived, receivedBefore);
    EXPECT_TRUE(removed->frames.empty());
    element.reset();
    EXPECT_EQ(cache.idleFramebufferCount(), 1u);
    EXPECT_EQ(cache.doubleReturns(), 0u);
}

}  // namespace
