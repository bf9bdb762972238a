#pragma once

#include <memory>
#include <vector>

#include "performance/GradientPolylineOverlay.h"
#include "platform/map/OverlayRenderer.h"

// Draws a GradientPolylineOverlay as a thick line whose colour follows the
// speed: red at standstill to green at full scale (255 km/h or 160 mph),
// blending along every segment. Hues and path are made once; drawing only
// reads them, so tiles may be drawn on several threads.
class GradientPolylineRenderer : public map::OverlayPathRenderer {
public:
    // `metric` gives the full scale: 255 km/h, else 160 mph.
    explicit GradientPolylineRenderer(std::shared_ptr<GradientPolylineOverlay> overlay, bool metric = true);

    static std::vector<float> speedToHue(const std::vector<float>& values, float min, float max);
    const std::vector<float>& hues() const { return hues_; }

    void createPath() override;
    void drawMapRect(const map::MapRect& mapRect, double zoomScale, ui::Context& context) override;

private:
    float min_ = 0;
    float max_ = 255;
    std::vector<float> hues_;
    std::shared_ptr<GradientPolylineOverlay> polyline_;
};
