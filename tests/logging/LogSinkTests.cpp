#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "LoggingTest.h"
#include "core/model/CsvText.h"
#include "core/model/MultiLog.h"
#include "logging/ScanLog.h"
#include "logging/SocketLog.h"
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

std::string now()
{
    return fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now());
}

class SensorFile : public LoggingTest {};

TEST_F(SensorFile, ValuesOnePerLine)
{
    ScanLog log("Engine speed", "rpm");
    EXPECT_EQ(log.filePath(), fnd::Paths::documents() / "Engine speed.csv");
    log.addValue(850);
    log.addValue(12.5f);
    log.addValue(1.0f / 3.0f);
    ASSERT_TRUE(log.saveToFile());
    EXPECT_EQ(contents(log.filePath()), "Engine speed in rpm\n850\n12.5\n0.3333333\n");
}

TEST_F(SensorFile, StampedRowsAndRowsWrittenAsRecorded)
{
    ScanLog log("Coolant", "°C");
    log.addValue(90);
    log.addTimeStamp();
    const std::string first = now();
    ASSERT_TRUE(log.appendNewRows(true));
    EXPECT_EQ(contents(log.filePath()), "Coolant in °C\n" + first + ", 90\n") << "on disk while recording";
    advance(1);
    log.addValue(100);
    ASSERT_TRUE(log.appendNewRows(true));
    EXPECT_EQ(contents(log.filePath()), "Coolant in °C\n" + first + ", 90\n") << "a value waits for its stamp";
    log.addTimeStamp();
    const std::string second = now();
    ASSERT_TRUE(log.appendNewRows(true));
    const std::string expected = "Coolant in °C\n" + first + ", 90\n" + second + ", 100\n";
    EXPECT_EQ(contents(log.filePath()), expected);
    ASSERT_TRUE(log.saveToFile());
    EXPECT_EQ(contents(log.filePath()), expected) << "the final save writes the same bytes";
}

TEST_F(SensorFile, NamesAreSafeFileNamesAndCsvFieldsAreQuoted)
{
    ScanLog log("Fuel/Air ratio", "λ");
    EXPECT_EQ(log.filePath().filename(), "Fuel-Air ratio.csv");
    ScanLog quoted("Boost, turbo", "bar");
    quoted.addValue(1);
    ASSERT_TRUE(quoted.saveToFile());
    EXPECT_EQ(contents(quoted.filePath()), "\"Boost, turbo in bar\"\n1\n");
    EXPECT_EQ(safeFileName(".."), "-..");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST_F(SensorFile, MultiSensorLogQuotesAndWritesAsItGoes)
{
    MultiLog log({"Speed, road", "RPM"}, {"km/h", "rpm"}, "datalog");
    log.sensorValArray()[0].push_back("42");
    log.sensorValArray()[1].push_back("1800");
    ASSERT_TRUE(log.appendNewRows(1));
    const std::string date = fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now());
    const std::string header = "Norvale data log " + date + "\n\"Speed, road (km/h)\",RPM (rpm),\n";
    EXPECT_EQ(contents(log.filePath()), header + "42,1800,\n");
    log.sensorValArray()[0].push_back("43");
    log.sensorValArray()[1].push_back("1900");
    ASSERT_TRUE(log.saveToFile());
    EXPECT_EQ(contents(log.filePath()), header + "42,1800,\n43,1900,\n");
}

TEST_F(SensorFile, RowsThatCannotBeWrittenWaitUpToALimit)
{
    ScanLog log("Engine speed", "rpm");
    std::filesystem::create_directories(log.filePath() / "in-the-way");
    for (std::size_t i = 0; i <= CsvAppender::maxPendingRows; ++i)
        log.addValue(static_cast<float>(i));
    EXPECT_FALSE(log.appendNewRows(false));
    EXPECT_EQ(log.pendingRows(), CsvAppender::maxPendingRows);
    EXPECT_EQ(log.lostRows(), 1u);
    std::filesystem::remove_all(log.filePath());
    EXPECT_FALSE(log.saveToFile()) << "written now, but not in full";
    const std::string text = contents(log.filePath());
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1) + 1), "Engine speed in rpm\n1\n")
        << "the oldest value gave way";
    EXPECT_EQ(log.pendingRows(), 0u);
}

class TcpLogger : public LoggingTest {
protected:
    struct Listener : SocketLogDelegate {
        int closed = 0;
        void disconnectSocket() override { ++closed; }
    } listener;
};

TEST_F(TcpLogger, SendsAsciiLinesEndedByACarriageReturn)
{
    std::string received;
    std::atomic<bool> done{false};
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        received = c.readUntil("end\r");
        done = true;
    });
    SocketLog log("127.0.0.1", server.port());
    log.setDelegate(&listener);
    log.sendData("dropped before the connection");
    log.connect();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return log.connected(); }));
    log.sendData("12:00:01: Coolant 90");
    log.sendData("Température 5");
    log.sendData("end");
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return done.load(); }));
    EXPECT_EQ(received, "12:00:01: Coolant 90\rTemp?rature 5\rend\r");
}

TEST_F(TcpLogger, AServerThatClosesIsReportedOnce)
{
    testsupport::LoopbackServer server([](testsupport::LoopbackConnection& c) { c.close(); });
    SocketLog log("127.0.0.1", server.port());
    log.setDelegate(&listener);
    log.connect();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return listener.closed > 0; }));
    log.sendData("after the end");
    advance(1);
    EXPECT_EQ(listener.closed, 1);
    EXPECT_FALSE(log.connected());
    EXPECT_EQ(ui::AlertController::visible(), nullptr) << "a connection that ends is no connection error";
}

TEST_F(TcpLogger, AServerThatNeverAcceptsTimesOutWithTheAlert)
{
    testsupport::StalledListener stalled;
    SocketLog log("127.0.0.1", stalled.port());
    log.setDelegate(&listener);
    log.connect();
    advance(4.9);
    EXPECT_EQ(listener.closed, 0);
    advance(0.2);
    EXPECT_EQ(listener.closed, 1);
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->actionTitles(), (std::vector<std::string>{"Cancel", "Retry"}));
    EXPECT_NE(ui::AlertController::visible()->message().find(std::to_string(stalled.port())), std::string::npos);
}

TEST_F(TcpLogger, PortZeroFailsAtOnce)
{
    SocketLog log("127.0.0.1", 0);
    log.setDelegate(&listener);
    log.connect();
    EXPECT_EQ(listener.closed, 1);
    advance(1);
    EXPECT_NE(ui::AlertController::visible(), nullptr);
}

TEST_F(TcpLogger, TheBufferKeepsTheNewestMegabyte)
{
    std::atomic<bool> release{false};
    std::string received;
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        while (!release)
            std::this_thread::yield();
        received = c.readUntil("last\r", 20);
    });
    SocketLog log("127.0.0.1", server.port());
    log.connect();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return log.connected(); }));
    const std::string line(999, 'x');
    for (int i = 0; i < 3000; ++i)
        log.sendData(line);
    EXPECT_LE(log.bufferedBytes(), SocketLog::maxBuffered);
    log.sendData("last");
    release = true;
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return log.bufferedBytes() == 0; }, 20));
}

}  // namespace
