#include "platform/ui/ActivityIndicator.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Context.h"

#include <cmath>
#include <numbers>

namespace ui {

namespace {

constexpr int spokes = 12;

Size sizeFor(ActivityIndicatorStyle style)
{
    return style == ActivityIndicatorStyle::Large ? Size{37, 37} : Size{20, 20};
}

} // namespace

ActivityIndicator::ActivityIndicator(ActivityIndicatorStyle style) : View(Rect{{0, 0}, sizeFor(style)}), style_(style)
{
    setUserInteractionEnabled(false);
    setHidden(true);
}

ActivityIndicator::~ActivityIndicator() { stopAnimating(); }

void ActivityIndicator::startAnimating()
{
    if (isAnimating())
        return;
    auto& loop = fnd::RunLoop::main();
    startTime_ = loop.now();
    step_ = 0;
    frameCallback_ = loop.addFrameCallback([this](double now) {
        const int step = static_cast<int>(std::floor((now - startTime_) * spokes)) % spokes;
        if (step != step_) {
            step_ = step;
            setNeedsDisplay();
        }
    });
    setHidden(false);
    setNeedsDisplay();
}

void ActivityIndicator::stopAnimating()
{
    if (!isAnimating())
        return;
    fnd::RunLoop::main().removeFrameCallback(frameCallback_);
    frameCallback_ = 0;
    if (hidesWhenStopped_)
        setHidden(true);
    setNeedsDisplay();
}

void ActivityIndicator::setHidesWhenStopped(bool hides)
{
    hidesWhenStopped_ = hides;
    setHidden(hides && !isAnimating());
}

void ActivityIndicator::setColor(Color color)
{
    color_ = color;
    setNeedsDisplay();
}

Size ActivityIndicator::sizeThatFits(Size) const { return sizeFor(style_); }

void ActivityIndicator::draw(Context& context, Rect)
{
    const Rect b = bounds();
    const double radius = std::min(b.width(), b.height()) / 2;
    const double width = radius * (style_ == ActivityIndicatorStyle::Large ? 0.16 : 0.18);
    context.save();
    context.setLineWidth(width);
    context.setLineCap(LineCap::Round);
    for (int i = 0; i < spokes; ++i) {
        // The spoke at the current step is brightest; the ones behind it fade.
        const int age = (step_ - i + spokes) % spokes;
        const double angle = i * 2 * std::numbers::pi / spokes - std::numbers::pi / 2;
        const Point dir{std::cos(angle), std::sin(angle)};
        context.setStrokeColor(color_.withAlpha(color_.a * (1.0 - 0.7 * age / (spokes - 1))));
        context.strokeLine({b.midX() + dir.x * radius * 0.5, b.midY() + dir.y * radius * 0.5},
                           {b.midX() + dir.x * (radius - width / 2), b.midY() + dir.y * (radius - width / 2)});
    }
    context.restore();
}

} // namespace ui
