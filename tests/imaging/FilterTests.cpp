#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "imaging/GfxAlphaBlendFilter.h"
#include "imaging/GfxBrightnessFilter.h"
#include "imaging/GfxFilter.h"
#include "imaging/GfxPicture.h"

namespace {

using namespace imagingtest;

void expectNear(const Rgba& actual, const Rgba& expected, int tolerance = 2)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "channel " << i;
}

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override { GfxContext::sharedFramebufferCache().resetCounters(); }
    void TearDown() override { EXPECT_EQ(GfxContext::sharedFramebufferCache().unbalancedUnlocks(), 0u); }
};

TEST_F(FilterTest, BrightnessZeroIsIdentityAndHalfClamps)
{
    struct Case {
        double brightness;
        Rgba in;
        Rgba out;
    };
    const Case cases[] = {
        {0.0, {10, 128, 250, 255}, {10, 128, 250, 255}},
        {0.0, {200, 30, 0, 255}, {200, 30, 0, 255}},
        {0.5, {10, 128, 250, 255}, {138, 255, 255, 255}},
        {0.5, {0, 0, 0, 255}, {128, 128, 128, 255}},
    };
    for (const auto& c : cases) {
        auto picture = std::make_shared<GfxPicture>(solidImage(4, 4, c.in));
        auto filter = std::make_shared<GfxBrightnessFilter>();
        auto target = std::make_shared<RecordingTarget>();
        filter->setBrightness(c.brightness);
        filter->addTarget(target);
        picture->addTarget(filter);
        picture->processImage();
        ASSERT_EQ(target->frames.size(), 1u);
        EXPECT_TRUE(target->frames[0].time.isIndefinite());
        expectNear(target->frames[0].at(2, 2), c.out);
    }
}

TEST_F(FilterTest, BrightnessZeroHandsItsInputOnWithoutDrawingAndOtherValuesStillDraw)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    cache.purgeAllUnassignedFramebuffers();
    auto camera = std::make_shared<TimedSource>(ui::Size{8, 4}, Rgba{10, 128, 250, 255});
    auto filter = std::make_shared<GfxBrightnessFilter>();
    auto target = std::make_shared<RecordingTarget>();
    filter->addTarget(target);
    camera->addTarget(filter);

    cache.resetCounters();
    camera->push(frameTime(1));
    camera->push(frameTime(2));
    EXPECT_EQ(cache.framebuffersCreated(), 1u) << "only the source's framebuffer, reused";
    filter->setBrightness(0.5);
    camera->push(frameTime(3));
    filter->setBrightness(0.0);
    filter->setInputRotation(RotateLeft, 0);
    camera->push(frameTime(4));

    ASSERT_EQ(target->frames.size(), 4u);
    expectNear(target->frames[1].at(2, 2), {10, 128, 250, 255}, 0);
    expectNear(target->frames[2].at(2, 2), {138, 255, 255, 255});
    EXPECT_EQ(target->frames[3].width, 4) << "a turned frame is drawn";
    expectNear(target->frames[3].at(2, 2), {10, 128, 250, 255}, 0);
    EXPECT_EQ(cache.framebuffersCreated() - cache.idleFramebufferCount(), 0u);
}

TEST_F(FilterTest, EveryRotationSamplesTheTextureAsTheModeSays)
{
    // Eight distinct colours in a 4 x 2 image.
    std::vector<Rgba> colours;
    for (int i = 0; i < 8; ++i)
        colours.push_back({i * 30, 255 - i * 30, (i * 70) % 256, 255});
    auto picture = std::make_shared<GfxPicture>(imageFromColours(4, 2, colours));
    for (unsigned mode = 0; mode < 8; ++mode) {
        auto filter = std::make_shared<GfxFilter>();
        auto target = std::make_shared<RecordingTarget>();
        filter->addTarget(target);
        picture->addTarget(filter);
        filter->setInputRotation(RotationMode(mode), 0);
        picture->processImage();
        picture->removeAllTargets();
        ASSERT_EQ(target->frames.size(), 1u);
        const auto& frame = target->frames[0];
        const bool swaps = mode == 1 || mode == 2 || mode == 5 || mode == 6;
        ASSERT_EQ(frame.width, swaps ? 2 : 4) << mode;
        ASSERT_EQ(frame.height, swaps ? 4 : 2) << mode;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const ui::Point p = GfxFilter::rotatedPoint(
                    {(x + 0.5) / frame.width, (y + 0.5) / frame.height}, RotationMode(mode));
                const int sx = int(p.x * 4), sy = int(p.y * 2);
                expectNear(frame.at(x, y), colours[std::size_t(sy * 4 + sx)], 1);
            }
        }
    }
}

