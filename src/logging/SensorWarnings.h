#pragma once

#include "core/obd/Response.h"
#include "shell/WarningAlert.h"

// How the logging screens answer the link's status replies (see SensorWarning): the warning sound above
// the speed limit, and an alert with the sound when coolant or engine oil runs hot. At most one alert of
// each kind waits for the user at a time; the sound plays on every hot reply.
class SensorWarnings {
public:
    void checkSensor(const Response& response);

    static constexpr int warningSound = 1052;

private:
    WarningAlert coolant_{"Warning"};
    WarningAlert oil_{"Warning"};
};
