// The dash camera's image pipeline: camera frames -> brightness -> alpha blend
// with an overlay whose changed part is uploaded for every frame -> on-screen view, with and
// without the movie writer (H.264 + AAC), beside the ffmpeg command doing
// the same overlay and libx264 encode on the same frames (its frame count checked).
//
// Frames are 352 x 288 by default (CI's smoke run); NORVALE_BENCH_SIZE=1280x720
// measures at the dash camera's usual size.
#include <benchmark/benchmark.h>

#include <GLES2/gl2.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "imaging/GfxAlphaBlendFilter.h"
#include "imaging/GfxBrightnessFilter.h"
#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/CaptureDevice.h"

namespace {

namespace fs = std::filesystem;

int width = 352;
int height = 288;
constexpr int frames = 60;
// Each case runs once unmeasured first, so that shader compilation, the encoder's first start and a cold
// page cache (ours or the anchor's) don't count as frame work; every measured run still makes, fills and
// finishes its own movie.
constexpr double warmUpSeconds = 0.5;
// A single movie's figure swings with the machine; several in a row, on both sides, give a steadier one.
constexpr double measureSeconds = 2.0;

fs::path scratch(const std::string& name)
{
    return fs::temp_directory_path() / ("norvale-bench-" + name);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Moving bars in full-range NV12.
std::shared_ptr<media::PixelBuffer> cameraFrame(int index)
{
    auto pixels = media::PixelBuffer::create(width, height, media::PixelFormat::NV12FullRange);
    pixels->lockBaseAddress();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels->baseAddressOfPlane(0) + pixels->bytesPerRowOfPlane(0) * std::size_t(y);
        for (int x = 0; x < width; ++x)
            row[x] = std::uint8_t(((x + index * 4) % width) * 255 / width);
    }
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* row = pixels->baseAddressOfPlane(1) + pixels->bytesPerRowOfPlane(1) * std::size_t(y);
        for (int x = 0; x < width / 2; ++x) {
            row[x * 2] = std::uint8_t(64 + (x * 128) / (width / 2));
            row[x * 2 + 1] = std::uint8_t(192 - (y * 128) / (height / 2));
        }
    }
    pixels->unlockBaseAddress();
    return pixels;
}

// The overlay: mostly clear, an opaque box in the lower left whose colour
// changes with every frame, as the dash camera's gauges do.
struct Box {
    int x, y, width, height;
};

Box overlayBox()
{
    return {0, height * 2 / 3, width / 3, height - height * 2 / 3};
}

std::vector<std::uint8_t> boxBytes(int index)
{
    const Box box = overlayBox();
    std::vector<std::uint8_t> bytes(std::size_t(box.width) * box.height * 4);
    for (std::size_t p = 0; p < bytes.size(); p += 4) {
        bytes[p] = std::uint8_t(index * 4);
        bytes[p + 1] = 200;
        bytes[p + 2] = 40;
        bytes[p + 3] = 255;
    }
    return bytes;
}

std::vector<std::uint8_t> overlayBytes(int index)
{
    const Box box = overlayBox();
    const auto inBox = boxBytes(index);
    const std::size_t boxRow = std::size_t(box.width) * 4;
    std::vector<std::uint8_t> bytes(std::size_t(width) * height * 4, 0);
    for (int y = 0; y < box.height; ++y)
        std::copy_n(inBox.begin() + std::ptrdiff_t(boxRow * y), boxRow,
                    bytes.begin() + std::ptrdiff_t((std::size_t(box.y + y) * width + box.x) * 4));
    return bytes;
}

// Keeps its texture from frame to frame and uploads only the part that
// changed, as the dash camera's overlay does with its changed tiles.
class OverlaySource : public GfxOutput {
public:
    ~OverlaySource() override
    {
        if (texture_)
            texture_->unlock();
    }

