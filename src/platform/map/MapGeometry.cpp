#include "platform/map/MapGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace map {

namespace {

constexpr double pi = std::numbers::pi;
// The equator's length on the sphere the map is projected from (WGS 84 semi-major axis).
constexpr double equatorMeters = 2 * pi * 6378137.0;

double radians(double degrees) { return degrees * pi / 180; }
double degrees(double radians) { return radians * 180 / pi; }

}  // namespace

bool MapRect::isNull() const
{
    return std::isinf(origin.x) || std::isinf(origin.y);
}

bool MapRect::contains(MapPoint point) const
{
    return !isNull() && point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
}

bool MapRect::intersects(const MapRect& other) const
{
    return !mapRectIntersection(*this, other).isNull();
}

MapRect mapRectNull()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    return {{inf, inf}, {0, 0}};
}

MapPoint mapPointForCoordinate(geo::Coordinate coordinate)
{
    const double lat = radians(std::clamp(coordinate.latitude, -mercatorLatitudeLimit, mercatorLatitudeLimit));
    const double x = (coordinate.longitude + 180.0) / 360.0 * worldPoints;
    const double y = (1.0 - std::log(std::tan(lat) + 1.0 / std::cos(lat)) / pi) / 2.0 * worldPoints;
    return {x, y};
}

geo::Coordinate coordinateForMapPoint(MapPoint point)
{
    const double longitude = point.x / worldPoints * 360.0 - 180.0;
    const double n = pi * (1.0 - 2.0 * point.y / worldPoints);
    return {degrees(std::atan(std::sinh(n))), longitude};
}

double metersBetweenMapPoints(MapPoint a, MapPoint b)
{
    geo::Location from;
    from.coordinate = coordinateForMapPoint(a);
    geo::Location to;
    to.coordinate = coordinateForMapPoint(b);
    return from.distanceFrom(to);
}

double mapPointsPerMeterAtLatitude(double latitude)
{
    const double lat = std::clamp(latitude, -mercatorLatitudeLimit, mercatorLatitudeLimit);
    return worldPoints / (equatorMeters * std::cos(radians(lat)));
}

double metersPerMapPointAtLatitude(double latitude)
{
    return 1.0 / mapPointsPerMeterAtLatitude(latitude);
}

MapRect mapRectUnion(const MapRect& a, const MapRect& b)
{
    if (a.isNull())
        return b;
    if (b.isNull())
        return a;
    const double minX = std::min(a.minX(), b.minX());
    const double minY = std::min(a.minY(), b.minY());
    return {{minX, minY}, {std::max(a.maxX(), b.maxX()) - minX, std::max(a.maxY(), b.maxY()) - minY}};
}

MapRect mapRectIntersection(const MapRect& a, const MapRect& b)
{
    if (a.isNull() || b.isNull())
        return mapRectNull();
    const double minX = std::max(a.minX(), b.minX());
    const double minY = std::max(a.minY(), b.minY());
    const double maxX = std::min(a.maxX(), b.maxX());
    const double maxY = std::min(a.maxY(), b.maxY());
    if (maxX < minX || maxY < minY)
        return mapRectNull();
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

CoordinateRegion coordinateRegionMakeWithDistance(geo::Coordinate center, double latitudinalMeters,
                                                  double longitudinalMeters)
{
    const double metresPerDegree = geo::meanEarthRadius * pi / 180;
    const double cosLat = std::max(std::cos(radians(center.latitude)), 1e-9);
    return {center,
            {std::min(latitudinalMeters / metresPerDegree, 180.0),
             std::min(longitudinalMeters / (metresPerDegree * cosLat), 360.0)}};
}

CoordinateRegion coordinateRegionForMapRect(const MapRect& rect)
{
    const geo::Coordinate topLeft = coordinateForMapPoint(rect.origin);
    const geo::Coordinate bottomRight = coordinateForMapPoint({rect.maxX(), rect.maxY()});
    const geo::Coordinate center = coordinateForMapPoint({rect.midX(), rect.midY()});
    return {center, {topLeft.latitude - bottomRight.latitude, rect.size.width / worldPoints * 360.0}};
}

MapRect mapRectForCoordinateRegion(const CoordinateRegion& region)
{
    const geo::Coordinate& c = region.center;
    const MapPoint topLeft = mapPointForCoordinate(
        {c.latitude + region.span.latitudeDelta / 2, c.longitude - region.span.longitudeDelta / 2});
    const MapPoint bottomRight = mapPointForCoordinate(
        {c.latitude - region.span.latitudeDelta / 2, c.longitude + region.span.longitudeDelta / 2});
    return {topLeft, {bottomRight.x - topLeft.x, bottomRight.y - topLeft.y}};
}

}  // namespace map
