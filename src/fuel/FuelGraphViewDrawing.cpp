#include <algorithm>
#include <cmath>

#include "fuel/FuelGraphView.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Font.h"
#include "platform/ui/Path.h"

namespace {

const ui::Color red = ui::Color::rgb(0.8, 0, 0.157);
const ui::Color blue = ui::Color::rgb(0.467, 0.773, 0.961);
const ui::Color lightMargin = ui::Color::rgb(1.0, 0.945, 0.824);

ui::Point tangent(ui::Point from, ui::Point to)
{
    return {static_cast<float>((to.x - from.x) / 5), static_cast<float>((to.y - from.y) / 5)};
}

// The smoothed line through `points` (newest first) and the outline that fills
// down to the base line beneath it.
struct Curve {
    ui::Path line;
    ui::Path fill;
};

Curve smoothCurve(const std::vector<ui::Point>& points, double base)
{
    Curve curve;
    if (points.empty())
        return curve;
    curve.fill.moveTo({points[0].x, base});
    curve.fill.lineTo(points[0]);
    curve.line.moveTo(points[0]);
    ui::Point previousTangent = points.size() > 1 ? tangent(points[0], points[1]) : ui::Point{};
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ui::Point own = i + 1 < points.size() ? tangent(points[i - 1], points[i + 1]) : tangent(points[i - 1], points[i]);
        const ui::Point c1 = points[i - 1] + previousTangent;
        const ui::Point c2 = points[i] - own;
        curve.line.curveTo(c1, c2, points[i]);
        curve.fill.curveTo(c1, c2, points[i]);
        previousTangent = own;
    }
    curve.fill.lineTo({points.back().x, base});
    curve.fill.close();
    return curve;
}

void ringedDot(ui::Context& context, ui::Point at, double diameter, ui::Color fill)
{
    const ui::Rect r = ui::makeRect(at.x - diameter / 2, at.y - diameter / 2, diameter, diameter);
    context.setFillColor(fill);
    context.fillEllipse(r);
    context.setStrokeColor(ui::Color::white(0.1));
    context.setLineWidth(2.0);
    context.strokeEllipse(r);
}

}  // namespace

ui::Color FuelGraphView::textColor() const { return theme_ == 1 ? ui::Color::black() : ui::Color::white(0.9); }

void FuelGraphView::draw(ui::Context& context, ui::Rect dirty)
{
    ui::View::draw(context, dirty);
    scan();
    const Layout l = layout();
    drawGrid(context, l);
    drawMonthLabels(context, l);
    drawCurve(context, l);
    drawSelection(context, l);
    drawMargin(context, l);
    if (graphMode_ == 0 || graphMode_ == 1)
        drawDayLabels(context, l);
}

void FuelGraphView::drawGrid(ui::Context& context, const Layout& l) const
{
    ui::Path grid;
    const double spacing = l.gw / (isPortrait_ ? 6 : 10);
    const int step = std::max(1, static_cast<int>(spacing));
    for (double x = static_cast<int>(graphDragOffset_) % step + static_cast<int>(l.x0); x < l.gw + 10;
         x = static_cast<int>(x + spacing)) {
        grid.moveTo({x, top});
        grid.lineTo({x, top + l.gh});
    }
    for (double y = top; y < l.gh; y = static_cast<int>(y + l.gh / 4)) {
        grid.moveTo({l.x0, y});
        grid.lineTo({l.x1, y});
    }
    context.setStrokeColor(ui::Color::white(0.2));
    context.setLineWidth(0.5);
    context.strokePath(grid);
    context.setStrokeColor(ui::Color::darkGray());
    context.setLineWidth(1.0);
    context.strokeLine({l.x0, l.base}, {l.x1, l.base});
    context.strokeLine({l.x1, top}, {l.x1, l.base});
}

void FuelGraphView::drawMonthLabels(ui::Context& context, const Layout& l) const
{
    if (graphMode_ < 2)
        return;
    const ui::Font font = ui::Font::named("Digital-Serial", static_cast<int>(l.height / 18));
    const fnd::Date today = fnd::Date::now();
    for (int k = 0; k <= l.days; ++k) {
        const fnd::Date day = fnd::Calendar::dateByAddingDays(today, -(l.whole + k));
        if (fnd::Calendar::components(day).day != 15)
            continue;
        const std::string month = std::to_string(fnd::Calendar::components(day).month);
        const std::string name = graphMode_ == 4 && isPortrait_ ? getMonth2(month) : getMonth(month);
        context.drawText(name, ui::Point{l.gw - l.dx * k, l.base + 2.0}, font, textColor());
    }
}

void FuelGraphView::drawCurve(ui::Context& context, const Layout& l) const
{
    if (points_.empty())
        return;
    const bool oneFinger = point1_ > 0 && point2_ == 0;
    const bool twoFingers = point2_ > 0;
    const ui::Color lineColor = oneFinger ? blue : red;
    ui::Path dots;
    const double radius = 2 * lineWidth_;
    if (points_.size() == 1 || graphMode_ <= 2) {
        for (const ui::Point& p : points_)
            dots.addEllipse(ui::makeRect(p.x - radius, p.y - radius, 2 * radius, 2 * radius));
    }
    const Curve curve = smoothCurve(points_, l.base);
    if (points_.size() > 1) {
        std::vector<ui::GradientStop> stops;
        if (oneFinger)
            stops = {{0.2, blue.withAlpha(0.8)}, {1.0, ui::Color::rgb(0.46, 0.77, 0.96, 0.1)}};
        else if (twoFingers)
            stops = {{0.2, red.withAlpha(0.6)}, {1.0, red.withAlpha(0)}};
        else
            stops = {{0.2, red.withAlpha(0.8)}, {1.0, red.withAlpha(0.12)}};
        context.save();
        context.clipToPath(curve.fill);
        context.drawLinearGradient(stops, {0, top}, {0, l.base}, {true, true});
        context.restore();
        context.setStrokeColor(lineColor);
        context.setLineWidth(lineWidth_);
        context.strokePath(curve.line);
    }
    context.setFillColor(lineColor);
    context.fillPath(dots);
}

