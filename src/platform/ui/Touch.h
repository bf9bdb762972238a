#pragma once

#include "platform/ui/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

class View;

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

// One finger on the screen. Locations are in window coordinates (the bounds
// space of the root of the view tree); locationInView converts them.
struct Touch {
    std::uint64_t id = 0;      // the same for one finger from down to up
    Point location;
    Point previousLocation;
    TouchPhase phase = TouchPhase::Began;
    int tapCount = 1;
    double timestamp = 0;      // run loop clock, seconds
    std::weak_ptr<View> view;  // the view hit when the finger went down

    // In `view`'s bounds coordinates; window coordinates for nullptr.
    Point locationInView(const View* view) const;
    Point previousLocationInView(const View* view) const;
};

enum class Key {
    Character, // `text` holds what was typed
    Return,
    Backspace,
    Delete,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Tab,
    Escape,
};

struct KeyEvent {
    Key key = Key::Character;
    std::string text; // UTF-8, for Key::Character
    bool shift = false;
    bool control = false;
    bool alt = false;
};

} // namespace ui
