#include "shell/SettingsViewController.h"

#include <algorithm>

#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/NavigationController.h"
#include "shell/DetailViewCon.h"
#include "shell/TextFieldViewCon.h"
#include "shell/editors/PidViewController.h"
#include "shell/editors/SensorDetViewCon.h"

namespace {

constexpr std::size_t vehicleSpeedIndex = 9;

std::vector<std::string> localized(std::initializer_list<const char*> keys)
{
    std::vector<std::string> texts;
    for (const char* key : keys)
        texts.push_back(fnd::L(key));
    return texts;
}

// The text of `index` in `names`, or empty when it is out of range (a value from an old archive).
std::string nameAt(const std::vector<std::string>& names, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < names.size() ? names[static_cast<std::size_t>(index)]
                                                                        : std::string();
}

// 0 every sensor metric, 1 every sensor imperial, -1 mixed (set one by one in the sensor editor).
int unitSystem()
{
    const auto& units = Manager::sharedManager().userData().unitsArr;
    if (std::all_of(units.begin(), units.end(), [](int u) { return u != 0; }))
        return 0;
    if (std::all_of(units.begin(), units.end(), [](int u) { return u == 0; }))
        return 1;
    return -1;
}

FormRow disclosure(const char* title, std::string value, std::function<void()> action)
{
    return FormRow::disclosure(fnd::L(title), std::move(value), std::move(action));
}

FormRow toggle(const char* title, bool& setting)
{
    return FormRow::toggle(fnd::L(title), setting, [&setting](bool on) { setting = on; });
}

}  // namespace

SettingsViewController::SettingsViewController(std::vector<NamedScreen> featureSettings)
    : FormViewCon(fnd::L("Settings"))
    , featureSettings_(std::move(featureSettings))
    , theme_(Manager::sharedManager().setting().theme)
{
}

const std::vector<std::string>& SettingsViewController::adapterTypeNames()
{
    static const std::vector<std::string> names = {"ELM327 Wi-Fi", "Kiwi 3/4 PLX", "Bluetooth LE", "OBDLink MX",
                                                   "Vgate vLinker"};
    return names;
}

void SettingsViewController::viewWillAppear(bool animated)
{
    const int theme = Manager::sharedManager().setting().theme;
    if (theme != theme_) {
        theme_ = theme;
        fnd::NotificationCenter::defaultCenter().post(iconChangedNotification, this);
    }
    FormViewCon::viewWillAppear(animated);
}

void SettingsViewController::formDidChange()
{
    Manager::sharedManager().saveChanges();
}

std::vector<FormSection> SettingsViewController::formSections()
{
    std::vector<FormSection> sections = {adapterSection(), warningSection(), displaySection(), sensorSection()};
    if (!featureSettings_.empty()) {
        FormSection more{fnd::L("More settings"), {}, {}};
        for (const NamedScreen& screen : featureSettings_) {
            more.rows.push_back(disclosure(screen.title.c_str(), {}, [this, make = screen.make] {
                if (auto made = make ? make() : nullptr)
                    push(std::move(made));
            }));
        }
        sections.push_back(std::move(more));
    }
    return sections;
}

FormSection SettingsViewController::adapterSection()
{
    Settings& settings = Manager::sharedManager().setting();
    const auto& protocols = DataStore::sharedDataStore().protocolArr;
    const auto connectionModes = localized({"Automatic", "Manual"});
    FormSection section{fnd::L("Adapter"), {}, {}};
    section.rows.push_back(disclosure("Adapter type", nameAt(adapterTypeNames(), settings.deviceMode), [this] {
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, Manager::sharedManager().setting().deviceMode,
                                             adapterTypeNames(), DetailViewCon::SelectAdapterType,
                                             fnd::L("Adapter type")));
    }));
    section.rows.push_back(disclosure("Adapter address", settings.hostIP, [this] {
        push(std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped, fnd::L("Adapter address"),
                                                Manager::sharedManager().setting().hostIP,
                                                TextFieldViewCon::EditAdapterAddress));
    }));
    section.rows.push_back(disclosure("Adapter port", fnd::format("%u", settings.port), [this] {
        push(std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped, fnd::L("Adapter port"),
                                                fnd::format("%u", Manager::sharedManager().setting().port),
                                                TextFieldViewCon::EditAdapterPort));
    }));
    section.rows.push_back(disclosure("Protocol", fnd::L(nameAt(protocols, settings.protocol)), [this] {
        std::vector<std::string> names;
        for (const auto& name : DataStore::sharedDataStore().protocolArr)
            names.push_back(fnd::L(name));
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, Manager::sharedManager().setting().protocol,
                                             names, DetailViewCon::SelectProtocol, fnd::L("Protocol")));
    }));
    section.rows.push_back(disclosure("Connection mode", nameAt(connectionModes, settings.connectionMode),
                                      [this, connectionModes] {
                                          push(std::make_shared<DetailViewCon>(
                                              ui::TableViewStyle::Grouped, Manager::sharedManager().setting().connectionMode,
                                              connectionModes, DetailViewCon::SelectConnectionMode,
                                              fnd::L("Connection mode")));
                                      }));
    section.rows.push_back(toggle("Fast polling", settings.fastPollingEnabled));
    section.rows.push_back(toggle("CAN multi-message", settings.multiMessageCANEnabled));
    return section;
}

