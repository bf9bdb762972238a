#pragma once

#include "platform/ui/TabBar.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace ui {

class TabBarController;

// Told about selections the user makes on the tab bar (not those made in code).
class TabBarControllerDelegate {
public:
    virtual ~TabBarControllerDelegate() = default;
    virtual bool shouldSelectViewController(TabBarController&, ViewController&) { return true; }
    virtual void didSelectViewController(TabBarController&, ViewController&) {}
};

// Screens behind the tabs of a tab bar. The controller's view holds the
// selected screen's view (first subview: the content, full size, under the
// translucent bar) and the tab bar (second subview), which screens may hide.
class TabBarController : public ViewController {
public:
    TabBarController();
    ~TabBarController() override;

    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated = false);
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return tabs_; }

    int selectedIndex() const { return selected_; }
    // In code: the delegate hears nothing. Out of range is ignored.
    void setSelectedIndex(int index);
    ViewController* selectedViewController() const;
    void setSelectedViewController(const ViewController* controller);
    // A tap on a tab: asks the delegate, selects, tells the delegate; a tap on
    // the selected tab takes its navigation stack back to the root. False when refused.
    bool selectFromTabBar(int index);

    TabBar& tabBar() { return *tabBar_; }
    TabBarControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(TabBarControllerDelegate* delegate) { delegate_ = delegate; } // not owned

    unsigned supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    std::vector<ViewController*> childrenForAppearance() const override;
    void childTabBarItemDidChange(ViewController& child) override;

private:
    void show(int index);
    void layoutContent();

    std::vector<std::shared_ptr<ViewController>> tabs_;
    int selected_ = 0;
    std::shared_ptr<View> content_;
    std::shared_ptr<TabBar> tabBar_;
    TabBarControllerDelegate* delegate_ = nullptr;
};

} // namespace ui
