#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ImagingTestSupport.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GfxVideoCamera.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/CaptureDevice.h"
#include "support/TestSupport.h"

namespace {

using namespace imagingtest;

std::shared_ptr<media::CaptureDevice> syntheticCamera(bool offersFullRange)
{
    media::CaptureDevice::configure("synthetic", "synthetic");
    auto camera = media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Video);
    media::SyntheticCameraOptions options;
    options.pushedFramesOnly = true;
    options.offersFullRange = offersFullRange;
    camera->setSyntheticCameraOptions(options);
    return camera;
}

// An 8 x 8 NV12 frame of one colour.
std::shared_ptr<media::SampleBuffer> nv12Frame(bool fullRange, int y, int cb, int cr,
                                               std::optional<media::YCbCrMatrix> matrix)
{
    auto pixels = media::PixelBuffer::create(
        8, 8, fullRange ? media::PixelFormat::NV12FullRange : media::PixelFormat::NV12VideoRange);
    pixels->lockBaseAddress();
    for (int row = 0; row < 8; ++row)
        std::fill_n(pixels->baseAddressOfPlane(0) + pixels->bytesPerRowOfPlane(0) * row, 8, std::uint8_t(y));
    for (int row = 0; row < 4; ++row) {
        std::uint8_t* line = pixels->baseAddressOfPlane(1) + pixels->bytesPerRowOfPlane(1) * row;
        for (int x = 0; x < 4; ++x) {
            line[x * 2] = std::uint8_t(cb);
            line[x * 2 + 1] = std::uint8_t(cr);
        }
    }
    pixels->unlockBaseAddress();
    pixels->setAttachments({std::nullopt, matrix, std::nullopt});
    return media::SampleBuffer::makeVideo(pixels, media::MediaTime::make(7, 30));
}

TEST(GfxVideoCameraTest, ConvertsYuvByRangeAndTheFramesMatrix)
{
    struct Case {
        bool fullRange;
        std::optional<media::YCbCrMatrix> matrix;
        int y, cb, cr;
        std::array<float, 9> m;  // column order
    };
    const std::array<float, 9> m601{1.164f, 1.164f, 1.164f, 0, -0.392f, 2.017f, 1.596f, -0.813f, 0};
    const std::array<float, 9> m601Full{1, 1, 1, 0, -0.343f, 1.765f, 1.4f, -0.711f, 0};
    const std::array<float, 9> m709{1.164f, 1.164f, 1.164f, 0, -0.213f, 2.112f, 1.793f, -0.533f, 0};
    const Case cases[] = {
        {false, std::nullopt, 81, 90, 240, m601},
        {false, media::YCbCrMatrix::ITU_R_601_4, 145, 54, 34, m601},
        {false, media::YCbCrMatrix::ITU_R_709_2, 63, 102, 240, m709},
        {false, media::YCbCrMatrix::ITU_R_709_2, 120, 160, 100, m709},
        {true, std::nullopt, 76, 85, 255, m601Full},
        {true, media::YCbCrMatrix::ITU_R_601_4, 150, 44, 21, m601Full},
        {true, media::YCbCrMatrix::ITU_R_601_4, 128, 128, 128, m601Full},
    };
    for (const auto& c : cases) {
        syntheticCamera(c.fullRange);
        auto camera = GfxVideoCamera::create();
        ASSERT_TRUE(camera);
        ASSERT_EQ(camera->isFullYUVRange(), c.fullRange);
        auto target = std::make_shared<RecordingTarget>();
        camera->addTarget(target);
        camera->processVideoSampleBuffer(nv12Frame(c.fullRange, c.y, c.cb, c.cr, c.matrix));
        ASSERT_EQ(target->frames.size(), 1u);
        EXPECT_EQ(target->frames[0].time, media::MediaTime::make(7, 30));

        const double y = c.y / 255.0 - (c.fullRange ? 0 : 16.0 / 255.0);
        const double u = c.cb / 255.0 - 0.5;
        const double v = c.cr / 255.0 - 0.5;
        const auto channel = [&](int row) {
            const double value = c.m[row] * y + c.m[3 + row] * u + c.m[6 + row] * v;
            return int(std::lround(std::clamp(value, 0.0, 1.0) * 255));
        };
        const Rgba got = target->frames[0].at(4, 4);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], channel(i), 2) << "Y " << c.y << " channel " << i;
        EXPECT_EQ(got[3], 255);
    }
}

