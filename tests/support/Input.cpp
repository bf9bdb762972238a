#include "support/Input.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/VisibleText.h"

#include <algorithm>

namespace testsupport {

void advance(double seconds)
{
    fnd::RunLoop::main().advance(seconds);
}

void tap(ui::Window& window, ui::Point at, std::uint64_t id)
{
    window.sendTouch(ui::TouchPhase::Began, at, id);
    advance(0.05);
    window.sendTouch(ui::TouchPhase::Ended, at, id);
}

void tap(ui::Window& window, const ui::View& view)
{
    window.layoutIfNeeded();
    tap(window, view.convertPoint(view.bounds().center(), nullptr));
}

bool tapText(ui::Window& window, const std::string& text)
{
    const auto frame = frameOfText(window, text);
    if (frame)
        tap(window, frame->center());
    return frame.has_value();
}

void drag(ui::Window& window, ui::Point from, ui::Point to, double seconds, int steps, bool lift, std::uint64_t id)
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

void swipe(ui::Window& window, ui::Point from, ui::Point to)
{
    drag(window, from, to, 0.06, 3);
}

std::vector<ui::Touch> fingers(const std::vector<ui::Point>& points)
{
    std::vector<ui::Touch> touches;
    std::uint64_t id = 1;
    for (const ui::Point p : points) {
        ui::Touch t;
        t.id = id++;
        t.location = p;
        touches.push_back(t);
    }
    return touches;
}

// Keys come after the window was drawn, as a user types at what is on view.
bool key(ui::Window& window, ui::Key key)
{
    window.layoutIfNeeded();
    return window.sendKey({key, {}, false, false, false});
}

bool shortcut(ui::Window& window, char letter)
{
    window.layoutIfNeeded();
    return window.sendKey({ui::Key::Character, std::string(1, letter), false, true, false});
}

bool type(ui::Window& window, const std::string& text)
{
    window.layoutIfNeeded();
    return window.sendText(text);
}

std::vector<std::string> texts(ui::Window& window)
{
    window.layoutIfNeeded();
    return ui::visibleTexts(window);
}

bool shows(ui::Window& window, const std::string& text)
{
    const auto all = texts(window);
    return std::find(all.begin(), all.end(), text) != all.end();
}

std::vector<std::string> cutTexts(ui::Window& window)
{
    std::vector<std::string> cut;
    for (const ui::ShownText& shown : ui::visibleTextFrames(window)) {
        if (shown.cut)
            cut.push_back(shown.text);
    }
    return cut;
}

std::optional<ui::Rect> frameOfText(ui::Window& window, const std::string& text)
{
    window.layoutIfNeeded();
    const ui::Point origin = window.bounds().origin;
    for (const ui::ShownText& shown : ui::visibleTextFrames(window)) {
        if (shown.text == text)
            return ui::Rect{{shown.frame.x() + origin.x, shown.frame.y() + origin.y}, shown.frame.size};
    }
    return std::nullopt;
}

}  // namespace testsupport
