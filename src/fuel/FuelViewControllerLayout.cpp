#include <algorithm>

#include "core/model/Manager.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"
#include "fuel/LayoutOrientation.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TapGestureRecognizer.h"

namespace {

std::shared_ptr<ui::Label> makeLabel(ui::View& parent, const std::string& text, const char* font, double size,
                                     ui::Color color)
{
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::named(font, size));
    label->setTextColor(color);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setAdjustsFontSizeToFitWidth(true);
    parent.addSubview(label);
    return label;
}

// Font sizes of the trip panel's values and titles, from the screen's short side.
double valueFontSize(double shortSide)
{
    return shortSide / 18;
}

double titleFontSize(double shortSide)
{
    return shortSide / 25;
}

// The design's font size, made smaller where its line is taller than the label
// (as the fallback of a missing font can be).
void fitHeight(ui::Label& label, double size, double height)
{
    const ui::Font font = label.font().withSize(size);
    label.setFont(font.withSize(size * std::min(1.0, height / font.lineHeight())));
}

// Value and title of one figure of the trip panel: the title right below its value.
void place(ui::Label& value, ui::Label& title, double x, double width, double valueY, double height)
{
    const ui::Rect screen = ui::Device::current().screenBounds();
    const double shortSide = std::min(screen.width(), screen.height());
    value.setFrame(ui::makeRect(x, valueY, width, height));
    title.setFrame(ui::makeRect(x, valueY + height, width, height * 0.8));
    fitHeight(value, valueFontSize(shortSide), height);
    fitHeight(title, titleFontSize(shortSide), height * 0.8);
}

}  // namespace

void FuelViewController::viewDidLoad()
{
    theme_ = Manager::sharedManager().setting().theme;
    view()->setBackgroundColor(ui::Color::black());
    auto title = std::make_shared<ui::Label>(ui::makeRect(0, 0, 120, 30));
    title->setText(fnd::L("Fuel"));
    title->setFont(ui::Font::named("Digital-Serial DB", 17));
    title->setTextColor(theme_ == 1 ? ui::Color::black() : ui::Color::white());
    title->setTextAlignment(ui::TextAlignment::Center);
    navigationItem().setTitleView(title);
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::SystemItem::Refresh, [this](ui::BarButtonItem&) { resetData(); }));
    loadViews();
    view()->addGestureRecognizer(std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) {
        slideMenuBar();
    }));
    addMenuSwipes(*view());
}

void FuelViewController::loadViews()
{
    const ui::Rect screen = ui::Device::current().screenBounds();
    const double s = std::min(screen.width(), screen.height());
    const double l = std::max(screen.width(), screen.height()) - 20;

    fView_ = std::make_shared<FuelView>(screen, theme_, Manager::sharedManager().setting().fuelUnitsMode);
    readSettings();
    view()->addSubview(fView_);

    detailView_ = std::make_shared<ui::View>(ui::makeRect(0, 0.75 * l, s, 0.25 * l));
    detailView_->setBackgroundColor(ui::Color::clear());
    view()->addSubview(detailView_);

    const bool light = theme_ == 1;
    const ui::Color valueColor = light ? ui::Color::black() : ui::Color::lightGray();
    const ui::Color titleColor = light ? ui::Color::darkGray() : ui::Color::lightGray();
    const double u = valueFontSize(s);
    ui::View& panel = *detailView_;
    timeLabel_ = makeLabel(panel, trip_.timeText(), "Digital-Serial", u, valueColor);
    timeTitle_ = makeLabel(panel, fnd::L("Time elapsed"), "Digital-Serial DB", titleFontSize(s), titleColor);
    speedLabel_ = makeLabel(panel, "00", "Digital-Serial", u, valueColor);
    speedTitle_ = makeLabel(panel, fnd::L("Avg. speed"), "Digital-Serial DB", titleFontSize(s), titleColor);
    fuelLabel_ = makeLabel(panel, "00", "Digital-Serial", u, valueColor);
    fuelTitle_ = makeLabel(panel, fnd::L("Fuel consumed"), "Digital-Serial DB", titleFontSize(s), titleColor);
    co2Label_ = makeLabel(panel, "00", "Digital-Serial", u, valueColor);
    co2Title_ = makeLabel(panel, fnd::L("CO2 produced"), "Digital-Serial DB", titleFontSize(s), titleColor);
    // Two rows of two figures right of the tank level arc.
    const double row2 = 0.125 * s + 0.03 * l;
    place(*timeLabel_, *timeTitle_, 0.35 * s, s / 3, u, u * 1.2);
    place(*speedLabel_, *speedTitle_, 0.7 * s, 0.3 * s, u, u * 1.2);
    place(*fuelLabel_, *fuelTitle_, 0.35 * s, s / 3, row2, u * 1.2);
    place(*co2Label_, *co2Title_, 0.7 * s, 0.3 * s, row2, u * 1.2);
}

