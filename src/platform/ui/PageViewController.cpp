#include "platform/ui/PageViewController.h"

#include "platform/ui/ControllerView.h"
#include "platform/ui/Device.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

// The scroll view: places the pages whenever its size changes.
class PageViewController::PagesView : public ScrollView {
public:
    explicit PagesView(PageViewController* owner)
        : owner_(owner)
    {
    }
    void detach() { owner_ = nullptr; }
    void layoutSubviews() override
    {
        ScrollView::layoutSubviews();
        if (owner_)
            owner_->layoutPages();
    }

private:
    PageViewController* owner_;
};

PageViewController::PageViewController(PageViewControllerTransitionStyle style,
                                       PageViewControllerNavigationOrientation orientation, double interPageSpacing)
    : style_(style)
    , orientation_(orientation)
    , spacing_(std::max(0.0, interPageSpacing))
    , scrollView_(std::make_shared<PagesView>(this))
    , pageControl_(std::make_shared<PageControl>())
{
    scrollView_->setPagingEnabled(true);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setDelegate(this);
    pageControl_->setHidden(true);
    pageControl_->setUserInteractionEnabled(false);
}

PageViewController::~PageViewController()
{
    scrollView_->setDelegate(nullptr);
    scrollView_->detach();
}

ScrollView& PageViewController::scrollView() { return *scrollView_; }

PageControl& PageViewController::pageControl() { return *pageControl_; }

void PageViewController::setDataSource(PageViewControllerDataSource* dataSource)
{
    dataSource_ = dataSource;
    if (current_)
        reloadNeighbours();
}

void PageViewController::loadView()
{
    // The scroll view above the page control.
    auto view = std::make_shared<ControllerView>(Device::current().screenBounds(), [this] {
        viewWillLayoutSubviews();
        layoutView();
        viewDidLayoutSubviews();
    });
    view->addSubview(scrollView_);
    view->addSubview(pageControl_);
    setView(view);
    for (const auto& page : slots())
        scrollView_->addSubview(page->view());
    updatePageControl();
}

std::vector<ViewController*> PageViewController::childrenForAppearance() const
{
    if (current_ && current_->viewIfLoaded() && current_->viewIfLoaded()->isDescendantOf(scrollView_.get()))
        return {current_.get()};
    return {};
}

std::vector<std::shared_ptr<ViewController>> PageViewController::viewControllers() const
{
    if (!current_)
        return {};
    return {current_};
}

std::vector<std::shared_ptr<ViewController>> PageViewController::slots() const
{
    std::vector<std::shared_ptr<ViewController>> pages;
    for (const auto& page : {before_, current_, after_}) {
        if (page)
            pages.push_back(page);
    }
    return pages;
}

double PageViewController::pageLength() const
{
    const Size size = scrollView_->bounds().size;
    return (orientation_ == PageViewControllerNavigationOrientation::Horizontal ? size.width : size.height) + spacing_;
}

Point PageViewController::offsetFor(const ViewController* page) const
{
    const auto pages = slots();
    const auto found = std::find_if(pages.begin(), pages.end(), [&](const auto& p) { return p.get() == page; });
    const double along = static_cast<double>(found - pages.begin()) * pageLength();
    return orientation_ == PageViewControllerNavigationOrientation::Horizontal ? Point{along, 0} : Point{0, along};
}

void PageViewController::layoutView()
{
    View* view = viewIfLoaded();
    if (!view)
        return;
    const Rect b = view->bounds();
    const bool dots = !pageControl_->isHidden();
    const double below = dots ? pageControlHeight : 0;
    scrollView_->setFrame({b.origin, {b.width(), std::max(0.0, b.height() - below)}});
    pageControl_->setFrame({{b.minX(), b.maxY() - pageControlHeight}, {b.width(), pageControlHeight}});
}

void PageViewController::layoutPages()
{
    const Size size = scrollView_->bounds().size;
    const bool horizontal = orientation_ == PageViewControllerNavigationOrientation::Horizontal;
    const auto pages = slots();
    double along = 0;
    for (const auto& page : pages) {
        const Point origin = horizontal ? Point{along + spacing_ / 2, 0} : Point{0, along + spacing_ / 2};
        page->view()->setFrame({origin, size});
        along += pageLength();
    }
    const double total = static_cast<double>(pages.size()) * pageLength();
    scrollView_->setContentSize(horizontal ? Size{total, size.height} : Size{size.width, total});
    if (!scrollView_->isDragging() && !scrollView_->isDecelerating() && !pendingCompletion_)
        scrollView_->setContentOffset(offsetFor(current_.get()));
}

