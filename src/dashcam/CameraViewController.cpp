#include "dashcam/CameraViewController.h"

#include <algorithm>
#include <system_error>

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/CameraInfoPanel.h"
#include "dashcam/CameraOverlayLayout.h"
#include "dashcam/CameraRaceMode.h"
#include "dashcam/CameraScreenGeometry.h"
#include "dashcam/CameraTileRow.h"
#include "dashcam/CompassView.h"
#include "dashcam/GfxUIElement.h"
#include "dashcam/PictureTextView.h"
#include "imaging/GfxAlphaBlendFilter.h"
#include "imaging/GfxBrightnessFilter.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "performance/GforceView.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/media/AudioSession.h"
#include "platform/media/MediaModule.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "shell/QueuedAlertController.h"
#include "shell/VersionTracking.h"

namespace {

struct Resolution {
    std::string_view preset;
    ui::Size size;
};

Resolution resolutionFor(int recordMode)
{
    switch (recordMode) {
    case 0:
        return {media::CaptureSessionPreset352x288, {352, 288}};
    case 1:
        return {media::CaptureSessionPreset640x480, {640, 480}};
    case 2:
        return {media::CaptureSessionPreset1280x720, {1280, 720}};
    case 3:
        return {media::CaptureSessionPreset1920x1080, {1920, 1080}};
    default:
        return {media::CaptureSessionPreset3840x2160, {3840, 2160}};
    }
}

// The short and the long side of the screen.
struct Sides {
    double s, l;
};

Sides screenSides()
{
    const ui::Size size = ui::Device::current().screenSize();
    return {std::min(size.width, size.height), std::max(size.width, size.height)};
}

}  // namespace

CameraViewController::CameraViewController()
    : pathToMovie_(fnd::Paths::documents() / "Movie.m4v"), pendingMovie_(pathToMovie_)
{
    modifiedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        gaugeModifiedNotification, [this](const fnd::Notification&) { firstLaunch_ = true; });
    backgroundToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        enteredBackgroundNotification, [this](const fnd::Notification&) { stopRecordingForTheApp(false); });
    closedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        appClosedNotification, [this](const fnd::Notification&) { stopRecordingForTheApp(true); });
}

void CameraViewController::stopRecordingForTheApp(bool quitting)
{
    if (recording_) {
        stopRecording();
        if (buttonView_)
            buttonView_->setRecording(false);
    }
    // At the end of the run the movie is finished and copied, and the copies begun at launch are done with,
    // before the program goes: else a movie in the album would stay pending, to be copied again.
    const auto copied = [this] { return !isFinishingMovie() && asideCopies_ == 0; };
    if (quitting && !copied())
        fnd::RunLoop::main().runUntil(copied, 10.0);
}

CameraViewController::~CameraViewController()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(modifiedToken_);
    fnd::NotificationCenter::defaultCenter().removeObserver(backgroundToken_);
    fnd::NotificationCenter::defaultCenter().removeObserver(closedToken_);
    if (locationManager_)
        locationManager_->setDelegate(nullptr);
    if (clockTimer_)
        clockTimer_->invalidate();
    if (counterTimer_)
        counterTimer_->invalidate();
    if (filter_)
        filter_->setFrameProcessingCompletionBlock({});
    motionManager_.stopDeviceMotionUpdates();
    if (captureDevice_)
        captureDevice_->stopCameraCapture();
}

unsigned CameraViewController::supportedInterfaceOrientations() const
{
    return ui::orientationmask::LandscapeRight;
}

void CameraViewController::loadView()
{
    const Sides sides = screenSides();
    gpuImgView_ = std::make_shared<GfxView>(ui::makeRect(0, 0, sides.l, sides.s));
    setView(gpuImgView_);
}

void CameraViewController::viewDidLoad()
{
    buildOverlay(Manager::sharedManager().setting());
    buildControls();
    buildPipeline();
    addGestures();
}

void CameraViewController::saveMoviesLeftToAlbum()
{
    keepLeftMovie();
    offerMoviesSetAside();
}

