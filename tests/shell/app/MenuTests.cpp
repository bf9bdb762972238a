// The menu's entries, what it hands to the screens, and the sliding of the content.

#include "ShellAppTest.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "shell/AppDelegate.h"

namespace {

// Where the content is on screen (while a slide runs, where it has got to).
double contentX(RootController& root)
{
    const ui::LayerState shown = root.selectedViewController().view()->superview()->presentationState();
    return shown.center.x - shown.bounds.width() / 2;
}

class SlidingTest : public ShellAppTest {
protected:
    // One feature screen on view with the menu closed, in manual mode.
    std::shared_ptr<ProbeScreen> showFeatureScreenAlone()
    {
        settings().connectionMode = 1;
        auto list = std::make_shared<ProbeScreen>();
        showMenu({list}, {"Gauge list"});
        root->selectEntry(0);
        advance(RootController::slideDuration);
        return list;
    }
};

TEST_F(ShellAppTest, EveryScreenGetsTheLinkAndTheMenu)
{
    settings().connectionMode = 1;
    auto plain = std::make_shared<ProbeScreen>();
    auto stacked = std::make_shared<ProbeScreen>();
    auto fuel = std::make_shared<ProbeScreen>();
    auto trends = std::make_shared<ProbeScreen>();
    auto emissions = std::make_shared<ProbeLinkedScreen>();
    auto codes = std::make_shared<ProbeLinkedScreen>();
    auto diagnostics = AppDelegate::makeTabBar({{"Emissions", emissions}, {"Trouble Codes", codes}});
    auto fuelTabs = AppDelegate::makeTabBar({{"Fuel", fuel}, {"Trends", trends}});
    ASSERT_TRUE(diagnostics && fuelTabs);
    showMenu({plain, std::make_shared<ui::NavigationController>(stacked), diagnostics, fuelTabs},
             {"Gauge list", "Logging", "Diagnostics", "Fuel Economy"});

    for (const auto& screen : {plain, stacked, fuel, trends}) {
        EXPECT_EQ(screen->scanner().get(), &link());
        EXPECT_EQ(screen->delegate().get(), static_cast<TemplateViewControllerDelegate*>(root.get()));
    }
    for (const auto& screen : {emissions, codes}) {
        EXPECT_EQ(screen->scanner().get(), &link());
        EXPECT_EQ(screen->menu.lock().get(), static_cast<DTCViewControllerDelegate*>(root.get()));
    }
    EXPECT_EQ(emissions->navigationController(), diagnostics->viewControllers()[0].get());
    EXPECT_EQ(diagnostics->viewControllers()[1]->tabBarItem().title(), "Trouble Codes");
}

TEST_F(ShellAppTest, EmptyTabBarIsLeftOut)
{
    EXPECT_EQ(AppDelegate::makeTabBar({}), nullptr);
    EXPECT_EQ(AppDelegate::makeTabBar({{"Emissions", nullptr}}), nullptr);
}

// After initialisation only the screen on view inside the selected entry is asked to poll.
TEST_F(ShellAppTest, StartScanningReachesOnlyTheVisibleScreen)
{
    settings().connectionMode = 1;
    auto list = std::make_shared<ProbeScreen>();
    auto fuel = std::make_shared<ProbeScreen>();
    auto trends = std::make_shared<ProbeScreen>();
    auto fuelTabs = AppDelegate::makeTabBar({{"Fuel", fuel}, {"Trends", trends}});
    showMenu({list, fuelTabs}, {"Gauge list", "Fuel Economy"});
    EXPECT_EQ(list->rotations, 1);

    root->selectEntry(1);
    EXPECT_EQ(fuel->rotations, 1);
    fuelTabs->setSelectedIndex(1);
    EXPECT_EQ(root->visibleFeatureScreen(), trends.get());
    root->connect();
    ASSERT_TRUE(waitFor([&] { return trends->scans > 0; }));
    EXPECT_EQ(list->scans, 0);
    EXPECT_EQ(fuel->scans, 0);
    EXPECT_EQ(trends->scans, 1);
}

// The hand-over between screens: each takes the link as it appears and releases it as it leaves; while
// a plain screen is on view the menu has it, and a screen that is gone is never left holding it.
TEST_F(ShellAppTest, LinkPassesBetweenScreensAndBackToTheMenu)
{
    settings().connectionMode = 1;
    auto list = std::make_shared<ProbeScreen>();
    auto plain = std::make_shared<ui::ViewController>();
    showMenu({list, plain}, {"Gauge list", "Settings"});
    EXPECT_EQ(link().delegate().get(), static_cast<ScannerDelegate*>(root.get()));

    list->takeLink();
    EXPECT_TRUE(list->holdsLink());
    auto other = std::make_shared<ProbeScreen>();
    other->setScanner(list->scanner());
    other->takeLink();
    list->releaseLink();  // leaving after the next screen took over
    EXPECT_TRUE(other->holdsLink());
    other.reset();        // gone without releasing
    EXPECT_EQ(link().delegate().get(), static_cast<ScannerDelegate*>(root.get()));

    // A diagnostics tab root hands the link over the same way.
    auto codes = std::make_shared<ProbeLinkedScreen>();
    codes->setScanner(list->scanner());
    codes->takeLink();
    EXPECT_TRUE(codes->holdsLink());
    codes->releaseLink();
    EXPECT_EQ(link().delegate().get(), static_cast<ScannerDelegate*>(root.get()));

    root->selectEntry(1);
    EXPECT_EQ(link().delegate().get(), static_cast<ScannerDelegate*>(root.get()));
    EXPECT_EQ(root->visibleFeatureScreen(), nullptr);
}

TEST_F(ShellAppTest, TappingAnEntryShowsItsScreenAndClosesTheMenu)
{
    settings().connectionMode = 1;
    auto list = std::make_shared<ProbeScreen>();
    auto plain = std::make_shared<ui::ViewController>();
    showMenu({list, plain}, {"Gauge list", "Settings"});
    EXPECT_TRUE(root->isMenuOpen());
    EXPECT_EQ(contentX(*root), RootController::menuWidth());

    root->menuTable().layoutIfNeeded();
    auto row = root->menuTable().cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(row);
    tap(*row);
    EXPECT_EQ(root->selectedIndex(), 1);
    EXPECT_TRUE(plain->isVisible());
    EXPECT_FALSE(list->isVisible());
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());
    EXPECT_EQ(contentX(*root), 0);
}

