#include <gtest/gtest.h>

#include <atomic>

#include "LoggingTest.h"
#include "logging/Recording.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "support/LoopbackServer.h"

namespace {

using loggingtests::advance;
using loggingtests::LoggingTest;

std::string contents(const std::filesystem::path& file)
{
    return fnd::readFile(file).value_or("<missing>");
}

std::string clock()
{
    return fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now());
}

std::string title()
{
    return "Norvale data log " + fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now()) + "\n";
}

class Recordings : public LoggingTest {
protected:
    std::unique_ptr<Recording> make()
    {
        return std::make_unique<Recording>(std::vector<std::string>{"Engine speed", "Coolant", "Battery"},
                                           std::vector<std::string>{"rpm", "°C", "V"},
                                           Recording::Events{[this] { ++closed; }, {}, {}});
    }
    int closed = 0;
};

TEST_F(Recordings, OneFileHoldsARowPerRoundOfLatestValues)
{
    settings().loggerTimeStamp = true;
    auto recording = make();
    EXPECT_EQ(recording->sink(), Recording::Sink::SingleFile);
    recording->record(0, 850);
    recording->record(1, 90.5f);
    const std::string first = clock();
    recording->record(0, 900);  // the next round; the battery had nothing
    recording->record(1, 91);
    const auto files = recording->finish().saved;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].path, fnd::Paths::documents() / "datalog.csv");
    EXPECT_EQ(contents(files[0].path), title() + "Time,Engine speed (rpm),Coolant (°C),Battery (V),\n" + first +
                                           ",850,90.5,,\n" + first + ",900,91,,\n");
}

TEST_F(Recordings, RowsReachTheDiskEverySecond)
{
    auto recording = make();
    const std::string started = title();  // the file starts now, a minute may turn before the rows come
    recording->record(0, 850);
    recording->record(0, 860);
    advance(1.0);
    EXPECT_EQ(contents(fnd::Paths::documents() / "datalog.csv"),
              started + "Engine speed (rpm),Coolant (°C),Battery (V),\n850,,,\n");
}

TEST_F(Recordings, AFilePerChart)
{
    settings().logFormat = 1;
    auto recording = make();
    recording->record(0, 850);
    recording->record(1, 88);
    recording->record(0, 1000);
    const auto files = recording->finish().saved;
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(contents(fnd::Paths::documents() / "Engine speed.csv"), "Engine speed in rpm\n850\n1000\n");
    EXPECT_EQ(contents(fnd::Paths::documents() / "Coolant.csv"), "Coolant in °C\n88\n");
    EXPECT_EQ(files[1].attachmentName, "Coolant in °C.csv");
}

TEST_F(Recordings, TheSampleRateLetsOneValuePerChartThroughEachTick)
{
    settings().logFormat = 1;
    settings().loggerTimeStamp = true;
    settings().loggerDelay = 2;
    auto recording = make();
    const std::string start = clock();
    recording->record(0, 1);
    recording->record(0, 2);
    recording->record(1, 3);
    advance(1);
    recording->record(0, 4);
    advance(1);
    const std::string tick = clock();
    recording->record(0, 5);
    recording->record(0, 6);
    recording->finish();
    EXPECT_EQ(contents(fnd::Paths::documents() / "Engine speed.csv"),
              "Engine speed in rpm\n" + start + ", 1\n" + tick + ", 5\n");
    EXPECT_EQ(contents(fnd::Paths::documents() / "Coolant.csv"), "Coolant in °C\n" + start + ", 3\n")
        << "a chart without values does not hold the others back";
}

TEST_F(Recordings, TcpLinesCarryStampNameAndWholeValue)
{
    std::string received;
    std::atomic<bool> done{false};
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        received = c.readUntil("Battery 12\r");
        done = true;
    });
    settings().loggerInterface = 1;
    settings().loggerIP = "127.0.0.1";
    settings().loggerPort = server.port();
    settings().loggerTimeStamp = true;
    auto recording = make();
    ASSERT_EQ(recording->sink(), Recording::Sink::Socket);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return recording->socketLog()->connected(); }));
    recording->record(1, 90.7f);
    recording->record(2, 12.6f);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return done.load(); }));
    EXPECT_EQ(received, clock() + ": Coolant 90\r" + clock() + ": Battery 12\r");
    const auto files = recording->finish();
    EXPECT_TRUE(files.saved.empty());
    EXPECT_TRUE(files.unsaved.empty());
}

TEST_F(Recordings, RawTcpLinesHoldTheValueAlone)
{
    std::string received;
    std::atomic<bool> done{false};
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        received = c.readUntil("\r");
        done = true;
    });
    settings().loggerInterface = 1;
    settings().loggerIP = "127.0.0.1";
    settings().loggerPort = server.port();
    settings().formattedLoggerData = false;
    auto recording = make();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return recording->socketLog()->connected(); }));
    recording->record(0, 850.9f);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return done.load(); }));
    EXPECT_EQ(received, "850\r");
}

TEST_F(Recordings, AFailedTcpConnectionIsReported)
{
    settings().loggerInterface = 1;
    settings().loggerIP = "127.0.0.1";
    settings().loggerPort = testsupport::unusedLoopbackPort();
    auto recording = make();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return closed > 0; }));
    recording->record(0, 1);
    EXPECT_EQ(closed, 1);
}

}  // namespace
