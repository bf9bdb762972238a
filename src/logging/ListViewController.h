#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "core/model/FuelBookkeeping.h"
#include "logging/GaugeCell.h"
#include "core/model/SensorDecoder.h"
#include "core/model/SensorPlan.h"
#include "logging/SensorWarnings.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/TableView.h"
#include "shell/TemplateViewCon.h"
#include "shell/editors/SensorSelectViewController.h"

namespace ui {
class Label;
class NavigationBar;
}  // namespace ui

// "Gauge list": one row per sensor of Settings.gaugeListArr with its live
// value and a bar gauge; one table on a phone, two side by side on a pad (even
// rows left, odd rows right). Only the rows on screen are polled: in row order
// when the list appears, by priority whenever a scroll comes to rest. Sensors
// are added and removed in the sensor picker behind "+".
class ListViewController : public TemplateViewCon,
                           public SensorSelectViewControllerDelegate,
                           public GaugeCellDelegate,
                           private ui::TableViewDataSource,
                           private ui::TableViewDelegate {
public:
    ListViewController();
    ~ListViewController() override;

    void startScanning() override;
    // Polls the visible rows by priority (after a scroll comes to rest).
    void scrollingFinish();
    // Rebuilds every row from the settings.
    void loadData();
    void loadSensorList();
    void gaugesModified() { firstLaunch_ = true; }
    void stopTimers();

    void viewWillDismiss(SensorSelectViewController& picker) override;
    void cellDataDidUpdate(GaugeCell& cell) override;

    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveVoltage(Scanner& link, const std::vector<Response>& responses) override;
    void scannerDidReceiveStatusResponse(Scanner& link, const std::vector<Response>& responses) override;

    int gaugeCount() const { return gaugeCount_; }
    const std::vector<Command>& commandArr() const { return commandArr_; }
    const ReplyRoutes& pidMap() const { return pidMap_; }
    ui::TableView& tb1() { return *tb1_; }
    ui::TableView* tb2() { return tb2_.get(); }
    ui::Label& noGaugesLabel() { return *noGaugesLabel_; }
    ui::NavigationBar& topNavBar() { return *topNavBar_; }
    // The cell showing row r, none when the row is off screen.
    GaugeCell* cellForRow(int row);
    const FuelBookkeeping& fuelBookkeeping() const { return fuel_; }

    static constexpr double hideBarDelay = 1.8;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillTransitionToSize(ui::Size size, ui::TransitionCoordinator& coordinator) override;

private:
    struct Row {
        SensorPlan plan;
        int min = 0;
        int max = 0;
        // What the row shows when its cell is configured: its latest value, or why its formula failed.
        std::optional<float> last;
        FormulaFault fault = FormulaFault::None;
    };

    // TableViewDataSource, TableViewDelegate
    int numberOfSectionsInTableView(ui::TableView& table) override;
    int numberOfRowsInSection(ui::TableView&, int) override { return 1; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return GaugeCell::rowHeight; }
    double heightForHeaderInSection(ui::TableView&, int) override { return 1.5; }
    double heightForFooterInSection(ui::TableView&, int) override { return 1.5; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView&, int) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void scrollViewDidEndDragging(ui::ScrollView&, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(ui::ScrollView&) override;

    void loadViews();
    bool isPad() const;
    int rowFor(const ui::TableView& table, int section) const;
    // The requests of the visible rows, the battery's first.
    std::vector<Command> visibleRequests();
    void showValue(int row, float value);
    void showFault(int row, FormulaFault fault);
    // Shows the row's state in a cell just configured for it.
    void showState(const Row& row, GaugeCell& cell) const;
    void slideMenuBar();
    void hideNavBar();
    void changeTheViewToPortrait(bool portrait);
    // The tables below the top margin, as they stand while the top bar is away.
    void layOutTables();

    std::vector<Row> rows_;
    int gaugeCount_ = 0;
    std::vector<Command> commandArr_;
    ReplyRoutes pidMap_;
    bool firstLaunch_ = true;
    bool tapDetected_ = false;
    bool reloadCells_ = false;
    ui::Size laidOutSize_;
    int theme_ = 0;
    std::shared_ptr<ui::TableView> tb1_;
    std::shared_ptr<ui::TableView> tb2_;
    std::shared_ptr<ui::Label> noGaugesLabel_;
    std::shared_ptr<ui::NavigationBar> topNavBar_;
    ui::NavigationItem topItem_;
    SensorDecoder decoder_;
    FuelBookkeeping fuel_;
    bool fuelBgTracking_ = false;
    SensorWarnings warnings_;
    fnd::DelayedCall hideBar_;
    fnd::NotificationCenter::Token modifiedToken_;
    fnd::NotificationCenter::Token droppedToken_;
};
