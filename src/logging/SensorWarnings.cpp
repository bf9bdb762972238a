#include "logging/SensorWarnings.h"

#include "core/model/Manager.h"
#include "core/model/SensorWarning.h"
#include "platform/foundation/SystemSound.h"

void SensorWarnings::checkSensor(const Response& response)
{
    Manager& manager = Manager::sharedManager();
    const auto warning = SensorWarning::of(response, manager.setting(), manager.userData());
    if (!warning)
        return;
    fnd::SystemSound::play(warningSound);
    if (warning->kind == SensorWarning::Kind::hotCoolant)
        coolant_.show(warning->message());
    else if (warning->kind == SensorWarning::Kind::hotOil)
        oil_.show(warning->message());
}
