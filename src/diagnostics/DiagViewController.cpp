#include "diagnostics/DiagViewController.h"

#include "core/model/Manager.h"
#include "core/obd/PidNames.h"
#include "diagnostics/DiagnosticsLook.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/NavigationController.h"
#include "shell/RoundedCell.h"

namespace look = diagnosticsLook;

DiagViewController::DiagViewController(ui::TableViewStyle style)
    : ui::TableViewController(style), theme_(Manager::sharedManager().setting().theme)
{
    navigationItem().setTitleView(look::titleLabel(fnd::L("Emissions"), look::digitalSerial(17)));
    for (const char* name : kMonitorNames) {
        tests_.push_back(fnd::L(name));
        testStates_.push_back(fnd::L("Unavailable"));
    }
}


void DiagViewController::viewDidLoad()
{
    ui::TableView& table = tableView();
    table.setBackgroundColor(theme_ != 0 ? ui::Color::white(0.9) : ui::Color::white(0.1));
    table.setSeparatorColor(ui::Color::white(0.2));
    if (theme_ == 0)
        view()->setBackgroundColor(ui::Color::white(0.1));
    table.setAllowsSelection(false);
}

void DiagViewController::viewDidAppear(bool animated)
{
    ui::TableViewController::viewDidAppear(animated);
    if (auto* navigation = navigationController(); navigation && theme_ != 0)
        navigation->navigationBar().setTintColor(ui::Color::lightGray());
    takeLinkAndVisit();
}

void DiagViewController::startVisit(Scanner& link)
{
    LinkHolder::takeLinkBlockingStatus();
    link.setInitCommands({link.commandForOBD2(service::currentData, pid::monitorStatus, pid::none)}, false);
}

// The rows scroll clear of the tab bar.
void DiagViewController::viewDidLayoutSubviews()
{
    tableView().setContentInset({0, 0, look::bottomBarSpace(*this), 0});
}

void DiagViewController::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    LinkHolder::releaseLink();
}

// The first monitor status of the reply counts; a reply too short to hold B, C and D changes nothing.
void DiagViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    for (const Response& response : responses) {
        if (response.mode != service::currentDataReply || response.pid != pid::monitorStatus)
            continue;
        if (const auto readings = readMonitors(response.data))
            setStatus(*readings);
        return;
    }
}

void DiagViewController::setStatus(const std::array<MonitorState, 11>& readings)
{
    readings_ = readings;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const MonitorState state = readings[i];
        testStates_[i] = fnd::L(state == MonitorState::Complete     ? "Complete"
                                : state == MonitorState::Incomplete ? "Incomplete"
                                                                    : "Unavailable");
    }
    tableView().reloadData();
}

std::shared_ptr<ui::TableViewCell> DiagViewController::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<RoundedCell>(table.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell)
        cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1, "Cell");
    const auto row = static_cast<std::size_t>(indexPath.row);
    cell->setTop(row == 0);
    cell->setBottom(row + 1 == tests_.size());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->textLabel()->setText(tests_[row]);
    cell->textLabel()->setFont(look::digitalSans(15));
    cell->textLabel()->setTextColor(look::accent());
    cell->detailTextLabel()->setText(testStates_[row]);
    cell->detailTextLabel()->setFont(look::digitalSerial(16));
    const MonitorState state = readings_[row];
    cell->detailTextLabel()->setTextColor(state == MonitorState::Complete     ? look::green()
                                          : state == MonitorState::Incomplete ? ui::Color::rgb255(180, 0, 40)
                                                                              : ui::Color::darkGray());
    return cell;
}

std::shared_ptr<ui::View> DiagViewController::viewForHeaderInSection(ui::TableView&, int)
{
    return look::textHeader(fnd::L("Status since DTCs"), theme_ != 0 ? ui::Color::darkGray() : ui::Color::lightGray(),
                            30, 5, 5, look::digitalSerial(16));
}

void DiagViewController::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::white(10.0 / 255));
}
