#include "core/model/SensorWarning.h"

#include <cmath>

#include "core/model/Settings.h"
#include "core/model/UserData.h"
#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"

namespace {

// The reply in whole units of `sensor`'s unit choice, or nothing when it is no number.
std::optional<int> wholeValue(const Response& response, const UserData& user, int sensor)
{
    const float value = ECU::valueOf(response, user.isMetric(sensor) ? 1 : 0);
    if (!std::isfinite(value))
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::optional<SensorWarning> SensorWarning::of(const Response& response, const Settings& settings,
                                               const UserData& user)
{
    if (response.mode != service::currentDataReply)
        return std::nullopt;
    if (response.pid == pid::vehicleSpeed) {
        if (!settings.speedLimitEnabled)
            return std::nullopt;
        const int limit = user.isMetric(vehicleSpeedSensor) ? settings.speedLimit2 : settings.speedLimit;
        const auto speed = wholeValue(response, user, vehicleSpeedSensor);
        if (speed && *speed > limit)
            return SensorWarning{Kind::speeding, *speed};
    } else if (response.pid == pid::coolantTemperature || response.pid == pid::oilTemperature) {
        const int limit = user.isMetric(coolantSensor) ? hotMetric : hotImperial;
        const auto temperature = wholeValue(response, user, coolantSensor);
        if (temperature && *temperature > limit)
            return SensorWarning{response.pid == pid::coolantTemperature ? Kind::hotCoolant : Kind::hotOil,
                                 *temperature};
    }
    return std::nullopt;
}

std::string SensorWarning::message() const
{
    switch (kind) {
    case Kind::hotCoolant:
        return fnd::format(fnd::L("High coolant temperature\n %d").c_str(), value);
    case Kind::hotOil:
        return fnd::format(fnd::L("High engine oil temperature\n %d").c_str(), value);
    case Kind::speeding:
        break;
    }
    return {};
}
