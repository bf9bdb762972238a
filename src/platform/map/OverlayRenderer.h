#pragma once

#include <memory>
#include <optional>

#include "platform/map/Overlay.h"
#include "platform/ui/Color.h"
#include "platform/ui/Context.h"
#include "platform/ui/Path.h"

namespace map {

// Draws one overlay. Its drawing space is the overlay's bounding map rect
// with the origin at the rect's top-left corner, one unit per map point; the
// map view scales the context by the zoom scale (view points per map point)
// before drawMapRect, so a width in view points is width / zoomScale here.
class OverlayRenderer {
public:
    explicit OverlayRenderer(std::shared_ptr<Overlay> overlay);
    virtual ~OverlayRenderer();
    OverlayRenderer(const OverlayRenderer&) = delete;
    OverlayRenderer& operator=(const OverlayRenderer&) = delete;

    const std::shared_ptr<Overlay>& overlay() const { return overlay_; }

    ui::Point pointForMapPoint(MapPoint point) const;
    MapPoint mapPointForPoint(ui::Point point) const;
    ui::Rect rectForMapRect(const MapRect& rect) const;
    MapRect mapRectForRect(const ui::Rect& rect) const;

    double alpha() const { return alpha_; }
    void setAlpha(double alpha) { alpha_ = alpha; }

    // Draws what falls in `mapRect` (the part of the map being drawn).
    virtual void drawMapRect(const MapRect& mapRect, double zoomScale, ui::Context& context) = 0;

private:
    std::shared_ptr<Overlay> overlay_;
    MapPoint origin_;
    double alpha_ = 1;
};

// A renderer that strokes and fills one path, made by createPath() on first
// use. The line width is in view points, whatever the zoom.
class OverlayPathRenderer : public OverlayRenderer {
public:
    using OverlayRenderer::OverlayRenderer;

    const std::optional<ui::Color>& fillColor() const { return fillColor_; }
    void setFillColor(std::optional<ui::Color> color) { fillColor_ = color; }
    const std::optional<ui::Color>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(std::optional<ui::Color> color) { strokeColor_ = color; }
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { lineWidth_ = width; }
    ui::LineCap lineCap() const { return lineCap_; }
    void setLineCap(ui::LineCap cap) { lineCap_ = cap; }
    ui::LineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(ui::LineJoin join) { lineJoin_ = join; }
    double miterLimit() const { return miterLimit_; }
    void setMiterLimit(double limit) { miterLimit_ = limit; }

    const std::optional<ui::Path>& path() const { return path_; }
    void setPath(std::optional<ui::Path> path) { path_ = std::move(path); }
    // Builds the path in the renderer's drawing space; called when there is none.
    virtual void createPath() {}
    void invalidatePath() { path_.reset(); }

    // Stroke colour, width (converted by the zoom scale), cap, join and miter limit.
    void applyStrokeProperties(ui::Context& context, double zoomScale) const;
    void applyFillProperties(ui::Context& context, double zoomScale) const;

    // Fills and then strokes the path, in the colours that are set.
    void drawMapRect(const MapRect& mapRect, double zoomScale, ui::Context& context) override;

private:
    std::optional<ui::Color> fillColor_;
    std::optional<ui::Color> strokeColor_;
    double lineWidth_ = 0;
    ui::LineCap lineCap_ = ui::LineCap::Round;
    ui::LineJoin lineJoin_ = ui::LineJoin::Round;
    double miterLimit_ = 10;
    std::optional<ui::Path> path_;
};

}  // namespace map
