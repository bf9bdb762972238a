#include "Screens.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"

using namespace ui;
using namespace controllertests;

namespace {

class AppearanceTest : public ControllerTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AppearanceTest, PushAndPopInThePlatformsOrder)
{
    const bool animated = GetParam();
    auto a = screen("A");
    auto b = screen("B");
    auto nav = std::make_shared<NavigationController>(a);
    root->setRootViewController(nav);
    EXPECT_EQ(appearance(), (Log{"A didLoad", "A willAppear", "A didAppear"}));

    nav->pushViewController(b, animated);
    advance(1);
    EXPECT_EQ(appearance(), (Log{"B didLoad", "A willDisappear", "B willAppear", "A didDisappear", "B didAppear"}));
    EXPECT_EQ(b->navigationController(), nav.get());
    EXPECT_FALSE(a->viewIfLoaded()->window()) << "the covered screen leaves the window";

    EXPECT_EQ(nav->popViewController(animated), b);
    advance(1);
    EXPECT_EQ(appearance(), (Log{"B willDisappear", "A willAppear", "B didDisappear", "A didAppear"}));
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(b->navigationController(), nullptr);
}

TEST_P(AppearanceTest, FullScreenPresentationCoversThePresenter)
{
    const bool animated = GetParam();
    auto a = screen("A");
    auto b = screen("B");
    root->setRootViewController(a);
    take();
    bool presented = false;
    b->setModalPresentationStyle(ModalPresentationStyle::FullScreen);
    a->presentViewController(b, animated, [&] { presented = true; });
    advance(1);
    EXPECT_TRUE(presented);
    EXPECT_EQ(appearance(), (Log{"B didLoad", "A willDisappear", "B willAppear", "B didAppear", "A didDisappear"}));
    EXPECT_EQ(a->presentedViewController(), b.get());
    EXPECT_EQ(b->presentingViewController(), a.get());
    EXPECT_EQ(root->topViewController(), b.get());

    bool dismissed = false;
    b->dismissViewController(animated, [&] { dismissed = true; });
    advance(1);
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(appearance(), (Log{"B willDisappear", "A willAppear", "A didAppear", "B didDisappear"}));
    EXPECT_EQ(a->presentedViewController(), nullptr);
    EXPECT_EQ(a->viewIfLoaded()->window(), &window());
    EXPECT_EQ(b->viewIfLoaded()->window(), nullptr);
}

