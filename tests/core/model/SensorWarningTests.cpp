#include <gtest/gtest.h>

#include "core/model/SensorWarning.h"
#include "core/model/Settings.h"
#include "core/model/UserData.h"
#include "core/obd/PidNames.h"
#include "core/obd/SensorTable.h"

namespace {

using Kind = SensorWarning::Kind;

Response reply(int pid, std::vector<std::uint8_t> data, int mode = service::currentDataReply)
{
    Response r;
    r.mode = static_cast<std::uint8_t>(mode);
    r.pid = static_cast<std::uint8_t>(pid);
    r.data = std::move(data);
    return r;
}

class SensorWarningTest : public ::testing::Test {
protected:
    SensorWarningTest()
    {
        settings.speedLimitEnabled = true;
        settings.speedLimit = 70;    // mph
        settings.speedLimit2 = 110;  // km/h
    }
    std::optional<SensorWarning> of(const Response& response) const
    {
        return SensorWarning::of(response, settings, user);
    }
    void imperial(int sensor) { user.unitsArr[static_cast<std::size_t>(sensor)] = 0; }

    Settings settings;
    UserData user;
};

TEST_F(SensorWarningTest, SpeedAboveTheLimitOfTheSpeedUnitWhileTheWarningIsOn)
{
    EXPECT_FALSE(of(reply(pid::vehicleSpeed, {110}))) << "at the limit";
    const auto over = of(reply(pid::vehicleSpeed, {111}));
    ASSERT_TRUE(over);
    EXPECT_EQ(over->kind, Kind::speeding);
    EXPECT_EQ(over->value, 111);

    imperial(vehicleSpeedSensor);
    EXPECT_FALSE(of(reply(pid::vehicleSpeed, {113}))) << "113 km/h is 70 mph";
    ASSERT_TRUE(of(reply(pid::vehicleSpeed, {115})));
    EXPECT_EQ(of(reply(pid::vehicleSpeed, {115}))->value, 71);

    settings.speedLimitEnabled = false;
    EXPECT_FALSE(of(reply(pid::vehicleSpeed, {200})));
}

TEST_F(SensorWarningTest, CoolantAndOilAboveTheHotMarkOfTheCoolantUnit)
{
    EXPECT_FALSE(of(reply(pid::coolantTemperature, {40 + 112})));
    const auto coolant = of(reply(pid::coolantTemperature, {40 + 113}));
    ASSERT_TRUE(coolant);
    EXPECT_EQ(coolant->kind, Kind::hotCoolant);
    EXPECT_EQ(coolant->message(), "High coolant temperature\n 113");
    const auto oil = of(reply(pid::oilTemperature, {40 + 120}));
    ASSERT_TRUE(oil);
    EXPECT_EQ(oil->kind, Kind::hotOil);
    EXPECT_EQ(oil->message(), "High engine oil temperature\n 120");

    // 113 °C is 235.4 °F, whole 235: not above the imperial mark; 114 °C is 237 °F.
    imperial(coolantSensor);
    EXPECT_FALSE(of(reply(pid::coolantTemperature, {40 + 113})));
    const auto hot = of(reply(pid::oilTemperature, {40 + 114}));
    ASSERT_TRUE(hot);
    EXPECT_EQ(hot->value, 237);
}

TEST_F(SensorWarningTest, OtherRepliesWarnOfNothing)
{
    EXPECT_FALSE(of(reply(pid::coolantTemperature, {255}, service::currentDataReply + 1)));
    EXPECT_FALSE(of(reply(pid::engineSpeed, {0xFF, 0xFF})));
    EXPECT_FALSE(of(reply(pid::coolantTemperature, {})));
    EXPECT_FALSE(of(reply(pid::vehicleSpeed, {})));
}

}  // namespace
