#include "logging/SensorDecoder.h"

#include <algorithm>
#include <cmath>

#include "core/link/ECU.h"
#include "core/model/Manager.h"
#include "core/model/Tree.h"
#include "logging/LiveCalculations.h"
#include "logging/SensorPlan.h"
#include "platform/foundation/RunLoop.h"

namespace {

float decode(const Response& response, int sensorIndex, int pid, int unitMode)
{
    ECU ecu;
    ecu.setUnitMode(unitMode);
    ecu.setResponse(response);
    return ecu.calculate(sensorIndex, pid);
}

bool metric(int sensorIndex)
{
    return Manager::sharedManager().userData().unitsArr[static_cast<std::size_t>(sensorIndex)] == 1;
}

}  // namespace

std::optional<float> SensorDecoder::valueFor(int sensorIndex, const Response& response)
{
    tookFuelSample_ = false;
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
        return fuelEconomy(response);
    case sensorindex::boost:
        return boost(response);
    case sensorindex::horsepower:
        return horsepower(response);
    case sensorindex::battery:
        return std::nullopt;
    default:
        break;
    }
    if (sensorIndex < 0 || sensorIndex >= sensorindex::standardCount)
        return std::nullopt;
    return decode(response, sensorIndex, response.pid, metric(sensorIndex) ? 1 : 0);
}

std::optional<float> SensorDecoder::fuelEconomy(const Response& response)
{
    if (response.pid == 0x0D) {
        speed_ = decode(response, -1, 0x0D, 1);
        speedTime_ = fnd::RunLoop::main().now();
    } else if (response.pid == 0x10) {
        maf_ = decode(response, -1, 0x10, 1);
        haveMaf_ = true;
    }
    if (!haveMaf_)
        return std::nullopt;
    tookFuelSample_ = true;
    return livecalc::fuelEconomyMpg(speed_, maf_);
}

float SensorDecoder::boost(const Response& response)
{
    if (response.pid == 0x0B)
        map_ = decode(response, -1, 0x0B, 1);
    else if (response.pid == 0x33)
        baro_ = decode(response, -1, 0x33, 1);
    return livecalc::boost(map_, baro_, metric(sensorindex::boost));
}

float SensorDecoder::horsepower(const Response& response)
{
    float hp = 0;
    if (response.pid == 0x10) {
        hp = livecalc::horsepowerFromAirFlow(decode(response, -1, 0x10, 1));
    } else {
        if (response.pid == 0x63)
            torque_ = decode(response, -1, 0x63, 0);
        else if (response.pid == 0x0C)
            rpm_ = decode(response, -1, 0x0C, 1);
        hp = livecalc::horsepowerFromTorque(torque_, rpm_);
    }
    return livecalc::horsepowerIn(hp, metric(sensorindex::horsepower));
}
