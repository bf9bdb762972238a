// Memory of an hour's recording to the single CSV file: four charts taking ten values a second each,
// on the manual clock. Reports the heap the recording holds at its end against its start, the most
// rows held in memory at once, and the rows and bytes in the file (checked against the rows recorded).

#include <benchmark/benchmark.h>

#include "PlatformBenchMain.h"

#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/model/Manager.h"
#include "logging/Recording.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kSeconds = 3600;
constexpr int kRoundsPerSecond = 10;

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void BM_HourOfRecording(benchmark::State& state)
{
    fnd::RunLoop::main().useManualClock();
    Settings& settings = Manager::sharedManager().setting();
    settings.loggerInterface = 0;
    settings.logFormat = 0;
    settings.loggerDelay = 0;
    settings.loggerTimeStamp = true;
    for (auto _ : state) {
        auto recording = std::make_unique<Recording>(
            std::vector<std::string>{"Engine speed", "Vehicle speed", "Coolant", "Boost"},
            std::vector<std::string>{"rpm", "km/h", "°C", "bar"}, Recording::Events{});
        const std::size_t heapAtStart = heapInUse();
        std::size_t mostRows = 0;
        long rounds = 0;
        for (int second = 0; second < kSeconds; ++second) {
            for (int round = 0; round < kRoundsPerSecond; ++round, ++rounds) {
                for (int chart = 0; chart < 4; ++chart)
                    recording->record(chart, static_cast<float>(rounds % 5000) + 0.25f * static_cast<float>(chart));
                mostRows = std::max(mostRows, recording->rowsInMemory());
                fnd::RunLoop::main().advance(1.0 / kRoundsPerSecond);
            }
        }
        const std::size_t heapAtEnd = heapInUse();
        const auto files = recording->finish();
        if (files.saved.size() != 1) {
            state.SkipWithError("the file was not written");
            return;
        }
        const std::string text = fnd::readFile(files.saved[0].path).value_or("");
        // A title line and a header, then one row per round (the last closed at the end).
        const auto rows = std::count(text.begin(), text.end(), '\n') - 2;
        if (rows != rounds) {
            state.SkipWithError("the file does not hold a row per round");
            return;
        }
        state.counters["heap_growth_KB"] =
            static_cast<double>(heapAtEnd > heapAtStart ? heapAtEnd - heapAtStart : 0) / 1024.0;
        state.counters["most_rows_in_memory"] = static_cast<double>(mostRows);
        state.counters["file_rows"] = static_cast<double>(rows);
        state.counters["file_MB"] = static_cast<double>(text.size()) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_HourOfRecording)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    return runPlatformBenchmarks(argc, argv, "norvale-recording-memory-bench");
}
