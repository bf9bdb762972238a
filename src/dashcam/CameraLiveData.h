#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/FuelTally.h"
#include "core/model/SensorDecoder.h"
#include "core/model/SensorPlan.h"
#include "core/obd/Command.h"
#include "core/obd/Response.h"
#include "platform/foundation/NotificationCenter.h"

class Scanner;

// The live side of the dash camera: what each gauge tile shows, the requests
// that feed the tiles, and the values replies give them. Fuel economy always
// uses the air-flow method with gasoline's constants; its samples go to the
// live screens' shared fuel tally while polling runs.
//
//   CameraLiveData live;
//   live.rebuild(tileCount, *link);          // when the screen (re)builds its tiles
//   link->setInitCommands(live.commandArr(), true);
//   live.startPolling();
//   for (auto [slot, value] : live.valuesFor(response)) tiles[slot]->setVal(value);
//   live.stopPolling();                      // on leaving; a dropped link stops it too
class CameraLiveData {
public:
    // Settings.sensors entry of slot 0 (the rightmost tile).
    static constexpr int firstSlotEntry = 16;
    static constexpr int maxTiles = 5;

    struct SlotValue {
        int slot;
        float value;
        bool operator==(const SlotValue&) const = default;
    };

    CameraLiveData();
    ~CameraLiveData();
    CameraLiveData(const CameraLiveData&) = delete;
    CameraLiveData& operator=(const CameraLiveData&) = delete;

    // Gauge tiles at a recording mode: gauges plus the g-force and track tiles
    // never exceed 4 at the two low resolutions and 5 otherwise.
    static int gaugeTileCount(int camGaugeCount, int recordMode, bool gForceEnabled, bool isRaceMode);

    // The slots and the request list for `tileCount` tiles by the settings now
    // (requests in the link's form when there is one).
    void rebuild(int tileCount, const Scanner* link);
    // What each tile shows, custom ranges in the tile's unit. A sensor that does not exist (a deleted
    // custom PID) has no requests and the range 0-1: its tile stays still.
    const std::vector<SensorPlan>& slots() const { return slots_; }
    // The requests, one per reply key, the voltage request first when the
    // adapter takes several requests at once.
    const std::vector<Command>& commandArr() const { return commandArr_; }
    bool fuelBgTracking() const { return fuelBgTracking_; }

    // The tiles a reply feeds and their new values; a tile gets a value only
    // when one was computed for it.
    std::vector<SlotValue> valuesFor(const Response& response);
    // The battery tiles' value from voltage replies.
    std::vector<SlotValue> valuesForVoltage(const std::vector<Response>& responses) const;

    // Starts (never doubles) the fuel tally's timers when a fuel-economy tile is shown.
    void startPolling();
    // Stops them and hands the unfinished minute, the time and the distance over.
    void stopPolling();
    bool isPolling() const { return tally_.isRunning(); }
    const FuelTally& tally() const { return tally_; }

    // A tile's value text by its full scale.
    static std::string valueText(float value, float fullScale);
    // The recording time "hh:mm:ss" (hours unbounded) and the race time "mm:ss.t"
    // (minutes wrapping at 60) from 0.1 s ticks.
    static std::string recordTimeText(int ticks);
    static std::string raceTimeText(int ticks);
    // One axis of the device's user acceleration (g) as the g-force tile takes
    // it: 0 inside the dead band of +-0.099 g, else 1.3 times the reading.
    static float gForceAxis(double acceleration);
    // "51° 30' 0" N, 0° 7' 40" W".
    static std::string coordinatesText(double latitude, double longitude);

private:
    void addRequests(const std::vector<Command>& commands);

    std::vector<SensorPlan> slots_;
    std::vector<Command> commandArr_;
    ReplyRoutes pidMap_;  // reply key -> the slots it feeds
    bool fuelBgTracking_ = false;
    SensorDecoder decoder_{VehicleCalc::FuelSetup{}};
    FuelTally tally_{FuelTally::liveScreen};
    fnd::NotificationCenter::Token droppedToken_;
};
