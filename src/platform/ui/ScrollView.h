#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/View.h"

#include <memory>

namespace ui {

class PanGestureRecognizer;
class ScrollView;

// What a scroll view tells about scrolls the user makes (drags, flicks,
// wheel turns) and about animated scrolls asked for in code. A scroll set
// in code without animation tells nothing. Every drag ends with one
// scrollViewDidEndDragging; when it says willDecelerate, exactly one
// scrollViewDidEndDecelerating follows, when the content comes to rest or a
// touch or a new offset stops it.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView&) {}
    virtual void scrollViewWillBeginDragging(ScrollView&) {}
    virtual void scrollViewDidEndDragging(ScrollView&, bool /*willDecelerate*/) {}
    virtual void scrollViewDidEndDecelerating(ScrollView&) {}
    virtual void scrollViewDidEndScrollingAnimation(ScrollView&) {}
};

// A view whose bounds origin is the content offset: its subviews are the
// content, moved by dragging (its own pan recognizer), the wheel, momentum
// after a flick (on the run loop clock), paging and animated scrolls.
class ScrollView : public View {
public:
    ScrollView();
    explicit ScrollView(Rect frame);
    ~ScrollView() override;

    // Not owned; the owner clears it before it goes away.
    ScrollViewDelegate* delegate() const { return delegate_; }
    void setDelegate(ScrollViewDelegate* delegate) { delegate_ = delegate; }

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size);
    EdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(EdgeInsets inset);
    // The part of the view that bars drawn over it cover, set by the
    // container that draws them. Content offsets keep clear of it as of the
    // content inset; content resting at the top stays at the top as it changes.
    EdgeInsets automaticContentInset() const { return automaticContentInset_; }
    void setAutomaticContentInset(EdgeInsets inset);
    // The content inset and the bars' share together.
    EdgeInsets adjustedContentInset() const;
    Point contentOffset() const { return bounds().origin; }
    // Stops any scrolling in progress. Animated, it ends with
    // scrollViewDidEndScrollingAnimation; without animation, it is silent.
    void setContentOffset(Point offset, bool animated = false);
    // The range of offsets that keep the content (with its insets) in view.
    Point minimumContentOffset() const;
    Point maximumContentOffset() const;

    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool bounce) { alwaysBounceVertical_ = bounce; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool bounce) { alwaysBounceHorizontal_ = bounce; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool paging) { pagingEnabled_ = paging; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    // Turning scrolling off ends a drag in progress.
    void setScrollEnabled(bool enabled);
    bool showsVerticalScrollIndicator() const { return showsVerticalIndicator_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVerticalIndicator_ = shows; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontalIndicator_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontalIndicator_ = shows; }

    // The share of velocity kept per millisecond of momentum.
    static constexpr double decelerationRateNormal = 0.998;
    static constexpr double decelerationRateFast = 0.99;
    double decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(double rate) { decelerationRate_ = rate; }

    bool isDragging() const { return dragging_ || wheelScrolling_; }
    bool isDecelerating() const { return motion_ == Motion::Decelerating || motion_ == Motion::Paging; }

    // The recognizer behind dragging (minimum and maximum touches can be set).
    const std::shared_ptr<PanGestureRecognizer>& panGestureRecognizer() const { return pan_; }

    // A wheel turn from the window: positive dy shows content further down.
    // False when this view cannot scroll along the turn's main axis.
    bool scrollWheel(double dx, double dy) override;

    static constexpr double wheelEndDelay = 0.15;       // seconds of quiet that end a wheel scroll
    static constexpr double animationDuration = 0.3;    // animated scrolls and page snaps
    static constexpr double minimumFlickVelocity = 50;  // points per second that start momentum

protected:
    // After every change of the content offset, whoever made it.
    virtual void contentOffsetDidChange() {}
    // The last touch that went down stopped a scroll in motion (a tap that
    // stops a flick should not select anything).
    bool touchStoppedScrolling() const { return touchStoppedScrolling_; }

private:
    class Pan;
    friend class Pan;
    enum class Motion { None, Decelerating, Paging, Animating };
    struct Axis {
        double position = 0;
        double velocity = 0;
        double minimum = 0;
        double maximum = 0;
        bool settled = true;
    };

    void setUp();
    void fingerDown();
    void handlePan();
    void endDrag(Point velocity);
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    bool dragsHorizontally() const;
    bool dragsVertically() const;
    Point rubberBanded(Point offset) const;
    Point clamped(Point offset) const;
    Point pageTarget(Point velocity) const;
    void moveTo(Point offset);
    void userMoved(Point offset);
    void startMotion(Motion motion);
    void stopMotion();
    void step(double now);
    void stepDeceleration(Axis& axis, double dt) const;
    void endWheelScroll();
    void showIndicators();
    void layoutIndicators();
    void hideIndicatorsLater();

    ScrollViewDelegate* delegate_ = nullptr;
    Size contentSize_;
    EdgeInsets contentInset_;
    EdgeInsets automaticContentInset_;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    bool pagingEnabled_ = false;
    bool scrollEnabled_ = true;
    bool showsVerticalIndicator_ = true;
    bool showsHorizontalIndicator_ = true;
    double decelerationRate_ = decelerationRateNormal;

    std::shared_ptr<PanGestureRecognizer> pan_;
    bool dragging_ = false;
    Point dragStartOffset_;
    Point dragStartTranslation_;
    bool touchStoppedScrolling_ = false;

    bool wheelScrolling_ = false;
    fnd::DelayedCall wheelEnd_;

    Motion motion_ = Motion::None;
    fnd::RunLoop::FrameId frameCallback_ = 0;
    double lastFrameTime_ = 0;
    Axis horizontal_;
    Axis vertical_;
    Point animationFrom_;
    Point animationTo_;
    double animationStart_ = 0;

    std::shared_ptr<View> verticalIndicator_;
    std::shared_ptr<View> horizontalIndicator_;
    fnd::DelayedCall hideIndicators_;
};

} // namespace ui
