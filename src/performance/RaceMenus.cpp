#include "performance/RaceMenus.h"

#include <algorithm>

#include "performance/FittingFont.h"
#include "performance/RacePanels.h"
#include "performance/RaceScreenShape.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Toast.h"
#include "shell/QueuedAlertController.h"

namespace {

constexpr double barHeight = 44;
constexpr double barParkedY = -46;
constexpr double padBarY = 10;
constexpr double barShownFor = 1.8;
constexpr double firstRaceNoteShownFor = 12.0;
ui::Font selectorFont()
{
    return ui::Font::named("DigitalSans NowEF ML Demo", 13);
}

std::shared_ptr<ui::SegmentedControl> makeSelector(std::vector<std::string> titles, int selected, ui::Color tint,
                                                   int theme)
{
    auto control = std::make_shared<ui::SegmentedControl>(std::move(titles));
    control->setSelectedSegmentIndex(selected);
    control->setTitleFont(selectorFont());
    control->setTintColor(ui::Color::lightGray());
    control->setSelectedSegmentTintColor(tint);
    if (theme == 1)
        control->setBackgroundColor(ui::Color::white(0.9));
    return control;
}

}  // namespace

RaceMenus::RaceMenus(ui::View& host, RacePanels& panels, int theme, std::shared_ptr<ui::BarButtonItem> menuButton,
                     Actions actions)
    : host_(host), panels_(panels), actions_(std::move(actions))
{
    const ui::Size screen = ui::Device::current().screenSize();
    bar_ = std::make_shared<ui::NavigationBar>();
    bar_->setFrame({0, barParkedY, std::min(screen.width, screen.height), barHeight});
    bar_->setTintColor(ui::Color::rgb255(51, 181, 225));
    barItem_.setLeftBarButtonItem(std::move(menuButton));
    barItem_.setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::SystemItem::Action, [this](ui::BarButtonItem&) { showOptions(); }));
    auto title = std::make_shared<ui::Label>();
    title->setText(fnd::L("Racetrack"));
    title->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 17));
    title->setTextColor(ui::Color::white());
    title->sizeToFit();
    barItem_.setTitleView(title);
    bar_->showItem(&barItem_, std::nullopt);
    host_.addSubview(bar_);

    raceModeSegCon_ = makeSelector({"Drag", "Track"}, 1, ui::Color::rgb(0.24, 180.0 / 255, 114.0 / 255), theme);
    raceModeSegCon_->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control&) {
        actions_.modeChosen(raceModeSegCon_->selectedSegmentIndex());
    });
    panels_.infoPanel().addSubview(raceModeSegCon_);
    readySegCon_ = makeSelector({"Not ready", "Ready"}, 0, ui::Color::rgb255(205, 40, 70), theme);
    readySegCon_->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control&) {
        actions_.readyChosen(readySegCon_->selectedSegmentIndex());
    });
    panels_.infoPanel().addSubview(readySegCon_);
}

RaceMenus::~RaceMenus() { hideBarCall_.cancel(); }

void RaceMenus::showSelectors(bool shown)
{
    raceModeSegCon_->setHidden(!shown);
    readySegCon_->setHidden(!shown);
}

void RaceMenus::showNotReady() { readySegCon_->setSelectedSegmentIndex(0); }

void RaceMenus::layOutSelectors()
{
    const ui::Size panel = panels_.infoPanel().bounds().size;
    raceModeSegCon_->setFrame({20, 5, panel.width * 0.4, 30});
    readySegCon_->setFrame({panel.width / 2 + 10, 5, panel.width * 0.4, 30});
    // Every title fits its half of the control, which keeps some 5 points clear at either side.
    const ui::Font start = selectorFont();
    for (ui::SegmentedControl* selector : {raceModeSegCon_.get(), readySegCon_.get()}) {
        ui::Font font = start;
        for (int i = 0; i < selector->numberOfSegments(); ++i)
            font = fittingFont(selector->titleForSegment(i), font, panel.width * 0.2 - 10);
        selector->setTitleFont(font);
    }
}

void RaceMenus::dropBar()
{
    if (barShown_)
        return;
    barShown_ = true;
    const bool pad = ui::Device::current().isPad();
    const bool upright = raceScreenUpright();
    // Upright on a phone the bar would lie over the page area, so the panels make room for it; on a pad it
    // comes in at 10 points and on a phone on its side at the top edge, over the timer panel, and nothing
    // else moves. The controls under it are theirs again when it goes.
    barOverPanels_ = pad || upright;
    panelsPushed_ = !pad && upright;
    const double barY = pad ? padBarY : upright ? raceScreenTopInset() : 0;
    ui::animate(0.3, ui::AnimationCurve::EaseInOut, [this, barY] {
        bar_->setFrame({0, barY, host_.bounds().size.width, barHeight});
        if (panelsPushed_)
            panels_.shiftPanels(barHeight);
    });
    hideBarCall_ = fnd::after(barShownFor, [this] { hideBar(); });
}

void RaceMenus::hideBar()
{
    // Turned on its side meanwhile, the screen lays the panels out afresh.
    const bool movePanels = barShown_ && panelsPushed_ && raceScreenUpright();
    ui::animate(0.3, ui::AnimationCurve::EaseInOut, [this, movePanels] {
        bar_->setFrame({0, barParkedY, host_.bounds().size.width, barHeight});
        if (movePanels)
            panels_.shiftPanels(-barHeight);
    });
    barOverPanels_ = false;
    panelsPushed_ = false;
    // The screen skipped its layouts while the bar was in (it may have been turned meanwhile): one is due now.
    if (barShown_)
        host_.setNeedsLayout();
    barShown_ = false;
}

void RaceMenus::bringBarToFront() { host_.bringSubviewToFront(bar_.get()); }

void RaceMenus::showOptions()
{
    auto sheet = QueuedAlertController::alertControllerWithTitle(fnd::L("Race track"), fnd::L("Choose an option"),
                                                                 ui::AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(ui::Color::rgb255(205, 40, 70));
    sheet->setContentBackground(ui::Color::black(), 15);
    sheet->addAction(fnd::L("Reset data"), ui::AlertActionStyle::Default, actions_.resetData);
    sheet->addAction(fnd::L("Track selection"), ui::AlertActionStyle::Default, actions_.trackSelection);
    sheet->addAction(fnd::L("Cancel"), ui::AlertActionStyle::Default);
    sheet->show();
}

void RaceMenus::showError(const std::string& key)
{
    const auto alert = QueuedAlertController::alertControllerWithTitle(fnd::L("Error"), fnd::L(key));
    alert->addAction(fnd::L("Ok"));
    alert->show();
}

void RaceMenus::explainFirstRace()
{
    // The toast lets taps through, so the mode and ready controls under it work while it shows.
    ui::makeToast(host_, fnd::L("Race msg2"), firstRaceNoteShownFor, ui::ToastPosition::Center,
                  {.messageColor = ui::Color::rgb(0.2, 0.70980392, 0.88235294),
                   .messageFont = ui::Font::named("DigitalSans NowEF ML Demo", 15)});
}
