#include "platform/ui/ScrollView.h"

#include "platform/ui/AnimationCurve.h"
#include "platform/ui/PanGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Below this speed (points per second) momentum has run out.
constexpr double restingVelocity = 5;
// Stiffness of the spring that pulls overscrolled content back (per second).
constexpr double bounceStiffness = 10;
// Flicks faster than this turn a page; slower drags snap to the nearest page.
constexpr double pageFlickVelocity = 300;
constexpr double indicatorThickness = 2.5;
constexpr double indicatorInset = 3;
constexpr double indicatorMinimumLength = 36;
constexpr double indicatorHideDelay = 0.5;

// How far overscrolled content follows a finger that pulled it `overshoot`
// points beyond its end, in a view `dimension` points long: ever less.
double rubberBand(double overshoot, double dimension)
{
    if (dimension <= 0)
        return 0;
    return (1 - 1 / (overshoot * 0.55 / dimension + 1)) * dimension;
}

double rubberBandAxis(double offset, double minimum, double maximum, double dimension)
{
    if (offset < minimum)
        return minimum - rubberBand(minimum - offset, dimension);
    if (offset > maximum)
        return maximum + rubberBand(offset - maximum, dimension);
    return offset;
}

} // namespace

// The scroll view's own drag recognizer; it also notices every finger that
// goes down, which stops a scroll in motion.
class ScrollView::Pan : public PanGestureRecognizer {
public:
    explicit Pan(ScrollView* owner)
        : owner_(owner)
    {
        addTarget([this](GestureRecognizer&) {
            if (owner_)
                owner_->handlePan();
        });
    }
    void detach() { owner_ = nullptr; }

protected:
    void touchesBegan(const std::vector<Touch>& touches) override
    {
        if (owner_ && touches.size() == numberOfTouches())
            owner_->fingerDown();
        PanGestureRecognizer::touchesBegan(touches);
    }

private:
    ScrollView* owner_;
};

ScrollView::ScrollView()
{
    setUp();
}

ScrollView::ScrollView(Rect frame)
    : View(frame)
{
    setUp();
}

void ScrollView::setUp()
{
    setClipsToBounds(true);
    auto pan = std::make_shared<Pan>(this);
    // Only a drag along an axis that can scroll is ours; the rest goes to
    // whatever lies beneath (a swipe, an outer scroll view).
    pan->setShouldBegin([this](GestureRecognizer& recognizer) {
        if (!scrollEnabled_)
            return false;
        const Point t = static_cast<PanGestureRecognizer&>(recognizer).translationInView(this);
        return std::abs(t.x) > std::abs(t.y) ? dragsHorizontally() : dragsVertically();
    });
    pan_ = pan;
    addGestureRecognizer(pan_);

    for (auto* indicator : {&verticalIndicator_, &horizontalIndicator_}) {
        *indicator = std::make_shared<View>();
        (*indicator)->setBackgroundColor(Color::black().withAlpha(0.35));
        (*indicator)->setCornerRadius(indicatorThickness / 2);
        (*indicator)->setUserInteractionEnabled(false);
        (*indicator)->setHidden(true);
        addSubview(*indicator);
    }
}

ScrollView::~ScrollView()
{
    static_cast<Pan&>(*pan_).detach();
    if (frameCallback_)
        fnd::RunLoop::main().removeFrameCallback(frameCallback_);
    wheelEnd_.cancel();
    hideIndicators_.cancel();
}

void ScrollView::setContentSize(Size size)
{
    if (contentSize_ == size)
        return;
    contentSize_ = size;
    setNeedsLayout();
}

void ScrollView::setContentInset(EdgeInsets inset)
{
    contentInset_ = inset;
    setNeedsLayout();
}

void ScrollView::setAutomaticContentInset(EdgeInsets inset)
{
    if (inset == automaticContentInset_)
        return;
    const Point oldMinimum = minimumContentOffset();
    const bool atTop = contentOffset().y == oldMinimum.y;
    const bool atLeft = contentOffset().x == oldMinimum.x;
    automaticContentInset_ = inset;
    const Point minimum = minimumContentOffset();
    if (atTop || atLeft)
        setContentOffset({atLeft ? minimum.x : contentOffset().x, atTop ? minimum.y : contentOffset().y});
    setNeedsLayout();
}

EdgeInsets ScrollView::adjustedContentInset() const
{
    return {contentInset_.top + automaticContentInset_.top, contentInset_.left + automaticContentInset_.left,
            contentInset_.bottom + automaticContentInset_.bottom, contentInset_.right + automaticContentInset_.right};
}

