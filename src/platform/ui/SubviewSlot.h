#pragma once

#include "platform/ui/View.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace ui {

// Puts `view` into a member that holds one subview of `parent`: the previous
// one leaves `parent`, the new one goes in at `index` (on top without one).
inline void replaceSubview(View& parent, std::shared_ptr<View>& slot, std::shared_ptr<View> view,
                           std::optional<std::size_t> index = std::nullopt)
{
    if (slot)
        slot->removeFromSuperview();
    slot = std::move(view);
    if (!slot)
        return;
    if (index)
        parent.insertSubview(slot, *index);
    else
        parent.addSubview(slot);
    parent.setNeedsLayout();
}

} // namespace ui
