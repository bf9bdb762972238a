#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/Lap.h"
#include "platform/foundation/Timer.h"
#include "platform/geo/Location.h"
#include "platform/ui/Color.h"

// The unit factors of a run, from the user's vehicle-speed unit.
struct RaceUnits {
    float conversion = 1.0f;   // speed or distance times this gives mph or miles
    float conversion2 = 1.6093445f;  // speed times this gives km/h (gear estimate)

    static RaceUnits forMetric(bool metric);
};

// The gap to the reference lap as shown: "-02.5" on blue when ahead, "+00.4" on
// red when behind, " 00.0" keeping the box's colour when level.
struct GapReading {
    std::string text;
    std::optional<ui::Color> background;  // none: keep the colour shown

    // `tenths`: current lap time less the reference lap's time at the same place.
    static GapReading fromTenths(float tenths);
};

// "mm:ss.t" of a time in tenths, the minutes wrapping at 60.
std::string lapTimeText(float tenths);

// The results record: top speed, top rpm, top horsepower, top forward
// acceleration, 0-60 mph, 0-100 mph, 1/8 mile, 1/4 mile, average rpm, average
// horsepower.
using RaceResults = std::vector<float>;

// How close (metres) the straight path from `from` to `to` passes `point`.
double closestApproach(const geo::Location& from, const geo::Location& to, const geo::Location& point);

// A motion axis after the dead band (|a| < 0.099 g reads 0) and the gain of 1.3.
float motionAxis(double a);

class RaceEngine;

// What the screen shows of the engine. Every call is on the main thread.
class RaceEngineDelegate {
public:
    virtual ~RaceEngineDelegate() = default;
    // After every 0.1 s tick: the timer and horsepower figures changed.
    virtual void raceEngineDidTick(RaceEngine&) {}
    // Once a second while a track outline is loaded: the position dot moves.
    virtual void raceEngineDidMove(RaceEngine&, const geo::Location&) {}
    virtual void raceEngineDidMeasureGap(RaceEngine&, const GapReading&) {}
    // The first lap of a run without a loaded track becomes the outline.
    virtual void raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>&) {}
    // `best`: the lap became the reference lap.
    virtual void raceEngineDidCompleteLap(RaceEngine&, const Lap&, bool /*best*/) {}
    virtual void raceEngineDidStop(RaceEngine&) {}
};

// Times drag runs and GPS laps on the run loop's clock, from the live values
// the screen feeds it: a 0.1 s tick measures 0-60 and 0-100 mph, 1/8 and 1/4
// mile, horsepower and the maxima; position fixes complete laps at the start
// line and compare the lap being driven with the best lap so far.
//
// The motion queue reads the run state and raises the top acceleration while
// the main thread times the run, so those values are atomic.
class RaceEngine {
public:
    static constexpr int startSound = 1052;
    static constexpr float lapLineMetres = 8.0f;
    static constexpr float gapMatchMetres = 5.0f;
    static constexpr float minimumLapTicks = 100;  // a lap takes more than 10 s
    static constexpr float launchThreshold = 0.15f;  // g, on any axis
    // Below this speed (mph) at the start a run counts as a standing start: the last speed reply may
    // be a moment old when the launch is felt.
    static constexpr float standstillMph = 5.0f;

    RaceEngine();
    ~RaceEngine();
    RaceEngine(const RaceEngine&) = delete;
    RaceEngine& operator=(const RaceEngine&) = delete;

    void setDelegate(RaceEngineDelegate* delegate) { delegate_ = delegate; }  // the owner clears it

    // Configuration.
    void setUnits(const RaceUnits& units) { units_ = units; }
    const RaceUnits& units() const { return units_; }
    void setTrackMode(bool track) { isTrackMode_ = track; }
    bool isTrackMode() const { return isTrackMode_; }
    // Settings.hpMode: 0 air flow, 1 torque, other none.
    void setHpMode(int mode) { hpMode_ = mode; }
    // A saved track's outline is shown, so the first lap is not recorded as one.
    void setTrackLoaded(bool loaded) { trackLoaded_ = loaded; }
    bool trackLoaded() const { return trackLoaded_; }
    // The shortest lap, in tenths not counted as one (a lap takes longer).
    void setMinimumLapTicks(float ticks) { minimumLapTicks_ = ticks; }
    // The acceleration (g) on any axis that launches an armed run.
    void setLaunchThreshold(float g) { launchThreshold_ = g; }

    // Live values: speed in the user's unit, rpm, air flow in g/s, torque in N*m.
    void setSpeed(float speed);
    void setRpm(float rpm);
    void setAirFlow(float gramsPerSecond) { maf_ = gramsPerSecond; }
    void setTorque(float newtonMetres) { torque_ = newtonMetres; }
    float speed() const { return speed_; }
    float rpm() const { return rpm_; }
    float hp() const { return hp_; }

