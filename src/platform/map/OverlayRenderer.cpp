#include "platform/map/OverlayRenderer.h"

namespace map {

OverlayRenderer::OverlayRenderer(std::shared_ptr<Overlay> overlay)
    : overlay_(std::move(overlay)), origin_(overlay_ ? overlay_->boundingMapRect().origin : MapPoint{})
{
    if (overlay_ && overlay_->boundingMapRect().isNull())
        origin_ = {};
}

OverlayRenderer::~OverlayRenderer() = default;

ui::Point OverlayRenderer::pointForMapPoint(MapPoint point) const
{
    return {point.x - origin_.x, point.y - origin_.y};
}

MapPoint OverlayRenderer::mapPointForPoint(ui::Point point) const
{
    return {point.x + origin_.x, point.y + origin_.y};
}

ui::Rect OverlayRenderer::rectForMapRect(const MapRect& rect) const
{
    if (rect.isNull())
        return {};
    const ui::Point topLeft = pointForMapPoint(rect.origin);
    return {topLeft, {rect.size.width, rect.size.height}};
}

MapRect OverlayRenderer::mapRectForRect(const ui::Rect& rect) const
{
    return {mapPointForPoint(rect.origin), {rect.size.width, rect.size.height}};
}

void OverlayPathRenderer::applyStrokeProperties(ui::Context& context, double zoomScale) const
{
    context.setStrokeColor(strokeColor_.value_or(ui::Color::clear()));
    context.setLineWidth(zoomScale > 0 ? lineWidth_ / zoomScale : lineWidth_);
    context.setLineCap(lineCap_);
    context.setLineJoin(lineJoin_);
    context.setMiterLimit(miterLimit_);
}

void OverlayPathRenderer::applyFillProperties(ui::Context& context, double) const
{
    context.setFillColor(fillColor_.value_or(ui::Color::clear()));
}

void OverlayPathRenderer::drawMapRect(const MapRect&, double zoomScale, ui::Context& context)
{
    if (!path_)
        createPath();
    if (!path_ || path_->isEmpty())
        return;
    if (fillColor_) {
        applyFillProperties(context, zoomScale);
        context.fillPath(*path_);
    }
    if (strokeColor_ && lineWidth_ > 0) {
        applyStrokeProperties(context, zoomScale);
        context.strokePath(*path_);
    }
}

}  // namespace map