CameraViewController::OverlayChoice CameraViewController::overlayChoice(const Settings& settings)
{
    const auto first = std::min(settings.sensors.size(), std::size_t{CameraLiveData::firstSlotEntry});
    const auto last = std::min(settings.sensors.size(), first + CameraLiveData::maxTiles);
    return {settings.camGaugeCount,
            settings.recordMode,
            settings.is30Framerate,
            settings.gMeterEnabled,
            settings.isRaceMode,
            settings.gpsEnabled,
            settings.displayTimeEnabled,
            settings.compassEnabled,
            {settings.sensors.begin() + static_cast<std::ptrdiff_t>(first),
             settings.sensors.begin() + static_cast<std::ptrdiff_t>(last)}};
}

bool CameraViewController::overlayOutdated(const Settings& settings) const
{
    return overlayChoice(settings) != builtFor_;
}

void CameraViewController::buildOverlay(const Settings& settings)
{
    const Sides sides = screenSides();
    const CameraOverlayLayout layout(sides.s, sides.l, ui::Device::current().safeAreaInsets().bottom > 0);
    // Made upright, as the overlay renderer takes its geometry from it; then laid out in landscape.
    overlayView_ = std::make_shared<ui::View>(ui::makeRect(0, 0, sides.s, sides.l));
    overlayView_->setBackgroundColor(ui::Color::clear());
    uiElementInput_ = std::make_shared<GfxUIElement>(overlayView_);
    overlayView_->setFrame(layout.overlay());
    buildOverlayContents(settings);
}

void CameraViewController::removeOverlayContents()
{
    for (const auto& tile : gaugeArr_)
        tile->removeFromSuperview();
    gaugeArr_.clear();
    const auto remove = [](const auto& view) {
        if (view)
            view->removeFromSuperview();
    };
    remove(gFView_);
    remove(cView_);
    remove(coordinatesLabel_);
    remove(timeLabel_);
    remove(panelShade_);
    OverlayCanvas& canvas = uiElementInput_->canvas();
    canvas.bgImage = {};
    canvas.needleImageArray.clear();
    canvas.valArray.clear();
    canvas.gForceEnabled = false;
    needleArray_.clear();
    needleImageArray_.clear();
}

void CameraViewController::buildOverlayContents(const Settings& settings)
{
    removeOverlayContents();
    facesTaken_ = false;
    builtFor_ = overlayChoice(settings);
    recordMode_ = settings.recordMode;
    is30Frames_ = settings.is30Framerate;
    gForceEnabled_ = settings.gMeterEnabled;
    const Sides sides = screenSides();
    const CameraOverlayLayout layout(sides.s, sides.l, ui::Device::current().safeAreaInsets().bottom > 0);
    const int tiles =
        CameraLiveData::gaugeTileCount(settings.camGaugeCount, recordMode_, gForceEnabled_, settings.isRaceMode);
    CameraTileRow row = CameraTileRow::add(*overlayView_, layout, tiles, gForceEnabled_);
    gaugeArr_ = std::move(row.gauges);
    gFView_ = std::move(row.gForce);
    gaugeValArray_.assign(gaugeArr_.size(), "00");
    if (settings.isRaceMode && !race_)
        race_ = std::make_unique<CameraRaceMode>(*overlayView_, *gpuImgView_, sides.s, sides.l);
    if (!settings.isRaceMode && race_) {
        race_.reset();
        uiElementInput_->canvas().trackImage = {};
    }
    CameraInfoPanel panel = CameraInfoPanel::add(*overlayView_, layout, settings.gpsEnabled, settings.compassEnabled,
                                                 settings.displayTimeEnabled);
    coordinatesLabel_ = std::move(panel.coordinates);
    cView_ = std::move(panel.compass);
    timeLabel_ = std::move(panel.clock);
    panelShade_ = std::move(panel.shade);
}

void CameraViewController::buildPipeline()
{
    makeCamera();
    filter_ = std::make_shared<GfxBrightnessFilter>();
    filter_->setBrightness(0.0);
    blendFilter_ = std::make_shared<GfxAlphaBlendFilter>();
    blendFilter_->setMix(1.0);
    filter_->setFrameProcessingCompletionBlock([this](GfxOutput&, media::MediaTime) { overlayUpdate(); });
    wirePipeline();
}

