#include "dashcam/CameraLiveData.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/model/Tree.h"
#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"
#include "dashboard/PidPriorityTable.h"
#include "platform/foundation/Strings.h"

namespace {

bool metric(int sensorIndex)
{
    const auto& units = Manager::sharedManager().userData().unitsArr;
    const auto s = static_cast<std::size_t>(sensorIndex);
    return s < units.size() && units[s] != 0;
}

const Pid* customPid(int sensorIndex)
{
    const auto& pids = Manager::sharedManager().userData().pids;
    const auto n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
    return sensorIndex >= firstCustomSensorIndex && n < pids.size() ? &pids[n] : nullptr;
}

}  // namespace

CameraLiveData::CameraLiveData()
{
    // A dropped link sends no more speeds: the distance tick must not go on adding the last one.
    droppedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [this](const fnd::Notification&) { stopPolling(); });
}

CameraLiveData::~CameraLiveData() { fnd::NotificationCenter::defaultCenter().removeObserver(droppedToken_); }

int CameraLiveData::gaugeTileCount(int camGaugeCount, int recordMode, bool gForceEnabled, bool isRaceMode)
{
    const int n = std::clamp(camGaugeCount, 1, maxTiles);
    const int extras = (gForceEnabled ? 1 : 0) + (isRaceMode ? 1 : 0);
    const int cap = (recordMode < 2 ? 4 : 5) - extras;
    return extras == 0 && recordMode >= 2 ? n : std::min(n, cap);
}

ReplyKey CameraLiveData::keyOf(const Command& command)
{
    // Only service 22 replies carry the second PID byte back.
    return ReplyKey::ofRequest(command.mode, command.pid, command.mode == service::readByIdentifier ? command.pid2 : 0);
}

void CameraLiveData::addRequest(int slot, Command command)
{
    if (!command.isVoltageCommand) {
        auto& fed = pidMap_[keyOf(command)];
        if (std::find(fed.begin(), fed.end(), slot) == fed.end())
            fed.push_back(slot);
    }
    const bool known = std::any_of(commandArr_.begin(), commandArr_.end(), [&](const Command& taken) {
        return command.isVoltageCommand ? taken.isVoltageCommand
                                        : !taken.isVoltageCommand && keyOf(taken) == keyOf(command);
    });
    if (!known)
        commandArr_.push_back(std::move(command));
}

void CameraLiveData::rebuild(int tileCount, const Scanner* link)
{
    const Settings& settings = Manager::sharedManager().setting();
    const UserData& user = Manager::sharedManager().userData();
    const DataStore& store = DataStore::sharedDataStore();
    slots_.clear();
    commandArr_.clear();
    pidMap_.clear();
    fuelBgTracking_ = false;
    calc_ = CalculatedSensors();

    const auto request = [link](int mode, int pid, int pid2) {
        if (link)
            return link->commandForOBD2(mode, pid, pid2);
        Command command;
        command.mode = static_cast<std::uint8_t>(mode);
        command.pid = static_cast<std::uint8_t>(pid);
        command.pid2 = static_cast<std::uint8_t>(pid2 == pid::none ? 0 : pid2);
        return command;
    };
    const auto voltage = [link] {
        if (link)
            return link->commandForVoltage();
        Command command;
        command.isVoltageCommand = true;
        return command;
    };
    const auto live = [&request](int pid, std::optional<int> priority = {}) {
        Command command = request(service::currentData, pid, pid::none);
        if (priority)
            command.priority = *priority;
        return command;
    };
    const int count = std::clamp(tileCount, 0, maxTiles);
    for (int p = 0; p < count; ++p) {
        Slot slot;
        const auto entry = static_cast<std::size_t>(firstSlotEntry + p);
        slot.sensorIndex = entry < settings.sensors.size() ? settings.sensors[entry] : 0;
        const int s = slot.sensorIndex;
        if (s >= 0 && s <= batteryVoltageSensor) {
            const auto i = static_cast<std::size_t>(s);
            if (s < standardSensorCount) {
                const int pid = store.pidArr[i];
                addRequest(p, live(pid, pidPriority(pid)));
            } else if (s == fuelEconomySensor) {
                fuelBgTracking_ = true;
                addRequest(p, live(pid::vehicleSpeed));
                addRequest(p, live(pid::airFlow));
            } else if (s == boostSensor) {
                addRequest(p, live(pid::manifoldPressure));
                addRequest(p, live(pid::barometricPressure, 2));
            } else if (s == horsepowerSensor) {
                if (store.isService01PIDSupported(pid::referenceTorque)) {
                    addRequest(p, live(pid::engineSpeed));
                    addRequest(p, live(pid::referenceTorque));
                } else {
                    addRequest(p, live(pid::airFlow));
                }
            } else {
                addRequest(p, voltage());
            }
            const bool m = metric(s);
            slot.name = user.shortNameArr[i];
            slot.units = m ? store.sensorMetUnitsArr[i] : store.sensorImpUnitsArr[i];
            slot.min = m ? user.minArr[i] : user.minImpArr[i];
            slot.max = m ? user.maxArr[i] : user.maxImpArr[i];
        } else if (const Pid* pid = customPid(s)) {
            Command command = request(pid->mode, pid->pid, pid->pid2 == 0 ? 255 : pid->pid2);
            command.index = s - firstCustomSensorIndex;
            addRequest(p, command);
            slot.name = pid->sName;
            if (pid->unitsMode == 0) {
                slot.min = pid->offset + pid->conversion * pid->min;
                slot.max = pid->offset + pid->conversion * pid->max;
                slot.units = pid->units2;
            } else {
                slot.min = pid->min;
                slot.max = pid->max;
                slot.units = pid->units;
            }
        } else {
            slot.polled = false;
        }
        slots_.push_back(std::move(slot));
    }
    if (settings.multiMessageCANEnabled) {
        const auto voltage = std::find_if(commandArr_.begin(), commandArr_.end(),
                                          [](const Command& command) { return command.isVoltageCommand; });
        if (voltage != commandArr_.end())
            std::rotate(commandArr_.begin(), voltage, voltage + 1);
    }
}

