#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ControllerView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

// Presentations and dismissals share one transition: a new one finishes the
// running one first.
ScreenTransition& modalTransition()
{
    static ScreenTransition transition;
    return transition;
}

Color dimmingColor() { return Color::black().withAlpha(0.4); }

} // namespace

// What a presented screen keeps about its presentation.
struct ViewController::Presentation {
    bool covers = false;             // the presenter's view left the window
    std::shared_ptr<View> dimming;   // behind a sheet
    std::shared_ptr<View> coveredView;
};

// ScreenTransition

void ScreenTransition::start(double duration, AnimationCurve curve, const std::function<void()>& changes,
                             std::function<void()> end)
{
    finish();
    end_ = std::make_shared<std::function<void()>>(std::move(end));
    // The animation may complete after this transition was finished or
    // replaced (an interrupted one completes on the next frame): only the
    // end still pending runs.
    animate(duration, curve, changes, [this, pending = std::weak_ptr(end_)](bool) {
        if (const auto end = pending.lock(); end && end == end_)
            finish();
    });
}

void ScreenTransition::finish()
{
    if (const auto end = std::exchange(end_, nullptr); end && *end)
        (*end)();
}

// TransitionCoordinator

void TransitionCoordinator::animateAlongsideTransition(std::function<void()> alongside, std::function<void()> completion)
{
    if (alongside)
        alongside_.push_back(std::move(alongside));
    if (completion)
        completions_.push_back(std::move(completion));
}

void TransitionCoordinator::runAlongside()
{
    for (auto& block : std::exchange(alongside_, {}))
        block();
}

void TransitionCoordinator::complete()
{
    for (auto& block : std::exchange(completions_, {}))
        block();
}

// ViewController

ViewController::ViewController()
{
    navigationItem_.setChangeHandler([this] {
        if (parent_)
            parent_->childNavigationItemDidChange(*this);
    });
    tabBarItem_.setChangeHandler([this] {
        if (parent_)
            parent_->childTabBarItemDidChange(*this);
    });
}

ViewController::~ViewController()
{
    if (auto* view = dynamic_cast<ControllerView*>(view_.get()))
        view->detach();
    for (const auto& child : children_)
        child->parent_ = nullptr;
    if (presented_) {
        presented_->presenting_ = nullptr;
        if (presented_->presentation_ && presented_->presentation_->dimming)
            presented_->presentation_->dimming->removeFromSuperview();
        if (presented_->view_)
            presented_->view_->removeFromSuperview();
    }
}

const std::shared_ptr<View>& ViewController::view()
{
    loadViewIfNeeded();
    return view_;
}

void ViewController::loadViewIfNeeded()
{
    if (!view_) {
        loadView();
        if (!view_)
            view_ = std::make_shared<View>(Device::current().screenBounds());
        attachView();
    }
    if (!viewDidLoadCalled_) {
        viewDidLoadCalled_ = true;
        viewDidLoad();
    }
}

void ViewController::loadView()
{
    view_ = std::make_shared<ControllerView>(Device::current().screenBounds(), [this] {
        viewWillLayoutSubviews();
        viewDidLayoutSubviews();
    });
}

void ViewController::setView(std::shared_ptr<View> view)
{
    view_ = std::move(view);
    if (view_)
        attachView();
}

void ViewController::attachView() {}

void ViewController::setTitle(std::string title)
{
    title_ = std::move(title);
    navigationItem_.setTitle(title_);
    tabBarItem_.setTitle(title_);
}

// Editing

void ViewController::setEditing(bool editing, bool)
{
    editing_ = editing;
    if (editButtonItem_) {
        editButtonItem_->setTitle(editing ? "Done" : "Edit");
        editButtonItem_->setStyle(editing ? BarButtonItemStyle::Done : BarButtonItemStyle::Plain);
    }
}

const std::shared_ptr<BarButtonItem>& ViewController::editButtonItem()
{
    if (!editButtonItem_) {
        const std::weak_ptr<ViewController> weak = weak_from_this();
        editButtonItem_ = std::make_shared<BarButtonItem>(SystemItem::Edit, [weak](BarButtonItem&) {
            if (const auto self = weak.lock())
                self->setEditing(!self->editing_, true);
        });
        setEditing(editing_, false);
    }
    return editButtonItem_;
}

// Containment

void ViewController::addChildViewController(std::shared_ptr<ViewController> child)
{
    if (!child || child.get() == this || child->parent_ == this)
        return;
    if (child->parent_)
        child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    child->parent_ = this;
    children_.push_back(std::move(child));
}

void ViewController::removeFromParentViewController()
{
    ViewController* parent = parent_;
    if (!parent)
        return;
    const auto self = shared_from_this(); // the parent's reference may be the last
    if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing) {
        beginAppearanceTransition(false, false);
        endAppearanceTransition();
    }
    std::erase(parent->children_, self);
    parent_ = nullptr;
    didMoveToParentViewController(nullptr);
}

void ViewController::willMoveToParentViewController(ViewController*) {}