void CameraViewController::makeCamera()
{
    if (captureDevice_)
        captureDevice_->stopCameraCapture();
    captureDevice_.reset();
    if (unavailableLabel_)
        unavailableLabel_->removeFromSuperview();
    unavailableLabel_.reset();
    cameraUnreadable_ = false;
    // Without the media module a camera would deliver no picture and a movie could not be written.
    std::string why;
    if (!media::isAvailable(&why)) {
        showUnavailable(fnd::format(fnd::L("Recording unavailable msg").c_str(), why.c_str()));
        return;
    }
    captureDevice_ = GfxVideoCamera::create(resolutionFor(recordMode_).preset);
    if (!captureDevice_) {
        showUnavailable("No camera found");
        return;
    }
    const auto weak = weak_from_this();
    captureDevice_->captureSession()->setRuntimeErrorHandler(
        [weak, this](media::MediaType type, const std::string& error) {
            if (!weak.expired())
                captureFailed(type, error);
        });
}

void CameraViewController::captureFailed(media::MediaType type, const std::string& error)
{
    if (type == media::MediaType::Audio) {
        QueuedAlertController::showMessage("Error", "Mic msg");
        return;
    }
    // Nothing is recorded from a camera that gives no picture.
    cameraUnreadable_ = true;
    if (recording_) {
        stopRecording();
        buttonView_->setRecording(false);
    }
    showUnavailable(fnd::format(fnd::L("Camera unreadable msg").c_str(), error.c_str()));
}

void CameraViewController::showUnavailable(const std::string& message)
{
    if (unavailableLabel_)
        unavailableLabel_->removeFromSuperview();
    // The screen says why it shows no picture instead of staying black; placed as the layout places it,
    // since a camera can fail long after the screen was laid out.
    unavailableLabel_ = std::make_shared<ui::Label>(camerascreen::middleLines(ui::Device::current().screenSize()));
    unavailableLabel_->setTextAlignment(ui::TextAlignment::Center);
    unavailableLabel_->setTextColor(ui::Color::white(0.85));
    unavailableLabel_->setNumberOfLines(0);
    unavailableLabel_->setAdjustsFontSizeToFitWidth(true);
    unavailableLabel_->setText(message);
    gpuImgView_->addSubview(unavailableLabel_);
}

void CameraViewController::keepLeftMovie()
{
    // A movie left pending (an earlier run cut short, a recording whose writing failed, a copy that
    // failed) goes to the album before anything new is recorded over it; one without a frame is dropped.
    if (!pendingMovie_.isLeft()) {
        pendingMovie_.settle();
        return;
    }
    savingLeftMovie_ = true;
    const auto weak = weak_from_this();
    pendingMovie_.hasFrames([weak, this](std::optional<bool> frames) {
        if (weak.expired())
            return;
        // Without the media module nobody can tell whether it holds a picture: it waits, pending, for a run
        // that can.
        if (!frames || !*frames) {
            if (frames)
                pendingMovie_.discard();
            savingLeftMovie_ = false;
            return;
        }
        pendingMovie_.saveToAlbum([weak, this](bool saved, const std::string& error) {
            if (weak.expired())
                return;
            savingLeftMovie_ = false;
            albumCopyDone(saved, error);
        });
    });
}

bool CameraViewController::setLeftMovieAside()
{
    std::string error;
    const auto aside = pendingMovie_.moveAside(error);
    if (!aside) {
        QueuedAlertController::showMessage("Error", fnd::format(fnd::L("Movie not moved msg").c_str(), error));
        return false;
    }
    QueuedAlertController::showMessage(
        "Attention", fnd::format(fnd::L("Movie set aside msg").c_str(), aside->movie().filename().string()));
    return true;
}

void CameraViewController::offerMoviesSetAside()
{
    const auto weak = weak_from_this();
    for (const PendingMovie& aside : pendingMovie_.movedAside()) {
        ++asideCopies_;
        aside.moveToAlbum([weak, this](bool saved, const std::string& error) {
            if (weak.expired())
                return;
            --asideCopies_;
            albumCopyDone(saved, error);
        });
    }
}

