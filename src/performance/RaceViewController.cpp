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
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "shell/QueuedAlertController.h"

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

void showError(const std::string& key)
{
    const auto alert = QueuedAlertController::alertControllerWithTitle(fnd::L("Error"), fnd::L(key));
    alert->addAction(fnd::L("Ok"));
    alert->show();
}

}  // namespace

RacePageViewController::RacePageViewController(std::shared_ptr<ui::View> content, long index)
    : content_(std::move(content)), index_(index)
{
}

void RacePageViewController::loadView() { setView(content_); }

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
    if (topPageViewController_) {
        topPageViewController_->setDataSource(nullptr);
        topPageViewController_->setDelegate(nullptr);
    }
    hideBarCall_.cancel();
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
            showError("Location msg2");
    } else if (status == geo::AuthorizationStatus::AuthorizedAlways ||
               status == geo::AuthorizationStatus::AuthorizedWhenInUse) {
        locationEnabled_ = true;
        manager.setDesiredAccuracy(geo::locationAccuracyBest);
        manager.setDistanceFilter(10.0);
    }
}

void RaceViewController::viewDidAppear(bool animated)
{
    TemplateViewCon::viewDidAppear(animated);
    UserData& userData = Manager::sharedManager().userData();
    Settings& settings = Manager::sharedManager().setting();
    transArr_ = userData.transmissionArr;
    rpmRedLine_ = userData.rpmRedLine;
    // Explained in an alert: the mode controls it names are where a toast would lie.
    if (settings.firstRace) {
        QueuedAlertController::showMessage("Racetrack", "Race msg2");
        settings.firstRace = false;
    }
    if (dataUnloaded_) {
        dataUnloaded_ = false;
        loadData();
    }
    if (motionManager_->isDeviceMotionAvailable()) {
        motionManager_->setDeviceMotionUpdateInterval(0.05);
        motionManager_->startDeviceMotionUpdates(
            deviceQueue_, [this](const motion::DeviceMotion& sample) { handleDeviceMotion(sample); });
        gFView_->startTimer();
    }
    const bool metric = metricSpeed();
    engine_.setUnits(RaceUnits::forMetric(metric));
    conversion2_ = engine_.units().conversion2;
    const std::string speedUnit = metric ? "km/h" : "mph";
    const float gaugeTop = metric ? 255 : 160;
    tempUnitLabel_->setText(metricTemperature() ? "°C" : "°F");
    startScanning();
    if (rGView_) {
        rGView_->speedUnitLabel().setText(speedUnit);
        rGView_->setMaxSpeed(gaugeTop);
        rGView_->setShiftLightColor(Manager::sharedManager().setting().shiftLightColor);
    } else if (gView_) {
        // The tile is bound as sensor 0 and warns by that sensor's limits.
        gView_->initData(fnd::L("Speed"), 0, gaugeTop, speedUnit, 0, 0);
        gView_->setLimits(Manager::sharedManager().userData().limits(0));
    }
    loadSelectedTrack();
    trackView_->setUnits(metric);
}

