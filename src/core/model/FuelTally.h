#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Timer;
}

// The fuel-economy bookkeeping of one screen: the samples of the last minute,
// a one-minute tally every 60 s, and thinned sample lists behind the 5-minute,
// 30-minute and trip averages. Samples are US mpg.
//
// The live screens (sensor list, logging, dash camera, dashboard) keep their
// thinned lists in `DataStore` (fuelEco5MinArr, fuelEco30MinArr,
// fuelTotalAvgArr) and hand over when they stop: the unfinished minute to
// `DataStore::fuelEcoMinArr`, the seconds tracked to `fuelElapsedTime`, and the
// distance driven (from `setSpeed`, every second) to `distance`. The fuel
// screen keeps its lists to itself and takes the others' over with
// `takeOverShared`. Every minute mean goes to the front of
// `DataStore::fuelEconomyArr` (at most 120, newest first).
//
//   FuelTally tally(FuelTally::liveScreen);
//   tally.start();                 // when polling starts
//   tally.setSpeed(kmh);           // on each speed reply
//   tally.addSample(mpg);          // on each fuel-economy value
//   tally.stop();                  // when the screen leaves
//
// Lists slide once their period has passed: each new entry then pushes the
// oldest out. The periods run from the first minute that had samples. A minute
// that brought no new sample adds no mean: the sliding minute list still holds
// samples, but their mean was tallied already.
class FuelTally {
public:
    struct Config {
        int fiveMinuteStride;    // every n-th sample goes to the 5-minute list
        int thirtyMinuteStride;  // ... to the 30-minute list
        int tripStride;          // ... to the trip list (never trimmed)
        bool shared;             // lists in DataStore, hand-over at stop
    };
    static constexpr Config liveScreen{5, 20, 10, true};
    static constexpr Config dashboard{5, 15, 10, true};
    static constexpr Config fuelScreen{5, 15, 15, false};

    explicit FuelTally(Config config);
    ~FuelTally();
    FuelTally(const FuelTally&) = delete;
    FuelTally& operator=(const FuelTally&) = delete;

    // Starts the 60 s tally (and, when shared, the 1 s distance tick) and a new
    // minute; the thinned lists and the 5- and 30-minute states carry on.
    void start();
    // Stops the timers; when shared, hands the unfinished minute, the seconds
    // since start and the distance over to DataStore. Does nothing when stopped.
    void stop();
    bool isRunning() const { return minuteTimer_ != nullptr; }

    // A sample that is not finite is dropped.
    void addSample(float mpg);
    void setSpeed(float kmh);  // the distance tick's road speed

    // The 60 s tick: the mean of the minute list, or none (and nothing added)
    // when no sample came since the last tick.
    std::optional<float> tallyMinute();
    // Called with each mean the 60 s timer tallied.
    void setMinuteHandler(std::function<void(float mean)> handler) { minuteHandler_ = std::move(handler); }

    const std::vector<float>& minuteSamples() const { return minute_; }
    const std::vector<float>& fiveMinuteSamples() const { return *fiveMinute_; }
    const std::vector<float>& thirtyMinuteSamples() const { return *thirtyMinute_; }
    const std::vector<float>& tripSamples() const { return *trip_; }
    int minutesTallied() const { return minutes_; }

    // Means of the lists; none for an empty list.
    std::optional<float> minuteAverage() const;
    std::optional<float> fiveMinuteAverage() const;
    std::optional<float> thirtyMinuteAverage() const;
    std::optional<float> tripAverage() const;

    // What the live screens left in DataStore for the fuel screen.
    struct Handover {
        std::vector<float> minuteMeans;       // newest first
        std::vector<float> unfinishedMinute;  // samples
        int elapsedSeconds = 0;
        float distanceKm = 0;
    };
    // Takes it out of DataStore (which is left empty) and starts this tally's
    // minute with the unfinished minute's samples, when there are any.
    Handover takeOverShared();

    // Forgets everything: samples, lists, counts and sliding states.
    void reset();

    static std::optional<float> mean(const std::vector<float>& values);

private:
    // A list that grows until its period has passed and then keeps its length.
    struct Window {
        std::vector<float>* values;
        std::optional<std::size_t> length;  // set once the period has passed

        void add(float value);
        void freeze();
    };

    void tickDistance();

    Config config_;
    std::vector<float> minute_;
    std::vector<float> ownFiveMinute_, ownThirtyMinute_, ownTrip_;
    std::vector<float>* fiveMinute_;
    std::vector<float>* thirtyMinute_;
    std::vector<float>* trip_;
    Window minuteWindow_{&minute_, {}};
    Window fiveMinuteWindow_;
    Window thirtyMinuteWindow_;
    int samples_ = 0;
    int freshSamples_ = 0;  // samples not yet in a tallied mean
    int minutes_ = 0;
    float speed_ = 0;
    double startedAt_ = 0;
    std::function<void(float)> minuteHandler_;
    std::shared_ptr<fnd::Timer> minuteTimer_;
    std::shared_ptr<fnd::Timer> distanceTimer_;
};
