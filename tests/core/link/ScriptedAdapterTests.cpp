// The ELM327 dialogue fed directly: the exact order of requests, and what a broken or hostile
// adapter might send.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/link/ELMScanner.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// A link whose transport is the test: it sees what the link writes and hands it bytes.
class ScriptedScan : public ELMScanner {
public:
    std::vector<std::string> written;

    void receive(std::string_view bytes) { transportDidReceive(bytes); }

private:
    void openTransport() override { transportDidOpen(); }
    void closeTransport() override {}
    bool writeToTransport(std::string_view bytes) override
    {
        written.emplace_back(bytes);
        return true;
    }
};

struct Recorder : ScannerDelegate {
    std::vector<std::vector<Response>> responses;
    void didReceiveResponse(const std::vector<Response>& r) override { responses.push_back(r); }
};

class ScriptedAdapter : public ::testing::Test {
protected:
    void SetUp() override { link.setDelegate(recorder); }

    // Answers the initialisation like a CAN adapter with headers on.
    void connect()
    {
        link.connect();
        link.receive("ELM327 v1.5\r\r>");
        link.receive("OK\r\r>");  // E0
        link.receive("OK\r\r>");  // L0
        link.receive("OK\r\r>");  // H1
        link.receive("OK\r\r>");  // SP 0
        link.receive("SEARCHING...\r7E8 06 41 00 BE 3E B8 10 55\r\r>");
        link.receive("A6\r\r>");
        ASSERT_TRUE(link.isConnected());
        link.written.clear();
    }

    ScriptedScan link;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

// Megabytes of prompts in one read once hung the main thread for minutes (each prompt shifted the
// rest of the buffer). The bound only tells a hang from the milliseconds this takes.
TEST_F(ScriptedAdapter, FloodOfPromptsDoesNotHang)
{
    connect();
    link.setInitCommands({link.commandForOBD2(0x01, 0x0C, 255)}, false);
    const auto start = std::chrono::steady_clock::now();
    link.receive(std::string(4 * 1024 * 1024, '>'));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30.0);

    ASSERT_TRUE(link.isConnected());
    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    link.receive("7E8 03 41 0D 2A 55 55 55 55\r\r>");
    ASSERT_EQ(recorder->responses.size(), 1u);
    EXPECT_EQ(recorder->responses[0][0].pid, 0x0D);
}

// Status requests queued by the timer while a reply was on its way must not go out once the
// screen has blocked them.
TEST_F(ScriptedAdapter, BlockingStatusDropsStatusRequestsAlreadyQueued)
{
    link.setSettings(LinkSettings{.speedWarning = true});
    connect();
    fnd::RunLoop::main().advance(ELMScanner::statusInterval / 2);
    link.setInitCommands({link.commandForOBD2(0x01, 0x0C, 255)}, true);
    fnd::RunLoop::main().advance(ELMScanner::statusInterval / 2);
    link.shoulBlockStatus(true);
    link.receive("7E8 04 41 0C 1A F8 55 55 55\r\r>");
    EXPECT_EQ(link.written, (std::vector<std::string>{"010c\r", "010c\r"}));
}

// Replies no adapter should send: each is survived, and the reply after it is read as usual.
TEST_F(ScriptedAdapter, BrokenRepliesLeaveTheLinkWorking)
{
    const std::string cases[] = {
        std::string(ELMScanner::maxBufferedBytes + 10, 'Z'),  // endless text, no prompt yet
        std::string("\0\0\0", 3),
        std::string(100000, '7') + "\r",
        "\xFF\xFE\x80\r7E8 99 41 0C\r0:\r1: 2: 3:\r7E8 1F FF 41\rFFF\r",
        "010d\r010d\rSEARCHING...\r010d\r",
    };
    connect();
    for (const std::string& junk : cases) {
        recorder->responses.clear();
        link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
        link.receive(junk);
        link.receive(">");
        link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
        link.receive("7E8 03 41 0D 2A 55 55 55 55\r\r>");
        ASSERT_TRUE(link.isConnected()) << junk.size();
        ASSERT_EQ(recorder->responses.size(), 1u) << junk.size();
        EXPECT_EQ(recorder->responses[0][0].data, std::vector<std::uint8_t>{0x2A});
    }
}

// A callback that runs the loop may let more bytes in before the read that called it is done: every
// reply is still read once, in order.
TEST_F(ScriptedAdapter, RepliesReadFromInsideACallbackKeepTheirOrder)
{
    struct Nested : Recorder {
        ScriptedScan* link = nullptr;
        void didReceiveResponse(const std::vector<Response>& r) override
        {
            Recorder::didReceiveResponse(r);
            if (responses.size() == 1)
                link->receive("41 0D 03\r\r>");
        }
    };
    const auto nested = std::make_shared<Nested>();
    nested->link = &link;
    connect();
    link.setDelegate(nested);
    link.setInitCommands({link.commandForOBD2(0x01, 0x0D, 255)}, true);
    link.receive("41 0D 01\r\r>41 0D 02\r\r>");
    std::vector<int> speeds;
    for (const auto& call : nested->responses)
        speeds.push_back(call.at(0).data.at(0));
    EXPECT_EQ(speeds, (std::vector<int>{1, 2, 3}));
}

