#pragma once

#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class BitmapContext;
class GestureRecognizer;

// The root of a view tree and its one input dispatch point. Touches are hit
// tested when a finger goes down; the gesture recognizers of the hit view and
// of its ancestors see each touch first, then the hit view (which passes
// touches up its responder chain). Keys and typed text go to the first
// responder, wheel turns to the innermost view under the pointer that takes
// them (View::scrollWheel). Hidden views and views with user interaction off
// never receive input. A view keeps gestures it claims (View::keepsGesture: a
// control its single tap, a slider its sideways swipe) from recognizers of
// the views around it. While a screen is presented over the others (an alert,
// a sheet), every kind of input goes to views inside it alone: the field
// behind an alert keeps its caret but takes no keys until the alert is gone.
//
// Drawing only what changed: every change of a view damages the area where
// it showed and shows now; renderDamage repaints just those rectangles, and
// views that paint nowhere near them are skipped.
class Window : public View {
public:
    explicit Window(Rect frame = {});
    ~Window() override;

    // One phase for several fingers, told apart by Touch::id; only the id and
    // the location (window coordinates) are read, the window fills in the rest.
    void sendTouches(TouchPhase phase, const std::vector<Touch>& touches);
    // One finger.
    void sendTouch(TouchPhase phase, Point location, std::uint64_t id = 1);

    // False when there is no first responder in this window to take them.
    bool sendKey(const KeyEvent& event);
    bool sendText(const std::string& text);
    // The fingers now down that went down on `view` and are delivered to it,
    // in the order they went down, each as it last changed (during
    // touchesEnded the lifting ones are still among them).
    std::vector<Touch> touchesForView(const View* view) const;
    // A wheel turn over `location`: positive dy shows content further down,
    // positive dx content further right. False when no scroll view took it.
    bool sendWheel(Point location, double dx, double dy);

    // A presented screen's view (added to this window) takes all input from
    // now until it is dismissed; the last one begun wins.
    void beginModal(const std::shared_ptr<View>& view);
    void endModal(const View* view);

    // Called whenever something in the tree needs drawing again, with the
    // damaged rectangle in window coordinates, or an empty one when only
    // layout is due.
    void setDisplayHandler(std::function<void(const Rect& damage)> handler);
    // The area damaged since the last renderDamage, as a few rectangles.
    const std::vector<Rect>& damage() const { return damage_; }
    // Lays out what needs it, then repaints the damaged area into `context`,
    // a bitmap of the window's size holding the previous frame, and forgets
    // the damage. Returns the rectangles repainted, widened to whole pixels.
    std::vector<Rect> renderDamage(BitmapContext& context);

    static constexpr double multipleTapInterval = 0.35; // seconds between taps of a multiple tap
    static constexpr double multipleTapDistance = 40;   // points between them

protected:
    void displayRequested(const Rect& damage) override;

private:
    friend class GestureRecognizer;
    // A recognizer asks to leave Possible. Refused when another recognizer of
    // its touches already won; granted, the others fail and the touches are
    // taken from the views when the winner cancels touches in views.
    bool claimGesture(GestureRecognizer& winner);

    struct ActiveTouch {
        Touch touch;
        Point start;
        std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
        bool deliveredToView = false;
        bool takenFromView = false;
    };
    ActiveTouch* find(std::uint64_t id);
    ActiveTouch beginTouch(const Touch& input, double now);
    void deliverToRecognizers(TouchPhase phase, const std::vector<ActiveTouch*>& touches);
    void deliverToViews(TouchPhase phase, const std::vector<ActiveTouch*>& touches);
    void sendPendingCancels();
    bool takesInput(const View* view) const;
    // The front-most presented view still in this window, if any.
    const View* modalView() const;

    std::list<ActiveTouch> active_; // stable addresses while dispatching
    std::vector<Touch> pendingCancels_;
    int dispatchDepth_ = 0;
    struct LastTap {
        Point location;
        double time = -1;
        int count = 0;
    } lastTap_;
    void addDamage(const Rect& area);

    std::vector<std::weak_ptr<View>> modalViews_;

    std::function<void(const Rect&)> displayHandler_;
    std::vector<Rect> damage_;
    // More separate rectangles than this merge into one.
    static constexpr std::size_t maxDamageRects = 8;
};

} // namespace ui
