#include "performance/RaceSettViewController.h"

#include <memory>
#include <optional>

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "shell/DetailViewCon.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/TutViewCon.h"
#include "shell/editors/GearboxSettViewCon.h"

namespace {

constexpr int rpmSwitch = 0;
constexpr int shiftSwitch = 1;

void showAlert(const std::string& title, const std::string& messageKey)
{
    QueuedAlertController::showMessage(fnd::L(title), fnd::L(messageKey));
}

}  // namespace

RaceSettViewController::RaceSettViewController() : FormViewCon(fnd::L("Race track settings")) {}

std::string RaceSettViewController::shiftLightColorName(int color)
{
    if (color == 0)
        return "Yellow";
    if (color == 1)
        return "Orange";
    return "Green";
}

void RaceSettViewController::viewDidLoad()
{
    FormViewCon::viewDidLoad();
    auto info = std::make_shared<ui::Button>(ui::ButtonType::InfoLight);
    info->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) { showInfo(); });
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(info));
}

void RaceSettViewController::showInfo()
{
    presentViewController(std::make_shared<TutViewCon>(std::vector<std::string>{"race1.png", "race2.png", "race3.png", ""}),
                          true);
}

void RaceSettViewController::switchChanged(int tag, bool on)
{
    Settings& settings = Manager::sharedManager().setting();
    if (tag == rpmSwitch) {
        QueuedAlertController::showMessage(fnd::L("Attention"),
                                           fnd::format(fnd::L("App restart msg").c_str(), fnd::L(on ? "on" : "off")));
        settings.rpmEnabled = on;
        if (!on)
            settings.shiftAssistEnabled = false;
    } else if (tag == shiftSwitch) {
        if (on && !settings.rpmEnabled)
            showAlert("Error", "rpm msg");
        settings.shiftAssistEnabled = on && settings.rpmEnabled;
    }
}

void RaceSettViewController::pickOne(int segment) { Manager::sharedManager().setting().hpMode = segment; }

void RaceSettViewController::formDidChange()
{
    Manager::sharedManager().saveChanges();
}

std::vector<FormSection> RaceSettViewController::formSections()
{
    Settings& settings = Manager::sharedManager().setting();
    UserData& vehicle = Manager::sharedManager().userData();
    FormSection section;
    section.rows.push_back(FormRow::field(fnd::L("Model"), vehicle.model, ui::KeyboardType::Default,
                                          [](const std::string& text) {
                                              Manager::sharedManager().userData().model = text;
                                              return std::string();
                                          }));
    section.rows.push_back(FormRow::field(fnd::L("Year"), fnd::format("%d", vehicle.year), ui::KeyboardType::NumberPad,
                                          [](const std::string& text) {
                                              // Empty gives 0 (no year); text that is no year is refused.
                                              const auto year = input::trimmed(text).empty()
                                                                    ? std::optional<int>(0)
                                                                    : input::integer(text, 0, 9999);
                                              if (!year)
                                                  return std::string("Invalid input msg");
                                              Manager::sharedManager().userData().year = *year;
                                              return std::string();
                                          }));
    section.rows.push_back(
        FormRow::toggle(fnd::L("RPM tracking"), settings.rpmEnabled, [this](bool on) { switchChanged(rpmSwitch, on); }));
    section.rows.push_back(FormRow::disclosure(fnd::L("Transmission setting"), "", [this] {
        if (auto* navigation = navigationController())
            navigation->pushViewController(std::make_shared<GearboxSettViewCon>(), true);
    }));
    section.rows.push_back(FormRow::choice(fnd::L("Horsepower calculation method"), {"MAF", fnd::L("Torque")},
                                           settings.hpMode, [this](int segment) { pickOne(segment); }));
    section.rows.push_back(FormRow::toggle(fnd::L("Shift assist"), settings.shiftAssistEnabled,
                                           [this](bool on) { switchChanged(shiftSwitch, on); }));
    section.rows.push_back(
        FormRow::disclosure(fnd::L("Shift light color"), fnd::L(shiftLightColorName(settings.shiftLightColor)), [this] {
            const std::vector<std::string> colors{fnd::L("Yellow"), fnd::L("Orange"), fnd::L("Green")};
            auto picker = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped,
                                                          Manager::sharedManager().setting().shiftLightColor, colors,
                                                          DetailViewCon::SelectShiftLightColor,
                                                          fnd::L("Shift light color"));
            if (auto* navigation = navigationController())
                navigation->pushViewController(picker, true);
        }));
    return {section};
}