Point ScrollView::minimumContentOffset() const
{
    const EdgeInsets inset = adjustedContentInset();
    return {-inset.left, -inset.top};
}

Point ScrollView::maximumContentOffset() const
{
    const Point minimum = minimumContentOffset();
    const Size view = bounds().size;
    const EdgeInsets inset = adjustedContentInset();
    return {std::max(minimum.x, contentSize_.width + inset.right - view.width),
            std::max(minimum.y, contentSize_.height + inset.bottom - view.height)};
}

bool ScrollView::canScrollHorizontally() const
{
    return maximumContentOffset().x > minimumContentOffset().x;
}

bool ScrollView::canScrollVertically() const
{
    return maximumContentOffset().y > minimumContentOffset().y;
}

bool ScrollView::dragsHorizontally() const
{
    return canScrollHorizontally() || (bounces_ && alwaysBounceHorizontal_);
}

bool ScrollView::dragsVertically() const
{
    return canScrollVertically() || (bounces_ && alwaysBounceVertical_);
}

Point ScrollView::clamped(Point offset) const
{
    const Point lo = minimumContentOffset();
    const Point hi = maximumContentOffset();
    return {std::clamp(offset.x, lo.x, hi.x), std::clamp(offset.y, lo.y, hi.y)};
}

Point ScrollView::rubberBanded(Point offset) const
{
    if (!bounces_)
        return clamped(offset);
    const Point lo = minimumContentOffset();
    const Point hi = maximumContentOffset();
    return {rubberBandAxis(offset.x, lo.x, hi.x, bounds().width()),
            rubberBandAxis(offset.y, lo.y, hi.y, bounds().height())};
}

void ScrollView::moveTo(Point offset)
{
    if (offset == contentOffset())
        return;
    setBounds({offset, bounds().size});
    contentOffsetDidChange();
    layoutIndicators();
}

void ScrollView::userMoved(Point offset)
{
    if (offset == contentOffset())
        return;
    moveTo(offset);
    if (delegate_)
        delegate_->scrollViewDidScroll(*this);
}

void ScrollView::setContentOffset(Point offset, bool animated)
{
    stopMotion();
    if (!animated) {
        moveTo(offset);
        return;
    }
    if (offset == contentOffset())
        return;
    animationFrom_ = contentOffset();
    animationTo_ = offset;
    startMotion(Motion::Animating);
}

void ScrollView::setScrollEnabled(bool enabled)
{
    scrollEnabled_ = enabled;
    if (!enabled && dragging_) {
        // Re-enabling the recognizer leaves it fresh for the next touch.
        pan_->setEnabled(false);
        pan_->setEnabled(true);
    }
}

// Dragging

void ScrollView::fingerDown()
{
    touchStoppedScrolling_ = motion_ == Motion::Decelerating || motion_ == Motion::Paging;
    if (motion_ != Motion::None)
        stopMotion();
}

void ScrollView::handlePan()
{
    const auto keepAlive = weak_from_this().lock(); // a delegate may let go of this view
    using State = GestureRecognizer::State;
    switch (pan_->state()) {
    case State::Began:
        endWheelScroll();
        stopMotion();
        dragging_ = true;
        dragStartOffset_ = contentOffset();
        dragStartTranslation_ = pan_->translationInView(this);
        showIndicators();
        if (delegate_)
            delegate_->scrollViewWillBeginDragging(*this);
        break;
    case State::Changed: {
        if (!dragging_)
            break;
        const Point t = pan_->translationInView(this) - dragStartTranslation_;
        Point target = dragStartOffset_;
        if (dragsHorizontally())
            target.x -= t.x;
        if (dragsVertically())
            target.y -= t.y;
        userMoved(rubberBanded(target));
        break;
    }
    case State::Ended:
        if (dragging_) {
            const Point v = pan_->velocityInView(this);
            endDrag({dragsHorizontally() ? -v.x : 0, dragsVertically() ? -v.y : 0});
        }
        break;
    case State::Cancelled:
        if (dragging_)
            endDrag({});
        break;
    case State::Possible:
    case State::Failed:
        break;
    }
}