void ViewController::didMoveToParentViewController(ViewController* parent)
{
    // A child whose view went into a screen already on view appears with it.
    if (parent && parent->isVisible() && appearance_ == Appearance::Disappeared && view_ && parent->view_
        && view_->isDescendantOf(parent->view_.get())) {
        beginAppearanceTransition(true, false);
        endAppearanceTransition();
    }
}

NavigationController* ViewController::navigationController() const
{
    for (ViewController* vc = parent_; vc; vc = vc->parent_) {
        if (auto* nav = dynamic_cast<NavigationController*>(vc))
            return nav;
    }
    return nullptr;
}

TabBarController* ViewController::tabBarController() const
{
    for (ViewController* vc = parent_; vc; vc = vc->parent_) {
        if (auto* tabs = dynamic_cast<TabBarController*>(vc))
            return tabs;
    }
    return nullptr;
}

// Appearance

std::vector<ViewController*> ViewController::childrenForAppearance() const
{
    std::vector<ViewController*> shown;
    for (const auto& child : children_) {
        if (child->view_ && view_ && child->view_->isDescendantOf(view_.get()))
            shown.push_back(child.get());
    }
    return shown;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    if (appearing) {
        if (appearance_ == Appearance::Appearing || appearance_ == Appearance::Appeared)
            return;
        loadViewIfNeeded();
        appearance_ = Appearance::Appearing;
        appearanceAnimated_ = animated;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappearing || appearance_ == Appearance::Disappeared)
            return;
        appearance_ = Appearance::Disappearing;
        appearanceAnimated_ = animated;
        viewWillDisappear(animated);
    }
    appearanceChildren_.clear();
    for (ViewController* child : childrenForAppearance()) {
        appearanceChildren_.push_back(child->weak_from_this());
        child->beginAppearanceTransition(appearing, animated);
    }
}

void ViewController::endAppearanceTransition()
{
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (const auto& weak : std::exchange(appearanceChildren_, {})) {
        if (auto child = weak.lock())
            child->endAppearanceTransition();
    }
}

void ViewController::viewWillAppear(bool) {}
void ViewController::viewDidAppear(bool) {}
void ViewController::viewWillDisappear(bool) {}
void ViewController::viewDidDisappear(bool) {}

// Size and orientation

void ViewController::viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator)
{
    const auto children = children_;
    for (const auto& child : children)
        child->viewWillTransitionToSize(size, coordinator);
}

void ViewController::willRotateToInterfaceOrientation(InterfaceOrientation, double) {}

void ViewController::didRotateFromInterfaceOrientation(InterfaceOrientation) {}

unsigned ViewController::supportedInterfaceOrientations() const
{
    return Device::current().isPad() ? orientationmask::All : orientationmask::AllButUpsideDown;
}

InterfaceOrientation ViewController::preferredInterfaceOrientationForPresentation() const
{
    return Device::current().interfaceOrientation();
}

// Presentation

ViewController* ViewController::presentationHost()
{
    ViewController* host = this;
    while (host->parent_)
        host = host->parent_;
    return host;
}

ViewController* ViewController::presentingViewController() const
{
    for (const ViewController* vc = this; vc; vc = vc->parent_) {
        if (vc->presenting_)
            return vc->presenting_;
    }
    return nullptr;
}

ViewController* ViewController::presentedViewController() const
{
    const ViewController* host = this;
    while (host->parent_)
        host = host->parent_;
    return host->presented_.get();
}

bool ViewController::coversPresenter() const
{
    switch (presentationStyle_) {
    case ModalPresentationStyle::FullScreen: return true;
    case ModalPresentationStyle::OverFullScreen: return false;
    default: return !Device::current().isPad(); // sheets fill a phone's screen
    }
}

Rect ViewController::presentedFrame(const Rect& bounds) const
{
    if (!Device::current().isPad())
        return bounds;
    switch (presentationStyle_) {
    case ModalPresentationStyle::FormSheet: {
        const Size size{std::min(540.0, bounds.width()), std::min(620.0, bounds.height())};
        return {{bounds.midX() - size.width / 2, bounds.midY() - size.height / 2}, size};
    }
    case ModalPresentationStyle::PageSheet:
    case ModalPresentationStyle::Automatic: {
        const double top = Device::current().safeAreaInsets().top + 10;
        const double width = std::min(704.0, bounds.width());
        return {{bounds.midX() - width / 2, top}, {width, bounds.height() - top}};
    }
    default: return bounds;
    }
}

void ViewController::fitPresentation(const Rect& bounds)
{
    if (presentation_ && presentation_->dimming)
        presentation_->dimming->setFrame(bounds);
    if (presentation_ && presentation_->coveredView)
        presentation_->coveredView->setFrame(bounds);
    if (view_)
        view_->setFrame(presentedFrame(bounds));
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                                           std::function<void()> completion)
{
    if (!controller)
        return;
    if (auto alert = std::dynamic_pointer_cast<AlertController>(controller)) {
        alert->show(animated, std::move(completion));
        return;
    }
    presentModally(std::move(controller), animated, std::move(completion));
}

