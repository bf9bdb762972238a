#include "logging/GaugeCell.h"

#include <algorithm>
#include <cmath>

#include "core/model/Manager.h"
#include "logging/ListGaugeView.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Label.h"

namespace {

std::shared_ptr<ui::Label> label(const char* font, double size, const std::string& text,
                                 ui::TextAlignment alignment = ui::TextAlignment::Left)
{
    auto out = std::make_shared<ui::Label>();
    out->setFont(ui::Font::named(font, size));
    out->setText(text);
    out->setTextAlignment(alignment);
    out->setBackgroundColor(ui::Color::clear());
    return out;
}

// What the number shows before a value arrives: a "00" would read as a real zero.
constexpr const char* noValue = "--";

ui::Color warningColor()
{
    return ui::Color::rgb(0.706, 0, 0.157, 0.8);
}

ui::Color numberColor(int theme)
{
    return theme == 1 ? ui::Color::rgb(0.1216, 0.196, 0.392) : ui::Color::rgb(0, 0.647, 0.765);
}

int currentTheme()
{
    return Manager::sharedManager().setting().theme;
}

float scaled(float value)
{
    return std::round(value * 100.0f) / 100.0f;
}

}  // namespace

GaugeCell::GaugeCell(double width, int theme, std::string reuseIdentifier)
    : RoundedCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)), theme_(theme)
{
    setFrame(ui::makeRect(0, 0, width, rowHeight));
    setTop(true);
    setBottom(true);
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    setUserInteractionEnabled(false);
    titleLabel_ = label("DigitalSans NowEF ML Demo", 17, "");
    valLabel_ = label("Digital-Serial", 25, noValue, ui::TextAlignment::Right);
    unitsLabel_ = label("DigitalSans NowEF ML Demo", 18, "_", ui::TextAlignment::Right);
    minLabel_ = label("Digital-Serial DB", 15, "0");
    maxLabel_ = label("Digital-Serial DB", 15, "0", ui::TextAlignment::Right);
    const ui::Color light = ui::Color::rgb(0.1216, 0.196, 0.392);
    const ui::Color dark = ui::Color::rgb(0, 0.529, 0.647);
    titleLabel_->setTextColor(theme_ == 1 ? light : dark);
    unitsLabel_->setTextColor(theme_ == 1 ? light : dark.withAlpha(0.6));
    valLabel_->setTextColor(numberColor(theme_));
    minLabel_->setTextColor(theme_ == 1 ? light.withAlpha(0.9) : dark.withAlpha(0.8));
    maxLabel_->setTextColor(theme_ == 1 ? light.withAlpha(0.9) : dark.withAlpha(0.8));
    gView_ = std::make_shared<ListGaugeView>(ui::makeRect(10, 40, 0.74 * width, 19), theme_);
    faultLabel_ = label("DigitalSans NowEF ML Demo", 15, "");
    faultLabel_->setTextColor(warningColor());
    faultLabel_->setAdjustsFontSizeToFitWidth(true);
    faultLabel_->setMinimumScaleFactor(0.6);
    faultLabel_->setHidden(true);
    for (const auto& view : std::initializer_list<std::shared_ptr<ui::View>>{titleLabel_, valLabel_, unitsLabel_,
                                                                             minLabel_, maxLabel_, gView_, faultLabel_})
        contentView()->addSubview(view);
    layOut(width, false);
}

GaugeCell::~GaugeCell()
{
    stopTimer();
}

void GaugeCell::layOut(double w, bool reloaded)
{
    titleLabel_->setFrame(ui::makeRect(10, 3, 0.7 * w, 20));
    valLabel_->setFrame(ui::makeRect(reloaded ? 0.73 * w : 0.75 * w, 30, 0.24 * w, 30));
    unitsLabel_->setFrame(reloaded ? ui::makeRect(0.57 * w, 2, 0.4 * w, 20) : ui::makeRect(0.55 * w, 2, 0.41 * w, 20));
    minLabel_->setFrame(ui::makeRect(10, 25, 0.13 * w, 15));
    maxLabel_->setFrame(ui::makeRect(reloaded ? 0.57 * w : 0.6 * w, 25, 0.2 * w, 15));
    gView_->setFrame(ui::makeRect(10, 40, 0.74 * w, 19));
    faultLabel_->setFrame(ui::makeRect(10, 40, 0.74 * w, 19));
}

void GaugeCell::reloadCell()
{
    layOut(frame().size.width, true);
    gView_->updateDimensions();
}