void ScrollView::endDrag(Point velocity)
{
    dragging_ = false;
    const Point offset = contentOffset();
    Motion motion = Motion::None;
    if (pagingEnabled_) {
        animationFrom_ = offset;
        animationTo_ = pageTarget(velocity);
        if (animationTo_ != offset)
            motion = Motion::Paging;
    } else {
        const bool flicked = std::hypot(velocity.x, velocity.y) >= minimumFlickVelocity;
        if (flicked || clamped(offset) != offset) {
            horizontal_.velocity = velocity.x;
            vertical_.velocity = velocity.y;
            motion = Motion::Decelerating;
        }
    }
    // Motion first: a delegate that sets an offset now stops it cleanly.
    if (motion != Motion::None)
        startMotion(motion);
    else
        hideIndicatorsLater();
    if (delegate_)
        delegate_->scrollViewDidEndDragging(*this, motion != Motion::None);
}

Point ScrollView::pageTarget(Point velocity) const
{
    const Size page = bounds().size;
    const auto axis = [](double offset, double start, double v, double size, double lo, double hi) {
        if (size <= 0)
            return offset;
        // A flick turns one page from where the drag started; otherwise the nearest page.
        double index = std::round(offset / size);
        if (v > pageFlickVelocity)
            index = std::round(start / size) + 1;
        else if (v < -pageFlickVelocity)
            index = std::round(start / size) - 1;
        return std::clamp(index * size, lo, hi);
    };
    const Point lo = minimumContentOffset();
    const Point hi = maximumContentOffset();
    const Point offset = contentOffset();
    return {axis(offset.x, dragStartOffset_.x, velocity.x, page.width, lo.x, hi.x),
            axis(offset.y, dragStartOffset_.y, velocity.y, page.height, lo.y, hi.y)};
}

// Motion on the run loop's animation frames

void ScrollView::startMotion(Motion motion)
{
    motion_ = motion;
    auto& loop = fnd::RunLoop::main();
    lastFrameTime_ = animationStart_ = loop.now();
    const Point offset = contentOffset();
    const Point lo = minimumContentOffset();
    const Point hi = maximumContentOffset();
    horizontal_ = {offset.x, dragsHorizontally() ? horizontal_.velocity : 0, lo.x, hi.x, false};
    vertical_ = {offset.y, dragsVertically() ? vertical_.velocity : 0, lo.y, hi.y, false};
    showIndicators();
    if (!frameCallback_)
        frameCallback_ = loop.addFrameCallback([this](double now) { step(now); });
}

void ScrollView::stopMotion()
{
    const Motion stopped = motion_;
    if (stopped == Motion::None)
        return;
    motion_ = Motion::None;
    horizontal_.velocity = vertical_.velocity = 0;
    if (frameCallback_) {
        fnd::RunLoop::main().removeFrameCallback(frameCallback_);
        frameCallback_ = 0;
    }
    hideIndicatorsLater();
    if (stopped != Motion::Animating && delegate_)
        delegate_->scrollViewDidEndDecelerating(*this);
}

void ScrollView::step(double now)
{
    const auto keepAlive = weak_from_this().lock(); // a delegate may let go of this view
    const double dt = now - lastFrameTime_;
    lastFrameTime_ = now;
    bool finished = false;
    if (motion_ == Motion::Decelerating) {
        stepDeceleration(horizontal_, dt);
        stepDeceleration(vertical_, dt);
        userMoved({horizontal_.position, vertical_.position});
        finished = horizontal_.settled && vertical_.settled;
    } else {
        const double t = (now - animationStart_) / animationDuration;
        const double p = animationProgress(motion_ == Motion::Paging ? AnimationCurve::EaseOut : AnimationCurve::EaseInOut, t);
        userMoved({animationFrom_.x + (animationTo_.x - animationFrom_.x) * p,
                   animationFrom_.y + (animationTo_.y - animationFrom_.y) * p});
        finished = t >= 1;
    }
    if (!finished || motion_ == Motion::None)
        return;
    const Motion ended = motion_;
    stopMotion();
    if (ended == Motion::Animating && delegate_)
        delegate_->scrollViewDidEndScrollingAnimation(*this);
}

