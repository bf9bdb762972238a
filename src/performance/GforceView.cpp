#include "performance/GforceView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"

namespace {

// Stored negated, so the dot moves the way the body is pushed; 0 stays 0 (not -0).
float negated(float value) { return value == 0 ? 0 : -value; }

}  // namespace

GforceView::GforceView(ui::Rect frame, int theme, bool dashcam)
    : ui::View(frame), dashCamMode_(dashcam), theme_(theme), timer_(tickInterval, [this] { updateDisplay(); })
{
    setBackgroundColor(ui::Color::clear());
    setClipsToBounds(true);
    width_ = bounds().size.width;
    height_ = bounds().size.height;
    setupLayer();
    yLabel_ = std::make_shared<ui::Label>();
    xLabel_ = std::make_shared<ui::Label>();
    for (const auto& label : {yLabel_, xLabel_}) {
        label->setText("0.0");
        label->setTextAlignment(ui::TextAlignment::Right);
        label->setTextColor(theme_ == 1 ? ui::Color::black() : ui::Color::lightGray());
        addSubview(label);
    }
    adjustView();
}

void GforceView::setupLayer()
{
    dot_ = std::make_shared<ui::View>();
    const double side = dashCamMode_ ? width_ / 13 : width_ / 10;
    dot_->setBounds({0, 0, side, side});
    dot_->setCornerRadius(side / 2);
    // At rest (0 g) until the first reading, which may never come without a motion source.
    dot_->setCenter({width_ / 2, height_ / 2});
    dot_->setUserInteractionEnabled(false);
    addSubview(dot_);
}

double GforceView::plotLength(double w, double h) const
{
    if (dashCamMode_)
        return std::min(w, h);
    return h < w - 20 ? h - 20 : w - 20;
}

void GforceView::adjustView()
{
    width_ = bounds().size.width;
    height_ = bounds().size.height;
    length_ = height_ < width_ - 20 ? height_ - 20 : width_ - 20;
    const ui::Font font = ui::Font::named("DigitalSans NowEF ML Demo", 0.125 * height_);
    xLabel_->setFont(font);
    yLabel_->setFont(font);
    xLabel_->setFrame({width_ / 2 + length_ / 2 - width_ / 3, height_ / 2, width_ / 3, height_ / 8});
    if (dashCamMode_)
        yLabel_->setFrame({width_ / 3, 0.875 * height_, width_ / 3, height_ / 8});
    else
        yLabel_->setFrame({width_ / 3, length_ - height_ / 8, width_ / 3, height_ / 8});
    const double side = dashCamMode_ ? width_ / 13 : (width_ + height_) / 22;
    const ui::Point at = dot_->center();
    dot_->setBounds({0, 0, side, side});
    dot_->setCornerRadius(side / 2);
    dot_->setCenter(at);
    dot_->setBackgroundColor(dashCamMode_ ? ui::Color::white() : theme_ == 1 ? ui::Color::black()
                                                                             : ui::Color::lightGray());
    setNeedsDisplay();
}

void GforceView::updateData(float x, float y)
{
    x_ = negated(x);
    y_ = negated(y);
    if (dashCamMode_)
        updateDisplay();
}

ui::Point GforceView::dotPosition() const { return dot_->center(); }

void GforceView::updateDisplay()
{
    const float x = x_;
    const float y = y_;
    const double px = width_ / 2 + (width_ / 3) * x;
    const double py = height_ / 2 + (height_ / 3) * y;
    if (py > maxY_) {
        maxX_ = px;
        maxY_ = py;
    }
    dot_->setCenter({px, py});
    if (dashCamMode_)
        return;
    histArr_.push_front({px, py});
    while (histArr_.size() > trailLength)
        histArr_.pop_back();
    xLabel_->setText(fnd::format("%.1f", x));
    yLabel_->setText(fnd::format("%.1f", y));
    if (displayUpdateCount_ == 5) {
        setNeedsDisplay();
        displayUpdateCount_ = 0;
    }
    ++displayUpdateCount_;
}

void GforceView::startTimer() { timer_.start(); }
void GforceView::stopTimer() { timer_.stop(); }

ui::Image GforceView::takeScreenShot()
{
    const bool hidden = dot_->isHidden();
    dot_->setHidden(true);
    ui::Image image = renderToImage(ui::Device::current().scale());
    dot_->setHidden(hidden);
    return image;
}

void GforceView::hideContent()
{
    shouldHideContent_ = true;
    setNeedsDisplay();
}

void GforceView::draw(ui::Context& context, ui::Rect)
{
    if (shouldHideContent_)
        return;
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    const double L = plotLength(w, h);
    length_ = L;
    const double ox = (w - L) / 2 + 1;
    const double oy = (h - L) / 2 + 1;
    const bool light = theme_ == 1 && !dashCamMode_;

    ui::Color stroke = light ? ui::Color::white(1.0 / 3.0) : ui::Color::black();
    ui::Color fill = light ? ui::Color::white(0.8) : ui::Color::black();
    if (dashCamMode_) {
        fill = ui::Color::black().withAlpha(0.6);
        stroke = theme_ == 0 ? ui::Color::clear() : stroke;
    }
    context.setLineWidth(ui::Device::current().isPad() ? 1.0 : 0.5);
    context.setStrokeColor(stroke);
    context.setFillColor(fill);
    context.fillEllipse({ox, oy, L - 2, L - 2});

    double inset = 0;
    for (int k = 0; inset <= L / 2; ++k) {
        const double c = 0.35 - 0.1 * k;
        ui::Color ring = ui::Color::rgb(std::max(c, 0.0), 0.1, 0.1, dashCamMode_ ? 0.5 : 1.0);
        if (light)
            ring = ui::Color::rgb(1.0, std::max(241.0 / 255 - c, 0.0), std::max(206.0 / 255 - c, 0.0));
        const ui::Rect square{ox + inset, oy + inset, L - 2 - 2 * inset, L - 2 - 2 * inset};
        context.setFillColor(ring);
        context.fillEllipse(square);
        context.strokeEllipse(square);
        inset = std::trunc(inset + L / 10);
        if (L / 10 < 1)
            break;  // a tiny view: the rings would never reach the centre
    }

    if (!dashCamMode_) {
        const ui::Font font = ui::Font::named("Digital-Serial", h / 25);
        const ui::Color figure = light ? ui::Color::black() : ui::Color::lightGray();
        for (int j = 0; j < 4; ++j) {
            const double v = 0.25 * (j + 1);
            context.drawText(fnd::format("%.2f", v), ui::Point{0.45 * w - 0.4 * L * 0.25 * j, h / 2 + v * L / 3}, font, figure);
        }
    }

    context.setStrokeColor(stroke);
    context.strokeLine({ox, h / 2}, {(w - L) / 2 + L - 2, h / 2});
    context.strokeLine({w / 2, oy}, {w / 2, (h - L) / 2 + L - 2});

    if (!dashCamMode_) {
        int n = 0;
        for (const ui::Point& p : histArr_) {
            context.setFillColor(ui::Color::rgb255(151, 81, 25, 1 - n / 40.0));
            context.fillEllipse({p.x, p.y, w / 40, w / 40});
            ++n;
        }
        context.setFillColor(ui::Color::rgb255(230, 10, 40, 0.7));
        context.fillEllipse({maxX_, maxY_, w / 20, w / 20});
    }
}
