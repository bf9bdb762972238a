#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <csignal>
#include <fstream>
#include <thread>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AssetWriter.h"
#include "platform/media/MovieReader.h"
#include "support/TestSupport.h"

namespace {

using namespace media;
namespace fs = std::filesystem;
using fnd::RunLoop;
using movietest::countTopLevelBoxes;
using movietest::MovieReader;

constexpr int width = 352;
constexpr int height = 288;
constexpr std::array<std::uint8_t, 3> colour{200, 90, 40};  // red, green, blue
const MediaTime sessionStart = MediaTime::make(1000'000'000'000, 1'000'000'000);

struct Movie {
    std::shared_ptr<AssetWriter> writer;
    std::shared_ptr<AssetWriterInput> video;
    std::shared_ptr<AssetWriterInput> audio;
    std::shared_ptr<AssetWriterInputPixelBufferAdaptor> adaptor;
};

Movie makeMovie(const fs::path& path)
{
    Movie m;
    m.writer = AssetWriter::create(path, FileType::QuickTimeMovie);
    if (!m.writer)
        return m;
    m.writer->setMovieFragmentInterval(MediaTime::make(1000, 1000));
    m.video = AssetWriterInput::createVideo({width, height});
    m.audio = AssetWriterInput::createAudio(AudioSettings{44100, 1, 64000});
    m.video->setExpectsMediaDataInRealTime(true);
    m.audio->setExpectsMediaDataInRealTime(true);
    m.adaptor = AssetWriterInputPixelBufferAdaptor::create(m.video, {PixelFormat::BGRA32, width, height});
    m.writer->addInput(m.video);
    m.writer->addInput(m.audio);
    return m;
}

bool appendFrame(Movie& m, MediaTime time)
{
    if (!RunLoop::main().runUntil([&] { return m.video->isReadyForMoreMediaData(); }))
        return false;
    const auto pixels = m.adaptor->pixelBufferPool()->createPixelBuffer();
    pixels->lockBaseAddress();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels->baseAddress() + y * pixels->bytesPerRow();
        for (int x = 0; x < width; ++x) {
            row[4 * x] = colour[2];
            row[4 * x + 1] = colour[1];
            row[4 * x + 2] = colour[0];
            row[4 * x + 3] = 255;
        }
    }
    pixels->unlockBaseAddress();
    return m.adaptor->appendPixelBuffer(pixels, time);
}

bool appendAudio(Movie& m, std::int64_t firstSample, int count)
{
    if (!RunLoop::main().runUntil([&] { return m.audio->isReadyForMoreMediaData(); }))
        return false;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(6000 * std::sin(2 * M_PI * 440 * (firstSample + i) / 44100.0));
    const MediaTime time = sessionStart + MediaTime::make(firstSample, 44100);
    return m.audio->appendSampleBuffer(SampleBuffer::makeAudio(std::move(samples), 44100, time));
}

// Appends `seconds` of flat-coloured 30 fps video with a tone from the session's start.
void appendMedia(Movie& m, double seconds)
{
    const int frames = static_cast<int>(std::lround(seconds * 30));
    std::int64_t samples = 0;
    for (int i = 0; i < frames; ++i) {
        const MediaTime time = sessionStart + MediaTime::make(i, 30);
        ASSERT_TRUE(appendFrame(m, time));
        while (samples < std::llround((i + 1) * 44100.0 / 30)) {
            ASSERT_TRUE(appendAudio(m, samples, 1024));
            samples += 1024;
        }
    }
}

void finishMovie(Movie& m, std::thread::id* completionThread = nullptr)
{
    std::atomic<bool> done = false;  // set on the writer's queue
    std::thread::id thread;
    m.writer->finishWritingWithCompletionHandler([&] {
        thread = std::this_thread::get_id();
        done = true;
    });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return done.load(); }, 60));
    if (completionThread)
        *completionThread = thread;
}

// Writes `seconds` of media; returns once finished.
void writeMovie(Movie& m, double seconds, std::thread::id* completionThread = nullptr)
{
    ASSERT_TRUE(m.writer->startWriting()) << m.writer->error();
    m.writer->startSessionAtSourceTime(sessionStart);
    m.writer->startSessionAtSourceTime(sessionStart + MediaTime::make(1, 2));  // ignored
    appendMedia(m, seconds);
    finishMovie(m, completionThread);
}

fs::path copyOf(const fs::path& path, const std::string& name)
{
    const fs::path copy = path.parent_path() / name;
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing);
    return copy;
}

