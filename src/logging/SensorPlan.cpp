#include "logging/SensorPlan.h"

#include <algorithm>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/model/VehicleCalc.h"
#include "core/obd/PidNames.h"
#include "dashboard/PidPriorityTable.h"

namespace {

Command liveData(const Scanner& link, int pid, int priority)
{
    Command command = link.commandForOBD2(service::currentData, pid, pid::none);
    command.priority = priority;
    return command;
}

std::vector<Command> calculatedRequests(int sensorIndex, const Scanner& link)
{
    switch (sensorIndex) {
    case fuelEconomySensor: {
        // The inputs of the user's calculation method, speed first.
        const auto method = VehicleCalc::fuelMethod(Manager::sharedManager().setting().fuelCalcMethod);
        std::vector<Command> out;
        for (int input : VehicleCalc::fuelPids(method))
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
        return {link.commandForVoltage()};
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

std::optional<SensorPlan> planSensor(int sensorIndex, const Scanner& link, SensorName name)
{
    const UserData& user = Manager::sharedManager().userData();
    const DataStore& store = DataStore::sharedDataStore();
    SensorPlan plan;
    plan.sensorIndex = sensorIndex;
    if (sensorIndex >= firstCustomSensorIndex) {
        const std::size_t n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
        if (n >= user.pids.size())
            return std::nullopt;
        const Pid& pid = user.pids[n];
        Command command = link.commandForOBD2(pid.mode, pid.pid, pid.pid2 == 0 ? 255 : pid.pid2);
        command.index = static_cast<int>(n);
        plan.commands.push_back(command);
        plan.title = pid.sName;
        plan.units = pid.unitsMode == 1 ? pid.units : pid.units2;
        plan.min = pid.min;
        plan.max = pid.max;
        return plan;
    }
    if (sensorIndex < 0 || sensorIndex > batteryVoltageSensor)
        return std::nullopt;
    const std::size_t s = static_cast<std::size_t>(sensorIndex);
    if (sensorIndex < standardSensorCount) {
        const int pid = store.pidArr[s];
        plan.commands.push_back(liveData(link, pid, pidPriority(pid)));
    } else {
        plan.commands = calculatedRequests(sensorIndex, link);
    }
    const bool metric = user.unitsArr[s] == 1;
    plan.title = name == SensorName::Short ? user.shortNameArr[s] : user.longNameArr[s];
    plan.units = metric ? store.sensorMetUnitsArr[s] : store.sensorImpUnitsArr[s];
    plan.min = metric ? user.minArr[s] : user.minImpArr[s];
    plan.max = metric ? user.maxArr[s] : user.maxImpArr[s];
    return plan;
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