void CameraViewController::albumCopyDone(bool saved, const std::string& error)
{
    if (saved)
        ++moviesSaved_;
    else
        QueuedAlertController::showMessage("Error", fnd::format(fnd::L("Movie not saved msg").c_str(), error));
}

ui::Size CameraViewController::pictureSize() const { return resolutionFor(recordMode_).size; }

void CameraViewController::wirePipeline()
{
    if (captureDevice_) {
        captureDevice_->removeAllTargets();
        captureDevice_->addTarget(filter_);
    }
    filter_->removeAllTargets();
    uiElementInput_->removeAllTargets();
    blendFilter_->removeAllTargets();
    filter_->addTarget(blendFilter_);
    uiElementInput_->addTarget(blendFilter_);
    blendFilter_->addTarget(gpuImgView_);
    // Re-wiring during a recording keeps the writer attached.
    if (movieWriter_)
        blendFilter_->addTarget(movieWriter_);
    uiElementInput_->update();
}

void CameraViewController::viewWillAppear(bool animated)
{
    TemplateViewCon::viewWillAppear(animated);
    takeLink();
    const Settings& settings = Manager::sharedManager().setting();
    const bool outdated = overlayOutdated(settings);
    if (firstLaunch_ || outdated) {
        firstLaunch_ = false;
        // The tiles of an earlier appearance gave their faces to the overlay and hid them: new ones are made.
        const int shownMode = recordMode_;
        if (facesTaken_ || outdated)
            buildOverlayContents(settings);
        if (recordMode_ != shownMode)
            makeCamera();
        rebuildTiles();
    }
    // Without the microphone the movie is still recorded, without sound.
    const auto weak = weak_from_this();
    media::AudioSession::sharedInstance().requestRecordPermission([weak](bool granted) {
        if (!granted && !weak.expired())
            QueuedAlertController::showMessage("Error", "Mic msg");
    });
    if (settings.mapEnabled || settings.gpsEnabled || settings.compassEnabled || race_) {
        if (locationManager_)
            locationManager_->setDelegate(nullptr);
        locationManager_ = std::make_unique<geo::LocationManager>();
        locationServicesDetermined_ =
            geo::LocationManager::authorizationStatus() != geo::AuthorizationStatus::NotDetermined;
        locationManager_->setDelegate(this);
    }
}

void CameraViewController::locationManagerDidChangeAuthorizationStatus(geo::LocationManager& manager,
                                                                       geo::AuthorizationStatus status)
{
    if (status == geo::AuthorizationStatus::AuthorizedAlways ||
        status == geo::AuthorizationStatus::AuthorizedWhenInUse) {
        manager.setDesiredAccuracy(geo::locationAccuracyBest);
        manager.setDistanceFilter(10.0);
        manager.startUpdatingLocation();
        if (cView_)
            manager.startUpdatingHeading();
    } else if (status == geo::AuthorizationStatus::Denied && !locationServicesDetermined_) {
        QueuedAlertController::showMessage("Error", "Location msg");
    }
}

void CameraViewController::locationManagerDidFailWithError(geo::LocationManager&, const std::string& error)
{
    fnd::log(fnd::LogLevel::Error, "didFailWithError: " + error);
    QueuedAlertController::showMessage("Error", "Failed location");
}

void CameraViewController::locationManagerDidUpdateLocations(geo::LocationManager&,
                                                             const std::vector<geo::Location>& locations)
{
    if (locations.empty())
        return;
    if (race_)
        race_->locationUpdate(locations);
    const geo::Location& newest = locations.back();
    if (locations.size() >= 2) {
        const geo::Location& previous = locations[locations.size() - 2];
        if (previous.coordinate.latitude == newest.coordinate.latitude &&
            previous.coordinate.longitude == newest.coordinate.longitude)
            return;
    }
    const Settings& settings = Manager::sharedManager().setting();
    if (settings.mapEnabled || settings.gpsEnabled) {
        coordinatesStr_ = CameraLiveData::coordinatesText(newest.coordinate.latitude, newest.coordinate.longitude);
        coordinatesHaveChanged_ = true;
    }
}

