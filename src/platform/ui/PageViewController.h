#pragma once

#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class PageViewController;

enum class PageViewControllerTransitionStyle { PageCurl, Scroll };
enum class PageViewControllerNavigationOrientation { Horizontal, Vertical };
enum class PageViewControllerNavigationDirection { Forward, Reverse };

class PageViewControllerDataSource {
public:
    virtual ~PageViewControllerDataSource() = default;
    // Null: no page on that side.
    virtual std::shared_ptr<ViewController> viewControllerBeforeViewController(PageViewController&, ViewController&) = 0;
    virtual std::shared_ptr<ViewController> viewControllerAfterViewController(PageViewController&, ViewController&) = 0;
    // Both above 0 and in range: the page control shows that many dots.
    virtual int presentationCountForPageViewController(PageViewController&) { return 0; }
    virtual int presentationIndexForPageViewController(PageViewController&) { return 0; }
};

// Told about page turns the user makes (not those made in code).
class PageViewControllerDelegate {
public:
    virtual ~PageViewControllerDelegate() = default;
    virtual void didFinishAnimating(PageViewController&, bool /*finished*/,
                                    const std::vector<std::shared_ptr<ViewController>>& /*previousViewControllers*/,
                                    bool /*completed*/)
    {
    }
};

// Pages of screens that the user turns by dragging, one page per screen.
// Like the phone's, its view holds a scroll view (paging, the pages side by
// side) and a page control below it; screens may find and rearrange them.
// Both transition styles scroll (there is no page curl).
class PageViewController : public ViewController, private ScrollViewDelegate {
public:
    PageViewController(PageViewControllerTransitionStyle style, PageViewControllerNavigationOrientation orientation,
                       double interPageSpacing = 0);
    ~PageViewController() override;

    PageViewControllerDataSource* dataSource() const { return dataSource_; }
    void setDataSource(PageViewControllerDataSource* dataSource); // not owned
    PageViewControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(PageViewControllerDelegate* delegate) { delegate_ = delegate; } // not owned

    // Shows the first screen of `controllers`; animated, it scrolls in from
    // the direction's side and `completion` runs when it is in place.
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers,
                            PageViewControllerNavigationDirection direction, bool animated,
                            std::function<void(bool finished)> completion = {});
    // The page shown.
    std::vector<std::shared_ptr<ViewController>> viewControllers() const;

    PageViewControllerTransitionStyle transitionStyle() const { return style_; }
    PageViewControllerNavigationOrientation navigationOrientation() const { return orientation_; }
    ScrollView& scrollView();
    PageControl& pageControl();

    static constexpr double pageControlHeight = 37;

protected:
    void loadView() override;
    std::vector<ViewController*> childrenForAppearance() const override;

private:
    class PagesView;

    void scrollViewWillBeginDragging(ScrollView&) override;
    void scrollViewDidEndDragging(ScrollView&, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(ScrollView&) override;
    void scrollViewDidEndScrollingAnimation(ScrollView&) override;

    void layoutView();
    void layoutPages();
    void reloadNeighbours();
    void setSlots(std::shared_ptr<ViewController> before, std::shared_ptr<ViewController> after);
    std::vector<std::shared_ptr<ViewController>> slots() const;
    double pageLength() const;
    Point offsetFor(const ViewController* page) const;
    void settle(bool byUser);
    void turnTo(const std::shared_ptr<ViewController>& page);
    void updatePageControl();

    PageViewControllerTransitionStyle style_;
    PageViewControllerNavigationOrientation orientation_;
    double spacing_;
    PageViewControllerDataSource* dataSource_ = nullptr;
    PageViewControllerDelegate* delegate_ = nullptr;

    std::shared_ptr<PagesView> scrollView_;
    std::shared_ptr<PageControl> pageControl_;
    std::shared_ptr<ViewController> before_;
    std::shared_ptr<ViewController> current_;
    std::shared_ptr<ViewController> after_;
    bool userTurning_ = false;
    std::function<void(bool)> pendingCompletion_;
};

} // namespace ui
