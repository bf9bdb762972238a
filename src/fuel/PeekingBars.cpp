#include "fuel/PeekingBars.h"

#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

PeekingBars::PeekingBars(ui::ViewController& screen, bool withNavigationBar)
    : screen_(screen),
      withNavigationBar_(withNavigationBar)
{
}

PeekingBars::~PeekingBars() { hiding_.cancel(); }

void PeekingBars::peek()
{
    if (!ui::isLandscape(ui::Device::current().interfaceOrientation()))
        return;
    setShown(true, false);
    hiding_.cancel();
    hiding_ = fnd::after(shownFor, [this] { hide(); });
}

void PeekingBars::hide()
{
    hiding_.cancel();
    if (ui::isLandscape(ui::Device::current().interfaceOrientation()))
        setShown(false, true);
}

void PeekingBars::setShown(bool shown, bool animated)
{
    if (auto* navigation = screen_.navigationController(); navigation && withNavigationBar_)
        navigation->setNavigationBarHidden(!shown, animated);
    if (auto* tabs = screen_.tabBarController())
        tabs->tabBar().setHidden(!shown);
    // The screen lays its content out between the bars that show.
    if (ui::View* view = screen_.viewIfLoaded())
        view->setNeedsLayout();
}
