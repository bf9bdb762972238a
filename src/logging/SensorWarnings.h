#pragma once

#include <memory>
#include <string>

#include "core/obd/Response.h"

namespace ui {
class AlertController;
}

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
    struct Pending {
        std::weak_ptr<ui::AlertController> alert;
        std::shared_ptr<bool> open = std::make_shared<bool>(false);
        bool isWaiting() const { return *open && !alert.expired(); }
    };
    void checkTemperature(const Response& response, const char* message, Pending& pending);

    Pending coolant_;
    Pending oil_;
};
