#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Timer.h"
#include "platform/ui/TableViewController.h"
#include "shell/TableLook.h"

// Told which row a list in the reporting mode picked.
class DetailViewConDelegate {
public:
    virtual ~DetailViewConDelegate() = default;
    // The picked row; -1 when the list's own Cancel button closed it.
    virtual void viewWillExit(int /*row*/) {}
};

// A single-choice list of titles with one row checked. A tap moves the check
// mark, writes the picked row into the setting its select mode names (or, in
// the reporting mode, tells the delegate), deselects the row after 0.3 s and
// saves. The list stays on screen until the user goes back; one opened with
// no row checked (-1) has a Cancel button of its own.
class DetailViewCon : public ui::TableViewController {
public:
    enum SelectMode : int {
        SelectFuelUnits = 0,        // Settings.fuelUnitsMode
        SelectFuelType = 1,         // fuelType, with the fuel's density and air/fuel ratio
        SelectCalcMethod = 2,       // fuelCalcMethod
        SelectLoggerInterface = 9,  // loggerInterface
        SelectLogFormat = 10,       // logFormat
        SelectLoggerDelay = 11,     // loggerDelay: rows 0-6 are 0, 0.5, 1, 2, 3, 4, 5 s
        SelectResolution = 12,      // recordMode
        SelectCamGaugeCount = 13,   // camGaugeCount: the row plus one
        SelectShiftLightColor = 19, // shiftLightColor, then "gaugeModifiedNotification"
        SelectReportRow = 23,       // nothing stored: the delegate hears viewWillExit(row)
        SelectAdapterType = 30,     // deviceMode; types without a transport here cannot be picked
        SelectProtocol = 31,        // protocol, copied into the DataStore
        SelectConnectionMode = 32,  // connectionMode: 0 automatic, 1 manual
        SelectTheme = 33,           // theme: 0 dark, 1 light
        SelectUnits = 34,           // every sensor's unit system: row 0 metric, 1 imperial
    };

    DetailViewCon(ui::TableViewStyle style, int row, std::vector<std::string> dataArr, int selectMode,
                  std::string label);
    ~DetailViewCon() override;

    void setDelegate(std::weak_ptr<DetailViewConDelegate> delegate) { delegate_ = std::move(delegate); }
    // Kept for the dashboard's modes; the modes here do not read it.
    int gaugeIndex() const { return gaugeIndex_; }
    void setGaugeIndex(int index) { gaugeIndex_ = index; }

    int checkedRow() const { return row_; }
    int selectMode() const { return selectMode_; }
    // False for a row that cannot be picked (an adapter type with no transport here).
    bool isRowEnabled(int row) const;

    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    std::string titleForFooterInSection(ui::TableView&, int section) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    static constexpr double deselectDelay = 0.3;

protected:
    void viewDidLoad() override;

private:
    // Writes the picked row into the setting of the select mode.
    void apply(int row);
    void cancel();

    int row_;
    std::vector<std::string> dataArr_;
    int selectMode_;
    std::string label_;
    int gaugeIndex_ = 0;
    std::weak_ptr<DetailViewConDelegate> delegate_;
    fnd::DelayedCall deselect_;
    // Taken when the list loads: a theme picked in it shows from the next screen on, not half on this one.
    TableLook look_;
};
