#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/model/MethodClass.h"
#include "fuel/FuelView.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/Path.h"

namespace {

constexpr double degrees = std::numbers::pi / 180;

const ui::Color lightBackground = ui::Color::rgb(1.0, 0.945, 0.8235);

// The instantaneous colour: green for good economy, through yellow to red.
ui::Color economyColor(float fraction, bool perDistance, double scale)
{
    double red = 1;
    double green = 1;
    if (perDistance) {
        if (fraction < 0.5f)
            red = 2 * fraction * scale;
        else
            green = (1 - 2 * (fraction - 0.5)) * scale;
    } else if (fraction > 0.5f) {
        red = (1 - (fraction - 0.5)) * scale;
    } else {
        green = 2 * fraction * scale;
    }
    return ui::Color::rgb(red, green, 0);
}

constexpr int instantDashStep = 2;  // degrees
constexpr int tripDashStep = 3;

// The dashes of an arc showing `fraction`, one every `step` degrees from the bottom.
int dashCount(float fraction, int step)
{
    int count = 0;
    for (int a = -90; a <= fraction * 270 - 90; a += step)
        ++count;
    return count;
}

// Whether a ring (an arc's stroke of `width` at `radius`, at most) passes through the rectangle.
bool ringTouches(ui::Rect rect, ui::Point center, double radius, double width)
{
    const double half = width / 2 + 2;  // and the edge's anti-aliasing
    const double nearX = std::clamp(center.x, rect.minX(), rect.maxX()) - center.x;
    const double nearY = std::clamp(center.y, rect.minY(), rect.maxY()) - center.y;
    const double farX = std::max(std::abs(rect.minX() - center.x), std::abs(rect.maxX() - center.x));
    const double farY = std::max(std::abs(rect.minY() - center.y), std::abs(rect.maxY() - center.y));
    return std::hypot(nearX, nearY) <= radius + half && std::hypot(farX, farY) >= radius - half;
}

// A colour as 8-bit channels show it.
ui::Color shownColor(ui::Color color)
{
    const auto channel = [](double value) { return std::round(std::clamp(value, 0.0, 1.0) * 255) / 255; };
    return ui::Color::rgb(channel(color.r), channel(color.g), channel(color.b), channel(color.a));
}

// A gauge arc of short dashes from the bottom, clockwise over 270 degrees up to
// the fraction.
void drawDashedArc(ui::Context& context, ui::Point center, double radius, double width, float fraction, int step,
                   double dash)
{
    ui::Path path;
    const int dashes = dashCount(fraction, step);
    for (int i = 0, a = -90; i < dashes; ++i, a += step) {
        const double start = (a - 180) * degrees;
        path.moveTo({center.x + radius * std::cos(start), center.y + radius * std::sin(start)});
        path.addArc(center, radius, start, start + dash, true);
    }
    context.setLineWidth(width);
    context.strokePath(path);
}

}  // namespace

namespace {

// The colours follow the gliding value: a label is drawn again only when its colour changes as shown.
void setColor(ui::Label& label, ui::Color color)
{
    const ui::Color shown = shownColor(color);
    if (label.textColor() != shown)
        label.setTextColor(shown);
}

}  // namespace

void FuelView::updateColors()
{
    const bool perDistance = mode_ == 2;
    const bool light = theme_ == 1;
    const auto portraitColor = [&](float shown) {
        return light ? ui::Color::black() : economyColor(arcFraction(shown), perDistance, 0.8);
    };
    const ui::Color instant = portraitColor(shownValue());
    setColor(*insMpgLargeLabel_, instant);
    setColor(*insMpgDecimalLabel_, instant);
    setColor(*avgLabel_, portraitColor(average_));
    float f = fractionOf(shownValue());
    if (f > 1)
        f = 0.99f;
    setColor(*insMpgLabel_, economyColor(std::max(f, 0.0f), perDistance, 0.85));
}

float FuelView::arcFraction(float shown) const { return std::clamp(fractionOf(shown), 0.01f, 1.0f); }

std::optional<float> FuelView::barFraction(float shown) const
{
    if (!(shown - minVal_ > 0))
        return std::nullopt;
    const float f = fractionOf(shown);
    return f > 1 ? 0.99f : f;
}

int FuelView::barSegments(float fraction) const
{
    const double u = bounds().width() / 200;
    return u > 0 ? static_cast<int>(fraction * geometry_.gHeight / (2 * u)) : 0;
}