    // Arming: whether the link is connected now, decided by the caller.
    void setConnected(bool connected) { connected_ = connected; }
    bool connected() const { return connected_; }
    void setRaceReady(bool ready) { raceReady_ = ready; }
    bool raceReady() const { return raceReady_; }
    bool recording() const { return recording_; }

    // Motion queue: one sample of user acceleration (after dead band and gain)
    // with the forward axis z. Returns whether the launch should start the run
    // (the caller hands startRecording to the main thread).
    bool motionSample(float x, float y, float z);
    float acc() const { return acc_; }
    float topAcc() const { return topAcc_; }

    // Starts a run; a second call while recording does nothing. A stopped run's
    // figures stay until resetData. `lastKnown` is the start line of a track
    // run; without one the first fix of the run is.
    bool startRecording(const std::optional<geo::Location>& lastKnown);
    void updateRecordLabel();
    void locationUpdate(const std::vector<geo::Location>& batch);
    void stopRecording();
    // The link went away: a run stops and keeps its results.
    void linkDropped();
    // Clears the last run; refused (false) while recording.
    bool resetData();

    // The run as measured so far.
    float ticks() const { return ticks_; }      // tenths since the start, or since the last lap
    float runTicks() const { return runTicks_; }  // tenths since the start
    float distance() const { return distance_; }
    float topSpeed() const { return topSpeed_; }
    float topRPM() const { return topRPM_; }
    float topHP() const { return topHP_; }
    // The 0-60 mph, 0-100 mph, 1/8 and 1/4 mile times are taken only from a standing start; 0 for a
    // mark not reached, or not timed.
    bool fromStandstill() const { return fromStandstill_; }
    float zeroToSixty() const { return zeroToSixty_; }
    float zeroToHundred() const { return zeroToHundred_; }
    float eighthMile() const { return eighthMile_; }
    float quarterMile() const { return quarterMile_; }
    float avgSpeed() const { return avgSpeed_; }
    float avgRpm() const { return avgRpm_; }
    float avgHp() const { return avgHp_; }
    int lapCount() const { return lapCount_; }
    const std::vector<Lap>& lapArr() const { return lapArr_; }
    const std::vector<float>& speedArr() const { return speedArr_; }
    const std::vector<float>& rpmArr() const { return rpmArr_; }
    const std::vector<float>& hpArr() const { return hpArr_; }
    const std::vector<int>& speedAvgArr() const { return speedAvgArr_; }
    const std::vector<geo::Location>& coordinatesArr() const { return coordinatesArr_; }
    const std::optional<geo::Location>& currentLocation() const { return currentLocation_; }
    // Where the phone was last known to be, before the run's own position updates come.
    void setCurrentLocation(const geo::Location& location) { currentLocation_ = location; }
    const std::optional<geo::Location>& startLocation() const { return startLocation_; }
    bool hasGapData() const { return hasGapData_; }
    bool checkGap() const { return checkGap_; }
    // The results of the last stopped run; empty until the first stop.
    const RaceResults& dataArr() const { return dataArr_; }
    std::optional<float> bestLapTime() const;

    // The timer as shown: "mm:ss" and ".t".
    std::string timerText() const;
    std::string tenthsText() const;

private:
    void sampleSecond();
    void checkGapAt(const geo::Location& location);
    void updateLapData();

    RaceEngineDelegate* delegate_ = nullptr;
    RaceUnits units_;
    int hpMode_ = 0;
    bool isTrackMode_ = true;
    bool trackLoaded_ = false;
    float minimumLapTicks_ = minimumLapTicks;
    std::atomic<float> launchThreshold_{launchThreshold};

    float speed_ = 0, rpm_ = 0, maf_ = 0, torque_ = 0, hp_ = 0;
    std::atomic<float> acc_{0};
    std::atomic<float> topAcc_{0};
    std::atomic<bool> recording_{false};
    std::atomic<bool> raceReady_{false};
    std::atomic<bool> connected_{false};

    std::shared_ptr<fnd::Timer> countDownTimer_;
    float ticks_ = 0;
    float runTicks_ = 0;
    float distance_ = 0;
    float topSpeed_ = 0, topRPM_ = 0, topHP_ = 0;
    float zeroToSixty_ = 0, zeroToHundred_ = 0, eighthMile_ = 0, quarterMile_ = 0;
    bool fromStandstill_ = true;
    float avgSpeed_ = 0, avgRpm_ = 0, avgHp_ = 0;
    std::vector<float> speedArr_, rpmArr_, hpArr_;
    std::vector<int> speedAvgArr_;
    std::vector<geo::Location> coordinatesArr_;
    std::vector<Lap> lapArr_;
    int lapCount_ = 1;

    std::optional<geo::Location> currentLocation_;
    std::optional<geo::Location> previousLocation_;
    std::optional<geo::Location> startLocation_;
    bool awaitingStartLine_ = false;
    std::vector<geo::Location> gapArr_, tempGapArr_;
    std::vector<float> gapTimeArr_, tempGapTimeArr_;
    bool hasGapData_ = false;
    bool checkGap_ = false;
    bool recordGap_ = true;
    RaceResults dataArr_;
};