void CameraViewController::locationManagerDidUpdateHeading(geo::LocationManager&, const geo::Heading& heading)
{
    if (!cView_ || !heading.isValid())
        return;
    // The heading comes turned for the window as it stands; the strip reads it as the landscape screen
    // this is, whatever the window's shape.
    const double course = geo::courseForHeading(heading.trueHeading, ui::Device::current().interfaceOrientation());
    cView_->updateData(static_cast<float>(geo::headingForCourse(course, ui::InterfaceOrientation::LandscapeRight)));
}

void CameraViewController::viewDidAppear(bool animated)
{
    TemplateViewCon::viewDidAppear(animated);
    if (captureDevice_) {
        captureDevice_->setFrameRate(Manager::sharedManager().setting().frameRate);
        captureDevice_->setOutputImageOrientation(3);
        captureDevice_->startCameraCapture();
    }
    if (VersionTracking::isFirstLaunchEver() || VersionTracking::isFirstLaunchForVersion())
        QueuedAlertController::showMessage("Attention", "Tap on image to adjust focus");
    if (!captureDevice_ && media::isAvailable())
        QueuedAlertController::showMessage("Error", "Dashcam msg3");
    if (timeLabel_) {
        if (clockTimer_)
            clockTimer_->invalidate();
        shouldUpdateTime_ = true;
        clockTimer_ = fnd::Timer::scheduled(60, true, [this](fnd::Timer&) { shouldUpdateTime_ = true; });
    }
    // Race mode needs the motion too: the launch starts a run.
    if ((gForceEnabled_ || race_) && motionManager_.isDeviceMotionAvailable()) {
        motionQueue_ = std::make_shared<fnd::OperationQueue>("dash camera motion");
        motionManager_.setDeviceMotionUpdateInterval(0.05);
        const auto weak = weak_from_this();
        motionManager_.startDeviceMotionUpdates(motionQueue_, [weak, this](const motion::DeviceMotion& motion) {
            x_ = CameraLiveData::gForceAxis(motion.userAcceleration.y);
            y_ = CameraLiveData::gForceAxis(motion.userAcceleration.z);
            if (race_ && race_->motionSample(CameraLiveData::gForceAxis(motion.userAcceleration.x), x_, y_))
                fnd::DispatchQueue::main().async([weak, this] {
                    if (!weak.expired())
                        race_->recordRaceTrack(locationManager_ ? locationManager_->location() : std::nullopt);
                });
            fnd::DispatchQueue::main().async([weak, this] {
                if (!weak.expired() && gFView_)
                    gFView_->updateData(x_, y_);
            });
        });
    }
    changeTheViewToPortrait(false, 0.5);
    startScanning();
    if (race_)
        race_->loadTrack(uiElementInput_->canvas());
}

void CameraViewController::rebuildTiles()
{
    const auto link = scanner();
    live_.rebuild(static_cast<int>(gaugeArr_.size()), link.get());
    std::vector<ui::Image> faces;
    for (std::size_t p = 0; p < gaugeArr_.size(); ++p) {
        const SensorPlan& slot = live_.slots()[p];
        CamGaugeView& tile = *gaugeArr_[p];
        tile.initData(slot.title, slot.min, slot.max, slot.units, slot.sensorIndex, 0);
        faces.push_back(tile.takeScreenShot());
        tile.hideContent();
    }
    needleImageArray_ = faces;
    if (gFView_) {
        // The g-force face goes leftmost in the strip; the renderer prints the figures on it.
        faces.push_back(gFView_->takeScreenShot());
        gFView_->hideContent();
        uiElementInput_->canvas().gForceEnabled = true;
    }
    if (!gaugeArr_.empty()) {
        CamGaugeView& first = *gaugeArr_.front();
        uiElementInput_->canvas().bgImage = first.attachBGImages(faces);
        if (!is30Frames_) {
            // Needles are painted from pre-rendered images; the live tiles leave the overlay.
            needleArray_ = first.renderGaugeNeedle();
            for (const auto& tile : gaugeArr_) {
                tile->needleLayer().setHidden(true);
                tile->removeFromSuperview();
            }
            std::fill(needleImageArray_.begin(), needleImageArray_.end(), needleArray_.front());
        }
    }
    uiElementInput_->canvas().is30Framerate = is30Frames_;
    facesTaken_ = true;
}