void PageViewController::setSlots(std::shared_ptr<ViewController> before, std::shared_ptr<ViewController> after)
{
    if (before == current_)
        before = nullptr;
    if (after == current_ || after == before)
        after = nullptr;
    const auto keep = [&](const std::shared_ptr<ViewController>& page) {
        return page && (page == before || page == current_ || page == after);
    };
    for (const auto& old : {before_, after_}) {
        if (!old || keep(old))
            continue;
        old->willMoveToParentViewController(nullptr);
        if (old->viewIfLoaded())
            old->viewIfLoaded()->removeFromSuperview();
        old->removeFromParentViewController();
    }
    before_ = std::move(before);
    after_ = std::move(after);
    for (const auto& page : slots()) {
        if (page->parentViewController() != this) {
            addChildViewController(page);
            page->didMoveToParentViewController(this); // before its view goes in: no appearance yet
        }
        if (isViewLoaded() && page->view()->superview() != scrollView_.get())
            scrollView_->addSubview(page->view());
    }
    scrollView_->setNeedsLayout();
}

void PageViewController::reloadNeighbours()
{
    if (!current_ || !dataSource_) {
        setSlots(nullptr, nullptr);
        return;
    }
    setSlots(dataSource_->viewControllerBeforeViewController(*this, *current_),
             dataSource_->viewControllerAfterViewController(*this, *current_));
}

void PageViewController::updatePageControl()
{
    const int count = dataSource_ ? dataSource_->presentationCountForPageViewController(*this) : 0;
    const bool shown = count > 0;
    if (shown) {
        pageControl_->setNumberOfPages(count);
        pageControl_->setCurrentPage(dataSource_->presentationIndexForPageViewController(*this));
    }
    if (shown == pageControl_->isHidden()) {
        pageControl_->setHidden(!shown);
        if (View* view = viewIfLoaded())
            view->setNeedsLayout();
    }
}

void PageViewController::turnTo(const std::shared_ptr<ViewController>& page)
{
    const auto old = current_;
    const bool onScreen = isVisible() || isAppearing();
    if (onScreen && old)
        old->beginAppearanceTransition(false, true);
    current_ = page;
    if (page->parentViewController() != this) {
        addChildViewController(page);
        page->didMoveToParentViewController(this);
    }
    if (isViewLoaded() && page->view()->superview() != scrollView_.get())
        scrollView_->addSubview(page->view());
    if (onScreen)
        page->beginAppearanceTransition(true, true);
    reloadNeighbours();
    if (old && old != current_ && old != before_ && old != after_) {
        old->willMoveToParentViewController(nullptr);
        if (old->viewIfLoaded())
            old->viewIfLoaded()->removeFromSuperview();
        old->removeFromParentViewController();
    }
    if (isViewLoaded()) {
        layoutPages();
        scrollView_->setContentOffset(offsetFor(current_.get()));
    }
    if (onScreen && old)
        old->endAppearanceTransition();
    if (onScreen)
        page->endAppearanceTransition();
}

void PageViewController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers,
                                            PageViewControllerNavigationDirection direction, bool animated,
                                            std::function<void(bool)> completion)
{
    if (controllers.empty() || !controllers.front())
        return;
    if (pendingCompletion_)
        settle(false);
    const auto page = controllers.front();
    const bool onScreen = isViewLoaded() && (isVisible() || isAppearing()) && current_ && page != current_;
    if (!animated || !onScreen) {
        turnTo(page);
        updatePageControl();
        if (completion)
            completion(true);
        return;
    }
    // The new page waits beside the current one, on the side it comes from.
    if (direction == PageViewControllerNavigationDirection::Forward)
        setSlots(before_, page);
    else
        setSlots(page, after_);
    layoutPages();
    scrollView_->setContentOffset(offsetFor(current_.get()));
    pendingCompletion_ = completion ? std::move(completion) : [](bool) {};
    scrollView_->setContentOffset(offsetFor(page.get()), true);
}

void PageViewController::settle(bool byUser)
{
    const double length = pageLength();
    const Point offset = scrollView_->contentOffset();
    const double along = orientation_ == PageViewControllerNavigationOrientation::Horizontal ? offset.x : offset.y;
    const auto pages = slots();
    std::shared_ptr<ViewController> shown = current_;
    if (length > 0 && !pages.empty()) {
        const auto index = static_cast<std::size_t>(std::clamp(std::lround(along / length), 0L, static_cast<long>(pages.size() - 1)));
        shown = pages[index];
    }
    const auto previous = current_;
    const bool forward = shown == after_;
    const bool turned = shown && shown != current_;
    if (turned)
        turnTo(shown);
    if (auto completion = std::exchange(pendingCompletion_, {})) {
        updatePageControl();
        completion(true);
        return;
    }
    if (turned && !pageControl_->isHidden())
        pageControl_->setCurrentPage(pageControl_->currentPage() + (forward ? 1 : -1));
    if (byUser && userTurning_ && delegate_)
        delegate_->didFinishAnimating(*this, true, {previous}, turned);
    userTurning_ = false;
}

void PageViewController::scrollViewWillBeginDragging(ScrollView&) { userTurning_ = true; }

void PageViewController::scrollViewDidEndDragging(ScrollView&, bool willDecelerate)
{
    if (!willDecelerate)
        settle(true);
}

void PageViewController::scrollViewDidEndDecelerating(ScrollView&) { settle(true); }

void PageViewController::scrollViewDidEndScrollingAnimation(ScrollView&) { settle(false); }

} // namespace ui
