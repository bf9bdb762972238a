#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AssetWriter.h"
#include "platform/media/AudioSession.h"
#include "platform/media/CaptureSession.h"
#include "platform/media/MovieReader.h"
#include "platform/media/PhotoAlbum.h"
#include "support/TestSupport.h"

namespace {

using namespace media;
using fnd::RunLoop;

// Appends what the session captures to a writer, starting its session at the first item.
class MovieRecorder : public CaptureOutputSampleBufferDelegate {
public:
    MovieRecorder(std::shared_ptr<AssetWriter> writer, std::shared_ptr<AssetWriterInput> video,
                  std::shared_ptr<AssetWriterInput> audio)
        : writer_(std::move(writer)), video_(std::move(video)), audio_(std::move(audio))
    {
    }

    void captureOutput(CaptureOutput& output, const std::shared_ptr<SampleBuffer>& buffer) override
    {
        {
            const std::lock_guard lock(mutex_);
            if (!started_) {
                writer_->startSessionAtSourceTime(buffer->presentationTimeStamp());
                started_ = true;
            }
        }
        auto& input = output.mediaType() == MediaType::Video ? video_ : audio_;
        // A loaded machine can leave the encoder a few items behind: wait for room on this capture
        // queue, as a producer that must not drop would, instead of losing the item.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!input->isReadyForMoreMediaData() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::yield();
        if (input->isReadyForMoreMediaData() && input->appendSampleBuffer(buffer))
            ++(output.mediaType() == MediaType::Video ? videoFrames : audioBuffers);
    }

    std::atomic<int> videoFrames{0};
    std::atomic<int> audioBuffers{0};

private:
    std::shared_ptr<AssetWriter> writer_;
    std::shared_ptr<AssetWriterInput> video_;
    std::shared_ptr<AssetWriterInput> audio_;
    std::mutex mutex_;
    bool started_ = false;
};

TEST(CaptureToMovie, SyntheticCameraAndMicrophoneRecordTwoSeconds)
{
    CaptureDevice::configure("synthetic", "synthetic");
    const auto path = testsupport::freshDocuments() / "Movie.m4v";
    const auto writer = AssetWriter::create(path, FileType::QuickTimeMovie);
    ASSERT_TRUE(writer);
    writer->setMovieFragmentInterval(MediaTime::make(1, 1));
    const auto video = AssetWriterInput::createVideo({352, 288});
    const int rate = static_cast<int>(AudioSession::sharedInstance().sampleRate());
    const auto audio = AssetWriterInput::createAudio(AudioSettings{rate, 1, 64000});
    writer->addInput(video);
    writer->addInput(audio);
    ASSERT_TRUE(writer->startWriting());

    MovieRecorder recorder(writer, video, audio);
    const auto session = CaptureSession::create();
    const auto videoOutput = std::make_shared<CaptureVideoDataOutput>();
    const auto audioOutput = std::make_shared<CaptureAudioDataOutput>();
    const auto videoQueue = std::make_shared<fnd::DispatchQueue>("video");
    const auto audioQueue = std::make_shared<fnd::DispatchQueue>("audio");
    videoOutput->setSampleBufferDelegate(&recorder, videoQueue);
    audioOutput->setSampleBufferDelegate(&recorder, audioQueue);
    session->beginConfiguration();
    session->addInput(CaptureDeviceInput::create(CaptureDevice::defaultDeviceWithMediaType(MediaType::Video)));
    session->addInput(CaptureDeviceInput::create(CaptureDevice::defaultDeviceWithMediaType(MediaType::Audio)));
    session->addOutput(videoOutput);
    session->addOutput(audioOutput);
    session->setSessionPreset(CaptureSessionPreset352x288);
    session->commitConfiguration();
    session->startRunning();
    // One frame at a time, so a slow encoder (a sanitizer build) drops nothing.
    for (int frame = 1; frame <= 60; ++frame) {
        RunLoop::main().advance(1.0 / 30);
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.videoFrames >= frame; }, 30)) << frame;
    }
    session->stopRunning();
    videoQueue->sync([] {});
    audioQueue->sync([] {});
    std::atomic<bool> finished = false;  // set on the writer's queue
    writer->finishWritingWithCompletionHandler([&] { finished = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return finished.load(); }, 60));
    ASSERT_EQ(writer->status(), AssetWriterStatus::Completed) << writer->error();
    videoOutput->setSampleBufferDelegate(nullptr, nullptr);
    audioOutput->setSampleBufferDelegate(nullptr, nullptr);

    movietest::MovieReader reader(path);
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.video()->width, 352);
    ASSERT_TRUE(reader.audio());
    EXPECT_EQ(reader.audio()->ch_layout.nb_channels, 1);
    EXPECT_NEAR(reader.format->duration / static_cast<double>(AV_TIME_BASE), 2.0, 0.1);
    // The session starts with whichever item comes first (the first audio is a frame earlier than the
    // first picture, but the two arrive on different queues), and AAC priming adds 1024 samples.
    EXPECT_NEAR(reader.decodeAll(), 2.0, 0.04);
    EXPECT_GT(recorder.audioBuffers, 80);

    // The finished movie goes to the album as a playable copy; the original stays.
    std::optional<std::filesystem::path> saved;
    bool answered = false;
    PhotoAlbum::saveVideo(path, [&](const std::optional<std::filesystem::path>& file, const std::string&) {
        saved = file;
        answered = true;
    });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return answered; }));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->extension(), ".m4v");
    EXPECT_TRUE(std::filesystem::exists(path));
    movietest::MovieReader copy(*saved);
    ASSERT_TRUE(copy.isOpen());
    EXPECT_NEAR(copy.decodeAll(), 2.0, 0.04);
}

}  // namespace
