#include "platform/ui/TabBarController.h"

#include "platform/ui/ControllerView.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"

#include <algorithm>

namespace ui {

TabBarController::TabBarController()
    : content_(std::make_shared<View>())
    , tabBar_(std::make_shared<TabBar>())
{
    tabBar_->setSelectHandler([this](int index) { selectFromTabBar(index); });
}

TabBarController::~TabBarController()
{
    tabBar_->setSelectHandler({});
}

void TabBarController::loadView()
{
    auto container = std::make_shared<ControllerView>(Device::current().screenBounds(), [this] {
        viewWillLayoutSubviews();
        layoutContent();
        viewDidLayoutSubviews();
    });
    container->setBackgroundColor(Color::white());
    container->addSubview(content_);
    container->addSubview(tabBar_);
    setView(container);
    if (ViewController* selected = selectedViewController())
        content_->addSubview(selected->view());
}

void TabBarController::layoutContent()
{
    View* view = viewIfLoaded();
    if (!view)
        return;
    const Rect b = view->bounds();
    content_->setFrame(b);
    const double bottom = safeAreaInsets(*view).bottom;
    tabBar_->setFrame({{0, b.maxY() - TabBar::height - bottom}, {b.width(), TabBar::height + bottom}});
    if (ViewController* selected = selectedViewController())
        selected->view()->setFrame(content_->bounds());
}

ViewController* TabBarController::selectedViewController() const
{
    return selected_ >= 0 && selected_ < static_cast<int>(tabs_.size()) ? tabs_[static_cast<std::size_t>(selected_)].get()
                                                                        : nullptr;
}

std::vector<ViewController*> TabBarController::childrenForAppearance() const
{
    ViewController* selected = selectedViewController();
    if (selected && selected->viewIfLoaded() && selected->viewIfLoaded()->isDescendantOf(content_.get()))
        return {selected};
    return {};
}

void TabBarController::childTabBarItemDidChange(ViewController&) { tabBar_->setNeedsDisplay(); }

unsigned TabBarController::supportedInterfaceOrientations() const
{
    const ViewController* selected = selectedViewController();
    return selected ? selected->supportedInterfaceOrientations() : ViewController::supportedInterfaceOrientations();
}

void TabBarController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool)
{
    std::erase(controllers, nullptr);
    const auto old = selectedViewController() ? selectedViewController()->shared_from_this() : nullptr;
    const bool keepsSelected = old && std::find(controllers.begin(), controllers.end(), old) != controllers.end();
    if (old && !keepsSelected) {
        if (isVisible() || isAppearing()) {
            old->beginAppearanceTransition(false, false);
            old->endAppearanceTransition();
        }
        if (old->viewIfLoaded())
            old->viewIfLoaded()->removeFromSuperview();
    }
    for (const auto& tab : tabs_) {
        if (std::find(controllers.begin(), controllers.end(), tab) == controllers.end()) {
            tab->willMoveToParentViewController(nullptr);
            tab->removeFromParentViewController();
        }
    }
    tabs_ = std::move(controllers);
    std::vector<TabBarItem*> items;
    for (const auto& tab : tabs_) {
        addChildViewController(tab);
        tab->didMoveToParentViewController(this);
        items.push_back(&tab->tabBarItem());
    }
    tabBar_->setItems(std::move(items));
    if (keepsSelected) {
        selected_ = static_cast<int>(std::find(tabs_.begin(), tabs_.end(), old) - tabs_.begin());
        tabBar_->setSelectedIndex(selected_);
        return;
    }
    selected_ = -1;
    show(tabs_.empty() ? -1 : 0);
}

void TabBarController::setSelectedIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(tabs_.size()))
        show(index);
}

void TabBarController::setSelectedViewController(const ViewController* controller)
{
    const auto found = std::find_if(tabs_.begin(), tabs_.end(), [&](const auto& tab) { return tab.get() == controller; });
    if (found != tabs_.end())
        show(static_cast<int>(found - tabs_.begin()));
}

bool TabBarController::selectFromTabBar(int index)
{
    if (index < 0 || index >= static_cast<int>(tabs_.size()))
        return false;
    ViewController& tab = *tabs_[static_cast<std::size_t>(index)];
    if (delegate_ && !delegate_->shouldSelectViewController(*this, tab))
        return false;
    if (index == selected_) {
        if (auto* nav = dynamic_cast<NavigationController*>(&tab))
            nav->popToRootViewController(true);
    } else {
        show(index);
    }
    if (delegate_)
        delegate_->didSelectViewController(*this, tab);
    return true;
}

void TabBarController::show(int index)
{
    if (index == selected_)
        return;
    const auto from = selectedViewController() ? selectedViewController()->shared_from_this() : nullptr;
    selected_ = index;
    tabBar_->setSelectedIndex(index);
    const auto to = selectedViewController() ? selectedViewController()->shared_from_this() : nullptr;
    if (!isViewLoaded())
        return;
    const bool onScreen = isVisible() || isAppearing();
    if (to)
        to->loadViewIfNeeded();
    if (onScreen && to)
        to->beginAppearanceTransition(true, false);
    if (onScreen && from)
        from->beginAppearanceTransition(false, false);
    if (to) {
        to->view()->setFrame(content_->bounds());
        content_->addSubview(to->view());
    }
    if (from && from->viewIfLoaded())
        from->viewIfLoaded()->removeFromSuperview();
    if (onScreen && from)
        from->endAppearanceTransition();
    if (onScreen && to)
        to->endAppearanceTransition();
}

} // namespace ui
