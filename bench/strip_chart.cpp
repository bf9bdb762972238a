// The strip chart's data pass, the logging screen's hot path: four charts of 1,300 segments each (a pad's
// logging screen full of charts), against the same points drawn as one plain polyline per chart through
// the same drawing context.

#include <benchmark/benchmark.h>

#include "PlatformBenchMain.h"

#include <cmath>
#include <memory>
#include <vector>

#include "logging/GraphView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Path.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kCharts = 4;
constexpr int kSegments = 1300;
constexpr double kWidth = kSegments + 40;  // newest sample at W - 30, oldest at the plot's left edge 10
constexpr double kHeight = 240;
constexpr double kScale = 2;

float sample(int chart, int i)
{
    return static_cast<float>(2500 + 1500 * std::sin(i / (9.0 + chart)) + 200 * std::sin(i / 2.3));
}

struct Screen {
    std::vector<std::shared_ptr<GraphView>> charts;
    ui::BitmapContext context{{kWidth, kHeight * kCharts}, kScale};

    Screen()
    {
        ui::Device::current().setScale(kScale);
        ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
        for (int c = 0; c < kCharts; ++c) {
            auto chart = std::make_shared<GraphView>(ui::makeRect(0, 0, kWidth, kHeight), 0, c);
            chart->setChartSettings({.plotSpacing = 1, .scrollGraphCount = 2});
            chart->updateLabel("Engine speed", "rpm", 0, 8000);
            chart->adjustLabels();
            chart->takeSnapshot();
            for (int i = 0; i <= kSegments; ++i)
                chart->setVal(sample(c, i), false);
            charts.push_back(chart);
        }
    }
};

Screen& screen()
{
    static Screen shared;
    return shared;
}

void BM_StripChartsDataPass(benchmark::State& state)
{
    Screen& s = screen();
    for (auto _ : state) {
        for (int c = 0; c < kCharts; ++c) {
            s.context.save();
            s.context.translate(0, c * kHeight);
            s.charts[static_cast<std::size_t>(c)]->draw(s.context, s.charts[static_cast<std::size_t>(c)]->bounds());
            s.context.restore();
        }
    }
    state.counters["segments"] = s.charts[0]->segmentsDrawn();
    state.SetLabel("4 charts, one logging-screen frame at scale 2");
}

void BM_PlainPolylines(benchmark::State& state)
{
    Screen& s = screen();
    std::vector<std::vector<ui::Point>> lines;
    for (int c = 0; c < kCharts; ++c) {
        std::vector<ui::Point> line;
        const double plot = kHeight - 10;
        for (int j = 0; j <= kSegments; ++j)
            line.push_back({(kWidth - 30) - j, (plot - 2) - sample(c, kSegments - j) * (plot - 6) / 8000.0});
        lines.push_back(line);
    }
    for (auto _ : state) {
        for (int c = 0; c < kCharts; ++c) {
            s.context.save();
            s.context.translate(0, c * kHeight);
            s.context.setLineWidth(2.5);
            s.context.setStrokeColor(ui::Color::rgb255(51, 181, 235));
            s.context.strokePolyline(lines[static_cast<std::size_t>(c)]);
            s.context.restore();
        }
    }
    state.SetLabel("4 plain polylines of 1,300 segments");
}

// A logging-screen frame as the window presents it: range(0) charts took a sample (replies come one
// at a time, so usually one), and only the damaged areas are drawn into the kept frame and copied out.
void BM_LoggingScreenFrameWithDamage(benchmark::State& state)
{
    auto window = std::make_shared<ui::Window>(ui::makeRect(0, 0, kWidth, kHeight * kCharts));
    window->setBackgroundColor(ui::Color::black());
    std::vector<std::shared_ptr<GraphView>> charts;
    for (int c = 0; c < kCharts; ++c) {
        auto chart = std::make_shared<GraphView>(ui::makeRect(0, c * kHeight, kWidth, kHeight), 0, c);
        chart->updateLabel("Engine speed", "rpm", 0, 8000);
        window->addSubview(chart);
        chart->adjustLabels();
        chart->takeSnapshot();
        for (int i = 0; i <= kSegments; ++i)
            chart->setVal(sample(c, i), false);
        charts.push_back(chart);
    }
    ui::BitmapContext frame({kWidth, kHeight * kCharts}, kScale);
    window->setNeedsDisplay();
    window->renderDamage(frame);
    int tick = 0;
    for (auto _ : state) {
        ++tick;
        for (int c = 0; c < state.range(0); ++c)
            charts[static_cast<std::size_t>(c)]->setVal(sample(c, tick), true);
        for (const ui::Rect& area : window->renderDamage(frame)) {
            ui::Image presented = frame.makeImage(area);
            benchmark::DoNotOptimize(presented);
        }
    }
    state.SetLabel("charts taking a sample: damaged areas only, scale 2");
}

BENCHMARK(BM_LoggingScreenFrameWithDamage)->Arg(1)->Arg(kCharts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StripChartsDataPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPolylines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return runPlatformBenchmarks(argc, argv, "norvale-bench-strip-chart");
}
