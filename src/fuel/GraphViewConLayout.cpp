#include <algorithm>

#include "fuel/GraphViewCon.h"
#include "fuel/LayoutOrientation.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"

void GraphViewCon::viewDidLayoutSubviews()
{
    if (const std::optional<bool> portrait = portraitLayoutFor(ui::Device::current().interfaceOrientation()))
        changeTheViewToPortrait(*portrait, 0);
}

void GraphViewCon::changeTheViewToPortrait(bool portrait, double duration)
{
    if (!gView_)
        return;
    const ui::Device& device = ui::Device::current();
    const ui::Rect screen = device.screenBounds();
    const double shortSide = std::min(screen.width(), screen.height());
    const double longSide = std::max(screen.width(), screen.height());
    ui::NavigationController* navigation = navigationController();
    double barBottom = 0;
    if (navigation && !navigation->navigationBar().isHidden() && navigation->navigationBar().isTranslucent())
        barBottom = navigation->navigationBar().frame().maxY();
    topOffset_ = barBottom;
    ui::TabBarController* tabs = tabBarController();
    const bool pad = device.isPad();

    ui::animate(duration, [&] {
        if (portrait) {
            if (strip_)
                strip_->setHidden(true);
            gView_->setFrame(ui::makeRect(0, topOffset_, shortSide, chartHeight));
            gView_->changeToPortrait();
            graphModeSegCon_->setHidden(true);
            graphModeSegCon2_->setHidden(touching_);
            graphModeSegCon2_->setFrame(ui::makeRect(0.05 * shortSide, topOffset_, 0.9 * shortSide, 30));
            table_->setFrame(ui::makeRect(0, topOffset_ + chartHeight, shortSide,
                                          longSide - topOffset_ - chartHeight));
            table_->setHidden(false);
            if (tabs)
                tabs->tabBar().setHidden(false);
        } else {
            double x = 0;
            double width = longSide;
            if (pad) {
                // The strip takes the bottom fifth above the tab bar, the chart what is left above it.
                double bottom = view()->bounds().height();
                if (tabs && !tabs->tabBar().isHidden())
                    bottom = std::min(bottom, view()->convertRectFromView(tabs->tabBar().bounds(), &tabs->tabBar()).minY());
                const double stripHeight = shortSide / 5;
                gView_->setFrame(ui::makeRect(0, barBottom, longSide, bottom - stripHeight - barBottom));
                if (strip_) {
                    strip_->setHidden(false);
                    strip_->setFrame(ui::makeRect(0, bottom - stripHeight, longSide, stripHeight));
                }
            } else {
                // The tab bar stays hidden but for a tap's peek, and the chart then ends above it.
                double bottom = shortSide - 40.0;
                if (tabs) {
                    tabs->tabBar().setHidden(!bars_.isPeeking());
                    if (bars_.isPeeking())
                        bottom = std::min(bottom, view()->convertRectFromView(tabs->tabBar().bounds(), &tabs->tabBar()).minY());
                }
                if (device.hasHomeIndicator()) {
                    const ui::EdgeInsets insets = device.safeAreaInsets();
                    x = std::max(0.0, insets.left - 10);
                    width = longSide - x - std::max(0.0, insets.right - 10);
                }
                gView_->setFrame(ui::makeRect(x, barBottom, width, bottom - barBottom));
            }
            gView_->changeToLandscape();
            graphModeSegCon_->setFrame(ui::makeRect(x + 0.05 * width, barBottom, 0.9 * width, 30));
            graphModeSegCon_->setHidden(touching_);
            graphModeSegCon2_->setHidden(true);
            table_->setHidden(true);
        }
    });
}
