// The dash camera's overlay, once per camera frame: the painting of the tile
// strip, needles, value texts and the overlay view's own texts (OverlayCanvas),
// and with it the straight-alpha conversion and the texture upload
// (GfxUIElement::update), for a 1280 x 720 picture with five gauge tiles.
// The camera delivers 30 frames a second, so a frame's overlay has well under
// 33 ms. "Needle images" is the usual mode (tiles pre-rendered, only images
// move); "live tiles" is the full frame rate mode, where the tiles stay in
// the overlay view and are drawn again for every frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "PlatformBenchMain.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/CameraLiveData.h"
#include "dashcam/GfxUIElement.h"
#include "platform/ui/Color.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace {

constexpr double shortSide = 720;
constexpr double longSide = 1280;
constexpr int tileCount = 5;

struct Sensor {
    const char* name;
    float min, max;
    const char* units;
};
constexpr Sensor sensors[tileCount] = {
    {"Speed", 0, 255, "km/h"}, {"RPM", 0, 8000, "rpm"}, {"Coolant", -40, 215, "C"},
    {"Boost", -1, 2, "bar"},   {"Battery", 0, 16, "V"},
};

// The overlay as the camera screen builds it: made upright, turned to
// landscape, five tiles along the bottom and the clock at the top right.
class Overlay {
public:
    explicit Overlay(bool liveTiles)
    {
        ui::Device::current().setScreenSize({shortSide, longSide});
        view_ = std::make_shared<ui::View>(ui::makeRect(0, 0, shortSide, longSide));
        view_->setBackgroundColor(ui::Color::clear());
        element_ = std::make_shared<GfxUIElement>(view_);
        view_->setFrame(ui::makeRect(0, 0, longSide, shortSide));
        const double g = shortSide / 2.81;
        std::vector<ui::Image> faces;
        for (int i = 0; i < tileCount; ++i) {
            auto tile = std::make_shared<CamGaugeView>();
            tile->setFrame(ui::makeRect(longSide - g * (i + 1), shortSide - g, g, g));
            tile->setBackgroundColor(ui::Color::white(20.0 / 255, 0.4));
            tile->setupLayer();
            tile->initData(sensors[i].name, sensors[i].min, sensors[i].max, sensors[i].units, i, 0);
            view_->addSubview(tile);
            faces.push_back(tile->takeScreenShot());
            tile->hideContent();
            tiles_.push_back(tile);
        }
        auto clock = std::make_shared<ui::Label>(ui::makeRect(longSide - 150, 0, 150, 20));
        clock->setTextColor(ui::Color::white());
        clock->setText("2026 12 07-15:04 PM");
        view_->addSubview(clock);

        OverlayCanvas& canvas = element_->canvas();
        canvas.bgImage = tiles_.front()->attachBGImages(faces);
        canvas.is30Framerate = liveTiles;
        if (!liveTiles) {
            needles_ = tiles_.front()->renderGaugeNeedle();
            for (const auto& tile : tiles_)
                tile->removeFromSuperview();
        }
    }

    // What the per-frame block hands the renderer: a value text and a needle per tile.
    void prepareFrame(int frame)
    {
        OverlayCanvas& canvas = element_->canvas();
        canvas.valArray.clear();
        canvas.needleImageArray.clear();
        for (int i = 0; i < tileCount; ++i) {
            const Sensor& s = sensors[i];
            const float value = s.min + (s.max - s.min) * float(0.5 + 0.5 * std::sin(frame * 0.05 + i));
            canvas.valArray.push_back(CameraLiveData::valueText(value, s.max));
            if (needles_.empty())
                tiles_[i]->setVal(value);
            else
                canvas.needleImageArray.push_back(needles_[std::size_t(tiles_[i]->getGaugeIndex(value))]);
        }
    }

    GfxUIElement& element() { return *element_; }

private:
    std::shared_ptr<ui::View> view_;
    std::shared_ptr<GfxUIElement> element_;
    std::vector<std::shared_ptr<CamGaugeView>> tiles_;
    std::vector<ui::Image> needles_;
};

void paintOnly(benchmark::State& state, bool liveTiles)
{
    Overlay overlay(liveTiles);
    int frame = 0;
    for (auto _ : state) {
        overlay.prepareFrame(frame++);
        benchmark::DoNotOptimize(overlay.element().canvas().paint(1));
    }
    state.SetItemsProcessed(state.iterations());
}

void paintAndUpload(benchmark::State& state, bool liveTiles)
{
    Overlay overlay(liveTiles);
    int frame = 0;
    for (auto _ : state) {
        overlay.prepareFrame(frame++);
        overlay.element().update();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_OverlayPaint_NeedleImages(benchmark::State& state) { paintOnly(state, false); }
void BM_OverlayPaintAndUpload_NeedleImages(benchmark::State& state) { paintAndUpload(state, false); }
void BM_OverlayPaint_LiveTiles(benchmark::State& state) { paintOnly(state, true); }
void BM_OverlayPaintAndUpload_LiveTiles(benchmark::State& state) { paintAndUpload(state, true); }

BENCHMARK(BM_OverlayPaint_NeedleImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverlayPaintAndUpload_NeedleImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverlayPaint_LiveTiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverlayPaintAndUpload_LiveTiles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runPlatformBenchmarks(argc, argv, "norvale-bench-dashcam-overlay"); }
