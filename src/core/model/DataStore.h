#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/obd/SupportedPIDs.h"

// The shared instance that holds the built-in sensor table in the arrays the
// screens index by SensorIndex, the adapter protocol names, the PIDs the car
// reported supported, and the live values the screens hand to each other.
class DataStore {
public:
    static DataStore& sharedDataStore();

    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // From the sensor table.
    const std::vector<int> pidArr;                     // service-01 PID of SensorIndex 0-94
    const std::vector<std::string> sensorLabelArr;     // SensorIndex 0-100
    const std::vector<std::string> sensorMetUnitsArr;  // SensorIndex 0-100
    const std::vector<std::string> sensorImpUnitsArr;  // SensorIndex 0-100
    // ELM327 protocol names by protocol number (0 automatic, 1-12).
    const std::vector<std::string> protocolArr;

    // The adapter protocol in use, copied from Settings.protocol at start-up.
    int protocol = 0;

    // Live fuel-economy values shared between the live screens (US mpg).
    std::vector<float> fuelEconomyArr;  // one-minute means, newest first
    std::vector<float> fuelEcoMinArr;   // samples of the unfinished minute
    std::vector<float> fuelEco5MinArr;
    std::vector<float> fuelEco30MinArr;
    std::vector<float> fuelTotalAvgArr;
    int fuelElapsedTime = 0;  // whole seconds
    float distance = 0;       // km

    // The PIDs the car reported supported: the link hands over what it has read
    // each time that changes (see Manager).
    void setSupportedPIDs(const SupportedPIDs& pids) { supportedPIDs_ = pids; }
    // One bitmap: the reply to service 01 PID `basePid` (0x00, 0x20, ... 0xE0).
    void setSupportedPIDs(int basePid, std::uint32_t bitmap) { supportedPIDs_.setBitmap(basePid, bitmap); }
    void clearSupportedPIDs() { supportedPIDs_.clear(); }
    // True when the car reported the PID supported; false when no scan ran.
    bool isService01PIDSupported(int pid) const { return supportedPIDs_.isSupported(pid); }

    // Back to the state at launch: no supported PIDs, no live values.
    void resetForTesting();

private:
    DataStore();

    SupportedPIDs supportedPIDs_;
};
