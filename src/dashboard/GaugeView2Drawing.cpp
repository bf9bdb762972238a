// The gauge tile's drawing: the analogue dial and the digital number.
#include <algorithm>
#include <cmath>

#include "dashboard/GaugeView2.h"
#include "platform/ui/Context.h"
#include "platform/ui/Font.h"
#include "platform/ui/Path.h"

namespace {

using ui::Color;
using ui::Context;
using ui::Font;
using ui::Point;
using ui::Rect;

const char* const numberFont = "DigitalSans NowEF ML Demo";
const char* const unitFont = "Digital-Serial";

// Minor ticks between two scale numbers; the middle one is drawn long.
constexpr int minorSteps = 10;

// The font at `size`, made smaller when the text would not fit `width`.
Font fitted(const char* name, double size, const std::string& text, double width)
{
    Font font = Font::named(name, size);
    const double textWidth = font.widthOf(text);
    if (textWidth > width && textWidth > 0)
        font = font.withSize(size * width / textWidth);
    return font;
}

// Text centred in a rectangle, both ways.
void drawCentred(Context& context, const std::string& text, const Rect& r, const Font& font, Color color)
{
    const double top = r.midY() - font.lineHeight() / 2;
    context.drawText(text, ui::makeRect(r.x(), top, r.width(), font.lineHeight()), font, color,
                     ui::TextAlignment::Center, ui::LineBreakMode::Clip);
}

// Text centred on a point.
void drawCentred(Context& context, const std::string& text, Point at, const Font& font, Color color)
{
    const double width = font.widthOf(text);
    context.drawText(text, Point{at.x - width / 2, at.y - font.lineHeight() / 2}, font, color);
}

}  // namespace

void GaugeView2::draw(Context& context, Rect)
{
    if (bounds().isEmpty())
        return;
    if (layout_.style == GaugeLayout::Style::Digital)
        drawDigital(context);
    else
        drawAnalog(context);
    drawTexts(context);
}

Color GaugeView2::valueColor() const { return warning_ ? palette_.warning : palette_.accent; }

void GaugeView2::drawAnalog(Context& context) const
{
    if (layout_.radius <= 0)
        return;
    drawDial(context);
    drawLimitZones(context);
    drawNeedle(context);
}

void GaugeView2::drawDial(Context& context) const
{
    const Point c = layout_.center;
    const double r = layout_.radius;
    const Rect face = ui::makeRect(c.x - r, c.y - r, 2 * r, 2 * r);

    context.save();
    context.clipToPath(ui::Path::ellipse(face));
    context.drawRadialGradient({{0, palette_.faceCentre}, {1, palette_.faceEdge}}, c, 0, c, r, {true, true});
    context.restore();
    context.setStrokeColor(palette_.bezel);
    context.setLineWidth(std::max(1.0, r * 0.015));
    context.strokeEllipse(face.inset(r * 0.0075, r * 0.0075));

    // Ticks, from the rim inwards.
    const double outer = r * 0.92;
    const int divisions = static_cast<int>(scale_.fractions.size()) - 1;
    context.setLineCap(ui::LineCap::Butt);
    for (int i = 0; i <= divisions * minorSteps; ++i) {
        const double fraction = static_cast<double>(i) / (divisions * minorSteps);
        const bool major = i % minorSteps == 0;
        const bool middle = i % minorSteps == minorSteps / 2;
        const double length = r * (major ? 0.13 : middle ? 0.09 : 0.05);
        context.setStrokeColor(major || middle ? palette_.majorTick : palette_.minorTick);
        context.setLineWidth(r * (major ? 0.022 : middle ? 0.014 : 0.009));
        context.strokeLine(layout_.pointAt(fraction, outer), layout_.pointAt(fraction, outer - length));
    }

    // Scale numbers inside the major ticks.
    const Font font = Font::named(numberFont, layout_.scaleFontSize);
    const double numbersAt = outer - r * 0.13 - layout_.scaleFontSize * 0.85;
    for (std::size_t i = 0; i < scale_.fractions.size(); ++i)
        drawCentred(context, scale_.texts[i], layout_.pointAt(scale_.fractions[i], numbersAt), font,
                    palette_.numbers);
    if (scale_.thousands)
        drawCentred(context, "x1000", Point{c.x, c.y - r * 0.26}, Font::named(unitFont, r * 0.08), palette_.unit);
}

