#include <algorithm>
#include <memory>

#include "DashcamTest.h"
#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/model/Pid.h"
#include "dashcam/CameraLiveData.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/editors/FormulaParser.h"

namespace {

using SlotValue = CameraLiveData::SlotValue;

class CameraLiveDataTest : public DashcamTest {
protected:
    void SetUp() override
    {
        DashcamTest::SetUp();
        link = Scanner::ScannerForMode(0, Manager::sharedManager().linkSettings());
    }

    void show(std::vector<int> sensors)
    {
        for (std::size_t p = 0; p < sensors.size(); ++p)
            settings().sensors[CameraLiveData::firstSlotEntry + p] = sensors[p];
        live.rebuild(static_cast<int>(sensors.size()), link.get());
    }

    static Response reply(int mode, int pid, std::vector<std::uint8_t> data, int pid2 = 0)
    {
        Response response;
        response.mode = static_cast<std::uint8_t>(mode);
        response.pid = static_cast<std::uint8_t>(pid);
        response.pid2 = static_cast<std::uint8_t>(pid2);
        response.data = std::move(data);
        return response;
    }

    static Pid customPid(int mode, int pid, int pid2, const char* formula)
    {
        Pid custom;
        custom.mode = mode;
        custom.pid = pid;
        custom.pid2 = pid2;
        custom.sName = "Custom";
        custom.min = 0;
        custom.max = 100;
        custom.root = std::get<std::shared_ptr<const Node>>(FormulaParser::parse(formula));
        return custom;
    }

    std::vector<std::tuple<int, int, int>> requests() const
    {
        std::vector<std::tuple<int, int, int>> out;
        for (const Command& command : live.commandArr())
            out.emplace_back(command.isVoltageCommand ? -1 : command.mode, command.pid, command.pid2);
        return out;
    }

    // The standard sensor read from a service-01 PID.
    static int sensorOf(int pid)
    {
        const auto& pids = DataStore::sharedDataStore().pidArr;
        return static_cast<int>(std::find(pids.begin(), pids.end(), pid) - pids.begin());
    }

