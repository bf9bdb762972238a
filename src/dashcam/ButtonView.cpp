#include "dashcam/ButtonView.h"

#include <algorithm>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Context.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Path.h"

namespace {

constexpr double frameInterval = 1.0 / 60;

const ui::Color recordRed = ui::Color::rgb(180.0 / 255, 0, 40.0 / 255);

double mix(double a, double b, double t) { return a + (b - a) * t; }

}  // namespace

ButtonView::ButtonView(ui::Rect frame) : ui::View(frame) { setupLayer(); }

ButtonView::~ButtonView()
{
    if (morphTimer_)
        morphTimer_->invalidate();
}

ButtonView::Shape ButtonView::idleDisc() const
{
    return {ui::makeRect(5, 5, bounds().width() - 10, bounds().height() - 10), 0};
}

ButtonView::Shape ButtonView::idleSquare() const
{
    return {ui::makeRect(bounds().width() / 2, bounds().height() / 2, 1, 1), 1};
}

ButtonView::Shape ButtonView::recordingSquare() const
{
    const double w = bounds().width();
    const double h = bounds().height();
    return {ui::makeRect(0.3 * w, 0.3 * h, 0.4 * w, 0.4 * h), 5};
}

void ButtonView::setupLayer() { morphTo(recording_ ? idleSquare() : idleDisc(), recording_ ? recordingSquare() : idleSquare(), false); }

bool ButtonView::keepsGesture(const ui::GestureRecognizer& recognizer) const { return recognizer.isSingleTap(); }

void ButtonView::touchesBegan(const std::vector<ui::Touch>&)
{
    // Starting needs the link; a recording can always be stopped.
    if (!delegate_ || (!connected_ && !recording_))
        return;
    const bool recording = delegate_->buttonPressed();
    if (recording == recording_)
        return;
    recording_ = recording;
    toggleButton();
}

void ButtonView::setRecording(bool recording)
{
    if (recording == recording_)
        return;
    recording_ = recording;
    if (recording_)
        morphTo(idleSquare(), recordingSquare(), true);
    else
        morphTo(idleDisc(), idleSquare(), true);
}

void ButtonView::toggleButton()
{
    if (recording_) {
        fnd::SystemSound::play(startSound);
        morphTo(idleSquare(), recordingSquare(), true);
    } else {
        fnd::SystemSound::play(stopSound);
        morphTo(idleDisc(), idleSquare(), true);
    }
}

void ButtonView::morphTo(Shape disc, Shape square, bool animated)
{
    if (morphTimer_)
        morphTimer_->invalidate();
    morphTimer_.reset();
    if (!animated) {
        disc_ = disc;
        square_ = square;
        setNeedsDisplay();
        return;
    }
    discMorph_ = {disc_, disc};
    squareMorph_ = {square_, square};
    morphStart_ = fnd::RunLoop::main().now();
    morphTimer_ = fnd::Timer::scheduled(frameInterval, true, [this](fnd::Timer&) { step(); });
}

void ButtonView::step()
{
    const double t = std::clamp((fnd::RunLoop::main().now() - morphStart_) / morphDuration, 0.0, 1.0);
    const auto between = [t](const Morph& m) {
        const ui::Rect& a = m.from.rect;
        const ui::Rect& b = m.to.rect;
        return Shape{ui::makeRect(mix(a.x(), b.x(), t), mix(a.y(), b.y(), t), mix(a.width(), b.width(), t),
                                  mix(a.height(), b.height(), t)),
                     mix(m.from.radius, m.to.radius, t)};
    };
    disc_ = between(discMorph_);
    square_ = between(squareMorph_);
    setNeedsDisplay();
    if (t >= 1 && morphTimer_) {
        morphTimer_->invalidate();
        morphTimer_.reset();
    }
}

void ButtonView::draw(ui::Context& context, ui::Rect)
{
    const double w = bounds().width();
    const double h = bounds().height();
    context.setStrokeColor(ui::Color::white(0.9));
    context.setLineWidth(3);
    context.strokePath(ui::Path::arc({w / 2, h / 2}, w / 2 - 1.5, 0, 2 * 3.141592653589793, true));
    context.setFillColor(recordRed);
    context.fillPath(ui::Path::ellipse(disc_.rect));
    context.fillPath(ui::Path::roundedRect(square_.rect, square_.radius));
}
