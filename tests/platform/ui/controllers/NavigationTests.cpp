#include "Screens.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableViewController.h"
#include "support/TestSupport.h"

using namespace ui;
using namespace controllertests;

namespace {

class NavigationTest : public ControllerTest {
protected:
    NavigationTest()
    {
        nav = std::make_shared<NavigationController>(first);
        root->setRootViewController(nav);
    }
    std::shared_ptr<Screen> first = screen("Trouble Codes");
    std::shared_ptr<NavigationController> nav;
};

TEST_F(NavigationTest, TheBackButtonCarriesThePreviousTitle)
{
    struct Case {
        std::string previousTitle;
        std::optional<std::string> backTitle;
        std::string shown;
    };
    const Case cases[] = {
        {"Codes", std::nullopt, " Codes"},
        {"", std::nullopt, " Back"},
        {"A title far too long to fit on the back button", std::nullopt, " Back"},
        {"Codes", std::string("List"), " List"},
    };
    for (const Case& c : cases) {
        first->setTitle(c.previousTitle);
        first->navigationItem().setBackButtonTitle(c.backTitle);
        auto next = screen("Detail");
        nav->pushViewController(next, false);
        ASSERT_NE(nav->navigationBar().backButton(), nullptr);
        EXPECT_EQ(nav->navigationBar().backButton()->currentTitle(), c.shown);
        EXPECT_EQ(nav->navigationBar().displayedTitle(), "Detail");
        nav->popToRootViewController(false);
    }
    EXPECT_EQ(nav->navigationBar().backButton(), nullptr) << "no back button at the root";
}

TEST_F(NavigationTest, TappingBackPopsAnimated)
{
    auto next = screen("Detail");
    nav->pushViewController(next, true);
    advance(0.1);
    EXPECT_EQ(next->view()->superview(), first->view()->superview()) << "both on screen while sliding";
    EXPECT_GT(shownFrame(*next->view()).minX(), 0);
    advance(1);
    EXPECT_EQ(shownFrame(*next->view()).minX(), 0);
    take();

    tap(*nav->navigationBar().backButton());
    advance(1);
    EXPECT_EQ(nav->topViewController(), first.get());
    EXPECT_EQ(appearance(), (Log{"Detail willDisappear", "Trouble Codes willAppear", "Detail didDisappear",
                                 "Trouble Codes didAppear"}));
}

TEST_F(NavigationTest, APushDuringASlideFinishesTheRunningOneFirst)
{
    auto b = screen("B");
    auto c = screen("C");
    nav->pushViewController(b, true);
    advance(0.1);
    take();
    nav->pushViewController(c, true);
    EXPECT_EQ(appearance(), (Log{"Trouble Codes didDisappear", "B didAppear", "C didLoad", "B willDisappear",
                                 "C willAppear"}));
    EXPECT_EQ(first->viewIfLoaded()->superview(), nullptr) << "never three screens at once";
    advance(1);
    EXPECT_EQ(appearance(), (Log{"B didDisappear", "C didAppear"}));
    EXPECT_EQ(shownFrame(*c->view()), c->view()->frame());
}

TEST_F(NavigationTest, ASlideCutShortStillEnds)
{
    auto next = screen("Detail");
    nav->pushViewController(next, true);
    advance(0.1);
    take();
    // Changes without animation take over from both slides.
    for (View* view : {first->view().get(), next->view().get()})
        view->setFrame(view->frame().offset(0, 1));
    advance(0.02);
    EXPECT_EQ(appearance(), (Log{"Trouble Codes didDisappear", "Detail didAppear"}));
    advance(1);
    EXPECT_EQ(appearance(), Log{}) << "once";
}

TEST_F(NavigationTest, BarButtonItemsShowAndAct)
{
    int done = 0;
    int more = 0;
    auto doneItem = std::make_shared<BarButtonItem>(SystemItem::Done, [&](BarButtonItem&) { ++done; });
    auto moreItem = std::make_shared<BarButtonItem>("More", BarButtonItemStyle::Plain, [&](BarButtonItem&) { ++more; });
    auto action = std::make_shared<BarButtonItem>(SystemItem::Action, nullptr);
    auto flexible = std::make_shared<BarButtonItem>(SystemItem::FlexibleSpace, nullptr);
    doneItem->setTitleTextAttributes({Font::systemFont(17), Color::white(1, 0.8)});
    first->navigationItem().setLeftBarButtonItem(doneItem);
    first->navigationItem().setRightBarButtonItems({moreItem, flexible, action});
    EXPECT_EQ(doneItem->title(), "Done");
    EXPECT_TRUE(action->image().has_value()) << "the action item is a drawn glyph";

    NavigationBar& bar = nav->navigationBar();
    ASSERT_NE(bar.viewForItem(*doneItem), nullptr);
    ASSERT_NE(bar.viewForItem(*moreItem), nullptr);
    EXPECT_EQ(bar.viewForItem(*flexible), nullptr);
    window().layoutIfNeeded();
    EXPECT_LT(bar.viewForItem(*doneItem)->frame().maxX(), bar.bounds().midX());
    EXPECT_GT(bar.viewForItem(*moreItem)->frame().minX(), bar.viewForItem(*action)->frame().maxX())
        << "the first right item is rightmost";
    tap(*bar.viewForItem(*doneItem));
    tap(*bar.viewForItem(*moreItem));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(more, 1);

    moreItem->setEnabled(false);
    tap(*bar.viewForItem(*moreItem));
    EXPECT_EQ(more, 1) << "a disabled item does nothing";
    moreItem->setTitle("Less");
    EXPECT_EQ(dynamic_cast<Button*>(bar.viewForItem(*moreItem))->currentTitle(), "Less");

    first->setTitle("Codes");
    EXPECT_EQ(bar.displayedTitle(), "Codes");
    bar.setBarTintColor(Color::lightGray());
    window().renderToImage().writePNG(testsupport::artifactsDir() / "navigation-bar.png");
}

TEST_F(NavigationTest, StackEditing)
{
    auto b = screen("B");
    auto c = screen("C");
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    nav->pushViewController(c, false);
    EXPECT_EQ(nav->viewControllers().size(), 3u) << "a screen goes on the stack once";
    take();
    const auto popped = nav->popToRootViewController(true);
    advance(1);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<ViewController>>{b, c}));
    EXPECT_EQ(appearance(), (Log{"C willDisappear", "Trouble Codes willAppear", "C didDisappear",
                                 "Trouble Codes didAppear"}))
        << "the screens in between never show";
    EXPECT_EQ(nav->popViewController(true), nullptr);

    nav->setViewControllers({b, c}, false);
    EXPECT_EQ(first->parentViewController(), nullptr);
    EXPECT_EQ(nav->topViewController(), c.get());
    EXPECT_EQ(appearance(), (Log{"Trouble Codes willDisappear", "C willAppear", "Trouble Codes didDisappear",
                                 "C didAppear"}));
}

