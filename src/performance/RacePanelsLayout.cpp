#include <tuple>

#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/RacePanels.h"
#include "performance/RaceScreenShape.h"
#include "performance/TrackView.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

void RacePanels::layOutPageArea()
{
    const ui::Size screen = ui::Device::current().screenSize();
    const double l = line_;
    if (raceScreenUpright()) {
        const double t = raceScreenTopInset();
        pageView_->view()->setFrame({l, t + 1, screen.width - 2 * l, screen.height * 0.5 - 1 - t});
    } else {
        pageView_->view()->setFrame({screen.width * 0.5, screen.height / 3 + 2 * l, screen.width * 0.5 - l,
                                     (screen.height - screen.height / 3) - 3 * l});
    }
}

void RacePanels::shiftPanels(double dy)
{
    for (ui::View* v : {pageView_->view().get(), infView_.get(), statView_.get()}) {
        ui::Rect frame = v->frame();
        frame.origin.y += dy;
        v->setFrame(frame);
    }
}

void RacePanels::layOut(bool portrait)
{
    if (gView_)
        gView_->setPortraitMode(portrait);
    if (portrait)
        layOutPortrait();
    else
        layOutLandscape();
    layOutCommon();
}

void RacePanels::fitPages()
{
    // The pages keep their places in the page view; only their size follows it.
    const ui::Size page = RacePageViewController::contentSize(pageView_->view()->bounds().size);
    const auto resize = [page](ui::View& v) { v.setFrame({v.frame().origin, page}); };
    if (rGView_) {
        resize(*rGView_);
        rGView_->setupLayer();
    }
    if (gView_) {
        resize(*gView_);
        gView_->setupLayer();
    }
    resize(*trackView_);
    trackView_->updateLabels();
    if (sView_) {
        resize(*sView_);
        sView_->adjustLabels();
    }
    resize(*gFView_);
    gFView_->adjustView();
}

void RacePanels::layOutLandscape()
{
    const double w = width_, l = line_;
    host_.setBackgroundColor(ui::Color::black());
    for (ui::View* v : {pageView_->view().get(), infView_.get(), statView_.get()})
        v->setBorderColor(ui::Color::clear());
    const ui::Device& device = ui::Device::current();
    double h = height_;
    double x = 0;
    if (device.safeAreaInsets().bottom > 0) {
        h = height_ - (device.safeAreaInsets().left + 34);
        x = device.orientation() == ui::DeviceOrientation::LandscapeRight ? 34 : device.safeAreaInsets().left;
    }
    infView_->setFrame({x + l, l, h * 0.55 - 2 * l, w / 3});
    // Moved only when it is elsewhere: a move asks the host to lay out again, and this runs in its layout.
    if (gapView_->superview() != &host_)
        host_.addSubview(gapView_);
    gapView_->setFrame({x + h * 0.55 + l, l, h * 0.45 - 2 * l, w / 3});
    const double statHeight = w - w / 3;
    statView_->setFrame({x + l, w / 3 + 2 * l, h * 0.5 - 2 * l, statHeight});
    const double inner = h * 0.5 - 2 * l;
    bestView_->setFrame({0, 0, inner, statHeight / 2 - 2 * l});
    prevView_->setFrame({0, statHeight / 2, inner, statHeight / 2 - 2 * l});
    topView_->setFrame({x + h * 0.5, w / 3 + 2 * l, h * 0.5 - l, statHeight - 3 * l});
    gearView_->setHidden(true);
    tempView_->setHidden(true);
    hpView_->setHidden(true);
}

