#include "shell/DetailViewCon.h"

#include <array>

#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/link/UnavailableScan.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/model/VehicleCalc.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/QueuedAlertController.h"
#include "shell/RoundedCell.h"
#include "shell/ScreenClosing.h"
#include "shell/TableLook.h"

namespace {

constexpr std::array loggerDelays = {0.0f, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f};

bool hasTransport(int deviceMode)
{
    return dynamic_cast<UnavailableScan*>(Scanner::ScannerForMode(deviceMode).get()) == nullptr;
}

}  // namespace

DetailViewCon::DetailViewCon(ui::TableViewStyle style, int row, std::vector<std::string> dataArr, int selectMode,
                             std::string label)
    : ui::TableViewController(style)
    , row_(row)
    , dataArr_(std::move(dataArr))
    , selectMode_(selectMode)
    , label_(std::move(label))
{
    setTitle(label_);
    if (row_ < 0) {
        navigationItem().setLeftBarButtonItem(
            std::make_shared<ui::BarButtonItem>(ui::SystemItem::Cancel, [this](ui::BarButtonItem&) { cancel(); }));
    }
}

DetailViewCon::~DetailViewCon()
{
    deselect_.cancel();
}

void DetailViewCon::viewDidLoad()
{
    ui::TableViewController::viewDidLoad();
    look_ = TableLook::current();
    look_.apply(tableView());
    navigationItem().setTitleView(look_.titleView(label_));
}

bool DetailViewCon::isRowEnabled(int row) const
{
    return selectMode_ != SelectAdapterType || hasTransport(row);
}

int DetailViewCon::numberOfRowsInSection(ui::TableView&, int)
{
    return static_cast<int>(dataArr_.size());
}

std::shared_ptr<ui::TableViewCell> DetailViewCon::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Default);
    look_.apply(*cell, indexPath.row, static_cast<int>(dataArr_.size()));
    cell->textLabel()->setText(dataArr_[static_cast<std::size_t>(indexPath.row)]);
    // The longest protocol names would be cut on a phone: they shrink to fit instead.
    cell->textLabel()->setAdjustsFontSizeToFitWidth(true);
    cell->setTintColor(TableLook::accent());
    cell->setAccessoryType(indexPath.row == row_ ? ui::TableViewCellAccessoryType::Checkmark
                                                 : ui::TableViewCellAccessoryType::None);
    if (!isRowEnabled(indexPath.row)) {
        cell->textLabel()->setTextColor(look_.disabledText);
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    }
    return cell;
}

std::string DetailViewCon::titleForFooterInSection(ui::TableView&, int)
{
    return selectMode_ == SelectAdapterType ? fnd::L("Adapter type footer msg") : std::string();
}

void DetailViewCon::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    if (!isRowEnabled(indexPath.row)) {
        table.deselectRowAtIndexPath(indexPath, false);
        return;
    }
    // The reporting mode's delegate may close the list while it hears the choice.
    const auto keepAlive = shared_from_this();
    row_ = indexPath.row;
    table.reloadData();
    table.selectRowAtIndexPath(indexPath, false);
    apply(indexPath.row);

    deselect_.cancel();
    deselect_ = fnd::after(deselectDelay, [weak = weak_from_this(), indexPath] {
        if (const auto self = std::static_pointer_cast<DetailViewCon>(weak.lock()))
            self->tableView().deselectRowAtIndexPath(indexPath, true);
    });
    Manager::sharedManager().saveChanges();
}

void DetailViewCon::apply(int row)
{
    Manager& manager = Manager::sharedManager();
    Settings& settings = manager.setting();
    auto& notifications = fnd::NotificationCenter::defaultCenter();
    switch (selectMode_) {
    case SelectFuelUnits:
        settings.fuelUnitsMode = row;
        break;
    case SelectFuelType: {
        settings.fuelType = row;
        const auto fuel = VehicleCalc::fuelConstants(row);
        settings.fuelDensity = fuel.density;
        settings.fuelAirRatio = fuel.airRatio;
        break;
    }
    case SelectCalcMethod:
        settings.fuelCalcMethod = row;
        break;
    case SelectLoggerInterface:
        settings.loggerInterface = row;
        break;
    case SelectLogFormat:
        settings.logFormat = row;
        break;
    case SelectLoggerDelay:
        if (static_cast<std::size_t>(row) < loggerDelays.size())
            settings.loggerDelay = loggerDelays[static_cast<std::size_t>(row)];
        break;
    case SelectResolution:
        settings.recordMode = row;
        break;
    case SelectCamGaugeCount:
        settings.camGaugeCount = row + 1;
        break;
    case SelectShiftLightColor:
        settings.shiftLightColor = row;
        notifications.post(gaugeModifiedNotification, this);
        break;
    case SelectReportRow:
        if (const auto delegate = delegate_.lock())
            delegate->viewWillExit(row);
        break;
    case SelectAdapterType:
        // The link for the adapter type is made once per run.
        if (settings.deviceMode != row) {
            settings.deviceMode = row;
            QueuedAlertController::showMessage("Attention", "Adapter restart msg");
        }
        break;
    case SelectProtocol:
        settings.protocol = row;
        DataStore::sharedDataStore().protocol = row;
        break;
    case SelectConnectionMode:
        settings.connectionMode = row;
        break;
    case SelectTheme:
        settings.theme = row;
        break;
    case SelectUnits:
        for (int& units : manager.userData().unitsArr)
            units = row == 0 ? 1 : 0;
        notifications.post(gaugeModifiedNotification, this);
        break;
    default:
        break;
    }
}

void DetailViewCon::cancel()
{
    // The delegate may close the list itself; closing it again then does nothing.
    const auto keepAlive = shared_from_this();
    if (const auto delegate = delegate_.lock())
        delegate->viewWillExit(-1);
    closeScreen(*this);
}
