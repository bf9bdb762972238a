#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/VehicleCalc.h"
#include "fuel/FuelTrip.h"
#include "fuel/PeekingBars.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Timer.h"
#include "shell/TemplateViewCon.h"
#include "shell/WarningAlert.h"

class FuelView;
namespace ui {
class Label;
}

// The "Fuel" tab: polls the inputs of the chosen calculation method, feeds the
// gauge, runs the trip panel (time, average speed, fuel used, CO2), writes the
// day's entry of the fuel log, and warns at the speed limit and at high
// coolant or oil temperature.
class FuelViewController : public TemplateViewCon {
public:
    static constexpr double tripInterval = 1.0;
    static constexpr int saveInterval = 120;  // seconds between log saves
    static constexpr int warningSound = 1052;
    static constexpr int resetSound = 1103;

    FuelViewController();
    ~FuelViewController() override;

    void startScanning() override;
    void sendCommands();
    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveStatusResponse(Scanner& scanner, const std::vector<Response>& responses) override;
    void checkSensor(const Response& response);
    void updateTime();
    // Adds what the trip drove since the last save to the day's log and writes the log.
    void saveData();
    void resetData();

    void changeTheViewToPortrait(bool portrait, double duration);
    // The part of the view the navigation bar and the tab bar leave free while they show.
    ui::Rect areaBetweenBars();
    void slideMenuBar();
    void hideNavBar();

    FuelView* fView() const { return fView_.get(); }
    const FuelTrip& trip() const { return trip_; }
    bool isPolling() const { return tripTimer_ != nullptr; }
    // The trip panel's values as shown.
    std::string timeText() const;
    std::string speedText() const;
    std::string fuelText() const;
    std::string co2Text() const;

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void loadViews();
    void readSettings();
    void showTripFigures();
    void stopPolling();
    // At the trip's end and when the app goes: saves a running trip as soon as it has an average,
    // without waiting for the gauge's first minute.
    void saveTrip();
    // This screen shows, or its tab bar does (with Trends): the trip counts.
    bool tabsOnScreen() const;
    // Whether a reply of `method`'s flow makes a sample now.
    bool samples(VehicleCalc::FuelMethod method) const;

    int theme_ = 0;
    VehicleCalc::FuelSetup fuelSetup_;
    int fuelMode_ = 0;

    float speed_ = 0;
    float map_ = 0;
    float iat_ = 0;
    float rpm_ = 0;
    float maf_ = 0;
    bool hasSpeed_ = false;
    bool hasMap_ = false;
    FuelTrip trip_;

    std::string fuelUnitStr_ = "gal.";
    std::string speedUnitStr_ = "mph";
    std::string weightUnitStr_ = "lb.";
    float conversion_ = 0.621371f;

    std::shared_ptr<FuelView> fView_;
    std::shared_ptr<ui::View> detailView_;
    std::shared_ptr<ui::Label> timeLabel_, timeTitle_, speedLabel_, speedTitle_;
    std::shared_ptr<ui::Label> fuelLabel_, fuelTitle_, co2Label_, co2Title_;
    std::shared_ptr<fnd::Timer> tripTimer_;
    fnd::DelayedCall showBars_;
    PeekingBars bars_{*this, true};
    WarningAlert temperatureWarning_{"Warning"};
    std::optional<bool> shownPortrait_;  // the orientation last laid out
    fnd::NotificationCenter::Token backgroundToken_;
    fnd::NotificationCenter::Token closedToken_;
};
