#pragma once

#include "platform/geo/Location.h"

// The flat world of the map: web Mercator, 2^28 map points each way, x growing
// east from longitude -180, y growing south from latitude 85.0511.
namespace map {

struct MapPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const MapPoint&, const MapPoint&) = default;
};

struct MapSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const MapSize&, const MapSize&) = default;
};

struct MapRect {
    MapPoint origin;
    MapSize size;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    // The null rect (no area at all, as an empty intersection gives) is not the empty one.
    bool isNull() const;
    bool isEmpty() const { return isNull() || size.width <= 0 || size.height <= 0; }
    bool contains(MapPoint point) const;
    bool intersects(const MapRect& other) const;
    friend bool operator==(const MapRect&, const MapRect&) = default;
};

struct CoordinateSpan {
    double latitudeDelta = 0;   // degrees
    double longitudeDelta = 0;  // degrees
    friend bool operator==(const CoordinateSpan&, const CoordinateSpan&) = default;
};

struct CoordinateRegion {
    geo::Coordinate center;
    CoordinateSpan span;
    friend bool operator==(const CoordinateRegion&, const CoordinateRegion&) = default;
};

inline constexpr double worldPoints = 268435456.0;  // 2^28
inline constexpr MapSize mapSizeWorld{worldPoints, worldPoints};
inline constexpr MapRect mapRectWorld{{0, 0}, mapSizeWorld};
// The rect of nothing: an infinite origin and no size.
MapRect mapRectNull();
// Latitudes beyond this are off the square world.
inline constexpr double mercatorLatitudeLimit = 85.0511287798066;

MapPoint mapPointForCoordinate(geo::Coordinate coordinate);
geo::Coordinate coordinateForMapPoint(MapPoint point);

// Great-circle distance between the places the two points stand for.
double metersBetweenMapPoints(MapPoint a, MapPoint b);
// How many map points a metre spans at that latitude, and the reverse.
double mapPointsPerMeterAtLatitude(double latitude);
double metersPerMapPointAtLatitude(double latitude);

MapRect mapRectUnion(const MapRect& a, const MapRect& b);
// mapRectNull() when the two do not overlap.
MapRect mapRectIntersection(const MapRect& a, const MapRect& b);

CoordinateRegion coordinateRegionMakeWithDistance(geo::Coordinate center, double latitudinalMeters,
                                                  double longitudinalMeters);
CoordinateRegion coordinateRegionForMapRect(const MapRect& rect);
MapRect mapRectForCoordinateRegion(const CoordinateRegion& region);

}  // namespace map
