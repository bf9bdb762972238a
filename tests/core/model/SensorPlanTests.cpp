// What a gauge, list row or strip chart asks the adapter for, and which replies feed it.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/model/SensorPlan.h"
#include "support/TestSupport.h"

namespace {

// A link that only builds requests, with the settings the test gives it.
class RequestOnlyLink : public Scanner {
public:
    void connect() override {}
    void disconnect() override {}
    void setInitCommands(std::vector<Command>, bool) override {}
    void setCommands(std::optional<std::vector<Command>>) override {}
    void sendCommand(const Command&, ReplyHandler) override {}
    void updateWarning() override {}
    void selectECU(int) override {}
};

VehicleCalc::FuelMethod usersFuelMethod()
{
    return VehicleCalc::fuelMethod(Manager::sharedManager().setting().fuelCalcMethod);
}

Response liveReply(int pid, std::vector<std::uint8_t> data)
{
    Response r;
    r.mode = 0x41;
    r.pid = static_cast<std::uint8_t>(pid);
    r.data = std::move(data);
    return r;
}

class RequestBuilding : public ::testing::Test {
protected:
    RequestBuilding()
    {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        DataStore::sharedDataStore().resetForTesting();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }

    std::shared_ptr<RequestOnlyLink> link = std::make_shared<RequestOnlyLink>();
};

TEST_F(RequestBuilding, StandardSensorsTakeTheirPidPriority)
{
    const auto rpm = planSensor(8, link.get(), SensorName::Short, usersFuelMethod());
    ASSERT_TRUE(rpm);
    ASSERT_EQ(rpm->commands.size(), 1u);
    EXPECT_EQ(rpm->commands[0].commandString, "010c");
    EXPECT_EQ(rpm->commands[0].priority, 1);
    EXPECT_EQ(planSensor(1, link.get(), SensorName::Short, usersFuelMethod())->commands[0].priority, 3) << "coolant 0x05 is slow";
    const int outsideTable = 94;  // a PID above 0x3B
    EXPECT_GT(DataStore::sharedDataStore().pidArr[outsideTable], 0x3B);
    EXPECT_EQ(planSensor(outsideTable, link.get(), SensorName::Short, usersFuelMethod())->commands[0].priority, 2);
}

TEST_F(RequestBuilding, CalculatedSensorsAskForWhatTheyCombine)
{
    const auto texts = [&](int sensor) {
        std::vector<std::pair<std::string, int>> out;
        const auto plan = planSensor(sensor, link.get(), SensorName::Short, usersFuelMethod());
        for (const Command& c : plan->commands)
            out.emplace_back(c.commandString, c.priority);
        return out;
    };
    using P = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(texts(95), (P{{"010d", 1}, {"0110", 1}}));
    settings().fuelCalcMethod = 1;
    EXPECT_EQ(texts(95), (P{{"010d", 1}, {"010b", 1}, {"010f", 1}, {"010c", 1}})) << "speed-density";
    settings().fuelCalcMethod = 0;
    EXPECT_EQ(texts(96), (P{{"010b", 1}, {"0133", 2}}));
    EXPECT_EQ(texts(97), (P{{"0110", 1}})) << "without reference torque, horsepower comes from air flow";
    DataStore::sharedDataStore().setSupportedPIDs(0x60, 1u << (31 - 2));  // bit of PID 0x63
    EXPECT_EQ(texts(97), (P{{"0163", 1}, {"010c", 1}}));
    const auto battery = planSensor(98, link.get(), SensorName::Short, usersFuelMethod());
    EXPECT_TRUE(battery->commands[0].isVoltageCommand);
    EXPECT_EQ(battery->commands[0].priority, 3);
}

TEST_F(RequestBuilding, FastPollingAsksForOneReply)
{
    LinkSettings fast;
    fast.fastPolling = true;
    link->setSettings(fast);
    EXPECT_EQ(planSensor(8, link.get(), SensorName::Short, usersFuelMethod())->commands[0].commandString, "010c1");
}

TEST_F(RequestBuilding, CustomSensorsUseTheirOwnBytesAndNames)
{
    Pid pid;
    pid.mode = 0x22;
    pid.pid = 0x11;
    pid.pid2 = 0x22;
    pid.sName = "Trans";
    pid.units = "C";
    pid.units2 = "F";
    pid.unitsMode = 0;
    pid.min = -40;
    pid.max = 150;
    userData().addPid(pid);
    const auto plan = planSensor(101, link.get(), SensorName::Long, usersFuelMethod());
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->title, "Trans");
    EXPECT_EQ(plan->units, "F");
    EXPECT_EQ(plan->commands[0].commandString, "221122");
    EXPECT_EQ(plan->commands[0].index, 0);
    EXPECT_EQ(replyKeyFor(plan->commands[0]), ReplyKey::ofRequest(0x22, 0x11, 0x22));
    EXPECT_FALSE(planSensor(102, link.get(), SensorName::Long, usersFuelMethod())) << "a deleted custom sensor has no plan";
}

TEST_F(RequestBuilding, RoutesFeedEveryRowOfAKey)
{
    ReplyRoutes routes;
    addRoutes(routes, 0, planSensor(8, link.get(), SensorName::Short, usersFuelMethod())->commands);
    addRoutes(routes, 1, planSensor(95, link.get(), SensorName::Short, usersFuelMethod())->commands);
    addRoutes(routes, 2, planSensor(97, link.get(), SensorName::Short, usersFuelMethod())->commands);
    addRoutes(routes, 3, planSensor(98, link.get(), SensorName::Short, usersFuelMethod())->commands);
    EXPECT_EQ(routes[ReplyKey::live(0x0C)], (std::vector<int>{0}));
    EXPECT_EQ(routes[ReplyKey::live(0x10)], (std::vector<int>{1, 2}));
    EXPECT_EQ(routes[ReplyKey::live(0x0D)], (std::vector<int>{1}));
    EXPECT_EQ(routes.size(), 3u) << "the battery's voltage reply has no key";
    EXPECT_EQ(replyKeyFor(liveReply(0x0C, {1, 2})), ReplyKey::live(0x0C));
}

}  // namespace