    std::shared_ptr<Scanner> link;
    CameraLiveData live;
};

TEST_F(CameraLiveDataTest, TileCountsByResolutionAndExtras)
{
    EXPECT_EQ(CameraLiveData::gaugeTileCount(5, 1, true, true), 2);
    EXPECT_EQ(CameraLiveData::gaugeTileCount(5, 3, false, false), 5);
    EXPECT_EQ(CameraLiveData::gaugeTileCount(5, 0, false, false), 4);
    EXPECT_EQ(CameraLiveData::gaugeTileCount(5, 2, true, false), 4);
    EXPECT_EQ(CameraLiveData::gaugeTileCount(5, 4, true, true), 3);
    EXPECT_EQ(CameraLiveData::gaugeTileCount(2, 0, true, true), 2);
}

TEST_F(CameraLiveDataTest, RequestsAreOnePerReplyKey)
{
    Pid extended = customPid(0x22, 0x0B, 0x01, "A");
    userData().pids = {extended, customPid(0x22, 0x0B, 0x02, "B")};
    // Speed, rpm twice, the extended PID 22 0B 01, its sibling 22 0B 02, boost (0B and 33).
    const int speedPid = 0x0D;
    const int rpmPid = 0x0C;
    show({sensorOf(speedPid), sensorOf(rpmPid), sensorOf(rpmPid), 101, 102});
    EXPECT_EQ(requests(), (std::vector<std::tuple<int, int, int>>{
                              {1, speedPid, 0}, {1, rpmPid, 0}, {0x22, 0x0B, 0x01}, {0x22, 0x0B, 0x02}}));

    // An rpm reply feeds both rpm tiles; the extended reply only its own tile.
    const auto rpm = live.valuesFor(reply(0x41, rpmPid, {0x1F, 0x40}));
    EXPECT_EQ(rpm, (std::vector<SlotValue>{{1, 2000}, {2, 2000}}));
    const auto extendedValues = live.valuesFor(reply(0x62, 0x0B, {42}, 0x01));
    EXPECT_EQ(extendedValues, (std::vector<SlotValue>{{3, 42}}));
    EXPECT_TRUE(live.valuesFor(reply(0x41, 0x0B, {42})).empty());

    // Boost adds its two PIDs; the voltage request goes first on a multi-message adapter.
    settings().multiMessageCANEnabled = true;
    show({96, 98});
    EXPECT_EQ(requests(), (std::vector<std::tuple<int, int, int>>{{-1, link->commandForVoltage().pid, 0},
                                                                  {1, 0x0B, 0},
                                                                  {1, 0x33, 0}}));
}

TEST_F(CameraLiveDataTest, TilesArePlannedBeforeTheLinkConnects)
{
    settings().sensors[CameraLiveData::firstSlotEntry] = sensorOf(0x0C);
    settings().sensors[CameraLiveData::firstSlotEntry + 1] = 98;
    live.rebuild(2, nullptr);
    EXPECT_EQ(requests(), (std::vector<std::tuple<int, int, int>>{{1, 0x0C, 0}, {-1, 255, 0}}));
    EXPECT_EQ(live.slots()[0].title, userData().shortNameArr[8]);
    EXPECT_EQ(live.valuesFor(reply(0x41, 0x0C, {0x1F, 0x40})), (std::vector<SlotValue>{{0, 2000}}));
}

TEST_F(CameraLiveDataTest, CalculatedTilesUseTheSharedCalculations)
{
    userData().unitsArr[96] = 0;  // psi
    userData().unitsArr[95] = 0;
    show({96, 95});
    // Barometric pressure alone gives the boost tile nothing yet.
    EXPECT_TRUE(live.valuesFor(reply(0x41, 0x33, {100})).empty());
    const auto boost = live.valuesFor(reply(0x41, 0x0B, {150}));
    ASSERT_EQ(boost.size(), 1u);
    EXPECT_NEAR(boost[0].value, 7.25, 0.01);

    // Fuel economy: only the air-flow reply completes a sample; the speed reply gives the tile nothing.
    EXPECT_TRUE(live.valuesFor(reply(0x41, 0x0D, {100})).empty());
    const auto mpg = live.valuesFor(reply(0x41, 0x10, {0x03, 0xE8}));  // 10 g/s
    ASSERT_EQ(mpg.size(), 1u);
    EXPECT_EQ(mpg[0].slot, 1);
    EXPECT_NEAR(mpg[0].value, 71.07, 0.01);
}

TEST_F(CameraLiveDataTest, CustomFormulasAndMissingPids)
{
    userData().pids = {customPid(0x01, 0x0C, 0, "A*2")};
    // The custom service-01 PID shares rpm's key; a deleted custom PID is not polled.
    show({sensorOf(0x0C), 101, 105});
    EXPECT_EQ(live.commandArr().size(), 1u);
    EXPECT_TRUE(live.slots()[2].commands.empty());
    // Its tile keeps a range to stand still on.
    EXPECT_EQ(live.slots()[2].sensorIndex, 105);
    EXPECT_EQ(live.slots()[2].min, 0);
    EXPECT_EQ(live.slots()[2].max, 1);
    const auto values = live.valuesFor(reply(0x41, 0x0C, {0x1F, 0x40}));
    EXPECT_EQ(values, (std::vector<SlotValue>{{0, 2000}, {1, 62}}));
}

TEST_F(CameraLiveDataTest, VoltageFeedsTheFirstBatteryTile)
{
    show({sensorOf(0x0C), 98, 98});
    Response volts;
    volts.dataString = "12.6V";
    EXPECT_EQ(live.valuesForVoltage({volts}), (std::vector<SlotValue>{{1, 12.6f}}));
}

TEST_F(CameraLiveDataTest, FuelTimersNeverDoubleAndStopOnADrop)
{
    show({95});
    live.startPolling();
    live.startPolling();
    EXPECT_TRUE(live.isPolling());
    live.valuesFor(reply(0x41, 0x0D, {100}));
    live.valuesFor(reply(0x41, 0x10, {0x03, 0xE8}));
    advance(60.5);
    // One timer, so one mean a minute.
    ASSERT_EQ(DataStore::sharedDataStore().fuelEconomyArr.size(), 1u);
    EXPECT_NEAR(DataStore::sharedDataStore().fuelEconomyArr[0], 71.07, 0.01);

    fnd::NotificationCenter::defaultCenter().post(connectionDroppedNotification, nullptr);
    EXPECT_FALSE(live.isPolling());
    const float distance = DataStore::sharedDataStore().distance;
    EXPECT_GT(distance, 1.5f);  // about a minute at 100 km/h
    advance(120);
    EXPECT_FLOAT_EQ(DataStore::sharedDataStore().distance, distance);
    EXPECT_EQ(DataStore::sharedDataStore().fuelEconomyArr.size(), 1u);
}

TEST_F(CameraLiveDataTest, ValueAndCoordinateTexts)
{
    EXPECT_EQ(CameraLiveData::valueText(3456, 8000), "3.5");
    EXPECT_EQ(CameraLiveData::valueText(45.9f, 100), "45");
    EXPECT_EQ(CameraLiveData::valueText(0.456f, 2), "0.46");
    EXPECT_EQ(CameraLiveData::valueText(12.34f, 16), "12.3");
    EXPECT_EQ(CameraLiveData::recordTimeText(37234), "01:02:03");  // 1 h 2 min 3.4 s
    EXPECT_EQ(CameraLiveData::raceTimeText(37234), "02:03.4");
    EXPECT_FLOAT_EQ(CameraLiveData::gForceAxis(0.098), 0);
    EXPECT_FLOAT_EQ(CameraLiveData::gForceAxis(-0.5), -0.65f);
    EXPECT_EQ(CameraLiveData::coordinatesText(51.5, -0.1278), "51° 30' 0\" N, 0° 7' 40\" W");
    EXPECT_EQ(CameraLiveData::coordinatesText(-33.8568, 151.2153), "33° 51' 24\" S, 151° 12' 55\" E");
}

}  // namespace