TEST_F(NavigationTest, OpaqueBarsKeepContentBelow)
{
    window().layoutIfNeeded();
    EXPECT_EQ(first->view()->frame().minY(), 0) << "translucent: under the bar";
    EXPECT_EQ(nav->navigationBar().frame().minY(), 44) << "below the status bar";
    nav->navigationBar().setTranslucent(false);
    nav->view()->setNeedsLayout();
    window().layoutIfNeeded();
    EXPECT_EQ(first->view()->frame().minY(), 88);
    nav->setNavigationBarHidden(true, false);
    window().layoutIfNeeded();
    EXPECT_EQ(first->view()->frame().minY(), 0);
}

class TabDelegate : public TabBarControllerDelegate {
public:
    bool allow = true;
    std::vector<std::string> selected;
    bool shouldSelectViewController(TabBarController&, ViewController&) override { return allow; }
    void didSelectViewController(TabBarController&, ViewController& vc) override { selected.push_back(vc.title()); }
};

TEST_F(ControllerTest, TabsSelectByTapAsTheDelegateAllows)
{
    auto codesNav = std::make_shared<NavigationController>(screen("Trouble Codes"));
    codesNav->setTitle("Trouble Codes");
    auto terminal = screen("Terminal");
    terminal->tabBarItem().setImage(Image::named("timer.png"));
    auto tabs = std::make_shared<TabBarController>();
    TabDelegate delegate;
    tabs->setDelegate(&delegate);
    tabs->setViewControllers({codesNav, terminal});
    root->setRootViewController(tabs);
    ASSERT_EQ(tabs->view()->subviews().size(), 2u);
    EXPECT_EQ(tabs->view()->subviews()[1].get(), &tabs->tabBar()) << "the tab bar is the second subview";

    window().layoutIfNeeded();
    const Rect second = tabs->tabBar().rectForItem(1);
    const Point at = tabs->tabBar().convertPoint(second.center(), nullptr);
    delegate.allow = false;
    tap(at);
    EXPECT_EQ(tabs->selectedIndex(), 0);
    delegate.allow = true;
    tap(at);
    EXPECT_EQ(tabs->selectedIndex(), 1);
    EXPECT_EQ(delegate.selected, (std::vector<std::string>{"Terminal"}));
    tabs->setSelectedIndex(0);
    EXPECT_EQ(delegate.selected.size(), 1u) << "selection in code is not reported";

    codesNav->pushViewController(screen("Detail"), false);
    EXPECT_TRUE(tabs->selectFromTabBar(0));
    advance(1);
    EXPECT_EQ(codesNav->viewControllers().size(), 1u) << "the selected tab again goes back to its root";
    tabs->tabBar().setHidden(true);
    window().renderToImage().writePNG(testsupport::artifactsDir() / "tab-bar-hidden.png");
}

} // namespace