FuelView::Picture FuelView::picture() const
{
    Picture p;
    p.portrait = isPortrait_;
    p.minVal = minVal_;
    p.maxVal = maxVal_;
    const bool perDistance = mode_ == 2;
    const bool light = theme_ == 1;
    if (isPortrait_) {
        const auto arcColor = [&](float fraction) {
            return light ? ui::Color::black() : shownColor(economyColor(fraction, perDistance, 0.8));
        };
        const float instant = arcFraction(shownValue());
        p.instantSteps = dashCount(instant, instantDashStep);
        p.instantColor = arcColor(instant);
        const float trip = arcFraction(average_);
        p.tripSteps = dashCount(trip, tripDashStep);
        p.tripColor = arcColor(trip);
        p.tankDegrees = static_cast<int>(std::clamp(fuelLevel_, 0.0f, 100.0f) / 100 * 270);
    } else {
        p.bars = bars_;
        if (const std::optional<float> f = barFraction(shownValue())) {
            p.instantSteps = barSegments(*f) + 1;
            p.instantColor = shownColor(economyColor(std::max(*f, 0.0f), perDistance, 0.85));
        }
    }
    return p;
}

void FuelView::redraw()
{
    drawn_ = picture();
    setNeedsDisplay();
}

void FuelView::refreshPicture()
{
    if (picture() != drawn_)
        redraw();
}

void FuelView::draw(ui::Context& context, ui::Rect dirty)
{
    ui::View::draw(context, dirty);
    if (isPortrait_)
        drawPortrait(context, dirty);
    else
        drawLandscape(context);
}

void FuelView::drawPortrait(ui::Context& context, ui::Rect dirty) const
{
    const double w = bounds().width();
    const double h = bounds().height();
    const Geometry& g = geometry_;
    const bool perDistance = mode_ == 2;
    const bool light = theme_ == 1;
    const double outlineWidth = ui::Device::current().isPad() ? 2 : 1;

    const auto colorFor = [&](float fraction) {
        return light ? ui::Color::black() : economyColor(fraction, perDistance, 0.8);
    };
    // A dashed arc up to `fraction` and its thin outline, each only where it meets the dirty area.
    const auto gauge = [&](ui::Point center, double radius, double width, float fraction, int step, double dash,
                           double outlineRadius) {
        context.setStrokeColor(colorFor(fraction));
        if (ringTouches(dirty, center, radius, width))
            drawDashedArc(context, center, radius, width, fraction, step, dash);
        if (ringTouches(dirty, center, outlineRadius, outlineWidth)) {
            context.setLineWidth(outlineWidth);
            context.strokePath(ui::Path::arc(center, outlineRadius, -270 * degrees, 0, true));
        }
    };
    gauge({0.5 * w, 0.425 * h}, 0.5 * w - g.barWidth2 - 10, g.barWidth2, arcFraction(shownValue()), instantDashStep,
          3.0 / 180, 0.5 * w - 1.5 * g.barWidth2 - 13);
    gauge({0.75 * w, 0.425 * h + 0.25 * w}, 0.25 * w - g.barWidth2, 0.75 * g.barWidth2, arcFraction(average_),
          tripDashStep, 4.0 / 180, 0.25 * w - 1.5 * g.barWidth2);

    const ui::Point tankCenter{0.2 * w, 0.84 * h};
    const double tankEnd = static_cast<int>(std::clamp(fuelLevel_, 0.0f, 100.0f) / 100 * 270) + 90;
    // On narrow screens the arc's width would leave it no radius: both shrink to fit.
    const double tankRadius = std::max(0.17 * w - g.barWidth2, 0.08 * w);
    const double tankWidth = std::min(0.5 * g.barWidth2, 0.6 * tankRadius);
    if (!ringTouches(dirty, tankCenter, tankRadius, tankWidth))
        return;
    context.setStrokeColor(ui::Color::rgb(0, 0.4471, 0.7373));
    context.setLineWidth(tankWidth);
    context.strokePath(ui::Path::arc(tankCenter, tankRadius, 90 * degrees, tankEnd * degrees, true));
}

void FuelView::drawLandscape(ui::Context& context) const
{
    if (theme_ == 1) {
        context.setFillColor(lightBackground);
        context.fillRect(bounds());
    }
    drawLandscapeGrid(context);
    drawInstantBar(context);
    drawBars(context);
    drawScale(context);
}

