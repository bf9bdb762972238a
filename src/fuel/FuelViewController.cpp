#include "fuel/FuelViewController.h"

#include <cmath>

#include "core/Notifications.h"
#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/model/Manager.h"
#include "core/model/MethodClass.h"
#include "core/model/SensorWarning.h"
#include "fuel/FuelTrends.h"
#include "fuel/FuelView.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Label.h"
#include "platform/ui/TabBarController.h"

FuelViewController::FuelViewController()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    backgroundToken_ =
        center.addObserver(enteredBackgroundNotification, [this](const fnd::Notification&) { saveTrip(); });
    closedToken_ = center.addObserver(appClosedNotification, [this](const fnd::Notification&) { saveTrip(); });
}

FuelViewController::~FuelViewController()
{
    showBars_.cancel();
    stopPolling();
}

void FuelViewController::readSettings()
{
    // Read at every appearance: the settings screen may have changed them since.
    fuelSetup_ = VehicleCalc::FuelSetup::fromSettings(Manager::sharedManager().setting());
    if (fView_)
        fView_->setFuelConstants(fuelSetup_.constants);
}

void FuelViewController::startScanning()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    loadViewIfNeeded();
    // Taken out of the data store, so that nothing comes back at the next start.
    const FuelTally::Handover handover = fView_->takeOverShared();
    trip_.addBackground(static_cast<float>(handover.elapsedSeconds), handover.distanceKm);
    hasSpeed_ = false;
    hasMap_ = false;
    takeLink();
    sendCommands();
    fView_->startTimer();
    fView_->resetGauge();
    if (tripTimer_)
        tripTimer_->invalidate();
    tripTimer_ = fnd::Timer::scheduled(tripInterval, true, [this](fnd::Timer&) { updateTime(); });
}

void FuelViewController::sendCommands()
{
    const auto link = scanner();
    if (!link)
        return;
    std::vector<Command> commands;
    for (const int input : VehicleCalc::fuelPids(fuelSetup_.method))
        commands.push_back(link->commandForOBD2(service::currentData, input, pid::none));
    commands.push_back(link->commandForOBD2(service::currentData, pid::fuelLevel, pid::none));
    link->setInitCommands(std::move(commands), true);
}

void FuelViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    if (!fView_)
        return;
    for (const Response& response : responses) {
        if (response.mode != service::currentDataReply)
            continue;
        const float value = ECU::valueOf(response, 1);
        // A sample waits for the inputs it is made of, and replies to another method's requests (still in
        // flight when this screen took the link) make none.
        switch (response.pid) {
        case pid::vehicleSpeed:
            fView_->setSpeed(value);
            speed_ = value;
            hasSpeed_ = true;
            break;
        case pid::manifoldPressure:
            map_ = value;
            hasMap_ = true;
            break;
        case pid::intakeTemperature:
            iat_ = value;
            break;
        case pid::engineSpeed:
            if (response.data.size() < 2 || !samples(VehicleCalc::FuelMethod::speedDensity) || !hasMap_)
                break;
            rpm_ = value;
            maf_ = VehicleCalc::speedDensityAirFlow(rpm_, map_, iat_, fuelSetup_.engineLitres);
            fView_->setMAF(maf_);
            break;
        case pid::airFlow:
            if (samples(VehicleCalc::FuelMethod::airFlow))
                fView_->setMAF(value);
            break;
        case pid::fuelLevel:
            fView_->setFuel(value);
            break;
        case pid::fuelRate:
            if (samples(VehicleCalc::FuelMethod::fuelRate))
                fView_->setFuelRate(value);
            break;
        default:
            break;
        }
    }
}

bool FuelViewController::samples(VehicleCalc::FuelMethod method) const
{
    return fuelSetup_.method == method && hasSpeed_;
}

void FuelViewController::updateTime()
{
    const auto link = scanner();
    if (!link || !link->isConnected() || !holdsLink()) {
        // No replies come any more: the trip would go on adding distance at the last speed.
        saveTrip();
        stopPolling();
        return;
    }
    if (!tabsOnScreen()) {
        // The fuel tabs left the screen while Trends was shown.
        saveTrip();
        releaseLink();
        stopPolling();
        return;
    }
    if (trip_.tick(speed_))
        showTripFigures();
    if (static_cast<long>(trip_.ticks()) % saveInterval == 0 && fView_->hasData())
        saveData();
    timeLabel_->setText(trip_.timeText());
}

