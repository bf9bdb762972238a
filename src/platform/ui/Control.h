#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace ui {

enum class ControlEvent {
    TouchDown,
    TouchUpInside,
    TouchUpOutside,
    TouchCancel,
    ValueChanged,
    EditingDidBegin,
    EditingChanged,
    EditingDidEnd,
    EditingDidEndOnExit,
};

enum class ControlState { Normal, Highlighted, Disabled, Selected };

// The base of the controls: enabled, selected and highlighted states, touch
// tracking (touch down, up inside or outside) and actions per event. A
// disabled control takes no touches: they go to what lies beneath.
class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;

    using View::View;

    void addTarget(ControlEvent event, Action action);
    void removeTargets(ControlEvent event);
    bool hasTargets(ControlEvent event) const;
    // Runs the actions registered for the event, in the order added.
    void sendActions(ControlEvent event);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    // Disabled, else highlighted, else selected, else normal.
    ControlState state() const;
    bool isTracking() const { return tracking_; }

    View* hitTest(Point point) override;
    // An enabled control keeps its single tap from recognizers around it.
    bool keepsGesture(const GestureRecognizer& recognizer) const override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

protected:
    // Tracking hooks with the touch's location in bounds coordinates; a
    // false from beginTracking ignores the touch.
    virtual bool beginTracking(Point) { return true; }
    virtual void continueTracking(Point) {}
    virtual void endTracking(Point, bool /*inside*/) {}
    virtual void cancelTracking() {}
    virtual void stateDidChange() { setNeedsDisplay(); }

private:
    struct Target {
        ControlEvent event;
        Action action;
    };
    std::vector<Target> targets_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    std::uint64_t trackedTouch_ = 0;
};

} // namespace ui
