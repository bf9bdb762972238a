#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <mutex>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioSession.h"
#include "platform/media/CaptureSession.h"

namespace {

using namespace media;
using fnd::RunLoop;

// Keeps what each buffer said, not the buffers: a camera's pool is small.
class Recorder : public CaptureOutputSampleBufferDelegate {
public:
    struct Seen {
        MediaTime time;
        MediaTime duration;
        int width = 0;
        int height = 0;
        PixelFormat format = PixelFormat::BGRA32;
        int sampleRate = 0;
    };
    void captureOutput(CaptureOutput& output, const std::shared_ptr<SampleBuffer>& buffer) override
    {
        if (block)
            block();
        const std::lock_guard lock(mutex);
        Seen seen{buffer->presentationTimeStamp(), buffer->duration()};
        if (const auto& pixels = buffer->imageBuffer()) {
            seen.width = pixels->width();
            seen.height = pixels->height();
            seen.format = pixels->pixelFormat();
            lastFrame = buffer;
        }
        seen.sampleRate = buffer->sampleRate();
        (output.mediaType() == MediaType::Video ? video : audio).push_back(seen);
    }
    std::size_t videoCount()
    {
        const std::lock_guard lock(mutex);
        return video.size();
    }
    std::size_t audioCount()
    {
        const std::lock_guard lock(mutex);
        return audio.size();
    }
    std::mutex mutex;
    std::vector<Seen> video;
    std::vector<Seen> audio;
    std::shared_ptr<SampleBuffer> lastFrame;
    std::function<void()> block;
};

class CaptureSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CaptureDevice::configure("synthetic", "synthetic");
        camera = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
        microphone = CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio);
        ASSERT_TRUE(camera && microphone);
        session = CaptureSession::create();
        videoOutput = std::make_shared<CaptureVideoDataOutput>();
        videoOutput->setAlwaysDiscardsLateVideoFrames(false);
        videoOutput->setSampleBufferDelegate(&recorder, videoQueue);
        audioOutput = std::make_shared<CaptureAudioDataOutput>();
        audioOutput->setSampleBufferDelegate(&recorder, audioQueue);
    }
    void TearDown() override
    {
        session->stopRunning();
        videoOutput->setSampleBufferDelegate(nullptr, nullptr);
        audioOutput->setSampleBufferDelegate(nullptr, nullptr);
    }

    void addCamera(std::string_view preset)
    {
        session->beginConfiguration();
        const auto input = CaptureDeviceInput::create(camera);
        ASSERT_TRUE(session->canAddInput(input));
        session->addInput(input);
        ASSERT_TRUE(session->canAddOutput(videoOutput));
        session->addOutput(videoOutput);
        ASSERT_TRUE(session->canSetSessionPreset(preset));
        session->setSessionPreset(preset);
        session->commitConfiguration();
    }

    void addMicrophone()
    {
        session->addInput(CaptureDeviceInput::create(microphone));
        session->addOutput(audioOutput);
    }

    Recorder recorder;
    std::shared_ptr<fnd::DispatchQueue> videoQueue = std::make_shared<fnd::DispatchQueue>("video");
    std::shared_ptr<fnd::DispatchQueue> audioQueue = std::make_shared<fnd::DispatchQueue>("audio");
    std::shared_ptr<CaptureDevice> camera;
    std::shared_ptr<CaptureDevice> microphone;
    std::shared_ptr<CaptureSession> session;
    std::shared_ptr<CaptureVideoDataOutput> videoOutput;
    std::shared_ptr<CaptureAudioDataOutput> audioOutput;
};

TEST_F(CaptureSessionTest, SyntheticCameraDeliversPresetSizedFramesAtTheRateWithAudioOnTheSameClock)
{
    ASSERT_TRUE(camera->lockForConfiguration());
    camera->setActiveVideoMinFrameDuration(MediaTime::make(1, 25));
    camera->setActiveVideoMaxFrameDuration(MediaTime::make(1, 25));
    camera->unlockForConfiguration();
    addCamera(CaptureSessionPreset352x288);
    ASSERT_TRUE(videoOutput->setVideoPixelFormat(PixelFormat::NV12FullRange));
    addMicrophone();

    const double start = RunLoop::main().now();
    session->startRunning();
    EXPECT_TRUE(session->isRunning());
    // Frame by frame: in a burst the camera's small buffer pool would drop frames.
    for (std::size_t frame = 1; frame <= 25; ++frame) {
        RunLoop::main().advance(frame == 25 ? 0.05 : 0.04);
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.videoCount() >= frame; })) << frame;
    }
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.audioCount() >= 43; }));
    session->stopRunning();
    videoQueue->sync([] {});
    audioQueue->sync([] {});

    const std::lock_guard lock(recorder.mutex);
    ASSERT_EQ(recorder.video.size(), 25u);
    MediaTime previous = MediaTime::negativeInfinity();
    for (std::size_t i = 0; i < recorder.video.size(); ++i) {
        const auto& frame = recorder.video[i];
        EXPECT_EQ(frame.width, 352);
        EXPECT_EQ(frame.height, 288);
        EXPECT_EQ(frame.format, PixelFormat::NV12FullRange);
        const MediaTime time = frame.time;
        EXPECT_GT(time, previous);
        EXPECT_NEAR(time.seconds() - start, (i + 1) / 25.0, 1e-6);
        previous = time;
    }
    // Audio: mono runs at the session's rate, back to back from the start.
    const int rate = static_cast<int>(AudioSession::sharedInstance().sampleRate());
    ASSERT_GE(recorder.audio.size(), 43u);
    EXPECT_NEAR(recorder.audio.front().time.seconds(), start, 1.0 / rate);
    for (std::size_t i = 1; i < recorder.audio.size(); ++i) {
        EXPECT_EQ(recorder.audio[i].sampleRate, rate);
        EXPECT_EQ(recorder.audio[i].time, recorder.audio[i - 1].time + recorder.audio[i - 1].duration);
    }
}

