#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <cstddef>
#include <deque>
#include <limits>

namespace ui {

// A drag: begins once the fingers moved a few points, then follows them.
// Translation and velocity are measured in window space and converted into
// the bounds space of the view asked for; velocity is in points per second
// of the run loop clock.
class PanGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    bool isDrag() const override { return true; }

    std::size_t minimumNumberOfTouches() const { return minimumTouches_; }
    void setMinimumNumberOfTouches(std::size_t touches) { minimumTouches_ = touches; }
    std::size_t maximumNumberOfTouches() const { return maximumTouches_; }
    void setMaximumNumberOfTouches(std::size_t touches) { maximumTouches_ = touches; }

    Point translationInView(const View* view) const;
    void setTranslation(Point translation, const View* view);
    Point velocityInView(const View* view) const;

    static constexpr double hysteresis = 10; // points moved before a pan begins

protected:
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void reset() override;
    // Whether the fingers may start a pan here; the screen-edge pan narrows it.
    virtual bool startsHere(const std::vector<Touch>& touches) const;

private:
    struct Sample {
        double time;
        Point location;
    };
    void addSample(double time);
    Point windowVelocity() const;

    std::size_t minimumTouches_ = 1;
    std::size_t maximumTouches_ = std::numeric_limits<std::size_t>::max();
    Point translation_; // window space
    std::deque<Sample> samples_;
    Point finalVelocity_;
};

enum class RectEdge : unsigned { None = 0, Top = 1, Left = 2, Bottom = 4, Right = 8, All = 15 };

constexpr RectEdge operator|(RectEdge a, RectEdge b)
{
    return static_cast<RectEdge>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool contains(RectEdge set, RectEdge e)
{
    return (static_cast<unsigned>(set) & static_cast<unsigned>(e)) != 0;
}

// A pan that starts near one of the given edges of the window.
class ScreenEdgePanGestureRecognizer : public PanGestureRecognizer {
public:
    using PanGestureRecognizer::PanGestureRecognizer;

    RectEdge edges() const { return edges_; }
    void setEdges(RectEdge edges) { edges_ = edges; }

    static constexpr double edgeWidth = 20; // points from the edge

protected:
    bool startsHere(const std::vector<Touch>& touches) const override;

private:
    RectEdge edges_ = RectEdge::None;
};

} // namespace ui
