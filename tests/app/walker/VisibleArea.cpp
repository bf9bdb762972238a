#include "app/walker/VisibleArea.h"

#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

namespace walker {

bool isShown(const ui::View& view)
{
    for (const ui::View* v = &view; v; v = v->superview()) {
        if (v->isHidden() || v->alpha() < 0.01)
            return false;
    }
    return true;
}

ui::Rect visibleRect(const ui::View& view)
{
    ui::Rect shown = view.convertRect(view.bounds(), nullptr);
    for (const ui::View* a = view.superview(); a && !shown.isEmpty(); a = a->superview()) {
        ui::Rect area = a->bounds();
        if (const auto* scroll = dynamic_cast<const ui::ScrollView*>(a)) {
            const ui::EdgeInsets inset = scroll->adjustedContentInset();
            area = {{area.x(), area.y() + inset.top}, {area.width(), area.height() - inset.top - inset.bottom}};
        } else if (!a->clipsToBounds()) {
            continue;
        }
        shown = shown.intersection(a->convertRect(area, nullptr));
    }
    return shown;
}

ui::Rect fromBoundsOrigin(const ui::View& view, ui::Rect frame)
{
    frame.origin = {frame.x() + view.bounds().x(), frame.y() + view.bounds().y()};
    return view.convertRect(frame, nullptr);
}

ui::Rect toBoundsOrigin(const ui::View& view, ui::Rect frame)
{
    ui::Rect local = view.convertRectFromView(frame, nullptr);
    local.origin = {local.x() - view.bounds().x(), local.y() - view.bounds().y()};
    return local;
}

}  // namespace walker
