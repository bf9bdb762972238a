// Renders the tiles and the shift light as they look, for people to review; one tile is compared with its
// reference.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DashboardTest.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/VisibleText.h"
#include "support/ImageCompare.h"
#include "support/ReferenceImage.h"

namespace {

constexpr int speedSensor = 9;
constexpr int rpmSensor = 8;

ui::Image keep(ui::View& view, const std::string& name)
{
    const auto path = testsupport::artifactsDir() / "dashboard" / (name + ".png");
    std::filesystem::create_directories(path.parent_path());
    const ui::Image image = view.renderToImage(2);
    EXPECT_TRUE(image.writePNG(path)) << path;
    return image;
}

// Each of `texts` shows in the view, none of them cut short.
::testing::AssertionResult showsWhole(ui::View& view, const std::vector<std::string>& texts)
{
    const std::vector<ui::ShownText> shown = ui::visibleTextFrames(view);
    for (const std::string& text : texts) {
        const auto found = std::find_if(shown.begin(), shown.end(), [&](const ui::ShownText& s) { return s.text == text; });
        if (found == shown.end())
            return ::testing::AssertionFailure() << "\"" << text << "\" is not shown";
        if (found->cut)
            return ::testing::AssertionFailure() << "\"" << text << "\" is cut short";
    }
    return ::testing::AssertionSuccess();
}

struct TileShot {
    const char* name;
    double width;
    double height;
    int theme;
    bool portrait;
    int style;
    // The kept reference the speed tile is compared with, if any.
    const char* reference = nullptr;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const TileShot& c, std::ostream* os)
{
    *os << c.name;
}

class GaugeScreenshots : public DashboardTest, public ::testing::WithParamInterface<TileShot> {};

TEST_P(GaugeScreenshots, TileIsRendered)
{
    const TileShot shot = GetParam();
    const auto render = [&](const char* label, float max, const char* units, int sensor, float warnAbove,
                            float value) {
        auto tile = std::make_shared<GaugeView2>(9, 1, shot.theme);
        tile->setFrame(ui::makeRect(0, 0, shot.width, shot.height));
        tile->setVisMode(shot.style);
        tile->setPortraitMode(shot.portrait);
        tile->setupLayer();
        tile->initData(label, 0, max, units, sensor, 0);
        tile->setLimits({.notify = true, .max = warnAbove});
        tile->setVal(value);
        fnd::RunLoop::main().advance(1);
        return tile;
    };
    const auto speedTile = render("Speed", 255, "km/h", speedSensor, 0.8f, 96);
    const ui::Image speed = keep(*speedTile, std::string("gauge-") + shot.name);
    if (shot.reference != nullptr) {
        EXPECT_TRUE(testsupport::matchesReference(speed, shot.reference));
    }
    const auto rpmTile = render("Engine speed", 8000, "rpm", rpmSensor, 0.85f, 7250);
    keep(*rpmTile, std::string("gauge-warning-") + shot.name);
    EXPECT_TRUE(showsWhole(*speedTile, {"Speed", "96", "km/h"}));
    EXPECT_TRUE(showsWhole(*rpmTile, {"Engine speed", "7250", "rpm"}));
}

INSTANTIATE_TEST_SUITE_P(Tiles, GaugeScreenshots,
                         ::testing::Values(TileShot{"phone-dark", 180, 180, 0, true, 3, "dashboard-gauge"},
                                           TileShot{"phone-light", 180, 180, 1, true, 3},
                                           TileShot{"phone-race-page-dark", 386, 400, 0, true, 3},
                                           TileShot{"pad-dark", 330, 330, 0, true, 3},
                                           TileShot{"pad-light", 330, 330, 1, true, 3},
                                           TileShot{"phone-race-page-landscape-dark", 800, 300, 0, false, 3},
                                           TileShot{"phone-digital-dark", 180, 180, 0, true, 1}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

class ShiftScreenshots : public DashboardTest {};

TEST_F(ShiftScreenshots, BarBelowAndAtTheShiftPoint)
{
    auto view = std::make_shared<ShiftView>(ui::makeRect(0, 0, 386, 400), 0);
    view->resetData();
    view->gearLabel().setText("3");
    view->updateRpmGauge(5200);
    fnd::RunLoop::main().advance(1);
    const ui::Image rising = keep(*view, "shift-rising");
    EXPECT_EQ(ui::visibleTexts(*view), (std::vector<std::string>{"3", "5200 rpm"}));
    EXPECT_EQ(view->litSegments(), 13);
    EXPECT_FALSE(view->isShiftLightOn()) << "below the shift point";

    view->gearLabel().setText("4");
    view->updateRpmGauge(7600);
    fnd::RunLoop::main().advance(1.2);
    const ui::Image atShiftPoint = keep(*view, "shift-point");
    EXPECT_EQ(ui::visibleTexts(*view), (std::vector<std::string>{"4", "7600 rpm"}));
    EXPECT_EQ(view->litSegments(), 19);
    EXPECT_TRUE(view->isShiftLightOn()) << "at the shift point";
    EXPECT_FALSE(testsupport::samePixels(atShiftPoint, rising, 8, 0)) << "the bar looks as it did below the shift point";
}

}  // namespace
