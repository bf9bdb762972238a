#pragma once

#include "platform/ui/Geometry.h"

namespace ui {
class View;
}  // namespace ui

namespace walker {

// Neither the view nor any view it lies in is hidden or fully transparent.
bool isShown(const ui::View& view);

// What a user can see of a view, in window coordinates: clipped by its ancestors, and for a scroll view
// by the insets that keep its content clear of the bars.
ui::Rect visibleRect(const ui::View& view);

// A rectangle given in the view's own bounds space from its origin (as the text frames are), in window
// coordinates.
ui::Rect fromBoundsOrigin(const ui::View& view, ui::Rect frame);

// A rectangle in window coordinates, in `view`'s space from its bounds' origin (as its rendering is).
ui::Rect toBoundsOrigin(const ui::View& view, ui::Rect frame);

}  // namespace walker
