#pragma once

#include "platform/ui/Device.h"

// How the race screen stands now: upright or on its side.
inline bool raceScreenUpright()
{
    return !ui::isLandscape(ui::Device::current().interfaceOrientation());
}

// The top safe-area inset on a device with a home indicator, else 0.
inline double raceScreenTopInset()
{
    const ui::Device& device = ui::Device::current();
    return device.safeAreaInsets().bottom > 0 ? device.safeAreaInsets().top : 0;
}
