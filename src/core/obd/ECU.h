#pragma once

#include "core/obd/Response.h"

// Turns one reply into a number: by a sensor's formula (SensorIndex 0-94) or by
// the standard formula of its service-01 PID (index -1), in metric (unit mode 1)
// or imperial (0) units. Made fresh for each reply.
class ECU {
public:
    void setUnitMode(int unitMode) { unitMode_ = unitMode; }
    void setResponse(const Response& response) { response_ = response; }

    // 0 for an index or PID without a formula, and for a reply too short for it.
    // With index -1, PIDs 0x0B and 0x33 are in kPa in both unit systems.
    float calculate(int sensorIndex, int pid) const;

    // One reply's value in a unit mode, by its PID's standard formula unless a sensor index is given.
    static float valueOf(const Response& response, int unitMode, int sensorIndex = -1);

private:
    int unitMode_ = 1;
    Response response_;
};
