#include "performance/RaceViewController.h"

#include <cmath>

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "core/model/RaceData.h"
#include "core/model/SensorWarning.h"
#include "core/model/VehicleCalc.h"
#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/TrackView.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Label.h"

namespace {

constexpr int shiftPage = 3;

float finiteValue(const Response& response, int unitMode)
{
    return VehicleCalc::finiteOrZero(ECU::valueOf(response, unitMode));
}

int unitOf(int sensor)
{
    const std::vector<int>& units = Manager::sharedManager().userData().unitsArr;
    return static_cast<std::size_t>(sensor) < units.size() ? units[static_cast<std::size_t>(sensor)] : 1;
}

}  // namespace

RaceViewController::RaceViewController()
    : motionManager_(std::make_shared<motion::MotionManager>()),
      deviceQueue_(std::make_shared<fnd::OperationQueue>("race motion"))
{
    const Settings& settings = Manager::sharedManager().setting();
    engine_.setHpMode(settings.hpMode);
    engine_.setDelegate(this);
    dropObserver_ = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [this](const fnd::Notification&) { linkDropped(); });
}

RaceViewController::~RaceViewController()
{
    motionManager_->stopDeviceMotionUpdates();
    deviceQueue_->cancelAllOperations();
    deviceQueue_->waitUntilAllOperationsAreFinished();
    engine_.setDelegate(nullptr);
    if (locationManager_)
        locationManager_->setDelegate(nullptr);
}

bool RaceViewController::metricSpeed() const { return unitOf(vehicleSpeedSensor) != 0; }
bool RaceViewController::metricTemperature() const { return unitOf(coolantSensor) != 0; }

void RaceViewController::viewWillAppear(bool animated)
{
    TemplateViewCon::viewWillAppear(animated);
    if (locationManager_)
        locationManager_->setDelegate(nullptr);
    locationManager_ = std::make_unique<geo::LocationManager>();
    locationManager_->setDelegate(this);
    if (geo::LocationManager::authorizationStatus() == geo::AuthorizationStatus::NotDetermined) {
        locationServicesDetermined_ = false;
        locationManager_->requestWhenInUseAuthorization();
        locationManager_->requestAlwaysAuthorization();
    } else {
        locationServicesDetermined_ = true;
    }
}

void RaceViewController::locationManagerDidChangeAuthorizationStatus(geo::LocationManager& manager,
                                                                     geo::AuthorizationStatus status)
{
    if (status == geo::AuthorizationStatus::Denied) {
        if (!locationServicesDetermined_)
            RaceMenus::showError("Location msg2");
    } else if (status == geo::AuthorizationStatus::AuthorizedAlways ||
               status == geo::AuthorizationStatus::AuthorizedWhenInUse) {
        locationEnabled_ = true;
        manager.setDesiredAccuracy(geo::locationAccuracyBest);
        manager.setDistanceFilter(10.0);
        if (const auto lastKnown = manager.location())
            engine_.setCurrentLocation(*lastKnown);
    }
}

void RaceViewController::viewDidAppear(bool animated)
{
    TemplateViewCon::viewDidAppear(animated);
    UserData& userData = Manager::sharedManager().userData();
    Settings& settings = Manager::sharedManager().setting();
    transArr_ = userData.transmissionArr;
    rpmRedLine_ = userData.rpmRedLine;
    if (settings.firstRace) {
        menus_->explainFirstRace();
        settings.firstRace = false;
    }
    if (motionManager_->isDeviceMotionAvailable()) {
        motionManager_->setDeviceMotionUpdateInterval(0.05);
        motionManager_->startDeviceMotionUpdates(
            deviceQueue_, [this](const motion::DeviceMotion& sample) { handleDeviceMotion(sample); });
        panels_->gforceView().startTimer();
    }
    const bool metric = metricSpeed();
    engine_.setUnits(RaceUnits::forMetric(metric));
    conversion2_ = engine_.units().conversion2;
    const std::string speedUnit = metric ? "km/h" : "mph";
    const float gaugeTop = metric ? 255 : 160;
    panels_->showTemperatureUnit(metricTemperature());
    startScanning();
    if (RaceGaugeView* gauge = panels_->raceGauge()) {
        gauge->speedUnitLabel().setText(speedUnit);
        gauge->setMaxSpeed(gaugeTop);
        gauge->setShiftLightColor(Manager::sharedManager().setting().shiftLightColor);
    } else if (GaugeView2* tile = panels_->gaugeTile()) {
        // The tile is bound as sensor 0 and warns by that sensor's limits.
        tile->initData(fnd::L("Speed"), 0, gaugeTop, speedUnit, 0, 0);
        tile->setLimits(Manager::sharedManager().userData().limits(0));
    }
    loadSelectedTrack();
    panels_->trackView().setUnits(metric);
}

