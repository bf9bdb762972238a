#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/geo/LocationManager.h"
#include "platform/geo/NmeaText.h"
#include "platform/ui/Device.h"
#include "support/TestSupport.h"

namespace {

using geo::AuthorizationStatus;
using geo::LocationService;
namespace fs = std::filesystem;

struct Recorder : geo::LocationManagerDelegate {
    std::vector<AuthorizationStatus> statuses;
    std::vector<std::vector<geo::Location>> batches;
    std::vector<geo::Heading> headings;
    std::vector<std::string> errors;

    void locationManagerDidChangeAuthorizationStatus(geo::LocationManager&, AuthorizationStatus s) override
    {
        statuses.push_back(s);
    }
    void locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>& l) override
    {
        batches.push_back(l);
    }
    void locationManagerDidUpdateHeading(geo::LocationManager&, const geo::Heading& h) override
    {
        headings.push_back(h);
    }
    void locationManagerDidFailWithError(geo::LocationManager&, const std::string& e) override
    {
        errors.push_back(e);
    }
    std::vector<geo::Location> all() const
    {
        std::vector<geo::Location> out;
        for (const auto& b : batches)
            out.insert(out.end(), b.begin(), b.end());
        return out;
    }
};

geo::Location fixAt(double latitude, double longitude, double speed = -1, double course = -1)
{
    geo::Location location;
    location.coordinate = {latitude, longitude};
    location.speed = speed;
    location.course = course;
    return location;
}

class LocationManagerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        LocationService::shared().stop();
        ui::Device::current().reset();
    }
};

TEST_F(LocationManagerTest, StatusIsReportedOnceAndNeverUndetermined)
{
    LocationService::shared().stop();
    Recorder denied;
    {
        geo::LocationManager manager;
        manager.setDelegate(&denied);
        manager.setDelegate(&denied);
        EXPECT_TRUE(denied.statuses.empty()) << "reported from the run loop, not from inside setDelegate";
        fnd::RunLoop::main().advance(0.1);
        manager.startUpdatingLocation();
        EXPECT_FALSE(manager.isUpdatingLocation()) << "no source: denied";
    }
    EXPECT_EQ(denied.statuses, std::vector{AuthorizationStatus::Denied});

    LocationService::shared().startInjection();
    Recorder allowed;
    geo::LocationManager manager;
    manager.setDelegate(&allowed);
    fnd::RunLoop::main().advance(0.1);
    fnd::RunLoop::main().advance(5);
    EXPECT_EQ(allowed.statuses, std::vector{AuthorizationStatus::AuthorizedWhenInUse});

    // A manager released before the run loop comes round says nothing.
    Recorder gone;
    auto shortLived = std::make_unique<geo::LocationManager>();
    shortLived->setDelegate(&gone);
    shortLived.reset();
    fnd::RunLoop::main().advance(0.1);
    EXPECT_TRUE(gone.statuses.empty());
}

TEST_F(LocationManagerTest, FixesArriveInBatchesAndTheLastOneIsProcessWide)
{
    LocationService::shared().startInjection();
    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    EXPECT_FALSE(manager.location());

    LocationService::shared().inject(fixAt(48.0, 11.0));
    EXPECT_TRUE(manager.location()) << "the last location is kept even while not updating";
    fnd::RunLoop::main().advance(0.1);
    EXPECT_TRUE(recorder.batches.empty());

    manager.startUpdatingLocation();
    LocationService::shared().inject(fixAt(48.001, 11.0));
    LocationService::shared().inject(fixAt(48.002, 11.0));
    fnd::RunLoop::main().advance(0.1);
    ASSERT_EQ(recorder.batches.size(), 1u);
    EXPECT_EQ(recorder.batches[0].size(), 2u) << "fixes of one pass come as one batch";

    geo::LocationManager other;
    ASSERT_TRUE(other.location());
    EXPECT_EQ(other.location()->coordinate.latitude, 48.002) << "a new manager knows the newest fix at once";

    manager.stopUpdatingLocation();
    LocationService::shared().inject(fixAt(48.003, 11.0));
    fnd::RunLoop::main().advance(0.1);
    EXPECT_EQ(recorder.batches.size(), 1u);
}

