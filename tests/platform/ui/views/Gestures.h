#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <vector>

namespace viewtests {

inline void advance(double seconds)
{
    fnd::RunLoop::main().advance(seconds);
}

// One finger from `from` to `to` in `steps` moves over `seconds` of the
// manual clock; it lifts at once unless `lift` is false.
inline void drag(ui::Window& window, ui::Point from, ui::Point to, double seconds = 0.2, int steps = 10,
                 bool lift = true, std::uint64_t id = 1)
{
    window.sendTouch(ui::TouchPhase::Began, from, id);
    for (int i = 1; i <= steps; ++i) {
        advance(seconds / steps);
        const double f = static_cast<double>(i) / steps;
        window.sendTouch(ui::TouchPhase::Moved, {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f}, id);
    }
    if (lift)
        window.sendTouch(ui::TouchPhase::Ended, to, id);
}

inline void tap(ui::Window& window, ui::Point at, std::uint64_t id = 1)
{
    window.sendTouch(ui::TouchPhase::Began, at, id);
    advance(0.05);
    window.sendTouch(ui::TouchPhase::Ended, at, id);
}

inline std::vector<ui::Touch> fingers(std::vector<ui::Point> points)
{
    std::vector<ui::Touch> touches;
    std::uint64_t id = 1;
    for (ui::Point p : points) {
        ui::Touch t;
        t.id = id++;
        t.location = p;
        touches.push_back(t);
    }
    return touches;
}

} // namespace viewtests
