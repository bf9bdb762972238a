#include "core/model/SensorPlan.h"

#include <algorithm>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/model/VehicleCalc.h"
#include "core/obd/PidNames.h"
#include "core/obd/PidPriorityTable.h"

namespace {

Command request(const Scanner* link, int service, int number, int second)
{
    if (link)
        return link->commandForOBD2(service, number, second);
    Command command;
    command.mode = static_cast<std::uint8_t>(service);
    command.pid = static_cast<std::uint8_t>(number);
    command.pid2 = static_cast<std::uint8_t>(second == pid::none ? 0 : second);
    return command;
}

Command liveData(const Scanner* link, int number, int priority)
{
    Command command = request(link, service::currentData, number, pid::none);
    command.priority = priority;
    return command;
}

Command voltage(const Scanner* link)
{
    if (link)
        return link->commandForVoltage();
    Command command;
    command.isVoltageCommand = true;
    return command;
}

std::vector<Command> calculatedRequests(int sensorIndex, const Scanner* link, VehicleCalc::FuelMethod fuelMethod)
{
    switch (sensorIndex) {
    case fuelEconomySensor: {
        // The inputs of the calculation method, speed first.
        std::vector<Command> out;
        for (int input : VehicleCalc::fuelPids(fuelMethod))
            out.push_back(liveData(link, input, 1));
        return out;
    }
    case boostSensor:
        return {liveData(link, pid::manifoldPressure, 1), liveData(link, pid::barometricPressure, 2)};
    case horsepowerSensor:
        if (DataStore::sharedDataStore().isService01PIDSupported(pid::referenceTorque))
            return {liveData(link, pid::referenceTorque, 1), liveData(link, pid::engineSpeed, 1)};
        return {liveData(link, pid::airFlow, 1)};
    default:
        return {voltage(link)};
    }
}

}  // namespace

ReplyKey replyKeyFor(const Command& command)
{
    return ReplyKey::ofRequest(command.mode, command.pid, command.mode == service::readByIdentifier ? command.pid2 : 0);
}

ReplyKey replyKeyFor(const Response& response)
{
    return ReplyKey::ofReply(response.mode, response.pid, response.pid2);
}

std::optional<SensorPlan> planSensor(int sensorIndex, const Scanner* link, SensorName name,
                                     VehicleCalc::FuelMethod fuelMethod)
{
    const UserData& user = Manager::sharedManager().userData();
    const DataStore& store = DataStore::sharedDataStore();
    SensorPlan plan;
    plan.sensorIndex = sensorIndex;
    if (sensorIndex >= firstCustomSensorIndex) {
        const std::size_t n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
        if (n >= user.pids.size())
            return std::nullopt;
        const Pid& custom = user.pids[n];
        Command command = request(link, custom.mode, custom.pid, custom.pid2 == 0 ? pid::none : custom.pid2);
        command.index = static_cast<int>(n);
        plan.commands.push_back(command);
        plan.title = custom.sName;
        plan.units = custom.unitsMode == 1 ? custom.units : custom.units2;
        plan.min = custom.min;
        plan.max = custom.max;
        return plan;
    }
    if (sensorIndex < 0 || sensorIndex > batteryVoltageSensor)
        return std::nullopt;
    const std::size_t s = static_cast<std::size_t>(sensorIndex);
    if (sensorIndex < standardSensorCount) {
        const int number = store.pidArr[s];
        plan.commands.push_back(liveData(link, number, pidPriority(number)));
    } else {
        plan.commands = calculatedRequests(sensorIndex, link, fuelMethod);
    }
    const bool metric = s < user.unitsArr.size() && user.unitsArr[s] == 1;
    plan.title = name == SensorName::Short ? user.shortNameArr[s] : user.longNameArr[s];
    plan.units = metric ? store.sensorMetUnitsArr[s] : store.sensorImpUnitsArr[s];
    plan.min = metric ? user.minArr[s] : user.minImpArr[s];
    plan.max = metric ? user.maxArr[s] : user.maxImpArr[s];
    return plan;
}

void askEngineSpeedFirst(SensorPlan& plan)
{
    if (plan.sensorIndex == horsepowerSensor)
        std::stable_partition(plan.commands.begin(), plan.commands.end(),
                              [](const Command& command) { return command.pid == pid::engineSpeed; });
}

void addRoutes(ReplyRoutes& routes, int row, const std::vector<Command>& commands)
{
    for (const Command& command : commands) {
        if (command.isVoltageCommand)
            continue;
        auto& rows = routes[replyKeyFor(command)];
        if (std::find(rows.begin(), rows.end(), row) == rows.end())
            rows.push_back(row);
    }
}
