#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shell/AppScreens.h"

// Where each feature's screens go. The places are fixed here in the order the user sees them, so the
// lines of registerFeatures() may come in any order and every screen still lands in its place; a place
// that no feature filled is left out of the menu.
//
//     features.addScreen("Gauge list", [] { return std::make_shared<ListViewController>(); });
//     features.addTab("Diagnostics", "Trouble Codes", [] { return std::make_shared<DTCViewController>(); });
//     features.addSettings("Fuel Economy", "Fuel settings", [] { return std::make_shared<FuelSettingViewCon>(); });
class FeatureRegistry {
public:
    struct MenuPlace {
        std::string_view title;
        std::vector<std::string_view> tabs;  // in order; none when the entry is one screen
    };
    // The main menu's feature entries in order. The settings screen, the shell's own, follows them.
    static const std::vector<MenuPlace>& menuPlaces();

    // A menu entry that is one screen.
    void addScreen(std::string_view menuTitle, ScreenFactory make);
    // A tab of a menu entry's tab bar; each tab's screen is the root of its own navigation stack.
    void addTab(std::string_view menuTitle, std::string_view tabTitle, ScreenFactory make);
    // A settings row that opens the settings screen of the feature behind a menu entry. The rows follow
    // the menu's order (in the order added within one feature).
    void addSettings(std::string_view menuTitle, std::string rowTitle, ScreenFactory make);

    // One line for each screen given a place that does not exist, or a place already filled; such a
    // screen is left out.
    const std::vector<std::string>& errors() const { return errors_; }

    AppScreens screens() const;

private:
    struct SettingsRow {
        std::size_t place;
        NamedScreen screen;
    };
    void fill(const std::string& path, ScreenFactory make);

    std::map<std::string, ScreenFactory, std::less<>> filled_;  // by "Entry" or "Entry/Tab"
    std::vector<SettingsRow> settings_;
    std::vector<std::string> errors_;
};
