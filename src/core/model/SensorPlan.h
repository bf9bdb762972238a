#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/model/ReplyKey.h"
#include "core/model/VehicleCalc.h"
#include "core/obd/Command.h"
#include "core/obd/Response.h"
#include "core/obd/SensorTable.h"

class Scanner;

// The key of the reply a request brings. Only service 22 replies carry a
// second PID byte the reply parser reads.
ReplyKey replyKeyFor(const Command& command);
ReplyKey replyKeyFor(const Response& response);

// What one gauge, row of the sensor list or strip chart shows, and the
// requests that feed it.
struct SensorPlan {
    int sensorIndex = 0;
    std::string title;
    std::string units;
    float min = 0;
    float max = 0;
    std::vector<Command> commands;
};

enum class SensorName { Short, Long };

// The plan of a sensor by the sensor table, UserData and the car's supported
// PIDs, fuel economy by the inputs of `fuelMethod`; nothing for a custom sensor
// that no longer exists (or any other index without a sensor). Without a link
// the requests carry their service and PIDs only, so a screen can show its
// gauges before the adapter connects.
std::optional<SensorPlan> planSensor(int sensorIndex, const Scanner* link, SensorName name,
                                     VehicleCalc::FuelMethod fuelMethod);

// A horsepower plan asks engine speed before the reference torque, as the strip
// charts and the camera tiles poll it (the sensor list asks the torque first).
void askEngineSpeedFirst(SensorPlan& plan);

// Which rows (or charts) each reply key feeds, built from the rows' requests.
using ReplyRoutes = std::map<ReplyKey, std::vector<int>>;
void addRoutes(ReplyRoutes& routes, int row, const std::vector<Command>& commands);
