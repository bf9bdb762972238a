// The cost of showing one changed label: a phone-sized window (390 x 844) with a
// 100-row table whose value in one visible row changes each frame, at scale
// 1, 2 and 3; the second argument puts the table in a container that casts a
// shadow, as the app's screens are. A full repaint draws the whole window into
// a fresh bitmap; a damaged repaint draws only the label's area into the kept
// frame and copies that area out, as the host window presents it. The menu slide moves the shadowed
// container over a menu beneath it, one animation frame at a time, as the app's content slides.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"

namespace {

using namespace ui;

class SensorRows : public TableViewDataSource {
public:
    int numberOfSectionsInTableView(TableView&) override { return 1; }
    int numberOfRowsInSection(TableView&, int) override { return 100; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override
    {
        auto cell = table.dequeueReusableCellWithIdentifier("Row");
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Value1, "Row");
        cell->textLabel()->setText("Sensor " + std::to_string(ip.row));
        cell->detailTextLabel()->setText(std::to_string(ip.row * 7 % 100) + ".0");
        return cell;
    }
};

struct Screen {
    SensorRows rows;
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 390, 844));
    std::shared_ptr<TableView> table = std::make_shared<TableView>(makeRect(0, 0, 390, 844), TableViewStyle::Plain);
    BitmapContext frame;
    std::shared_ptr<View> container = std::make_shared<View>(makeRect(0, 0, 390, 844));
    Label* value = nullptr;
    int tick = 0;

    Screen(double scale, bool shadowedContainer) : frame({390, 844}, scale)
    {
        window->setBackgroundColor(Color::white());
        // As in the app, where the screen sits in a container that casts a shadow over the menu beside it.
        container->setBackgroundColor(Color::black());
        if (shadowedContainer)
            container->setShadow(Color::black(), {-2, 0}, 6, 0.6);
        window->addSubview(container);
        table->setDataSource(&rows);
        container->addSubview(table);
        window->setNeedsDisplay();
        window->renderDamage(frame);
        value = table->cellForRowAtIndexPath({0, 5})->detailTextLabel();
    }

    void changeValue() { value->setText(std::to_string(++tick % 1000) + ".5"); }
};

void BM_FullRepaint(benchmark::State& state)
{
    const double scale = static_cast<double>(state.range(0));
    Screen screen(scale, state.range(1) != 0);
    for (auto _ : state) {
        screen.changeValue();
        screen.window->layoutIfNeeded();
        Image image = screen.window->renderToImage(scale);
        benchmark::DoNotOptimize(image);
    }
}

void BM_DamagedRepaint(benchmark::State& state)
{
    Screen screen(static_cast<double>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        screen.changeValue();
        for (const Rect& area : screen.window->renderDamage(screen.frame)) {
            Image presented = screen.frame.makeImage(area);
            benchmark::DoNotOptimize(presented);
        }
    }
}

void BM_LabelAlone(benchmark::State& state)
{
    Screen screen(static_cast<double>(state.range(0)), false);
    for (auto _ : state) {
        screen.changeValue();
        Image image = screen.value->renderToImage(static_cast<double>(state.range(0)));
        benchmark::DoNotOptimize(image);
    }
}

// One iteration is one frame of a 0.15 s slide at 60 frames a second; the slides go back and forth.
void BM_MenuSlide(benchmark::State& state)
{
    fnd::RunLoop::main().useManualClock();
    const double scale = static_cast<double>(state.range(0));
    Screen screen(scale, true);
    auto menu = std::make_shared<TableView>(makeRect(0, 0, 190, 844), TableViewStyle::Plain);
    menu->setDataSource(&screen.rows);
    screen.window->insertSubview(menu, 0);
    bool open = false;
    bool sliding = false;
    double presentedPixels = 0;
    for (auto _ : state) {
        if (!sliding) {
            open = !open;
            sliding = true;
            animate(0.15, AnimationCurve::EaseOut, [&] { screen.container->setFrame(makeRect(open ? 190 : 0, 0, 390, 844)); },
                    [&](bool) { sliding = false; });
        }
        fnd::RunLoop::main().advance(1.0 / 60);
        for (const Rect& area : screen.window->renderDamage(screen.frame)) {
            Image presented = screen.frame.makeImage(area);
            presentedPixels += presented.pixelWidth() * presented.pixelHeight();
            benchmark::DoNotOptimize(presented);
        }
    }
    // Every frame of the slide shows the whole window anew.
    state.counters["window_fraction"] = presentedPixels / state.iterations() / (390 * 844 * scale * scale);
}

BENCHMARK(BM_FullRepaint)->ArgsProduct({{1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DamagedRepaint)->ArgsProduct({{1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MenuSlide)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelAlone)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Frame-sized images come from the heap as they do in a running app, whose allocator has long since
    // raised its thresholds to that size: otherwise each case's figure hangs on which ran before it.
    ::mallopt(M_MMAP_THRESHOLD, 64 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 128 << 20);
    fnd::initPlatform(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fnd::shutdownPlatform();
    return 0;
}
