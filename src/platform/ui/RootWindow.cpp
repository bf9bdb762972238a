#include "platform/ui/RootWindow.h"

#include "platform/foundation/Timer.h"
#include "platform/ui/Device.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <vector>

namespace ui {

namespace {

// The windows alive, oldest first: the newest is current. A window may go before a newer one does.
std::vector<RootWindow*>& liveWindows()
{
    static std::vector<RootWindow*> windows;
    return windows;
}

// Every screen on view: the screens shown, their visible children, and the
// screens presented over them.
void collectVisible(ViewController& controller, std::vector<std::weak_ptr<ViewController>>& out)
{
    if (controller.isVisible())
        out.push_back(controller.weak_from_this());
    for (const auto& child : controller.childViewControllers())
        collectVisible(*child, out);
}

} // namespace

RootWindow::RootWindow(Size size)
    : window_(std::make_shared<Window>(Rect{{0, 0}, size}))
{
    liveWindows().push_back(this);
    window_->setBackgroundColor(Color::black());
    orientationToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        Device::orientationDidChangeNotification, [this](const fnd::Notification&) { orientationChanged(); });
}

RootWindow::~RootWindow()
{
    std::erase(liveWindows(), this);
}

RootWindow* RootWindow::current() { return liveWindows().empty() ? nullptr : liveWindows().back(); }

Size RootWindow::size() const { return window_->bounds().size; }

void RootWindow::setRootViewController(std::shared_ptr<ViewController> controller)
{
    if (controller == root_)
        return;
    if (root_) {
        root_->beginAppearanceTransition(false, false);
        if (root_->viewIfLoaded())
            root_->viewIfLoaded()->removeFromSuperview();
        root_->endAppearanceTransition();
    }
    root_ = std::move(controller);
    if (!root_)
        return;
    View& view = *root_->view();
    view.setFrame(window_->bounds());
    root_->beginAppearanceTransition(true, false);
    window_->insertSubview(root_->view(), 0);
    root_->endAppearanceTransition();
}

ViewController* RootWindow::topViewController() const
{
    ViewController* top = root_.get();
    while (top && top->presented_)
        top = top->presented_.get();
    return top;
}

void RootWindow::orientationChanged()
{
    if (!resizing_ && Device::current().screenSize() != size())
        setSize(Device::current().screenSize());
}

void RootWindow::setSize(Size size, double duration)
{
    if (size.width <= 0 || size.height <= 0 || size == this->size())
        return;
    resizing_ = true;
    Device& device = Device::current();
    const InterfaceOrientation before = device.interfaceOrientation();
    device.setScreenSize(size);
    const InterfaceOrientation after = device.interfaceOrientation();
    const auto coordinator = std::make_shared<TransitionCoordinator>(duration);

    std::vector<std::weak_ptr<ViewController>> visible;
    for (ViewController* vc = root_.get(); vc; vc = vc->presented_.get()) {
        vc->viewWillTransitionToSize(size, *coordinator);
        collectVisible(*vc, visible);
    }
    if (before != after) {
        for (const auto& weak : visible) {
            if (auto vc = weak.lock())
                vc->willRotateToInterfaceOrientation(after, duration);
        }
    }

    window_->setFrame({{0, 0}, size});
    const Rect bounds = window_->bounds();
    if (root_ && root_->viewIfLoaded())
        root_->viewIfLoaded()->setFrame(bounds);
    for (ViewController* vc = root_.get(); vc && vc->presented_; vc = vc->presented_.get())
        vc->presented_->fitPresentation(bounds);
    window_->layoutIfNeeded();
    coordinator->runAlongside();
    resizing_ = false;
    if (sizeChanged_)
        sizeChanged_(size);

    const auto finish = [coordinator, visible, before, after] {
        coordinator->complete();
        if (before == after)
            return;
        for (const auto& weak : visible) {
            if (auto vc = weak.lock())
                vc->didRotateFromInterfaceOrientation(before);
        }
    };
    if (duration > 0)
        fnd::after(duration, finish);
    else
        finish();
}

} // namespace ui
