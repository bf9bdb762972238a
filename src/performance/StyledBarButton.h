#pragma once

#include <functional>
#include <memory>

#include "platform/ui/BarItems.h"
#include "platform/ui/Font.h"

// A system bar button (Done, Cancel, Save) whose title is drawn in one of the race screens' faces and colours.
inline std::shared_ptr<ui::BarButtonItem> styledBarButton(ui::SystemItem item, const char* face, ui::Color color,
                                                          std::function<void()> action)
{
    auto button = std::make_shared<ui::BarButtonItem>(
        item, [action = std::move(action)](ui::BarButtonItem&) { action(); });
    button->setTitleTextAttributes({ui::Font::named(face, 17), color});
    return button;
}
