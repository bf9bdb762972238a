#pragma once

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fuel/FuelGraphView.h"
#include "fuel/FuelTrends.h"
#include "fuel/PeekingBars.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/mail/MailComposer.h"
#include "platform/ui/TableView.h"
#include "shell/TemplateViewCon.h"

namespace ui {
class Label;
class SegmentedControl;
}

// The "Trends" tab: the daily fuel log as a chart with a range control, the
// statistics of the days selected on it with their change against the days
// before, and the export of the log as a CSV attachment of an e-mail.
class GraphViewCon : public TemplateViewCon,
                     public GraphViewDelegate,
                     public ui::TableViewDataSource,
                     public ui::TableViewDelegate,
                     public mail::MailComposeDelegate {
public:
    static constexpr double chartHeight = 250.0;
    static constexpr const char* exportFileName = "Fuel_eco_DATA.csv";
    static constexpr const char* attachmentName = "Fuel_eco_data.csv";

    GraphViewCon();
    ~GraphViewCon() override;

    // The trends screen polls nothing.
    void startScanning() override {}

    void pickOne(ui::SegmentedControl& control);
    void graphDidUpdateRange(FuelGraphView& view) override;
    void touchHasStarted(FuelGraphView& view) override;
    void touchHasEnded(FuelGraphView& view) override;

    // The export: the action sheet, then the whole log or the selected days.
    void displayOptions();
    void sendMail();
    void sendRangedMail();
    void mailComposeControllerDidFinish(mail::MailComposer& composer, mail::MailComposeResult result) override;

    FuelGraphView* gView() const { return gView_.get(); }
    const TrendLog& log() const { return log_; }
    const TrendStats& stats() const { return stats_; }
    int mode() const { return mode_; }
    const std::string& unitsStr() const { return unitsStr_; }
    const std::string& fuelUnitStr() const { return fuelUnitStr_; }
    // The texts of a table row as shown, left to right, top to bottom.
    std::vector<std::string> rowTexts(int row) const;
    // The tablet strip's values, Min to Cost.
    std::vector<std::string> stripTexts() const;
    ui::SegmentedControl* rangeControl(bool landscape) const;
    ui::TableView* table() const { return table_.get(); }

    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void changeTheViewToPortrait(bool portrait, double duration);

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    ui::StatusBarStyle preferredStatusBarStyle() const override { return ui::StatusBarStyle::LightContent; }

private:
    void loadData();
    void setUnitTexts();
    void showStats(const TrendStats& stats);
    void buildStrip();
    void exportLog(const TrendLog& columns);
    static void deleteFile(const std::string& name);
    static void showError(const std::string& message);

    int theme_ = 0;
    int mode_ = 0;
    TrendLog log_;
    TrendStats stats_;
    std::string unitsStr_ = "mpg", fuelUnitStr_ = "gal.", speedUnitStr_ = "mph", distUnitStr_ = "mil.",
                weightUnitStr_ = "lb.";
    std::array<std::string, 5> unitsArr_;
    double topOffset_ = 44;
    bool touching_ = false;  // a finger is on the chart: its range control stays hidden
    PeekingBars bars_{*this, false};

    std::shared_ptr<FuelGraphView> gView_;
    std::shared_ptr<ui::SegmentedControl> graphModeSegCon_;   // landscape, long titles
    std::shared_ptr<ui::SegmentedControl> graphModeSegCon2_;  // portrait, short titles
    std::shared_ptr<ui::TableView> table_;
    std::shared_ptr<ui::View> strip_;
    std::vector<std::shared_ptr<ui::Label>> stripValues_;
    std::vector<std::shared_ptr<ui::Label>> stripUnits_;

    fnd::NotificationCenter::Token logSavedToken_;
    // Statistics are worked out here on a copy of the log, one selection after the other.
    fnd::DispatchQueue statsQueue_{"fuel.trends"};
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<mail::MailComposer> composer_;
};