TEST_F(LocationManagerTest, ReplayFollowsSentenceTimesThroughTheDistanceFilter)
{
    // North of the start: 5 m, then 12 m; a void fix; then 30 m after a minute.
    const auto file = testsupport::freshDocuments() / "drive.nmea";
    {
        std::ofstream out(file);
        out << nmeaLine("GPRMC,235958.00,A,4807.00000,N,01131.00000,E,20.0,0.0,010124,,,A") << "\r\n"
            << nmeaLine("GPGGA,235958.00,4807.00000,N,01131.00000,E,1,08,1.0,500.0,M,,M,,") << "\r\n"
            << nmeaLine("GPRMC,235959.00,A,4807.00270,N,01131.00000,E,20.0,0.0,010124,,,A") << "\r\n"
            << "garbage line\n"
            << nmeaLine("GPRMC,000000.00,A,4807.00648,N,01131.00000,E,20.0,0.0,020124,,,A") << "\n"
            << nmeaLine("GPRMC,000000.00,A,4807.00648,N,01131.00000,E,20.0,0.0,020124,,,A").replace(7, 1, "1")
            << "\n"
            << nmeaLine("GPRMC,000001.00,V,4807.10000,N,01131.00000,E,,,020124,,,N") << "\n"
            << nmeaLine("GPRMC,000100.00,A,4807.02268,N,01131.00000,E,20.0,0.0,020124,,,A") << "\n";
    }
    LocationService::Sources sources;
    sources.replayFile = file;
    sources.gpsd = false;
    ASSERT_EQ(LocationService::shared().start(sources), "");
    EXPECT_EQ(geo::LocationManager::authorizationStatus(), AuthorizationStatus::AuthorizedWhenInUse);

    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    manager.setDistanceFilter(10);
    manager.startUpdatingLocation();

    auto& loop = fnd::RunLoop::main();
    loop.advance(0.5);
    ASSERT_EQ(recorder.all().size(), 1u) << "the first fix comes at once";
    EXPECT_DOUBLE_EQ(recorder.all()[0].altitude, 500.0);
    loop.advance(1.0);
    EXPECT_EQ(recorder.all().size(), 1u) << "5 m from the last delivered fix: dropped";
    EXPECT_NEAR(manager.location()->coordinate.latitude, 48.1167116, 1e-6) << "but it is the last location";
    loop.advance(1.0);
    ASSERT_EQ(recorder.all().size(), 2u) << "12 m across midnight: delivered";
    EXPECT_NEAR(recorder.all()[1].distanceFrom(recorder.all()[0]), 12, 0.1);
    loop.advance(58.0);
    EXPECT_EQ(recorder.all().size(), 2u) << "the next fix is a minute after the last";
    loop.advance(2.0);
    ASSERT_EQ(recorder.all().size(), 3u);
    EXPECT_NEAR(recorder.all()[2].distanceFrom(recorder.all()[1]), 30, 0.1);
}

TEST_F(LocationManagerTest, TheSampleReplayDrivesThreeLaps)
{
    LocationService::Sources sources;
    sources.replayFile = testsupport::testDataDir().parent_path().parent_path() / "tools" / "replays" /
                         "oval-three-laps.nmea";
    sources.gpsd = false;
    ASSERT_EQ(LocationService::shared().start(sources), "");
    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    manager.setDistanceFilter(10);
    manager.startUpdatingLocation();
    fnd::RunLoop::main().advance(300);
    const auto fixes = recorder.all();
    ASSERT_GT(fixes.size(), 180u);
    int passes = 0;
    for (std::size_t i = 1; i < fixes.size(); ++i)
        passes += fixes[i].distanceFrom(fixes[0]) <= 8.0 ? 1 : 0;
    EXPECT_EQ(passes, 3) << "back on the line at the end of each lap";
}

