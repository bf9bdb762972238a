#include "performance/RaceGaugeView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"

namespace {

const ui::Color cream = ui::Color::rgb255(255, 241, 226);
const ui::Color rpmRed = ui::Color::rgb255(180, 0, 45);
const ui::Color speedBlue = ui::Color::rgb255(51, 181, 225);

double radians(double degrees) { return degrees * std::numbers::pi / 180; }

// The dial runs clockwise on screen, from six o'clock through nine and twelve to three o'clock.
ui::Path segment(ui::Point center, double radius, double fromDegrees, double toRadians)
{
    return ui::Path::arc(center, radius, radians(fromDegrees), toRadians, true);
}

int litCount(float shown, float fullScale, int segments)
{
    if (!(shown > 0) || fullScale <= 0)
        return 0;
    return static_cast<int>(std::min(1.0f, shown / fullScale) * static_cast<float>(segments));
}

}  // namespace

RaceGaugeView::RaceGaugeView(ui::Rect frame, int theme)
    : ui::View(frame), theme_(theme), color_(speedColor()), color2_(rpmRed),
      timer_(tickInterval, [this] { tick(); })
{
    setBackgroundColor(theme_ == 1 ? cream : ui::Color::black());
    speedLabel_ = std::make_shared<ui::Label>();
    speedUnitLabel_ = std::make_shared<ui::Label>();
    rpmLabel_ = std::make_shared<ui::Label>();
    rpmUnitLabel_ = std::make_shared<ui::Label>();
    speedLabel_->setTextAlignment(ui::TextAlignment::Center);
    speedUnitLabel_->setTextAlignment(ui::TextAlignment::Center);
    rpmUnitLabel_->setText("rpm\n x1000");
    rpmUnitLabel_->setNumberOfLines(0);
    rpmUnitLabel_->setTextAlignment(ui::TextAlignment::Center);
    applyLabelColors(std::nullopt);
    for (const auto& label : {speedLabel_, speedUnitLabel_, rpmLabel_, rpmUnitLabel_})
        addSubview(label);
    setupLayer();
    resetData();
}

RaceGaugeView::~RaceGaugeView() = default;

ui::Color RaceGaugeView::speedColor() const
{
    return theme_ == 0 ? speedBlue : ui::Color::white(0.02);
}

void RaceGaugeView::applyLabelColors(std::optional<ui::Color> override)
{
    const bool light = theme_ == 1;
    const ui::Color dark = ui::Color::black();
    speedLabel_->setTextColor(override.value_or(light ? dark : speedBlue));
    speedUnitLabel_->setTextColor(override.value_or(light ? dark : ui::Color::lightGray()));
    rpmLabel_->setTextColor(override.value_or(light ? dark : rpmRed));
    rpmUnitLabel_->setTextColor(override.value_or(light ? dark : ui::Color::lightGray()));
}

void RaceGaugeView::setupLayer()
{
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    speedLabel_->setFrame({0.3 * w, 0.3 * h, 0.4 * w, 0.22 * h});
    speedLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 0.22 * h));
    speedUnitLabel_->setFrame({0.5 * w - w / 6, 0.5 * h, w / 3, 0.1 * h});
    speedUnitLabel_->setFont(ui::Font::named("Digital-Serial DB", 0.1 * h));
    rpmLabel_->setFrame({0.71 * w, 0.84 * h, w / 3, 0.12 * h});
    rpmLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 0.12 * h));
    rpmUnitLabel_->setFrame({0.7 * w - w / 6, 0.65 * h, w / 3, 0.2 * h});
    rpmUnitLabel_->setFont(ui::Font::named("Digital-Serial DB", 0.06 * h));
    barLength_ = (w + h) / 22;
    firstDraw_ = true;
    line_ = ui::Device::current().isPad() ? 2 : 1;
    setNeedsDisplay();
}

void RaceGaugeView::resetData()
{
    speed_.reset(0);
    rpm_.reset(0);
    showReadings();
}

// The glides move on the timer, never in a paint: painting twice at one moment shows the same gauge.
void RaceGaugeView::tick()
{
    const float speed = speed_.shown();
    const float rpm = rpm_.shown();
    speed_.tick();
    rpm_.tick();
    if (speed != speed_.shown() || rpm != rpm_.shown())
        showReadings();
}

void RaceGaugeView::showReadings()
{
    speedLabel_->setText(fnd::format("%d", static_cast<int>(speed_.shown())));
    rpmLabel_->setText(fnd::format("%.1f", rpm_.shown() / 1000));
    // The labels repaint themselves; the arcs only when a segment lights or goes out.
    if (litCount(speed_.shown(), maxSpeed_, speedSegments) != litSpeed_ ||
        litCount(rpm_.shown(), rpmFullScale, rpmSegments) != litRpm_)
        setNeedsDisplay();
}

