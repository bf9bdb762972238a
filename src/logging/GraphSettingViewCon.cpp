#include "logging/GraphSettingViewCon.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "shell/QueuedAlertController.h"
#include "shell/RoundedCell.h"
#include "shell/ScreenClosing.h"
#include "core/Notifications.h"
#include "shell/TableLook.h"
#include "shell/editors/SensorDetViewCon.h"

namespace {

// The name of a sensor: custom sensors by their own name.
std::string nameOf(int sensorIndex)
{
    const UserData& user = Manager::sharedManager().userData();
    if (sensorIndex >= firstCustomSensorIndex) {
        const auto n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
        return n < user.pids.size() ? user.pids[n].lName.empty() ? user.pids[n].sName : user.pids[n].lName : "--";
    }
    const auto i = static_cast<std::size_t>(sensorIndex);
    return sensorIndex >= 0 && i < user.longNameArr.size() ? user.longNameArr[i] : "--";
}

}  // namespace

GraphSettingViewCon::GraphSettingViewCon(ui::TableViewStyle style) : ui::TableViewController(style)
{
    const ui::Font font = ui::Font::named("Digital-Serial", 17);
    auto title = std::make_shared<ui::Label>();
    title->setText(fnd::L("graph settings"));
    title->setFont(font);
    title->setTextColor(ui::Color::lightGray());
    title->setBackgroundColor(ui::Color::clear());
    title->sizeToFit();
    navigationItem().setTitleView(title);
    auto done = std::make_shared<ui::BarButtonItem>(ui::SystemItem::Done, [this](ui::BarButtonItem&) { removeView(); });
    auto cancel =
        std::make_shared<ui::BarButtonItem>(ui::SystemItem::Cancel, [this](ui::BarButtonItem&) { dismissView(); });
    cancel->setTintColor(ui::Color::lightGray());
    for (const auto& item : {done, cancel})
        item->setTitleTextAttributes({font, ui::Color::white(0.8)});
    navigationItem().setRightBarButtonItem(done);
    navigationItem().setLeftBarButtonItem(cancel);
}

const std::vector<std::string>& GraphSettingViewCon::colorNames()
{
    static const std::vector<std::string> names = {"blue",   "red",   "orange",    "gray",  "purple",
                                                   "green", "dark blue", "beige", "yellow"};
    return names;
}

void GraphSettingViewCon::viewDidLoad()
{
    TableLook::current().apply(tableView());
}

void GraphSettingViewCon::viewWillAppear(bool animated)
{
    ui::TableViewController::viewWillAppear(animated);
    // The bar's own items, such as the pickers' back buttons, follow the theme.
    if (auto* navigation = navigationController())
        navigation->navigationBar().setTintColor(TableLook::current().theme == 1 ? ui::Color::darkGray()
                                                                                  : ui::Color::lightGray());
    tableView().reloadData();
}

void GraphSettingViewCon::viewWillDisappear(bool animated)
{
    Manager::sharedManager().saveChanges();
    ui::TableViewController::viewWillDisappear(animated);
}

std::shared_ptr<ui::TableViewCell> GraphSettingViewCon::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1);
    const TableLook look = TableLook::current();
    look.apply(*cell, indexPath.row, 3);
    // This screen's rows are quieter than the settings': smaller type, a grey detail.
    const bool light = look.theme == 1;
    cell->setBackgroundColor(light ? ui::Color::white(1.0) : ui::Color::rgb255(10, 10, 10));
    cell->textLabel()->setFont(ui::Font::named("Digital-Serial", 15));
    cell->textLabel()->setTextColor(light ? ui::Color::white(0.1) : ui::Color::white(0.8));
    cell->detailTextLabel()->setFont(ui::Font::named("Digital-Serial", 14));
    cell->detailTextLabel()->setTextColor(light ? ui::Color::darkGray() : ui::Color::white(0.7));
    cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    switch (indexPath.row) {
    case 0:
        cell->textLabel()->setText(fnd::L("Sensor"));
        cell->detailTextLabel()->setText(sensorName_);
        break;
    case 1:
        cell->textLabel()->setText(fnd::L("line color"));
        cell->detailTextLabel()->setText(fnd::L(colorNames()[static_cast<std::size_t>(lineColor_)]));
        break;
    default:
        cell->textLabel()->setText(fnd::L("sensor details"));
        break;
    }
    return cell;
}

void GraphSettingViewCon::push(std::shared_ptr<ui::ViewController> screen)
{
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}

void GraphSettingViewCon::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    const auto self = std::static_pointer_cast<GraphSettingViewCon>(shared_from_this());
    if (indexPath.row == 0) {
        // The picker opens on the first standard sensor, and its tick is the choice when it closes.
        auto picker = std::make_shared<SensorSelectViewController>(
            ui::TableViewStyle::Grouped, 0, SensorSelectViewController::singleChoice, false, false);
        picker->setDelegate(std::weak_ptr<SensorSelectViewControllerDelegate>(self));
        push(picker);
    } else if (indexPath.row == 1) {
        std::vector<std::string> names;
        for (const std::string& name : colorNames())
            names.push_back(fnd::L(name));
        auto list = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, lineColor_, names,
                                                    DetailViewCon::SelectReportRow, "line color");
        list->setGaugeIndex(lineColor_);
        list->setDelegate(std::weak_ptr<DetailViewConDelegate>(self));
        push(list);
    } else {
        const UserData& user = Manager::sharedManager().userData();
        if (sensorIndex_ >= firstCustomSensorIndex) {
            const auto n = static_cast<std::size_t>(sensorIndex_ - firstCustomSensorIndex);
            if (n < user.pids.size()) {
                const Pid& pid = user.pids[n];
                push(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, pid.lName, pid.sName, pid.min,
                                                        pid.max, sensorIndex_, true));
            }
            return;
        }
        const auto s = static_cast<std::size_t>(sensorIndex_);
        const bool metric = user.unitsArr[s] != 0;
        push(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, user.longNameArr[s],
                                                user.shortNameArr[s], metric ? user.minArr[s] : user.minImpArr[s],
                                                metric ? user.maxArr[s] : user.maxImpArr[s], sensorIndex_, false));
    }
}

void GraphSettingViewCon::viewWillDismiss(SensorSelectViewController& picker)
{
    const auto chosen = picker.checkedSensorIndex();
    if (!chosen)
        return;
    sensorIndex_ = *chosen;
    sensorName_ = nameOf(sensorIndex_);
}

void GraphSettingViewCon::viewWillExit(int row)
{
    if (row >= 0 && static_cast<std::size_t>(row) < colorNames().size())
        lineColor_ = row;
}

void GraphSettingViewCon::removeView()
{
    if (!hasSensor()) {
        QueuedAlertController::showMessage("error", "graph msg");
        return;
    }
    Settings& settings = Manager::sharedManager().setting();
    if (std::find(settings.graphListArr.begin(), settings.graphListArr.end(), sensorIndex_) ==
        settings.graphListArr.end()) {
        settings.graphListArr.push_back(sensorIndex_);
        // Keep the colours parallel to the charts even when an older list fell short.
        settings.graphLineColorArr.resize(settings.graphListArr.size() - 1, 0);
        settings.graphLineColorArr.push_back(lineColor_);
        settings.numOfGraphs = static_cast<int>(settings.graphListArr.size());
    }
    fnd::NotificationCenter::defaultCenter().post(gaugeModifiedNotification, this);
    dismissView();
}

void GraphSettingViewCon::dismissView()
{
    dismissViewController(true);
}
