// The link's dialogue and polling against the simulator.

#include "LinkFixture.h"

#include "core/link/ELMScanner.h"
#include "core/obd/ECU.h"

namespace {

using elmsim::CarState;

float decoded(const Response& response, int unitMode = 1)
{
    ECU ecu;
    ecu.setUnitMode(unitMode);
    ecu.setResponse(response);
    return ecu.calculate(-1, response.pid);
}

TEST_F(LinkTest, InitialisesInOrderAndReadsSupportedPids)
{
    ASSERT_TRUE(connect());
    const std::vector<std::string> expected = {"AT Z", "AT E0", "AT L0", "AT H1", "AT SP 0",
                                               "0100", "AT DPN", "0120",  "0140",  "0160"};
    EXPECT_EQ(sim.requests(), expected);
    EXPECT_EQ(link->deviceName(), "ELM327 v1.5");
    EXPECT_EQ(recorder->initialized, 1);
    EXPECT_TRUE(recorder->connectedAtInitialize);
    EXPECT_EQ(link->ecus(), std::vector<int>{0x7E8});
    EXPECT_EQ(link->selectedECU(), 0x7E8);

    // Cleared at connect, then one report per bitmap read.
    EXPECT_EQ(supportedReports, 5);
    EXPECT_EQ(supported, link->supportedPIDs());
    for (int pid : {0x01, 0x05, 0x0C, 0x0D, 0x10, 0x2F, 0x33, 0x5C, 0x63})
        EXPECT_TRUE(supported.isSupported(pid)) << pid;
    for (int pid : {0x02, 0x13, 0x1A, 0x5B, 0x64, 0x80})
        EXPECT_FALSE(supported.isSupported(pid)) << pid;
}

TEST_F(LinkTest, ChosenProtocolIsSetAndLegacyRepliesAreRead)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.carProtocol = 3; });
    settings.protocol = 3;
    sim.updateCar([](CarState& s) { s.rpm = 2000; });
    ASSERT_TRUE(connect());
    EXPECT_EQ(requestCount("AT SP 3"), 1);
    EXPECT_EQ(dynamic_cast<ELMScanner&>(*link).protocolNumber(), 3);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, false);
    ASSERT_TRUE(waitForResponses(1));
    EXPECT_EQ(recorder->all()[0].ecu, 0x10);
    EXPECT_FLOAT_EQ(decoded(recorder->all()[0]), 2000.0f);
}

// Every protocol the adapter knows: the frames are read and decoded to the car's values.
class EveryProtocol : public LinkTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryProtocol, DecodesLiveDataAndJoinsVehicleInformation)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.carProtocol = GetParam(); });
    sim.updateCar([](CarState& s) {
        s.rpm = 3120;
        s.speed = 87;
        s.coolant = 91;
        s.maf = 24.5;
    });
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255),
                           link->commandForOBD2(0x01, 0x05, 255), link->commandForOBD2(0x01, 0x10, 255)},
                          false);
    ASSERT_TRUE(waitForResponses(4));
    const auto responses = recorder->all();
    EXPECT_FLOAT_EQ(decoded(responses[0]), 3120.0f);
    EXPECT_FLOAT_EQ(decoded(responses[1]), 87.0f);
    EXPECT_FLOAT_EQ(decoded(responses[2]), 91.0f);
    EXPECT_NEAR(decoded(responses[3]), 24.5f, 0.01f);
    EXPECT_NEAR(decoded(responses[1], 0), 87.0f * 62 / 100, 0.01f);

    link->sendCommand(link->commandForOBD2(0x09, 0x02, 255));
    ASSERT_TRUE(waitForResponses(5));
    const Response vin = recorder->all()[4];
    EXPECT_EQ(vin.mode, 0x49);
    const std::string text(vin.data.begin(), vin.data.end());
    EXPECT_NE(text.find("1D4GP00R55B123456"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Protocols, EveryProtocol, ::testing::Range(1, 10));

TEST_F(LinkTest, CyclingListRepeatsInOrder)
{
    ASSERT_TRUE(connect());
    sim.clearRequests();
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255)}, true);
    ASSERT_TRUE(waitForResponses(6));
    const auto responses = recorder->all();
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(responses[i].pid, i % 2 == 0 ? 0x0C : 0x0D) << i;
    ASSERT_TRUE(link->commands().has_value());
    EXPECT_EQ(link->commands()->size(), 2u);
}

