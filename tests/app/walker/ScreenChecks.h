#pragma once

#include <string>
#include <vector>

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
// and content of a screen lying under its navigation bar, tab bar or toolbar.
std::vector<Finding> checkView(ui::View& view);

// A view as a finding names it: its class and its text or title.
std::string describe(const ui::View& view);

}  // namespace walker
