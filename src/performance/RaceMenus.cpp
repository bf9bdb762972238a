#include "performance/RaceMenus.h"

#include <algorithm>

#include "performance/RacePanels.h"
#include "performance/RaceScreenShape.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "shell/QueuedAlertController.h"

namespace {

constexpr double barHeight = 44;
constexpr double barParkedY = -46;
constexpr double barShownFor = 1.8;

}  // namespace

RaceMenus::RaceMenus(ui::View& host, RacePanels& panels, std::shared_ptr<ui::BarButtonItem> menuButton,
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
}

RaceMenus::~RaceMenus() { hideBarCall_.cancel(); }

void RaceMenus::dropBar()
{
    if (barShown_)
        return;
    barShown_ = true;
    const bool pad = ui::Device::current().isPad();
    ui::animate(0.3, ui::AnimationCurve::EaseInOut, [this, pad] {
        const double w = host_.bounds().size.width;
        if (pad) {
            panelsPushed_ = true;
            bar_->setFrame({0, 10, w, barHeight});
        } else if (raceScreenUpright()) {
            panelsPushed_ = true;
            bar_->setFrame({0, raceScreenTopInset(), w, barHeight});
            panels_.shiftPanels(barHeight);
        } else {
            panelsPushed_ = false;
            bar_->setFrame({0, 0, w, barHeight});
        }
    });
    hideBarCall_ = fnd::after(barShownFor, [this] { hideBar(); });
}

void RaceMenus::hideBar()
{
    const bool movePanels = raceScreenUpright() && panelsPushed_ && !ui::Device::current().isPad() && barShown_;
    ui::animate(0.3, ui::AnimationCurve::EaseInOut, [this, movePanels] {
        bar_->setFrame({0, barParkedY, host_.bounds().size.width, barHeight});
        if (movePanels)
            panels_.shiftPanels(-barHeight);
    });
    panelsPushed_ = false;
    barShown_ = false;
}

void RaceMenus::bringBarToFront() { host_.bringSubviewToFront(bar_.get()); }

void RaceMenus::showOptions()
{
    auto sheet = QueuedAlertController::alertControllerWithTitle(fnd::L("Race track"), fnd::L("Choose an option"),
                                                                 ui::AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(ui::Color::rgb255(205, 40, 70));
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

// Explained in an alert: the mode controls it names are where a toast would lie.
void RaceMenus::explainFirstRace() { QueuedAlertController::showMessage("Racetrack", "Race msg2"); }
