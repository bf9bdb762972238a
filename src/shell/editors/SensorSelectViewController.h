#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/TableViewController.h"

class SensorSelectViewController;

// Told when a picker in single or multiple choice leaves the screen, also when
// the user went back without a new choice.
class SensorSelectViewControllerDelegate {
public:
    virtual ~SensorSelectViewControllerDelegate() = default;
    virtual void viewWillDismiss(SensorSelectViewController& /*picker*/) {}
};

// The sensor picker. Its sections, when custom PIDs exist: the custom PIDs
// (row n is SensorIndex 101 + n), the calculated sensors (row n is 95 + n:
// fuel economy, boost, horsepower, battery voltage, then g-force and gear
// when offered) and the standard sensors (row n is n); without custom PIDs
// the calculated and the standard sensors.
//
// Sensor mode 1 is single choice: a tap checks the sensor and closes the
// picker. Sensor mode 2 is multiple choice over Settings.gaugeListArr: a tap
// removes the sensor from the list when it is there and otherwise appends it,
// and saves.
class SensorSelectViewController : public ui::TableViewController {
public:
    static constexpr int singleChoice = 1;
    static constexpr int multipleChoice = 2;

    SensorSelectViewController(ui::TableViewStyle style, int row, int sensorMode, bool gForceEnabled, bool done);

    void setDelegate(std::weak_ptr<SensorSelectViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    // Single choice: a tap checks the sensor and hands it here instead of closing the picker, so a
    // screen opened for it returns to the list.
    void setChoiceHandler(std::function<void(int sensorIndex)> handler) { choiceHandler_ = std::move(handler); }

    // Single choice: the checked row, none before a choice when opened with no sensor.
    std::optional<ui::IndexPath> checkedIndexPath() const;
    std::optional<int> checkedSensorIndex() const { return checked_; }

    // The SensorIndex of a row, and the row of a SensorIndex, by the sections shown.
    int sensorIndexAt(ui::IndexPath indexPath) const;
    std::optional<ui::IndexPath> indexPathForSensor(int sensorIndex) const;

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    std::string titleForHeaderInSection(ui::TableView&, int section) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    enum class Section { Custom, Calculated, Standard };
    Section sectionKind(int section) const;
    int rowCount(Section section) const;
    bool isChecked(int sensorIndex) const;

    int sensorMode_;
    bool gForceEnabled_;
    bool done_;
    std::optional<int> checked_;
    std::weak_ptr<SensorSelectViewControllerDelegate> delegate_;
    std::function<void(int)> choiceHandler_;
};
