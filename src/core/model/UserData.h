#pragma once

#include <string>
#include <vector>

#include "core/model/Pid.h"
#include "platform/foundation/KeyedArchiver.h"

// A sensor's warning settings: the band it may read in without a warning, as
// fractions 0-1 of its range, and whether leaving the band warns and sounds.
struct SensorLimits {
    bool notify = false;
    bool sound = false;
    float min = 0;
    float max = 1;

    // Whether a reading at `fraction` of the range warns.
    bool warns(float fraction) const { return notify && (fraction < min || fraction > max); }
};

// The persisted per-vehicle record (archive "userdata.data"). Per-sensor arrays
// are indexed by SensorIndex: the name, range and unit arrays cover 0-100, the
// limit arrays 0-100 and then one entry per custom PID (101 + n is pids[n]).
// A default-made record holds the first-run values, taken from the sensor table.
struct UserData {
    UserData();

    std::vector<std::string> shortNameArr;
    std::vector<std::string> longNameArr;
    std::vector<float> minArr;     // metric range
    std::vector<float> maxArr;
    std::vector<float> minImpArr;  // imperial range
    std::vector<float> maxImpArr;
    std::vector<int> unitsArr;     // 1 metric, 0 imperial
    std::vector<Pid> pids;
    std::vector<bool> notifyLimitArr;
    std::vector<bool> notifySoundLimArr;
    std::vector<float> minLimitArr;  // fractions 0-1 of the range
    std::vector<float> maxLimitArr;
    std::vector<float> transmissionArr = {0.008f, 0.014f, 0.021f, 0.028f, 0.032f, 0.04f};  // km/h per rpm, gears 1-6
    int rpmRedLine = 8000;
    std::string model;
    int year = 0;

    static constexpr std::size_t gearCount = 6;
    // The most custom PIDs read from a file.
    static constexpr std::size_t maxPidCount = 256;

    // Appends a custom PID with limit entries of its own (warnings off, full range).
    void addPid(Pid pid);
    // Whether a sensor shows metric units; one without a unit entry does.
    bool isMetric(int sensor) const;
    // A sensor's warning settings; one without limit entries never warns.
    SensorLimits limits(int sensor) const;

    // Every archived field once, for the archive helpers.
    template <typename Self, typename Visitor>
    static void visitFields(Self& record, Visitor&& field);

    fnd::KeyedArchiver archive() const;
    // Missing or mistyped fields keep their defaults; arrays of the wrong length
    // are cut or completed from the defaults so every index stays valid. A custom
    // PID entry that is no record is left out (noted on `in`).
    static UserData fromArchive(const fnd::KeyedUnarchiver& in);
};
