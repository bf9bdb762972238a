#pragma once

// Broadcasts of the settings screen and the editors (object: the sender).
// A sensor, gauge, unit, range or graph setting changed: screens showing
// sensors rebuild on their next appearance.
inline constexpr const char* gaugeModifiedNotification = "gaugeModifiedNotification";
// The theme (and with it the icon set) changed.
inline constexpr const char* iconChangedNotification = "iconChangedNotification";