std::optional<float> CameraLiveData::valueFor(const Slot& slot, const Response& response) const
{
    const int s = slot.sensorIndex;
    if (const Pid* pid = customPid(s)) {
        float value = Tree::calculate(pid->root.get(), response.data);
        if (pid->unitsMode == 0)
            value = pid->offset + pid->conversion * value;
        return value;
    }
    if (response.mode != service::currentDataReply)
        return std::nullopt;
    switch (s) {
    case fuelEconomySensor:
        return response.pid == pid::airFlow ? calc_.fuelEconomy() : std::nullopt;
    case boostSensor:
        return calc_.boost(metric(boostSensor));
    case horsepowerSensor:
        return response.pid == pid::airFlow ? calc_.horsepowerFromAirFlow(metric(horsepowerSensor))
                                    : calc_.horsepowerFromTorque(metric(horsepowerSensor));
    default:
        break;
    }
    if (s < 0 || s >= standardSensorCount)
        return std::nullopt;
    return ECU::valueOf(response, metric(s) ? 1 : 0, s);
}

std::vector<CameraLiveData::SlotValue> CameraLiveData::valuesFor(const Response& response)
{
    if (response.mode == service::currentDataReply) {
        const float value = ECU::valueOf(response, 1);
        calc_.take(response.pid, value);
        if (response.pid == pid::vehicleSpeed && fuelBgTracking_)
            tally_.setSpeed(calc_.speed());
    }
    const auto fed = pidMap_.find(ReplyKey::ofReply(response.mode, response.pid, response.pid2));
    if (fed == pidMap_.end())
        return {};
    std::vector<SlotValue> values;
    bool sampled = false;
    for (int p : fed->second) {
        const Slot& slot = slots_[static_cast<std::size_t>(p)];
        const auto value = valueFor(slot, response);
        if (!value || !std::isfinite(*value))
            continue;
        values.push_back({p, *value});
        // One sample per reply, however many tiles show fuel economy.
        if (slot.sensorIndex == fuelEconomySensor && !sampled && tally_.isRunning()) {
            tally_.addSample(*value);
            sampled = true;
        }
    }
    return values;
}

std::vector<CameraLiveData::SlotValue> CameraLiveData::valuesForVoltage(const std::vector<Response>& responses) const
{
    const auto first = std::find_if(slots_.begin(), slots_.end(),
                                    [](const Slot& slot) { return slot.sensorIndex == batteryVoltageSensor; });
    if (first == slots_.end())
        return {};
    std::vector<SlotValue> values;
    for (const Response& response : responses)
        if (response.dataString)
            values.push_back({static_cast<int>(first - slots_.begin()), fnd::floatValue(*response.dataString)});
    return values;
}

void CameraLiveData::startPolling()
{
    if (fuelBgTracking_)
        tally_.start();
}

void CameraLiveData::stopPolling() { tally_.stop(); }

std::string CameraLiveData::valueText(float value, float fullScale)
{
    if (!std::isfinite(value))
        return "--";
    if (fullScale <= 3)
        return fnd::format("%.2f", value);
    if (fullScale <= 20)
        return fnd::format("%.1f", value);
    if (fullScale < 2000)
        return fnd::format("%d", static_cast<int>(std::clamp(value, -2e9f, 2e9f)));
    return fnd::format("%.1f", value / 1000.0);
}

std::string CameraLiveData::recordTimeText(int ticks)
{
    const int t = std::max(ticks, 0);
    return fnd::format("%02d:%02d:%02d", t / 36000, t / 600 % 60, t / 10 % 60);
}

std::string CameraLiveData::raceTimeText(int ticks)
{
    const int t = std::max(ticks, 0);
    return fnd::format("%02d:%02d.%01d", t / 600 % 60, t / 10 % 60, t % 10);
}

float CameraLiveData::gForceAxis(double acceleration)
{
    if (!std::isfinite(acceleration) || (acceleration > -0.099 && acceleration < 0.099))
        return 0;
    return static_cast<float>(acceleration * 1.3);
}

std::string CameraLiveData::coordinatesText(double latitude, double longitude)
{
    struct Dms {
        long long degrees, minutes, seconds;
    };
    const auto dms = [](double angle) {
        const long long t = std::llround(std::isfinite(angle) ? std::clamp(angle, -360.0, 360.0) * 3600 : 0.0);
        const long long whole = t / 3600;
        const long long rest = std::llabs(t - whole * 3600);
        return Dms{std::llabs(whole), rest / 60, rest % 60};
    };
    const Dms lat = dms(latitude);
    const Dms lon = dms(longitude);
    return fnd::format("%lld° %lld' %lld\" %c, %lld° %lld' %lld\" %c", lat.degrees, lat.minutes, lat.seconds,
                       latitude >= 0 ? 'N' : 'S', lon.degrees, lon.minutes, lon.seconds, longitude >= 0 ? 'E' : 'W');
}
