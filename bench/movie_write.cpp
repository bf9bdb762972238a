// Movie writing: our writer (libavformat + libx264 on its encoding thread)
// against the ffmpeg command encoding the same frames with the same settings,
// as an anchor for what the machine can do.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/AssetWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace media;

constexpr int width = 640;
constexpr int height = 480;
constexpr int frames = 60;

// A frame of colour bars shifted by its index, BGRA.
std::vector<std::uint8_t> frameBytes(int index)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bytes.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            const int bar = ((x + index * 4) % width) * 8 / width;
            p[0] = static_cast<std::uint8_t>(bar & 1 ? 255 : 0);
            p[1] = static_cast<std::uint8_t>(bar & 2 ? 255 : 0);
            p[2] = static_cast<std::uint8_t>(bar & 4 ? 255 : 0);
            p[3] = 255;
        }
    return bytes;
}

fs::path scratch(const std::string& name) { return fs::temp_directory_path() / ("norvale-bench-" + name); }

void BM_AssetWriter(benchmark::State& state)
{
    std::vector<std::vector<std::uint8_t>> source;
    for (int i = 0; i < frames; ++i)
        source.push_back(frameBytes(i));
    const fs::path path = scratch("writer.mov");
    for (auto _ : state) {
        fs::remove(path);
        auto writer = AssetWriter::create(path, FileType::QuickTimeMovie);
        writer->setMovieFragmentInterval(MediaTime::make(1, 1));
        auto input = AssetWriterInput::createVideo({width, height});
        auto adaptor = AssetWriterInputPixelBufferAdaptor::create(input, {PixelFormat::BGRA32, width, height});
        writer->addInput(input);
        writer->startWriting();
        writer->startSessionAtSourceTime(MediaTime::zero());
        for (int i = 0; i < frames; ++i) {
            while (!input->isReadyForMoreMediaData())
                std::this_thread::yield();
            auto pixels = adaptor->pixelBufferPool()->createPixelBuffer();
            pixels->lockBaseAddress();
            for (int y = 0; y < height; ++y)
                std::copy_n(source[static_cast<std::size_t>(i)].data() + static_cast<std::size_t>(y) * width * 4,
                            width * 4, pixels->baseAddress() + y * pixels->bytesPerRow());
            pixels->unlockBaseAddress();
            adaptor->appendPixelBuffer(pixels, MediaTime::make(i, 30));
        }
        std::promise<void> done;
        writer->finishWritingWithCompletionHandler([&] { done.set_value(); });
        done.get_future().wait();
    }
    state.SetItemsProcessed(state.iterations() * frames);
    fs::remove(path);
}
BENCHMARK(BM_AssetWriter)->Unit(benchmark::kMillisecond);

void BM_FfmpegCommandAnchor(benchmark::State& state)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("no ffmpeg command");
        return;
    }
    const fs::path raw = scratch("frames.bgra");
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < frames; ++i) {
            const auto bytes = frameBytes(i);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    const fs::path path = scratch("anchor.mov");
    const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(width) +
                                "x" + std::to_string(height) + " -r 30 -i " + raw.string() +
                                " -c:v libx264 -pix_fmt yuv420p -preset veryfast -tune zerolatency -threads 2 -g 30 "
                                "-movflags +empty_moov+default_base_moof -frag_duration 1000000 -f mov " +
                                path.string();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * frames);
    fs::remove(raw);
    fs::remove(path);
}
BENCHMARK(BM_FfmpegCommandAnchor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
