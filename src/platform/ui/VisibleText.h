#pragma once

#include <string>
#include <vector>

namespace ui {

class View;

// The texts the user sees in a view and its subviews (alerts and toasts
// too, when they are in the tree), as the view renders: one entry per drawn
// line of text, in reading order (rows from the top, left to right within a
// row). Hidden, fully transparent and clipped-away texts are left out.
std::vector<std::string> visibleTexts(View& view);

} // namespace ui
