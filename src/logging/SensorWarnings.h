#pragma once

#include "core/obd/Response.h"
#include "shell/WarningAlert.h"

// The speed and temperature warnings the live screens raise from the link's
// status replies: the warning sound above the speed limit, and an alert with
// the sound when coolant or engine oil runs hot. At most one alert of each kind
// waits for the user at a time; the sound plays on every hot reply.
class SensorWarnings {
public:
    void checkSensor(const Response& response);

    static constexpr int warningSound = 1052;
    static constexpr int hotMetric = 112;    // °C
    static constexpr int hotImperial = 235;  // °F

private:
    void checkTemperature(const Response& response, const char* message, WarningAlert& warning);

    WarningAlert coolant_{"Warning"};
    WarningAlert oil_{"Warning"};
};
