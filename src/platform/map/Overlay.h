#pragma once

#include "platform/map/MapGeometry.h"

namespace map {

// Something drawn over the map by its renderer (see MapViewDelegate).
class Overlay {
public:
    virtual ~Overlay() = default;
    virtual geo::Coordinate coordinate() const = 0;  // its centre or anchor
    virtual MapRect boundingMapRect() const = 0;     // where it may draw
};

}  // namespace map
