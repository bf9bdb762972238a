#include "performance/GradientPolylineRenderer.h"

#include <algorithm>

#include "platform/ui/Context.h"

GradientPolylineRenderer::GradientPolylineRenderer(std::shared_ptr<GradientPolylineOverlay> overlay, bool metric)
    : map::OverlayPathRenderer(overlay), max_(metric ? 255.0f : 160.0f), polyline_(std::move(overlay))
{
    hues_ = speedToHue(polyline_->mpg(), min_, max_);
    createPath();
}

std::vector<float> GradientPolylineRenderer::speedToHue(const std::vector<float>& values, float min, float max)
{
    std::vector<float> hues;
    hues.reserve(values.size());
    for (const float v : values) {
        const float clamped = std::clamp(v, min, max) - min;
        hues.push_back(static_cast<float>(clamped * 0.27 / (static_cast<double>(max) - min) + 0.03));
    }
    return hues;
}

void GradientPolylineRenderer::createPath()
{
    const auto& points = polyline_->points();
    if (points.size() < 2) {
        setPath(std::nullopt);
        return;
    }
    ui::Path path;
    path.moveTo(pointForMapPoint(points.front()));
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(pointForMapPoint(points[i]));
    setPath(std::move(path));
}

void GradientPolylineRenderer::drawMapRect(const map::MapRect& mapRect, double, ui::Context& context)
{
    const auto& points = polyline_->points();
    if (points.size() < 2 || !path())
        return;
    const double width = context.convertSizeToUserSpace({lineWidth(), lineWidth()}).width;
    // Widened by the line: a lap running straight east-west has a box of no
    // height, which would intersect nothing.
    const ui::Rect box = path()->controlBounds().inset(-width, -width);
    if (!box.intersects(rectForMapRect(mapRect)))
        return;
    ui::Point previous = pointForMapPoint(points.front());
    ui::Color previousColor = ui::Color::hsb(hues_[0], 1, 1, 1);
    for (std::size_t i = 1; i < points.size() && i < hues_.size(); ++i) {
        const ui::Point point = pointForMapPoint(points[i]);
        const ui::Color color = ui::Color::hsb(hues_[i], 1, 1, 1);
        context.save();
        context.setLineWidth(width);
        context.setLineCap(lineCap());
        context.setLineJoin(lineJoin());
        context.setMiterLimit(miterLimit());
        ui::Path segment;
        segment.moveTo(previous);
        segment.lineTo(point);
        context.clipToStrokedPath(segment);
        context.drawLinearGradient({{0.0, previousColor}, {1.0, color}}, previous, point, {false, true});
        context.restore();
        previous = point;
        previousColor = color;
    }
}
