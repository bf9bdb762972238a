#include <algorithm>

#include "core/model/Manager.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/FittingFont.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/RaceViewController.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
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

std::shared_ptr<ui::SegmentedControl> makeSelector(std::vector<std::string> titles, int selected, ui::Color tint,
                                                   int theme)
{
    auto control = std::make_shared<ui::SegmentedControl>(std::move(titles));
    control->setSelectedSegmentIndex(selected);
    control->setTitleFont(ui::Font::named("DigitalSans NowEF ML Demo", 13));
    control->setTintColor(ui::Color::lightGray());
    control->setSelectedSegmentTintColor(tint);
    if (theme == 1)
        control->setBackgroundColor(ui::Color::white(0.9));
    return control;
}

}  // namespace

void RaceViewController::viewDidLoad()
{
    const Settings& settings = Manager::sharedManager().setting();
    theme_ = settings.theme;
    const ui::Size screen = ui::Device::current().screenSize();
    width_ = std::min(screen.width, screen.height);
    height_ = std::max(screen.width, screen.height);
    line_ = height_ > 568 ? 2.0 : 1.0;
    shiftAssist_ = settings.shiftAssistEnabled;
    view()->setBackgroundColor(theme_ != 0 ? ui::Color::black() : ui::Color::white(0.1));
    loadData();
    auto left = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { closeMenu(); });
    left->setDirection(ui::SwipeDirection::Left);
    view()->addGestureRecognizer(left);
    auto right = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { openMenu(); });
    right->setDirection(ui::SwipeDirection::Right);
    view()->addGestureRecognizer(right);
}

void RaceViewController::loadData()
{
    releaseViews();
    rpmEnabled_ = Manager::sharedManager().setting().rpmEnabled;
    topPageViewController_ = std::make_shared<UIPageViewCon>(ui::PageViewControllerTransitionStyle::Scroll,
                                                             ui::PageViewControllerNavigationOrientation::Horizontal);
    topPageViewController_->setDataSource(this);
    topPageViewController_->setDelegate(this);
    topPageViewController_->view()->setBackgroundColor(ui::Color::black());

    infView_ = makePanel(*view(), ui::Color::black());
    infView_->setFrame({line_, height_ * 0.5 + line_, width_ - 2 * line_, height_ * 0.15 + 25});
    giveContainerBorder(*infView_);
    topView_ = std::make_shared<ui::View>(ui::Rect{line_, 0, width_ - 2 * line_, height_ * 0.5 - 22});

    auto edge = std::make_shared<ui::ScreenEdgePanGestureRecognizer>([this](ui::GestureRecognizer& recognizer) {
        auto& pan = static_cast<ui::PanGestureRecognizer&>(recognizer);
        if (pan.velocityInView(view().get()).x > 0 && !menuOpen_)
            openMenu();
    });
    edge->setEdges(ui::RectEdge::Left);
    view()->addGestureRecognizer(edge);

    buildPages();
    buildPanels();
    if (theme_ == 1)
        applyLightTheme();
    buildNavigationBar();
    view()->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { slideMenuBar(); }));
    pageIndex_ = 0;
}

void RaceViewController::releaseViews()
{
    if (topPageViewController_) {
        topPageViewController_->setDataSource(nullptr);
        topPageViewController_->setDelegate(nullptr);
        topPageViewController_->willMoveToParentViewController(nullptr);
        topPageViewController_->view()->removeFromSuperview();
        topPageViewController_->removeFromParentViewController();
    }
    for (const auto& v : {infView_, statView_, gapView_})
        if (v)
            v->removeFromSuperview();
    if (topNavBar_)
        topNavBar_->removeFromSuperview();
    viewControllers_.clear();
}

