#pragma once

#include <optional>

#include "core/link/Response.h"

// Turns a reply routed to a row or chart into that sensor's value: standard
// sensors by the sensor table, custom sensors by their formula, and the
// calculated sensors (fuel economy, boost, horsepower) from the last values of
// the PIDs they combine, which it keeps between replies.
class SensorDecoder {
public:
    // Nothing for the battery (its value comes from the voltage reply), for a
    // custom sensor that no longer exists, and for fuel economy before the
    // first air-flow reply.
    std::optional<float> valueFor(int sensorIndex, const Response& response);

    // The last vehicle speed in km/h and when it arrived on the run loop's clock.
    float speed() const { return speed_; }
    double speedTime() const { return speedTime_; }
    // A fuel-economy value came out of the last valueFor.
    bool tookFuelSample() const { return tookFuelSample_; }

private:
    std::optional<float> fuelEconomy(const Response& response);
    float boost(const Response& response);
    float horsepower(const Response& response);

    float speed_ = 0;
    double speedTime_ = -1;
    float maf_ = 0;
    bool haveMaf_ = false;
    float map_ = 0;
    float baro_ = 101.325f;
    float rpm_ = 0;
    float torque_ = 0;
    bool tookFuelSample_ = false;
};