TEST_F(LinkTest, OneShotListIsSentOnceThenTheLinkIsIdle)
{
    ASSERT_TRUE(connect());
    sim.clearRequests();
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255)}, false);
    ASSERT_TRUE(waitForResponses(2));
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(sim.requests(), (std::vector<std::string>{"010c", "010d", "011c"}));
}

TEST_F(LinkTest, ListSetBeforeConnectingStartsAfterInitialisation)
{
    makeLink();
    link->setInitCommands({link->commandForOBD2(0x01, 0x0D, 255)}, true);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(waitForResponses(2));
}

TEST_F(LinkTest, KeepsPollingWithoutDelegateAndStopsOnNilList)
{
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, true);
    ASSERT_TRUE(waitForResponses(1));
    link->setDelegate(nullptr);
    const int before = requestCount("010c");
    ASSERT_TRUE(waitForRequests("010c", before + 3));

    link->setDelegate(recorder);
    link->setCommands(std::nullopt);
    EXPECT_FALSE(link->commands().has_value());
    ASSERT_TRUE(roundTrip());
    const int stopped = requestCount("010c");
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(requestCount("010c"), stopped);
}

// A byte sent while the adapter answers would abort its reply, so sendCommand waits its turn.
TEST_F(LinkTest, SendCommandWaitsBehindTheRequestInFlight)
{
    sim.setLatency(0.02);
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255)}, true);
    ASSERT_TRUE(waitForResponses(1));
    for (int i = 0; i < 5; ++i) {
        link->sendCommand(link->commandForOBD2(0x01, 0x05, 255));
        link->sendCommand(ELMCommand("0111"));
    }
    ASSERT_TRUE(waitFor([&] {
        const auto all = recorder->all();
        return std::count_if(all.begin(), all.end(), [](const Response& r) { return r.pid == 0x11; }) == 5;
    }));
    EXPECT_EQ(sim.interruptions(), 0);
    EXPECT_EQ(requestCount("0105"), 5);
}

TEST_F(LinkTest, FastPollingAsksForOneReply)
{
    settings.fastPolling = true;
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 2; });
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x01, 0x0D, 255)}, false);
    ASSERT_TRUE(waitForResponses(1));
    EXPECT_EQ(requestCount("010d1"), 1);
}

TEST_F(LinkTest, StatusRequestsEveryFiveSecondsUnlessBlocked)
{
    settings.speedWarning = true;
    settings.temperatureWarning = true;
    sim.updateCar([](CarState& s) { s.speed = 120; });
    ASSERT_TRUE(connect());
    ASSERT_EQ(link->statusCommands().size(), 3u);

    auto& clock = fnd::RunLoop::main();
    clock.advance(4.9);
    ASSERT_TRUE(roundTrip());
    EXPECT_TRUE(recorder->statuses.empty());

    clock.advance(0.1);
    ASSERT_TRUE(waitFor([&] { return recorder->statuses.size() >= 3; }));
    std::vector<int> pids;
    for (const auto& call : recorder->statuses)
        pids.push_back(call.front().pid);
    EXPECT_EQ(pids, (std::vector<int>{0x0D, 0x05, 0x5C}));
    EXPECT_FLOAT_EQ(decoded(recorder->statuses[0].front()), 120.0f);
    EXPECT_EQ(recorder->responses.size(), 1u);  // only the round trip's

    link->shoulBlockStatus(true);
    clock.advance(5.0);
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(recorder->statuses.size(), 3u);

    link->shoulBlockStatus(false);
    clock.advance(5.0);
    ASSERT_TRUE(waitFor([&] { return recorder->statuses.size() >= 6; }));
}

TEST_F(LinkTest, StatusListLeavesOutOilTemperatureTheCarLacks)
{
    settings.temperatureWarning = true;
    sim.updateCar([](CarState& s) { s.missingPids = {0x5C}; });
    ASSERT_TRUE(connect());
    ASSERT_EQ(link->statusCommands().size(), 1u);
    EXPECT_EQ(link->statusCommands()[0].pid, 0x05);
}