void RaceViewController::buildPages()
{
    const ui::Rect page = topView_->bounds();
    std::vector<std::shared_ptr<ui::View>> pages;
    if (rpmEnabled_) {
        rGView_ = std::make_shared<RaceGaugeView>(page, theme_);
        rGView_->startTimer();
        gView_.reset();
        pages.push_back(rGView_);
    } else {
        gView_ = std::make_shared<GaugeView2>(9, GaugeView2::digitalStyle, theme_);
        gView_->setFrame(page);
        gView_->setVisMode(GaugeView2::analogStyle);
        gView_->setUserInteractionEnabled(false);
        gView_->setupLayer();
        rGView_.reset();
        pages.push_back(gView_);
    }
    gFView_ = std::make_shared<GforceView>(page, theme_, false);
    gFView_->setBackgroundColor(ui::Color::black());
    pages.push_back(gFView_);
    trackView_ = std::make_shared<TrackView>(page, theme_);
    pages.push_back(trackView_);
    if (shiftAssist_) {
        sView_ = std::make_shared<ShiftView>(page, theme_);
        pages.push_back(sView_);
    } else {
        sView_.reset();
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        viewControllers_.push_back(std::make_shared<RacePageViewController>(pages[i], static_cast<long>(i)));
    topPageViewController_->setViewControllers({viewControllers_.front()}, ui::PageViewControllerNavigationDirection::Forward,
                                               false);
    addChildViewController(topPageViewController_);
    view()->addSubview(topPageViewController_->view());
    topPageViewController_->didMoveToParentViewController(this);
    giveContainerBorder(*topPageViewController_->view());
    topPageViewController_->pageControl().setPageIndicatorTintColor(ui::Color::lightGray());
    topPageViewController_->pageControl().setCurrentPageIndicatorTintColor(ui::Color::rgb255(205, 50, 80));
}

void RaceViewController::buildPanels()
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
    stopBtn_->addTarget(ui::ControlEvent::TouchDown, [this](ui::Control&) { stopRecording(); });
    infView_->addSubview(stopBtn_);
    resultsBtn_ = std::make_shared<ui::Button>();
    resultsBtn_->setTitle("Results");
    resultsBtn_->setTitleFont(fittingFont("Results", ui::Font::named("Digital-Serial", width_ * 0.065), titleWidth));
    resultsBtn_->setBackgroundColor(ui::Color::rgb255(13, 105, 190, 0.7));
    resultsBtn_->setCornerRadius(2);
    resultsBtn_->setFrame(stopBtnFrame(false));
    resultsBtn_->addTarget(ui::ControlEvent::TouchDown, [this](ui::Control&) { showResults(); });
    infView_->addSubview(resultsBtn_);

    statView_ = makePanel(*view(), ui::Color::black());
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
    tempValLabel_ = makeLabel(*tempView_, "0", "Digital-Serial", height_ * 0.06, grey, ui::TextAlignment::Right);
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

void RaceViewController::applyLightTheme()
{
    for (ui::View* v : {static_cast<ui::View*>(gFView_.get()), infView_.get(), tempView_.get(), gapView_.get(), gearView_.get(),
                          hpView_.get(), bestView_.get(), prevView_.get()})
        v->setBackgroundColor(cream);
    for (const auto& label : {trackLabel_, lapLabel_, timerLabel_, miliSecLabel_, tempLabel_, tempValLabel_,
                              tempUnitLabel_, gapLabel_, msgLabel_, gearLabel_, gearValLabel_, hpLabel_, hpValLabel_,
                              bestLapValLabel_, lastLapValLabel_})
        label->setTextColor(ui::Color::black());
    lapValLabel_->setTextColor(ui::Color::lightGray());
    lapValLabel_->setBackgroundColor(ui::Color::black());
    gearEndLabel_->setTextColor(ui::Color::white(0.1));
}

ui::Color RaceViewController::panelBackground() const { return theme_ == 1 ? cream : ui::Color::black(); }

void RaceViewController::buildNavigationBar()
{
    topNavBar_ = std::make_shared<ui::NavigationBar>();
    topNavBar_->setFrame({0, -46, width_, 44});
    topNavBar_->setTintColor(ui::Color::rgb255(51, 181, 225));
    barItem_.setLeftBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::Image::named("menu"), ui::BarButtonItemStyle::Plain, [this](ui::BarButtonItem&) {
            toggleViewVisibility();
        }));
    barItem_.setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::SystemItem::Action, [this](ui::BarButtonItem&) { displayOptions(); }));
    auto title = std::make_shared<ui::Label>();
    title->setText(fnd::L("Racetrack"));
    title->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 17));
    title->setTextColor(ui::Color::white());
    title->sizeToFit();
    barItem_.setTitleView(title);
    topNavBar_->showItem(&barItem_, std::nullopt);
    view()->addSubview(topNavBar_);

    raceModeSegCon_ = makeSelector({"Drag", "Track"}, 1, lapGreen, theme_);
    raceModeSegCon_->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control&) {
        toggleDragTrack(raceModeSegCon_->selectedSegmentIndex());
    });
    infView_->addSubview(raceModeSegCon_);
    readySegCon_ = makeSelector({"Not ready", "Ready"}, 0, ui::Color::rgb255(205, 40, 70), theme_);
    readySegCon_->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control&) {
        toggleRacing(readySegCon_->selectedSegmentIndex());
    });
    infView_->addSubview(readySegCon_);
}

std::shared_ptr<ui::ViewController> RaceViewController::viewControllerBeforeViewController(ui::PageViewController&,
                                                                                          ui::ViewController& page)
{
    const long index = static_cast<RacePageViewController&>(page).index();
    if (index <= 0)
        return nullptr;
    return viewControllers_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<ui::ViewController> RaceViewController::viewControllerAfterViewController(ui::PageViewController&,
                                                                                         ui::ViewController& page)
{
    const long index = static_cast<RacePageViewController&>(page).index();
    if (index + 1 >= static_cast<long>(viewControllers_.size()))
        return nullptr;
    return viewControllers_[static_cast<std::size_t>(index + 1)];
}

void RaceViewController::didFinishAnimating(ui::PageViewController& pages, bool,
                                            const std::vector<std::shared_ptr<ui::ViewController>>&, bool)
{
    const auto shown = pages.viewControllers();
    if (shown.empty())
        return;
    turnedToPage(static_cast<int>(static_cast<RacePageViewController&>(*shown.front()).index()));
}

void RaceViewController::turnedToPage(int index)
{
    pageIndex_ = index;
    switch (index) {
    case 0:
        gFView_->stopTimer();
        if (rGView_)
            rGView_->startTimer();
        break;
    case 1:
        if (rGView_)
            rGView_->stopTimer();
        if (gView_)
            gView_->stopTimer();
        trackView_->stopTimer();
        gFView_->startTimer();
        gFView_->adjustView();
        break;
    case 2:
        gFView_->stopTimer();
        if (sView_)
            sView_->stopTimer();
        gearLabel_->setText(fnd::L("Gear"));
        gearValLabel_->setFont(ui::Font::named("Digital Sans EF", height_ * 0.12));
        gearValLabel_->setText("N");
        break;
    case 3:
        trackView_->stopTimer();
        gearLabel_->setText(fnd::L("Speed"));
        gearValLabel_->setFont(ui::Font::named("Digital Sans EF", height_ * 0.09));
        gearValLabel_->setText("");
        gearEndLabel_->setText("");
        break;
    default:
        break;
    }
}