TEST_F(SlidingTest, MenuButtonTogglesTheMenu)
{
    const auto list = showFeatureScreenAlone();
    ASSERT_EQ(contentX(*root), 0);

    root->viewWillSlide2();
    advance(RootController::slideDuration / 2);
    const double halfway = contentX(*root);
    EXPECT_GT(halfway, 0);
    EXPECT_LT(halfway, RootController::menuWidth());
    advance(RootController::slideDuration / 2);
    EXPECT_TRUE(root->isMenuOpen());
    EXPECT_EQ(contentX(*root), RootController::menuWidth());

    root->viewWillSlide2();
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());
    EXPECT_EQ(contentX(*root), 0);
}

// A feature screen moves its own view; the content takes the move over, so the menu is under the screen,
// and brings the screen back when it closes.
TEST_F(SlidingTest, ScreenThatSlidItselfIsBroughtBack)
{
    const auto list = showFeatureScreenAlone();

    ui::View& own = *list->view();
    own.setFrame({{RootController::menuWidth(), 0}, own.frame().size});
    root->viewWillSlide(true);
    EXPECT_TRUE(root->isMenuOpen());
    advance(RootController::slideDuration);
    root->view()->layoutIfNeeded();
    EXPECT_EQ(contentX(*root), RootController::menuWidth());
    EXPECT_EQ(own.frame().x(), 0);

    root->selectEntry(0);
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());
    EXPECT_EQ(own.frame().x(), 0);
    EXPECT_EQ(contentX(*root), 0);
}

