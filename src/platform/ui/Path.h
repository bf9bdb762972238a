#pragma once

#include "platform/ui/Geometry.h"

#include <optional>
#include <vector>

namespace ui {

// A vector path of straight and cubic segments in the y-down space.
//
// Arcs follow the phone platform: angle 0 points along +x and angles grow
// clockwise on screen (pi/2 is straight down). `clockwise` true sweeps from
// start towards growing angles, i.e. clockwise on screen, like the platform's
// bezier path. The platform's context arc call with its clockwise flag OFF
// (in its flipped view coordinates) sweeps the same way: pass true for it.
class Path {
public:
    enum class Verb { Move, Line, Cubic, Close };
    struct Element {
        Verb verb = Verb::Move;
        Point points[3]; // Move/Line: [0]; Cubic: two controls then the end
    };

    static Path rect(const Rect& r);
    static Path roundedRect(const Rect& r, double radius);
    static Path ellipse(const Rect& r);
    static Path arc(Point center, double radius, double startAngle, double endAngle, bool clockwise);

    void moveTo(Point p);
    // Starts a subpath at p when the path is empty.
    void lineTo(Point p);
    void quadTo(Point control, Point end);
    void curveTo(Point control1, Point control2, Point end);
    // Joins the current point to the arc's start with a line (a move when the
    // path is empty), like the platform does.
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    void addRect(const Rect& r);
    void addRoundedRect(const Rect& r, double radius);
    void addEllipse(const Rect& r);
    void addPath(const Path& other);
    void close();

    bool isEmpty() const { return elements_.empty(); }
    std::optional<Point> currentPoint() const;
    const std::vector<Element>& elements() const { return elements_; }
    // Bounds of all points including curve control points.
    Rect controlBounds() const;
    Path transformed(const AffineTransform& t) const;

private:
    std::vector<Element> elements_;
    Point subpathStart_;
};

} // namespace ui
