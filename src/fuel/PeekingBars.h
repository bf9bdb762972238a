#pragma once

#include "platform/foundation/Timer.h"

namespace ui {
class ViewController;
}

// On a phone on its side the fuel tabs give the screen to their charts and hide their bars. A tap brings
// the bars back for a moment, so that the other tab and the menu stay within reach.
class PeekingBars {
public:
    static constexpr double shownFor = 1.5;  // seconds

    // `withNavigationBar`: the screen's navigation bar comes and goes with the tab bar.
    PeekingBars(ui::ViewController& screen, bool withNavigationBar);
    ~PeekingBars();
    PeekingBars(const PeekingBars&) = delete;
    PeekingBars& operator=(const PeekingBars&) = delete;

    // On its side: shows the bars now and hides them after shownFor. Upright: nothing.
    void peek();
    // On its side: hides the bars now. Upright: nothing.
    void hide();
    // The bars are out for a peek, their hiding still to come.
    bool isPeeking() const { return hiding_.isPending(); }
    void cancel() { hiding_.cancel(); }

private:
    void setShown(bool shown, bool animated);

    ui::ViewController& screen_;
    bool withNavigationBar_;
    fnd::DelayedCall hiding_;
};