void RaceViewController::loadSelectedTrack()
{
    const RaceData& raceData = Manager::sharedManager().raceData();
    const int selected = raceData.selectedTrackIndex;
    // The index is checked: a track deleted elsewhere must not be read past the list.
    if (selected >= 0 && static_cast<std::size_t>(selected) < raceData.trackArr.size()) {
        engine_.setTrackLoaded(true);
        panels_->showTrack(raceData.trackArr[static_cast<std::size_t>(selected)].trackCoordinateArr);
        savedTrackShown_ = true;
    } else if (savedTrackShown_ && !engine_.recording()) {
        // "New track" was chosen: the saved outline goes and the next first lap is recorded.
        savedTrackShown_ = false;
        engine_.setTrackLoaded(false);
        panels_->showNoTrack();
    }
}

void RaceViewController::startScanning()
{
    const auto link = scanner();
    if (!link || !link->isConnected() || !isViewLoaded())
        return;
    engine_.setConnected(true);
    takeLink();
    sendCommands();
    if (RaceGaugeView* gauge = panels_->raceGauge()) {
        if (ShiftView* shift = panels_->shiftView()) {
            Manager& manager = Manager::sharedManager();
            shift->setRedLine(static_cast<float>(manager.userData().rpmRedLine));
            shift->setShiftLightColor(manager.setting().shiftLightColor);
            shift->resetData();
        }
        gauge->resetData();
        gauge->startTimer();
    } else if (GaugeView2* tile = panels_->gaugeTile()) {
        tile->resetData();
    }
    panels_->trackView().resetData();
}

void RaceViewController::sendCommands()
{
    const auto link = scanner();
    if (!link)
        return;
    const Settings& settings = Manager::sharedManager().setting();
    std::vector<Command> commands{link->commandForOBD2(service::currentData, pid::vehicleSpeed, pid::none)};
    if (settings.rpmEnabled)
        commands.push_back(link->commandForOBD2(service::currentData, pid::engineSpeed, pid::none));
    if (settings.hpMode == 0)
        commands.push_back(link->commandForOBD2(service::currentData, pid::airFlow, pid::none));
    else if (settings.hpMode == 1)
        commands.push_back(link->commandForOBD2(service::currentData, pid::referenceTorque, pid::none));
    link->setInitCommands(std::move(commands), true);
}

void RaceViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    const bool rpmEnabled = Manager::sharedManager().setting().rpmEnabled;
    RaceGaugeView* gauge = panels_->raceGauge();
    GaugeView2* tile = panels_->gaugeTile();
    ShiftView* shift = panels_->shiftView();
    for (const Response& response : responses) {
        if (response.mode != service::currentDataReply)
            continue;
        switch (response.pid) {
        case pid::vehicleSpeed: {
            const float v = finiteValue(response, unitOf(vehicleSpeedSensor));
            if (!rpmEnabled && pageIndex_ == 0 && tile)
                tile->setVal(v);
            if (gauge)
                gauge->setSpeed(v);
            if (pageIndex_ == 2)
                panels_->trackView().updateSpeed(v);
            engine_.setSpeed(v);
            if (engine_.recording() && pageIndex_ == shiftPage)
                panels_->showSpeedInGearPanel(static_cast<int>(v));
            break;
        }
        case pid::engineSpeed: {
            const float rpm = finiteValue(response, 1);
            engine_.setRpm(rpm);
            if (gauge)
                gauge->setRpm(rpm);
            if (pageIndex_ == shiftPage && shift)
                shift->updateRpmGauge(rpm);
            // The shift bar page comes with shift assist.
            if (shift) {
                updateGear();
                if (pageIndex_ == 0 && gauge)
                    gauge->setShiftLight(rpm >= static_cast<float>(rpmRedLine_ - 600));
            }
            break;
        }
        // Horsepower takes metric inputs (g/s, N*m) whatever the user's units.
        case pid::airFlow:
            engine_.setAirFlow(finiteValue(response, 1));
            break;
        case pid::referenceTorque:
            engine_.setTorque(finiteValue(response, 1));
            break;
        default:
            break;
        }
    }
}

void RaceViewController::updateGear()
{
    ShiftView* shift = panels_->shiftView();
    const float rpm = engine_.rpm();
    const float ratio = rpm > 0 ? engine_.speed() * conversion2_ / rpm : 0;
    if (ratio == 0 || ratio > 0.1f) {
        if (shift)
            shift->gearLabel().setText("N");
        return;
    }
    float tolerance = 0.003f;
    for (std::size_t i = 0; i < transArr_.size(); ++i) {
        const float distance = std::abs(ratio - transArr_[i]);
        if (distance < tolerance) {
            gearVal_ = static_cast<int>(i) + 1;
            tolerance = distance;
        }
    }
    if (pageIndex_ == shiftPage) {
        if (shift)
            shift->gearLabel().setText(fnd::format("%d", gearVal_));
    } else {
        panels_->showGear(gearVal_);
    }
}

void RaceViewController::scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>& responses)
{
    for (const Response& response : responses)
        checkSensor(response);
}

