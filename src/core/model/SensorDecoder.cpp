#include "core/model/SensorDecoder.h"

#include <cmath>

#include "core/model/Manager.h"
#include "core/model/Pid.h"
#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/model/SensorPlan.h"

namespace {

const Pid* customPid(int sensorIndex)
{
    const auto& pids = Manager::sharedManager().userData().pids;
    if (sensorIndex < firstCustomSensorIndex)
        return nullptr;
    const auto n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
    return n < pids.size() ? &pids[n] : nullptr;
}

bool metric(int sensorIndex)
{
    const auto& units = Manager::sharedManager().userData().unitsArr;
    const auto s = static_cast<std::size_t>(sensorIndex);
    return s < units.size() && units[s] == 1;
}

}  // namespace

SensorDecoder::SensorDecoder() : calc_(VehicleCalc::FuelSetup::fromSettings(Manager::sharedManager().setting())) {}

void SensorDecoder::take(const Response& response)
{
    if (response.mode == service::currentDataReply)
        calc_.take(response.pid, ECU::valueOf(response, 1));
}

FormulaFault SensorDecoder::formulaFault(int sensorIndex, const Response& response) const
{
    const Pid* pid = customPid(sensorIndex);
    return pid ? Tree::evaluate(pid->root.get(), response.data).fault : FormulaFault::None;
}

std::optional<float> SensorDecoder::valueFor(int sensorIndex, const Response& response) const
{
    if (sensorIndex >= firstCustomSensorIndex) {
        const Pid* pid = customPid(sensorIndex);
        if (!pid)
            return std::nullopt;
        const std::optional<float> value = Tree::evaluate(pid->root.get(), response.data).value;
        if (!value || pid->unitsMode != 0)
            return value;
        return std::fma(*value, pid->conversion, pid->offset);
    }
    switch (sensorIndex) {
    case fuelEconomySensor:
        if (response.pid != VehicleCalc::fuelFlowPid(calc_.fuelSetup().method))
            return std::nullopt;
        return calc_.fuelEconomy();
    case boostSensor:
        return calc_.boost(metric(boostSensor));
    case horsepowerSensor:
        if (response.pid == pid::airFlow)
            return calc_.horsepowerFromAirFlow(metric(horsepowerSensor));
        return calc_.horsepowerFromTorque(metric(horsepowerSensor));
    case batteryVoltageSensor:
        return std::nullopt;
    default:
        break;
    }
    if (sensorIndex < 0 || sensorIndex >= standardSensorCount)
        return std::nullopt;
    return ECU::valueOf(response, metric(sensorIndex) ? 1 : 0, sensorIndex);
}