FormSection SettingsViewController::warningSection()
{
    Settings& settings = Manager::sharedManager().setting();
    const auto& units = Manager::sharedManager().userData().unitsArr;
    const bool kilometres = vehicleSpeedIndex >= units.size() || units[vehicleSpeedIndex] != 0;
    const int limit = kilometres ? settings.speedLimit2 : settings.speedLimit;
    const std::string speedUnit = fnd::L(kilometres ? "km/h" : "mph");

    FormSection section{fnd::L("Warnings"), {}, {}};
    section.rows.push_back(toggle("Speed limit warning", settings.speedLimitEnabled));
    FormRow limitRow = disclosure("Speed limit", fnd::format("%d %s", limit, speedUnit), [this, limit, speedUnit] {
        push(std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped,
                                                fnd::format("%s (%s)", fnd::L("Speed limit"), speedUnit),
                                                fnd::format("%d", limit), TextFieldViewCon::EditSpeedLimit));
    });
    limitRow.enabled = settings.speedLimitEnabled;
    section.rows.push_back(std::move(limitRow));
    section.rows.push_back(toggle("Temperature warning", settings.highTempEnabled));
    return section;
}

FormSection SettingsViewController::displaySection()
{
    const Settings& settings = Manager::sharedManager().setting();
    const auto themes = localized({"Dark", "Light"});
    const auto unitNames = localized({"Metric", "Imperial"});
    const int units = unitSystem();

    FormSection section{fnd::L("Display"), {}, {}};
    section.rows.push_back(disclosure("Theme", nameAt(themes, settings.theme), [this, themes] {
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, Manager::sharedManager().setting().theme,
                                             themes, DetailViewCon::SelectTheme, fnd::L("Theme")));
    }));
    section.rows.push_back(disclosure("Units", units < 0 ? fnd::L("Mixed") : nameAt(unitNames, units), [this, unitNames] {
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, unitSystem(), unitNames,
                                             DetailViewCon::SelectUnits, fnd::L("Units")));
    }));
    return section;
}

FormSection SettingsViewController::sensorSection()
{
    const auto& pids = Manager::sharedManager().userData().pids;
    FormSection section{fnd::L("Sensors"), {}, {}};
    section.rows.push_back(disclosure("Sensor details", {}, [this] { openSensorPicker(); }));
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const Pid& pid = pids[i];
        section.rows.push_back(FormRow::disclosure(pid.lName.empty() ? pid.sName : pid.lName,
                                                   fnd::format("%02X %02X", pid.mode, pid.pid), [this, i] {
                                                       push(std::make_shared<PidViewController>(static_cast<int>(i)));
                                                   }));
    }
    section.rows.push_back(
        FormRow::button(fnd::L("Add custom PID"), [this] { push(std::make_shared<PidViewController>()); }));
    return section;
}

void SettingsViewController::openSensorPicker()
{
    auto picker = std::make_shared<SensorSelectViewController>(ui::TableViewStyle::Grouped, -1,
                                                               SensorSelectViewController::singleChoice, true, false);
    // The editor opens over the list, so Back returns to the list.
    picker->setChoiceHandler([weak = weak_from_this()](int sensor) {
        if (const auto self = std::static_pointer_cast<SettingsViewController>(weak.lock()))
            self->openSensorEditor(sensor);
    });
    push(picker);
}

void SettingsViewController::openSensorEditor(int index)
{
    const UserData& data = Manager::sharedManager().userData();
    if (index >= firstCustomSensorIndex) {
        const auto n = static_cast<std::size_t>(index - firstCustomSensorIndex);
        if (n >= data.pids.size())
            return;
        const Pid& pid = data.pids[n];
        push(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, pid.lName, pid.sName, pid.min, pid.max,
                                                index, true));
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    const bool metric = data.unitsArr[i] != 0;
    push(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, data.longNameArr[i], data.shortNameArr[i],
                                            metric ? data.minArr[i] : data.minImpArr[i],
                                            metric ? data.maxArr[i] : data.maxImpArr[i], index, false));
}

void SettingsViewController::push(std::shared_ptr<ui::ViewController> screen)
{
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}