void FuelGraphView::drawSelection(ui::Context& context, const Layout& l) const
{
    if (!selectedA_)
        return;
    const ui::Font font = ui::Font::named("Digital-Serial", 0.0625 * l.height);
    const auto marker = [&](int k, ui::Color dot) {
        const ui::Point p = pointMap_.at(k);
        context.setStrokeColor(textColor());
        context.setLineWidth(1.0);
        context.strokeLine({p.x, top}, {p.x, l.base});
        ringedDot(context, p, 6 * lineWidth_, dot);
    };
    if (!selectedB_) {
        const ui::Point p = pointMap_.at(*selectedA_);
        const std::size_t index = logIndexOf_.at(*selectedA_);
        double x = p.x - 10;
        if (p.x > l.gw - 10)
            x = l.gw - 10;
        else if (p.x < 15)
            x = 5.0;
        context.drawText(fnd::format("%.1f", dataArr[index]), ui::Point{x, 15.0}, font, textColor());
        context.drawText(dateArr[index], ui::Point{0.5 * l.width - 45.0, 0}, font, textColor());
        marker(*selectedA_, blue);
        return;
    }
    context.drawText(selectionText_, ui::Point{0.5 * l.width - 0.4 * l.height, 5.0}, font, textColor());
    const int newer = std::min(*selectedA_, *selectedB_);
    const int older = std::max(*selectedA_, *selectedB_);
    if (newer != older) {
        std::vector<ui::Point> part;
        for (auto it = pointMap_.lower_bound(newer); it != pointMap_.end() && it->first <= older; ++it)
            part.push_back(it->second);
        const Curve curve = smoothCurve(part, l.base);
        context.setFillColor(red.withAlpha(0.6));
        context.fillPath(curve.fill);
        context.setStrokeColor(red);
        context.setLineWidth(2.0);
        context.strokePath(curve.line);
    }
    marker(*selectedA_, red);
    marker(*selectedB_, red.withAlpha(0.6));
    if (!isPortrait_) {
        const double x = pointMap_.at(*selectedB_).x + 5.0;
        const int textSize = static_cast<int>(l.height / 18);
        context.drawText(fnd::L("Average"), ui::Point{x, static_cast<double>(textSize + 40)},
                         ui::Font::named("Digital-Serial DB", l.height / 19), ui::Color::white());
        context.drawText(fnd::format("%.1f %s", rangeAverage_, unitsStr_),
                         ui::Point{x, static_cast<double>(static_cast<int>(l.height / 14 + textSize) + 35)},
                         ui::Font::named("Digital-Serial", l.height / 18), ui::Color::white());
    }
}

void FuelGraphView::drawMargin(ui::Context& context, const Layout& l) const
{
    context.setFillColor(theme_ == 1 ? lightMargin : ui::Color::black());
    context.fillRect(ui::makeRect(l.x1, top, l.width - l.x1, l.gh));
    const int textSize = static_cast<int>(l.height / 18);
    const ui::Font font = ui::Font::named("Digital-Serial", textSize);
    if (!isPortrait_ && rangeAverage_ > 0) {
        const double y = yOf(l, rangeAverage_);
        context.save();
        context.setStrokeColor(ui::Color::white());
        context.setLineWidth(lineWidth_);
        context.setLineDash(0, {4.0, 2.0});
        context.strokeLine({l.x0, y}, {l.x1, y});
        context.restore();
        context.drawText(fnd::format("%.1f", rangeAverage_), ui::Point{5.0, y - textSize}, font, textColor());
        context.drawText(unitsStr_, ui::Point{5.0, y - 2.0}, font, textColor());
    }
    for (int i = 1; i <= 4; ++i) {
        const int value = static_cast<int>((max_ - min_) * static_cast<float>(i) / 4);
        context.drawText(fnd::format("%d", value), ui::Point{l.x1 + 3.0, l.base - i * l.gh / 4}, font, textColor());
    }
}

void FuelGraphView::drawDayLabels(ui::Context& context, const Layout& l) const
{
    const int step = rangeLabelStep(graphMode_);
    const double t = graphDragOffset_ / (l.dx * step);
    const ui::Font font = ui::Font::named("Digital-Serial", static_cast<int>(l.height / 18));
    const fnd::Date today = fnd::Date::now();
    const int first = (l.whole / step) * step;
    for (int j = 0; j <= l.days; j += step) {
        const fnd::Date day = fnd::Calendar::dateByAddingDays(today, -(first + j));
        const double x = l.x1 - l.dx * j + l.dx * step * (t - static_cast<int>(t));
        const std::string label = std::to_string(fnd::Calendar::components(day).day);
        context.drawText(label, ui::Point{x, l.base + 2.0}, font, textColor());
    }
}