TEST(GfxVideoCameraTest, OrientationTurnsThePictureDuringConversion)
{
    syntheticCamera(true);
    auto camera = GfxVideoCamera::create(media::CaptureSessionPreset1280x720);
    auto target = std::make_shared<RecordingTarget>();
    camera->addTarget(target);
    camera->setOutputImageOrientation(3);
    EXPECT_EQ(camera->internalRotation(), NoRotation);
    camera->setOutputImageOrientation(1);
    EXPECT_EQ(camera->internalRotation(), RotateRight);
    EXPECT_EQ(camera->outputRotation(), NoRotation);
    camera->setHorizontallyMirrorRearFacingCamera(true);
    EXPECT_EQ(camera->internalRotation(), RotateRightFlipVertical);
    camera->setHorizontallyMirrorRearFacingCamera(false);

    auto pixels = media::PixelBuffer::create(16, 8, media::PixelFormat::NV12FullRange);
    camera->processVideoSampleBuffer(media::SampleBuffer::makeVideo(pixels, media::MediaTime::make(1, 30)));
    ASSERT_EQ(target->frames.size(), 1u);
    EXPECT_EQ(target->frames[0].width, 8);
    EXPECT_EQ(target->frames[0].height, 16);
    // The output follows a change of either side.
    camera->processVideoSampleBuffer(
        media::SampleBuffer::makeVideo(media::PixelBuffer::create(16, 4, media::PixelFormat::NV12FullRange),
                                       media::MediaTime::make(2, 30)));
    EXPECT_EQ(target->frames.back().height, 16);
    EXPECT_EQ(target->frames.back().width, 4);
}

TEST(GfxVideoCameraTest, CapturedFramesReachTheTargetAndPausedOnesDoNot)
{
    auto device = syntheticCamera(true);
    auto camera = GfxVideoCamera::create(media::CaptureSessionPreset352x288);
    auto target = std::make_shared<RecordingTarget>();
    camera->addTarget(target);
    camera->setFrameRate(30);
    EXPECT_EQ(device->activeVideoMinFrameDuration(), media::MediaTime::make(1, 30));
    camera->startCameraCapture();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return camera->isRunning(); }));

    device->pushVideoFrame(solidImage(4, 4, {200, 60, 30, 255}));
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return target->frames.size() == 1; }));
    EXPECT_EQ(target->frames[0].width, 352);
    EXPECT_NEAR(target->frames[0].at(100, 100)[0], 200, 4);
    EXPECT_NEAR(target->frames[0].at(100, 100)[1], 60, 4);
    EXPECT_NEAR(target->frames[0].at(100, 100)[2], 30, 4);

    camera->pauseCameraCapture();
    camera->processVideoSampleBuffer(media::SampleBuffer::makeVideo(
        media::PixelBuffer::create(352, 288, media::PixelFormat::NV12FullRange), media::MediaTime::make(99, 1)));
    EXPECT_EQ(target->frames.size(), 1u);
    camera->resumeCameraCapture();

    // A start followed at once by a stop leaves the camera off.
    camera->stopCameraCapture();
    camera->startCameraCapture();
    camera->stopCameraCapture();
    EXPECT_FALSE(camera->isRunning());
}

}  // namespace

namespace {

TEST(GfxVideoCameraTest, TheMicrophoneFollowsTheAudioTarget)
{
    syntheticCamera(true);
    auto camera = GfxVideoCamera::create();
    const auto inputs = [&] { return camera->captureSession()->inputs().size(); };
    EXPECT_EQ(inputs(), 1u);
    auto writer = GfxMovieWriter::create(testsupport::freshDocuments() / "Sound.m4v", {64, 48});
    camera->setAudioEncodingTarget(writer);
    camera->setAudioEncodingTarget(writer);
    EXPECT_EQ(inputs(), 2u);
    EXPECT_TRUE(writer->hasAudioTrack());
    camera->setAudioEncodingTarget(nullptr);
    EXPECT_EQ(inputs(), 1u);

    // A microphone added by hand stays when the target is cleared.
    EXPECT_TRUE(camera->addAudioInputsAndOutputs());
    camera->setAudioEncodingTarget(writer);
    camera->setAudioEncodingTarget(nullptr);
    EXPECT_EQ(inputs(), 2u);
}

TEST(GfxVideoCameraTest, FrameRateZeroRestoresTheDefault)
{
    auto device = syntheticCamera(true);
    auto camera = GfxVideoCamera::create();
    const auto standard = device->activeVideoMinFrameDuration();
    camera->setFrameRate(15);
    EXPECT_EQ(device->activeVideoMinFrameDuration(), media::MediaTime::make(1, 15));
    EXPECT_EQ(device->activeVideoMaxFrameDuration(), media::MediaTime::make(1, 15));
    camera->setFrameRate(0);
    EXPECT_EQ(device->activeVideoMinFrameDuration(), standard);
}

}  // namespace