TEST_F(LinkTest, VoltageReplyCarriesItsText)
{
    sim.updateCar([](CarState& s) { s.voltage = 13.8; });
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForVoltage()}, false);
    ASSERT_TRUE(waitFor([&] { return !recorder->voltages.empty(); }));
    ASSERT_EQ(recorder->voltages[0].size(), 1u);
    EXPECT_EQ(recorder->voltages[0][0].dataString, "13.8V");
    EXPECT_FALSE(recorder->voltages[0][0].rawData.has_value());
    EXPECT_TRUE(recorder->responses.empty());
}

TEST_F(LinkTest, SeveralEcusFirstOneTakenByDefault)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 2; });
    ASSERT_TRUE(connect());
    EXPECT_EQ(recorder->offeredECUs, (std::vector<int>{0x7E8, 0x7E9}));
    EXPECT_EQ(link->selectedECU(), 0x7E8);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0D, 255)}, false);
    ASSERT_TRUE(waitForResponses(1));
    ASSERT_TRUE(roundTrip());
    for (const Response& r : recorder->all())
        EXPECT_EQ(r.ecu, 0x7E8);
}

TEST_F(LinkTest, DelegateChoosesTheEcu)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 3; });
    recorder->choosesECU = true;
    makeLink();
    link->connect();
    ASSERT_TRUE(waitFor([&] { return !recorder->offeredECUs.empty(); }));
    EXPECT_EQ(recorder->offeredECUs, (std::vector<int>{0x7E8, 0x7E9, 0x7EA}));
    EXPECT_FALSE(link->isConnected());

    link->selectECU(0x7E9);
    ASSERT_TRUE(waitFor([&] { return link->isConnected(); }));
    // The transmission ECU's bitmap: no engine PIDs.
    EXPECT_TRUE(supported.isSupported(0x0D));
    EXPECT_FALSE(supported.isSupported(0x0C));
    link->setInitCommands({link->commandForOBD2(0x01, 0x0D, 255)}, false);
    ASSERT_TRUE(waitForResponses(1));
    EXPECT_EQ(recorder->all().size(), 1u);
    EXPECT_EQ(recorder->all()[0].ecu, 0x7E9);
}

class Packing : public LinkTest {
protected:
    std::vector<Command> liveList()
    {
        return {link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255),
                link->commandForOBD2(0x01, 0x05, 255), link->commandForVoltage(),
                link->commandForOBD2(0x01, 0x10, 255)};
    }
};

TEST_F(Packing, PacksConsecutiveServiceOnePidsWhenTheCarAnswersThem)
{
    settings.multiMessageCAN = true;
    sim.updateCar([](CarState& s) {
        s.rpm = 1500;
        s.speed = 42;
        s.coolant = 80;
    });
    ASSERT_TRUE(connect());
    EXPECT_TRUE(dynamic_cast<ELMScanner&>(*link).isPacking());
    sim.clearRequests();
    link->setInitCommands(liveList(), false);
    ASSERT_TRUE(waitForResponses(4));
    ASSERT_TRUE(waitFor([&] { return !recorder->voltages.empty(); }));
    EXPECT_EQ(sim.requests(), (std::vector<std::string>{"010c0d05", "AT RV", "0110"}));
    ASSERT_EQ(recorder->responses[0].size(), 3u);
    EXPECT_FLOAT_EQ(decoded(recorder->responses[0][0]), 1500.0f);
    EXPECT_FLOAT_EQ(decoded(recorder->responses[0][1]), 42.0f);
    EXPECT_FLOAT_EQ(decoded(recorder->responses[0][2]), 80.0f);
}

struct PackingCase {
    const char* name;
    int protocol;
    bool carPacks;
    bool setting;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const PackingCase& c, std::ostream* os)
{
    *os << c.name;
}

class NoPacking : public Packing, public ::testing::WithParamInterface<PackingCase> {};

TEST_P(NoPacking, SendsOnePidPerRequest)
{
    const PackingCase& c = GetParam();
    settings.multiMessageCAN = c.setting;
    sim.setOptions([&](elmsim::AdapterOptions& o) {
        o.carProtocol = c.protocol;
        o.packedRequests = c.carPacks;
    });
    ASSERT_TRUE(connect());
    EXPECT_FALSE(dynamic_cast<ELMScanner&>(*link).isPacking());
    sim.clearRequests();
    link->setInitCommands(liveList(), false);
    ASSERT_TRUE(waitForResponses(4));
    EXPECT_EQ(requestCount("010c"), 1);
    EXPECT_EQ(requestCount("010d"), 1);
}

