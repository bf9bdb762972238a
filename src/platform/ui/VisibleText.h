#pragma once

#include "platform/ui/Geometry.h"

#include <string>
#include <vector>

namespace ui {

class View;

struct ShownText {
    std::string text;
    Rect frame; // the part left after clipping, in the view's bounds space from its origin
    bool cut = false; // elided, clipped across, or spilling out of its view
};

// The texts the user sees in a view and its subviews (alerts and toasts
// too, when they are in the tree), as the view renders: one entry per drawn
// line of text, in reading order (rows from the top, left to right within a
// row). Hidden, fully transparent and clipped-away texts are left out.
std::vector<std::string> visibleTexts(View& view);
// The same, each with where it shows (to find what to tap).
std::vector<ShownText> visibleTextFrames(View& view);

} // namespace ui
