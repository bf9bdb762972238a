#pragma once

#include "core/model/FuelTally.h"
#include "platform/foundation/Timer.h"

// The fuel tally of a live screen (its samples, minute means and distance in
// the DataStore), with the road speed counted only while speed replies are
// fresh: only visible rows are polled, so the speed row may have scrolled away.
class FuelBookkeeping {
public:
    FuelBookkeeping() = default;
    FuelBookkeeping(const FuelBookkeeping&) = delete;
    FuelBookkeeping& operator=(const FuelBookkeeping&) = delete;
    ~FuelBookkeeping() { speedTimeout_.cancel(); }

    // Starts (or restarts, never doubles) the minute and distance timers.
    void start() { tally_.start(); }
    void stop()
    {
        speedTimeout_.cancel();
        tally_.stop();
    }
    bool isRunning() const { return tally_.isRunning(); }
    void addSample(float mpg) { tally_.addSample(mpg); }
    // A speed reply: it counts for the distance until it is older than speedFreshness.
    void noteSpeed(float kmh);

    const FuelTally& tally() const { return tally_; }

    static constexpr double speedFreshness = 3.0;

private:
    FuelTally tally_{FuelTally::liveScreen};
    fnd::DelayedCall speedTimeout_;
};
