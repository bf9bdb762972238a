#pragma once

#include <memory>
#include <vector>

class CamGaugeView;
class CameraOverlayLayout;
class GforceView;
namespace ui {
class View;
}

// The dash camera overlay's row of tiles: the gauge tiles from the right, the
// g-force tile (when on) left of them.
struct CameraTileRow {
    std::vector<std::shared_ptr<CamGaugeView>> gauges;
    std::shared_ptr<GforceView> gForce;

    // Builds the row into `overlay`.
    static CameraTileRow add(ui::View& overlay, const CameraOverlayLayout& layout, int gauges, bool gForce);
};
