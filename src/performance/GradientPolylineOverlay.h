#pragma once

#include <shared_mutex>
#include <vector>

#include "platform/geo/Location.h"
#include "platform/map/MapGeometry.h"
#include "platform/map/Overlay.h"

// One lap on the map: its points in map coordinates, with the speed at each
// point (the values the renderer colours by; named `mpg` after the overlay's
// first use). Drawable within a quarter of the world around its first point.
class GradientPolylineOverlay : public map::Overlay {
public:
    // `values` holds one value per coordinate; missing values read 0.
    GradientPolylineOverlay(const std::vector<geo::Coordinate>& coordinates, const std::vector<float>& values);

    geo::Coordinate coordinate() const override;
    map::MapRect boundingMapRect() const override { return boundingMapRect_; }
    // Appends a point more than 10 m from the last; returns the rectangle the
    // new segment spans, or the null rectangle when nothing was added.
    map::MapRect addCoordinate(geo::Coordinate coordinate);

    void lockForReading() { rwLock_.lock_shared(); }
    void unlockForReading() { rwLock_.unlock_shared(); }

    const std::vector<map::MapPoint>& points() const { return points_; }
    std::size_t pointCount() const { return points_.size(); }
    const std::vector<float>& mpg() const { return mpg_; }

private:
    std::vector<map::MapPoint> points_;
    map::MapRect boundingMapRect_;
    std::shared_mutex rwLock_;
    std::vector<float> mpg_;
};
