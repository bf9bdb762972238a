#include "performance/RaceScreenShape.h"
#include "performance/RaceViewController.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/ScrollView.h"

void RaceViewController::setScrollingEnabled(bool enabled)
{
    if (panels_)
        panels_->pageView().scrollView().setScrollEnabled(enabled);
}

void RaceViewController::openMenu()
{
    const ui::Device& device = ui::Device::current();
    const ui::Size screen = device.screenSize();
    const double exposedWidth = screen.width > screen.height && isIphoneXAndUp_ ? 230 : 190;
    // The menu takes the move over from the view, so it hears of it after the view has moved.
    slideViewTo(exposedWidth);
    if (auto menu = delegate())
        menu->viewWillSlide(true);
    menuOpen_ = true;
    setScrollingEnabled(false);
}

void RaceViewController::closeMenu()
{
    slideViewTo(0);
    if (auto menu = delegate())
        menu->viewWillSlide(false);
    menuDidClose();
}

void RaceViewController::menuDidClose()
{
    menuOpen_ = false;
    setScrollingEnabled(true);
}

void RaceViewController::viewDidLayoutSubviews()
{
    if (ui::Device::current().safeAreaInsets().bottom > 0)
        isIphoneXAndUp_ = true;
    if (!menus_ || menus_->barShown())
        return;
    changeTheViewToPortrait(raceScreenUpright());
}

void RaceViewController::viewWillLayoutSubviews()
{
    if (menus_ && !menus_->barHoldsPanels())
        panels_->layOutPageArea();
}

void RaceViewController::changeTheViewToPortrait(bool portrait)
{
    if (!menus_)
        return;
    isPortrait_ = portrait;
    panels_->layOut(portrait);
    menus_->layOutSelectors();
    if (!portrait)
        menus_->hideBar();
    const std::weak_ptr<ui::ViewController> self = weak_from_this();
    fnd::after(0.1, [self, this] {
        if (self.lock())
            panels_->fitPages();
    });
    menus_->bringBarToFront();
}
