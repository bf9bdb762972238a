#include <memory>
#include <vector>

#include "DashboardTest.h"
#include "dashboard/ShiftView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Image.h"

namespace {

void settle() { fnd::RunLoop::main().advance(3); }

class ShiftViewTest : public DashboardTest {
protected:
    std::shared_ptr<ShiftView> makeView(float redLine = 8000)
    {
        auto view = std::make_shared<ShiftView>(ui::makeRect(0, 0, 400, 300), 0);
        view->setRedLine(redLine);
        view->resetData();
        return view;
    }
};

struct SegmentCase {
    int redLine;
    float rpm;
    int lit;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const SegmentCase& c, std::ostream* os)
{
    *os << c.rpm << " rpm of " << c.redLine;
}

class ShiftSegments : public ShiftViewTest, public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(ShiftSegments, LightInProportionToTheRedLine)
{
    auto view = makeView(static_cast<float>(GetParam().redLine));
    view->updateRpmGauge(GetParam().rpm);
    settle();
    EXPECT_EQ(view->litSegments(), GetParam().lit);
}

INSTANTIATE_TEST_SUITE_P(EngineSpeeds, ShiftSegments,
                         ::testing::Values(SegmentCase{8000, 0, 0}, SegmentCase{8000, 399, 0},
                                           SegmentCase{8000, 400, 1}, SegmentCase{8000, 4000, 10},
                                           SegmentCase{8000, 7999, 19}, SegmentCase{8000, 8000, 20},
                                           SegmentCase{8000, 12000, 20}, SegmentCase{8000, -50, 0},
                                           SegmentCase{6000, 3000, 10}, SegmentCase{0, 3000, 0}));

TEST_F(ShiftViewTest, ShiftSoundPlaysOncePerCrossingOfTheShiftPoint)
{
    auto view = makeView(8000);  // shift point 7400
    const std::vector<float> readings = {5000, 7399, 7400, 7600, 7900, 7000, 7450, 7500, 3000};
    const std::vector<bool> light = {false, false, true, true, true, false, true, true, false};
    for (std::size_t i = 0; i < readings.size(); ++i) {
        view->updateRpmGauge(readings[i]);
        fnd::RunLoop::main().advance(0.2);
        EXPECT_EQ(view->isShiftLightOn(), light[i]) << readings[i] << " rpm";
    }
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{ShiftView::shiftSound, ShiftView::shiftSound}));
}

TEST_F(ShiftViewTest, RedLineWithoutAShiftPointNeverLightsIt)
{
    for (const int redLine : {0, -2000, 600}) {
        auto view = makeView(static_cast<float>(redLine));
        for (const float rpm : {0.0f, 800.0f, 3000.0f}) {
            view->updateRpmGauge(rpm);
            fnd::RunLoop::main().advance(0.2);
            EXPECT_FALSE(view->isShiftLightOn()) << redLine << " red line, " << rpm << " rpm";
        }
    }
    EXPECT_TRUE(fnd::SystemSound::played().empty());
}

TEST_F(ShiftViewTest, ResetTurnsTheLightOffAndANewRedLineMovesTheShiftPoint)
{
    auto view = makeView(8000);
    view->updateRpmGauge(7500);
    settle();
    ASSERT_TRUE(view->isShiftLightOn());
    view->setRedLine(6000);
    view->resetData();
    EXPECT_FALSE(view->isShiftLightOn());
    EXPECT_EQ(view->litSegments(), 0);
    EXPECT_EQ(view->rpmLabel().text(), "0 rpm");
    EXPECT_EQ(view->gearLabel().text(), "N");
    view->updateRpmGauge(5400);
    settle();
    EXPECT_TRUE(view->isShiftLightOn());
    EXPECT_EQ(view->rpmLabel().text(), "5400 rpm");
}

TEST_F(ShiftViewTest, EngineSpeedGlidesAndStopsWithTheTimer)
{
    auto view = makeView();
    view->updateRpmGauge(1000);
    fnd::RunLoop::main().advance(1);
    view->updateRpmGauge(3000);
    fnd::RunLoop::main().advance(0.25);
    view->stopTimer();
    const std::string held = view->rpmLabel().text();
    EXPECT_NE(held, "1000 rpm");
    EXPECT_NE(held, "3000 rpm");
    fnd::RunLoop::main().advance(2);
    EXPECT_EQ(view->rpmLabel().text(), held);
    EXPECT_FALSE(view->isTimerRunning());
}

TEST_F(ShiftViewTest, LightFlashesInTheChosenColour)
{
    auto view = makeView();
    view->setShiftLightColor(1);  // orange
    view->updateRpmGauge(7800);
    // The first segment's middle, on and off in turns of 0.1 s.
    const auto firstSegmentColour = [&] {
        const ui::Image image = view->renderToImage();
        return image.pixel(static_cast<int>(400 * 0.05 + 400 * 0.9 / ShiftView::segmentCount / 2),
                           static_cast<int>(300 * 0.16));
    };
    const ui::Color on = firstSegmentColour();
    EXPECT_NEAR(on.r, 1, 0.02);
    EXPECT_NEAR(on.g, 0.5, 0.02);
    EXPECT_NEAR(on.b, 0, 0.02);
    fnd::RunLoop::main().advance(0.1);
    const ui::Color off = firstSegmentColour();
    EXPECT_LT(off.r + off.g, 0.5);
}

}  // namespace
