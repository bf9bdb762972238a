#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/Lap.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

// "Lap times": the run's total time, best lap, distance and average speed
// above one row per lap (number, time, gap to the best lap, speed figure),
// the best lap highlighted.
class LapViewCon : public ui::ViewController, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    LapViewCon(const std::vector<Lap>& laps, int averageSpeed, float distance);
    ~LapViewCon() override;

    std::string getGapStr(int row) const;
    void dismissViewCon();
    void changeTheViewToPortrait(bool portrait, double duration);

    int bestLapIndex() const { return bestLapIndex_; }
    const std::string& bestLapStr() const { return bestLapStr_; }
    const std::string& totalTimeStr() const { return totalTimeStr_; }
    const std::vector<std::string>& dataArr() const { return dataArr_; }
    // The texts of a row's four columns.
    std::vector<std::string> rowTexts(int row) const;
    ui::Color rowHighlight(int row) const;
    std::string distanceText() const;
    std::string averageSpeedText() const;
    ui::TableView* table() const { return tB_.get(); }

    int numberOfRowsInSection(ui::TableView&, int) override { return static_cast<int>(timeArr_.size()); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView&, int) override { return 30; }
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return 44; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& table, int) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    std::vector<float> timeArr_;
    std::vector<std::string> dataArr_;
    std::vector<int> maxSpeedArr_;
    int bestLapIndex_ = 0;
    std::string bestLapStr_;
    std::string totalTimeStr_;
    int averageSpeed_ = 0;
    float distance_ = 0;
    std::string distUnitStr_, speedUnitStr_;
    std::shared_ptr<ui::View> topView_, lowerBorder_;
    std::vector<std::pair<std::shared_ptr<ui::Label>, std::shared_ptr<ui::Label>>> pairs_;  // caption, value
    std::shared_ptr<ui::TableView> tB_;
};