TEST(AssetWriter, WritesAFragmentedQuickTimeMovieWithH264AndMonoAac)
{
    const fs::path path = testsupport::freshDocuments() / "Movie.m4v";
    Movie m = makeMovie(path);
    ASSERT_TRUE(m.writer);
    EXPECT_FALSE(m.adaptor->pixelBufferPool());  // no pool before writing starts
    std::thread::id completionThread;
    writeMovie(m, 2.0, &completionThread);
    ASSERT_EQ(m.writer->status(), AssetWriterStatus::Completed) << m.writer->error();
    EXPECT_NE(completionThread, std::this_thread::get_id());
    EXPECT_FALSE(m.video->isReadyForMoreMediaData());

    MovieReader reader(path);
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.majorBrand(), "qt  ");
    EXPECT_EQ(reader.video()->codec_id, AV_CODEC_ID_H264);
    EXPECT_EQ(reader.video()->width, width);
    EXPECT_EQ(reader.video()->height, height);
    EXPECT_EQ(reader.video()->color_primaries, AVCOL_PRI_BT709);
    EXPECT_EQ(reader.video()->color_trc, AVCOL_TRC_BT709);
    EXPECT_EQ(reader.video()->color_space, AVCOL_SPC_SMPTE170M);
    ASSERT_TRUE(reader.audio());
    EXPECT_EQ(reader.audio()->codec_id, AV_CODEC_ID_AAC);
    EXPECT_EQ(reader.audio()->ch_layout.nb_channels, 1);
    EXPECT_EQ(reader.audio()->sample_rate, 44100);
    EXPECT_NEAR(static_cast<double>(reader.audio()->bit_rate), 64000, 8000);
    EXPECT_NEAR(reader.format->duration / static_cast<double>(AV_TIME_BASE), 2.0, 0.1);
    EXPECT_GE(countTopLevelBoxes(path, "moof"), 2);

    std::array<int, 3> centre{};
    const double last = reader.decodeAll(&centre);
    // The second session start was ignored: the last frame is near 2 s (all
    // tracks may start later by the AAC encoder's priming of 1024 samples).
    EXPECT_NEAR(last, 59.0 / 30 + 1024.0 / 44100 / 2, 0.015);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(centre[static_cast<std::size_t>(i)], colour[static_cast<std::size_t>(i)], 6) << "channel " << i;

    // A copy cut at 70 % still plays up to its last whole fragment.
    const fs::path cut = path.parent_path() / "Cut.mov";
    {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(bytes.size() * 7 / 10);
        std::ofstream(cut, std::ios::binary) << bytes;
    }
    MovieReader cutReader(cut);
    ASSERT_TRUE(cutReader.isOpen());
    EXPECT_GE(cutReader.decodeAll(), 1.0 - 1.0 / 30 - 0.001);
}

TEST(AssetWriter, AMovieLeftUnfinishedPlaysFromItsHeaderToItsLastClosedFragment)
{
    const fs::path path = testsupport::freshDocuments() / "Movie.m4v";
    Movie m = makeMovie(path);
    ASSERT_TRUE(m.writer->startWriting());
    // The header is on disk before anything is recorded.
    EXPECT_EQ(countTopLevelBoxes(path, "moov"), 1);
    m.writer->startSessionAtSourceTime(sessionStart);
    appendMedia(m, 3.5);
    // The fragments of seconds 0-1, 1-2 and 2-3 are closed; nothing is finished, as when the
    // program is killed: what is on disk plays up to the last of them.
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return countTopLevelBoxes(path, "moof") >= 3; }, 30))
        << fs::file_size(path) << " bytes on disk";
    MovieReader killed(copyOf(path, "Killed.m4v"));
    ASSERT_TRUE(killed.isOpen());
    EXPECT_GE(killed.decodeAll(), 3.0 - 1.0 / 30 - 0.001);
    finishMovie(m);
    EXPECT_EQ(m.writer->status(), AssetWriterStatus::Completed);
}

// A frame of `colour` as NV12: BT.601 video range (Y 117, Cb 90, Cr 180) or full range (117, 84, 187).
std::shared_ptr<PixelBuffer> nv12Frame(PixelFormat format, int frameWidth, int frameHeight)
{
    const bool video = format == PixelFormat::NV12VideoRange;
    auto pixels = PixelBuffer::create(frameWidth, frameHeight, format);
    pixels->lockBaseAddress();
    for (int y = 0; y < frameHeight; ++y)
        std::fill_n(pixels->baseAddressOfPlane(0) + pixels->bytesPerRowOfPlane(0) * std::size_t(y), frameWidth, 117);
    for (int y = 0; y < pixels->heightOfPlane(1); ++y) {
        std::uint8_t* row = pixels->baseAddressOfPlane(1) + pixels->bytesPerRowOfPlane(1) * std::size_t(y);
        for (int x = 0; x < frameWidth / 2; ++x) {
            row[2 * x] = video ? 90 : 84;
            row[2 * x + 1] = video ? 180 : 187;
        }
    }
    pixels->unlockBaseAddress();
    return pixels;
}

