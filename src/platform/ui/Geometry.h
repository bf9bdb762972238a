#pragma once

// Points, sizes, rectangles and affine transforms in the y-down space of the
// screen, in points (one point is one pixel at scale 1).

namespace ui {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
    friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    Point center() const { return {midX(), midY()}; }

    // Empty: no area (zero or negative width or height).
    bool isEmpty() const { return !(size.width > 0 && size.height > 0); }
    // The same rectangle with a non-negative size.
    Rect standardized() const;
    bool contains(Point p) const;
    bool contains(const Rect& r) const;
    bool intersects(const Rect& r) const;
    // Empty (zero) rectangle when they do not meet.
    Rect intersection(const Rect& r) const;
    // An empty rectangle adds nothing.
    Rect unite(const Rect& r) const;
    // Positive dx, dy shrink the rectangle on both sides.
    Rect inset(double dx, double dy) const;
    Rect offset(double dx, double dy) const;

    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect makeRect(double x, double y, double w, double h) { return {{x, y}, {w, h}}; }

struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

Rect insetRect(const Rect& r, const EdgeInsets& insets);

// x' = a x + c y + tx,  y' = b x + d y + ty. In the y-down space a positive
// rotation turns clockwise on screen.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double tx, double ty);
    static AffineTransform scale(double sx, double sy);
    static AffineTransform rotation(double radians);

    // This transform followed by `next`.
    AffineTransform concat(const AffineTransform& next) const;
    // Like the platform's Translate/Scale/Rotate: the new step applies first.
    AffineTransform translated(double tx, double ty) const;
    AffineTransform scaled(double sx, double sy) const;
    AffineTransform rotated(double radians) const;
    // The identity when the transform cannot be inverted.
    AffineTransform inverted() const;
    bool isInvertible() const;

    Point apply(Point p) const;
    // The bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;
    bool isIdentity() const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

struct IndexPath {
    int section = 0;
    int row = 0;
    friend auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

} // namespace ui
