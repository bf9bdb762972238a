#pragma once

#include "platform/ui/Touch.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A user's hands on a window: every tap, stroke and key goes through the window's input path (hit
// testing, gesture recognizers, first responder), and what the user reads is the window's visible texts,
// as --dump-text prints them. Time between moves comes from the run loop's manual clock.
namespace testsupport {

void advance(double seconds);

// A finger down and, 0.05 s later, up at a point in window coordinates.
void tap(ui::Window& window, ui::Point at, std::uint64_t id = 1);
// The same on the middle of a view, as laid out now.
void tap(ui::Window& window, const ui::View& view);
// A tap on the middle of the first visible text that reads `text`; false when none does.
bool tapText(ui::Window& window, const std::string& text);

// One finger from `from` to `to` in `steps` moves over `seconds`; it lifts at once unless `lift` is false.
void drag(ui::Window& window, ui::Point from, ui::Point to, double seconds = 0.2, int steps = 10, bool lift = true,
          std::uint64_t id = 1);
// A quick flick from one point to another.
void swipe(ui::Window& window, ui::Point from, ui::Point to);
// Touches for sendTouches: finger 1, 2, ... at these points.
std::vector<ui::Touch> fingers(const std::vector<ui::Point>& points);

// A key to the first responder; false when nothing takes keys.
bool key(ui::Window& window, ui::Key key);
// Ctrl with a letter ('a' for select-all).
bool shortcut(ui::Window& window, char letter);
bool type(ui::Window& window, const std::string& text);

// What the window shows, in reading order (alerts and toasts too).
std::vector<std::string> texts(ui::Window& window);
bool shows(ui::Window& window, const std::string& text);
// The visible texts shown cut short: elided, clipped across, or spilling out of their view.
std::vector<std::string> cutTexts(ui::Window& window);
// Where a visible text shows, in window coordinates.
std::optional<ui::Rect> frameOfText(ui::Window& window, const std::string& text);

}  // namespace testsupport
