#include "logging/ListGaugeView.h"

#include <cmath>

#include "platform/foundation/SystemSound.h"
#include "platform/ui/Context.h"
#include "platform/ui/Path.h"

ListGaugeView::ListGaugeView(ui::Rect frame, int theme) : ui::View(frame), theme_(theme)
{
    setBackgroundColor(theme_ == 0 ? ui::Color::black() : ui::Color::rgb(1.0, 0.945, 0.886));
    color_ = theme_ == 0 ? ui::Color::rgb(0, 0.647, 0.765) : ui::Color::rgb(0.1216, 0.196, 0.392);
    bgColor_ = theme_ == 0 ? ui::Color::white(0.04) : ui::Color::clear();
    color2_ = ui::Color::rgb(0.706, 0, 0.157, 0.8);
    updateDimensions();
}

void ListGaugeView::updateDimensions()
{
    barWidth_ = static_cast<float>(bounds().size.width / 90);
    barLength_ = static_cast<float>(bounds().size.height - 2);
    setNeedsDisplay();
}

void ListGaugeView::initData(float min, float max, int index)
{
    min_ = min;
    max_ = max;
    index_ = index;
    setNeedsDisplay();
}

bool ListGaugeView::isWarning() const
{
    return !empty_ && max_ != min_ && limits_.warns((value_ - min_) / (max_ - min_));
}

void ListGaugeView::showNoValue()
{
    empty_ = true;
    value_ = min_;
    setNeedsDisplay();
}

void ListGaugeView::updateGauge(float value)
{
    const bool changed = empty_ || value != value_;
    empty_ = false;
    value_ = value;
    setNeedsDisplay();
    if (changed && isWarning() && limits_.sound && playSound_) {
        playSound_ = false;
        fnd::SystemSound::play(limitSound);
        rearm_.cancel();
        rearm_ = fnd::after(soundPause, [this] { playWarningSound(); });
    }
}

double ListGaugeView::litExtent() const
{
    if (empty_)
        return 0;
    const double fraction = (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_);
    if (!std::isfinite(fraction))
        return 0;
    return (bounds().size.width - 2) * fraction;
}

std::vector<double> ListGaugeView::segmentPositions() const
{
    std::vector<double> out;
    const double pitch = 1.5 * barWidth_;
    if (!(pitch > 0))
        return out;
    for (double x = left; x < bounds().size.width - 2; x += pitch)
        out.push_back(x);
    return out;
}

int ListGaugeView::litSegmentCount() const
{
    const double extent = litExtent();
    int lit = 0;
    for (double x : segmentPositions())
        if (x < extent)
            ++lit;
    return lit;
}

void ListGaugeView::draw(ui::Context& context, ui::Rect dirty)
{
    ui::View::draw(context, dirty);
    const std::vector<double> segments = segmentPositions();
    if (segments.empty())
        return;
    context.setFillColor(bgColor_);
    for (double x : segments)
        context.fillRect(ui::makeRect(x, 2, barWidth_, barLength_));
    const ui::Color lit = isWarning() ? color2_ : color_;
    context.setFillColor(lit);
    const double extent = litExtent();
    for (double x : segments) {
        if (x >= extent)
            break;
        context.fillRect(ui::makeRect(x, 2, barWidth_, barLength_));
    }
    ui::Path cap;
    cap.addArc({left, barLength_ / 2.0 + 2}, barLength_ / 2.0, -3 * M_PI / 2, -M_PI / 2, true);
    cap.close();
    context.fillPath(cap);
}