namespace {

class Rows : public TableViewController {
public:
    int numberOfRowsInSection(TableView&, int) override { return 40; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override
    {
        return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "row");
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath indexPath) override { selected.push_back(indexPath.row); }
    std::vector<int> selected;
};

} // namespace

// Under a translucent bar a table would start hidden behind it, its first rows
// out of reach; the bar's share of the screen is kept clear instead.
TEST_F(ControllerTest, ATableUnderATranslucentBarStartsBelowIt)
{
    for (const bool translucent : {true, false}) {
        auto rows = std::make_shared<Rows>();
        auto nav = std::make_shared<NavigationController>(rows);
        nav->navigationBar().setTranslucent(translucent);
        root->setRootViewController(nav);
        window().layoutIfNeeded();

        const double barBottom = nav->navigationBar().convertRect(nav->navigationBar().bounds(), nullptr).maxY();
        const Rect first = rows->tableView().convertRect(rows->tableView().rectForRowAtIndexPath({0, 0}), nullptr);
        EXPECT_NEAR(first.minY(), barBottom, 0.5) << "translucent " << translucent;

        tap(first.center());
        EXPECT_EQ(rows->selected, std::vector<int>{0}) << "translucent " << translucent;
    }
}

// In a tab the tab bar lies over the bottom of the screen, as a translucent navigation bar over its top:
// a table scrolled to its end shows its last row above the tab bar, where a tap reaches it.
TEST_F(ControllerTest, ATableInATabScrollsItsLastRowAboveTheTabBar)
{
    auto rows = std::make_shared<Rows>();
    auto tabs = std::make_shared<TabBarController>();
    tabs->setViewControllers({std::make_shared<NavigationController>(rows)});
    root->setRootViewController(tabs);
    window().layoutIfNeeded();

    const Rect screen = window().bounds();
    for (int flick = 0; flick < 6; ++flick)
        testsupport::drag(window(), {screen.midX(), screen.maxY() - 150}, {screen.midX(), 150}, 0.1, 5);
    advance(5);
    const Rect bar = tabs->tabBar().convertRect(tabs->tabBar().bounds(), nullptr);
    const Rect last = rows->tableView().convertRect(rows->tableView().rectForRowAtIndexPath({0, 39}), nullptr);
    EXPECT_LE(last.maxY(), bar.minY() + 0.5);
    tap(last.center());
    EXPECT_EQ(rows->selected, std::vector<int>{39});
}
