#pragma once

#include <optional>

#include "platform/ui/Device.h"

// Whether a fuel screen lays itself out upright (true) or on its side (false);
// nothing while the orientation is unknown, when the layout stays as it was.
std::optional<bool> portraitLayoutFor(ui::InterfaceOrientation orientation);
