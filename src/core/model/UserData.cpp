#include "core/model/UserData.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "core/model/Archive.h"
#include "core/obd/SensorTable.h"

namespace {

constexpr bool defaultNotify = false;
constexpr float defaultMinLimit = 0;
constexpr float defaultMaxLimit = 1;

}  // namespace

template <typename Self, typename Visitor>
void UserData::visitFields(Self& u, Visitor&& field)
{
    field("shortNameArr", u.shortNameArr);
    field("longNameArr", u.longNameArr);
    field("minArr", u.minArr);
    field("maxArr", u.maxArr);
    field("minImpArr", u.minImpArr);
    field("maxImpArr", u.maxImpArr);
    field("unitsArr", u.unitsArr);
    field("notifyLimitArr", u.notifyLimitArr);
    field("notifySoundLimArr", u.notifySoundLimArr);
    field("minLimitArr", u.minLimitArr);
    field("maxLimitArr", u.maxLimitArr);
    field("transmissionArr", u.transmissionArr);
    field("rpmRedLine", u.rpmRedLine);
    field("model", u.model);
    field("year", u.year);
}

namespace {

// Cuts `array` to `size` or completes it from `defaults` (or `fill` past their end).
template <typename T>
void fitTo(std::vector<T>& array, std::size_t size, const std::vector<T>& defaults, T fill)
{
    if (array.size() > size)
        array.resize(size);
    while (array.size() < size)
        array.push_back(array.size() < defaults.size() ? T(defaults[array.size()]) : fill);
}

// Keeps the built-in sensors' limit entries and those of the custom PIDs read (by their positions in the
// file's list), in one pass: a list of many unreadable entries costs no more than its length.
template <typename T>
void keepLimitsOf(std::vector<T>& limits, const std::vector<std::size_t>& readPositions)
{
    constexpr std::size_t builtIn = builtInSensorCount;
    std::vector<T> kept(limits.begin(), limits.begin() + static_cast<std::ptrdiff_t>(std::min(limits.size(), builtIn)));
    for (const std::size_t position : readPositions) {
        if (builtIn + position >= limits.size())
            break;
        kept.push_back(limits[builtIn + position]);
    }
    limits = std::move(kept);
}

}  // namespace

UserData::UserData()
{
    for (const auto& row : sensorTable) {
        shortNameArr.emplace_back(row.shortLabel);
        longNameArr.emplace_back(row.label);
        minArr.push_back(row.metricMin);
        maxArr.push_back(row.metricMax);
        minImpArr.push_back(row.imperialMin);
        maxImpArr.push_back(row.imperialMax);
        unitsArr.push_back(1);
    }
    notifyLimitArr.assign(builtInSensorCount, defaultNotify);
    notifySoundLimArr.assign(builtInSensorCount, defaultNotify);
    minLimitArr.assign(builtInSensorCount, defaultMinLimit);
    maxLimitArr.assign(builtInSensorCount, defaultMaxLimit);
}

bool UserData::isMetric(int sensor) const
{
    const auto at = static_cast<std::size_t>(sensor);
    return sensor < 0 || at >= unitsArr.size() || unitsArr[at] != 0;
}

SensorLimits UserData::limits(int sensor) const
{
    const auto at = static_cast<std::size_t>(sensor);
    if (sensor < 0 || at >= notifyLimitArr.size() || at >= notifySoundLimArr.size() || at >= minLimitArr.size() ||
        at >= maxLimitArr.size())
        return {};
    return {notifyLimitArr[at], notifySoundLimArr[at], minLimitArr[at], maxLimitArr[at]};
}

void UserData::addPid(Pid pid)
{
    pids.push_back(std::move(pid));
    notifyLimitArr.push_back(defaultNotify);
    notifySoundLimArr.push_back(defaultNotify);
    minLimitArr.push_back(defaultMinLimit);
    maxLimitArr.push_back(defaultMaxLimit);
}

fnd::KeyedArchiver UserData::archive() const
{
    fnd::KeyedArchiver out = archive::write(*this);
    nlohmann::json pidArray = nlohmann::json::array();
    for (const auto& pid : pids)
        pidArray.push_back(pid.toJson());
    out.encode("pids", pidArray);
    return out;
}