void FuelView::drawLandscapeGrid(ui::Context& context) const
{
    const double w = bounds().width();
    const Geometry& g = geometry_;
    const bool light = theme_ == 1;
    const ui::Color baseColor = light ? ui::Color::black() : ui::Color::rgb(0, 0.5255, 0.3098, 0.5);
    const ui::Color gridColor = light ? ui::Color::darkGray() : ui::Color::rgb(0, 0.7216, 0.5451, 0.5);
    const double base = g.gHeight + g.gHOffset + 1;

    context.setLineWidth(1);
    context.setStrokeColor(baseColor);
    context.strokeLine({g.gWOffset, base}, {g.gWOffset + g.gWidth, base});
    context.strokeLine({0.015 * w, base}, {0.115 * w, base});

    context.setStrokeColor(gridColor);
    for (double y = g.plotBase; y > 2 * g.gHOffset; y -= 0.25 * g.gHeight) {
        context.strokeLine({g.gWOffset, y}, {g.gWOffset + g.gWidth, y});
        context.strokeLine({0.015 * w, y}, {0.115 * w, y});
    }
    const double x1 = g.gWOffset + 5 * g.barWidth + 6 * g.lineWidth;
    const double x2 = x1 + 6 * g.barWidth + 7 * g.lineWidth;
    context.strokeLine({x1, g.gHOffset}, {x1, g.plotBase});
    context.strokeLine({x2, g.gHOffset}, {x2, g.plotBase});
}

void FuelView::drawInstantBar(ui::Context& context) const
{
    const double w = bounds().width();
    const Geometry& g = geometry_;
    const bool light = theme_ == 1;
    const std::optional<float> fraction = barFraction(shownValue());
    if (!fraction)
        return;
    const float f = *fraction;
    const double u = w / 200;
    const int segments = barSegments(f);
    ui::Path path;
    for (int k = 0; k <= segments; ++k)
        path.addRect(ui::makeRect(0.015 * w + 1, g.plotBase - 1 - 2 * u * k, 0.1 * w - 2, 1.5 * u));

    const ui::Color top = economyColor(std::max(f, 0.0f), mode_ == 2, 0.85);
    const ui::Color bottom = light ? ui::Color::rgb(top.r, top.g, 0.05) : ui::Color::white(0.05);
    context.save();
    context.setAlpha(light ? 0.7 : 0.5);
    context.clipToPath(path);
    context.drawLinearGradient({{0.1, top}, {1.0, bottom}}, {0, g.plotBase - f * g.gHeight}, {0, g.plotBase},
                               {true, true});
    context.restore();
}

void FuelView::drawBars(ui::Context& context) const
{
    const double shortSide = geometry_.shortSide;
    for (const Bar& bar : bars_) {
        if (!bar.drawn || bar.rect.isEmpty())
            continue;
        context.save();
        context.setAlpha(0.8);
        context.clipToRect(bar.rect);
        context.drawLinearGradient({{0, bar.top}, {1, bar.bottom}}, {0, (1 - bar.fraction) * shortSide},
                                   {0, shortSide}, {true, true});
        context.restore();
    }
}

void FuelView::drawScale(ui::Context& context) const
{
    const double w = bounds().width();
    const double h = bounds().height();
    const Geometry& g = geometry_;
    const bool light = theme_ == 1;
    const ui::Color textColor = light ? ui::Color::black() : ui::Color::lightGray();
    const ui::Font font = ui::Font::named("Digital-Serial DB", w / 40);

    // A number at each quarter line above the base, the top one at the chart's top.
    for (int step = 1; step <= 4; ++step) {
        const double y = g.plotBase - h / 40 - 0.25 * step * g.gHeight;
        float value = 0.25f * static_cast<float>(step) * maxVal_;
        if (mode_ == 2)
            value = step < 4 ? minVal_ / (1 - 0.25f * static_cast<float>(step)) : maxVal_;
        const double x = value >= 100 ? 0.117 * w : value > 9 ? 0.122 * w : 0.13 * w;
        context.drawText(fnd::format("%d", static_cast<int>(value)), ui::Point{x, y}, font, textColor);
    }

    // Ticks every few points, leaving room for the numbers at the quarter lines.
    const double spacing = ui::Device::current().isPad() ? 7 : 5;
    context.setStrokeColor(ui::Color::gray());
    context.setLineWidth(1);
    for (double y = g.plotBase; y >= g.gHOffset; y -= spacing) {
        const double fromQuarter = std::fmod(g.plotBase - y, 0.25 * g.gHeight);
        if (y < g.plotBase && (fromQuarter < h / 40 || 0.25 * g.gHeight - fromQuarter < 2))
            continue;
        context.strokeLine({0.128 * w, y}, {0.147 * w, y});
    }
}
