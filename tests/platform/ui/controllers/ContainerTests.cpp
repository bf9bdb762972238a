#include "Screens.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TableViewController.h"

using namespace ui;
using namespace controllertests;

namespace {

// Pages 0..count-1, made once and kept, as the race screen keeps its pages.
class Pages : public PageViewControllerDataSource, public PageViewControllerDelegate {
public:
    Pages(int count, const std::shared_ptr<Log>& log)
    {
        for (int i = 0; i < count; ++i) {
            auto page = std::make_shared<Screen>("P" + std::to_string(i), log);
            page->view()->setBackgroundColor(Color::hsb(i / 4.0, 1, 1));
            pages.push_back(page);
        }
    }
    int indexOf(const ViewController& vc) const
    {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].get() == &vc)
                return static_cast<int>(i);
        }
        return -1;
    }
    std::shared_ptr<ViewController> viewControllerBeforeViewController(PageViewController&, ViewController& vc) override
    {
        const int i = indexOf(vc);
        return i > 0 ? pages[static_cast<std::size_t>(i - 1)] : nullptr;
    }
    std::shared_ptr<ViewController> viewControllerAfterViewController(PageViewController&, ViewController& vc) override
    {
        const int i = indexOf(vc);
        return i >= 0 && i + 1 < static_cast<int>(pages.size()) ? pages[static_cast<std::size_t>(i + 1)] : nullptr;
    }
    int presentationCountForPageViewController(PageViewController&) override { return static_cast<int>(pages.size()); }
    void didFinishAnimating(PageViewController& pvc, bool, const std::vector<std::shared_ptr<ViewController>>& previous,
                            bool completed) override
    {
        finished.push_back(std::to_string(indexOf(*previous.front())) + (completed ? ">" : "=")
                           + std::to_string(indexOf(*pvc.viewControllers().front())));
    }
    std::vector<std::shared_ptr<Screen>> pages;
    std::vector<std::string> finished;
};

class PageTest : public ControllerTest {
protected:
    PageTest()
    {
        pvc->setDataSource(&pages);
        pvc->setDelegate(&pages);
        pvc->setViewControllers({pages.pages[0]}, PageViewControllerNavigationDirection::Forward, false);
        root->setRootViewController(pvc);
        window().layoutIfNeeded();
        take();
    }
    void swipe(double fromX, double toX)
    {
        window().sendTouch(TouchPhase::Began, {fromX, 400});
        for (int i = 1; i <= 10; ++i) {
            advance(0.01);
            window().sendTouch(TouchPhase::Moved, {fromX + (toX - fromX) * i / 10, 400});
        }
        window().sendTouch(TouchPhase::Ended, {toX, 400});
        advance(2);
    }
    Pages pages{3, log};
    std::shared_ptr<PageViewController> pvc = std::make_shared<PageViewController>(
        PageViewControllerTransitionStyle::Scroll, PageViewControllerNavigationOrientation::Horizontal);
};

TEST_F(PageTest, ItsViewHoldsAScrollViewAndAPageControl)
{
    const auto& subviews = pvc->view()->subviews();
    ASSERT_EQ(subviews.size(), 2u);
    EXPECT_NE(dynamic_cast<ScrollView*>(subviews[0].get()), nullptr);
    auto* dots = dynamic_cast<PageControl*>(subviews[1].get());
    ASSERT_NE(dots, nullptr);
    EXPECT_EQ(dots->numberOfPages(), 3);
    EXPECT_FALSE(dots->isHidden());
}

TEST_F(PageTest, AFlickTurnsOnePage)
{
    swipe(350, 100);
    EXPECT_EQ(pvc->viewControllers().front(), pages.pages[1]);
    EXPECT_EQ(pages.finished, (std::vector<std::string>{"0>1"}));
    EXPECT_EQ(pvc->pageControl().currentPage(), 1);
    EXPECT_EQ(appearance(), (Log{"P0 willDisappear", "P1 willAppear", "P0 didDisappear", "P1 didAppear"}));
    EXPECT_EQ(pvc->scrollView().contentOffset().x, 390) << "the current page sits in the middle slot";

    swipe(100, 350);
    EXPECT_EQ(pvc->viewControllers().front(), pages.pages[0]);
    swipe(100, 350);
    EXPECT_EQ(pvc->viewControllers().front(), pages.pages[0]) << "nothing before the first page";
    EXPECT_EQ(pages.finished.back(), "0=0");
}

TEST_F(PageTest, PagesSetInCodeScrollIntoPlace)
{
    bool done = false;
    pvc->setViewControllers({pages.pages[2]}, PageViewControllerNavigationDirection::Forward, true,
                            [&](bool finished) { done = finished; });
    EXPECT_FALSE(done);
    advance(1);
    EXPECT_TRUE(done);
    EXPECT_EQ(pvc->viewControllers().front(), pages.pages[2]);
    EXPECT_TRUE(pages.finished.empty()) << "code turns are not reported to the delegate";
    EXPECT_EQ(appearance(), (Log{"P0 willDisappear", "P2 willAppear", "P0 didDisappear", "P2 didAppear"}));
    EXPECT_EQ(pages.pages[0]->parentViewController(), nullptr) << "a page far away is let go";
    EXPECT_EQ(pages.pages[1]->parentViewController(), pvc.get());
}

// A table screen listing fixed rows.
class Rows : public TableViewController {
public:
    Rows()
        : TableViewController(TableViewStyle::Grouped)
    {
    }
    int numberOfRowsInSection(TableView&, int) override { return rows; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath path) override
    {
        auto cell = std::make_shared<TableViewCell>();
        cell->textLabel()->setText("Row " + std::to_string(path.row));
        return cell;
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath path) override { selected.push_back(path.row); }
    int rows = 5;
    std::vector<int> selected;
};

TEST_F(ControllerTest, ATableScreenIsItsTablesSourceAndDelegate)
{
    auto rows = std::make_shared<Rows>();
    auto nav = std::make_shared<NavigationController>(rows);
    root->setRootViewController(nav);
    EXPECT_EQ(rows->view().get(), &rows->tableView());
    EXPECT_EQ(rows->tableView().style(), TableViewStyle::Grouped);
    EXPECT_EQ(rows->tableView().numberOfRowsInSection(0), 5);
    window().layoutIfNeeded();
    auto cell = rows->tableView().cellForRowAtIndexPath({0, 2});
    ASSERT_NE(cell, nullptr);
    tap(*cell);
    EXPECT_EQ(rows->selected, (std::vector<int>{2}));

    auto next = screen("Next");
    nav->pushViewController(next, false);
    nav->popViewController(false);
    EXPECT_FALSE(rows->tableView().indexPathForSelectedRow()) << "the selection clears when the table comes back";

    const auto edit = rows->editButtonItem();
    EXPECT_EQ(edit->title(), "Edit");
    edit->sendAction();
    EXPECT_TRUE(rows->tableView().isEditing());
    EXPECT_EQ(edit->title(), "Done");
}

} // namespace
