// The fuel screens as they look, on a phone and on a pad, upright and on their
// side, kept under the artifacts folder for people to review; the phone's settings screen is compared with
// its reference.
#include <memory>
#include <string>

#include "FuelScreenTest.h"
#include "fuel/FuelSettingViewCon.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"
#include "fuel/GraphViewCon.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/ui/Image.h"
#include "platform/ui/Window.h"
#include "support/ApplicationBars.h"
#include "support/Input.h"
#include "support/ReferenceImage.h"

namespace {

struct Shot {
    const char* name;
    ui::UserInterfaceIdiom idiom;
    ui::Size portraitSize;
    bool landscape;
    int theme = 0;
    // The kept reference the settings screen is compared with, if any.
    const char* reference = nullptr;
};

class FuelScreenshots : public FuelScreenTest, public ::testing::WithParamInterface<Shot> {
protected:
    void SetUp() override
    {
        FuelScreenTest::SetUp();
        const Shot& shot = GetParam();
        ui::Device& device = ui::Device::current();
        device.setIdiom(shot.idiom);
        device.setScale(2);
        settings().theme = shot.theme;
        if (shot.landscape) {
            device.setScreenSize({shot.portraitSize.height, shot.portraitSize.width});
            device.setOrientation(ui::DeviceOrientation::LandscapeLeft);
        } else {
            device.setScreenSize(shot.portraitSize);
            device.setOrientation(ui::DeviceOrientation::Portrait);
        }
        sim.setClock([] { return fnd::RunLoop::main().now(); });
        sim.updateCar([](elmsim::CarState& s) {
            s.moving = true;
            s.profile = elmsim::Profile::cruise;
        });
    }

    ui::Image keep(const std::string& screen)
    {
        root->window().layoutIfNeeded();
        const ui::Image image = root->window().renderToImage(2);
        const auto path = testsupport::artifactsDir() / "fuel" / ("fuel-" + screen + "-" + GetParam().name + ".png");
        std::filesystem::create_directories(path.parent_path());
        EXPECT_TRUE(image.writePNG(path)) << path;
        return image;
    }

    static std::string dayKey(int daysAgo)
    {
        return fnd::DateFormatter("MMM d, yyyy")
            .stringFromDate(fnd::Calendar::dateByAddingDays(fnd::Date::now(), -daysAgo));
    }
};

TEST_P(FuelScreenshots, FuelTab)
{
    ASSERT_TRUE(connect());
    auto fuel = std::make_shared<FuelViewController>();
    fuel->setScanner(link);
    showTabs({{"Fuel", fuel}, {"Trends", std::make_shared<GraphViewCon>()}});
    drive(75);
    EXPECT_TRUE(fuel->fView()->hasData());
    keep("economy");
}

TEST_P(FuelScreenshots, TrendsTab)
{
    FuelData& log = fuelData();
    const float economy[] = {24, 31, 28, 0, 35, 22, 27, 30, 33, 26};
    for (int day = 0; day < 10; ++day) {
        if (economy[day] == 0)
            continue;
        log.dateArr.push_back(dayKey(day));
        log.dataArr.push_back(economy[day]);
        log.fuelArr.push_back(1.2f + 0.1f * static_cast<float>(day));
        log.speedArr.push_back(30 + 2.0f * static_cast<float>(day));
        log.distanceArr.push_back(economy[day] * 1.2f);
        log.costArr.push_back(4.5f);
    }
    auto trends = std::make_shared<GraphViewCon>();
    showTabs({{"Fuel", std::make_shared<FuelViewController>()}, {"Trends", trends}});
    tabs->setSelectedIndex(1);
    advance(1);
    FuelGraphView& chart = *trends->gView();
    ui::Touch newer;
    newer.id = 1;
    newer.location = {chart.pointMap().at(1).x, 100};
    ui::Touch older = newer;
    older.id = 2;
    older.location = {chart.pointMap().at(6).x, 100};
    chart.touchesBegan({newer, older});
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return !trends->stats().fromDateStr.empty();
    }));
    keep("trends");
    // The statistics of the span touched; upright, the two days touched bound it.
    const std::vector<std::string> shown = testsupport::texts(root->window());
    EXPECT_TRUE(testsupport::shows(root->window(), "Average")) << ::testing::PrintToString(shown);
    if (root->size().width < root->size().height) {
        EXPECT_TRUE(testsupport::shows(root->window(), dayKey(6))) << ::testing::PrintToString(shown);
        EXPECT_TRUE(testsupport::shows(root->window(), dayKey(1))) << ::testing::PrintToString(shown);
    }
}

TEST_P(FuelScreenshots, Settings)
{
    settings().fuelCalcMethod = 1;
    const testsupport::ApplicationBars bars;
    makeWindow();
    auto navigation = std::make_shared<ui::NavigationController>(std::make_shared<FuelSettingViewCon>());
    root->setRootViewController(navigation);
    advance(1);
    const ui::Image shown = keep("settings");
    if (GetParam().reference != nullptr) {
        EXPECT_TRUE(testsupport::matchesReference(shown, GetParam().reference));
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, FuelScreenshots,
                         ::testing::Values(Shot{"phone", ui::UserInterfaceIdiom::Phone, {390, 844}, false, 0,
                                                "fuel-settings"},
                                           Shot{"phone-landscape", ui::UserInterfaceIdiom::Phone, {390, 844}, true},
                                           Shot{"pad", ui::UserInterfaceIdiom::Pad, {768, 1024}, false},
                                           Shot{"pad-landscape", ui::UserInterfaceIdiom::Pad, {768, 1024}, true},
                                           Shot{"phone-light", ui::UserInterfaceIdiom::Phone, {390, 844}, false, 1},
                                           Shot{"phone-landscape-light", ui::UserInterfaceIdiom::Phone, {390, 844},
                                                true, 1}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