// When lists go out: at once when nothing is polled, at the next prompt otherwise; setCommands sends
// nothing, and nil stops after the reply in flight.
TEST_F(ScriptedAdapter, ListsTakeOverAtThePrompt)
{
    connect();
    const Command rpm = link.commandForOBD2(0x01, 0x0C, 255);
    const Command speed = link.commandForOBD2(0x01, 0x0D, 255);
    const std::string reply = "41 0C 1A F8\r\r>";

    link.setInitCommands({rpm}, false);
    EXPECT_EQ(link.written, (std::vector<std::string>{"010c\r"}));
    link.setInitCommands({speed}, true);
    EXPECT_EQ(link.written.size(), 1u) << "nothing is written while a reply is awaited";
    link.receive(reply);
    EXPECT_EQ(link.written.back(), "010d\r");

    link.setCommands(std::vector<Command>{rpm});
    EXPECT_EQ(link.written.size(), 2u);
    link.receive(reply);
    EXPECT_EQ(link.written.back(), "010c\r");

    link.setCommands(std::nullopt);
    link.receive(reply);
    EXPECT_EQ(link.written.size(), 3u);

    link.setInitCommands({speed, rpm}, false);
    link.receive(reply);
    link.receive(reply);
    EXPECT_EQ(link.written, (std::vector<std::string>{"010c\r", "010d\r", "010c\r", "010d\r", "010c\r"}));
}

