#include <string>
#include <vector>

#include "ShellScreens.h"
#include "platform/ui/Image.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"
#include "shell/RoundedCell.h"
#include "shell/TutViewCon.h"
#include "shell/UIPageViewCon.h"

using namespace shelltests;

namespace {

// A table of one group of three rows on a red background.
class Rows : public ui::TableViewDataSource {
public:
    int numberOfRowsInSection(ui::TableView&, int) override { return 3; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath path) override
    {
        auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1);
        cell->setBackgroundColor(ui::Color::white());
        cell->setTop(path.row == 0);
        cell->setBottom(path.row == 2);
        return cell;
    }
};

TEST(RoundedCellTest, RoundsOnlyTheOuterCornersOfAGroup)
{
    Rows rows;
    auto table = std::make_shared<ui::TableView>(ui::makeRect(0, 0, 200, 200), ui::TableViewStyle::Plain);
    table->setBackgroundColor(ui::Color::red());
    table->setSeparatorStyle(ui::TableViewSeparatorStyle::None);
    table->setDataSource(&rows);
    table->layoutIfNeeded();
    const ui::Image image = table->renderToImage(1);
    image.writePNG(testsupport::artifactsDir() / "rounded-cells.png");

    const double h = ui::TableView::defaultRowHeight;
    const auto isRed = [&](double x, double y) {
        const ui::Color c = image.pixel(static_cast<int>(x), static_cast<int>(y));
        return c.r > 0.9 && c.g < 0.1;
    };
    EXPECT_TRUE(isRed(0, 0)) << "top left of the first row";
    EXPECT_TRUE(isRed(199, 0)) << "top right of the first row";
    EXPECT_FALSE(isRed(0, h - 1)) << "bottom left of the first row stays square";
    EXPECT_FALSE(isRed(0, h + 1)) << "a middle row stays square";
    EXPECT_FALSE(isRed(199, 2 * h - 1));
    EXPECT_TRUE(isRed(0, 3 * h - 1)) << "bottom left of the last row";
    EXPECT_TRUE(isRed(199, 3 * h - 1)) << "bottom right of the last row";
    EXPECT_FALSE(isRed(100, 3 * h - 1)) << "the bottom edge between the corners";
    EXPECT_FALSE(isRed(RoundedCell::cornerRadius, RoundedCell::cornerRadius)) << "inside the corner's arc";
}

class PagesTest : public ShellTest {};

TEST_F(PagesTest, PageViewFillsItsViewWithThePageControlOnTop)
{
    auto pages = std::make_shared<UIPageViewCon>(ui::PageViewControllerTransitionStyle::Scroll,
                                                 ui::PageViewControllerNavigationOrientation::Horizontal);
    root->setRootViewController(pages);
    pages->pageControl().setHidden(false);
    pages->view()->setNeedsLayout();
    root->window().layoutIfNeeded();

    const auto& subviews = pages->view()->subviews();
    ASSERT_EQ(subviews.size(), 2u);
    EXPECT_EQ(pages->scrollView().frame(), pages->view()->bounds());
    EXPECT_EQ(subviews.back().get(), &pages->pageControl()) << "the page control is over the pages";
}

TEST_F(PagesTest, TutorialTurnsPagesAndClosesOnTheBlankOne)
{
    show(std::make_shared<ui::ViewController>());
    auto tutorial = std::make_shared<TutViewCon>(std::vector<std::string>{"race1.png", "race2.png", ""});
    navigation->presentViewController(tutorial, true);
    advance(1);
    ASSERT_EQ(navigation->presentedViewController(), tutorial.get());
    EXPECT_EQ(tutorial->currentPage(), 0);
    EXPECT_EQ(tutorial->pageViewController().pageControl().numberOfPages(), 3);

    // Two swipes to the left turn to the blank last page, which closes the tutorial.
    ui::Window& window = root->window();
    const ui::Size size = ui::Device::current().screenSize();
    for (int page = 1; page <= 2; ++page) {
        window.sendTouch(ui::TouchPhase::Began, {size.width * 0.9, size.height / 2}, 1);
        for (int step = 1; step <= 8; ++step) {
            advance(0.02);
            window.sendTouch(ui::TouchPhase::Moved, {size.width * (0.9 - 0.1 * step), size.height / 2}, 1);
        }
        window.sendTouch(ui::TouchPhase::Ended, {size.width * 0.1, size.height / 2}, 1);
        advance(2);
        if (page == 1) {
            EXPECT_EQ(tutorial->currentPage(), 1);
        }
    }
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
}

}  // namespace
