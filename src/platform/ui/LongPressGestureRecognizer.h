#pragma once

#include "platform/foundation/Timer.h"
#include "platform/ui/GestureRecognizer.h"

namespace ui {

// Begins when the required fingers stay down, nearly still, for the minimum
// duration on the run loop clock; then follows them until they lift.
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~LongPressGestureRecognizer() override;

    double minimumPressDuration() const { return minimumDuration_; }
    void setMinimumPressDuration(double seconds) { minimumDuration_ = seconds; }
    int numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(int touches) { touchesRequired_ = touches; }
    double allowableMovement() const { return allowableMovement_; }
    void setAllowableMovement(double points) { allowableMovement_ = points; }

protected:
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void reset() override;

private:
    void fail();

    double minimumDuration_ = 0.5;
    int touchesRequired_ = 1;
    double allowableMovement_ = 10;
    Point start_;
    fnd::DelayedCall pressTimer_;
};

} // namespace ui
