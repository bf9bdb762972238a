#include "logging/SensorWarnings.h"

#include "core/obd/ECU.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"
#include "core/model/Manager.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"

void SensorWarnings::checkSensor(const Response& response)
{
    if (response.mode != service::currentDataReply)
        return;
    const Settings& settings = Manager::sharedManager().setting();
    const UserData& user = Manager::sharedManager().userData();
    if (response.pid == pid::vehicleSpeed) {
        if (!settings.speedLimitEnabled)
            return;
        const int unit = user.unitsArr[vehicleSpeedSensor];
        const int limit = unit == 1 ? settings.speedLimit2 : settings.speedLimit;
        if (limit < static_cast<int>(ECU::valueOf(response, unit)))
            fnd::SystemSound::play(warningSound);
    } else if (response.pid == pid::coolantTemperature) {
        checkTemperature(response, "High coolant temperature\n %d", coolant_);
    } else if (response.pid == pid::oilTemperature) {
        checkTemperature(response, "High engine oil temperature\n %d", oil_);
    }
}

void SensorWarnings::checkTemperature(const Response& response, const char* message, WarningAlert& warning)
{
    // Both temperatures follow the coolant sensor's unit choice.
    const int unit = Manager::sharedManager().userData().unitsArr[coolantSensor];
    const int temperature = static_cast<int>(ECU::valueOf(response, unit));
    if (temperature <= (unit == 1 ? hotMetric : hotImperial))
        return;
    fnd::SystemSound::play(warningSound);
    warning.show(fnd::format(message, temperature));
}
