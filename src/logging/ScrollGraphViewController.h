#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "core/model/FuelBookkeeping.h"
#include "logging/GraphView.h"
#include "logging/Recording.h"
#include "core/model/SensorDecoder.h"
#include "core/model/SensorPlan.h"
#include "logging/SensorWarnings.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Timer.h"
#include "platform/mail/MailComposer.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/TableView.h"
#include "shell/TemplateViewCon.h"

namespace ui {
class Button;
class Label;
class NavigationBar;
class Switch;
}  // namespace ui

// "Logging": one strip chart per sensor of Settings.graphListArr, fed live
// while the screen is shown, and a record switch that writes the charted values
// to CSV files (mailed when the recording stops) or to the TCP logger. Charts
// are added in the graph settings behind "+" and deleted in editing mode.
class ScrollGraphViewController : public TemplateViewCon,
                                         public GraphView2Delegate,
                                  private mail::MailComposeDelegate,
                                  private ui::TableViewDataSource,
                                  private ui::TableViewDelegate {
public:
    ScrollGraphViewController();
    ~ScrollGraphViewController() override;

    void startScanning() override;
    void loadData();
    void addSensorToList();
    void setEditMode();
    // The record switch changed.
    void recordData();
    void toggleInteraction(int graph);

    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveVoltage(Scanner& link, const std::vector<Response>& responses) override;
    void scannerDidReceiveStatusResponse(Scanner& link, const std::vector<Response>& responses) override;
    void graphIsScrolling(GraphView&) override;
    void touchHasEnded(GraphView&) override;

    int numOfGraphs() const { return static_cast<int>(graphs_.size()); }
    const std::vector<Command>& commandArr() const { return commandArr_; }
    GraphView& graph(int g) { return *graphs_[static_cast<std::size_t>(g)].view; }
    ui::TableView& tableView() { return *table_; }
    ui::Switch& recordSwitch() { return *recordSwitch_; }
    ui::Label& titleLabel() { return *titleLabel_; }
    ui::Label& emptyLabel() { return *emptyLabel_; }
    bool isRecording() const { return recording_ != nullptr; }
    std::size_t recordedRowsInMemory() const { return recording_ ? recording_->rowsInMemory() : 0; }
    bool isEditMode() const { return editingMode_; }
    double cellHeight() const { return cellHeight_; }
    const FuelBookkeeping& fuelBookkeeping() const { return fuel_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    struct Graph {
        SensorPlan plan;
        std::shared_ptr<GraphView> view;
        std::shared_ptr<ui::Button> button;
        bool needsLayout = true;
        std::size_t settingsEntry = 0;  // its place in Settings.graphListArr
    };

    // TableViewDataSource, TableViewDelegate
    int numberOfRowsInSection(ui::TableView&, int) override { return numOfGraphs(); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return cellHeight_; }
    double heightForHeaderInSection(ui::TableView&, int) override { return 3.5; }
    double heightForFooterInSection(ui::TableView&, int) override { return 3.5; }
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    bool canEditRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return true; }
    ui::TableViewCellEditingStyle editingStyleForRowAtIndexPath(ui::TableView& table, ui::IndexPath) override;
    void commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle style, ui::IndexPath path) override;
    void scrollViewDidEndDragging(ui::ScrollView&, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(ui::ScrollView&) override;
    void mailComposeControllerDidFinish(mail::MailComposer&, mail::MailComposeResult) override;

    void loadViews();
    void layOut();
    void sendCommands();
    // Gives the link back, with an empty list, when this screen holds it.
    // Feeds chart g and the recording; redraws only a chart that is on screen.
    void updateGraph(int g, float value);
    bool isOnScreen(int g);
    void startRecording();
    // Why a recording ends: the switch mails its files; the TCP logger's end is told apart from a stop.
    enum class RecordingEnd { Switch, LeavingScreen, LinkDropped, SocketEnded, WriteFailed };
    // Ends the recording and saves its files (mailed when the switch ended it and mail can be sent).
    void stopRecording(RecordingEnd end);
    void updateRecordLabel();
    void autoAdjustScrollToTop();
    void updateBarItems();

    std::vector<Graph> graphs_;
    std::vector<Command> commandArr_;
    ReplyRoutes pidMap_;
    bool firstLaunch_ = true;
    bool editingMode_ = false;
    bool fuelBgTracking_ = false;
    int graphCount_ = 1;
    double cellHeight_ = 100;
    int theme_ = 0;
    std::shared_ptr<ui::TableView> table_;
    std::shared_ptr<ui::Label> emptyLabel_;
    std::shared_ptr<ui::NavigationBar> navBar_;
    ui::NavigationItem barItem_;
    std::shared_ptr<ui::Switch> recordSwitch_;
    std::shared_ptr<ui::Label> titleLabel_;
    SensorDecoder decoder_;
    FuelBookkeeping fuel_;
    SensorWarnings warnings_;
    std::unique_ptr<Recording> recording_;
    std::shared_ptr<fnd::Timer> counterTimer_;
    int ticks_ = 0;
    std::unique_ptr<mail::MailComposer> composer_;
    fnd::NotificationCenter::Token modifiedToken_;
    fnd::NotificationCenter::Token droppedToken_;
};