void FuelViewController::showTripFigures()
{
    speedLabel_->setText(fnd::format("%d %s", static_cast<int>(trip_.meanSpeed() * conversion_), speedUnitStr_));
    const auto fuel = FuelTrip::fuelUsed(trip_.distance(), fView_->totalAverage(), fuelMode_);
    if (!fuel)
        return;
    fuelLabel_->setText(fnd::format("%.1f %s", *fuel, fuelUnitStr_));
    co2Label_->setText(fnd::format("%.1f %s", FuelTrip::co2(*fuel, fuelMode_), weightUnitStr_));
}

void FuelViewController::saveData()
{
    if (!fView_)
        return;
    const std::string day = fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Date::now());
    const float tripMpg = MethodClass::convertToMPG(fView_->calculateAverage());
    const Settings& settings = Manager::sharedManager().setting();
    if (trip_.saveDay(Manager::sharedManager().fuelData(), day, tripMpg, settings.fuelCost, settings.fuelUnitsMode)) {
        Manager::sharedManager().saveChanges();
        fnd::NotificationCenter::defaultCenter().post(fuelLogSavedNotification, this);
    }
}

void FuelViewController::saveTrip()
{
    if (isPolling() && fView_ && fView_->averages().tripMean())
        saveData();
}

void FuelViewController::resetData()
{
    saveTrip();
    const auto link = scanner();
    if (fView_)
        fView_->resetData(link && link->isConnected());
    trip_.reset();
    if (co2Label_) {
        co2Label_->setText("0 " + weightUnitStr_);
        speedLabel_->setText("0 " + speedUnitStr_);
        fuelLabel_->setText("0 " + fuelUnitStr_);
        timeLabel_->setText("00:00:00");
    }
    fnd::SystemSound::play(resetSound);
}

void FuelViewController::stopPolling()
{
    if (fView_)
        fView_->stopTimer();
    if (tripTimer_)
        tripTimer_->invalidate();
    tripTimer_.reset();
}

void FuelViewController::scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>& responses)
{
    for (const Response& response : responses)
        checkSensor(response);
}

void FuelViewController::checkSensor(const Response& response)
{
    Manager& manager = Manager::sharedManager();
    const auto warning = SensorWarning::of(response, manager.setting(), manager.userData());
    // The replies come every few seconds; the sound comes with each alert shown, one at a time.
    if (warning && (warning->kind == SensorWarning::Kind::speeding || temperatureWarning_.show(warning->message())))
        fnd::SystemSound::play(warningSound);
}

void FuelViewController::viewDidAppear(bool animated)
{
    TemplateViewCon::viewDidAppear(animated);
    readSettings();
    // Back from Trends the trip has kept counting: it goes on as it is.
    if (!isPolling())
        startScanning();
    fuelMode_ = Manager::sharedManager().setting().fuelUnitsMode;
    const bool metric = fuelMode_ == 1 || fuelMode_ == 2;
    fuelUnitStr_ = metric ? "lit." : "gal.";
    speedUnitStr_ = metric ? "km/h" : "mph";
    weightUnitStr_ = metric ? "kg" : "lb.";
    conversion_ = metric ? 1.0f : 0.621371f;
    fView_->updateMetric(fuelMode_);
}

void FuelViewController::viewWillDisappear(bool animated)
{
    TemplateViewCon::viewWillDisappear(animated);
    saveTrip();
    // While the tab bar shows Trends the car is still driven: the trip keeps counting.
    if (!tabsOnScreen()) {
        releaseLink();
        stopPolling();
    }
    showBars_.cancel();
    bars_.cancel();
    // Back on its side, the screen shows its bars for a moment again, as after a turn.
    shownPortrait_.reset();
}

bool FuelViewController::tabsOnScreen() const
{
    if (isVisible() || isAppearing())
        return true;
    const ui::TabBarController* tabs = tabBarController();
    return tabs && (tabs->isVisible() || tabs->isAppearing());
}

std::string FuelViewController::timeText() const { return timeLabel_ ? timeLabel_->text() : ""; }
std::string FuelViewController::speedText() const { return speedLabel_ ? speedLabel_->text() : ""; }
std::string FuelViewController::fuelText() const { return fuelLabel_ ? fuelLabel_->text() : ""; }
std::string FuelViewController::co2Text() const { return co2Label_ ? co2Label_->text() : ""; }