void CameraViewController::startScanning()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    if (firstLaunch_ || live_.slots().size() != gaugeArr_.size())
        return;  // the tiles are built when the screen appears
    // The list was built without the link when the screen appeared before it connected.
    live_.rebuild(static_cast<int>(gaugeArr_.size()), link.get());
    takeLink();
    link->setInitCommands(live_.commandArr(), true);
    connected_ = true;
    buttonView_->setConnected(true);
    if (race_)
        race_->setConnected(true);
    live_.startPolling();
}

void CameraViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    for (const Response& response : responses)
        for (const auto& [slot, value] : live_.valuesFor(response))
            gaugeArr_[static_cast<std::size_t>(slot)]->setVal(value);
}

void CameraViewController::scannerDidReceiveVoltage(Scanner&, const std::vector<Response>& responses)
{
    for (const auto& [slot, value] : live_.valuesForVoltage(responses))
        gaugeArr_[static_cast<std::size_t>(slot)]->setVal(value);
}

void CameraViewController::overlayUpdate()
{
    // The camera that could not be read delivers again (a device freed by another program).
    if (cameraUnreadable_) {
        cameraUnreadable_ = false;
        unavailableLabel_->removeFromSuperview();
        unavailableLabel_.reset();
    }
    const bool use = shouldUpdate_ || !connected_ || is30Frames_;
    shouldUpdate_ = !shouldUpdate_;
    if (!use)
        return;
    if (timeLabel_ && shouldUpdateTime_) {
        static const fnd::DateFormatter clock("yyyy MM dd-HH:mm a");
        timeLabel_->setText(clock.stringFromDate(fnd::Date::now()));
        shouldUpdateTime_ = false;
    }
    if (coordinatesLabel_ && coordinatesHaveChanged_) {
        coordinatesLabel_->setText(coordinatesStr_);
        coordinatesHaveChanged_ = false;
    }
    for (std::size_t i = 0; i < gaugeArr_.size(); ++i) {
        const CamGaugeView& tile = *gaugeArr_[i];
        gaugeValArray_[i] = CameraLiveData::valueText(tile.getVal(), tile.maxUnit());
        if (!is30Frames_ && !needleArray_.empty())
            needleImageArray_[i] = needleArray_[static_cast<std::size_t>(tile.getGaugeIndex(tile.getVal()))];
    }
    OverlayCanvas& canvas = uiElementInput_->canvas();
    if (gForceEnabled_)
        canvas.gForcePoint = {x_, y_};
    if (!is30Frames_)
        canvas.needleImageArray = needleImageArray_;
    canvas.valArray = gaugeValArray_;
    if (race_)
        race_->overlayUpdate();
    uiElementInput_->update();
    pictureTexts_->setTexts(canvas.paintedTexts(), overlayView_->bounds().size);
}

bool CameraViewController::buttonPressed()
{
    recordData();
    return recording_;
}

void CameraViewController::recordData()
{
    if (recording_)
        stopRecording();
    else
        startRecording();
    // Starts and stops that do not come from the button's tap show on it too.
    const auto weak = weak_from_this();
    fnd::DispatchQueue::main().async([weak, this] {
        if (!weak.expired())
            buttonView_->setRecording(recording_);
    });
}