TEST_F(ControllerTest, ADismissalDuringThePresentationFinishesItFirst)
{
    auto a = screen("A");
    auto b = screen("B");
    root->setRootViewController(a);
    b->setModalPresentationStyle(ModalPresentationStyle::FullScreen);
    std::string done;
    a->presentViewController(b, true, [&] { done += "presented "; });
    advance(0.1);
    take();
    b->dismissViewController(true, [&] { done += "dismissed"; });
    EXPECT_EQ(done, "presented ");
    EXPECT_EQ(appearance(), (Log{"B didAppear", "A didDisappear", "B willDisappear", "A willAppear"}));
    advance(1);
    EXPECT_EQ(done, "presented dismissed");
    EXPECT_EQ(appearance(), (Log{"A didAppear", "B didDisappear"}));
    EXPECT_EQ(b->viewIfLoaded()->window(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AnimatedOrNot, AppearanceTest, ::testing::Bool());

TEST_F(ControllerTest, SheetsCoverAPhoneButNotAPad)
{
    struct Case {
        UserInterfaceIdiom idiom;
        ModalPresentationStyle style;
        bool covers;
    };
    const Case cases[] = {
        {UserInterfaceIdiom::Phone, ModalPresentationStyle::PageSheet, true},
        {UserInterfaceIdiom::Phone, ModalPresentationStyle::OverFullScreen, false},
        {UserInterfaceIdiom::Pad, ModalPresentationStyle::FormSheet, false},
        {UserInterfaceIdiom::Pad, ModalPresentationStyle::PageSheet, false},
        {UserInterfaceIdiom::Pad, ModalPresentationStyle::FullScreen, true},
    };
    for (const Case& c : cases) {
        Device::current().setIdiom(c.idiom);
        auto a = screen("A");
        auto b = screen("B");
        root->setRootViewController(a);
        take();
        b->setModalPresentationStyle(c.style);
        a->presentViewController(b, true);
        advance(1);
        b->dismissViewController(true);
        advance(1);
        const Log expected = c.covers
            ? Log{"B didLoad", "A willDisappear", "B willAppear", "B didAppear", "A didDisappear",
                  "B willDisappear", "A willAppear", "A didAppear", "B didDisappear"}
            : Log{"B didLoad", "B willAppear", "B didAppear", "B willDisappear", "B didDisappear"};
        EXPECT_EQ(appearance(), expected) << static_cast<int>(c.style) << " on " << static_cast<int>(c.idiom);
        root->setRootViewController(nullptr);
    }
}

TEST_F(ControllerTest, PresentingFromAChildCoversTheWholeStack)
{
    auto a = screen("A");
    auto b = screen("B");
    auto nav = std::make_shared<NavigationController>(a);
    root->setRootViewController(nav);
    take();
    b->setModalPresentationStyle(ModalPresentationStyle::FullScreen);
    a->presentViewController(b, false);
    EXPECT_EQ(appearance(), (Log{"B didLoad", "A willDisappear", "B willAppear", "B didAppear", "A didDisappear"}));
    EXPECT_EQ(b->presentingViewController(), nav.get());
    EXPECT_EQ(a->presentedViewController(), b.get());

    auto c = screen("C");
    a->presentViewController(c, false);
    EXPECT_EQ(appearance(), Log{}) << "one presentation at a time";
    a->dismissViewController(false);
    EXPECT_EQ(appearance(), (Log{"B willDisappear", "A willAppear", "A didAppear", "B didDisappear"}));
}

TEST_F(ControllerTest, TabSwitchShowsTheNewTabFirst)
{
    auto a = screen("A");
    auto b = screen("B");
    auto tabs = std::make_shared<TabBarController>();
    tabs->setViewControllers({a, b});
    root->setRootViewController(tabs);
    EXPECT_EQ(appearance(), (Log{"A didLoad", "A willAppear", "A didAppear"}));
    EXPECT_FALSE(b->isViewLoaded()) << "a tab loads when first shown";

    tabs->setSelectedIndex(1);
    EXPECT_EQ(appearance(), (Log{"B didLoad", "B willAppear", "A willDisappear", "A didDisappear", "B didAppear"}));
    EXPECT_EQ(tabs->selectedViewController(), b.get());
    EXPECT_EQ(b->tabBarController(), tabs.get());
    tabs->setSelectedIndex(1);
    tabs->setSelectedIndex(7);
    EXPECT_EQ(appearance(), Log{}) << "the selected tab again, or none, changes nothing";
}

TEST_F(ControllerTest, LayoutPassesReachTheScreen)
{
    auto a = screen("A");
    auto nav = std::make_shared<NavigationController>(a);
    root->setRootViewController(nav);
    take();
    window().layoutIfNeeded();
    EXPECT_EQ(take(), (Log{"A didLayout"}));
    window().layoutIfNeeded();
    EXPECT_EQ(take(), Log{}) << "only when something changed";
    root->setSize({844, 390}, 0);
    const Log log = take();
    EXPECT_NE(std::find(log.begin(), log.end(), "A didLayout"), log.end());
}

TEST_F(ControllerTest, ChildAddedToAScreenOnViewAppearsWithIt)
{
    auto parent = screen("P");
    root->setRootViewController(parent);
    take();
    auto child = screen("C");
    parent->addChildViewController(child);
    parent->view()->addSubview(child->view());
    child->didMoveToParentViewController(parent.get());
    EXPECT_EQ(appearance(), (Log{"C didLoad", "C willAppear", "C didAppear"}));

    auto cover = screen("X");
    cover->setModalPresentationStyle(ModalPresentationStyle::FullScreen);
    parent->presentViewController(cover, false);
    EXPECT_EQ(appearance(), (Log{"X didLoad", "P willDisappear", "C willDisappear", "X willAppear", "X didAppear",
                                 "P didDisappear", "C didDisappear"}));

    cover->dismissViewController(false);
    take();
    child->willMoveToParentViewController(nullptr);
    child->view()->removeFromSuperview();
    child->removeFromParentViewController();
    EXPECT_EQ(appearance(), (Log{"C willDisappear", "C didDisappear"}));
    EXPECT_TRUE(parent->childViewControllers().empty());
}

} // namespace