void GaugeView2::drawLimitZones(Context& context) const
{
    if (!limits_.notify)
        return;
    // The parts of the dial beyond the sensor's limits, as a band along the rim.
    const double r = layout_.radius;
    context.setStrokeColor(palette_.warning.withAlpha(0.75));
    context.setLineWidth(r * 0.035);
    const auto band = [&](double from, double to) {
        if (to > from)
            context.strokePath(ui::Path::arc(layout_.center, r * 0.9, GaugeLayout::angleFor(from),
                                             GaugeLayout::angleFor(to), true));
    };
    band(0, std::clamp(static_cast<double>(limits_.min), 0.0, 1.0));
    band(std::clamp(static_cast<double>(limits_.max), 0.0, 1.0), 1);
}

void GaugeView2::drawNeedle(Context& context) const
{
    const Point c = layout_.center;
    const double r = layout_.radius;
    const double a = GaugeLayout::angleFor(std::clamp(fractionOf(needleValue()), 0.0f, 1.0f));
    const Point along{std::cos(a), std::sin(a)};
    const Point across{-along.y, along.x};
    const auto at = [&](double forward, double side) {
        return Point{c.x + along.x * forward + across.x * side, c.y + along.y * forward + across.y * side};
    };
    ui::Path needle;
    needle.moveTo(at(-r * 0.16, -r * 0.02));
    needle.lineTo(at(r * 0.86, -r * 0.006));
    needle.lineTo(at(r * 0.88, 0));
    needle.lineTo(at(r * 0.86, r * 0.006));
    needle.lineTo(at(-r * 0.16, r * 0.02));
    needle.close();

    const Color color = valueColor();
    if (warning_) {
        const Rect extent = ui::makeRect(c.x - r, c.y - r, 2 * r, 2 * r);
        context.beginTransparencyLayer(extent, 1, ui::Shadow{color, {0, 0}, r * 0.12});
        context.setFillColor(color);
        context.fillPath(needle);
        context.endTransparencyLayer();
    } else {
        context.setFillColor(color);
        context.fillPath(needle);
    }

    const double hub = r * 0.075;
    const Rect hubRect = ui::makeRect(c.x - hub, c.y - hub, 2 * hub, 2 * hub);
    context.setFillColor(palette_.hub);
    context.fillEllipse(hubRect);
    context.setStrokeColor(color);
    context.setLineWidth(r * 0.02);
    context.strokeEllipse(hubRect);
}

void GaugeView2::drawDigital(Context& context) const
{
    const Rect bar = layout_.barRect;
    if (bar.isEmpty())
        return;
    const double radius = bar.height() / 2;
    context.setFillColor(palette_.faceCentre);
    context.fillPath(ui::Path::roundedRect(bar, radius));
    const double fraction = std::clamp(fractionOf(needleValue()), 0.0f, 1.0f);
    if (fraction > 0) {
        // Never narrower than its height, so the rounded ends stay round.
        const Rect lit = ui::makeRect(bar.x(), bar.y(), std::max(bar.width() * fraction, bar.height()), bar.height());
        context.setFillColor(valueColor());
        context.fillPath(ui::Path::roundedRect(lit, radius));
    }
}

void GaugeView2::drawTexts(Context& context) const
{
    const std::string value = valueText();
    drawCentred(context, label_, layout_.labelRect,
                fitted(numberFont, layout_.labelFontSize, label_, layout_.labelRect.width()), palette_.label);
    drawCentred(context, value, layout_.readoutRect,
                fitted(numberFont, layout_.readoutFontSize, value, layout_.readoutRect.width()), valueColor());
    drawCentred(context, units_, layout_.unitRect,
                fitted(unitFont, layout_.unitFontSize, units_, layout_.unitRect.width()), palette_.unit);
}
