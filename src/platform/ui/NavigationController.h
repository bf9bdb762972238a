#pragma once

#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace ui {

// A stack of screens under a navigation bar. The top screen's view fills
// the controller's view (under the translucent bar, as on the phone; below
// it when the bar is opaque). Pushes slide the new screen in from the
// right, pops slide it out (ui::animate); a push or pop during a transition
// first finishes the running one.
class NavigationController : public ViewController {
public:
    NavigationController();
    explicit NavigationController(std::shared_ptr<ViewController> root);
    ~NavigationController() override;

    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // The screen popped, none at the root.
    std::shared_ptr<ViewController> popViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToViewController(const ViewController* controller, bool animated);
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
    ViewController* topViewController() const { return stack_.empty() ? nullptr : stack_.back().get(); }
    // The screen presented over the top one, else the top one.
    ViewController* visibleViewController() const;

    NavigationBar& navigationBar() { return *bar_; }
    bool isNavigationBarHidden() const { return bar_->isHidden(); }
    void setNavigationBarHidden(bool hidden, bool animated);

    unsigned supportedInterfaceOrientations() const override;
    bool prefersStatusBarHidden() const override;

    static constexpr double transitionDuration = 0.35;

protected:
    void loadView() override;
    std::vector<ViewController*> childrenForAppearance() const override;
    void childNavigationItemDidChange(ViewController& child) override;

private:
    // Shows `to` as the new top: `forward` slides it in from the right.
    void transition(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to,
                    bool forward, bool animated, std::vector<std::shared_ptr<ViewController>> leaving);
    void updateBar();
    Rect contentFrame() const;
    double tabBarOverlap() const;
    void layoutContent();

    std::vector<std::shared_ptr<ViewController>> stack_;
    std::shared_ptr<NavigationBar> bar_;
    ScreenTransition transition_;
};

} // namespace ui
