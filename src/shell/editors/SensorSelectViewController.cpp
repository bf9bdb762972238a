#include "shell/editors/SensorSelectViewController.h"

#include <algorithm>

#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/NavigationController.h"
#include "shell/RoundedCell.h"
#include "shell/ScreenClosing.h"
#include "shell/TableLook.h"

namespace {

constexpr int calculatedWithoutMotion = 4;  // fuel economy, boost, horsepower, battery voltage
constexpr int calculatedWithMotion = 6;     // and g-force and gear

struct SensorText {
    std::string name;
    std::string unit;
};

SensorText describe(int sensorIndex)
{
    const UserData& data = Manager::sharedManager().userData();
    if (sensorIndex >= firstCustomSensorIndex) {
        const Pid& pid = data.pids[static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex)];
        return {pid.lName.empty() ? pid.sName : pid.lName, pid.unitsMode != 0 ? pid.units : pid.units2};
    }
    const auto i = static_cast<std::size_t>(sensorIndex);
    const DataStore& store = DataStore::sharedDataStore();
    const bool metric = i >= data.unitsArr.size() || data.unitsArr[i] != 0;
    const auto& units = metric ? store.sensorMetUnitsArr : store.sensorImpUnitsArr;
    return {i < data.longNameArr.size() ? data.longNameArr[i] : std::string(),
            i < units.size() ? units[i] : std::string()};
}

}  // namespace

SensorSelectViewController::SensorSelectViewController(ui::TableViewStyle style, int row, int sensorMode,
                                                       bool gForceEnabled, bool done)
    : ui::TableViewController(style), sensorMode_(sensorMode), gForceEnabled_(gForceEnabled), done_(done)
{
    setTitle(fnd::L("Sensors"));
    if (indexPathForSensor(row))
        checked_ = row;
    if (done_) {
        navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
            ui::SystemItem::Done, [this](ui::BarButtonItem&) { closeScreen(*this); }));
    }
}

void SensorSelectViewController::viewDidLoad()
{
    ui::TableViewController::viewDidLoad();
    const TableLook look = TableLook::current();
    look.apply(tableView());
}

void SensorSelectViewController::viewWillAppear(bool animated)
{
    ui::TableViewController::viewWillAppear(animated);
    // The opener may have tinted the bar (the sensor list's is dark grey in either theme).
    if (auto* navigation = navigationController())
        navigationItem().setTitleView(TableLook::current().titleView(title(), navigation->navigationBar().barTintColor()));
    tableView().reloadData();
}

void SensorSelectViewController::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    // Covered by a screen on top of it, it has not left.
    if (presentedViewController())
        return;
    if (const auto* navigation = navigationController()) {
        const auto& stack = navigation->viewControllers();
        const bool inStack = std::any_of(stack.begin(), stack.end(), [this](const auto& vc) { return vc.get() == this; });
        if (inStack && navigation->topViewController() != this)
            return;
    }
    if (sensorMode_ != singleChoice && sensorMode_ != multipleChoice)
        return;
    if (const auto delegate = delegate_.lock())
        delegate->viewWillDismiss(*this);
}

SensorSelectViewController::Section SensorSelectViewController::sectionKind(int section) const
{
    const bool custom = !Manager::sharedManager().userData().pids.empty();
    if (custom && section == 0)
        return Section::Custom;
    return section == (custom ? 1 : 0) ? Section::Calculated : Section::Standard;
}

int SensorSelectViewController::rowCount(Section section) const
{
    switch (section) {
    case Section::Custom:
        return static_cast<int>(Manager::sharedManager().userData().pids.size());
    case Section::Calculated:
        return gForceEnabled_ ? calculatedWithMotion : calculatedWithoutMotion;
    case Section::Standard:
        return standardSensorCount;
    }
    return 0;
}

int SensorSelectViewController::sensorIndexAt(ui::IndexPath indexPath) const
{
    switch (sectionKind(indexPath.section)) {
    case Section::Custom:
        return firstCustomSensorIndex + indexPath.row;
    case Section::Calculated:
        return firstCalculatedSensorIndex + indexPath.row;
    case Section::Standard:
        break;
    }
    return indexPath.row;
}

std::optional<ui::IndexPath> SensorSelectViewController::indexPathForSensor(int sensorIndex) const
{
    const int sections = Manager::sharedManager().userData().pids.empty() ? 2 : 3;
    for (int section = 0; section < sections; ++section) {
        const ui::IndexPath first{section, 0};
        const int row = sensorIndex - sensorIndexAt(first);
        if (row >= 0 && row < rowCount(sectionKind(section)))
            return ui::IndexPath{section, row};
    }
    return std::nullopt;
}

std::optional<ui::IndexPath> SensorSelectViewController::checkedIndexPath() const
{
    return checked_ ? indexPathForSensor(*checked_) : std::nullopt;
}

bool SensorSelectViewController::isChecked(int sensorIndex) const
{
    if (sensorMode_ == multipleChoice) {
        const auto& list = Manager::sharedManager().setting().gaugeListArr;
        return std::find(list.begin(), list.end(), sensorIndex) != list.end();
    }
    return checked_ == sensorIndex;
}

int SensorSelectViewController::numberOfSectionsInTableView(ui::TableView&)
{
    return Manager::sharedManager().userData().pids.empty() ? 2 : 3;
}

int SensorSelectViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    return rowCount(sectionKind(section));
}

std::string SensorSelectViewController::titleForHeaderInSection(ui::TableView&, int section)
{
    switch (sectionKind(section)) {
    case Section::Custom:
        return fnd::L("Custom PIDs");
    case Section::Calculated:
        return fnd::L("Calculated sensors");
    case Section::Standard:
        break;
    }
    return fnd::L("Standard sensors");
}

std::shared_ptr<ui::TableViewCell> SensorSelectViewController::cellForRowAtIndexPath(ui::TableView& table,
                                                                                     ui::IndexPath indexPath)
{
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1);
    TableLook::current().apply(*cell, indexPath.row, numberOfRowsInSection(table, indexPath.section));
    const int sensor = sensorIndexAt(indexPath);
    const SensorText text = describe(sensor);
    cell->textLabel()->setText(text.name);
    cell->detailTextLabel()->setText(text.unit);
    cell->setTintColor(TableLook::accent());
    cell->setAccessoryType(isChecked(sensor) ? ui::TableViewCellAccessoryType::Checkmark
                                             : ui::TableViewCellAccessoryType::None);
    return cell;
}

void SensorSelectViewController::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    const int sensor = sensorIndexAt(indexPath);
    table.deselectRowAtIndexPath(indexPath, true);
    if (sensorMode_ == multipleChoice) {
        auto& list = Manager::sharedManager().setting().gaugeListArr;
        if (const auto found = std::find(list.begin(), list.end(), sensor); found != list.end())
            list.erase(found);
        else
            list.push_back(sensor);
        Manager::sharedManager().saveChanges();
        fnd::NotificationCenter::defaultCenter().post(gaugeModifiedNotification, this);
        table.reloadRowsAtIndexPaths({indexPath});
        return;
    }
    checked_ = sensor;
    table.reloadData();
    if (choiceHandler_) {
        const auto handler = choiceHandler_;
        handler(sensor);
        return;
    }
    closeScreen(*this);
}
