#include "diagnostics/InfoViewController.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "diagnostics/DiagnosticsLook.h"
#include "diagnostics/VehicleInformation.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/NavigationController.h"
#include "shell/RoundedCell.h"

namespace look = diagnosticsLook;
namespace info = vehicleInformation;

namespace {

// The second section's rows: title, whether it passes through the localization table, first text.
struct MetricRow {
    const char* title;
    bool localized;
    const char* initial;
};

constexpr MetricRow kMetricRows[] = {
    {"Fuel type", false, ""},
    {"Fuel system status", false, ""},
    {"Commanded sec. air status", false, ""},
    {"Runtime since engine start", false, ""},
    {"Distance with MIL", true, "km"},
    {"Number of warmups", true, ""},
    {"Distance codes", true, "km"},
    {"Time run with MIL on", true, ""},
    {"Time codes msg", true, ""},
};

std::vector<std::string> initialMetrics()
{
    std::vector<std::string> texts;
    for (const MetricRow& row : kMetricRows)
        texts.emplace_back(row.initial);
    return texts;
}

}  // namespace

InfoViewController::InfoViewController(ui::TableViewStyle style)
    : ui::TableViewController(style), theme_(Manager::sharedManager().setting().theme)
{
    spinner_ = std::make_shared<ui::ActivityIndicator>();
    spinner_->setFrame({0, 0, 25, 25});
    spinner_->setColor(look::accent());
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(spinner_));
    navigationItem().setTitleView(look::titleLabel(fnd::L("Info"), look::digitalSerial(17)));
    for (const char* title : {"Vehicle VIN", "Calibration ID", "Calibration Verification Numbers", "ECU name"})
        vehicleTitles_.push_back(fnd::L(title));
    for (const MetricRow& row : kMetricRows)
        infoArr2_.push_back(row.localized ? fnd::L(row.title) : row.title);
    vehicle_.assign(vehicleTitles_.size(), fnd::L("Unavailable"));
    infoArrData_ = initialMetrics();
}


void InfoViewController::viewDidLoad()
{
    ui::TableView& table = tableView();
    table.setBackgroundColor(theme_ != 0 ? ui::Color::white(0.85) : ui::Color::white(0.1));
    table.setSeparatorColor(ui::Color::white(0.2));
    table.setAllowsSelection(false);
}

// Several ECUs may answer and the items span several frames, so the requests wait for every reply
// whatever the fast-polling setting says.
void InfoViewController::setupCommands(Scanner& link)
{
    std::vector<Command> commands;
    for (const std::uint8_t item : info::itemPids)
        commands.push_back(link.commandForOBD2(service::vehicleInformation, item, pid::none, Scanner::FastPolling::Off));
    auto metricPids = info::commandIndArr;  // asked for in PID order
    std::ranges::sort(metricPids);
    for (const std::uint8_t number : metricPids)
        commands.push_back(link.commandForOBD2(service::currentData, number, pid::none, Scanner::FastPolling::Off));
    link.setInitCommands(std::move(commands), true);
    infoArrData_ = initialMetrics();
}

void InfoViewController::viewDidAppear(bool animated)
{
    ui::TableViewController::viewDidAppear(animated);
    if (auto* navigation = navigationController())
        navigation->navigationBar().setTintColor(ui::Color::lightGray());
    takeLinkAndVisit();
}

void InfoViewController::startVisit(Scanner& link)
{
    // The background status poll goes on while this screen is shown.
    LinkHolder::takeLink();
    setupCommands(link);
    tableView().reloadData();
    spinner_->startAnimating();
    const std::weak_ptr<ui::ActivityIndicator> spinner = spinner_;
    fnd::after(loadingPeriod, [spinner] {
        if (const auto s = spinner.lock())
            s->stopAnimating();
    });
}

// The rows scroll clear of the tab bar.
void InfoViewController::viewDidLayoutSubviews()
{
    tableView().setContentInset({0, 0, look::bottomBarSpace(*this), 0});
}

void InfoViewController::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    LinkHolder::releaseLink();
}

// The figures are polled over and over and most replies repeat the last: the table is built again only
// when a text it shows has changed.
void InfoViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    bool changed = false;
    const auto take = [&changed](std::string& shown, std::string text) {
        if (shown != text) {
            shown = std::move(text);
            changed = true;
        }
    };
    for (const Response& response : responses) {
        if (auto text = info::itemText(response)) {
            const auto index = std::find(info::itemPids.begin(), info::itemPids.end(), response.pid) - info::itemPids.begin();
            take(vehicle_[static_cast<std::size_t>(index)], std::move(*text));
        } else if (auto row = info::metricRow(response)) {
            take(infoArrData_[static_cast<std::size_t>(row->first)], std::move(row->second));
        }
    }
    if (changed)
        tableView().reloadData();
}

int InfoViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    return static_cast<int>(section == 0 ? vehicleTitles_.size() : infoArr2_.size());
}

std::shared_ptr<ui::TableViewCell> InfoViewController::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<RoundedCell>(table.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell)
        cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Subtitle, "Cell");
    const bool vehicle = indexPath.section == 0;
    const auto& titles = vehicle ? vehicleTitles_ : infoArr2_;
    const auto& values = vehicle ? vehicle_ : infoArrData_;
    const auto row = static_cast<std::size_t>(indexPath.row);
    cell->setTop(row == 0);
    cell->setBottom(row + 1 == titles.size());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::white(10.0 / 255));
    cell->textLabel()->setText(titles[row]);
    cell->textLabel()->setFont(look::digitalSans(14));
    cell->textLabel()->setTextColor(theme_ != 0 ? ui::Color::white(0.2) : ui::Color::white(0.85));
    cell->detailTextLabel()->setText(values[row]);
    cell->detailTextLabel()->setFont(look::digitalSerial(15));
    // Long status texts (the fuel system's) shrink to stay whole in the row.
    cell->detailTextLabel()->setAdjustsFontSizeToFitWidth(true);
    cell->detailTextLabel()->setMinimumScaleFactor(0.5);
    cell->detailTextLabel()->setTextColor(vehicle ? look::teal() : look::accent());
    return cell;
}

std::shared_ptr<ui::View> InfoViewController::viewForHeaderInSection(ui::TableView&, int section)
{
    return look::badgeHeader("  " + fnd::L(section == 0 ? "Vehicle" : "Metrics"),
                             section == 0 ? look::teal() : look::accent(), 30, 10, 5);
}
