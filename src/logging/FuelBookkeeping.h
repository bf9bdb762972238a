#pragma once

#include <memory>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/Timer.h"

class SensorDecoder;

// The fuel-economy samples a live screen gathers for the fuel-economy screen:
// the samples of the last minute, every 5th, 20th and 10th sample in the
// DataStore's 5-minute, 30-minute and trip lists, one-minute means in
// DataStore.fuelEconomyArr (newest first, at most 120), and the distance
// driven, counted each second from the last speed while it is fresh.
class FuelBookkeeping {
public:
    explicit FuelBookkeeping(const SensorDecoder& decoder) : decoder_(decoder) {}
    ~FuelBookkeeping();
    FuelBookkeeping(const FuelBookkeeping&) = delete;
    FuelBookkeeping& operator=(const FuelBookkeeping&) = delete;

    // Starts the minute and distance timers with an empty minute; a running
    // bookkeeping is restarted, never doubled.
    void start();
    // Stops the timers and hands the elapsed time and the minute's samples to
    // the DataStore. Does nothing when not running.
    void stop();
    bool isRunning() const { return minuteTimer_ != nullptr; }

    void addSample(float mpg);
    // The timers' steps.
    void updateFuelEco();
    void updateDistance();

    const std::vector<float>& minuteSamples() const { return mpgArr_; }

    static constexpr std::size_t minuteAverages = 120;
    // A speed older than this counts as standing still: its row may have
    // scrolled away and no longer be polled.
    static constexpr double speedFreshness = 3.0;

private:
    const SensorDecoder& decoder_;
    std::vector<float> mpgArr_;
    int fuelIndex_ = 0;
    int minCount_ = 0;
    bool minuteReached_ = false;
    bool min5Reached_ = false;
    bool min30Reached_ = false;
    fnd::Date fuelStartTime_;
    std::shared_ptr<fnd::Timer> minuteTimer_;
    std::shared_ptr<fnd::Timer> distanceTimer_;
};
