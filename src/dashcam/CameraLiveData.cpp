#include "dashcam/CameraLiveData.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/model/Manager.h"
#include "core/model/ReplyRouting.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Strings.h"

namespace {

// A custom sensor's range in the unit its tile shows.
void convertCustomRange(SensorPlan& slot)
{
    const auto& pids = Manager::sharedManager().userData().pids;
    const auto n = static_cast<std::size_t>(slot.sensorIndex - firstCustomSensorIndex);
    if (slot.sensorIndex < firstCustomSensorIndex || n >= pids.size() || pids[n].unitsMode != 0)
        return;
    slot.min = pids[n].offset + pids[n].conversion * slot.min;
    slot.max = pids[n].offset + pids[n].conversion * slot.max;
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

void CameraLiveData::addRequests(const std::vector<Command>& commands)
{
    for (const Command& command : commands) {
        const bool known = std::any_of(commandArr_.begin(), commandArr_.end(), [&](const Command& taken) {
            return command.isVoltageCommand ? taken.isVoltageCommand
                                            : !taken.isVoltageCommand && replyKeyFor(taken) == replyKeyFor(command);
        });
        if (!known)
            commandArr_.push_back(command);
    }
}

void CameraLiveData::rebuild(int tileCount, const Scanner* link)
{
    const Settings& settings = Manager::sharedManager().setting();
    slots_.clear();
    commandArr_.clear();
    pidMap_.clear();
    fuelBgTracking_ = false;
    decoder_ = SensorDecoder(VehicleCalc::FuelSetup{});

    const int count = std::clamp(tileCount, 0, maxTiles);
    for (int p = 0; p < count; ++p) {
        const auto entry = static_cast<std::size_t>(firstSlotEntry + p);
        const int sensorIndex = entry < settings.sensors.size() ? settings.sensors[entry] : 0;
        // The tiles never show g-force or gear.
        const bool shown = sensorIndex <= batteryVoltageSensor || sensorIndex >= firstCustomSensorIndex;
        auto plan = shown ? planSensor(sensorIndex, link, SensorName::Short, decoder_.fuelMethod()) : std::nullopt;
        if (plan) {
            convertCustomRange(*plan);
            askEngineSpeedFirst(*plan);
            addRoutes(pidMap_, p, plan->commands);
            addRequests(plan->commands);
            fuelBgTracking_ = fuelBgTracking_ || sensorIndex == fuelEconomySensor;
            slots_.push_back(std::move(*plan));
        } else {
            slots_.push_back({.sensorIndex = sensorIndex, .max = 1});
        }
    }
    if (settings.multiMessageCANEnabled) {
        const auto voltage = std::find_if(commandArr_.begin(), commandArr_.end(),
                                          [](const Command& command) { return command.isVoltageCommand; });
        if (voltage != commandArr_.end())
            std::rotate(commandArr_.begin(), voltage, voltage + 1);
    }
}

std::vector<CameraLiveData::SlotValue> CameraLiveData::valuesFor(const Response& response)
{
    decoder_.take(response);
    if (fuelBgTracking_ && response.mode == service::currentDataReply && response.pid == pid::vehicleSpeed)
        tally_.setSpeed(decoder_.speed());
    const auto fed = pidMap_.find(replyKeyFor(response));
    if (fed == pidMap_.end())
        return {};
    std::vector<SlotValue> values;
    bool sampled = false;
    for (int p : fed->second) {
        const int s = slots_[static_cast<std::size_t>(p)].sensorIndex;
        const auto value = decoder_.valueFor(s, response);
        if (!value || !std::isfinite(*value))
            continue;
        values.push_back({p, *value});
        // One sample per reply, however many tiles show fuel economy.
        if (s == fuelEconomySensor && !sampled && tally_.isRunning()) {
            tally_.addSample(*value);
            sampled = true;
        }
    }
    return values;
}

std::vector<CameraLiveData::SlotValue> CameraLiveData::valuesForVoltage(const std::vector<Response>& responses) const
{
    const auto first = std::find_if(slots_.begin(), slots_.end(),
                                    [](const SensorPlan& slot) { return slot.sensorIndex == batteryVoltageSensor; });
    if (first == slots_.end())
        return {};
    std::vector<SlotValue> values;
    showBatteryVolts(responses, static_cast<int>(first - slots_.begin()),
                     [&values](int slot, float volts) { values.push_back({slot, volts}); });
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