void ScrollView::stepDeceleration(Axis& axis, double dt) const
{
    if (axis.settled)
        return;
    const bool below = axis.position < axis.minimum;
    if (below || axis.position > axis.maximum) {
        if (!bounces_) {
            axis = {below ? axis.minimum : axis.maximum, 0, axis.minimum, axis.maximum, true};
            return;
        }
        // A critically damped spring pulls the content back to its end.
        const double end = below ? axis.minimum : axis.maximum;
        const double x0 = axis.position - end;
        const double b = axis.velocity + bounceStiffness * x0;
        const double decay = std::exp(-bounceStiffness * dt);
        const double x = (x0 + b * dt) * decay;
        axis.velocity = (b - bounceStiffness * (x0 + b * dt)) * decay;
        axis.position = end + x;
        if (x * x0 <= 0 || (std::abs(x) < 0.5 && std::abs(axis.velocity) < 20)) {
            axis.position = end;
            axis.velocity = 0;
            axis.settled = true;
        }
        return;
    }
    // Momentum fades by the deceleration rate per millisecond.
    const double k = -1000 * std::log(decelerationRate_);
    const double decay = std::exp(-k * dt);
    axis.position += axis.velocity * (1 - decay) / k;
    axis.velocity *= decay;
    if (!bounces_ && (axis.position < axis.minimum || axis.position > axis.maximum)) {
        axis.position = std::clamp(axis.position, axis.minimum, axis.maximum);
        axis.velocity = 0;
    }
    const bool inside = axis.position >= axis.minimum && axis.position <= axis.maximum;
    if (inside && std::abs(axis.velocity) < restingVelocity) {
        axis.velocity = 0;
        axis.settled = true;
    }
}

// Wheel

bool ScrollView::scrollWheel(double dx, double dy)
{
    if (!scrollEnabled_ || (dx == 0 && dy == 0))
        return false;
    const bool horizontal = std::abs(dx) > std::abs(dy);
    if (horizontal ? !canScrollHorizontally() : !canScrollVertically())
        return false;
    if (!wheelScrolling_) {
        stopMotion();
        wheelScrolling_ = true;
        showIndicators();
        if (delegate_)
            delegate_->scrollViewWillBeginDragging(*this);
    }
    const Point offset = contentOffset();
    userMoved(clamped({offset.x + (horizontal ? dx : 0), offset.y + (horizontal ? 0 : dy)}));
    wheelEnd_.cancel();
    wheelEnd_ = fnd::after(wheelEndDelay, [this] {
        const auto keepAlive = weak_from_this().lock();
        endWheelScroll();
    });
    return true;
}

void ScrollView::endWheelScroll()
{
    if (!wheelScrolling_)
        return;
    wheelEnd_.cancel();
    wheelScrolling_ = false;
    hideIndicatorsLater();
    if (delegate_)
        delegate_->scrollViewDidEndDragging(*this, false);
}

// Scroll indicators: shown while the user scrolls, hidden a moment after.

void ScrollView::showIndicators()
{
    hideIndicators_.cancel();
    verticalIndicator_->setHidden(!(showsVerticalIndicator_ && canScrollVertically()));
    horizontalIndicator_->setHidden(!(showsHorizontalIndicator_ && canScrollHorizontally()));
    layoutIndicators();
}

void ScrollView::hideIndicatorsLater()
{
    hideIndicators_.cancel();
    hideIndicators_ = fnd::after(indicatorHideDelay, [this] {
        verticalIndicator_->setHidden(true);
        horizontalIndicator_->setHidden(true);
    });
}

void ScrollView::layoutIndicators()
{
    const Rect visible = bounds();
    const auto place = [&](View& indicator, bool vertical) {
        if (indicator.isHidden())
            return;
        const double track = (vertical ? visible.height() : visible.width()) - 2 * indicatorInset;
        const EdgeInsets inset = adjustedContentInset();
        const double content = vertical ? contentSize_.height + inset.top + inset.bottom
                                        : contentSize_.width + inset.left + inset.right;
        const double lo = vertical ? minimumContentOffset().y : minimumContentOffset().x;
        const double hi = vertical ? maximumContentOffset().y : maximumContentOffset().x;
        const double offset = vertical ? visible.y() : visible.x();
        const double viewLength = vertical ? visible.height() : visible.width();
        double length = content > 0 ? track * viewLength / content : track;
        // Overscroll squeezes the indicator, as the content stretches.
        length -= std::max(lo - offset, 0.0) + std::max(offset - hi, 0.0);
        length = std::clamp(length, std::min(indicatorMinimumLength, track), track);
        const double progress = hi > lo ? std::clamp((offset - lo) / (hi - lo), 0.0, 1.0) : 0;
        const double along = indicatorInset + (track - length) * progress;
        if (vertical)
            indicator.setFrame(makeRect(visible.maxX() - indicatorInset - indicatorThickness, visible.y() + along,
                                        indicatorThickness, length));
        else
            indicator.setFrame(makeRect(visible.x() + along, visible.maxY() - indicatorInset - indicatorThickness,
                                        length, indicatorThickness));
        bringSubviewToFront(&indicator);
    };
    place(*verticalIndicator_, true);
    place(*horizontalIndicator_, false);
}

} // namespace ui
