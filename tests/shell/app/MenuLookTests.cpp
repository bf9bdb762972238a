// The menu as a user meets it around the settings: the failure messages of a connection, the sound of a
// connection, the theme, and the way to the menu from every root screen.

#include <algorithm>
#include <cmath>
#include <string>

#include "ShellAppTest.h"

#include "core/Notifications.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "shell/TableLook.h"
#include "support/LoopbackServer.h"

namespace {

class MenuLookTest : public ShellAppTest {
protected:
    int shownFailures()
    {
        const auto all = testsupport::texts(window->window());
        return static_cast<int>(std::count_if(all.begin(), all.end(), [](const std::string& text) {
            return text.find("Cannot reach the adapter") != std::string::npos;
        }));
    }
    static bool near(ui::Color a, ui::Color b)
    {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 0.05;
    }
    // The settings screen's bar button at the left, as drawn.
    ui::View* menuButtonOf(ui::ViewController& screen)
    {
        auto* navigation = screen.navigationController();
        const auto item = screen.navigationItem().leftBarButtonItem();
        if (!navigation || !item)
            return nullptr;
        window->window().layoutIfNeeded();
        return navigation->navigationBar().viewForItem(*item);
    }
};

// A failing adapter tells why at every attempt, one message at a time, and what it told is gone as soon as
// it connects, with the connection's sound.
TEST_F(MenuLookTest, FailureToastsShowOneAtATimeAndGoOnConnecting)
{
    settings().port = testsupport::unusedLoopbackPort();
    int drops = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [&](const fnd::Notification&) { ++drops; });
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    root->setMenuOpen(false, false);
    for (int i = 1; i <= 6; ++i) {
        ASSERT_TRUE(waitFor([&] { return drops == i; }));
        advance(RootController::reconnectDelay);
        EXPECT_EQ(shownFailures(), 1) << ::testing::PrintToString(testsupport::texts(window->window()));
    }
    EXPECT_TRUE(fnd::SystemSound::played().empty());

    settings().port = sim.port();
    Manager::sharedManager().saveChanges();  // the link takes the address from here
    ASSERT_TRUE(waitFor([&] { return drops == 7; }));  // the attempt already under way
    advance(RootController::reconnectDelay);
    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    advance(0.5);
    EXPECT_EQ(shownFailures(), 0) << ::testing::PrintToString(testsupport::texts(window->window()));
    advance(RootController::droppedToastDuration * 4);
    EXPECT_EQ(shownFailures(), 0) << "none was waiting behind it";
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{RootController::connectedSound});
}

// Settings > Theme > Light, back, then the menu: the whole menu is light, not only its rows.
TEST_F(MenuLookTest, ThemeChosenInTheSettingsRepaintsTheWholeMenu)
{
    settings().connectionMode = 1;
    launchApp();
    root = app->rootController();
    root->setMenuOpen(false, false);
    advance(1);
    ASSERT_TRUE(testsupport::tapText(window->window(), "Theme"));
    advance(1);
    ASSERT_TRUE(testsupport::tapText(window->window(), "Light"));
    advance(1);
    ASSERT_EQ(settings().theme, 1);
    auto& settingsStack = static_cast<ui::NavigationController&>(root->selectedViewController());
    ASSERT_NE(settingsStack.navigationBar().backButton(), nullptr);
    tap(*settingsStack.navigationBar().backButton());
    advance(1);
    swipe(20, 300);
    advance(1);
    ASSERT_TRUE(root->isMenuOpen());

    const ui::Image picture = window->window().renderToImage(1);
    const ui::Color light = TableLook::forTheme(1).tableBackground;
    const double bottom = window->window().bounds().height() - 5;
    EXPECT_TRUE(near(picture.pixel(20, static_cast<int>(bottom)), light)) << "below the rows";
    EXPECT_TRUE(near(picture.pixel(5, 70), TableLook::forTheme(1).cellBackground)) << "the status strip";
}

// Every screen at the root of an entry with a bar, tabs included, opens the menu from its bar.
TEST_F(MenuLookTest, EveryRootScreenHasTheMenuButton)
{
    settings().connectionMode = 1;
    auto first = std::make_shared<ui::ViewController>();
    auto second = std::make_shared<ui::ViewController>();
    AppScreens screens;
    screens.menu.push_back({"Fuel Economy", [&] {
                                return std::shared_ptr<ui::ViewController>(
                                    AppDelegate::makeTabBar({{"Fuel", first}, {"Trends", second}}));
                            }});
    launchApp(std::move(screens));
    root = app->rootController();
    root->selectEntry(1);
    advance(1);
    auto& settingsStack = static_cast<ui::NavigationController&>(root->selectedViewController());
    ui::View* settingsButton = menuButtonOf(*settingsStack.viewControllers().front());
    ASSERT_NE(settingsButton, nullptr) << "the settings screen has the menu button";
    tap(*settingsButton);
    advance(1);
    EXPECT_TRUE(root->isMenuOpen());

    for (ui::ViewController* screen : {first.get(), second.get()}) {
        root->selectEntry(0);
        static_cast<ui::TabBarController&>(root->selectedViewController())
            .setSelectedIndex(screen == first.get() ? 0 : 1);
        advance(1);
        ASSERT_FALSE(root->isMenuOpen());
        ui::View* button = menuButtonOf(*screen);
        ASSERT_NE(button, nullptr);
        tap(*button);
        advance(1);
        EXPECT_TRUE(root->isMenuOpen());
    }
}

}  // namespace
