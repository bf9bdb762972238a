#pragma once

#include <atomic>
#include <deque>
#include <memory>

#include "dashboard/TickTimer.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// The friction-circle plot of the phone's acceleration: a target of shaded
// rings with a cross-hair, a dot at the current lateral and longitudinal
// acceleration, a fading trail, a marker at the extreme position and two
// figures. In the dash camera's overlay mode it draws a translucent target
// without trail, figures or scale, and moves the dot at every update.
//
// 1 g moves the dot by a third of the view's width (or height) from the centre.
class GforceView : public ui::View {
public:
    static constexpr double tickInterval = 0.1;
    static constexpr std::size_t trailLength = 30;

    GforceView(ui::Rect frame, int theme, bool dashcam);

    bool dashCamMode() const { return dashCamMode_; }
    void setDashCamMode(bool mode) { dashCamMode_ = mode; }
    // Re-reads the size and lays the labels and the dot out for the mode.
    void adjustView();
    // Accelerations in g. May be called from a motion queue in plot mode (it
    // only stores them); in overlay mode it moves the dot, so call it on the
    // main thread.
    void updateData(float x, float y);
    void updateDisplay();
    void startTimer();
    void stopTimer();
    bool isTimerRunning() const { return timer_.isRunning(); }
    // The view drawn without the dot.
    ui::Image takeScreenShot();
    // Draws nothing from now on but the dot (its face is painted from a screenshot instead).
    void hideContent();

    ui::Label& xLabel() { return *xLabel_; }
    ui::Label& yLabel() { return *yLabel_; }
    float x() const { return x_; }
    float y() const { return y_; }
    double length() const { return length_; }
    std::size_t trailSize() const { return histArr_.size(); }
    ui::Point dotPosition() const;
    ui::Point extremePosition() const { return {maxX_, maxY_}; }

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    void setupLayer();
    double plotLength(double w, double h) const;

    std::shared_ptr<ui::View> dot_;
    std::atomic<float> x_{0};
    std::atomic<float> y_{0};
    std::shared_ptr<ui::Label> xLabel_, yLabel_;
    double length_ = 0;
    std::deque<ui::Point> histArr_;  // newest first
    bool dashCamMode_ = false;
    int theme_ = 0;
    double maxX_ = 0, maxY_ = 0;
    double width_ = 0, height_ = 0;
    int displayUpdateCount_ = 0;
    bool shouldHideContent_ = false;
    TickTimer timer_;
};
