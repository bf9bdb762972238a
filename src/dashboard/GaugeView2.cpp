#include "dashboard/GaugeView2.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/SystemSound.h"

GaugeView2::GaugeView2(int gaugeCount, int visMode, int mainTheme)
    : gaugeCount_(gaugeCount),
      visMode_(visMode),
      palette_(GaugePalette::forTheme(mainTheme)),
      scale_(GaugeScale::forRange(minVal_, maxVal_)),
      timer_(tickInterval, [this] { tick(); })
{
    setBackgroundColor(palette_.background);
    setClipsToBounds(true);
    setupLayer();
}

void GaugeView2::setVisMode(int style)
{
    visMode_ = style;
    setupLayer();
}

void GaugeView2::setPortraitMode(bool portrait) { portrait_ = portrait; }

void GaugeView2::setupLayer()
{
    const auto style = visMode_ == digitalStyle ? GaugeLayout::Style::Digital : GaugeLayout::Style::Analog;
    layout_ = GaugeLayout::make(bounds().size, style, portrait_);
    setCornerRadius(std::min(bounds().width(), bounds().height()) * 0.05);
    setNeedsDisplay();
}

void GaugeView2::initData(const std::string& label, float minVal, float maxVal, const std::string& units, int index,
                          int pageIndex)
{
    label_ = label;
    units_ = units;
    minVal_ = minVal;
    maxVal_ = maxVal;
    index_ = index;
    pageIndex_ = pageIndex;
    scale_ = GaugeScale::forRange(minVal, maxVal);
    resetData();
}

void GaugeView2::setVal(float value)
{
    if (!std::isfinite(value)) {
        // No number: the readout says so; the needle and the warning keep
        // what the last reading gave them.
        hasReading_ = false;
        setNeedsDisplay();
        return;
    }
    hasReading_ = true;
    updateWarning(value);
    dialGlide_.setTarget(clampToRange(value));
    readingGlide_.setTarget(value);
    startTimer();
}

void GaugeView2::resetData()
{
    const float start = clampToRange(minVal_);
    dialGlide_.reset(start);
    readingGlide_.reset(start);
    hasReading_ = false;
    warning_ = false;
    setNeedsDisplay();
}

void GaugeView2::startTimer() { timer_.start(); }

void GaugeView2::stopTimer() { timer_.stop(); }

void GaugeView2::tick()
{
    const float needle = dialGlide_.shown();
    const float reading = readingGlide_.shown();
    dialGlide_.tick();
    readingGlide_.tick();
    if (needle != dialGlide_.shown() || reading != readingGlide_.shown())
        setNeedsDisplay();
}

void GaugeView2::updateWarning(float value)
{
    const bool outside = limits_.warns(fractionOf(value));
    if (outside && !warning_ && limits_.sound)
        fnd::SystemSound::play(limitSound);
    warning_ = outside;
}

float GaugeView2::clampToRange(float value) const
{
    if (!std::isfinite(minVal_) || !std::isfinite(maxVal_) || !(maxVal_ > minVal_))
        return std::isfinite(minVal_) ? minVal_ : 0;
    return std::clamp(value, minVal_, maxVal_);
}

float GaugeView2::fractionOf(float value) const
{
    const float range = maxVal_ - minVal_;
    if (!std::isfinite(range) || !(range > 0))
        return 0;
    return (value - minVal_) / range;
}

float GaugeView2::readoutValue() const
{
    // Within the range the readout follows the needle; outside it shows the
    // reading's own glide, which the needle cannot follow past the dial's end.
    const float target = readingGlide_.target();
    return target >= minVal_ && target <= maxVal_ ? dialGlide_.shown() : readingGlide_.shown();
}

std::string GaugeView2::valueText() const
{
    return hasReading_ ? gaugeReadoutText(readoutValue(), maxVal_) : "--";
}
