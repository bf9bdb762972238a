#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <future>
#include <thread>

#include "ImagingTestSupport.h"
#include "imaging/GfxAlphaBlendFilter.h"
#include "imaging/GfxBrightnessFilter.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GfxPicture.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/gl/Context.h"
#include "platform/media/CaptureDevice.h"
#include "support/TestSupport.h"

namespace {

using namespace imagingtest;
using fnd::RunLoop;

// What a movie file holds, decoded with libavformat/libavcodec.
struct DecodedMovie {
    int videoFrames = 0;
    bool hasAacAudio = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // the frame asked for, RGB24
};

DecodedMovie decodeMovie(const std::string& path, int frameToKeep)
{
    DecodedMovie movie;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return movie;
    avformat_find_stream_info(format, nullptr);
    const int videoStream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audioStream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    movie.hasAacAudio = audioStream >= 0 && format->streams[audioStream]->codecpar->codec_id == AV_CODEC_ID_AAC;
    const AVCodecParameters* parameters = format->streams[videoStream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, parameters);
    avcodec_open2(decoder, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            if (movie.videoFrames++ == frameToKeep) {
                movie.width = frame->width;
                movie.height = frame->height;
                movie.rgb.resize(std::size_t(frame->width) * frame->height * 3);
                SwsContext* scale = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                                   frame->width, frame->height, AV_PIX_FMT_RGB24, SWS_POINT,
                                                   nullptr, nullptr, nullptr);
                const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
                sws_setColorspaceDetails(scale, coefficients, 0, coefficients, 1, 0, 1 << 16, 1 << 16);
                std::uint8_t* planes[1] = {movie.rgb.data()};
                const int strides[1] = {frame->width * 3};
                sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, strides);
                sws_freeContext(scale);
            }
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == videoStream && avcodec_send_packet(decoder, packet) == 0)
            drain();
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return movie;
}

Rgba rgbAt(const DecodedMovie& movie, int x, int y)
{
    const std::uint8_t* p = &movie.rgb[(std::size_t(y) * movie.width + x) * 3];
    return {p[0], p[1], p[2], 255};
}

class MovieWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        documents_ = testsupport::freshDocuments();
        GfxContext::sharedFramebufferCache().resetCounters();
        saved_ = fnd::NotificationCenter::defaultCenter().addObserver(GfxMovieWriter::saveVideoNotification,
                                                                       [this](const fnd::Notification&) {
                                                                           ++savedNotifications_;
                                                                       });
    }
    void TearDown() override { EXPECT_EQ(GfxContext::sharedFramebufferCache().unbalancedUnlocks(), 0u); }

    std::filesystem::path documents_;
    fnd::NotificationCenter::Token saved_;
    int savedNotifications_ = 0;
};

TEST_F(MovieWriterTest, RecordsTheCameraWithItsOverlayAndSound)
{
    media::CaptureDevice::configure("synthetic", "synthetic");
    auto device = media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Video);
    device->setSyntheticCameraOptions({true, true, media::YCbCrMatrix::ITU_R_601_4});

    auto camera = GfxVideoCamera::create(media::CaptureSessionPreset352x288);
    ASSERT_TRUE(camera);
    auto brightness = std::make_shared<GfxBrightnessFilter>();
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    blend->setMix(1.0);
    // Clear overlay with an opaque square 32-95 from the top left.
    std::vector<Rgba> overlayPixels(352 * 288, Rgba{0, 0, 0, 0});
    for (int y = 32; y < 96; ++y)
        for (int x = 32; x < 96; ++x)
            overlayPixels[std::size_t(y * 352 + x)] = {250, 20, 20, 255};
    auto overlay = std::make_shared<GfxPicture>(imageFromColours(352, 288, overlayPixels));
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 176, 144});
    camera->addTarget(brightness);
    brightness->addTarget(blend);
    overlay->addTarget(blend);
    overlay->processImage();
    blend->addTarget(view);

    const auto path = documents_ / "Movie.m4v";
    auto writer = GfxMovieWriter::create(path, {352, 288});
    writer->setEncodingLiveVideo(false);
    camera->setAudioEncodingTarget(writer);
    EXPECT_TRUE(writer->hasAudioTrack());
    blend->addTarget(writer);
    writer->startRecording();
    camera->startCameraCapture();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return camera->isRunning(); }));

    const int offered = 30;
    for (int i = 0; i < offered; ++i) {
        RunLoop::main().advance(1.0 / 30);
        device->pushVideoFrame(solidImage(4, 4, {40, 120, 200, 255}));
        // Each frame reaches the writer before the next is offered; a writer that is still busy on a
        // loaded machine may drop one, so the movie must hold 90 % of what was offered.
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] { return writer->framesWritten() + writer->framesDropped() == std::size_t(i + 1); }, 60))
            << "frame " << i << " written " << writer->framesWritten() << " dropped " << writer->framesDropped();
    }
    EXPECT_LE(writer->framesDropped(), std::size_t(offered / 10));
    blend->removeTarget(writer);
    camera->setAudioEncodingTarget(nullptr);
    camera->stopCameraCapture();
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return savedNotifications_ == 1; }));
    EXPECT_EQ(writer->assetWriter()->status(), media::AssetWriterStatus::Completed);

    const DecodedMovie movie = decodeMovie(path.string(), 10);
    EXPECT_GE(movie.videoFrames, offered * 9 / 10);
    EXPECT_TRUE(movie.hasAacAudio);
    ASSERT_EQ(movie.width, 352);
    ASSERT_EQ(movie.height, 288);
    const auto near = [](Rgba got, Rgba want) {
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], want[i], 8) << "channel " << i;
    };
    near(rgbAt(movie, 64, 64), {250, 20, 20, 255});
    near(rgbAt(movie, 250, 200), {40, 120, 200, 255});
    near(rgbAt(movie, 64, 200), {40, 120, 200, 255});

    // A finished writer announces nothing more.
    writer->finishRecording();
    RunLoop::main().processEvents();
    EXPECT_EQ(savedNotifications_, 1);
}

