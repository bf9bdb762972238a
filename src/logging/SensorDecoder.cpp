#include "logging/SensorDecoder.h"

#include <cmath>

#include "core/model/Manager.h"
#include "core/model/Tree.h"
#include "core/obd/ECU.h"
#include "logging/SensorPlan.h"

namespace {

bool metric(int sensorIndex)
{
    return Manager::sharedManager().userData().unitsArr[static_cast<std::size_t>(sensorIndex)] == 1;
}

}  // namespace

SensorDecoder::SensorDecoder() : calc_(VehicleCalc::FuelSetup::fromSettings(Manager::sharedManager().setting())) {}

void SensorDecoder::take(const Response& response)
{
    if (response.mode == 0x41)
        calc_.take(response.pid, ECU::valueOf(response, 1));
}

std::optional<float> SensorDecoder::valueFor(int sensorIndex, const Response& response) const
{
    if (sensorIndex >= sensorindex::firstCustom) {
        const auto& pids = Manager::sharedManager().userData().pids;
        const std::size_t n = static_cast<std::size_t>(sensorIndex - sensorindex::firstCustom);
        if (n >= pids.size())
            return std::nullopt;
        const Pid& pid = pids[n];
        float value = Tree::calculate(pid.root.get(), response.data);
        if (pid.unitsMode == 0)
            value = std::fma(value, pid.conversion, pid.offset);
        return value;
    }
    switch (sensorIndex) {
    case sensorindex::fuelEconomy:
        if (response.pid != VehicleCalc::fuelFlowPid(calc_.fuelSetup().method))
            return std::nullopt;
        return calc_.fuelEconomy();
    case sensorindex::boost:
        return calc_.boost(metric(sensorindex::boost));
    case sensorindex::horsepower:
        if (response.pid == 0x10)
            return calc_.horsepowerFromAirFlow(metric(sensorindex::horsepower));
        return calc_.horsepowerFromTorque(metric(sensorindex::horsepower));
    case sensorindex::battery:
        return std::nullopt;
    default:
        break;
    }
    if (sensorIndex < 0 || sensorIndex >= sensorindex::standardCount)
        return std::nullopt;
    return ECU::valueOf(response, metric(sensorIndex) ? 1 : 0, sensorIndex);
}
