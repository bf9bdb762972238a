#include "performance/RacePanels.h"

#include <algorithm>

#include "core/model/RaceEngine.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/FittingFont.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "shell/UIPageViewCon.h"

namespace {

const ui::Color cream = ui::Color::rgb255(255, 241, 226);
const ui::Color lapGreen = ui::Color::rgb(0.24, 180.0 / 255, 114.0 / 255);

std::shared_ptr<ui::Label> makeLabel(ui::View& parent, const std::string& text, const char* font, double size,
                                     ui::Color color, ui::TextAlignment alignment = ui::TextAlignment::Left)
{
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::named(font, size));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    label->setBackgroundColor(ui::Color::clear());
    label->setAdjustsFontSizeToFitWidth(true);
    parent.addSubview(label);
    return label;
}

std::shared_ptr<ui::View> makePanel(ui::View& parent, std::optional<ui::Color> background)
{
    auto panel = std::make_shared<ui::View>();
    panel->setBackgroundColor(background);
    panel->setClipsToBounds(true);
    parent.addSubview(panel);
    return panel;
}

void giveContainerBorder(ui::View& view)
{
    view.setCornerRadius(8);
    view.setBorder(1, ui::Color::white(0.1));
    view.setClipsToBounds(true);
}

}  // namespace

RacePageViewController::RacePageViewController(std::shared_ptr<ui::View> content, long index)
    : content_(std::move(content)), index_(index)
{
}

ui::Size RacePageViewController::contentSize(ui::Size page)
{
    return {page.width, std::max(0.0, page.height - ui::PageViewController::pageControlHeight)};
}

void RacePageViewController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    view()->addSubview(content_);
}

void RacePageViewController::viewDidLayoutSubviews()
{
    ui::ViewController::viewDidLayoutSubviews();
    content_->setFrame({{0, 0}, contentSize(view()->bounds().size)});
}