TEST_F(LocationManagerTest, MissingReplayFileLeavesNoSource)
{
    LocationService::Sources sources;
    sources.replayFile = "/nonexistent/drive.nmea";
    const auto error = LocationService::shared().start(sources);
    EXPECT_NE(error.find("/nonexistent/drive.nmea"), std::string::npos);
    EXPECT_EQ(geo::LocationManager::authorizationStatus(), AuthorizationStatus::Denied);
    sources.replayFile = testsupport::freshDocuments();
    EXPECT_NE(LocationService::shared().start(sources).find("is a folder"), std::string::npos);
}

// What is not an NMEA log is refused at once with a message, never read whole: a device without line ends,
// an endless random one, a file of text. A log that turns into garbage ends there.
TEST_F(LocationManagerTest, WhatIsNotAReplayIsRefusedWithoutReadingItWhole)
{
    const auto text = testsupport::freshDocuments() / "notes.nmea";
    std::ofstream(text) << "shopping list\nmilk\n";
    for (const fs::path& file : {fs::path("/dev/zero"), fs::path("/dev/urandom"), text}) {
        LocationService::Sources sources;
        sources.replayFile = file;
        sources.gpsd = false;
        const auto error = LocationService::shared().start(sources);
        EXPECT_NE(error.find("is not an NMEA log"), std::string::npos) << file << ": " << error;
        EXPECT_EQ(geo::LocationManager::authorizationStatus(), AuthorizationStatus::Denied) << file;
    }

    const auto voidOnly = testsupport::freshDocuments() / "void.nmea";
    std::ofstream(voidOnly) << nmeaLine("GPRMC,000001.00,V,4807.10000,N,01131.00000,E,,,020124,,,N") << "\n";
    LocationService::Sources sources;
    sources.replayFile = voidOnly;
    sources.gpsd = false;
    EXPECT_NE(LocationService::shared().start(sources).find("holds no position fix"), std::string::npos);

    const auto turnsBad = testsupport::freshDocuments() / "turns-bad.nmea";
    {
        std::ofstream out(turnsBad, std::ios::binary);
        out << nmeaLine("GPRMC,120000.00,A,4807.00000,N,01131.00000,E,20.0,0.0,010124,,,A") << "\n"
            << std::string(1 << 20, '\0') << "\n"
            << nmeaLine("GPRMC,120001.00,A,4807.00270,N,01131.00000,E,20.0,0.0,010124,,,A") << "\n";
    }
    sources.replayFile = turnsBad;
    ASSERT_EQ(LocationService::shared().start(sources), "");
    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    manager.startUpdatingLocation();
    fnd::RunLoop::main().advance(5);
    EXPECT_EQ(recorder.all().size(), 1u) << "the fix before the garbage, none after it";
}