TEST_F(FilterTest, ANodeDrawingAtItsInputsSizeLeavesTheInputSmoothForTheNext)
{
    // Black and white side by side: drawn twice as wide, the middle pixels are grey.
    auto picture = std::make_shared<GfxPicture>(imageFromColours(2, 1, {{0, 0, 0, 255}, {255, 255, 255, 255}}));
    auto same = std::make_shared<GfxFilter>();
    auto wider = std::make_shared<GfxFilter>();
    wider->forceProcessingAtSize({4, 1});
    auto sameTarget = std::make_shared<RecordingTarget>();
    auto widerTarget = std::make_shared<RecordingTarget>();
    same->addTarget(sameTarget);
    wider->addTarget(widerTarget);
    picture->addTarget(same);
    picture->addTarget(wider);
    picture->processImage();

    ASSERT_EQ(sameTarget->frames.size(), 1u);
    expectNear(sameTarget->frames[0].at(0, 0), {0, 0, 0, 255}, 0);
    expectNear(sameTarget->frames[0].at(1, 0), {255, 255, 255, 255}, 0);
    ASSERT_EQ(widerTarget->frames.size(), 1u);
    ASSERT_EQ(widerTarget->frames[0].width, 4);
    expectNear(widerTarget->frames[0].at(1, 0), {64, 64, 64, 255}, 3);
    expectNear(widerTarget->frames[0].at(2, 0), {191, 191, 191, 255}, 3);
}

TEST_F(FilterTest, AlphaBlendMixesByTheOverlayAlphaAndKeepsTheBaseAlpha)
{
    struct Case {
        double mix;
        Rgba overlay;
        Rgba out;
    };
    const Rgba base{200, 100, 0, 255};
    const Case cases[] = {
        {1.0, {0, 0, 255, 0}, {200, 100, 0, 255}},
        {1.0, {0, 0, 255, 255}, {0, 0, 255, 255}},
        {1.0, {0, 200, 255, 128}, {100, 150, 128, 255}},
        {0.0, {0, 0, 255, 255}, {200, 100, 0, 255}},
    };
    for (const auto& c : cases) {
        auto camera = std::make_shared<TimedSource>(ui::Size{8, 8}, base);
        auto overlay = std::make_shared<GfxPicture>(solidImage(8, 8, c.overlay), false, true);
        auto blend = std::make_shared<GfxAlphaBlendFilter>();
        auto target = std::make_shared<RecordingTarget>();
        blend->setMix(c.mix);
        blend->addTarget(target);
        camera->addTarget(blend);
        overlay->addTarget(blend);
        overlay->processImage();
        camera->push(frameTime(1));
        ASSERT_EQ(target->frames.size(), 1u);
        expectNear(target->frames[0].at(4, 4), c.out);
        EXPECT_EQ(target->frames[0].time, frameTime(1));
    }
}