void GaugeCell::setCellData(int min, int max, const std::string& title, const std::string& units, int index)
{
    titleLabel_->setText(title);
    unitsLabel_->setText(max >= 2000 ? fnd::format("%s x1000", units) : units);
    minLabel_->setText(fnd::format("%d", min));
    maxLabel_->setText(fnd::format("%d", max));
    gView_->initData(static_cast<float>(min), static_cast<float>(max), index);
    minUnit_ = static_cast<float>(min);
    maxUnit_ = static_cast<float>(max);
    index_ = index;
    prevVal_ = clamped(prevVal_);
}

float GaugeCell::clamped(float v) const
{
    return std::clamp(v, std::min(minUnit_, maxUnit_), std::max(minUnit_, maxUnit_));
}

void GaugeCell::setLimits(const SensorLimits& limits)
{
    limits_ = limits;
    gView_->setLimits(limits);
}

void GaugeCell::updateCell(float v)
{
    if (hasValue_ && scaled(v) == scaled(prevVal_ + offset_)) {
        stopTimer();
        // Replies faster than a step cut each glide short and only halve the gap, so the row stops a hair
        // beside the value; a whole-number row would read one off (254 for 255). It rests on the value itself.
        prevVal_ = clamped(v);
        prevVal2_ = v;
        offset_ = offset2_ = 0;
        show(prevVal_, v);
        return;
    }
    value2_ = v;
    stopTimer();
    if (count_ < limit_)
        limit_ = count_;
    // The number warns by the previous target, so it turns one value after the bar. Before the first
    // value there is no target to warn by.
    const bool warns = hasValue_ && maxUnit_ != minUnit_ && limits_.warns((value_ - minUnit_) / (maxUnit_ - minUnit_));
    valLabel_->setTextColor(warns ? warningColor() : numberColor(currentTheme()));
    hasValue_ = true;
    prevVal_ += offset_;
    prevVal2_ += offset2_;
    value_ = clamped(v);
    count_ = 1;
    timer_ = fnd::Timer::scheduled(step, true, [this](fnd::Timer&) { updateGauge(); });
    timer_->fire();
}

void GaugeCell::updateGauge()
{
    const float f = static_cast<float>(count_) / static_cast<float>(std::max(limit_, 1));
    offset_ = (value_ - prevVal_) * f;
    offset2_ = (value2_ - prevVal2_) * f;
    // The last step shows the value itself: start + (value - start) may land a hair beside it in float,
    // and a whole-number row would then read one off (-21 for -22).
    const bool arrived = f >= 1;
    const float shown = arrived ? value_ : prevVal_ + offset_;
    const float shown2 = arrived ? value2_ : prevVal2_ + offset2_;
    const bool inRange = value2_ >= minUnit_ && value2_ <= maxUnit_;
    show(shown, inRange ? shown : shown2);
    if (count_ >= limit_)
        ++limit_;
    ++count_;
}

void GaugeCell::show(float bar, float number)
{
    gView_->updateGauge(bar);
    gView_->setHidden(false);
    faultLabel_->setHidden(true);
    valLabel_->setText(valueText(number, maxUnit_));
}

std::string GaugeCell::valueText(float n, float maxUnit)
{
    if (maxUnit > 20 && maxUnit < 2000)
        return fnd::format("%d", static_cast<int>(n));
    if (maxUnit >= 2000)
        return fnd::format("%.1f", n / 1000.0);
    return fnd::format(maxUnit <= 5 ? "%.2f" : "%.1f", static_cast<double>(n));
}

void GaugeCell::forgetValue()
{
    stopTimer();
    // As a new cell: the next value is reached in one step.
    prevVal_ = prevVal2_ = minUnit_;
    value_ = value2_ = minUnit_;
    offset_ = offset2_ = 0;
    count_ = 1;
    limit_ = 2;
    hasValue_ = false;
    gView_->showNoValue();
    valLabel_->setText(noValue);
    valLabel_->setTextColor(numberColor(currentTheme()));
}

void GaugeCell::showNoValue()
{
    forgetValue();
    gView_->setHidden(false);
    faultLabel_->setHidden(true);
}

void GaugeCell::showFault(const std::string& message)
{
    forgetValue();
    faultLabel_->setText(message);
    faultLabel_->setHidden(false);
    gView_->setHidden(true);
}

void GaugeCell::stopTimer()
{
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}
