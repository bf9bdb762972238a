#include "support/Input.h"

#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollView.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace testsupport;

namespace {

// A chart that pans and zooms itself: it keeps drags and wheel turns from
// the views around it, as a control keeps its taps.
class Chart : public View {
public:
    using View::View;
    int moves = 0;
    double zoom = 0;

    bool keepsGesture(const GestureRecognizer& recognizer) const override { return recognizer.isDrag(); }
    bool scrollWheel(double, double dy) override
    {
        zoom += dy;
        return true;
    }
    void touchesMoved(const std::vector<Touch>&) override { ++moves; }
};

} // namespace

TEST(InputHooks, AViewCanKeepDragsFromARecognizerAroundIt)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    auto page = std::make_shared<View>(makeRect(0, 0, 320, 480));
    int pans = 0;
    page->addGestureRecognizer(std::make_shared<PanGestureRecognizer>([&](GestureRecognizer&) { ++pans; }));
    auto chart = std::make_shared<Chart>(makeRect(0, 0, 320, 200));
    page->addSubview(chart);
    window->addSubview(page);

    drag(*window, {100, 100}, {250, 120});
    EXPECT_EQ(pans, 0);
    EXPECT_GT(chart->moves, 5) << "the chart saw the whole drag";

    drag(*window, {100, 300}, {250, 320});
    EXPECT_GT(pans, 0) << "outside the chart the page pans";
}

TEST(InputHooks, WheelTurnsGoToTheFirstViewThatTakesThem)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    auto scroll = std::make_shared<ScrollView>(makeRect(0, 0, 320, 480));
    scroll->setContentSize({320, 2000});
    auto chart = std::make_shared<Chart>(makeRect(0, 0, 320, 200));
    scroll->addSubview(chart);
    auto plain = std::make_shared<View>(makeRect(0, 200, 320, 100));
    scroll->addSubview(plain);
    window->addSubview(scroll);

    EXPECT_TRUE(window->sendWheel({100, 100}, 0, 40));
    EXPECT_EQ(chart->zoom, 40);
    EXPECT_EQ(scroll->contentOffset().y, 0);

    EXPECT_TRUE(window->sendWheel({100, 250}, 0, 40)) << "a plain view passes it up to the scroll view";
    EXPECT_EQ(scroll->contentOffset().y, 40);
}