TEST(AssetWriter, Nv12FramesKeepTheirColourAtTheMoviesSizeAndScaledToIt)
{
    struct Case {
        PixelFormat format;
        int width, height;
    };
    for (const Case c : {Case{PixelFormat::NV12VideoRange, width, height}, Case{PixelFormat::NV12FullRange, 176, 144}}) {
        const fs::path path = testsupport::freshDocuments() / "Planes.m4v";
        auto writer = AssetWriter::create(path, FileType::QuickTimeMovie);
        auto video = AssetWriterInput::createVideo({width, height});
        auto adaptor = AssetWriterInputPixelBufferAdaptor::create(video, {PixelFormat::NV12VideoRange, width, height});
        writer->addInput(video);
        ASSERT_TRUE(writer->startWriting()) << writer->error();
        writer->startSessionAtSourceTime(MediaTime::zero());
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(RunLoop::main().runUntil([&] { return video->isReadyForMoreMediaData(); }));
            ASSERT_TRUE(adaptor->appendPixelBuffer(nv12Frame(c.format, c.width, c.height), MediaTime::make(i, 30)));
        }
        Movie m{writer, video, nullptr, adaptor};
        finishMovie(m);
        ASSERT_EQ(writer->status(), AssetWriterStatus::Completed) << writer->error();

        MovieReader reader(path);
        ASSERT_TRUE(reader.isOpen());
        EXPECT_EQ(reader.video()->width, width);
        std::array<int, 3> centre{};
        reader.decodeAll(&centre);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(centre[i], colour[i], 6) << "channel " << i << " from " << c.width << "x" << c.height;
    }
}

TEST(AssetWriter, RefusesAnExistingFileAndItemsOutOfOrder)
{
    const fs::path folder = testsupport::freshDocuments();
    std::ofstream(folder / "Movie.m4v") << "old";
    std::string error;
    EXPECT_FALSE(AssetWriter::create(folder / "Movie.m4v", FileType::QuickTimeMovie, &error));
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
    EXPECT_FALSE(AssetWriter::create(folder / "missing" / "Movie.m4v", FileType::QuickTimeMovie, &error));

    Movie m = makeMovie(folder / "Order.mov");
    EXPECT_FALSE(m.writer->canAddInput(AssetWriterInput::createVideo({64, 64})));  // one track per kind
    ASSERT_TRUE(m.writer->startWriting());
    EXPECT_FALSE(appendFrame(m, sessionStart));  // no session yet
    m.writer->startSessionAtSourceTime(sessionStart);
    EXPECT_TRUE(appendFrame(m, sessionStart - MediaTime::make(1, 30)));  // before the start: dropped
    EXPECT_TRUE(appendFrame(m, sessionStart));
    EXPECT_FALSE(appendFrame(m, sessionStart));  // the same time again
    EXPECT_FALSE(appendFrame(m, MediaTime::indefinite()));

    m.writer->cancelWriting();
    EXPECT_EQ(m.writer->status(), AssetWriterStatus::Cancelled);
    EXPECT_FALSE(fs::exists(folder / "Order.mov"));
    EXPECT_FALSE(m.video->isReadyForMoreMediaData());
    std::atomic<bool> called = false;
    m.writer->finishWritingWithCompletionHandler([&] { called = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return called.load(); }));
    EXPECT_EQ(m.writer->status(), AssetWriterStatus::Cancelled);
}

TEST(AssetWriter, AWriterLetGoWhileWritingClosesItsFileOnItsOwnThread)
{
    const fs::path path = testsupport::freshDocuments() / "Dropped.mov";
    {
        Movie m = makeMovie(path);
        ASSERT_TRUE(m.writer->startWriting());
        m.writer->startSessionAtSourceTime(sessionStart);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(appendFrame(m, sessionStart + MediaTime::make(i, 30)));
    }
    EXPECT_TRUE(fs::exists(path));
    EXPECT_GT(fs::file_size(path), 0u);
}

TEST(AssetWriter, AFullDiskFailsTheWriterWithAMessage)
{
    const fs::path path = testsupport::freshDocuments() / "Full.mov";
    Movie m = makeMovie(path);
    // The file may not grow past 20 kB: writes beyond fail as on a full disk.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 20'000;
    setrlimit(RLIMIT_FSIZE, &limited);
    ASSERT_TRUE(m.writer->startWriting());
    m.writer->startSessionAtSourceTime(sessionStart);
    int i = 0;
    for (; i < 300 && m.writer->status() == AssetWriterStatus::Writing; ++i) {
        if (!appendFrame(m, sessionStart + MediaTime::make(i, 30)))
            break;
        appendAudio(m, i * 1470, 1470);
    }
    std::atomic<bool> done = false;
    m.writer->finishWritingWithCompletionHandler([&] { done = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return done.load(); }, 60));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(m.writer->status(), AssetWriterStatus::Failed);
    EXPECT_FALSE(m.writer->error().empty());
    EXPECT_FALSE(m.video->isReadyForMoreMediaData());
}

}  // namespace
