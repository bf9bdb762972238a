#include "dashboard/ShiftView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Context.h"
#include "platform/ui/Path.h"

namespace {

using ui::Color;

// Where the bar changes from the low to the middle and the high colour.
constexpr double middleFrom = 0.6;
constexpr double highFrom = 0.85;
// The light flashes on and off every two ticks (0.1 s).
constexpr int flashTicks = 2;

std::string rpmText(float rpm) { return fnd::format("%.0f rpm", std::trunc(rpm) + 0.0); }

}  // namespace

ShiftView::ShiftView(ui::Rect frame, int theme)
    : View(frame),
      gearLabel_(std::make_shared<ui::Label>()),
      rpmLabel_(std::make_shared<ui::Label>()),
      theme_(theme),
      timer_(tickInterval, [this] { tick(); })
{
    const bool light = theme_ == 1;
    setBackgroundColor(light ? Color::rgb255(255, 241, 226) : Color::black());
    setClipsToBounds(true);
    gearLabel_->setText("N");
    gearLabel_->setTextColor(light ? Color::black() : Color::white(0.9));
    gearLabel_->setTextAlignment(ui::TextAlignment::Center);
    rpmLabel_->setTextColor(light ? Color::white(0.3) : Color::lightGray());
    rpmLabel_->setTextAlignment(ui::TextAlignment::Center);
    addSubview(gearLabel_);
    addSubview(rpmLabel_);
    resetData();
    adjustLabels();
}

void ShiftView::adjustLabels()
{
    const double w = bounds().width();
    const double h = bounds().height();
    gearLabel_->setFrame(ui::makeRect(0, h * 0.3, w, h * 0.46));
    gearLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", std::min(h * 0.42, w * 0.5)));
    rpmLabel_->setFrame(ui::makeRect(0, h * 0.78, w, h * 0.14));
    rpmLabel_->setFont(ui::Font::named("Digital-Serial", std::min(h * 0.1, w * 0.08)));
    setNeedsDisplay();
}

void ShiftView::layoutSubviews() { adjustLabels(); }

void ShiftView::resetData()
{
    rpm_.reset(0);
    shiftLight_ = false;
    ticks_ = 0;
    rpmLabel_->setText(rpmText(0));
    setNeedsDisplay();
}

void ShiftView::updateRpmGauge(float rpm)
{
    if (!std::isfinite(rpm))
        return;
    // A red line too low to have a shift point (a damaged record) never lights it.
    const bool reached = redLine_ > shiftPointBelowRedLine && rpm >= redLine_ - shiftPointBelowRedLine;
    if (reached && !shiftLight_) {
        fnd::SystemSound::play(shiftSound);
        ticks_ = 0;
    }
    shiftLight_ = reached;
    rpm_.setTarget(rpm);
    timer_.start();
}

void ShiftView::stopTimer() { timer_.stop(); }

void ShiftView::tick()
{
    rpm_.tick();
    ++ticks_;
    rpmLabel_->setText(rpmText(rpm_.shown()));
    setNeedsDisplay();
}

int ShiftView::litSegments() const
{
    if (!(redLine_ > 0))
        return 0;
    const float fraction = std::clamp(rpm_.shown() / redLine_, 0.0f, 1.0f);
    return static_cast<int>(fraction * segmentCount);
}

ui::Rect ShiftView::segmentRect(int segment) const
{
    const double w = bounds().width();
    const double h = bounds().height();
    const double left = w * 0.05;
    const double pitch = w * 0.9 / segmentCount;
    return ui::makeRect(left + pitch * segment + pitch * 0.12, h * 0.08, pitch * 0.76, h * 0.16);
}

Color ShiftView::segmentColor(int segment) const
{
    const double at = (segment + 0.5) / segmentCount;
    if (at >= highFrom)
        return Color::rgb255(230, 30, 60);
    if (at >= middleFrom)
        return Color::rgb255(255, 190, 0);
    return Color::rgb255(51, 181, 225);
}

Color ShiftView::shiftColor() const
{
    switch (shiftLightColor_) {
    case 0: return Color::yellow();
    case 1: return Color::orange();
    default: return Color::rgb(0.28444444, 0.78431373, 0.50980392);
    }
}

void ShiftView::draw(ui::Context& context, ui::Rect)
{
    if (bounds().isEmpty())
        return;
    const bool flashOn = shiftLight_ && (ticks_ / flashTicks) % 2 == 0;
    const int lit = litSegments();
    const double unlitAlpha = theme_ == 1 ? 0.25 : 0.18;
    for (int i = 0; i < segmentCount; ++i) {
        const ui::Rect r = segmentRect(i);
        Color color = segmentColor(i).withAlpha(unlitAlpha);
        if (shiftLight_)
            color = flashOn ? shiftColor() : color;
        else if (i < lit)
            color = segmentColor(i);
        context.setFillColor(color);
        context.fillPath(ui::Path::roundedRect(r, std::min(r.width(), r.height()) * 0.2));
    }
}