// An adapter that goes silent while nothing is polled is noticed by the link's own keep-alive request
// and reported as a drop, within a bounded time; one that answers stays connected and delivers nothing.
TEST_F(ScriptedAdapter, SilentAdapterIsReportedWhileNothingIsPolled)
{
    connect();
    auto& clock = fnd::RunLoop::main();
    for (int i = 0; i < 12; ++i) {
        clock.advance(ELMScanner::keepAliveInterval);
        ASSERT_EQ(link.written.size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(link.written.back(), "AT RV\r");
        link.receive("12.6V\r\r>");
    }
    EXPECT_TRUE(link.isConnected());
    EXPECT_TRUE(recorder->responses.empty());

    const double silentFrom = clock.now();
    clock.advance(ELMScanner::keepAliveInterval);
    for (int i = 0; i < ELMScanner::maxTimeouts && link.isConnected(); ++i)
        clock.advance(ELMScanner::replyTimeout);
    EXPECT_FALSE(link.isConnected());
    EXPECT_EQ(link.statusText(), "The adapter stopped answering");
    EXPECT_LE(clock.now() - silentFrom, ELMScanner::keepAliveInterval + ELMScanner::maxTimeouts * ELMScanner::replyTimeout);
}

// Replies are timed out on silence, not on their length: an adapter that sends one byte every 0.3 s
// connects and polls, but a reply that never ends is given up at its upper bound.
TEST_F(ScriptedAdapter, TricklingAdapterConnects)
{
    auto& clock = fnd::RunLoop::main();
    const auto trickle = [&](const std::string& text) {
        for (const char c : text) {
            clock.advance(0.3);
            link.receive(std::string(1, c));
        }
    };
    link.connect();
    trickle("ELM327 v1.5\r\r>");
    for (int i = 0; i < 4; ++i)
        trickle("OK\r\r>");
    trickle("SEARCHING...\r7E8 06 41 00 BE 3E B8 10 55\r\r>");
    trickle("A6\r\r>");
    ASSERT_TRUE(link.isConnected()) << link.statusText();
    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    trickle("7E8 03 41 0D 2A 55 55 55 55\r\r>");
    ASSERT_EQ(recorder->responses.size(), 1u);

    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    const double start = clock.now();
    while (link.written.back() != "\r" && clock.now() - start < 3 * ELMScanner::maxReplyTime)
        trickle("7");
    EXPECT_NEAR(clock.now() - start, ELMScanner::maxReplyTime, 0.5) << "the request in flight is stopped";
    EXPECT_EQ(recorder->responses.size(), 1u);
}

// An adapter that floods the link with bytes and never a prompt is no slow adapter: the noise thrown
// away does not keep the reply alive, and the drop says what happened.
TEST_F(ScriptedAdapter, FloodingAdapterIsDroppedWithItsOwnReason)
{
    connect();
    auto& clock = fnd::RunLoop::main();
    fnd::LogCapture log;
    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    const double start = clock.now();
    while (link.isConnected() && clock.now() - start < 10 * ELMScanner::replyTimeout) {
        link.receive(std::string(ELMScanner::maxBufferedBytes / 4, '7'));
        clock.advance(0.5);
    }
    EXPECT_FALSE(link.isConnected());
    EXPECT_EQ(link.statusText().rfind("The adapter sends data without end", 0), 0u) << link.statusText();
    EXPECT_LT(clock.now() - start, ELMScanner::maxTimeouts * 2 * ELMScanner::replyTimeout);
    const auto lines = log.lines();
    const auto tooLong = std::count_if(lines.begin(), lines.end(), [](const auto& line) {
        return line.second.find("reply too long") != std::string::npos;
    });
    EXPECT_LE(tooLong, ELMScanner::maxTimeouts) << "told once per request, not per read";
}

struct StatusRecorder : Recorder {
    std::vector<std::string> statusTexts;
    int initialized = 0;
    void scannerDidUpdateStatus(Scanner&, const std::string& text) override { statusTexts.push_back(text); }
    void scannerDidInitialize(Scanner&) override { ++initialized; }
};

// The delegate is held weakly: a screen that goes away without giving the link back is never called,
// and the default delegate takes over.
TEST_F(ScriptedAdapter, DelegateThatWentAwayIsNeverCalled)
{
    const auto menu = std::make_shared<StatusRecorder>();
    link.setDefaultDelegate(menu);
    connect();
    {
        const auto screen = std::make_shared<Recorder>();
        link.setDelegate(screen);
        EXPECT_EQ(link.delegate(), screen);
    }
    EXPECT_EQ(link.delegate(), menu);
    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    link.receive("7E8 03 41 0D 2A 55 55 55 55\r\r>");
    EXPECT_EQ(menu->responses.size(), 1u);
}

// A screen leaving after the next one took the link over must not take it from that one.
TEST_F(ScriptedAdapter, ReleasingChangesNothingOnceAnotherScreenHoldsTheLink)
{
    const auto menu = std::make_shared<StatusRecorder>();
    const auto leaving = std::make_shared<Recorder>();
    const auto arriving = std::make_shared<Recorder>();
    link.setDefaultDelegate(menu);
    link.setDelegate(leaving);
    link.setDelegate(arriving);
    link.releaseDelegate(leaving.get());
    EXPECT_EQ(link.delegate(), arriving);
    link.releaseDelegate(arriving.get());
    EXPECT_EQ(link.delegate(), menu);
    link.releaseDelegate(menu.get());
    EXPECT_EQ(link.delegate(), menu) << "the default delegate is not released";
}

// The connection's owner hears of its progress whichever screen holds the link; the screen does too.
TEST_F(ScriptedAdapter, DefaultDelegateHearsTheConnectionWhileAScreenHoldsTheLink)
{
    const auto menu = std::make_shared<StatusRecorder>();
    const auto screen = std::make_shared<StatusRecorder>();
    link.setDefaultDelegate(menu);
    link.setDelegate(screen);
    connect();
    EXPECT_EQ(menu->initialized, 1);
    EXPECT_EQ(screen->initialized, 1);
    EXPECT_EQ(menu->statusTexts.back(), "Connected");
    EXPECT_EQ(menu->statusTexts, screen->statusTexts);

    link.setDelegate(menu);
    link.disconnect();
    EXPECT_EQ(menu->statusTexts.back(), "Disconnected");
    EXPECT_EQ(std::count(menu->statusTexts.begin(), menu->statusTexts.end(), "Disconnected"), 1)
        << "told once when it is also the delegate";
}

// A request sent with its own receiver: the reply goes there, not to the delegate, and a request that
// gets no data calls nobody.
TEST_F(ScriptedAdapter, SentRequestWithItsOwnReceiver)
{
    connect();
    std::vector<std::vector<Response>> own;
    const auto keep = [&](const std::vector<Response>& r) { own.push_back(r); };
    link.sendCommand(link.commandForOBD2(0x01, 0x01, 255), keep);
    link.sendCommand(link.commandForOBD2(0x01, 0x0D, 255));
    link.sendCommand(link.commandForOBD2(0x01, 0x0E, 255), keep);
    link.receive("7E8 06 41 01 83 07 65 04\r\r>");
    link.receive("7E8 03 41 0D 2A 55 55 55 55\r\r>");
    link.receive("NO DATA\r\r>");
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].at(0).pid, 0x01);
    ASSERT_EQ(recorder->responses.size(), 1u);
    EXPECT_EQ(recorder->responses[0].at(0).pid, 0x0D);
    link.sendCommand(link.commandForVoltage(), keep);
    link.receive("12.6V\r\r>");
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[1].at(0).dataString, "12.6V");
}

}  // namespace