void RaceViewController::loadSelectedTrack()
{
    const RaceData& raceData = Manager::sharedManager().raceData();
    const int selected = raceData.selectedTrackIndex;
    // The index is checked: a track deleted elsewhere must not be read past the list.
    if (selected >= 0 && static_cast<std::size_t>(selected) < raceData.trackArr.size()) {
        engine_.setTrackLoaded(true);
        trackView_->setCoordinatesArr(raceData.trackArr[static_cast<std::size_t>(selected)].trackCoordinateArr);
        trackLabel_->setHidden(true);
        savedTrackShown_ = true;
    } else if (savedTrackShown_ && !engine_.recording()) {
        // "New track" was chosen: the saved outline goes and the next first lap is recorded.
        savedTrackShown_ = false;
        engine_.setTrackLoaded(false);
        trackView_->setCoordinatesArr({});
        trackLabel_->setText(fnd::L("No track"));
        trackLabel_->setHidden(false);
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
    if (rGView_) {
        if (sView_) {
            Manager& manager = Manager::sharedManager();
            sView_->setRedLine(static_cast<float>(manager.userData().rpmRedLine));
            sView_->setShiftLightColor(manager.setting().shiftLightColor);
            sView_->resetData();
        }
        rGView_->resetData();
        rGView_->startTimer();
    } else if (gView_) {
        gView_->resetData();
    }
    trackView_->resetData();
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
    for (const Response& response : responses) {
        if (response.mode != service::currentDataReply)
            continue;
        switch (response.pid) {
        case pid::vehicleSpeed: {
            const float v = finiteValue(response, unitOf(vehicleSpeedSensor));
            if (!rpmEnabled && pageIndex_ == 0 && gView_)
                gView_->setVal(v);
            if (rGView_)
                rGView_->setSpeed(v);
            if (pageIndex_ == 2)
                trackView_->updateSpeed(v);
            engine_.setSpeed(v);
            if (engine_.recording() && pageIndex_ == shiftPage)
                gearValLabel_->setText(fnd::format("%d", static_cast<int>(v)));
            break;
        }
        case pid::engineSpeed: {
            const float rpm = finiteValue(response, 1);
            engine_.setRpm(rpm);
            if (rGView_)
                rGView_->setRpm(rpm);
            if (pageIndex_ == shiftPage && sView_)
                sView_->updateRpmGauge(rpm);
            if (shiftAssist_) {
                updateGear();
                if (pageIndex_ == 0 && rGView_)
                    rGView_->setShiftLight(rpm >= static_cast<float>(rpmRedLine_ - 600));
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
    static const char* const suffixes[] = {"st", "nd", "rd", "th", "th", "th"};
    const float rpm = engine_.rpm();
    const float ratio = rpm > 0 ? engine_.speed() * conversion2_ / rpm : 0;
    if (ratio == 0 || ratio > 0.1f) {
        if (sView_)
            sView_->gearLabel().setText("N");
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
        if (sView_)
            sView_->gearLabel().setText(fnd::format("%d", gearVal_));
    } else {
        gearValLabel_->setText(fnd::format("%d", gearVal_));
        gearEndLabel_->setText(suffixes[std::clamp(gearVal_ - 1, 0, 5)]);
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
        tempValLabel_->setText(fnd::format("%d", static_cast<int>(finiteValue(response, unitOf(coolantSensor)))));
    Manager& manager = Manager::sharedManager();
    const auto warning = SensorWarning::of(response, manager.setting(), manager.userData());
    if (!warning)
        return;
    if (warning->kind == SensorWarning::Kind::speeding) {
        fnd::SystemSound::play(speedLimitSound);
        return;
    }
    // The replies come every few seconds; the sound comes with each alert shown, one at a time.
    if (temperatureWarning_.show(warning->message()))
        fnd::SystemSound::play(warningSound);
}

void RaceViewController::handleDeviceMotion(const motion::DeviceMotion& sample)
{
    const float x = motionAxis(sample.userAcceleration.x);
    const float y = motionAxis(sample.userAcceleration.y);
    const float z = motionAxis(sample.userAcceleration.z);
    if (GforceView* plot = gFView_.get())
        plot->updateData(isPortrait_ ? x : y, z);
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
    stopPageTimers();
    motionManager_->stopDeviceMotionUpdates();
    deviceQueue_->cancelAllOperations();
    TemplateViewCon::viewWillDisappear(animated);
}

void RaceViewController::stopPageTimers()
{
    if (gFView_)
        gFView_->stopTimer();
    if (trackView_)
        trackView_->stopTimer();
    if (rGView_)
        rGView_->stopTimer();
    if (sView_)
        sView_->stopTimer();
    if (gView_)
        gView_->stopTimer();
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
    readySegCon_->setSelectedSegmentIndex(0);
    // A launch must not start a run that nothing feeds.
    if (armed) {
        showArmed(false);
        showError("Connect msg2");
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
            showError("Connect msg2");
            readySegCon_->setSelectedSegmentIndex(0);
            return;
        }
        if (engine_.isTrackMode() && !locationEnabled_) {
            showError("Location msg3");
            readySegCon_->setSelectedSegmentIndex(0);
            engine_.setRaceReady(false);
            return;
        }
        engine_.setRaceReady(true);
        showArmed(true);
    } else {
        engine_.setRaceReady(false);
        if (engine_.connected())
            showArmed(false);
    }
}

void RaceViewController::showArmed(bool armed)
{
    msgLabel_->setAlpha(1);
    msgLabel_->setHidden(!armed);
    timerLabel_->setHidden(armed);
    miliSecLabel_->setHidden(armed);
}

ui::Rect RaceViewController::stopBtnFrame(bool shown) const
{
    return {0.375 * width_, shown ? -1 : -0.06 * height_, 0.25 * width_, 0.05 * height_};
}

void RaceViewController::startRecording()
{
    std::optional<geo::Location> lastKnown;
    if (locationManager_ && engine_.isTrackMode())
        lastKnown = locationManager_->location();
    if (!engine_.startRecording(lastKnown))
        return;
    clearRunFigures();
    raceModeSegCon_->setHidden(true);
    readySegCon_->setHidden(true);
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this] {
        msgLabel_->setAlpha(0);
        timerLabel_->setHidden(false);
        miliSecLabel_->setHidden(false);
        lapValLabel_->setHidden(false);
        lapLabel_->setHidden(false);
        msgLabel_->setHidden(true);
        if (!engine_.trackLoaded())
            trackLabel_->setText(fnd::L("Recording track"));
        stopBtn_->setFrame(stopBtnFrame(true));
        resultsBtn_->setFrame(stopBtnFrame(false));
    });
    if (engine_.isTrackMode() && locationManager_)
        locationManager_->startUpdatingLocation();
}

void RaceViewController::stopRecording()
{
    engine_.stopRecording();
}

void RaceViewController::raceEngineDidStop(RaceEngine&)
{
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this] {
        resultsBtn_->setFrame(stopBtnFrame(true));
        stopBtn_->setFrame(stopBtnFrame(false));
    });
    // Ready for the next run; the results stay on view until it starts.
    raceModeSegCon_->setHidden(false);
    readySegCon_->setHidden(false);
    readySegCon_->setSelectedSegmentIndex(0);
    if (locationManager_)
        locationManager_->stopUpdatingLocation();
}

void RaceViewController::resetData()
{
    if (!engine_.resetData())
        return;
    msgLabel_->setHidden(true);
    // A chosen saved track comes back; without one the outline is recorded afresh.
    trackView_->setCoordinatesArr({});
    engine_.setTrackLoaded(false);
    savedTrackShown_ = false;
    loadSelectedTrack();
    if (!engine_.trackLoaded()) {
        trackLabel_->setText(fnd::L("No track"));
        trackLabel_->setHidden(false);
    }
    clearRunFigures();
    timerLabel_->setHidden(true);
    miliSecLabel_->setHidden(true);
    lapValLabel_->setHidden(true);
    lapLabel_->setHidden(true);
    raceModeSegCon_->setHidden(false);
    readySegCon_->setHidden(false);
    readySegCon_->setSelectedSegmentIndex(0);
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this] {
        msgLabel_->setAlpha(1);
        resultsBtn_->setFrame(stopBtnFrame(false));
    });
    fnd::SystemSound::play(resetSound);
}

