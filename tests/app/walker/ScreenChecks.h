#pragma once

#include <string>
#include <vector>

#include "platform/ui/Geometry.h"

namespace ui {
class View;
}  // namespace ui

namespace walker {

// Something a user would see wrong.
struct Finding {
    std::string check;  // "cut text", "overlapping texts", "text over page dots", "under a bar", ...
    std::string detail;
};

// What is wrong in a view (a window, an alert) as it shows now: texts elided, clipped or overflowing
// their view (as the text drawing reports them), texts drawn over each other or over a row of page dots,
// content of a screen lying under its navigation bar, tab bar or toolbar, and the texts checkTextsSeen
// finds unseen.
std::vector<Finding> checkView(ui::View& view);

// Labels, text fields and buttons shown with a text set that a user cannot see: drawn nowhere (an empty
// draw, a field with no room), or drawn so that the picture with it hardly differs from the picture
// without it (in the colour of what lies beneath, fully transparent).
std::vector<Finding> checkTextsSeen(ui::View& view);

// Where a control shows its title, in window coordinates: its first line of text (every line of a
// button's), or for a control without text, all of it that shows.
ui::Rect titleArea(ui::View& control);

// What keeps a user from a control on `screen` (the window, or the top sheet or screen in it): a tap at
// `at`, the middle of its title, reaching another view, and any other view drawn over its title.
std::vector<Finding> checkReach(ui::View& control, ui::View& screen, ui::Point at);

// The navigation bars, tab bars and toolbars shown in a view.
std::vector<const ui::View*> shownBars(const ui::View& view);

// A view as a finding names it: its class and its text or title.
std::string describe(const ui::View& view);

}  // namespace walker
