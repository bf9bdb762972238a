#include "performance/GradientPolylineOverlay.h"

#include <cmath>
#include <mutex>

GradientPolylineOverlay::GradientPolylineOverlay(const std::vector<geo::Coordinate>& coordinates,
                                                 const std::vector<float>& values)
{
    points_.reserve(coordinates.size());
    for (const geo::Coordinate& c : coordinates)
        points_.push_back(map::mapPointForCoordinate(c));
    mpg_ = values;
    mpg_.resize(points_.size(), 0.0f);
    if (points_.empty()) {
        boundingMapRect_ = map::mapRectNull();
        return;
    }
    const map::MapPoint first = points_.front();
    const map::MapRect quarter{{first.x - map::mapSizeWorld.width / 8, first.y - map::mapSizeWorld.height / 8},
                               {map::mapSizeWorld.width / 4, map::mapSizeWorld.height / 4}};
    boundingMapRect_ = map::mapRectIntersection(quarter, map::mapRectWorld);
}

geo::Coordinate GradientPolylineOverlay::coordinate() const
{
    return points_.empty() ? geo::Coordinate{} : map::coordinateForMapPoint(points_.front());
}

map::MapRect GradientPolylineOverlay::addCoordinate(geo::Coordinate coordinate)
{
    const std::unique_lock lock(rwLock_);
    const map::MapPoint point = map::mapPointForCoordinate(coordinate);
    if (points_.empty()) {
        points_.push_back(point);
        return {point, {0, 0}};
    }
    const map::MapPoint last = points_.back();
    if (map::metersBetweenMapPoints(last, point) <= 10.0)
        return map::mapRectNull();
    points_.push_back(point);
    return {{std::min(last.x, point.x), std::min(last.y, point.y)},
            {std::abs(point.x - last.x), std::abs(point.y - last.y)}};
}
