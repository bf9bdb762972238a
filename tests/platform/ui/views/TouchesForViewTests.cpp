#include "platform/ui/PanGestureRecognizer.h"

#include "support/Input.h"

#include <gtest/gtest.h>

using namespace ui;
using testsupport::fingers;

namespace {

// Notes, at each callback, how many fingers the window counts on this view.
class CountingView : public View {
public:
    using View::View;
    std::vector<std::string> seen;

    void touchesBegan(const std::vector<Touch>& t) override { note("began", t); }
    void touchesMoved(const std::vector<Touch>& t) override { note("moved", t); }
    void touchesEnded(const std::vector<Touch>& t) override { note("ended", t); }
    void touchesCancelled(const std::vector<Touch>& t) override { note("cancelled", t); }

private:
    void note(const std::string& what, const std::vector<Touch>& changed)
    {
        seen.push_back(what + " " + std::to_string(changed.size()) + "/"
                       + std::to_string(window()->touchesForView(this).size()));
    }
};

} // namespace

TEST(TouchesForView, CountsEveryFingerOnTheViewNotOnlyTheOnesThatChanged)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    auto chart = std::make_shared<CountingView>(makeRect(0, 0, 320, 200));
    auto other = std::make_shared<CountingView>(makeRect(0, 300, 320, 100));
    window->addSubview(chart);
    window->addSubview(other);

    window->sendTouches(TouchPhase::Began, fingers({{10, 10}}));                 // id 1 on the chart
    window->sendTouch(TouchPhase::Began, {10, 350}, 7);                          // on the other view
    window->sendTouch(TouchPhase::Began, {100, 10}, 2);                          // second finger on the chart
    window->sendTouch(TouchPhase::Moved, {120, 10}, 2);
    window->sendTouch(TouchPhase::Ended, {10, 10}, 1);
    EXPECT_EQ(window->touchesForView(chart.get()).size(), 1u);
    EXPECT_EQ(window->touchesForView(chart.get()).front().id, 2u);
    window->sendTouch(TouchPhase::Ended, {120, 10}, 2);

    EXPECT_EQ(chart->seen, (std::vector<std::string>{"began 1/1", "began 1/2", "moved 1/2", "ended 1/2", "ended 1/1"}));
    EXPECT_EQ(other->seen, (std::vector<std::string>{"began 1/1"}));
    EXPECT_TRUE(window->touchesForView(chart.get()).empty());
    EXPECT_EQ(window->touchesForView(other.get()).size(), 1u);
    EXPECT_TRUE(window->touchesForView(nullptr).empty());
}

TEST(TouchesForView, LeavesOutFingersARecognizerTookFromTheView)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    auto chart = std::make_shared<CountingView>(makeRect(0, 0, 320, 200));
    window->addSubview(chart);
    chart->addGestureRecognizer(std::make_shared<PanGestureRecognizer>([](GestureRecognizer&) {}));

    window->sendTouch(TouchPhase::Began, {10, 10});
    EXPECT_EQ(window->touchesForView(chart.get()).size(), 1u);
    testsupport::advance(0.05);
    window->sendTouch(TouchPhase::Moved, {80, 10});
    EXPECT_EQ(chart->seen.back(), "cancelled 1/0");
    EXPECT_TRUE(window->touchesForView(chart.get()).empty());
    window->sendTouch(TouchPhase::Ended, {80, 10});
}
