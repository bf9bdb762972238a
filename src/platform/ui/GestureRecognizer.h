#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Touch.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class View;
class Window;

// A gesture recognizer attached to a view (View::addGestureRecognizer). The
// window hands it the touches of its view and of the view's subviews before
// the views see them. Discrete gestures (tap, swipe) go from Possible to
// Recognized or Failed; continuous ones (pan, long press) go through Began,
// Changed and Ended (or Cancelled). Only one recognizer of a touch wins: when
// one leaves Possible the others still possible fail, and by default the
// touches are taken from the views (touchesCancelled), as on the phone.
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled, Failed };
    static constexpr State Recognized = State::Ended;

    using Action = std::function<void(GestureRecognizer&)>;

    explicit GestureRecognizer(Action action = {});
    virtual ~GestureRecognizer();
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    // Actions run at recognition (discrete) or at every change of state
    // from Began on (continuous).
    void addTarget(Action action);

    State state() const { return state_; }
    View* view() const { return view_; }
    // Set by View::addGestureRecognizer and removeGestureRecognizer.
    void setView(View* view);

    bool isEnabled() const { return enabled_; }
    // Disabling cancels a gesture in progress.
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }
    // Asked when the gesture is about to leave Possible; false makes it fail.
    void setShouldBegin(std::function<bool(GestureRecognizer&)> shouldBegin);

    // What kind of gesture this is, for views that keep some gestures for
    // themselves (View::keepsGesture).
    virtual bool isSingleTap() const { return false; }      // one tap of one finger
    virtual bool isSidewaysSwipe() const { return false; }  // one finger, left or right
    virtual bool isDrag() const { return false; }           // a pan

    // The fingers now down on this recognizer.
    std::size_t numberOfTouches() const { return touches_.size(); }
    // The centroid of the fingers down (of the last ones, once they lifted),
    // in `view`'s bounds coordinates (window coordinates for nullptr).
    Point locationInView(const View* view) const;

protected:
    virtual void touchesBegan(const std::vector<Touch>& touches);
    virtual void touchesMoved(const std::vector<Touch>& touches);
    virtual void touchesEnded(const std::vector<Touch>& touches);
    virtual void touchesCancelled(const std::vector<Touch>& touches);
    // Back to a fresh start, after the last finger of a gesture lifted.
    virtual void reset() {}

    // Moves the state machine; leaving Possible may be refused (the gesture
    // then fails). Runs the actions.
    void setState(State state);
    // The fingers down, with their current positions, in the order they came.
    const std::vector<Touch>& touches() const { return touches_; }
    // Window coordinates of the centroid of the fingers down.
    Point centroid() const;

private:
    friend class Window;
    // One phase of some of this recognizer's touches, from the window.
    void handleTouches(TouchPhase phase, const std::vector<Touch>& touches);
    // The window took a touch away (the gesture lost it or the view went).
    void dropTouches();
    bool mayBegin();
    void sendActions();
    void resetIfFinished();

    std::vector<Action> actions_;
    std::function<bool(GestureRecognizer&)> shouldBegin_;
    View* view_ = nullptr;
    State state_ = State::Possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    std::vector<Touch> touches_;
    Point lastCentroid_;
};

} // namespace ui
