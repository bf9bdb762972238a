#pragma once

// The names of the broadcasts that more than one library posts or observes (fnd::NotificationCenter;
// the object is the sender, there is no user info). Use these constants, never the text itself.

// The link: a connection failed or ended (the menu shows why and reconnects in automatic mode).
inline constexpr const char* connectionDroppedNotification = "connectionDroppedNotification";
// The link: the adapter is still searching for the car's protocol.
inline constexpr const char* protocolNotification = "protocolNotification";

// The settings screen and the editors: a sensor, gauge, unit, range or graph setting changed, so
// screens showing sensors rebuild on their next appearance.
inline constexpr const char* gaugeModifiedNotification = "gaugeModifiedNotification";
// The settings screen: the theme, and with it the icon set, changed.
inline constexpr const char* iconChangedNotification = "iconChangedNotification";

// The application: it went to the background, came back to the foreground, or is closing.
inline constexpr const char* enteredBackgroundNotification = "enteredBackgroundNotification";
inline constexpr const char* appMovedToForeground = "appMovedToForeground";
inline constexpr const char* appClosedNotification = "appClosedNotification";

// The Manager: something went wrong with the saved data that the user is to be told about
// (Manager::takeStorageProblems).
inline constexpr const char* storageProblemNotification = "storageProblemNotification";

// The movie writer: a dash-camera movie was written and saved.
inline constexpr const char* saveVideoNotification = "saveVideoNotification";
