#include "dashboard/GaugeLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using ui::makeRect;

// How much wider than tall a landscape tile must be to take the side panel.
constexpr double sidePanelAspect = 1.3;

GaugeLayout digitalLayout(double w, double h)
{
    GaugeLayout l;
    l.style = GaugeLayout::Style::Digital;
    l.labelFontSize = std::min(h * 0.13, w * 0.09);
    l.labelRect = makeRect(w * 0.06, h * 0.06, w * 0.88, l.labelFontSize * 1.3);
    l.readoutFontSize = std::min(h * 0.4, w * 0.26);
    l.readoutRect = makeRect(w * 0.06, h * 0.22, w * 0.88, h * 0.44);
    l.unitFontSize = std::min(h * 0.11, w * 0.08);
    l.unitRect = makeRect(w * 0.06, h * 0.64, w * 0.88, l.unitFontSize * 1.3);
    l.barRect = makeRect(w * 0.06, h * 0.84, w * 0.88, h * 0.06);
    return l;
}

GaugeLayout uprightLayout(double w, double h)
{
    GaugeLayout l;
    // The dial with its readout block below the hub takes 1.9 radii of height.
    l.radius = std::min(w * 0.46, h / 2.0);
    const double r = l.radius;
    l.center = {w / 2, h / 2 + r * 0.05};
    l.scaleFontSize = r * 0.13;
    l.labelFontSize = r * 0.12;
    l.labelRect = makeRect(l.center.x - r * 0.6, l.center.y - r * 0.5, r * 1.2, l.labelFontSize * 1.3);
    l.readoutFontSize = r * 0.27;
    l.readoutRect = makeRect(l.center.x - r * 0.6, l.center.y + r * 0.2, r * 1.2, r * 0.34);
    l.unitFontSize = r * 0.11;
    l.unitRect = makeRect(l.center.x - r * 0.6, l.center.y + r * 0.56, r * 1.2, l.unitFontSize * 1.3);
    return l;
}

GaugeLayout sidePanelLayout(double w, double h)
{
    GaugeLayout l;
    l.radius = std::min(h * 0.46, w * 0.3);
    const double r = l.radius;
    l.center = {w * 0.04 + r * 1.04, h / 2};
    l.scaleFontSize = r * 0.13;
    const double panelX = l.center.x + r * 1.12;
    const double panelW = std::max(w - panelX - w * 0.04, 1.0);
    l.labelFontSize = std::min(h * 0.1, panelW * 0.12);
    l.labelRect = makeRect(panelX, h * 0.22, panelW, l.labelFontSize * 1.3);
    l.readoutFontSize = std::min(h * 0.3, panelW * 0.26);
    l.readoutRect = makeRect(panelX, h * 0.34, panelW, h * 0.32);
    l.unitFontSize = std::min(h * 0.09, panelW * 0.1);
    l.unitRect = makeRect(panelX, h * 0.68, panelW, l.unitFontSize * 1.3);
    return l;
}

}  // namespace

GaugeLayout GaugeLayout::make(ui::Size size, Style style, bool portrait)
{
    const double w = std::max(size.width, 0.0);
    const double h = std::max(size.height, 0.0);
    if (style == Style::Digital)
        return digitalLayout(w, h);
    if (!portrait && w > h * sidePanelAspect)
        return sidePanelLayout(w, h);
    return uprightLayout(w, h);
}

double GaugeLayout::angleFor(double fraction)
{
    return (startDegrees + sweepDegrees * std::clamp(fraction, 0.0, 1.0)) * std::numbers::pi / 180;
}

ui::Point GaugeLayout::pointAt(double fraction, double distance) const
{
    const double a = angleFor(fraction);
    return {center.x + distance * std::cos(a), center.y + distance * std::sin(a)};
}
