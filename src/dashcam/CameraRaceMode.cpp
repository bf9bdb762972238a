#include "dashcam/CameraRaceMode.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "dashcam/CameraLiveData.h"
#include "dashcam/CameraScreenGeometry.h"
#include "dashcam/OverlayCanvas.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Label.h"

namespace {

const char* const numberFont = "DigitalSans NowEF ML Demo";
const char* const textFont = "Digital-Serial DB";

std::shared_ptr<ui::Label> makeLabel(ui::Rect frame, const std::string& text, const char* font, double size,
                                     ui::Color background)
{
    auto label = std::make_shared<ui::Label>(frame);
    label->setBackgroundColor(background);
    label->setText(text);
    label->setFont(ui::Font::named(font, size));
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setTextColor(ui::Color::lightGray());
    // Where the digital font is missing its stand-in is wider.
    label->setAdjustsFontSizeToFitWidth(true);
    return label;
}

bool sameTrack(const std::vector<geo::Location>& a, const std::vector<geo::Location>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const geo::Location& l, const geo::Location& r) { return l.coordinate == r.coordinate; });
}

}  // namespace

CameraRaceMode::CameraRaceMode(ui::View& overlay, ui::View& screen, double shortSide, double longSide)
    : overlay_(overlay), tileSide_(shortSide / camerascreen::tilesPerHeight), shortSide_(shortSide)
{
    engine_.setDelegate(this);
    engine_.setTrackMode(true);
    engine_.setHpMode(-1);  // nothing feeds the engine's drag figures here
    engine_.setMinimumLapTicks(minimumLapTicks);
    engine_.setLaunchThreshold(launchThreshold);
    makeTrackView();

    const double s = shortSide;
    const double g = tileSide_;
    const double u = s / 12;
    raceTimerStr_ = CameraLiveData::raceTimeText(0);
    lapLabel_ = makeLabel(ui::makeRect(0, s - g - u, u, u), "1", numberFont, s / 13, ui::Color::rgb(0.75, 0.0, 0.1, 0.4));
    overlay_.addSubview(lapLabel_);
    timerLabel_ = makeLabel(ui::makeRect(u, s - g - u, g - u, u), raceTimerStr_, numberFont, s / 13.5,
                            ui::Color::white(0.2, 0.4));
    overlay_.addSubview(timerLabel_);
    recordingLabel_ =
        makeLabel(ui::makeRect(0, 0.75 * s, g, s / 10), fnd::L("Recording"), textFont, s / 13.5, ui::Color::clear());
    recordingLabel_->setHidden(true);
    overlay_.addSubview(recordingLabel_);
    // The prompt is for the driver, not for the movie.
    accelLabel_ = makeLabel(ui::makeRect(longSide / 4, s / 2 - s / 18, longSide / 2, s / 9), fnd::L("Accelerate"),
                            textFont, s / 10, ui::Color::white(0.2, 0.5));
    accelLabel_->setHidden(true);
    screen.addSubview(accelLabel_);
}

CameraRaceMode::~CameraRaceMode()
{
    engine_.setDelegate(nullptr);
    // Race mode turned off takes its tile and labels off the overlay and the screen.
    trackView_->removeFromSuperview();
    for (const auto& label : {lapLabel_, timerLabel_, recordingLabel_, accelLabel_})
        label->removeFromSuperview();
}

void CameraRaceMode::makeTrackView()
{
    auto tile = std::make_shared<TrackView>(ui::makeRect(0, shortSide_ - tileSide_, tileSide_, tileSide_), 0);
    tile->setBackgroundColor(ui::Color::white(20.0 / 255, 0.4));
    tile->hideSpeedLabel();
    if (trackView_) {
        overlay_.insertSubviewBelow(tile, trackView_.get());
        trackView_->removeFromSuperview();
    } else {
        overlay_.addSubview(tile);
    }
    trackView_ = std::move(tile);
}

void CameraRaceMode::loadTrack(OverlayCanvas& canvas)
{
    const RaceData& race = Manager::sharedManager().raceData();
    const int index = race.selectedTrackIndex;
    const bool chosen = index >= 0 && static_cast<std::size_t>(index) < race.trackArr.size() &&
                        race.trackArr[static_cast<std::size_t>(index)].trackCoordinateArr.size() >= 2;
    if (chosen) {
        const auto& coordinates = race.trackArr[static_cast<std::size_t>(index)].trackCoordinateArr;
        if (chosenTrack_ && sameTrack(*chosenTrack_, coordinates))
            return;
        // The outline goes into the overlay as an image; the tile keeps only the moving dot.
        makeTrackView();
        trackView_->setCoordinatesArr(coordinates);
        canvas.trackImage = trackView_->takeScreenShot();
        trackView_->hideContent();
        chosenTrack_ = coordinates;
        engine_.setTrackLoaded(true);
        recordingLabel_->setHidden(true);
    } else if (chosenTrack_) {
        // The choice was cleared since the last visit: the next run records a track.
        makeTrackView();
        canvas.trackImage = {};
        chosenTrack_.reset();
        engine_.setTrackLoaded(false);
    }
}

void CameraRaceMode::setConnected(bool connected) { engine_.setConnected(connected); }

void CameraRaceMode::recordingStarted()
{
    engine_.stopRecording();
    engine_.resetData();
    raceTimerStr_ = CameraLiveData::raceTimeText(0);
    timerLabel_->setText(raceTimerStr_);
    shouldUpdateLap_ = true;
    recordingLabel_->setHidden(true);
    accelLabel_->setHidden(false);
    engine_.setRaceReady(true);
}

void CameraRaceMode::recordingStopped()
{
    engine_.setRaceReady(false);
    engine_.stopRecording();
    accelLabel_->setHidden(true);
    recordingLabel_->setHidden(true);
}

bool CameraRaceMode::motionSample(float x, float y, float z) { return engine_.motionSample(x, y, z); }

void CameraRaceMode::recordRaceTrack(const std::optional<geo::Location>& lastKnown)
{
    // The recording may have stopped since the launch was felt.
    if (!engine_.raceReady() || !engine_.connected())
        return;
    const std::optional<geo::Location> start = engine_.currentLocation() ? engine_.currentLocation() : lastKnown;
    if (!engine_.startRecording(start))
        return;
    accelLabel_->setHidden(true);
    if (!engine_.trackLoaded())
        recordingLabel_->setHidden(false);
}

void CameraRaceMode::locationUpdate(const std::vector<geo::Location>& locations)
{
    if (locations.empty())
        return;
    engine_.locationUpdate(locations);
    const geo::Location& newest = locations.back();
    const bool moved = !lastFix_ || *lastFix_ != newest.coordinate;
    lastFix_ = newest.coordinate;
    if (moved && engine_.trackLoaded())
        trackView_->setCurrentLocation(newest);
}

void CameraRaceMode::overlayUpdate()
{
    timerLabel_->setText(raceTimerStr_);
    if (shouldUpdateLap_) {
        lapLabel_->setText(fnd::format("%d", engine_.lapCount()));
        shouldUpdateLap_ = false;
    }
}

void CameraRaceMode::raceEngineDidTick(RaceEngine& engine)
{
    raceTimerStr_ = CameraLiveData::raceTimeText(static_cast<int>(engine.runTicks()));
}

void CameraRaceMode::raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>& coordinates)
{
    trackView_->setCoordinatesArr(coordinates);
    recordingLabel_->setHidden(true);
}

void CameraRaceMode::raceEngineDidCompleteLap(RaceEngine&, const Lap&, bool)
{
    fnd::SystemSound::play(lapSound);
    shouldUpdateLap_ = true;
}
