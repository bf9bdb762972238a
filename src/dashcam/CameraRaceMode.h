#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/RaceEngine.h"
#include "platform/geo/Location.h"

class OverlayCanvas;
class TrackView;
namespace ui {
class Label;
class View;
}

// The dash camera's race mode: the track tile in the bottom-left corner with
// the lap number and the race time above it (all recorded), the "Accelerate"
// prompt while a recording waits for the launch and "Recording" while the
// first lap records the outline of a track that was not chosen.
//
// Runs and laps are timed by the race screens' engine: a recording arms it,
// the launch felt by the motion sensor starts the run where the car stands,
// and a lap ends when the car passes that place again, no sooner than 30 s
// after the start or the previous lap.
//
//   CameraRaceMode race(overlayView, screenView, shortSide, longSide);
//   race.loadTrack(canvas);                        // each appearance
//   race.recordingStarted(); ... race.recordingStopped();
//   if (race.motionSample(x, y, z)) main: race.recordRaceTrack(lastKnown);
//   race.locationUpdate(fixes);  race.overlayUpdate();   // per overlay frame
class CameraRaceMode : public RaceEngineDelegate {
public:
    static constexpr float launchThreshold = 0.2f;
    static constexpr float minimumLapTicks = 300;  // a lap takes more than 30 s
    static constexpr int lapSound = 1052;

    // Builds the track tile and the labels: the tile, lap, timer and
    // "Recording" go into `overlay` (recorded), the prompt onto `screen`.
    CameraRaceMode(ui::View& overlay, ui::View& screen, double shortSide, double longSide);
    ~CameraRaceMode() override;
    CameraRaceMode(const CameraRaceMode&) = delete;
    CameraRaceMode& operator=(const CameraRaceMode&) = delete;

    // The chosen track (RaceData.selectedTrackIndex) into the tile and, as an
    // image, into the overlay renderer. Without one a track is recorded by
    // the first lap; an outline recorded earlier is kept.
    void loadTrack(OverlayCanvas& canvas);

    // Whether the link polls the camera: without it no run starts.
    void setConnected(bool connected);
    // A new recording: lap 1, "00:00.0", no run yet, the prompt shown, armed.
    void recordingStarted();
    // The run ends with the recording; its last time stays shown.
    void recordingStopped();

    // Motion queue: one sample (g, after the dead band and gain); whether it
    // launches the run, which the caller then starts on the main thread.
    bool motionSample(float x, float y, float z);
    // Starts the run at `lastKnown`, or at the first fix to come.
    void recordRaceTrack(const std::optional<geo::Location>& lastKnown);
    void locationUpdate(const std::vector<geo::Location>& locations);
    // Per overlay frame: the race time and, when it changed, the lap number.
    void overlayUpdate();

    bool isRacing() const { return engine_.recording(); }
    bool isTrackLoaded() const { return engine_.trackLoaded(); }
    int lapCount() const { return engine_.lapCount(); }
    bool shouldUpdateLap() const { return shouldUpdateLap_; }
    const std::string& raceTimerStr() const { return raceTimerStr_; }
    // Positions recorded for the outline so far (no track chosen).
    const std::vector<geo::Location>& coordinatesArr() const { return engine_.coordinatesArr(); }
    const RaceEngine& engine() const { return engine_; }
    TrackView& trackView() const { return *trackView_; }
    ui::Label& lapLabel() const { return *lapLabel_; }
    ui::Label& timerLabel() const { return *timerLabel_; }
    ui::Label& accelLabel() const { return *accelLabel_; }
    ui::Label& recordingLabel() const { return *recordingLabel_; }

    // RaceEngineDelegate
    void raceEngineDidTick(RaceEngine& engine) override;
    void raceEngineDidRecordTrack(RaceEngine& engine, const std::vector<geo::Location>& coordinates) override;
    void raceEngineDidCompleteLap(RaceEngine& engine, const Lap& lap, bool best) override;

private:
    // A fresh, empty track tile in place of the old one.
    void makeTrackView();

    ui::View& overlay_;
    double tileSide_ = 0;
    double shortSide_ = 0;
    RaceEngine engine_;
    std::shared_ptr<TrackView> trackView_;
    std::shared_ptr<ui::Label> lapLabel_;
    std::shared_ptr<ui::Label> timerLabel_;
    std::shared_ptr<ui::Label> accelLabel_;
    std::shared_ptr<ui::Label> recordingLabel_;
    // The outline of the chosen track the tile shows; none while recording one.
    std::optional<std::vector<geo::Location>> chosenTrack_;
    std::optional<geo::Coordinate> lastFix_;
    std::string raceTimerStr_;
    bool shouldUpdateLap_ = true;
};