TEST_F(CaptureSessionTest, StopRightAfterStartLeavesTheSessionStoppedAndSilent)
{
    addCamera(CaptureSessionPreset640x480);
    session->startRunning();
    session->stopRunning();
    EXPECT_FALSE(session->isRunning());
    RunLoop::main().advance(0.5);
    RunLoop::main().processEvents();
    videoQueue->sync([] {});
    EXPECT_EQ(recorder.videoCount(), 0u);
}

TEST_F(CaptureSessionTest, PushedFramesArriveScaledToThePresetInTheChosenRangeAndMatrix)
{
    camera->setSyntheticCameraOptions({.pushedFramesOnly = true, .offersFullRange = false,
                                       .matrix = YCbCrMatrix::ITU_R_709_2});
    addCamera(CaptureSessionPreset1280x720);
    const auto formats = videoOutput->availableVideoPixelFormatTypes();
    EXPECT_EQ(std::count(formats.begin(), formats.end(), PixelFormat::NV12FullRange), 0);
    EXPECT_FALSE(videoOutput->setVideoPixelFormat(PixelFormat::NV12FullRange));
    ASSERT_TRUE(videoOutput->setVideoPixelFormat(PixelFormat::NV12VideoRange));
    session->startRunning();
    RunLoop::main().advance(0.5);  // nothing pushed: nothing delivered
    const std::uint32_t white = 0xFFFFFFFF;
    camera->pushVideoFrame(ui::Image::fromPixels(1, 1, &white, 4));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.videoCount() == 1; }));

    const auto pixels = recorder.lastFrame->imageBuffer();
    EXPECT_EQ(pixels->width(), 1280);
    EXPECT_EQ(pixels->height(), 720);
    EXPECT_EQ(pixels->attachments().matrix, YCbCrMatrix::ITU_R_709_2);
    pixels->lockBaseAddress();
    EXPECT_NEAR(pixels->baseAddressOfPlane(0)[pixels->bytesPerRowOfPlane(0) * 400 + 640], 235, 1);  // video-range white
    EXPECT_NEAR(pixels->baseAddressOfPlane(1)[pixels->bytesPerRowOfPlane(1) * 200 + 320], 128, 1);
    pixels->unlockBaseAddress();
    camera->setSyntheticCameraOptions({});
}

TEST_F(CaptureSessionTest, LateFramesAreDroppedWhileTheDelegateIsBusyUnlessAskedToQueue)
{
    for (const bool discards : {true, false}) {
        recorder.video.clear();
        videoOutput->setAlwaysDiscardsLateVideoFrames(discards);
        if (session->inputs().empty())
            addCamera(CaptureSessionPreset352x288);
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        recorder.block = [released] { released.wait(); };  // the delegate is busy with the first frame
        session->startRunning();
        RunLoop::main().advance(0.51);
        session->stopRunning();  // every frame made so far has been offered
        release.set_value();
        videoQueue->sync([] {});
        recorder.block = nullptr;
        EXPECT_EQ(recorder.videoCount(), discards ? 1u : 6u) << "discards " << discards;
    }
}

