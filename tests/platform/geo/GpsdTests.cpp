#include <atomic>

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/geo/GpsdClient.h"
#include "platform/geo/LocationManager.h"
#include "support/LoopbackServer.h"

namespace {

using geo::LocationService;

constexpr const char* version =
    R"({"class":"VERSION","release":"3.22","rev":"3.22","proto_major":3,"proto_minor":14})"
    "\n";

LocationService::Sources gpsdAt(std::uint16_t port)
{
    LocationService::Sources sources;
    sources.gpsdPort = port;
    return sources;
}

std::string tpv(double lat, double lon, int mode = 3)
{
    return R"({"class":"TPV","device":"/dev/ttyACM0","mode":)" + std::to_string(mode) +
           R"(,"time":"2024-05-01T12:34:56.500Z","lat":)" + std::to_string(lat) + R"(,"lon":)" +
           std::to_string(lon) + R"(,"altMSL":512.5,"eph":3.5,"epv":6.0,"track":87.5,"speed":12.25})" + "\n";
}

struct Recorder : geo::LocationManagerDelegate {
    std::vector<geo::Location> locations;
    std::vector<std::string> errors;
    void locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>& l) override
    {
        locations.insert(locations.end(), l.begin(), l.end());
    }
    void locationManagerDidFailWithError(geo::LocationManager&, const std::string& e) override
    {
        errors.push_back(e);
    }
};

TEST(Gpsd, ReportsBecomeFixes)
{
    const auto fix = geo::GpsdClient::fixFromReport(tpv(48.5, -11.25));
    ASSERT_TRUE(fix.has_value());
    EXPECT_EQ(fix->location.coordinate, (geo::Coordinate{48.5, -11.25}));
    EXPECT_DOUBLE_EQ(fix->location.altitude, 512.5);
    EXPECT_DOUBLE_EQ(fix->location.horizontalAccuracy, 3.5);
    EXPECT_DOUBLE_EQ(fix->location.verticalAccuracy, 6.0);
    EXPECT_DOUBLE_EQ(fix->location.course, 87.5);
    EXPECT_DOUBLE_EQ(fix->location.speed, 12.25);
    EXPECT_DOUBLE_EQ(fix->location.timestamp.secondsSince1970, 1714566896.5);

    const auto flat = geo::GpsdClient::fixFromReport(tpv(1, 2, 2));
    ASSERT_TRUE(flat.has_value());
    EXPECT_EQ(flat->location.verticalAccuracy, -1) << "a 2D fix has no altitude";

    const std::string rejected[] = {
        tpv(48.5, -11.25, 1),  // no fix
        tpv(95, 0),            // out of range
        version,
        R"({"class":"TPV","mode":3,"lat":"48","lon":11})",
        R"({"class":"TPV","mode":3,"lat":48})",
        R"({"class":"TPV","mode":3,"lat":48,)",
        R"({"class":5,"mode":3,"lat":48,"lon":11})",
        R"([{"class":"TPV","mode":3,"lat":48,"lon":11}])",
        "not json",
        "",
    };
    for (const auto& line : rejected)
        EXPECT_FALSE(geo::GpsdClient::fixFromReport(line)) << line;
}

TEST(Gpsd, WatchesFixesAndReconnectsAfterADrop)
{
    std::atomic<int> watchRequests{0};
    std::atomic<bool> done{false};
    testsupport::LoopbackServer gpsd([&](testsupport::LoopbackConnection& connection) {
        connection.write(version);
        const std::string request = connection.readUntil("\n");
        if (request.find("?WATCH={") == 0 && request.find("\"enable\":true") != std::string::npos)
            ++watchRequests;
        connection.write(R"({"class":"DEVICES","devices":[]})" "\n" R"({"class":"WATCH","enable":true,"json":true})"
                         "\n");
        if (watchRequests == 1) {
            // Two fixes, the second split across writes, then the daemon goes away.
            const std::string second = tpv(48.0010, 11.0);
            connection.write(tpv(48.0000, 11.0) + second.substr(0, 20));
            connection.readSome(0.05);
            connection.write(second.substr(20));
            connection.readSome(0.05);
        } else {
            connection.write(tpv(48.0020, 11.0));
            while (!done && !connection.readSome(0.1).empty()) {
            }
            while (!done)
                connection.readSome(0.05);
        }
    });

    ASSERT_EQ(LocationService::shared().start(gpsdAt(gpsd.port())), "");
    EXPECT_EQ(LocationService::shared().sourceKind(), LocationService::SourceKind::Gpsd);
    Recorder recorder;
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    manager.startUpdatingLocation();

    auto& loop = fnd::RunLoop::main();
    ASSERT_TRUE(loop.runUntil([&] { return recorder.locations.size() == 2; }));
    EXPECT_NEAR(recorder.locations[1].coordinate.latitude, 48.001, 1e-9);
    ASSERT_TRUE(loop.runUntil([&] { return !recorder.errors.empty(); })) << "the drop is reported";
    EXPECT_FALSE(LocationService::shared().isReachable());
    EXPECT_NEAR(manager.location()->coordinate.latitude, 48.001, 1e-9) << "the last fix outlives the drop";

    loop.runUntil([] { return false; }, 0.2);
    EXPECT_EQ(gpsd.connectionsAccepted(), 1) << "no retry before its time";
    loop.advance(geo::GpsdClient::firstRetryDelay);
    ASSERT_TRUE(loop.runUntil([&] { return recorder.locations.size() == 3; }));
    EXPECT_EQ(watchRequests, 2);
    EXPECT_TRUE(LocationService::shared().isReachable());
    EXPECT_EQ(recorder.errors.size(), 1u);

    done = true;
    LocationService::shared().stop();
}

TEST(Gpsd, RefusedConnectionIsRetriedAndReported)
{
    const auto port = testsupport::unusedLoopbackPort();
    Recorder recorder;
    LocationService::shared().start(gpsdAt(port));
    EXPECT_EQ(geo::LocationManager::authorizationStatus(), geo::AuthorizationStatus::AuthorizedWhenInUse)
        << "gpsd is a source even while it is not there";
    geo::LocationManager manager;
    manager.setDelegate(&recorder);
    manager.startUpdatingLocation();
    auto& loop = fnd::RunLoop::main();
    ASSERT_TRUE(loop.runUntil([&] { return !recorder.errors.empty(); }));
    loop.advance(1);
    loop.runUntil([] { return false; }, 0.2);
    loop.advance(2);
    loop.runUntil([] { return false; }, 0.2);
    EXPECT_EQ(recorder.errors.size(), 1u) << "one report for one outage";
    LocationService::shared().stop();
}

}  // namespace
