#pragma once

#include <algorithm>
#include <string>

#include "platform/ui/Font.h"

// `font`, made smaller where needed so that `text` fits in `width` points on one line. The design's faces
// are often missing and their fallbacks run wider, so a size chosen for the design's face can cut the text.
inline ui::Font fittingFont(const std::string& text, const ui::Font& font, double width)
{
    const double needed = ui::measureText(text, font).width;
    if (needed <= width || needed <= 0)
        return font;
    return font.withSize(std::max(1.0, font.pointSize() * width / needed));
}
