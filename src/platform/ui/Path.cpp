#include "platform/ui/Path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;
// Control point distance of a cubic that approximates a quarter circle.
constexpr double kappa = 0.5522847498307936;

Point onCircle(Point c, double r, double angle) { return {c.x + r * std::cos(angle), c.y + r * std::sin(angle)}; }

} // namespace

Path Path::rect(const Rect& r)
{
    Path p;
    p.addRect(r);
    return p;
}

Path Path::roundedRect(const Rect& r, double radius)
{
    Path p;
    p.addRoundedRect(r, radius);
    return p;
}

Path Path::ellipse(const Rect& r)
{
    Path p;
    p.addEllipse(r);
    return p;
}

Path Path::arc(Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    Path p;
    p.addArc(center, radius, startAngle, endAngle, clockwise);
    return p;
}

void Path::moveTo(Point p)
{
    elements_.push_back({Verb::Move, {p, {}, {}}});
    subpathStart_ = p;
}

void Path::lineTo(Point p)
{
    if (elements_.empty())
        moveTo(p);
    else
        elements_.push_back({Verb::Line, {p, {}, {}}});
}

void Path::quadTo(Point control, Point end)
{
    const Point start = currentPoint().value_or(control);
    if (elements_.empty())
        moveTo(start);
    // The cubic with the same shape as the quadratic.
    const Point c1{start.x + 2.0 / 3.0 * (control.x - start.x), start.y + 2.0 / 3.0 * (control.y - start.y)};
    const Point c2{end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)};
    elements_.push_back({Verb::Cubic, {c1, c2, end}});
}

void Path::curveTo(Point control1, Point control2, Point end)
{
    if (elements_.empty())
        moveTo(control1);
    elements_.push_back({Verb::Cubic, {control1, control2, end}});
}

void Path::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    double sweep = endAngle - startAngle;
    if (clockwise) {
        if (sweep < 0)
            sweep = std::fmod(sweep, twoPi) + twoPi;
        sweep = std::min(sweep, twoPi);
    } else {
        if (sweep > 0)
            sweep = std::fmod(sweep, twoPi) - twoPi;
        sweep = std::max(sweep, -twoPi);
    }
    const Point start = onCircle(center, radius, startAngle);
    if (elements_.empty() || elements_.back().verb == Verb::Close)
        moveTo(start);
    else
        lineTo(start);

    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4) * radius;
    double a0 = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double a1 = a0 + step;
        const Point p0 = onCircle(center, radius, a0);
        const Point p3 = onCircle(center, radius, a1);
        const Point c1{p0.x - k * std::sin(a0), p0.y + k * std::cos(a0)};
        const Point c2{p3.x + k * std::sin(a1), p3.y - k * std::cos(a1)};
        elements_.push_back({Verb::Cubic, {c1, c2, p3}});
        a0 = a1;
    }
}

void Path::addRect(const Rect& r)
{
    const Rect s = r.standardized();
    moveTo(s.origin);
    lineTo({s.maxX(), s.minY()});
    lineTo({s.maxX(), s.maxY()});
    lineTo({s.minX(), s.maxY()});
    close();
}

void Path::addRoundedRect(const Rect& r, double radius)
{
    const Rect s = r.standardized();
    const double rad = std::clamp(radius, 0.0, std::min(s.width(), s.height()) / 2);
    if (rad <= 0) {
        addRect(s);
        return;
    }
    constexpr double pi = std::numbers::pi;
    moveTo({s.minX() + rad, s.minY()});
    addArc({s.maxX() - rad, s.minY() + rad}, rad, -pi / 2, 0, true);
    addArc({s.maxX() - rad, s.maxY() - rad}, rad, 0, pi / 2, true);
    addArc({s.minX() + rad, s.maxY() - rad}, rad, pi / 2, pi, true);
    addArc({s.minX() + rad, s.minY() + rad}, rad, pi, 3 * pi / 2, true);
    close();
}

void Path::addEllipse(const Rect& r)
{
    const Rect s = r.standardized();
    const double rx = s.width() / 2;
    const double ry = s.height() / 2;
    const double cx = s.midX();
    const double cy = s.midY();
    const double kx = kappa * rx;
    const double ky = kappa * ry;
    moveTo({cx + rx, cy});
    curveTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    curveTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    curveTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    curveTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    close();
}

void Path::addPath(const Path& other)
{
    elements_.insert(elements_.end(), other.elements_.begin(), other.elements_.end());
    subpathStart_ = other.subpathStart_;
}

void Path::close()
{
    if (!elements_.empty() && elements_.back().verb != Verb::Close)
        elements_.push_back({Verb::Close, {}});
}

std::optional<Point> Path::currentPoint() const
{
    if (elements_.empty())
        return std::nullopt;
    const Element& last = elements_.back();
    switch (last.verb) {
    case Verb::Close: return subpathStart_;
    case Verb::Cubic: return last.points[2];
    default: return last.points[0];
    }
}

Rect Path::controlBounds() const
{
    bool first = true;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const Element& e : elements_) {
        const int count = e.verb == Verb::Cubic ? 3 : e.verb == Verb::Close ? 0 : 1;
        for (int i = 0; i < count; ++i) {
            const Point p = e.points[i];
            if (first) {
                x0 = x1 = p.x;
                y0 = y1 = p.y;
                first = false;
            }
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

Path Path::transformed(const AffineTransform& t) const
{
    Path out = *this;
    for (Element& e : out.elements_)
        for (Point& p : e.points)
            p = t.apply(p);
    out.subpathStart_ = t.apply(subpathStart_);
    return out;
}

} // namespace ui
