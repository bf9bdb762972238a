#include <gtest/gtest.h>

#include <future>
#include <optional>

#include "ImagingTestSupport.h"
#include "imaging/GfxAlphaBlendFilter.h"
#include "imaging/GfxBrightnessFilter.h"
#include "imaging/GfxContext.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/CaptureDevice.h"
#include "support/TestSupport.h"

namespace {

using namespace imagingtest;
using fnd::RunLoop;

// The dash camera's graph for 300 frames, with the camera outrunning the
// writer so that it drops frames, and an overlay re-rendered into a fresh
// framebuffer for every frame from the brightness filter's completion block.
TEST(PipelineSoakTest, ThreeHundredFramesLeaveTheLocksBalanced)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    cache.purgeAllUnassignedFramebuffers();
    RunLoop::main().processEvents();
    cache.resetCounters();

    media::CaptureDevice::configure("synthetic", "synthetic");
    auto camera = GfxVideoCamera::create(media::CaptureSessionPreset352x288);
    auto brightness = std::make_shared<GfxBrightnessFilter>();
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    blend->setMix(1.0);
    auto overlay = std::make_shared<TimedSource>(ui::Size{352, 288}, Rgba{255, 255, 255, 64});
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 200, 160});
    camera->addTarget(brightness);
    brightness->addTarget(blend);
    overlay->addTarget(blend);
    blend->addTarget(view);
    brightness->setFrameProcessingCompletionBlock(
        [&](GfxOutput&, media::MediaTime) { overlay->push(media::MediaTime::indefinite()); });

    auto writer = GfxMovieWriter::create(testsupport::freshDocuments() / "Soak.m4v", {352, 288});
    blend->addTarget(writer);
    writer->startRecording();

    auto pixels = media::PixelBuffer::create(352, 288, media::PixelFormat::NV12FullRange);
    const int frames = 300;
    std::optional<std::promise<void>> release;
    for (int i = 1; i <= frames; ++i) {
        camera->processVideoSampleBuffer(media::SampleBuffer::makeVideo(pixels, frameTime(i)));
        // Each camera frame is a task of its own on the main queue, between
        // which framebuffers handed back by the writer's queue arrive.
        RunLoop::main().processEvents();
        // Now and then the writer's queue is held up, so that it drops the
        // frames arriving meanwhile.
        if (i % 50 == 0) {
            if (release) {
                release->set_value();
                release.reset();
            } else {
                release.emplace();
                runOnContextQueueAsync(writer->movieWriterContext(),
                                       [gate = release->get_future().share()] { gate.wait(); });
            }
        }
    }
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return writer->framesWritten() + writer->framesDropped() == std::size_t(frames); }, 60));
    EXPECT_GT(writer->framesDropped(), 0u);
    EXPECT_GT(writer->framesWritten(), 0u);

    // The movie's announcement is the writer's last act: only then has its work ended.
    int announced = 0;
    const auto observer = fnd::NotificationCenter::defaultCenter().addObserver(
        GfxMovieWriter::saveVideoNotification, [&](const fnd::Notification&) { ++announced; });
    blend->removeTarget(writer);
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return announced == 1; }));
    EXPECT_EQ(writer->assetWriter()->status(), media::AssetWriterStatus::Completed);

    EXPECT_EQ(cache.unbalancedUnlocks(), 0u);
    EXPECT_EQ(cache.doubleReturns(), 0u);
    EXPECT_LE(cache.framebuffersCreated(), 8u);
    // At rest only the overlay's current framebuffer is lent (to the blend).
    EXPECT_EQ(cache.framebuffersCreated() - cache.idleFramebufferCount(), 1u);
    ASSERT_TRUE(blend->secondInputFramebuffer());
    EXPECT_EQ(blend->secondInputFramebuffer()->lockCount(), 1u);
}

}  // namespace
