#include "platform/ui/NavigationController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/ControllerView.h"
#include "platform/ui/Device.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TabBarController.h"

#include <algorithm>

namespace ui {

namespace {

// Beneath a pushed screen the old one drifts a third of the way left.
constexpr double parallax = 1.0 / 3.0;

} // namespace

NavigationController::NavigationController()
    : bar_(std::make_shared<NavigationBar>())
{
    bar_->setBackAction([this] { popViewController(true); });
}

NavigationController::NavigationController(std::shared_ptr<ViewController> root)
    : NavigationController()
{
    if (root)
        setViewControllers({std::move(root)}, false);
}

NavigationController::~NavigationController()
{
    bar_->setBackAction({});
}

void NavigationController::loadView()
{
    auto container = std::make_shared<ControllerView>(Device::current().screenBounds(), [this] {
        viewWillLayoutSubviews();
        layoutContent();
        viewDidLayoutSubviews();
    });
    container->setBackgroundColor(Color::white());
    container->addSubview(bar_);
    if (ViewController* top = topViewController())
        container->insertSubviewBelow(top->view(), bar_.get());
    setView(container);
    updateBar();
}

ViewController* NavigationController::visibleViewController() const
{
    if (ViewController* presented = presentedViewController())
        return presented;
    return topViewController();
}

std::vector<ViewController*> NavigationController::childrenForAppearance() const
{
    ViewController* top = topViewController();
    if (top && top->viewIfLoaded() && viewIfLoaded() && top->viewIfLoaded()->isDescendantOf(viewIfLoaded()))
        return {top};
    return {};
}

void NavigationController::childNavigationItemDidChange(ViewController& child)
{
    // The top item shows; the one beneath titles the back button.
    const std::size_t n = stack_.size();
    if ((n > 0 && stack_[n - 1].get() == &child) || (n > 1 && stack_[n - 2].get() == &child))
        updateBar();
}

void NavigationController::updateBar()
{
    ViewController* top = topViewController();
    if (!top) {
        bar_->showItem(nullptr, std::nullopt);
        return;
    }
    std::optional<std::string> back;
    if (stack_.size() > 1) {
        NavigationItem& previous = stack_[stack_.size() - 2]->navigationItem();
        std::string title = previous.backButtonTitle().value_or(previous.title());
        const double room = Device::current().screenSize().width / 3;
        if (title.empty() || measureText(title, Font::systemFont(17)).width > room)
            title = "Back";
        back = title;
    }
    bar_->showItem(&top->navigationItem(), back);
}

Rect NavigationController::contentFrame() const
{
    const Rect b = viewIfLoaded() ? viewIfLoaded()->bounds() : Device::current().screenBounds();
    if (bar_->isHidden() || bar_->isTranslucent())
        return b;
    const double top = bar_->frame().maxY();
    return {{b.minX(), top}, {b.width(), std::max(0.0, b.height() - top)}};
}

void NavigationController::layoutContent()
{
    View* view = viewIfLoaded();
    if (!view)
        return;
    const Rect b = view->bounds();
    const double top = safeAreaInsets(*view).top;
    bar_->setFrame({{0, top}, {b.width(), NavigationBar::height}});
    bar_->setBackgroundExtension(top);
    ViewController* topController = topViewController();
    if (topController && !transition_.isRunning()) {
        topController->view()->setFrame(contentFrame());
        // A translucent bar lies over the screen's content: a scrolling
        // screen keeps its content clear of it, as the platform's automatic
        // inset adjustment does.
        if (auto* scroll = dynamic_cast<ScrollView*>(topController->view().get())) {
            const bool covered = !bar_->isHidden() && bar_->isTranslucent();
            scroll->setAutomaticContentInset({covered ? bar_->frame().maxY() : 0, 0, tabBarOverlap(), 0});
        }
    }
}

// How far the tab bar of the tab this stack is in reaches over the bottom of its view.
double NavigationController::tabBarOverlap() const
{
    TabBarController* tabs = tabBarController();
    View* view = viewIfLoaded();
    if (!tabs || !view || !tabs->isViewLoaded() || tabs->tabBar().isHidden())
        return 0;
    const Rect bar = tabs->tabBar().convertRect(tabs->tabBar().bounds(), view);
    return std::max(0.0, view->bounds().maxY() - bar.minY());
}

void NavigationController::setNavigationBarHidden(bool hidden, bool)
{
    bar_->setHidden(hidden);
    if (View* view = viewIfLoaded())
        view->setNeedsLayout();
}

unsigned NavigationController::supportedInterfaceOrientations() const
{
    const ViewController* top = topViewController();
    return top ? top->supportedInterfaceOrientations() : ViewController::supportedInterfaceOrientations();
}

bool NavigationController::prefersStatusBarHidden() const
{
    const ViewController* top = topViewController();
    return top && top->prefersStatusBarHidden();
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    if (!controller || std::find(stack_.begin(), stack_.end(), controller) != stack_.end()) {
        fnd::log(fnd::LogLevel::Warning, "push: the screen is already on the navigation stack");
        return;
    }
    transition_.finish();
    const auto from = stack_.empty() ? nullptr : stack_.back();
    stack_.push_back(controller);
    addChildViewController(controller);
    transition(from, controller, true, animated, {});
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated)
{
    transition_.finish();
    if (stack_.size() < 2)
        return nullptr;
    auto popped = popToViewController(stack_[stack_.size() - 2].get(), animated);
    return popped.empty() ? nullptr : popped.front();
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated)
{
    transition_.finish();
    if (stack_.empty())
        return {};
    return popToViewController(stack_.front().get(), animated);
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(const ViewController* controller,
                                                                                       bool animated)
{
    transition_.finish();
    const auto found = std::find_if(stack_.begin(), stack_.end(), [&](const auto& vc) { return vc.get() == controller; });
    if (found == stack_.end() || found + 1 == stack_.end())
        return {};
    std::vector<std::shared_ptr<ViewController>> popped(found + 1, stack_.end());
    const auto from = stack_.back();
    stack_.erase(found + 1, stack_.end());
    transition(from, stack_.back(), false, animated, popped);
    return popped;
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated)
{
    transition_.finish();
    std::erase(controllers, nullptr);
    const auto from = stack_.empty() ? nullptr : stack_.back();
    std::vector<std::shared_ptr<ViewController>> leaving;
    for (const auto& old : stack_) {
        if (std::find(controllers.begin(), controllers.end(), old) == controllers.end())
            leaving.push_back(old);
    }
    const bool forward = !from || std::find(controllers.begin(), controllers.end(), from) == controllers.end();
    stack_ = std::move(controllers);
    for (const auto& vc : stack_)
        addChildViewController(vc);
    const auto to = stack_.empty() ? nullptr : stack_.back();
    transition(from, to, forward && to != nullptr, animated, leaving);
}

void NavigationController::transition(const std::shared_ptr<ViewController>& from,
                                      const std::shared_ptr<ViewController>& to, bool forward, bool animated,
                                      std::vector<std::shared_ptr<ViewController>> leaving)
{
    View* container = viewIfLoaded();
    const auto finishMoves = [this, leaving] {
        for (const auto& vc : leaving) {
            if (vc->parentViewController() != this)
                continue;
            vc->willMoveToParentViewController(nullptr);
            if (View* v = vc->viewIfLoaded(); v && v->superview() == viewIfLoaded())
                v->removeFromSuperview();
            vc->removeFromParentViewController();
        }
        for (const auto& vc : stack_)
            vc->didMoveToParentViewController(this);
    };
    if (!container) {
        finishMoves();
        return;
    }
    updateBar();
    if (from == to) {
        finishMoves();
        return;
    }
    View* fromView = from ? from->viewIfLoaded() : nullptr;
    View* toView = to ? to->view().get() : nullptr; // loaded before any appearance callback
    const bool onScreen = isVisible() || isAppearing();
    if (onScreen) {
        if (from)
            from->beginAppearanceTransition(false, animated);
        if (to)
            to->beginAppearanceTransition(true, animated);
    }
    const Rect frame = contentFrame();
    const double width = frame.width();
    if (toView) {
        if (forward || !fromView || fromView->superview() != container)
            container->insertSubviewBelow(to->view(), bar_.get());
        else
            container->insertSubviewBelow(to->view(), fromView);
        toView->setFrame(frame.offset(forward ? width : -width * parallax, 0));
    }
    if (fromView)
        fromView->setFrame(frame);
    const auto slide = [fromView, toView, frame, leave = forward ? -width * parallax : width] {
        if (toView)
            toView->setFrame(frame);
        if (fromView)
            fromView->setFrame(frame.offset(leave, 0));
    };
    const std::weak_ptr<ViewController> weakFrom = from;
    const std::weak_ptr<ViewController> weakTo = to;
    transition_.start(animated && onScreen ? transitionDuration : 0, AnimationCurve::EaseInOut, slide,
                      [this, weakFrom, weakTo, frame, onScreen, finishMoves] {
                          const auto fromNow = weakFrom.lock();
                          const auto toNow = weakTo.lock();
                          if (fromNow && fromNow.get() != topViewController() && fromNow->viewIfLoaded()) {
                              fromNow->viewIfLoaded()->removeFromSuperview();
                              fromNow->viewIfLoaded()->setFrame(frame);
                          }
                          if (onScreen) {
                              if (fromNow)
                                  fromNow->endAppearanceTransition();
                              if (toNow)
                                  toNow->endAppearanceTransition();
                          }
                          finishMoves();
                          if (View* v = viewIfLoaded())
                              v->setNeedsLayout();
                      });
}

} // namespace ui