UserData UserData::fromArchive(const fnd::KeyedUnarchiver& in)
{
    UserData data;
    archive::readFields(in, data);
    if (const auto pidArray = in.decodeObject("pids"); pidArray.is_array()) {
        // An entry that is no record at all is left out, and its limits with it.
        std::vector<std::size_t> readPositions;
        std::size_t unreadable = 0;
        for (std::size_t position = 0; position < pidArray.size(); ++position) {
            if (data.pids.size() == maxPidCount) {
                in.noteDamage("more than " + std::to_string(maxPidCount) + " custom PIDs; the rest were left out");
                break;
            }
            if (pidArray[position].is_object()) {
                data.pids.push_back(Pid::fromJson(pidArray[position]));
                readPositions.push_back(position);
            } else {
                ++unreadable;
            }
        }
        if (unreadable > 0) {
            in.noteDamage(std::to_string(unreadable) + " unreadable custom PID" +
                          (unreadable == 1 ? " was" : "s were") + " left out");
            keepLimitsOf(data.notifyLimitArr, readPositions);
            keepLimitsOf(data.notifySoundLimArr, readPositions);
            keepLimitsOf(data.minLimitArr, readPositions);
            keepLimitsOf(data.maxLimitArr, readPositions);
        }
    }

    const UserData defaults;
    const std::size_t sensorCount = builtInSensorCount;
    fitTo(data.shortNameArr, sensorCount, defaults.shortNameArr, std::string());
    fitTo(data.longNameArr, sensorCount, defaults.longNameArr, std::string());
    fitTo(data.minArr, sensorCount, defaults.minArr, 0.0f);
    fitTo(data.maxArr, sensorCount, defaults.maxArr, 0.0f);
    fitTo(data.minImpArr, sensorCount, defaults.minImpArr, 0.0f);
    fitTo(data.maxImpArr, sensorCount, defaults.maxImpArr, 0.0f);
    fitTo(data.unitsArr, sensorCount, defaults.unitsArr, 1);
    const std::size_t limitCount = sensorCount + data.pids.size();
    fitTo(data.notifyLimitArr, limitCount, defaults.notifyLimitArr, defaultNotify);
    fitTo(data.notifySoundLimArr, limitCount, defaults.notifySoundLimArr, defaultNotify);
    fitTo(data.minLimitArr, limitCount, defaults.minLimitArr, defaultMinLimit);
    fitTo(data.maxLimitArr, limitCount, defaults.maxLimitArr, defaultMaxLimit);
    fitTo(data.transmissionArr, gearCount, defaults.transmissionArr, 0.0f);

    // Values outside what they can be go back to their defaults, per sensor.
    using archive::keepIn;
    for (std::size_t i = 0; i < sensorCount; ++i) {
        keepIn(data.unitsArr[i], 0, 1, 1);
        if (!(std::isfinite(data.minArr[i]) && std::isfinite(data.maxArr[i]) && data.minArr[i] < data.maxArr[i])) {
            data.minArr[i] = defaults.minArr[i];
            data.maxArr[i] = defaults.maxArr[i];
        }
        if (!(std::isfinite(data.minImpArr[i]) && std::isfinite(data.maxImpArr[i]) &&
              data.minImpArr[i] < data.maxImpArr[i])) {
            data.minImpArr[i] = defaults.minImpArr[i];
            data.maxImpArr[i] = defaults.maxImpArr[i];
        }
    }
    for (std::size_t i = 0; i < limitCount; ++i) {
        keepIn(data.minLimitArr[i], 0.0f, 1.0f, defaultMinLimit);
        keepIn(data.maxLimitArr[i], 0.0f, 1.0f, defaultMaxLimit);
    }
    for (std::size_t gear = 0; gear < gearCount; ++gear)
        keepIn(data.transmissionArr[gear], 0.0001f, 1.0f, defaults.transmissionArr[gear]);
    keepIn(data.rpmRedLine, 1000, 20000, defaults.rpmRedLine);
    keepIn(data.year, 0, 9999, defaults.year);
    return data;
}
