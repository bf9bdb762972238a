#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>

namespace ui {

class ViewController;
class Window;

// The window the screens live in (the platform's key window): a view tree
// root of the device's screen size showing the root screen, with presented
// screens above it. The host window (Application) shows one; tests make
// their own. The most recent one alive is current().
class RootWindow {
public:
    explicit RootWindow(Size size);
    ~RootWindow();
    RootWindow(const RootWindow&) = delete;
    RootWindow& operator=(const RootWindow&) = delete;

    static RootWindow* current();

    Window& window() { return *window_; }
    const std::shared_ptr<Window>& windowPointer() const { return window_; }

    // The root screen fills the window and appears at once.
    void setRootViewController(std::shared_ptr<ViewController> controller);
    ViewController* rootViewController() const { return root_.get(); }
    // The screen on top: the last one presented over the root, else the root.
    ViewController* topViewController() const;

    Size size() const;
    // A resize of the host window, or a rotation: the device takes the new
    // size (and with it the orientation), the screens hear
    // viewWillTransitionToSize (and the rotation callbacks when the
    // orientation turns), views take the new size, the coordinator's blocks
    // run, and its completions follow after `duration` on the run loop.
    void setSize(Size size, double duration = 0.3);
    // Told after every size change (the host window follows rotations asked for in code).
    void setSizeChangeHandler(std::function<void(Size)> handler) { sizeChanged_ = std::move(handler); }

private:
    void orientationChanged();

    std::shared_ptr<Window> window_;
    std::shared_ptr<ViewController> root_;
    std::function<void(Size)> sizeChanged_;
    fnd::NotificationCenter::Token orientationToken_;
    bool resizing_ = false;
};

} // namespace ui