void RaceGaugeView::setMaxSpeed(float maxSpeed)
{
    maxSpeed_ = maxSpeed;
    setNeedsDisplay();
}

void RaceGaugeView::startTimer() { timer_.start(); }
void RaceGaugeView::stopTimer() { timer_.stop(); }
// The first reading after a reset shows at once.
void RaceGaugeView::setSpeed(float speed)
{
    speed_.setTarget(speed);
    showReadings();
}

void RaceGaugeView::setRpm(float rpm)
{
    rpm_.setTarget(rpm);
    showReadings();
}

void RaceGaugeView::setShiftLight(bool on)
{
    if (on == prevShiftEnabled_)
        return;
    if (on) {
        ui::Color background = ui::Color::rgb(0.28444444, 0.78431373, 0.50980392);
        if (shiftColor_ == 0)
            background = ui::Color::yellow();
        else if (shiftColor_ == 1)
            background = ui::Color::orange();
        setBackgroundColor(background);
        color_ = ui::Color::black();
        color2_ = ui::Color::black();
        applyLabelColors(ui::Color::black());
    } else {
        setBackgroundColor(theme_ == 1 ? cream : ui::Color::black());
        color_ = speedColor();
        color2_ = rpmRed;
        applyLabelColors(std::nullopt);
    }
    prevShiftEnabled_ = on;
    setNeedsDisplay();
}

ui::Color RaceGaugeView::darkerColorForColor(ui::Color color)
{
    return ui::Color::rgb(std::max(color.r - 0.3, 0.0), std::max(color.g - 0.3, 0.0), std::max(color.b - 0.3, 0.0),
                          color.a);
}

void RaceGaugeView::buildSegments()
{
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    const double d = std::trunc(std::min(w, h) * 0.91);
    const double r1 = d / 2;
    const double r2 = d / 4;
    speedGaugeArr_.clear();
    speedGaugeArr2_.clear();
    rpmGaugeArr_.clear();
    rpmGaugeArr2_.clear();
    const ui::Point middle{w / 2, h / 2};
    for (int a = 90; a <= 360; a += 2) {
        const double end = (a * std::numbers::pi + 3) / 180;
        speedGaugeArr_.push_back(segment(middle, r1 - 0.6 * barLength_, a, end));
        speedGaugeArr2_.push_back(segment(middle, r1 - 1.1 * barLength_, a, end));
    }
    const ui::Point corner{0.7 * w, 0.75 * h};
    for (int a = 90; a <= 360; a += 3) {
        const double end = (a * std::numbers::pi + 4) / 180;
        rpmGaugeArr_.push_back(segment(corner, r2 - 0.75 * barLength_, a, end));
        rpmGaugeArr2_.push_back(segment(corner, r2 - barLength_, a, end));
    }
}

namespace {

void strokeSegments(ui::Context& context, const std::vector<ui::Path>& outer, const std::vector<ui::Path>& inner,
                    int lit, ui::Color color, double outerWidth, double innerWidth)
{
    context.setStrokeColor(color);
    context.setLineWidth(outerWidth);
    for (int i = 0; i < lit && i < static_cast<int>(outer.size()); ++i)
        context.strokePath(outer[static_cast<std::size_t>(i)]);
    context.setStrokeColor(RaceGaugeView::darkerColorForColor(color));
    context.setLineWidth(innerWidth);
    for (int i = 0; i < lit && i < static_cast<int>(inner.size()); ++i)
        context.strokePath(inner[static_cast<std::size_t>(i)]);
}

}  // namespace

void RaceGaugeView::draw(ui::Context& context, ui::Rect)
{
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    if (firstDraw_) {
        firstDraw_ = false;
        buildSegments();
    }
    const double d = std::trunc(std::min(w, h) * 0.91);
    context.setLineWidth(line_);
    context.setStrokeColor(color_);
    context.strokePath(ui::Path::arc({w / 2, h / 2}, d / 2 - 1.4 * barLength_, -3 * std::numbers::pi / 2, 0, true));
    context.setStrokeColor(color2_);
    context.strokePath(
        ui::Path::arc({0.7 * w, 0.75 * h}, d / 4 - 1.2 * barLength_, -3 * std::numbers::pi / 2, 0, true));

    litSpeed_ = litCount(speed_.shown(), maxSpeed_, speedSegments);
    strokeSegments(context, speedGaugeArr_, speedGaugeArr2_, litSpeed_, color_, 0.65 * barLength_,
                   0.35 * barLength_);
    litRpm_ = litCount(rpm_.shown(), rpmFullScale, rpmSegments);
    strokeSegments(context, rpmGaugeArr_, rpmGaugeArr2_, litRpm_, color2_, 0.5 * barLength_, 0.2 * barLength_);
}