void FuelViewController::viewDidLayoutSubviews()
{
    if (const std::optional<bool> portrait = portraitLayoutFor(ui::Device::current().interfaceOrientation()))
        changeTheViewToPortrait(*portrait, 0);
}

void FuelViewController::changeTheViewToPortrait(bool portrait, double duration)
{
    if (!fView_)
        return;
    // The bars slide in and out when the screen turns, not at every layout pass (hiding a bar lays out again).
    const bool turned = shownPortrait_ != portrait;
    shownPortrait_ = portrait;
    const ui::Device& device = ui::Device::current();
    const ui::Rect bounds = view()->bounds();
    const double w = bounds.width();
    const double h = bounds.height();
    ui::NavigationController* navigation = navigationController();
    ui::TabBarController* tabs = tabBarController();
    const bool pad = device.isPad();

    ui::animate(duration, [&] {
        if (portrait) {
            if (turned) {
                showBars_.cancel();
                bars_.cancel();
                if (navigation)
                    navigation->setNavigationBarHidden(false, false);
                if (tabs)
                    tabs->tabBar().setHidden(false);
            }
            detailView_->setHidden(false);
            fView_->setFrame(ui::makeRect(0, 0, w, h));
            if (pad) {
                detailView_->setFrame(ui::makeRect(0, 0.75 * h, w, 0.25 * h));
                const double u = w / 20;
                place(*timeLabel_, *timeTitle_, 0.35 * w, w / 3, u, u * 1.2);
                place(*speedLabel_, *speedTitle_, 0.7 * w, 0.3 * w, u, u * 1.2);
                place(*fuelLabel_, *fuelTitle_, 0.35 * w, w / 3, 0.125 * w + 30, u * 1.2);
                place(*co2Label_, *co2Title_, 0.7 * w, 0.3 * w, 0.125 * w + 30, u * 1.2);
            } else {
                // The bottom quarter of the screen, whatever the bars above and below leave of it.
                const double l = std::max(w, h);
                detailView_->setFrame(ui::makeRect(0, h - 0.25 * l, w, 0.25 * l));
            }
            fView_->changeToPortrait();
        } else if (pad) {
            if (turned)
                bars_.peek();
            const ui::Rect free = areaBetweenBars();
            const double top = free.minY();
            const double height = free.height();
            detailView_->setHidden(false);
            detailView_->setFrame(ui::makeRect(0, top, w, 0.14 * height));
            detailView_->setBackgroundColor(ui::Color::rgb(0.0784, 0.0784, 0.102));
            fView_->setFrame(ui::makeRect(0, top + 0.145 * height, w, 0.855 * height));
            place(*timeLabel_, *timeTitle_, 0, 0.25 * w, 30, w / 40);
            place(*speedLabel_, *speedTitle_, 0.25 * w, 0.25 * w, 30, w / 40);
            place(*fuelLabel_, *fuelTitle_, 0.5 * w, 0.25 * w, 30, w / 40);
            place(*co2Label_, *co2Title_, 0.75 * w, 0.25 * w, 30, w / 40);
            fView_->changeToLandscape();
        } else {
            detailView_->setHidden(true);
            if (turned)
                showBars_ = fnd::after(0.1, [this] { slideMenuBar(); });
            double x = 0;
            double width = w;
            if (device.hasHomeIndicator()) {
                const double inset = device.safeAreaInsets().right;
                width = w - (inset + 34);
                x = device.orientation() == ui::DeviceOrientation::LandscapeRight ? 34 : inset;
            }
            const ui::Rect free = areaBetweenBars();
            fView_->setFrame(ui::makeRect(x, free.minY(), width, free.height()));
            fView_->changeToLandscape();
        }
    });
}

ui::Rect FuelViewController::areaBetweenBars()
{
    const ui::Rect bounds = view()->bounds();
    double top = bounds.minY();
    if (ui::NavigationController* navigation = navigationController(); navigation && !navigation->isNavigationBarHidden()) {
        const ui::NavigationBar& bar = navigation->navigationBar();
        top = std::max(top, bar.convertRect(bar.bounds(), view().get()).maxY());
    }
    double bottom = bounds.maxY();
    if (ui::TabBarController* tabs = tabBarController(); tabs && !tabs->tabBar().isHidden()) {
        const ui::TabBar& bar = tabs->tabBar();
        bottom = std::min(bottom, bar.convertRect(bar.bounds(), view().get()).minY());
    }
    return ui::makeRect(bounds.minX(), top, bounds.width(), std::max(0.0, bottom - top));
}

void FuelViewController::slideMenuBar() { bars_.peek(); }

void FuelViewController::hideNavBar() { bars_.hide(); }
