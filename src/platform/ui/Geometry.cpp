#include "platform/ui/Geometry.h"

#include <algorithm>
#include <cmath>

namespace ui {

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }

Rect Rect::standardized() const { return {{minX(), minY()}, {maxX() - minX(), maxY() - minY()}}; }

bool Rect::contains(Point p) const
{
    return !isEmpty() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const
{
    return !isEmpty() && !r.isEmpty() && r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY()
        && r.maxY() <= maxY();
}

bool Rect::intersects(const Rect& r) const { return !intersection(r).isEmpty(); }

Rect Rect::intersection(const Rect& r) const
{
    const double x0 = std::max(minX(), r.minX());
    const double y0 = std::max(minY(), r.minY());
    const double x1 = std::min(maxX(), r.maxX());
    const double y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

Rect Rect::unite(const Rect& r) const
{
    if (r.isEmpty())
        return *this;
    if (isEmpty())
        return r;
    const double x0 = std::min(minX(), r.minX());
    const double y0 = std::min(minY(), r.minY());
    return {{x0, y0}, {std::max(maxX(), r.maxX()) - x0, std::max(maxY(), r.maxY()) - y0}};
}

Rect Rect::inset(double dx, double dy) const
{
    const Rect s = standardized();
    return {{s.origin.x + dx, s.origin.y + dy}, {s.size.width - 2 * dx, s.size.height - 2 * dy}};
}

Rect Rect::offset(double dx, double dy) const { return {{origin.x + dx, origin.y + dy}, size}; }

Rect insetRect(const Rect& r, const EdgeInsets& insets)
{
    return {{r.origin.x + insets.left, r.origin.y + insets.top},
            {r.size.width - insets.left - insets.right, r.size.height - insets.top - insets.bottom}};
}

AffineTransform AffineTransform::translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }

AffineTransform AffineTransform::scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

AffineTransform AffineTransform::rotation(double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& n) const
{
    return {a * n.a + b * n.c,           a * n.b + b * n.d,           c * n.a + d * n.c,
            c * n.b + d * n.d,           tx * n.a + ty * n.c + n.tx,  tx * n.b + ty * n.d + n.ty};
}

AffineTransform AffineTransform::translated(double x, double y) const { return translation(x, y).concat(*this); }
AffineTransform AffineTransform::scaled(double sx, double sy) const { return scale(sx, sy).concat(*this); }
AffineTransform AffineTransform::rotated(double radians) const { return rotation(radians).concat(*this); }

bool AffineTransform::isInvertible() const { return std::abs(a * d - b * c) > 1e-12; }

AffineTransform AffineTransform::inverted() const
{
    const double det = a * d - b * c;
    if (std::abs(det) <= 1e-12)
        return identity();
    return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Point AffineTransform::apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

Rect AffineTransform::apply(const Rect& r) const
{
    const Rect s = r.standardized();
    const Point corners[] = {apply(s.origin), apply(Point{s.maxX(), s.minY()}), apply(Point{s.minX(), s.maxY()}),
                             apply(Point{s.maxX(), s.maxY()})};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

bool AffineTransform::isIdentity() const { return *this == identity(); }

} // namespace ui
