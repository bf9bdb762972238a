// Faults of the adapter and of the connection: each is recovered from or reported, nothing hangs.

#include "LinkFixture.h"

#include "core/link/ELMScanner.h"
#include "platform/foundation/Log.h"

namespace {

using elmsim::Fault;

struct FaultCase {
    const char* name;
    Fault fault;
    bool delivered;                       // the faulted reply still carries its data
    std::optional<ReplyProblem> problem;  // what the delegate is told of the faulted request
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReplyFaults : public LinkTest, public ::testing::WithParamInterface<FaultCase> {};

// The faulted request is 010c; the ones after it must go out and come back as usual (the round trip's
// 011c first: a request sent outside the list goes right after the reply in flight).
TEST_P(ReplyFaults, TrafficGoesOn)
{
    const FaultCase& c = GetParam();
    ASSERT_TRUE(connect());
    sim.injectFault(c.fault);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255)}, false);
    link->sendCommand(link->commandForOBD2(0x01, 0x1C, 255));
    ASSERT_TRUE(waitFor([&] { return requestCount("010d") == 1; }));
    ASSERT_TRUE(waitFor([&] { return recorder->all().size() >= (c.delivered ? 3u : 2u); }));

    std::vector<int> pids;
    for (const Response& r : recorder->all())
        pids.push_back(r.pid);
    std::vector<int> expected = {0x1C, 0x0D};
    if (c.delivered)
        expected.insert(expected.begin(), 0x0C);
    EXPECT_EQ(pids, expected);
    EXPECT_TRUE(link->isConnected());
    EXPECT_EQ(dropped, 0);
    std::vector<std::pair<std::string, ReplyProblem>> failures;
    if (c.problem)
        failures.emplace_back(link->commandForOBD2(0x01, 0x0C, 255).commandString, *c.problem);
    EXPECT_EQ(recorder->failures, failures);
}

INSTANTIATE_TEST_SUITE_P(
    AdapterReplies, ReplyFaults,
    ::testing::Values(FaultCase{"Garbage", Fault::Garbage, false, ReplyProblem::Unreadable},
                      FaultCase{"StrayBytes", Fault::StrayBytes, true, std::nullopt},
                      FaultCase{"BusInit", Fault::BusInit, true, std::nullopt},
                      FaultCase{"Stopped", Fault::Stopped, false, ReplyProblem::Unreadable},
                      FaultCase{"CanError", Fault::CanError, false, ReplyProblem::Unreadable},
                      FaultCase{"BufferFull", Fault::BufferFull, true, ReplyProblem::Unreadable},
                      FaultCase{"UnableToConnect", Fault::UnableToConnect, false, ReplyProblem::Unreadable},
                      FaultCase{"NoData", Fault::NoData, false, ReplyProblem::NoData},
                      FaultCase{"Unknown", Fault::Unknown, false, ReplyProblem::Unreadable},
                      FaultCase{"LvReset", Fault::LvReset, false, std::nullopt},
                      // A reply shorter than its PID's data is never decoded: "41 0C 1A" is no engine speed.
                      FaultCase{"ShortReply", Fault::OddBytes, false, ReplyProblem::Unreadable},
                      FaultCase{"LyingLength", Fault::LyingLength, false, ReplyProblem::Unreadable},
                      FaultCase{"BadHex", Fault::BadHex, false, ReplyProblem::Unreadable}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, AdapterRestartIsConfiguredAgain)
{
    ASSERT_TRUE(connect());
    sim.clearRequests();
    sim.injectFault(Fault::LvReset);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, true);
    ASSERT_TRUE(waitForResponses(2));
    const auto log = sim.requests();
    const std::vector<std::string> head(log.begin(), log.begin() + 6);
    EXPECT_EQ(head, (std::vector<std::string>{"010c", "AT E0", "AT L0", "AT H1", "AT SP 0", "0100"}));
    EXPECT_TRUE(link->isConnected());
    EXPECT_EQ(recorder->all().back().ecu, 0x7E8);  // headers are on again
}

TEST_F(LinkTest, UnableToConnectIsReported)
{
    ASSERT_TRUE(connect());
    sim.injectFault(Fault::UnableToConnect);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, false);
    ASSERT_TRUE(roundTrip());
    EXPECT_NE(std::find(recorder->statusTexts.begin(), recorder->statusTexts.end(), "Unable to connect to the vehicle"),
              recorder->statusTexts.end());
}

struct AdapterStyle {
    const char* name;
    std::function<void(elmsim::AdapterOptions&)> set;
};

void PrintTo(const AdapterStyle& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterStyles : public LinkTest, public ::testing::WithParamInterface<AdapterStyle> {};

TEST_P(AdapterStyles, RepliesAreReadTheSame)
{
    sim.setOptions(GetParam().set);
    sim.updateCar([](elmsim::CarState& s) { s.rpm = 4000; });
    ASSERT_TRUE(connect());
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x09, 0x02, 255)}, false);
    ASSERT_TRUE(waitForResponses(2));
    const auto responses = recorder->all();
    EXPECT_EQ(responses[0].data, (std::vector<std::uint8_t>{0x3E, 0x80}));
    EXPECT_EQ(responses[1].data.size(), 17u);  // the VIN alone, without its item count
    EXPECT_EQ(link->deviceName(), "ELM327 v1.5");
}

