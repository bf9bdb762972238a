#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace ui {

enum class SwipeDirection : unsigned { Right = 1, Left = 2, Up = 4, Down = 8 };

constexpr SwipeDirection operator|(SwipeDirection a, SwipeDirection b)
{
    return static_cast<SwipeDirection>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool contains(SwipeDirection set, SwipeDirection d)
{
    return (static_cast<unsigned>(set) & static_cast<unsigned>(d)) != 0;
}

// Recognizes a quick stroke of the required number of fingers in one of the
// allowed directions (right by default), while the fingers are still moving.
class SwipeGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    SwipeDirection direction() const { return direction_; }
    void setDirection(SwipeDirection direction) { direction_ = direction; }
    int numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(int touches) { touchesRequired_ = touches; }
    bool isSidewaysSwipe() const override
    {
        return touchesRequired_ == 1
            && (contains(direction_, SwipeDirection::Left) || contains(direction_, SwipeDirection::Right));
    }

    static constexpr double minimumDistance = 30; // points along the direction
    static constexpr double maximumDuration = 0.5; // seconds to cover it
    // Across the direction a stroke may drift at most this share of its length.
    static constexpr double maximumDrift = 0.5;

protected:
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;

private:
    SwipeDirection direction_ = SwipeDirection::Right;
    int touchesRequired_ = 1;
    Point start_;
    double startTime_ = 0;
};

} // namespace ui