// A pipe's fixes play as its writer sends them, while it stays open; half a line waits for the rest.
TEST_F(LocationManagerTest, APipePlaysAsItsWriterSends)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(LocationService::shared().start({.replayFile = "/proc/self/fd/" + std::to_string(ends[0])}), "");
    std::string sent;
    for (const char second : {'0', '1', '2'})
        sent += nmeaLine(std::string("GPRMC,12000") + second + ".00,A,4807.0000" + second +
                         ",N,01131.00000,E,20.0,0.0,010124,,,A") + "\n";
    for (std::size_t from = 0; from < sent.size(); from += 30) {
        const std::string piece = sent.substr(from, 30);
        ASSERT_EQ(::write(ends[1], piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
        fnd::RunLoop::main().advance(1);
    }
    EXPECT_NEAR(LocationService::shared().lastLocation()->coordinate.latitude, 48 + (7 + 1e-5) / 60, 1e-8);
    ::close(ends[1]);
    ::close(ends[0]);
}

TEST_F(LocationManagerTest, SourcesComeFromTheCommandLineOrTheEnvironment)
{
    ::unsetenv("NORVALE_GPS_REPLAY");
    ::unsetenv("NORVALE_GPSD");
    auto sources = LocationService::sourcesFromEnvironment();
    EXPECT_TRUE(sources.replayFile.empty());
    EXPECT_TRUE(sources.gpsd);
    EXPECT_EQ(sources.gpsdHost, "127.0.0.1");
    EXPECT_EQ(sources.gpsdPort, 2947);

    ::setenv("NORVALE_GPS_REPLAY", "env.nmea", 1);
    ::setenv("NORVALE_GPSD", "gps.local:3000", 1);
    sources = LocationService::sourcesFromEnvironment();
    EXPECT_EQ(sources.replayFile, "env.nmea");
    EXPECT_EQ(sources.gpsdHost, "gps.local");
    EXPECT_EQ(sources.gpsdPort, 3000);
    EXPECT_EQ(LocationService::sourcesFromEnvironment("option.nmea").replayFile, "option.nmea")
        << "the command line wins";

    ::setenv("NORVALE_GPSD", "off", 1);
    EXPECT_FALSE(LocationService::sourcesFromEnvironment().gpsd);
    for (const char* bad : {"gps.local", "gps.local:0", "gps.local:70000", ":2947", "host:12x"}) {
        ::setenv("NORVALE_GPSD", bad, 1);
        sources = LocationService::sourcesFromEnvironment();
        EXPECT_TRUE(sources.gpsd) << bad;
        EXPECT_EQ(sources.gpsdHost, "127.0.0.1") << bad;
        EXPECT_EQ(sources.gpsdPort, 2947) << bad;
    }
    ::unsetenv("NORVALE_GPS_REPLAY");
    ::unsetenv("NORVALE_GPSD");
}

TEST_F(LocationManagerTest, HeadingIsTheCourseTurnedByTheInterface)
{
    using ui::InterfaceOrientation;
    EXPECT_DOUBLE_EQ(geo::headingForCourse(0, InterfaceOrientation::Portrait), 0);
    EXPECT_DOUBLE_EQ(geo::headingForCourse(0, InterfaceOrientation::LandscapeRight), 270);
    EXPECT_DOUBLE_EQ(geo::headingForCourse(300, InterfaceOrientation::LandscapeLeft), 30);
    EXPECT_DOUBLE_EQ(geo::headingForCourse(90, InterfaceOrientation::PortraitUpsideDown), 270);
    EXPECT_DOUBLE_EQ(geo::headingForCourse(360, InterfaceOrientation::Portrait), 0);
    EXPECT_DOUBLE_EQ(geo::courseForHeading(270, InterfaceOrientation::LandscapeRight), 0);
    EXPECT_DOUBLE_EQ(geo::courseForHeading(30, InterfaceOrientation::LandscapeLeft), 300);
    EXPECT_DOUBLE_EQ(geo::courseForHeading(270, InterfaceOrientation::PortraitUpsideDown), 90);

    LocationService::shared().startInjection();
    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    EXPECT_FALSE(manager.heading().isValid());
    manager.startUpdatingHeading();

    auto& loop = fnd::RunLoop::main();
    auto& service = LocationService::shared();
    service.inject(fixAt(48, 11, 0.5, 10));
    service.inject(fixAt(48, 11, 5, -1));
    loop.advance(0.1);
    EXPECT_TRUE(recorder.headings.empty()) << "standing, or no course: no heading";

    // The dash camera is in landscape right: driving north reads 270, which its compass shows as north.
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    ASSERT_EQ(ui::Device::current().interfaceOrientation(), InterfaceOrientation::LandscapeRight);
    service.inject(fixAt(48, 11, 10, 0));
    service.inject(fixAt(48, 11, 10, 0.5));
    loop.advance(0.1);
    ASSERT_EQ(recorder.headings.size(), 1u) << "turns under the heading filter are not reported";
    EXPECT_DOUBLE_EQ(recorder.headings[0].trueHeading, 270);

    ui::Device::current().setOrientation(ui::DeviceOrientation::Portrait);
    service.inject(fixAt(48, 11, 10, 90), 45.0);
    loop.advance(0.1);
    ASSERT_EQ(recorder.headings.size(), 2u);
    EXPECT_DOUBLE_EQ(recorder.headings[1].trueHeading, 45) << "a heading sentence wins over the course";
    EXPECT_DOUBLE_EQ(manager.heading().trueHeading, 45);
}

}  // namespace
