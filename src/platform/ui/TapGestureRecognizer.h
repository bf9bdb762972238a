#pragma once

#include "platform/foundation/Timer.h"
#include "platform/ui/GestureRecognizer.h"

namespace ui {

// Recognizes a number of taps with a number of fingers. It fails when a
// finger moves too far, when more fingers come down than asked for, or when
// the next tap of a multiple tap does not follow soon enough.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~TapGestureRecognizer() override;

    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps; }
    int numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(int touches) { touchesRequired_ = touches; }
    bool isSingleTap() const override { return tapsRequired_ == 1 && touchesRequired_ == 1; }

    static constexpr double allowableMovement = 10;     // points from where a finger went down
    static constexpr double maximumTapInterval = 0.35;  // seconds between the taps of a multiple tap

protected:
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void reset() override;

private:
    void fail();

    int tapsRequired_ = 1;
    int touchesRequired_ = 1;
    int tapsDone_ = 0;
    std::size_t fingersThisTap_ = 0;
    std::vector<std::pair<std::uint64_t, Point>> downLocations_;
    fnd::DelayedCall nextTapDeadline_;
};

} // namespace ui