void RacePanels::layOutPortrait()
{
    const double w = width_, h = height_, l = line_;
    if (theme_ == 0) {
        host_.setBackgroundColor(ui::Color::white(0.1));
        for (ui::View* v : {pageView_->view().get(), infView_.get(), statView_.get()})
            v->setBorderColor(ui::Color::white(0.1));
    } else {
        host_.setBackgroundColor(ui::Color::black());
    }
    const double t = raceScreenTopInset();
    infView_->setFrame({l, h * 0.5 + l, w - 2 * l, h * 0.15 + 25});
    topView_->setFrame({l, t + 22, w - 2 * l, h * 0.5 - 22 - t});
    const double s = h * 0.35 - 25 - 3 * l;
    statView_->setFrame({l, h * 0.65 + 2 * l + 25, w - 2 * l, s});
    const double column = 0.4 * w;
    const double cell = s / 3 - 2 * l;
    bestView_->setFrame({l, l, column - 2 * l, cell});
    prevView_->setFrame({l, s / 3 + l, column - 2 * l, cell});
    tempView_->setFrame({l, 2 * s / 3 + l, column - 2 * l, cell});
    if (gapView_->superview() != statView_.get())
        statView_->addSubview(gapView_);
    gapView_->setFrame({w * 0.4 + l, l, w * 0.6 - 3 * l, s * 0.5 - 3 * l});
    gearView_->setFrame({w * 0.4 + l, s * 0.5 + 2 * l, w * 0.3 - 2 * l, s * 0.5 - l});
    hpView_->setFrame({w * 0.7 + l, s * 0.5 + 2 * l, w * 0.3 - 3 * l, s * 0.5 - l});
    gearView_->setHidden(false);
    tempView_->setHidden(false);
    hpView_->setHidden(false);

    const ui::Size temp = tempView_->bounds().size;
    tempLabel_->setFrame({5, 2, temp.width - 10, temp.height * 0.3});
    tempValLabel_->setFrame({0, temp.height * 0.3, temp.width * 0.65, temp.height * 0.7});
    tempUnitLabel_->setFrame({temp.width * 0.7, temp.height * 0.4, temp.width * 0.3, temp.height * 0.5});
    const ui::Size gear = gearView_->bounds().size;
    gearLabel_->setFrame({5, 2, gear.width - 10, gear.height * 0.2});
    shiftImgView_->setFrame({gear.width - gear.height * 0.3, 0, gear.height * 0.3, gear.height * 0.3});
    gearValLabel_->setFrame({5, gear.height * 0.25, gear.width * 0.6, gear.height * 0.7});
    gearEndLabel_->setFrame({gear.width * 0.6, gear.height * 0.3, gear.width * 0.4, gear.height * 0.3});
    const ui::Size hp = hpView_->bounds().size;
    hpLabel_->setFrame({5, 2, hp.width - 10, hp.height * 0.2});
    hpValLabel_->setFrame({0, hp.height * 0.25, hp.width, hp.height * 0.7});
}

void RacePanels::layOutCommon()
{
    for (const auto& [panel, title, value] : {std::tuple{bestView_, bestLapLabel_, bestLapValLabel_},
                                              std::tuple{prevView_, lastLapLabel_, lastLapValLabel_},
                                              std::tuple{gapView_, gapLabel_, gapValLabel_}}) {
        // The value fills the panel below its title: wide landscape panels would otherwise grow it over the title.
        const ui::Size size = panel->bounds().size;
        const double titleHeight = size.height * 0.25;
        title->setFrame({5, 2, size.width - 10, titleHeight});
        value->setFrame({0, titleHeight + 2, size.width, size.height - titleHeight - 2});
        value->setFont(value->font().withSize(size.height * (value == gapValLabel_ ? 0.6 : 0.55)));
    }
    const ui::Size panel = infView_->bounds().size;
    timerLabel_->setFrame({panel.width * 0.05, panel.height * 0.2, panel.width * 0.9, panel.height * 0.6});
    timerLabel_->setFont(timerLabel_->font().withSize(panel.height * 0.55));
    const double timerWidth = timerLabel_->sizeThatFits(panel).width;
    miliSecLabel_->setFrame({panel.width * 0.05 + timerWidth, panel.height * 0.38, panel.width * 0.15, panel.height * 0.4});
    miliSecLabel_->setFont(miliSecLabel_->font().withSize(panel.height * 0.3));
    msgLabel_->setFrame({0, 5, panel.width, panel.height - 5});
    const ui::Size page = topView_->bounds().size;
    trackLabel_->setFrame({0, page.height / 2, page.width, page.height / 8});
    trackLabel_->setFont(ui::Font::named("Digital-Serial DB", page.height / 10));
    const double lapSide = panel.height * 0.28;
    lapLabel_->setFrame({panel.width - lapSide - 4, 0, lapSide, panel.height / 7});
    lapValLabel_->setFrame({panel.width - lapSide - 4, panel.height / 6, lapSide, lapSide});
    lapValLabel_->setCornerRadius(0.14 * panel.height);
}