void RaceViewController::checkSensor(const Response& response)
{
    if (response.mode == service::currentDataReply && response.pid == pid::coolantTemperature)
        panels_->showTemperature(static_cast<int>(finiteValue(response, unitOf(coolantSensor))));
    Manager& manager = Manager::sharedManager();
    const auto warning = SensorWarning::of(response, manager.setting(), manager.userData());
    if (!warning)
        return;
    if (warning->kind == SensorWarning::Kind::speeding) {
        fnd::SystemSound::play(speedLimitSound);
        return;
    }
    // The replies come every few seconds; the sound comes with each alert shown, one at a time.
    if (menus_->warnTemperature(warning->message()))
        fnd::SystemSound::play(warningSound);
}

void RaceViewController::handleDeviceMotion(const motion::DeviceMotion& sample)
{
    const float x = motionAxis(sample.userAcceleration.x);
    const float y = motionAxis(sample.userAcceleration.y);
    const float z = motionAxis(sample.userAcceleration.z);
    panels_->gforceView().updateData(isPortrait_ ? x : y, z);
    if (engine_.motionSample(x, y, z)) {
        const std::weak_ptr<ui::ViewController> self = weak_from_this();
        fnd::DispatchQueue::main().async([self, this] {
            if (self.lock())
                startRecording();
        });
    }
}

void RaceViewController::viewWillDisappear(bool animated)
{
    releaseLink();
    panels_->stopTimers();
    motionManager_->stopDeviceMotionUpdates();
    deviceQueue_->cancelAllOperations();
    TemplateViewCon::viewWillDisappear(animated);
}

void RaceViewController::viewDidDisappear(bool animated)
{
    // A run is lost when the user leaves the screen.
    if (engine_.recording()) {
        stopRecording();
        resetData();
    }
    TemplateViewCon::viewDidDisappear(animated);
}

void RaceViewController::linkDropped()
{
    const bool armed = engine_.raceReady();
    if (!armed && !engine_.recording())
        return;
    engine_.linkDropped();
    menus_->showNotReady();
    // A launch must not start a run that nothing feeds.
    if (armed) {
        panels_->showArmed(false);
        RaceMenus::showError("Connect msg2");
    }
}

// Timing actions.

void RaceViewController::toggleDragTrack(int segment) { engine_.setTrackMode(segment != 0); }

void RaceViewController::toggleRacing(int segment)
{
    if (segment == 1) {
        // Arming needs a link that is connected now, not one that once was.
        const auto link = scanner();
        engine_.setConnected(link && link->isConnected());
        if (!engine_.connected()) {
            engine_.setRaceReady(false);
            RaceMenus::showError("Connect msg2");
            menus_->showNotReady();
            return;
        }
        if (engine_.isTrackMode() && !locationEnabled_) {
            RaceMenus::showError("Location msg3");
            menus_->showNotReady();
            engine_.setRaceReady(false);
            return;
        }
        engine_.setRaceReady(true);
        panels_->showArmed(true);
    } else {
        engine_.setRaceReady(false);
        if (engine_.connected())
            panels_->showArmed(false);
    }
}

void RaceViewController::startRecording()
{
    std::optional<geo::Location> lastKnown;
    if (locationManager_ && engine_.isTrackMode())
        lastKnown = locationManager_->location();
    if (!engine_.startRecording(lastKnown))
        return;
    panels_->showRunStarted(engine_.trackLoaded());
    menus_->showSelectors(false);
    if (engine_.isTrackMode() && locationManager_)
        locationManager_->startUpdatingLocation();
}

void RaceViewController::stopRecording()
{
    engine_.stopRecording();
}

void RaceViewController::raceEngineDidStop(RaceEngine&)
{
    // The mode and ready selectors stay hidden until "Reset data" clears the run for the next one.
    panels_->showRunStopped();
    if (locationManager_)
        locationManager_->stopUpdatingLocation();
}

void RaceViewController::resetData()
{
    if (!engine_.resetData())
        return;
    // A chosen saved track comes back; without one the outline is recorded afresh.
    engine_.setTrackLoaded(false);
    savedTrackShown_ = false;
    loadSelectedTrack();
    if (!engine_.trackLoaded())
        panels_->showNoTrack();
    panels_->showReset();
    menus_->showSelectors(true);
    menus_->showNotReady();
    fnd::SystemSound::play(resetSound);
}

// Engine reports.

void RaceViewController::raceEngineDidTick(RaceEngine& engine)
{
    panels_->showTime(engine.timerText(), engine.tenthsText());
    if (std::fmod(engine.runTicks(), 2.0f) == 0)
        panels_->showHorsepower(static_cast<int>(engine.hp()));
}

void RaceViewController::raceEngineDidMove(RaceEngine&, const geo::Location& location)
{
    panels_->trackView().setCurrentLocation(location);
}

void RaceViewController::raceEngineDidMeasureGap(RaceEngine&, const GapReading& gap)
{
    panels_->showGap(gap);
}

void RaceViewController::raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>& outline)
{
    panels_->showTrack(outline);
}

void RaceViewController::raceEngineDidCompleteLap(RaceEngine& engine, const Lap& lap, bool best)
{
    panels_->showLap(lap.lapTimeString(), best, engine.lapCount());
}

void RaceViewController::locationManagerDidUpdateLocations(geo::LocationManager&,
                                                           const std::vector<geo::Location>& locations)
{
    engine_.locationUpdate(locations);
}
