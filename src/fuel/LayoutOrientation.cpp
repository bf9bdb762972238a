#include "fuel/LayoutOrientation.h"

std::optional<bool> portraitLayoutFor(ui::InterfaceOrientation orientation)
{
    switch (orientation) {
    case ui::InterfaceOrientation::Portrait:
    case ui::InterfaceOrientation::PortraitUpsideDown:
        return true;
    case ui::InterfaceOrientation::LandscapeLeft:
    case ui::InterfaceOrientation::LandscapeRight:
        return false;
    default:
        return std::nullopt;
    }
}