RacePanels::RacePanels(ui::ViewController& screen, int theme, bool rpmGauge, bool shiftPage)
    : host_(*screen.view()), theme_(theme)
{
    const ui::Size size = ui::Device::current().screenSize();
    width_ = std::min(size.width, size.height);
    height_ = std::max(size.width, size.height);
    line_ = height_ > 568 ? 2.0 : 1.0;
    pageView_ = std::make_shared<UIPageViewCon>(ui::PageViewControllerTransitionStyle::Scroll,
                                                ui::PageViewControllerNavigationOrientation::Horizontal);
    pageView_->setDataSource(this);
    pageView_->view()->setBackgroundColor(ui::Color::black());

    infView_ = makePanel(host_, ui::Color::black());
    infView_->setFrame({line_, height_ * 0.5 + line_, width_ - 2 * line_, height_ * 0.15 + 25});
    giveContainerBorder(*infView_);
    topView_ = std::make_shared<ui::View>(ui::Rect{line_, 0, width_ - 2 * line_, height_ * 0.5 - 22});

    std::vector<std::shared_ptr<ui::View>> pages;
    const ui::Rect page = topView_->bounds();
    if (rpmGauge) {
        rGView_ = std::make_shared<RaceGaugeView>(page, theme_);
        rGView_->startTimer();
        pages.push_back(rGView_);
    } else {
        gView_ = std::make_shared<GaugeView2>(9, GaugeView2::digitalStyle, theme_);
        gView_->setFrame(page);
        gView_->setVisMode(GaugeView2::analogStyle);
        gView_->setUserInteractionEnabled(false);
        gView_->setupLayer();
        pages.push_back(gView_);
    }
    gFView_ = std::make_shared<GforceView>(page, theme_, false);
    gFView_->setBackgroundColor(ui::Color::black());
    pages.push_back(gFView_);
    trackView_ = std::make_shared<TrackView>(page, theme_);
    pages.push_back(trackView_);
    if (shiftPage) {
        sView_ = std::make_shared<ShiftView>(page, theme_);
        pages.push_back(sView_);
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages_.push_back(std::make_shared<RacePageViewController>(pages[i], static_cast<long>(i)));
    buildPages(screen);
    buildPanels();
    if (theme_ == 1)
        applyLightTheme();
}

RacePanels::~RacePanels()
{
    pageView_->setDataSource(nullptr);
    pageView_->setDelegate(nullptr);
}

void RacePanels::buildPages(ui::ViewController& screen)
{
    pageView_->setViewControllers({pages_.front()}, ui::PageViewControllerNavigationDirection::Forward, false);
    screen.addChildViewController(pageView_);
    host_.addSubview(pageView_->view());
    pageView_->didMoveToParentViewController(&screen);
    giveContainerBorder(*pageView_->view());
    pageView_->pageControl().setPageIndicatorTintColor(ui::Color::lightGray());
    pageView_->pageControl().setCurrentPageIndicatorTintColor(ui::Color::rgb255(205, 50, 80));
}

void RacePanels::buildPanels()
{
    const double pageHeight = topView_->bounds().size.height;
    const double panelWidth = infView_->bounds().size.width;
    const double panelHeight = infView_->bounds().size.height;
    const ui::Color grey = ui::Color::white(0.8);

    trackLabel_ = makeLabel(*trackView_, fnd::L("No track"), "Digital-Serial DB", pageHeight / 10,
                            ui::Color::lightGray(), ui::TextAlignment::Center);
    lapLabel_ = makeLabel(*infView_, fnd::L("Lap"), "Digital-Serial", panelHeight / 7, grey, ui::TextAlignment::Center);
    lapLabel_->setHidden(true);
    lapValLabel_ = makeLabel(*infView_, "1", "Digital-Serial", height_ * 0.04, ui::Color::black(),
                             ui::TextAlignment::Center);
    lapValLabel_->setBackgroundColor(grey);
    lapValLabel_->setCornerRadius(0.14 * panelHeight);
    lapValLabel_->setHidden(true);
    timerLabel_ = makeLabel(*infView_, "00:00", "DigitalSans NowEF ML Demo", 0.28 * panelWidth, grey);
    timerLabel_->setFrame({panelWidth * 0.05, panelHeight * 0.2, width_ * 0.9, height_ * 0.15});
    timerLabel_->setHidden(true);
    miliSecLabel_ = makeLabel(*infView_, ".0", "DigitalSans NowEF ML Demo", 0.14 * panelWidth, grey);
    miliSecLabel_->setHidden(true);

    stopBtn_ = std::make_shared<ui::Button>();
    stopBtn_->setTitle("STOP");
    const double titleWidth = stopBtnFrame(false).size.width - 8;
    stopBtn_->setTitleFont(fittingFont("STOP", ui::Font::named("Digital-Serial", width_ * 0.07), titleWidth));
    stopBtn_->setBackgroundColor(ui::Color::rgb255(180, 0, 45));
    stopBtn_->setCornerRadius(2);
    stopBtn_->setFrame(stopBtnFrame(false));
    infView_->addSubview(stopBtn_);
    resultsBtn_ = std::make_shared<ui::Button>();
    resultsBtn_->setTitle("Results");
    resultsBtn_->setTitleFont(fittingFont("Results", ui::Font::named("Digital-Serial", width_ * 0.065), titleWidth));
    resultsBtn_->setBackgroundColor(ui::Color::rgb255(13, 105, 190, 0.7));
    resultsBtn_->setCornerRadius(2);
    resultsBtn_->setFrame(stopBtnFrame(false));
    infView_->addSubview(resultsBtn_);

    statView_ = makePanel(host_, ui::Color::black());
    giveContainerBorder(*statView_);
    bestView_ = makePanel(*statView_, lapGreen);
    bestLapLabel_ = makeLabel(*bestView_, fnd::L("Best lap"), "Digital-Serial", height_ * 0.02, ui::Color::black());
    bestLapValLabel_ = makeLabel(*bestView_, "--:--.-", "DigitalSans NowEF ML Demo", 20, ui::Color::black(),
                                 ui::TextAlignment::Center);
    prevView_ = makePanel(*statView_, ui::Color::rgb255(255, 83, 73));
    lastLapLabel_ = makeLabel(*prevView_, fnd::L("Last lap"), "Digital-Serial", height_ * 0.02, ui::Color::black());
    lastLapValLabel_ = makeLabel(*prevView_, "--:--.-", "DigitalSans NowEF ML Demo", 20, ui::Color::black(),
                                 ui::TextAlignment::Center);
    tempView_ = makePanel(*statView_, ui::Color::black());
    tempLabel_ = makeLabel(*tempView_, fnd::L("Coolant temp."), "Digital-Serial", height_ * 0.02, ui::Color::orange());
    // No figure until the car has answered: nothing asks it for coolant unless the temperature warning is on.
    tempValLabel_ = makeLabel(*tempView_, "--", "Digital-Serial", height_ * 0.06, grey, ui::TextAlignment::Right);
    tempUnitLabel_ = makeLabel(*tempView_, "", "Digital-Serial DB", height_ * 0.04, ui::Color::lightGray());
    gapView_ = makePanel(*statView_, ui::Color::black());
    gapLabel_ = makeLabel(*gapView_, fnd::L("Gap"), "Digital-Serial", height_ * 0.02, grey);
    gapValLabel_ = makeLabel(*gapView_, " --.-", "Digital-Serial", 30, ui::Color::white(0.9), ui::TextAlignment::Center);
    msgLabel_ = makeLabel(*infView_, fnd::L("Accelerate"), "Digital-Serial DB", panelHeight * 0.3,
                          ui::Color::lightGray(), ui::TextAlignment::Center);
    msgLabel_->setHidden(true);
    gearView_ = makePanel(*statView_, ui::Color::black());
    shiftImgView_ = std::make_shared<ui::ImageView>(ui::Image::named("up"));
    shiftImgView_->setAlpha(0);
    gearView_->addSubview(shiftImgView_);
    gearLabel_ = makeLabel(*gearView_, fnd::L("Gear"), "Digital-Serial", 0.15 * width_ * 0.3, grey);
    gearValLabel_ = makeLabel(*gearView_, "N", "DigitalSans NowEF ML Demo", height_ * 0.12, grey);
    gearEndLabel_ = makeLabel(*gearView_, "", "Digital Sans EF", height_ * 0.06, grey);
    hpView_ = makePanel(*statView_, ui::Color::black());
    hpLabel_ = makeLabel(*hpView_, fnd::L("Horsepower"), "Digital-Serial", 0.15 * width_ * 0.3, grey);
    hpValLabel_ = makeLabel(*hpView_, "--", "Digital-Serial", 0.5 * width_ * 0.3, grey, ui::TextAlignment::Center);
}

void RacePanels::applyLightTheme()
{
    for (ui::View* v : {static_cast<ui::View*>(gFView_.get()), infView_.get(), tempView_.get(), gapView_.get(),
                        gearView_.get(), hpView_.get(), bestView_.get(), prevView_.get()})
        v->setBackgroundColor(cream);
    for (const auto& label : {trackLabel_, lapLabel_, timerLabel_, miliSecLabel_, tempLabel_, tempValLabel_,
                              tempUnitLabel_, gapLabel_, msgLabel_, gearLabel_, gearValLabel_, hpLabel_, hpValLabel_,
                              bestLapValLabel_, lastLapValLabel_})
        label->setTextColor(ui::Color::black());
    lapValLabel_->setTextColor(ui::Color::lightGray());
    lapValLabel_->setBackgroundColor(ui::Color::black());
    gearEndLabel_->setTextColor(ui::Color::white(0.1));
}

ui::Color RacePanels::panelBackground() const { return theme_ == 1 ? cream : ui::Color::black(); }

ui::Rect RacePanels::stopBtnFrame(bool shown) const
{
    return {0.375 * width_, shown ? -1 : -0.06 * height_, 0.25 * width_, 0.05 * height_};
}

std::shared_ptr<ui::ViewController> RacePanels::viewControllerBeforeViewController(ui::PageViewController&,
                                                                                  ui::ViewController& page)
{
    const long index = static_cast<RacePageViewController&>(page).index();
    if (index <= 0)
        return nullptr;
    return pages_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<ui::ViewController> RacePanels::viewControllerAfterViewController(ui::PageViewController&,
                                                                                 ui::ViewController& page)
{
    const long index = static_cast<RacePageViewController&>(page).index();
    if (index + 1 >= static_cast<long>(pages_.size()))
        return nullptr;
    return pages_[static_cast<std::size_t>(index + 1)];
}
