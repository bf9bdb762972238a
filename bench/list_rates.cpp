// The sensor list's refresh rate: 20 rows polling the adapter simulator at 25 ms per reply through the
// real link, on the real clock. Reports the values delivered per second, the rows updated per second and
// the process's CPU time per second of wall time.

#include <benchmark/benchmark.h>

#include "PlatformBenchMain.h"

#include <sys/resource.h>

#include <algorithm>
#include <memory>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "elmsim/lib/Simulator.h"
#include "logging/ListViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/RootWindow.h"

namespace {

constexpr double kRunSeconds = 5.0;
// Service-01 PIDs the simulator answers.
constexpr int kPids[] = {0x04, 0x05, 0x06, 0x07, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,
                         0x11, 0x1F, 0x2F, 0x33, 0x46, 0x5C, 0x08, 0x09, 0x0A, 0x2C};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the rows whose shown number changed, sampled at every animation step.
struct RowWatcher {
    ListViewController& list;
    std::vector<std::string> last = std::vector<std::string>(20);
    long changes = 0;
    void sample()
    {
        for (int r = 0; r < list.gaugeCount(); ++r) {
            GaugeCell* cell = list.cellForRow(r);
            if (cell && cell->valLabel().text() != last[static_cast<std::size_t>(r)]) {
                last[static_cast<std::size_t>(r)] = cell->valLabel().text();
                ++changes;
            }
        }
    }
};

void BM_ListPollingRates(benchmark::State& state)
{
    elmsim::Simulator sim;
    sim.start();
    sim.setLatency(0.025);
    LinkSettings settings;
    settings.adapter = {"127.0.0.1", sim.port()};
    const auto link = Scanner::ScannerForMode(0, settings);
    link->connect();
    fnd::RunLoop::main().runUntil([&] { return link->isConnected(); }, 20);

    const auto& pidArr = DataStore::sharedDataStore().pidArr;
    auto& rows = Manager::sharedManager().setting().gaugeListArr;
    rows.clear();
    for (int pid : kPids)
        rows.push_back(static_cast<int>(std::find(pidArr.begin(), pidArr.end(), pid) - pidArr.begin()));
    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
    ui::RootWindow root(ui::Device::current().screenSize());
    auto list = std::make_shared<ListViewController>();
    list->setScanner(link);
    root.setRootViewController(list);

    for (auto _ : state) {
        RowWatcher watcher{*list};
        auto sampler = fnd::Timer::scheduled(0.05, true, [&](fnd::Timer&) { watcher.sample(); });
        sim.clearRequests();
        const double cpuBefore = cpuSeconds();
        fnd::after(kRunSeconds, [] { fnd::RunLoop::main().quit(); });
        fnd::RunLoop::main().exec();
        const double cpu = cpuSeconds() - cpuBefore;
        sampler->invalidate();
        state.counters["values_per_s"] = static_cast<double>(sim.requests().size()) / kRunSeconds;
        state.counters["row_changes_per_s"] = static_cast<double>(watcher.changes) / kRunSeconds;
        state.counters["cpu_s_per_s"] = cpu / kRunSeconds;
    }
    root.setRootViewController(nullptr);
    link->disconnect();
    sim.stop();
}

BENCHMARK(BM_ListPollingRates)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    return runPlatformBenchmarks(argc, argv, "norvale-bench-list-rates");
}
