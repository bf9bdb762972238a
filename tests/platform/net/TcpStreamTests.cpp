#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "platform/net/TcpStream.h"
#include "support/LoopbackServer.h"

namespace {

using fnd::RunLoop;
using net::TcpStream;
using testsupport::LoopbackConnection;
using testsupport::LoopbackServer;

// Records the stream's events; reads what arrives.
struct Recorder : TcpStream::Delegate {
    std::vector<std::string> events;
    std::string received;
    std::string error;

    void streamDidOpen(TcpStream&) override { events.push_back("open"); }
    void streamHasBytes(TcpStream& s) override
    {
        events.push_back("bytes");
        received += s.read();
    }
    void streamHasSpace(TcpStream&) override { events.push_back("space"); }
    void streamError(TcpStream&, const std::string& message) override
    {
        events.push_back("error");
        error = message;
    }
    void streamEnded(TcpStream&) override { events.push_back("end"); }

    bool saw(const std::string& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }
    long count(const std::string& event) const { return std::count(events.begin(), events.end(), event); }
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

TEST(TcpStream, ConnectsWritesAndReadsAgainstALoopbackServer)
{
    LoopbackServer server([](LoopbackConnection& c) {
        const std::string command = c.readUntil("\r");
        c.write("echo " + command + ">");
        c.readSome();  // until the client closes
    });
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("127.0.0.1", server.port());
    EXPECT_FALSE(stream.isOpen());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.saw("open") || recorder.saw("error"); }));
    ASSERT_TRUE(stream.isOpen()) << recorder.error;
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"open", "space"}));

    EXPECT_EQ(stream.write("ATZ\r"), 4u);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.received.find('>') != std::string::npos; }));
    EXPECT_EQ(recorder.received, "echo ATZ\r>");
    EXPECT_FALSE(recorder.saw("error"));
    stream.close();
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.write("more"), 0u);
}

// A name is looked up off the main thread; each of its addresses is tried until one answers (the server
// listens on 127.0.0.1 only, so another address of "localhost" is refused).
TEST(TcpStream, AHostNameIsLookedUpAndItsAddressesTriedInTurn)
{
    LoopbackServer server([](LoopbackConnection& c) {
        c.write("hello");
        c.readSome();
    });
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("localhost", server.port());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.received == "hello" || recorder.saw("error"); }));
    EXPECT_EQ(recorder.received, "hello") << recorder.error;
    EXPECT_TRUE(stream.isOpen());
}

TEST(TcpStream, AStreamClosedWhileItsHostIsLookedUpHearsNothingMore)
{
    LoopbackServer server([](LoopbackConnection& c) { c.readSome(); });
    TcpStream closed;
    Recorder quiet;
    closed.setDelegate(&quiet);
    closed.connectToHost("localhost", server.port());
    closed.close();
    // Names are looked up one after another: once a later one has connected, the first came back too.
    TcpStream later;
    Recorder recorder;
    later.setDelegate(&recorder);
    later.connectToHost("localhost", server.port());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.saw("open") || recorder.saw("error"); }));
    RunLoop::main().advance(30);
    EXPECT_TRUE(quiet.events.empty());
    EXPECT_FALSE(closed.isOpen());
}

// What the socket cannot take at once waits in the stream; the delegate hears of space once it is all
// taken, after the write returns, as a logger waiting to send its next rows relies on.
TEST(TcpStream, ALargeWriteArrivesWholeAndSpaceFollowsOnceAllIsTaken)
{
    const std::string rows(8 << 20, 'r');
    std::string arrived;
    LoopbackServer server([&](LoopbackConnection& c) {
        while (arrived.size() < rows.size()) {
            const std::string part = c.readSome();
            if (part.empty())
                break;
            arrived += part;
        }
        c.write("done");
        c.readSome();
    });
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("127.0.0.1", server.port());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.saw("space") || recorder.saw("error"); }));
    recorder.events.clear();
    EXPECT_EQ(stream.write(rows), rows.size());
    EXPECT_TRUE(recorder.events.empty()) << "space comes from the loop, not from inside write()";
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.received == "done" || recorder.saw("error"); }));
    EXPECT_EQ(recorder.count("space"), 1);
    EXPECT_EQ(recorder.received, "done") << recorder.error;
}

TEST(TcpStream, ARefusedConnectionIsAnError)
{
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("127.0.0.1", testsupport::unusedLoopbackPort());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !recorder.events.empty(); }));
    EXPECT_EQ(recorder.events, std::vector<std::string>{"error"});
    EXPECT_NE(lower(recorder.error).find("refused"), std::string::npos) << recorder.error;
    EXPECT_FALSE(stream.isOpen());
    RunLoop::main().advance(30);  // the connect timeout no longer fires
    EXPECT_EQ(recorder.count("error"), 1);
}

TEST(TcpStream, AnUnknownHostIsAnError)
{
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("no-such-host.invalid", 35000);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !recorder.events.empty(); }));
    EXPECT_EQ(recorder.events, std::vector<std::string>{"error"});
}

TEST(TcpStream, TheRemoteClosingEndsTheStreamAfterItsLastBytes)
{
    LoopbackServer server([](LoopbackConnection& c) { c.write("bye"); });
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("127.0.0.1", server.port());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return recorder.saw("end") || recorder.saw("error"); }));
    recorder.received += stream.read();
    EXPECT_EQ(recorder.received, "bye");
    EXPECT_EQ(recorder.count("end"), 1);
    EXPECT_FALSE(recorder.saw("error")) << recorder.error;
    EXPECT_FALSE(stream.isOpen());
}

TEST(TcpStream, AConnectionThatGetsNoAnswerTimesOutOnTheLoopClock)
{
    testsupport::StalledListener listener;
    TcpStream stream;
    Recorder recorder;
    stream.setDelegate(&recorder);
    stream.connectToHost("127.0.0.1", listener.port(), 5.0);
    RunLoop::main().advance(4.9);
    EXPECT_TRUE(recorder.events.empty());
    RunLoop::main().advance(0.1);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"error"});
    EXPECT_NE(recorder.error.find("timed out"), std::string::npos);
}

// A delegate that destroys its stream from inside an event, as a link does
// when it gives up on an adapter.
struct Destroyer : TcpStream::Delegate {
    std::unique_ptr<TcpStream> stream;
    bool ended = false;
    void streamHasBytes(TcpStream&) override { finish(); }
    void streamEnded(TcpStream&) override { finish(); }
    void streamError(TcpStream&, const std::string&) override { finish(); }
    void finish()
    {
        stream.reset();
        ended = true;
    }
};

TEST(TcpStream, TheDelegateMayDestroyTheStreamInsideAnEvent)
{
    LoopbackServer server([](LoopbackConnection& c) { c.write("data"); });
    Destroyer destroyer;
    destroyer.stream = std::make_unique<TcpStream>();
    destroyer.stream->setDelegate(&destroyer);
    destroyer.stream->connectToHost("127.0.0.1", server.port());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return destroyer.ended; }));
    RunLoop::main().advance(1.0);  // pending socket events and deferred deletes run safely
}

}  // namespace
