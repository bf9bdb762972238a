// The real feature screens slide aside onto the menu, the way a user opens it from them.

#include "shell/app/ShellAppTest.h"

#include <algorithm>

#include "app/Features.h"
#include "fuel/GraphViewCon.h"
#include "performance/RaceViewController.h"
#include "platform/media/CaptureDevice.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "shell/AppDelegate.h"

namespace {

struct SlideCase {
    const char* entry;
    ui::Size window;
    bool fromEdge;  // a pan from the left edge instead of a swipe
};

void PrintTo(const SlideCase& c, std::ostream* os)
{
    *os << c.entry << ' ' << c.window.width << 'x' << c.window.height << (c.fromEdge ? " edge pan" : " swipe");
}

// The app with its real screens in a window of the given size, on one menu entry with the menu closed.
class RealScreensTest : public ShellAppTest {
protected:
    void launchOn(const char* entry, ui::Size size)
    {
        media::CaptureDevice::configure("synthetic", "synthetic");
        settings().connectionMode = 1;  // nothing connects by itself
        ui::Device::current().setScreenSize(size);
        launchApp(appScreens());
        ASSERT_EQ(app->openScreen(entry), std::nullopt);
        settle();
    }

    // Lets slides end and takes down what a first visit puts up (the camera's focus hint).
    void settle()
    {
        advance(1);
        ui::AlertController::dismissAll();
        window->window().layoutIfNeeded();
    }

    // A slow drag from the window's very left edge to the right.
    void edgePan(double y)
    {
        ui::Window& w = window->window();
        w.sendTouch(ui::TouchPhase::Began, {1, y});
        for (double x = 21; x <= 201; x += 20) {
            advance(0.02);
            w.sendTouch(ui::TouchPhase::Moved, {x, y});
        }
        w.sendTouch(ui::TouchPhase::Ended, {201, y});
    }

    // Where the selected screen's left edge is in the window.
    double screenX() const
    {
        return app->rootController()->selectedViewController().view()->convertPoint({0, 0}, nullptr).x;
    }
};

class MenuSlideTest : public RealScreensTest, public ::testing::WithParamInterface<SlideCase> {
protected:
    void SetUp() override
    {
        RealScreensTest::SetUp();
        launchOn(GetParam().entry, GetParam().window);
    }
};

TEST_P(MenuSlideTest, TheMenuIsUnderTheScreenAndTakesTaps)
{
    RootController& menu = *app->rootController();
    ASSERT_FALSE(menu.isMenuOpen());
    const double y = GetParam().window.height / 2;
    if (GetParam().fromEdge)
        edgePan(y);
    else
        swipe(40, 240, y);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());

    // The screen's left edge is at the menu's right edge, with the menu's entries beside it.
    EXPECT_EQ(screenX(), RootController::menuWidth());
    const auto& titles = menu.menuTitles();
    const int settingsRow = static_cast<int>(std::find(titles.begin(), titles.end(), "Settings") - titles.begin());
    menu.menuTable().scrollToRowAtIndexPath({0, settingsRow}, ui::TableViewScrollPosition::Bottom, false);
    menu.menuTable().layoutIfNeeded();
    const auto row = menu.menuTable().cellForRowAtIndexPath({0, settingsRow});
    ASSERT_TRUE(row);
    tap(*row);
    settle();
    EXPECT_EQ(titles[static_cast<std::size_t>(menu.selectedIndex())], "Settings");
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MenuSlideTest,
    ::testing::Values(SlideCase{"Gauge list", {390, 844}, false}, SlideCase{"Racing", {390, 844}, false},
                      SlideCase{"Racing", {390, 844}, true}, SlideCase{"Dash Camcorder", {390, 844}, false},
                      SlideCase{"Dash Camcorder", {844, 390}, false}),
    [](const auto& info) {
        std::string name = info.param.entry;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name + (info.param.window.width > info.param.window.height ? "Landscape" : "Portrait") +
               (info.param.fromEdge ? "EdgePan" : "Swipe");
    });

class MenuSwipeTest : public RealScreensTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        RealScreensTest::SetUp();
        launchOn(GetParam(), {390, 844});
    }
};

// From the window's left edge, as a thumb does, and back from its right edge, halfway down.
TEST_P(MenuSwipeTest, ARightSwipeOpensTheMenuAndALeftSwipeClosesIt)
{
    RootController& menu = *app->rootController();
    swipe(10, 300, 422);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), RootController::menuWidth());
    EXPECT_TRUE(testsupport::shows(window->window(), "Settings"));

    swipe(380, 80, 422);
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), 0);
    EXPECT_FALSE(testsupport::shows(window->window(), "Settings"));
}

INSTANTIATE_TEST_SUITE_P(Screens, MenuSwipeTest,
                         ::testing::Values("Gauge list", "Fuel Economy/Fuel", "Fuel Economy/Trends",
                                           "Racing", "Dash Camcorder"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase_if(name, [](char c) { return c == ' ' || c == '/'; });
                             return name;
                         });

