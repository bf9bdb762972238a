#pragma once

#include "platform/ui/View.h"

#include <cstdint>

namespace ui {

enum class ActivityIndicatorStyle { Medium, Large };

// A spinner of twelve spokes that turns, one step per twelfth of a second of
// the run loop's clock, while animating. Hidden while stopped unless told
// otherwise.
class ActivityIndicator : public View {
public:
    explicit ActivityIndicator(ActivityIndicatorStyle style = ActivityIndicatorStyle::Medium);
    ~ActivityIndicator() override;

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return frameCallback_ != 0; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);
    Color color() const { return color_; }
    void setColor(Color color);
    // The spoke drawn brightest, 0..11.
    int step() const { return step_; }

    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

private:
    ActivityIndicatorStyle style_;
    Color color_ = Color::gray();
    bool hidesWhenStopped_ = true;
    std::uint64_t frameCallback_ = 0;
    double startTime_ = 0;
    int step_ = 0;
};

} // namespace ui
