#include <cmath>

#include <gtest/gtest.h>

#include "platform/map/MapGeometry.h"

namespace {

using namespace map;

TEST(MapGeometry, TheWorldIsTwoToTheTwentyEightPointsSquare)
{
    EXPECT_EQ(mapPointForCoordinate({0, 0}), (MapPoint{134217728, 134217728}));
    EXPECT_DOUBLE_EQ(mapPointForCoordinate({10, -180}).x, 0);
    EXPECT_DOUBLE_EQ(mapPointForCoordinate({10, 180}).x, worldPoints);
    EXPECT_NEAR(mapPointForCoordinate({mercatorLatitudeLimit, 0}).y, 0, 1e-3);
    EXPECT_NEAR(mapPointForCoordinate({-mercatorLatitudeLimit, 0}).y, worldPoints, 1e-3);
    EXPECT_NEAR(mapPointForCoordinate({90, 0}).y, 0, 1e-3) << "the poles are clamped onto the edge";
    EXPECT_LT(mapPointForCoordinate({48, 11}).y, worldPoints / 2) << "north is up";

    const geo::Coordinate places[] = {{48.1173, 11.5167}, {-33.8688, 151.2093}, {64.1466, -21.9426}, {0, -179.999}};
    for (const auto& c : places) {
        const geo::Coordinate back = coordinateForMapPoint(mapPointForCoordinate(c));
        EXPECT_NEAR(back.latitude, c.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, c.longitude, 1e-9);
    }
}

TEST(MapGeometry, MetresMatchTheGreatCircleAndTheScale)
{
    struct Leg {
        geo::Coordinate from;
        geo::Coordinate to;
    };
    const Leg legs[] = {
        {{48.1, 11.5}, {48.11, 11.5}},      // 1.1 km north
        {{48.1, 11.5}, {48.1, 11.52}},      // 1.5 km east
        {{-33.9, 151.2}, {-33.87, 151.23}}, // 4 km north-east
        {{60.0, 5.0}, {60.0, 5.05}},        // far north
    };
    for (const auto& leg : legs) {
        geo::Location a;
        a.coordinate = leg.from;
        geo::Location b;
        b.coordinate = leg.to;
        const double haversine = a.distanceFrom(b);
        const MapPoint p = mapPointForCoordinate(leg.from);
        const MapPoint q = mapPointForCoordinate(leg.to);
        EXPECT_NEAR(metersBetweenMapPoints(p, q), haversine, haversine * 0.005);
        // The local scale turns map points into metres within half a percent too.
        const double latitude = (leg.from.latitude + leg.to.latitude) / 2;
        const double flat = std::hypot(q.x - p.x, q.y - p.y) * metersPerMapPointAtLatitude(latitude);
        EXPECT_NEAR(flat, haversine, haversine * 0.005) << leg.from.latitude;
    }
    EXPECT_NEAR(mapPointsPerMeterAtLatitude(0) * 40075016.686, worldPoints, 1);
    EXPECT_NEAR(mapPointsPerMeterAtLatitude(60), 2 * mapPointsPerMeterAtLatitude(0), 1e-9);
}

TEST(MapGeometry, RectsUniteIntersectAndKnowTheNullRect)
{
    const MapRect a{{0, 0}, {10, 10}};
    const MapRect b{{5, 5}, {10, 20}};
    EXPECT_EQ(mapRectUnion(a, b), (MapRect{{0, 0}, {15, 25}}));
    EXPECT_EQ(mapRectIntersection(a, b), (MapRect{{5, 5}, {5, 5}}));
    EXPECT_TRUE(a.intersects(b));

    const MapRect apart{{20, 20}, {1, 1}};
    EXPECT_TRUE(mapRectIntersection(a, apart).isNull());
    EXPECT_FALSE(a.intersects(apart));
    EXPECT_TRUE(mapRectNull().isNull());
    EXPECT_TRUE(mapRectNull().isEmpty());
    EXPECT_EQ(mapRectUnion(mapRectNull(), a), a);
    EXPECT_EQ(mapRectUnion(a, mapRectNull()), a);
    EXPECT_TRUE(mapRectIntersection(mapRectNull(), a).isNull());

    const MapRect line{{3, 3}, {0, 4}};
    EXPECT_FALSE(line.isNull()) << "no area is not nothing";
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(mapRectIntersection(mapRectWorld, MapRect{{-10, -10}, {20, 20}}), (MapRect{{0, 0}, {10, 10}}));
    EXPECT_TRUE(a.contains({0, 0}));
    EXPECT_FALSE(a.contains({10, 5}));
}

TEST(MapGeometry, RegionsAndRectsDescribeTheSamePlace)
{
    const geo::Coordinate centre{48.1, 11.5};
    const CoordinateRegion region = coordinateRegionMakeWithDistance(centre, 1000, 500);
    EXPECT_NEAR(region.span.latitudeDelta, 1000 / (geo::meanEarthRadius * M_PI / 180), 1e-12);
    EXPECT_NEAR(region.span.longitudeDelta, 2 * 500 / (geo::meanEarthRadius * M_PI / 180) / 2 /
                                                std::cos(48.1 * M_PI / 180), 1e-12);

    const MapRect rect = mapRectForCoordinateRegion(region);
    const double metresAcross = metersBetweenMapPoints({rect.minX(), rect.midY()}, {rect.maxX(), rect.midY()});
    EXPECT_NEAR(metresAcross, 500, 2.5);
    const CoordinateRegion back = coordinateRegionForMapRect(rect);
    EXPECT_NEAR(back.center.latitude, centre.latitude, 1e-4);
    EXPECT_NEAR(back.center.longitude, centre.longitude, 1e-9);
    EXPECT_NEAR(back.span.latitudeDelta, region.span.latitudeDelta, 1e-9);
    EXPECT_NEAR(back.span.longitudeDelta, region.span.longitudeDelta, 1e-9);
}

}  // namespace