// The only button on the camera's screen that is not the record button.
ui::Button* menuButtonIn(ui::View& view)
{
    for (const auto& sub : view.subviews()) {
        if (auto* button = dynamic_cast<ui::Button*>(sub.get()))
            return button;
        if (auto* inner = menuButtonIn(*sub))
            return inner;
    }
    return nullptr;
}

class CameraMenuButtonTest : public RealScreensTest, public ::testing::WithParamInterface<ui::Size> {};

TEST_P(CameraMenuButtonTest, OpensAndClosesTheMenu)
{
    launchOn("Dash Camcorder", GetParam());
    RootController& menu = *app->rootController();
    ui::Button* button = menuButtonIn(*menu.selectedViewController().view());
    ASSERT_NE(button, nullptr);
    // On the landscape screen, where the picture is.
    const ui::Rect shown = button->convertRect(button->bounds(), nullptr);
    EXPECT_TRUE(window->window().bounds().contains(shown));
    EXPECT_FALSE(button->isHidden());

    tap(*button);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), RootController::menuWidth());
    tap(*button);
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, CameraMenuButtonTest, ::testing::Values(ui::Size{844, 390}, ui::Size{390, 844}),
                         [](const auto& info) { return info.param.width > info.param.height ? "Landscape" : "Portrait"; });

// While the menu is out the slid screen takes no touches of its own: a tap or a left swipe anywhere on it,
// over a strip chart too, puts the menu away.
TEST_F(RealScreensTest, ATapOrALeftSwipeOverTheSlidChartsClosesTheMenu)
{
    launchOn("Logging", {390, 844});
    RootController& menu = *app->rootController();
    for (const bool tapping : {true, false}) {
        menu.viewWillSlide2();
        settle();
        ASSERT_TRUE(menu.isMenuOpen());
        if (tapping)
            testsupport::tap(window->window(), {RootController::menuWidth() + 100, 300});
        else
            swipe(380, 200, 300);
        settle();
        EXPECT_FALSE(menu.isMenuOpen()) << (tapping ? "tap" : "swipe");
        EXPECT_EQ(screenX(), 0);
    }
}

// A pan from the left edge over the race pages opens the menu; a tap on the slid screen closes it, and the
// pages turn again.
TEST_F(RealScreensTest, TheRacePagesGiveWayToTheMenuAndTurnAgainAfterIt)
{
    launchOn("Racing", {390, 844});
    RootController& menu = *app->rootController();
    auto* race = dynamic_cast<RaceViewController*>(menu.visibleFeatureScreen());
    ASSERT_NE(race, nullptr);
    edgePan(200);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());
    EXPECT_EQ(race->pageIndex(), 0);

    testsupport::tap(window->window(), {RootController::menuWidth() + 100, 200});
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
    swipe(300, 60, 200);
    settle();
    EXPECT_EQ(race->pageIndex(), 1);
}

// The trends chart keeps sideways swipes for itself (they move it back in time); a pan from the window's left
// edge over it still opens the menu, and its menu button does too.
class TrendsMenuTest : public RealScreensTest, public ::testing::WithParamInterface<ui::UserInterfaceIdiom> {};

TEST_P(TrendsMenuTest, AnEdgePanOrTheMenuButtonOpensTheMenuWhileASwipeMovesTheChart)
{
    const bool pad = GetParam() == ui::UserInterfaceIdiom::Pad;
    ui::Device::current().setIdiom(GetParam());
    launchOn("Fuel Economy/Trends", pad ? ui::Size{1024, 768} : ui::Size{390, 844});
    RootController& menu = *app->rootController();
    auto* trends = dynamic_cast<GraphViewCon*>(menu.visibleFeatureScreen());
    ASSERT_NE(trends, nullptr);
    const ui::Rect chart = trends->gView()->convertRect(trends->gView()->bounds(), nullptr);
    ASSERT_LE(chart.minX(), 1);
    const double y = chart.midY();

    swipe(chart.midX() - 100, chart.midX() + 100, y);
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_GT(trends->gView()->graphDragOffset(), 0);

    edgePan(y);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), RootController::menuWidth());
    swipe(chart.maxX() - 10, chart.midX(), y);
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_EQ(screenX(), 0);

    const auto item = trends->navigationItem().leftBarButtonItem();
    ASSERT_NE(item, nullptr);
    ui::View* button = trends->navigationController()->navigationBar().viewForItem(*item);
    ASSERT_NE(button, nullptr);
    tap(*button);
    settle();
    EXPECT_TRUE(menu.isMenuOpen());
    tap(*button);
    settle();
    EXPECT_FALSE(menu.isMenuOpen());
}

INSTANTIATE_TEST_SUITE_P(Shapes, TrendsMenuTest,
                         ::testing::Values(ui::UserInterfaceIdiom::Phone, ui::UserInterfaceIdiom::Pad),
                         [](const auto& info) { return info.param == ui::UserInterfaceIdiom::Pad ? "Pad" : "Phone"; });

}  // namespace
