#include "dashcam/CameraTileRow.h"

#include "dashcam/CamGaugeView.h"
#include "dashcam/CameraOverlayLayout.h"
#include "performance/GforceView.h"
#include "platform/ui/Label.h"

namespace {

const ui::Color tileShade = ui::Color::white(20.0 / 255, 0.4);

}  // namespace

CameraTileRow CameraTileRow::add(ui::View& overlay, const CameraOverlayLayout& layout, int gauges, bool gForce)
{
    CameraTileRow row;
    for (int n = 1; n <= gauges; ++n) {
        auto tile = std::make_shared<CamGaugeView>();
        tile->setFrame(layout.tile(n));
        tile->setBackgroundColor(tileShade);
        tile->setupLayer();
        overlay.addSubview(tile);
        row.gauges.push_back(tile);
    }
    if (gForce) {
        const double side = layout.tileSide();
        row.gForce = std::make_shared<GforceView>(ui::makeRect(0, 0, side, side), 0, true);
        row.gForce->setFrame(layout.tile(gauges + 1));
        // The overlay renderer prints the figures on the face.
        row.gForce->xLabel().setHidden(true);
        row.gForce->yLabel().setHidden(true);
        row.gForce->setDashCamMode(true);
        overlay.addSubview(row.gForce);
    }
    return row;
}