void CameraViewController::startRecording()
{
    if (!captureDevice_ || cameraUnreadable_ || !connected_ || isFinishingMovie())
        return;
    // The last movie is not in the album yet (its copy failed): it makes room, kept for the album.
    if (pendingMovie_.isLeft() && !setLeftMovieAside())
        return;
    std::error_code ignored;
    std::filesystem::remove(pathToMovie_, ignored);
    movieWriter_ = GfxMovieWriter::create(pathToMovie_, resolutionFor(recordMode_).size);
    movieWriter_->setEncodingLiveVideo(true);
    // Sound is encoded (AAC) rather than passed through as the microphone's raw samples.
    movieWriter_->setShouldPassthroughAudio(false);
    const auto weak = weak_from_this();
    movieWriter_->setFailureBlock([weak, this, writer = movieWriter_.get()](const std::string& error) {
        if (!weak.expired())
            movieFailed(writer, error);
    });
    captureDevice_->setAudioEncodingTarget(movieWriter_);
    blendFilter_->addTarget(movieWriter_);
    pendingMovie_.recordingStarted();
    movieWriter_->startRecording();
    ticks_ = 0;
    if (counterTimer_)
        counterTimer_->invalidate();
    counterTimer_ = fnd::Timer::scheduled(recordTick, true, [this](fnd::Timer&) { updateRecordLabel(); });
    recording_ = true;
    if (race_)
        race_->recordingStarted();
}

void CameraViewController::stopRecording()
{
    if (counterTimer_)
        counterTimer_->invalidate();
    counterTimer_.reset();
    recordLabel_->setText("00:00:00");
    ticks_ = 0;
    recording_ = false;
    if (race_)
        race_->recordingStopped();
    if (!movieWriter_)
        return;
    std::shared_ptr<GfxMovieWriter> writer = std::move(movieWriter_);
    blendFilter_->removeTarget(writer);
    if (captureDevice_)
        captureDevice_->setAudioEncodingTarget(nullptr);
    finishing_ = writer;
    const auto weak = weak_from_this();
    // Runs only for a finished movie; a failure goes to the failure block.
    writer->finishRecordingWithCompletionHandler([weak, this] {
        fnd::DispatchQueue::main().async([weak, this] {
            if (!weak.expired())
                movieFinished();
        });
    });
}

void CameraViewController::movieFinished()
{
    const auto weak = weak_from_this();
    pendingMovie_.hasFrames([weak, this](std::optional<bool> frames) {
        if (weak.expired())
            return;
        // A camera that failed before its first frame leaves a movie with nothing to see.
        if (frames == false) {
            pendingMovie_.discard();
            finishing_.reset();
            return;
        }
        pendingMovie_.saveToAlbum([weak, this](bool saved, const std::string& error) {
            if (weak.expired())
                return;
            finishing_.reset();
            albumCopyDone(saved, error);
        });
    });
}

void CameraViewController::movieFailed(const GfxMovieWriter* writer, const std::string& error)
{
    fnd::log(fnd::LogLevel::Error, "dash camera movie: " + error);
    if (writer == movieWriter_.get()) {
        stopRecording();
        buttonView_->setRecording(false);
    }
    if (writer == finishing_.get())
        finishing_.reset();
    QueuedAlertController::showMessage("Error", fnd::format(fnd::L("Movie failed msg").c_str(), error));
    // What was written before the failure is a movie of its own, up to its last whole fragment.
    keepLeftMovie();
}

void CameraViewController::updateRecordLabel()
{
    ++ticks_;
    recordLabel_->setText(CameraLiveData::recordTimeText(ticks_));
}

void CameraViewController::viewWillDisappear(bool animated)
{
    // Leaving stops and saves a recording: the camera stops delivering frames.
    if (recording_) {
        stopRecording();
        buttonView_->setRecording(false);
    }
    releaseLink();
    connected_ = false;
    buttonView_->setConnected(false);
    if (race_)
        race_->setConnected(false);
    live_.stopPolling();
    if (gFView_)
        gFView_->stopTimer();
    motionManager_.stopDeviceMotionUpdates();
    if (clockTimer_)
        clockTimer_->invalidate();
    clockTimer_.reset();
    // Location updates go on with the clock shown, and in race mode.
    if (locationManager_ && !Manager::sharedManager().setting().displayTimeEnabled && !race_) {
        locationManager_->stopUpdatingLocation();
        locationManager_->stopUpdatingHeading();
    }
    if (captureDevice_)
        captureDevice_->stopCameraCapture();
    TemplateViewCon::viewWillDisappear(animated);
}

std::size_t CameraViewController::framesRecorded() const
{
    return movieWriter_ ? movieWriter_->framesWritten() : 0;
}