void ViewController::finishModalTransition()
{
    modalTransition().finish();
}

void ViewController::presentModally(std::shared_ptr<ViewController> controller, bool animated,
                                    std::function<void()> completion)
{
    modalTransition().finish();
    ViewController* host = presentationHost();
    Window* window = host->view_ ? host->view_->window() : nullptr;
    if (host->presented_ || controller->presenting_ || !window) {
        fnd::log(fnd::LogLevel::Warning, host->presented_ ? "present: the screen already presents another one"
                                                          : "present: the screen is not in a window");
        return;
    }
    host->presented_ = controller;
    controller->presenting_ = host;
    controller->presentation_ = std::make_unique<Presentation>();
    Presentation& presentation = *controller->presentation_;
    presentation.covers = controller->coversPresenter();

    const Rect bounds = window->bounds();
    const Rect frame = controller->presentedFrame(bounds);
    View& view = *controller->view();
    view.setFrame(frame);
    if (presentation.covers)
        host->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    if (frame != bounds) {
        presentation.dimming = std::make_shared<View>(bounds);
        presentation.dimming->setBackgroundColor(dimmingColor());
        window->addSubview(presentation.dimming);
    }
    window->addSubview(controller->view_);
    window->beginModal(controller->view_);

    const bool dissolve = controller->transitionStyle_ == ModalTransitionStyle::CrossDissolve;
    const double duration = !animated ? 0 : dissolve ? dissolveDuration : presentationDuration;
    const std::shared_ptr<View>& dimming = presentation.dimming;
    if (dissolve)
        view.setAlpha(0);
    else
        view.setFrame(frame.offset(0, bounds.maxY() - frame.minY()));
    if (dimming)
        dimming->setAlpha(0);
    const auto show = [&view, frame, dissolve, &dimming] {
        if (dissolve)
            view.setAlpha(1);
        else
            view.setFrame(frame);
        if (dimming)
            dimming->setAlpha(1);
    };
    const std::weak_ptr<ViewController> weakHost = host->weak_from_this();
    modalTransition().start(duration, AnimationCurve::EaseOut, show,
                            [controller, weakHost, completion = std::move(completion)] {
                                controller->endAppearanceTransition();
                                const auto hostNow = weakHost.lock();
                                Presentation* p = controller->presentation_.get();
                                if (hostNow && p && p->covers && hostNow->view_) {
                                    p->coveredView = hostNow->view_;
                                    hostNow->view_->removeFromSuperview();
                                    hostNow->endAppearanceTransition();
                                }
                                if (completion)
                                    completion();
                            });
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    ViewController* host = presentationHost();
    if (host->presented_)
        host->dismissPresented(animated, std::move(completion));
    else if (host->presenting_)
        host->presenting_->dismissPresented(animated, std::move(completion));
}

void ViewController::dismissPresented(bool animated, std::function<void()> completion)
{
    modalTransition().finish();
    const auto controller = presented_;
    if (!controller)
        return;
    if (controller->presented_)
        controller->dismissPresented(false, {});
    Presentation& presentation = *controller->presentation_;
    View& view = *controller->view();
    Window* window = view.window();
    // What it covered takes input again as soon as it starts to leave.
    if (window)
        window->endModal(&view);

    controller->beginAppearanceTransition(false, animated);
    if (presentation.covers) {
        if (window && presentation.coveredView) {
            window->insertSubviewBelow(presentation.coveredView, presentation.dimming ? presentation.dimming.get() : &view);
            presentation.coveredView->setFrame(window->bounds());
        }
        beginAppearanceTransition(true, animated);
    }
    const Rect frame = view.frame();
    const double travel = window ? window->bounds().maxY() - frame.minY() : frame.height();
    const bool dissolve = controller->transitionStyle_ == ModalTransitionStyle::CrossDissolve;
    const double duration = !animated ? 0 : dissolve ? dissolveDuration : presentationDuration;
    const auto hide = [&view, frame, travel, dissolve, &dimming = presentation.dimming] {
        if (dissolve)
            view.setAlpha(0);
        else
            view.setFrame(frame.offset(0, travel));
        if (dimming)
            dimming->setAlpha(0);
    };
    const std::weak_ptr<ViewController> weakSelf = weak_from_this();
    modalTransition().start(duration, AnimationCurve::EaseIn, hide,
                            [controller, weakSelf, completion = std::move(completion)] {
                                const auto self = weakSelf.lock();
                                const bool covers = controller->presentation_ && controller->presentation_->covers;
                                if (controller->presentation_ && controller->presentation_->dimming)
                                    controller->presentation_->dimming->removeFromSuperview();
                                controller->view_->removeFromSuperview();
                                controller->view_->setAlpha(1);
                                if (self && covers)
                                    self->endAppearanceTransition();
                                controller->endAppearanceTransition();
                                controller->presentation_.reset();
                                controller->presenting_ = nullptr;
                                if (self && self->presented_ == controller)
                                    self->presented_.reset();
                                if (completion)
                                    completion();
                            });
}

} // namespace ui