TEST_F(MovieWriterTest, DroppedFramesGoBackToTheCache)
{
    auto& cache = GfxContext::sharedFramebufferCache();
    auto source = std::make_shared<TimedSource>(ui::Size{64, 48}, Rgba{10, 20, 30, 255});
    auto writer = GfxMovieWriter::create(documents_ / "Drops.m4v", {64, 48});
    source->addTarget(writer);
    writer->startRecording();
    // Indefinite and repeated times are not written; frames that find the
    // writer busy are dropped; every one of them is unlocked.
    for (int i = 1; i <= 20; ++i)
        source->push(frameTime(i));
    source->push(media::MediaTime::indefinite());
    source->push(frameTime(20));
    ASSERT_TRUE(
        RunLoop::main().runUntil([&] { return writer->framesWritten() + writer->framesDropped() == 22; }));
    source->removeTarget(writer);
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return savedNotifications_ == 1; }));
    RunLoop::main().processEvents();
    EXPECT_GE(writer->framesWritten(), 1u);
    EXPECT_EQ(cache.unbalancedUnlocks(), 0u);
    EXPECT_EQ(cache.doubleReturns(), 0u);
    // Nothing is still lent: a fetch of that size reuses an idle framebuffer.
    const auto created = cache.framebuffersCreated();
    auto again = cache.fetchFramebufferForSize({64, 48}, false);
    EXPECT_EQ(cache.framebuffersCreated(), created);
    again->unlock();
}

TEST_F(MovieWriterTest, AFrameOfferedWhileTheLastIsConvertedIsWrittenToo)
{
    auto source = std::make_shared<TimedSource>(ui::Size{64, 48}, Rgba{10, 20, 30, 255});
    auto writer = GfxMovieWriter::create(documents_ / "Queued.m4v", {64, 48});
    source->addTarget(writer);
    writer->startRecording();
    // The writer's queue is held, so every frame offered meanwhile is still in work: the second
    // waits for the first, the third is one too many.
    std::promise<void> release;
    runOnContextQueueAsync(writer->movieWriterContext(), [held = release.get_future().share()] { held.wait(); });
    for (int i = 1; i <= 3; ++i)
        source->push(frameTime(i));
    release.set_value();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return writer->framesWritten() + writer->framesDropped() == 3; }));
    EXPECT_EQ(writer->framesWritten(), 2u);
    EXPECT_EQ(writer->framesDropped(), 1u);
    source->removeTarget(writer);
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return savedNotifications_ == 1; }));
    EXPECT_EQ(decodeMovie((documents_ / "Queued.m4v").string(), 0).videoFrames, 2);
}