TEST_F(FilterTest, MissingSecondInputDrawsTransparent)
{
    auto camera = std::make_shared<TimedSource>(ui::Size{8, 8}, Rgba{50, 60, 70, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->setMix(1.0);
    blend->disableSecondFrameCheck();
    blend->addTarget(target);
    camera->addTarget(blend);
    camera->push(frameTime(1));
    ASSERT_EQ(target->frames.size(), 1u);
    expectNear(target->frames[0].at(1, 1), {50, 60, 70, 255});
}

TEST_F(FilterTest, FramesArePairedByTime)
{
    auto camera = std::make_shared<TimedSource>(ui::Size{8, 8}, Rgba{0, 0, 0, 255});
    auto overlay = std::make_shared<TimedSource>(ui::Size{8, 8}, Rgba{255, 255, 255, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->addTarget(target);
    camera->addTarget(blend);
    overlay->addTarget(blend);

    overlay->push(frameTime(1));
    overlay->push(frameTime(2));
    EXPECT_TRUE(target->frames.empty());
    camera->push(frameTime(3));
    ASSERT_EQ(target->frames.size(), 1u);
    EXPECT_EQ(target->frames[0].time, frameTime(3));
    // Without a new overlay frame the camera frame waits for one.
    camera->push(frameTime(4));
    EXPECT_EQ(target->frames.size(), 1u);
    overlay->push(frameTime(5));
    EXPECT_EQ(target->frames.size(), 2u);

    // An overlay with an indefinite time pairs every camera frame at once.
    auto still = std::make_shared<GfxPicture>(solidImage(8, 8, {255, 0, 0, 255}));
    overlay->removeTarget(blend);
    still->addTarget(blend);
    still->processImage();
    const auto before = target->frames.size();
    camera->push(frameTime(6));
    camera->push(frameTime(7));
    EXPECT_EQ(target->frames.size(), before + 2);
    EXPECT_EQ(target->frames.back().time, frameTime(7));
}

TEST_F(FilterTest, ACameraFrameOvertakenWhileWaitingGoesBackToTheCache)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    auto camera = std::make_shared<TimedSource>(ui::Size{12, 10}, Rgba{0, 0, 0, 255});
    auto overlay = std::make_shared<TimedSource>(ui::Size{12, 10}, Rgba{255, 255, 255, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->addTarget(target);
    camera->addTarget(blend);
    overlay->addTarget(blend);

    // The overlay falls behind: camera frames overtake each other while they wait for it.
    const auto created = cache.framebuffersCreated();
    for (int i = 1; i <= 10; ++i)
        camera->push(frameTime(i));
    EXPECT_TRUE(target->frames.empty());
    EXPECT_LE(cache.framebuffersCreated(), created + 2) << "each overtaken frame must be handed back";
    overlay->push(frameTime(11));
    ASSERT_EQ(target->frames.size(), 1u);
    EXPECT_EQ(target->frames[0].time, frameTime(10)) << "the newest camera frame is the one drawn";
    overlay->removeTarget(blend);
    camera->removeTarget(blend);
    EXPECT_EQ(cache.doubleReturns(), 0u);
}

TEST_F(FilterTest, SecondInputIsHeldUnderOneLockUntilReplacedOrRemoved)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    auto camera = std::make_shared<TimedSource>(ui::Size{8, 8}, Rgba{0, 0, 0, 255});
    auto overlay = std::make_shared<TimedSource>(ui::Size{4, 4}, Rgba{255, 255, 255, 255});
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    auto target = std::make_shared<RecordingTarget>();
    blend->setMix(1.0);
    blend->addTarget(target);
    camera->addTarget(blend);
    overlay->addTarget(blend);

    overlay->push(media::MediaTime::indefinite());
    const auto first = blend->secondInputFramebuffer();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->lockCount(), 1u);
    for (int i = 1; i <= 3; ++i)
        camera->push(frameTime(i));
    ASSERT_EQ(target->frames.size(), 3u);
    // Drawn again and again from the one it holds, never handed back meanwhile.
    EXPECT_EQ(first->lockCount(), 1u);
    expectNear(target->frames[2].at(0, 0), {255, 255, 255, 255});

    overlay->push(media::MediaTime::indefinite());
    EXPECT_EQ(blend->secondInputFramebuffer()->lockCount(), 1u);
    overlay->removeTarget(blend);
    EXPECT_FALSE(blend->secondInputFramebuffer());
    EXPECT_EQ(cache.unbalancedUnlocks(), 0u);
    EXPECT_EQ(cache.doubleReturns(), 0u);
}

TEST_F(FilterTest, TargetListRules)
{
    auto picture = std::make_shared<GfxPicture>(solidImage(2, 2, {1, 2, 3, 255}));
    auto filter = std::make_shared<GfxFilter>();
    auto target = std::make_shared<RecordingTarget>();
    auto ignored = std::make_shared<RecordingTarget>();
    filter->addTarget(target);
    filter->addTarget(target);
    EXPECT_EQ(filter->targets().size(), 1u);
    filter->removeTarget(ignored);
    EXPECT_EQ(target->endProcessingCalls, 0);

    filter->addTarget(ignored);
    filter->setTargetToIgnoreForUpdates(ignored.get());
    const int handedAtAdd = ignored->framebuffersReceived;
    EXPECT_EQ(handedAtAdd, 1);

    // The completion block runs before the targets draw.
    std::size_t framesSeenByTargetInBlock = 99;
    filter->setFrameProcessingCompletionBlock(
        [&](GfxOutput&, media::MediaTime) { framesSeenByTargetInBlock = target->frames.size(); });
    picture->addTarget(filter);
    picture->processImage();
    EXPECT_EQ(framesSeenByTargetInBlock, 0u);
    EXPECT_EQ(target->frames.size(), 1u);
    EXPECT_TRUE(ignored->frames.empty());
    EXPECT_EQ(ignored->framebuffersReceived, handedAtAdd);

    filter->removeTarget(target);
    EXPECT_EQ(target->endProcessingCalls, 1);
    filter->removeTarget(target);
    EXPECT_EQ(target->endProcessingCalls, 1);
}

// Notes the order in which targets are told of a frame.
class OrderedTarget : public RecordingTarget {
public:
    OrderedTarget(std::vector<const OrderedTarget*>& told, bool elsewhere) : told_(told), elsewhere_(elsewhere) {}
    void newFrameReadyAtTime(media::MediaTime time, int index) override
    {
        told_.push_back(this);
        RecordingTarget::newFrameReadyAtTime(time, index);
    }
    bool worksOnAnotherQueue() const override { return elsewhere_; }

private:
    std::vector<const OrderedTarget*>& told_;
    bool elsewhere_;
};

TEST_F(FilterTest, ATargetWorkingOnAnotherQueueIsToldFirstAndAllGetTheSameFrame)
{
    std::vector<const OrderedTarget*> told;
    auto source = std::make_shared<TimedSource>(ui::Size{4, 4}, Rgba{40, 80, 120, 255});
    auto filter = std::make_shared<GfxFilter>();
    auto shown = std::make_shared<OrderedTarget>(told, false);
    auto queued = std::make_shared<OrderedTarget>(told, true);
    filter->addTarget(shown);
    filter->addTarget(queued);
    source->addTarget(filter);
    source->push(frameTime(1));
    const std::vector<const OrderedTarget*> expected{queued.get(), shown.get()};
    EXPECT_EQ(told, expected);
    ASSERT_EQ(shown->frames.size(), 1u);
    ASSERT_EQ(queued->frames.size(), 1u);
    EXPECT_EQ(shown->frames[0].pixels, queued->frames[0].pixels);
}

TEST_F(FilterTest, PreventedRenderingDrawsNothingAndReleasesItsInput)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    auto source = std::make_shared<TimedSource>(ui::Size{6, 6}, Rgba{1, 2, 3, 255});
    auto filter = std::make_shared<GfxFilter>();
    auto target = std::make_shared<RecordingTarget>();
    filter->addTarget(target);
    source->addTarget(filter);
    filter->setPreventRendering(true);
    const auto idleBefore = cache.idleFramebufferCount();
    source->push(frameTime(1));
    EXPECT_TRUE(target->frames.empty());
    // The source's framebuffer went back to the cache.
    EXPECT_EQ(cache.idleFramebufferCount(), idleBefore + 1);
}

}  // namespace