// The content casts its shadow on the menu while the menu shows or slides; closed, the content covers
// its shadow, which is not drawn at all.
TEST_F(ShellAppTest, TheContentCastsItsShadowOnlyWhileTheMenuShows)
{
    settings().connectionMode = 1;
    showMenu({std::make_shared<ui::ViewController>()}, {"Settings"});
    const auto shadow = [&] { return root->selectedViewController().view()->superview()->shadowOpacity(); };
    EXPECT_GT(shadow(), 0) << "the menu shows at start";
    root->selectEntry(0);
    advance(RootController::slideDuration / 2);
    EXPECT_GT(shadow(), 0) << "still sliding";
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());
    EXPECT_EQ(shadow(), 0);

    swipe(40, 200);
    EXPECT_GT(shadow(), 0) << "from the start of the slide";
    advance(RootController::slideDuration);
    EXPECT_TRUE(root->isMenuOpen());
    swipe(350, 250);
    advance(RootController::slideDuration);
    EXPECT_EQ(shadow(), 0);
}

TEST_F(ShellAppTest, SwipesMoveTheMenuOverPlainScreensOnly)
{
    settings().connectionMode = 1;
    auto plain = std::make_shared<ui::ViewController>();
    auto list = std::make_shared<ProbeScreen>();
    showMenu({plain, list}, {"Settings", "Gauge list"});
    root->selectEntry(0);
    advance(RootController::slideDuration);

    swipe(40, 200);
    advance(RootController::slideDuration);
    EXPECT_TRUE(root->isMenuOpen());
    EXPECT_EQ(contentX(*root), RootController::menuWidth());
    swipe(350, 250);
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());

    root->selectEntry(1);
    swipe(40, 200);
    advance(RootController::slideDuration);
    EXPECT_FALSE(root->isMenuOpen());
}

struct WidthCase {
    const char* name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
    double width;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const WidthCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuWidth : public ShellAppTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(MenuWidth, FollowsTheScreen)
{
    const WidthCase& c = GetParam();
    ui::Device::current().setIdiom(c.idiom);
    ui::Device::current().setScreenSize(c.size);
    EXPECT_EQ(RootController::menuWidth(), c.width);

    settings().connectionMode = 1;
    showMenu({std::make_shared<ui::ViewController>()}, {"Settings"});
    root->view()->layoutIfNeeded();
    EXPECT_EQ(contentX(*root), c.width);
    EXPECT_EQ(root->statusView().frame().width(), c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MenuWidth,
    ::testing::Values(WidthCase{"PhonePortrait", ui::UserInterfaceIdiom::Phone, {390, 844}, 190},
                      WidthCase{"PhoneLandscape", ui::UserInterfaceIdiom::Phone, {844, 390}, 230},
                      WidthCase{"SmallPhoneLandscape", ui::UserInterfaceIdiom::Phone, {667, 375}, 190},
                      WidthCase{"PadLandscape", ui::UserInterfaceIdiom::Pad, {1024, 768}, 190}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellAppTest, TurningThePhoneRelaysTheMenuOut)
{
    settings().connectionMode = 1;
    auto plain = std::make_shared<ui::ViewController>();
    showMenu({plain}, {"Settings"});
    window->setSize({844, 390}, 0);
    window->window().layoutIfNeeded();
    EXPECT_EQ(contentX(*root), 230);
    EXPECT_EQ(root->statusView().frame().width(), 230);
    EXPECT_EQ(plain->view()->frame().size, (ui::Size{844, 390}));
    EXPECT_EQ(root->menuTable().frame().maxY(), 390);
}

TEST_F(ShellAppTest, EntriesWithoutAScreenAreLeftOut)
{
    settings().connectionMode = 1;
    auto settingsScreen = std::make_shared<ui::ViewController>();
    showMenu({nullptr, settingsScreen}, {"Racing", "Settings", "Logging"});
    EXPECT_EQ(root->menuTitles(), std::vector<std::string>{"Settings"});
    EXPECT_EQ(root->menuTable().numberOfRowsInSection(0), 1);
    EXPECT_EQ(&root->selectedViewController(), settingsScreen.get());
}

// The first screen appears with the menu, not before it.
TEST_F(ShellAppTest, FirstScreenAppearsWithTheMenu)
{
    settings().connectionMode = 1;
    auto first = std::make_shared<ProbeScreen>();
    root = RootController::create({first, std::make_shared<ui::ViewController>()}, {"Gauge list", "Settings"});
    root->loadViewIfNeeded();
    EXPECT_FALSE(first->isVisible());
    window = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    window->setRootViewController(root);
    EXPECT_TRUE(first->isVisible());
    root->selectEntry(1);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(root->selectedViewController().isVisible());
}

}  // namespace
