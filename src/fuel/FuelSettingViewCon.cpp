#include "fuel/FuelSettingViewCon.h"

#include <cmath>
#include <memory>

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "shell/DetailViewCon.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"

namespace {

std::vector<std::string> localized(const std::vector<std::string>& keys)
{
    std::vector<std::string> texts;
    for (const auto& key : keys)
        texts.push_back(fnd::L(key));
    return texts;
}

std::string nameAt(const std::vector<std::string>& names, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= names.size())
        return {};
    return fnd::L(names[static_cast<std::size_t>(index)]);
}

}  // namespace

FuelSettingViewCon::FuelSettingViewCon() : FormViewCon(fnd::L("Fuel economy settings")) {}

const std::vector<std::string>& FuelSettingViewCon::unitNames()
{
    static const std::vector<std::string> names{"Miles per gallon", "Kilometers per litre", "Litres per 100 km",
                                                "Miles per imperial gallon"};
    return names;
}

const std::vector<std::string>& FuelSettingViewCon::fuelNames()
{
    static const std::vector<std::string> names{"Gasoline", "Diesel",   "Liquid natural gas", "Compressed natural gas",
                                                "Propane",  "Methanol", "Ethanol"};
    return names;
}

const std::vector<std::string>& FuelSettingViewCon::methodNames()
{
    static const std::vector<std::string> names{"Mass airflow method", "RPM+MAP method", "Fuel rate method"};
    return names;
}

std::string FuelSettingViewCon::fuelCostUnit(int fuelUnitsMode)
{
    return fuelUnitsMode == 1 || fuelUnitsMode == 2 ? "$/litre" : "$/gallon";
}

void FuelSettingViewCon::viewDidLoad()
{
    FormViewCon::viewDidLoad();
    auto info = std::make_shared<ui::Button>(ui::ButtonType::InfoLight);
    info->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) { showInfo(); });
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(info));
}

void FuelSettingViewCon::showInfo() { QueuedAlertController::showMessage("Info", "Fuel msg"); }

void FuelSettingViewCon::pick(int row, const std::vector<std::string>& names, int selectMode, const std::string& label)
{
    auto picker = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, row, localized(names), selectMode,
                                                  fnd::L(label));
    if (auto* navigation = navigationController())
        navigation->pushViewController(picker, true);
}

void FuelSettingViewCon::formDidChange()
{
    Manager::sharedManager().saveChanges();
}

std::vector<FormSection> FuelSettingViewCon::formSections()
{
    Settings& settings = Manager::sharedManager().setting();
    FormSection section;
    section.rows.push_back(FormRow::disclosure(fnd::L("Fuel economy units"), nameAt(unitNames(), settings.fuelUnitsMode),
                                               [this] {
                                                   pick(Manager::sharedManager().setting().fuelUnitsMode, unitNames(),
                                                        DetailViewCon::SelectFuelUnits, "Unit mode");
                                               }));
    section.rows.push_back(FormRow::disclosure(fnd::L("Fuel type"), nameAt(fuelNames(), settings.fuelType), [this] {
        pick(Manager::sharedManager().setting().fuelType, fuelNames(), DetailViewCon::SelectFuelType, "Fuel type");
    }));
    section.rows.push_back(FormRow::disclosure(fnd::L("Calculation method"),
                                               nameAt(methodNames(), settings.fuelCalcMethod), [this] {
                                                   pick(Manager::sharedManager().setting().fuelCalcMethod,
                                                        methodNames(), DetailViewCon::SelectCalcMethod,
                                                        "Calculation method");
                                               }));
    // A price that cannot be read is refused: taking it as 0 would lose the price the user had.
    section.rows.push_back(FormRow::field(fnd::L("Fuel cost"), fnd::format("%.2f", settings.fuelCost),
                                          ui::KeyboardType::DecimalPad, [](const std::string& text) {
                                              const auto price = input::number(text);
                                              if (!price || !std::isfinite(*price) || *price < 0)
                                                  return std::string("Invalid input msg");
                                              Manager::sharedManager().setting().fuelCost = static_cast<float>(*price);
                                              return std::string();
                                          }));
    section.footer = fnd::L("Fuel cost") + ": " + fuelCostUnit(settings.fuelUnitsMode);
    if (settings.fuelCalcMethod == 1) {
        section.rows.push_back(FormRow::field(fnd::L("Engine size"), fnd::format("%.1f", settings.engineDisplacement),
                                              ui::KeyboardType::DecimalPad, [](const std::string& text) {
                                                  const auto litres = input::number(text);
                                                  if (!litres || !std::isfinite(*litres) || !(*litres > 0))
                                                      return std::string("Invalid input msg");
                                                  Manager::sharedManager().setting().engineDisplacement =
                                                      static_cast<float>(*litres);
                                                  return std::string();
                                              }));
        section.footer += "\n" + fnd::L("Engine size") + ": " + fnd::L("litres");
    }
    return {section};
}