TEST_F(MovieWriterTest, TheAnnouncementOfAFinishedMovieDoesNotKeepItsWriter)
{
    // Were the announcement waiting in the main queue to hold the writer, a quit at that moment would end
    // the writer from the run loop's teardown at exit, after the layers it still uses are gone.
    auto source = std::make_shared<TimedSource>(ui::Size{64, 48}, Rgba{10, 20, 30, 255});
    auto writer = GfxMovieWriter::create(documents_ / "Announced.m4v", {64, 48});
    source->addTarget(writer);
    writer->startRecording();
    source->push(frameTime(1));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return writer->framesWritten() + writer->framesDropped() == 1; }));
    source->removeTarget(writer);
    const std::weak_ptr<GfxMovieWriter> weak = writer;
    long holdersWhileAnnounced = -1;
    const auto observer = fnd::NotificationCenter::defaultCenter().addObserver(
        GfxMovieWriter::saveVideoNotification, [&](const fnd::Notification&) {
            // The writer's own queue may still hold it for a moment after it posted the announcement.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (weak.use_count() > 1 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            holdersWhileAnnounced = weak.use_count();
        });
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return savedNotifications_ == 1; }));
    EXPECT_EQ(holdersWhileAnnounced, 1) << "only the test should hold the writer while its movie is announced";
}

TEST_F(MovieWriterTest, EachWriterGivesItsContextBackWhenItGoes)
{
    GfxContext::useImageProcessingContext();
    const int before = gl::Context::liveContexts();
    auto source = std::make_shared<TimedSource>(ui::Size{64, 48}, Rgba{10, 20, 30, 255});
    for (int i = 1; i <= 20; ++i) {
        auto writer = GfxMovieWriter::create(documents_ / ("Movie " + std::to_string(i) + ".m4v"), {64, 48});
        source->addTarget(writer);
        writer->startRecording();
        source->push(frameTime(1));
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return writer->framesWritten() + writer->framesDropped() == 1; }, 60));
        source->removeTarget(writer);
        writer->finishRecording();
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return savedNotifications_ == i; }, 60));
    }
    RunLoop::main().processEvents();
    // The writers are gone; their contexts go on their own threads. A context an earlier test left to its
    // ending thread may go meanwhile too, so the count may end below where it began.
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return gl::Context::liveContexts() <= before; }, 60))
        << gl::Context::liveContexts() - before << " contexts of 20 writers are still alive";
}

TEST_F(MovieWriterTest, AFailureIsReportedOnceAsSoonAsItHappens)
{
    std::vector<std::string> reported;
    const auto path = documents_ / "Taken.m4v";
    std::ofstream(path) << "in the way";
    auto refused = GfxMovieWriter::create(path, {64, 48});
    refused->setFailureBlock([&](const std::string& error) { reported.push_back(error); });
    refused->startRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return reported.size() == 1; }));
    EXPECT_NE(reported[0].find("already exists"), std::string::npos) << reported[0];

    // The file may not grow past 2 kB: writing fails as on a full disk, while frames still come.
    reported.clear();
    auto writer = GfxMovieWriter::create(documents_ / "Full.m4v", {64, 48});
    writer->setFailureBlock([&](const std::string& error) { reported.push_back(error); });
    auto source = std::make_shared<TimedSource>(ui::Size{64, 48}, Rgba{10, 20, 30, 255});
    source->addTarget(writer);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 2'000;
    setrlimit(RLIMIT_FSIZE, &limited);
    writer->startRecording();
    for (int i = 1; i <= 300 && reported.empty(); ++i) {
        source->push(frameTime(i));
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] { return writer->framesWritten() + writer->framesDropped() == std::size_t(i); }));
        RunLoop::main().processEvents();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("File too large"), std::string::npos) << reported[0];
    source->push(frameTime(301));
    source->removeTarget(writer);
    writer->finishRecording();
    RunLoop::main().processEvents();
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(savedNotifications_, 0);
}

TEST_F(MovieWriterTest, AWriterThatCannotMakeItsFileReportsAndAnnouncesNothing)
{
    const auto path = documents_ / "Taken.m4v";
    std::ofstream(path) << "in the way";
    auto writer = GfxMovieWriter::create(path, {64, 48});
    std::string reported;
    writer->setFailureBlock([&](const std::string& error) { reported = error.empty() ? "?" : error; });
    writer->startRecording();
    writer->finishRecording();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !reported.empty(); }));
    RunLoop::main().processEvents();
    EXPECT_EQ(savedNotifications_, 0);
}

}  // namespace