    void render(int index)
    {
        const ui::Size size{double(width), double(height)};
        if (!texture_) {
            texture_ = GfxContext::sharedFramebufferCache().fetchFramebufferForSize(size, true);
            texture_->uploadRGBA(overlayBytes(index).data(), width, height);
        } else {
            const Box box = overlayBox();
            glBindTexture(GL_TEXTURE_2D, texture_->texture());
            glTexSubImage2D(GL_TEXTURE_2D, 0, box.x, box.y, box.width, box.height, GL_RGBA, GL_UNSIGNED_BYTE,
                            boxBytes(index).data());
        }
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            targets_[i]->setInputSize(size, targetTextureIndices_[i]);
            targets_[i]->setInputFramebuffer(texture_, targetTextureIndices_[i]);
        }
        for (std::size_t i = 0; i < targets_.size(); ++i)
            targets_[i]->newFrameReadyAtTime(media::MediaTime::indefinite(), targetTextureIndices_[i]);
    }

private:
    std::shared_ptr<GfxFramebuffer> texture_;  // locked while kept
};

enum class Writer { None, EveryFrame, Live };

void runPipeline(benchmark::State& state, Writer mode)
{
    media::CaptureDevice::configure("synthetic", "none");
    std::vector<std::shared_ptr<media::PixelBuffer>> source;
    for (int i = 0; i < frames; ++i)
        source.push_back(cameraFrame(i));
    auto camera = GfxVideoCamera::create(media::CaptureSessionPreset352x288);
    auto brightness = std::make_shared<GfxBrightnessFilter>();
    auto blend = std::make_shared<GfxAlphaBlendFilter>();
    blend->setMix(1.0);
    auto overlay = std::make_shared<OverlaySource>();
    auto view = std::make_shared<GfxView>(ui::Rect{0, 0, 375, 667});
    camera->addTarget(brightness);
    brightness->addTarget(blend);
    overlay->addTarget(blend);
    blend->addTarget(view);
    int overlayIndex = 0;
    brightness->setFrameProcessingCompletionBlock(
        [&](GfxOutput&, media::MediaTime) { overlay->render(overlayIndex++); });

    std::size_t written = 0;
    std::size_t dropped = 0;
    double cpu = 0;
    std::int64_t stamp = 0;
    const fs::path path = scratch("pipeline.mov");
    for (auto _ : state) {
        fs::remove(path);
        std::shared_ptr<GfxMovieWriter> writer;
        if (mode != Writer::None) {
            writer = GfxMovieWriter::create(path, {double(width), double(height)});
            writer->setEncodingLiveVideo(mode == Writer::Live);
            writer->setHasAudioTrack(true);
            blend->addTarget(writer);
            writer->startRecording();
        }
        const double cpuBefore = cpuSeconds();
        for (int i = 0; i < frames; ++i) {
            const media::MediaTime time = media::MediaTime::make(stamp++, 30);
            camera->processVideoSampleBuffer(media::SampleBuffer::makeVideo(source[std::size_t(i)], time));
            if (writer) {
                // A second of sound per 30 frames, in 1024-sample buffers.
                if (i % 30 == 0) {
                    for (int k = 0; k < 43; ++k)
                        writer->processAudioBuffer(media::SampleBuffer::makeAudio(
                            std::vector<std::int16_t>(1024, std::int16_t(k * 100)), 44100,
                            time + media::MediaTime::make(k * 1024, 44100)));
                }
                // Every frame is written: the next is offered once the writer has room for it,
                // unless recording live, where the writer drops what it cannot take.
                while (mode == Writer::EveryFrame && writer->framesWritten() + writer->framesDropped() +
                                                             GfxMovieWriter::maximumFramesInWork <
                                                         std::size_t(i + 2)) {
                    fnd::RunLoop::main().processEvents();
                    // The writer posts nothing to wait on; spinning would take a core from it.
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                }
            }
            fnd::RunLoop::main().processEvents();
        }
        GfxContext::useImageProcessingContext();
        glFinish();
        if (writer) {
            blend->removeTarget(writer);
            writer->finishRecording();
            const bool finished = fnd::RunLoop::main().runUntil([&] {
                return writer->framesWritten() + writer->framesDropped() == std::size_t(frames) &&
                       writer->assetWriter()->status() != media::AssetWriterStatus::Writing;
            }, 60);
            if (!finished) {
                state.SkipWithError("the writer did not finish the movie");
                break;
            }
            written += writer->framesWritten();
            dropped += writer->framesDropped();
        }
        cpu += cpuSeconds() - cpuBefore;
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["fps"] = benchmark::Counter(double(state.iterations() * frames), benchmark::Counter::kIsRate);
    state.counters["cpu_s_per_frame"] = cpu / double(state.iterations() * frames);
    if (mode != Writer::None) {
        state.counters["dropped"] = double(dropped);
        state.counters["written_fps"] = benchmark::Counter(double(written), benchmark::Counter::kIsRate);
    }
    fs::remove(path);
}

void BM_PipelineGlOnly(benchmark::State& state)
{
    runPipeline(state, Writer::None);
}
BENCHMARK(BM_PipelineGlOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(warmUpSeconds)->MinTime(measureSeconds);

void BM_PipelineWithWriter(benchmark::State& state)
{
    runPipeline(state, Writer::EveryFrame);
}
BENCHMARK(BM_PipelineWithWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(warmUpSeconds)->MinTime(measureSeconds);

void BM_PipelineWithLiveWriter(benchmark::State& state)
{
    runPipeline(state, Writer::Live);
}
BENCHMARK(BM_PipelineWithLiveWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(warmUpSeconds)->MinTime(measureSeconds);

// The video frames in a movie, as ffprobe counts them; -1 when it cannot.
int videoFrameCount(const fs::path& movie)
{
    const std::string command = "ffprobe -v error -select_streams v:0 -count_packets -show_entries "
                                "stream=nb_read_packets -of csv=p=0 " + movie.string();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    int count = -1;
    if (std::fscanf(pipe, "%d", &count) != 1)
        count = -1;
    pclose(pipe);
    return count;
}

// The same frames through the ffmpeg command: NV12 in, the one overlay frame
// laid over every camera frame (repeated after its end), libx264 and AAC out.
// The output's frame count is checked, so the anchor cannot stop early.
void BM_FfmpegOverlayAnchor(benchmark::State& state)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("no ffmpeg command");
        return;
    }
    const fs::path raw = scratch("frames.nv12");
    const fs::path overlay = scratch("overlay.rgba");
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < frames; ++i) {
            auto pixels = cameraFrame(i);
            pixels->lockBaseAddress();
            for (int plane = 0; plane < 2; ++plane)
                for (int y = 0; y < pixels->heightOfPlane(plane); ++y)
                    out.write(reinterpret_cast<const char*>(pixels->baseAddressOfPlane(plane) +
                                                            pixels->bytesPerRowOfPlane(plane) * std::size_t(y)),
                              width);
            pixels->unlockBaseAddress();
        }
        const auto bytes = overlayBytes(0);
        std::ofstream(overlay, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const fs::path path = scratch("anchor.mov");
    const std::string command =
        "ffmpeg -loglevel error -y -f rawvideo -pix_fmt nv12 -s " + size + " -r 30 -i " + raw.string() +
        " -f rawvideo -pix_fmt rgba -s " + size + " -i " + overlay.string() +
        " -f lavfi -i sine=frequency=440:sample_rate=44100 -filter_complex \"[0:v][1:v]overlay=eof_action=repeat\" "
        "-c:v libx264 -pix_fmt yuv420p -preset veryfast -tune zerolatency -g 30 -c:a aac -b:a 64k -ac 1 -shortest "
        "-movflags +empty_moov+default_base_moof -frag_duration 1000000 -f mov " +
        path.string();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
        state.PauseTiming();
        const int encoded = videoFrameCount(path);
        state.ResumeTiming();
        if (encoded != frames) {
            state.SkipWithError(("the anchor encoded " + std::to_string(encoded) + " frames, not all").c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["fps"] = benchmark::Counter(double(state.iterations() * frames), benchmark::Counter::kIsRate);
    fs::remove(raw);
    fs::remove(overlay);
    fs::remove(path);
}
BENCHMARK(BM_FfmpegOverlayAnchor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(warmUpSeconds)->MinTime(measureSeconds);

}  // namespace

int main(int argc, char** argv)
{
    if (const char* size = std::getenv("NORVALE_BENCH_SIZE"))
        std::sscanf(size, "%dx%d", &width, &height);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    fnd::initPlatform(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
