#include <filesystem>
#include <memory>
#include <string>

#include "FuelTest.h"
#include "fuel/FuelView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Label.h"

namespace {

class FuelViewDrawingTest : public FuelTest {
protected:
    std::shared_ptr<FuelView> makeLandscapeView(int mode, int theme = 0)
    {
        settings().fuelUnitsMode = mode;
        auto view = std::make_shared<FuelView>(ui::makeRect(0, 0, 844, 390), theme, mode);
        view->updateMetric(mode);
        view->changeToLandscape();
        return view;
    }

    static void keep(ui::View& view, const std::string& name)
    {
        const auto path = testsupport::artifactsDir() / "fuel" / (name + ".png");
        std::filesystem::create_directories(path.parent_path());
        const ui::Image image = view.renderToImage(2);
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.writePNG(path)) << path;
    }
};

TEST_F(FuelViewDrawingTest, BarsTakeTheirHeightAndColourFromTheScale)
{
    auto view = makeLandscapeView(0);
    // 10 mpg of 40 is a quarter: red, with green rising with the fraction.
    view->setBarArrays({10, 30, 60, 0, 0}, std::vector<float>(6, 0), std::vector<float>(4, 0));
    const FuelView::Bar& low = view->bar(0);
    ASSERT_TRUE(low.drawn);
    EXPECT_FLOAT_EQ(low.fraction, 0.25f);
    EXPECT_DOUBLE_EQ(low.top.r, 1.0);
    EXPECT_NEAR(low.top.g, 0.425, 1e-6);
    EXPECT_EQ(low.bottom, ui::Color::black());
    EXPECT_EQ(view->barText(0), "10.0");

    const FuelView::Bar& good = view->bar(1);
    EXPECT_NEAR(good.top.r, (1 - 0.25) * 0.85, 1e-6);
    EXPECT_DOUBLE_EQ(good.top.g, 1.0);

    // Above the scale: drawn to the top of the chart, fraction 1.
    const FuelView::Bar& high = view->bar(2);
    EXPECT_FLOAT_EQ(high.fraction, 1.0f);
    EXPECT_EQ(view->barText(2), "60.0");

    // A bar at the scale minimum keeps what it showed before.
    EXPECT_FALSE(view->bar(3).drawn);
    view->setBarArrays({0, 30, 60, 0, 0}, std::vector<float>(6, 0), std::vector<float>(4, 0));
    EXPECT_TRUE(view->bar(0).drawn);
    EXPECT_EQ(view->barText(0), "10.0");
    keep(*view, "bars-mpg-dark");
}

TEST_F(FuelViewDrawingTest, PerDistanceBarsRiseWithConsumption)
{
    auto view = makeLandscapeView(2, 1);
    // 10 US mpg is 23.5 l/100km: fraction 1 - 5.9 / 23.5.
    view->setBarArrays({10, 40, 0, 0, 0}, std::vector<float>(6, 0), std::vector<float>(4, 0));
    const FuelView::Bar& thirsty = view->bar(0);
    ASSERT_TRUE(thirsty.drawn);
    EXPECT_NEAR(thirsty.fraction, 1 - 5.9 / 23.52, 1e-3);
    EXPECT_DOUBLE_EQ(thirsty.top.r, 1.0);
    EXPECT_EQ(thirsty.bottom, thirsty.top);
    EXPECT_EQ(view->barText(0), "23.5");
    // 40 mpg (5.88 l/100km) is below the minimum: not drawn.
    EXPECT_FALSE(view->bar(1).drawn);
    keep(*view, "bars-l100km-light");
}

TEST_F(FuelViewDrawingTest, DigitsTakeTheColourOfTheEconomy)
{
    auto view = std::make_shared<FuelView>(ui::makeRect(0, 0, 390, 844), 0, 0);
    view->updateMetric(0);
    view->startTimer();
    view->resetGauge();
    view->setSpeed(100);
    view->setMAF(10);  // 71 mpg: above the scale of 40, the greenest
    fnd::RunLoop::main().advance(1);
    const auto find = [&](const std::string& text) -> const ui::Label* {
        for (const auto& sub : view->subviews()) {
            const auto* label = dynamic_cast<const ui::Label*>(sub.get());
            if (label && !label->isHidden() && label->text() == text)
                return label;
        }
        return nullptr;
    };
    const ui::Label* digits = find("71");
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->textColor(), ui::Color::rgb(0.4, 1, 0));
    view->stopTimer();
}

TEST_F(FuelViewDrawingTest, EachOrientationShowsOnlyItsOwnTexts)
{
    auto view = std::make_shared<FuelView>(ui::makeRect(0, 0, 390, 844), 0, 0);
    view->updateMetric(0);
    view->setFuel(62.7f);
    EXPECT_EQ(view->fuelLevelText(), "62");
    view->setSpeed(90);
    view->setFuelRate(6);
    view->startTimer();
    view->resetGauge();
    view->setFuelRate(6);
    fnd::RunLoop::main().advance(1);
    EXPECT_EQ(view->largeValueText(), "35.2");
    keep(*view, "gauge-portrait-dark");

    const auto visibleCount = [&] {
        int count = 0;
        for (const auto& sub : view->subviews())
            count += sub->isHidden() ? 0 : 1;
        return count;
    };
    const int portrait = visibleCount();
    view->setFrame(ui::makeRect(0, 0, 844, 390));
    view->changeToLandscape();
    const int landscape = visibleCount();
    // Portrait: title, two digit labels, unit, trip average and title, three
    // fuel-level texts. Landscape: title, value, three averages, three group
    // titles and the fifteen bar labels.
    EXPECT_EQ(portrait, 9);
    EXPECT_EQ(landscape, 2 + 3 + 3 + 15);
    keep(*view, "gauge-landscape-dark");
    view->changeToPortrait();
    EXPECT_EQ(visibleCount(), portrait);
    view->stopTimer();
}

}  // namespace