void RaceViewController::clearRunFigures()
{
    timerLabel_->setText("00:00");
    miliSecLabel_->setText(".0");
    bestLapValLabel_->setText("--:--.-");
    lastLapValLabel_->setText("--:--.-");
    gapValLabel_->setText(" --.-");
    gapView_->setBackgroundColor(panelBackground());
    lapValLabel_->setText("1");
}

// Engine reports.

void RaceViewController::raceEngineDidTick(RaceEngine& engine)
{
    timerLabel_->setText(engine.timerText());
    miliSecLabel_->setText(engine.tenthsText());
    if (std::fmod(engine.runTicks(), 2.0f) == 0)
        hpValLabel_->setText(fnd::format("%d", static_cast<int>(engine.hp())));
}

void RaceViewController::raceEngineDidMove(RaceEngine&, const geo::Location& location)
{
    trackView_->setCurrentLocation(location);
}

void RaceViewController::raceEngineDidMeasureGap(RaceEngine&, const GapReading& gap)
{
    gapValLabel_->setText(gap.text);
    if (gap.background)
        gapView_->setBackgroundColor(*gap.background);
}

void RaceViewController::raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>& outline)
{
    trackView_->setCoordinatesArr(outline);
    trackLabel_->setHidden(true);
}

void RaceViewController::raceEngineDidCompleteLap(RaceEngine& engine, const Lap& lap, bool best)
{
    const std::string text = lap.lapTimeString();
    if (best)
        bestLapValLabel_->setText(text);
    lastLapValLabel_->setText(text);
    lapValLabel_->setText(fnd::format("%d", engine.lapCount()));
}

void RaceViewController::locationManagerDidUpdateLocations(geo::LocationManager&,
                                                           const std::vector<geo::Location>& locations)
{
    engine_.locationUpdate(locations);
}