INSTANTIATE_TEST_SUITE_P(
    LineEndsSpacesEcho, AdapterStyles,
    ::testing::Values(AdapterStyle{"CrLf", [](elmsim::AdapterOptions& o) { o.lineEnd = "\r\n"; }},
                      AdapterStyle{"NoSpaces", [](elmsim::AdapterOptions& o) { o.spaces = false; }},
                      AdapterStyle{"EchoAlwaysOn", [](elmsim::AdapterOptions& o) { o.echo = true; }},
                      AdapterStyle{"AllAtOnce",
                                   [](elmsim::AdapterOptions& o) {
                                       o.lineEnd = "\r\n";
                                       o.spaces = false;
                                       o.echo = true;
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, HeadersTurnedOffByTheUserAreFollowed)
{
    ASSERT_TRUE(connect());
    link->sendCommand(ELMCommand("AT H0"));
    link->setInitCommands({link->commandForOBD2(0x09, 0x02, 255)}, false);
    ASSERT_TRUE(waitForResponses(1));
    EXPECT_EQ(recorder->all()[0].ecu, 0);
    EXPECT_EQ(recorder->all()[0].data.size(), 17u);
}

TEST_F(LinkTest, ReplyThatNeverEndsIsStoppedAndTrafficGoesOn)
{
    ASSERT_TRUE(connect());
    sim.injectFault(Fault::Stall);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255), link->commandForOBD2(0x01, 0x0D, 255)}, false);
    ASSERT_TRUE(waitForRequests("010c", 1));
    fnd::RunLoop::main().advance(ELMScanner::replyTimeout - 0.1);
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(requestCount("010d"), 0);  // nothing overtakes the stalled request

    fnd::RunLoop::main().advance(0.1);
    ASSERT_TRUE(waitForResponses(1));
    EXPECT_EQ(recorder->all()[0].pid, 0x0D);
    EXPECT_EQ(sim.interruptions(), 1);
    EXPECT_TRUE(link->isConnected());
}

TEST_F(LinkTest, AdapterThatKeepsStallingIsDropped)
{
    ASSERT_TRUE(connect());
    sim.injectFault(Fault::Stall, -1);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, true);
    for (int i = 1; i <= ELMScanner::maxTimeouts; ++i) {
        ASSERT_TRUE(waitForRequests("010c", i));
        fnd::RunLoop::main().advance(ELMScanner::replyTimeout);
    }
    ASSERT_TRUE(waitFor([&] { return dropped == 1; }));
    EXPECT_FALSE(link->isConnected());
    EXPECT_EQ(link->statusText(), "The adapter stopped answering");

    sim.clearFaults();
    ASSERT_TRUE(connect());
    ASSERT_TRUE(waitForResponses(1));  // the cycling list starts again
}

TEST_F(LinkTest, DroppedConnectionIsPostedAndCanConnectAgain)
{
    ASSERT_TRUE(connect());
    sim.injectFault(Fault::Drop);
    link->setInitCommands({link->commandForOBD2(0x01, 0x0C, 255)}, false);
    ASSERT_TRUE(waitFor([&] { return dropped == 1; }));
    EXPECT_FALSE(link->isConnected());
    EXPECT_EQ(link->statusText().rfind("Connection lost", 0), 0u) << link->statusText();

    ASSERT_TRUE(connect());
    EXPECT_EQ(sim.connections(), 2);
    EXPECT_EQ(recorder->initialized, 2);
}

TEST_F(LinkTest, SilentAdapterFailsInitialisation)
{
    sim.injectFault(Fault::Stall);
    makeLink();
    link->connect();
    ASSERT_TRUE(waitForRequests("0100", 1));
    fnd::RunLoop::main().advance(ELMScanner::searchTimeout);
    ASSERT_TRUE(waitFor([&] { return dropped == 1; }));
    EXPECT_FALSE(link->isConnected());
    EXPECT_EQ(link->statusText(), "The adapter did not answer");
}

TEST_F(LinkTest, CarThatDoesNotAnswerFailsInitialisation)
{
    sim.injectFault(Fault::UnableToConnect);
    EXPECT_FALSE(connect());
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(link->statusText(), "Unable to connect to the vehicle");
    ASSERT_TRUE(connect());
}

TEST_F(LinkTest, RefusedConnectionIsPosted)
{
    sim.stop();
    EXPECT_FALSE(connect());
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(link->statusText().rfind("Cannot reach the adapter at 127.0.0.1:", 0), 0u) << link->statusText();
}

TEST_F(LinkTest, AdapterTypesWithoutTransportFailWithAMessage)
{
    for (int mode : {1, 2, 3, 4, 99}) {
        SCOPED_TRACE(mode);
        makeLink(mode);
        const int before = dropped;
        link->connect();
        ASSERT_TRUE(waitFor([&] { return dropped == before + 1; }));
        EXPECT_FALSE(link->isConnected());
        EXPECT_NE(link->statusText().find("no transport here"), std::string::npos);
        EXPECT_EQ(recorder->statusTexts.back(), link->statusText());
    }
    EXPECT_EQ(sim.connections(), 0);
}

TEST_F(LinkTest, NothingIsSentWhileNotConnected)
{
    fnd::LogCapture log;
    makeLink();
    link->sendCommand(link->commandForOBD2(0x01, 0x0C, 255));
    link->updateWarning();
    EXPECT_TRUE(log.contains("not connected"));
    ASSERT_TRUE(connect());
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(requestCount("010c"), 0);
}

TEST_F(LinkTest, DisconnectPostsNothingAndAllowsConnectingAgain)
{
    ASSERT_TRUE(connect());
    link->disconnect();
    EXPECT_FALSE(link->isConnected());
    ASSERT_TRUE(connect());
    EXPECT_EQ(dropped, 0);
}

}  // namespace