INSTANTIATE_TEST_SUITE_P(WhenNotCorrect, NoPacking,
                         ::testing::Values(PackingCase{"SettingOff", 6, true, false},
                                           PackingCase{"CarAnswersFirstPidOnly", 6, false, true},
                                           PackingCase{"LegacyProtocol", 3, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, TroubleCodesAndFreezeFrameArriveWhole)
{
    sim.updateCar([](CarState& s) { s.storedCodes = {"P0301", "P0420", "C0035", "U0100"}; });
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x03, 255, 255), link->commandForOBD2(0x02, 0x02, 255)}, false);
    ASSERT_TRUE(waitForResponses(2));
    const auto responses = recorder->all();
    EXPECT_EQ(*responses[0].rawData, (std::vector<std::uint8_t>{0x43, 4, 0x03, 0x01, 0x04, 0x20, 0x40, 0x35, 0xC1, 0x00}));
    EXPECT_EQ(*responses[1].rawData, (std::vector<std::uint8_t>{0x42, 0x02, 0x00, 0x03, 0x01}));
}

TEST_F(LinkTest, RequestsBuiltAsLowercaseHex)
{
    makeLink();
    EXPECT_EQ(link->commandForOBD2(0x01, 0x0C, 255).commandString, "010c");
    EXPECT_EQ(link->commandForOBD2(0x22, 0xF1, 0x90).commandString, "22f190");
    EXPECT_EQ(link->commandForOBD2(0x03, 255, 255).commandString, "03");
    settings.fastPolling = true;
    link->setSettings(settings);
    const Command fast = link->commandForOBD2(0x01, 0xAB, 255);
    EXPECT_EQ(fast.commandString, "01ab1");
    EXPECT_EQ(link->commandForOBD2(0x22, 0xF1, 0x90).commandString, "22f1901");
    EXPECT_EQ(link->commandForOBD2(0x03, 255, 255).commandString, "03");
    // Requests several ECUs answer wait for every reply whatever the setting.
    EXPECT_EQ(link->commandForOBD2(0x09, 0x02, 255, Scanner::FastPolling::Off).commandString, "0902");
    EXPECT_EQ(fast.priority, 1);
    EXPECT_EQ(fast.pid2, 0);
    const Command voltage = link->commandForVoltage();
    EXPECT_EQ(voltage.commandString, "AT RV");
    EXPECT_EQ(voltage.priority, 3);
    EXPECT_EQ(voltage.pid, 255);
    EXPECT_TRUE(voltage.isVoltageCommand);
    EXPECT_EQ(ELMCommand("ATI").commandString, "ATI\r");
    EXPECT_EQ(ELMCommand("").commandString, "\r");
}

}  // namespace

// A console sees every reply to what it sent, the adapter's own texts included, under the request as sent.
TEST_F(LinkTest, SentRequestsReachTheConsoleWithTheirTexts)
{
    struct Console : LinkRecorder {
        std::vector<std::pair<std::string, std::vector<std::string>>> replies;
        void scannerDidReceiveReply(Scanner&, const std::string& request, const std::vector<Response>& responses,
                                    const std::vector<std::string>& texts) override
        {
            std::vector<std::string> lines = texts;
            for (const Response& r : responses)
                lines.push_back(std::to_string(r.rawData ? r.rawData->size() : 0) + " bytes");
            replies.emplace_back(request, lines);
        }
    };
    auto console = std::make_shared<Console>();
    recorder = console;
    ASSERT_TRUE(connect());
    for (const char* typed : {"ATI", "22F190", "010D"})
        link->sendCommand(ELMCommand(typed));
    ASSERT_TRUE(waitFor([&] { return console->replies.size() == 3; }));
    using Lines = std::vector<std::string>;
    EXPECT_EQ(console->replies[0], std::pair(std::string("ATI"), Lines{"ELM327 v1.5"}));
    EXPECT_EQ(console->replies[1], std::pair(std::string("22F190"), Lines{"NO DATA"}));
    EXPECT_EQ(console->replies[2], std::pair(std::string("010D"), Lines{"3 bytes"}));
}