TEST_F(CaptureSessionTest, InputsNeedAccessAndOneDevicePerMediaType)
{
    std::string error;
    CaptureDevice::setAuthorizationStatus(MediaType::Video, AuthorizationStatus::Denied);
    EXPECT_FALSE(CaptureDeviceInput::create(camera, &error));
    EXPECT_FALSE(error.empty());
    CaptureDevice::setAuthorizationStatus(MediaType::Video, AuthorizationStatus::Authorized);
    addCamera(CaptureSessionPreset352x288);
    EXPECT_FALSE(session->canAddInput(CaptureDeviceInput::create(camera)));
    EXPECT_FALSE(session->canAddOutput(std::make_shared<CaptureVideoDataOutput>()));
    EXPECT_FALSE(session->canSetSessionPreset("320x240"));
    session->setSessionPreset("320x240");
    EXPECT_EQ(session->sessionPreset(), CaptureSessionPreset352x288);

    // A frame duration is changed only under the configuration lock.
    camera->setActiveVideoMinFrameDuration(MediaTime::make(1, 10));
    EXPECT_EQ(camera->activeVideoMinFrameDuration(), MediaTime::make(1, 30));
    ASSERT_TRUE(camera->lockForConfiguration());
    camera->setActiveVideoMinFrameDuration(MediaTime::invalid());
    EXPECT_EQ(camera->activeVideoMinFrameDuration(), MediaTime::make(1, 30));
    camera->setFocusMode(FocusMode::AutoFocus);
    camera->setFocusPointOfInterest({0.25, 2.0});
    camera->unlockForConfiguration();
    EXPECT_EQ(camera->focusMode(), FocusMode::AutoFocus);
    EXPECT_EQ(camera->focusPointOfInterest().y, 1.0);

    CaptureDevice::configure("none", "none");
    EXPECT_TRUE(CaptureDevice::devicesWithMediaType(MediaType::Video).empty());
    EXPECT_FALSE(CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio));
}

TEST_F(CaptureSessionTest, MicrophoneAddedWhileRunningStartsAndRemovedStops)
{
    addCamera(CaptureSessionPreset352x288);
    session->startRunning();
    addMicrophone();
    session->startRunning();  // already running: returns once the session queue has taken the change
    RunLoop::main().advance(0.2);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.audioCount() >= 8; }));
    session->beginConfiguration();
    session->removeOutput(audioOutput);
    session->removeInput(session->inputs().back());
    session->commitConfiguration();
    session->startRunning();  // already running: nothing happens, but the queue has taken the change
    audioQueue->sync([] {});
    const std::size_t heard = recorder.audioCount();
    RunLoop::main().advance(0.2);
    RunLoop::main().processEvents();
    audioQueue->sync([] {});
    EXPECT_EQ(recorder.audioCount(), heard);
}

TEST(CaptureDevices, DevicesThatCannotBeOpenedAreLoggedAndDeliverNothing)
{
    CaptureDevice::configure("/dev/video-absent", "norvale-absent-pcm");
    const auto camera = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
    const auto microphone = CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio);
    ASSERT_TRUE(camera && microphone);
    EXPECT_EQ(camera->kind(), CaptureDevice::Kind::Video4Linux);
    EXPECT_EQ(microphone->kind(), CaptureDevice::Kind::Alsa);
    EXPECT_EQ(camera->position(), DevicePosition::Back);

    fnd::LogCapture log;
    Recorder recorder;
    const auto queue = std::make_shared<fnd::DispatchQueue>("capture");
    const auto session = CaptureSession::create();
    const auto video = std::make_shared<CaptureVideoDataOutput>();
    const auto audio = std::make_shared<CaptureAudioDataOutput>();
    video->setSampleBufferDelegate(&recorder, queue);
    audio->setSampleBufferDelegate(&recorder, queue);
    session->addInput(CaptureDeviceInput::create(camera));
    session->addInput(CaptureDeviceInput::create(microphone));
    session->addOutput(video);
    session->addOutput(audio);
    session->startRunning();
    EXPECT_TRUE(RunLoop::main().runUntil(
        [&] { return log.contains("Camera: cannot open") && log.contains("Microphone: cannot open"); }));
    session->stopRunning();
    queue->sync([] {});
    EXPECT_EQ(recorder.videoCount() + recorder.audioCount(), 0u);
    video->setSampleBufferDelegate(nullptr, nullptr);
    audio->setSampleBufferDelegate(nullptr, nullptr);
    CaptureDevice::configure("synthetic", "synthetic");
}

TEST(AudioSession, PermissionIsAnsweredOnTheMainThreadLater)
{
    CaptureDevice::configure("synthetic", "synthetic");
    auto& audio = AudioSession::sharedInstance();
    int answers = 0;
    bool granted = false;
    audio.requestRecordPermission([&](bool yes) {
        ++answers;
        granted = yes;
        EXPECT_TRUE(RunLoop::main().isMainThread());
    });
    EXPECT_EQ(answers, 0);
    RunLoop::main().processEvents();
    EXPECT_EQ(answers, 1);
    EXPECT_TRUE(granted);
    audio.setRecordPermission(RecordPermission::Denied);
    audio.requestRecordPermission([&](bool yes) { granted = yes; });
    RunLoop::main().processEvents();
    EXPECT_FALSE(granted);
    // It is the microphone's access: refused, no microphone input can be made.
    EXPECT_EQ(CaptureDevice::authorizationStatusForMediaType(MediaType::Audio), AuthorizationStatus::Denied);
    EXPECT_EQ(CaptureDeviceInput::create(CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio)), nullptr);
    audio.setRecordPermission(RecordPermission::Granted);
    EXPECT_NE(CaptureDeviceInput::create(CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio)), nullptr);
    EXPECT_GE(audio.sampleRate(), 8000);
}

}  // namespace
