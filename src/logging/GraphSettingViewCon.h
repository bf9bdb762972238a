#pragma once

#include <string>
#include <vector>

#include "platform/ui/TableViewController.h"
#include "shell/DetailViewCon.h"
#include "shell/editors/SensorSelectViewController.h"

// Adds a strip chart to the logging screen: the sensor, its details and the
// line colour, then Done. Done appends the sensor and colour to the graph
// list (unless the sensor is already charted) and broadcasts
// "gaugeModifiedNotification"; Cancel leaves the list alone.
class GraphSettingViewCon : public ui::TableViewController,
                            public SensorSelectViewControllerDelegate,
                            public DetailViewConDelegate {
public:
    explicit GraphSettingViewCon(ui::TableViewStyle style);

    int sensorIndex() const { return sensorIndex_; }
    const std::string& sensorName() const { return sensorName_; }
    int lineColor() const { return lineColor_; }

    void removeView();
    void dismissView();
    void viewWillDismiss(SensorSelectViewController& picker) override;
    void viewWillExit(int row) override;

    int numberOfRowsInSection(ui::TableView&, int) override { return 3; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;

    // The colour names in index order (message keys).
    static const std::vector<std::string>& colorNames();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    void push(std::shared_ptr<ui::ViewController> screen);
    bool hasSensor() const { return sensorName_ != "--"; }

    int sensorIndex_ = 1;
    std::string sensorName_ = "--";
    int lineColor_ = 0;
};
