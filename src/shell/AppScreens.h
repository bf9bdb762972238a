#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class ViewController;
}

// Makes a screen when the shell needs it (at start-up, or when a settings row is tapped).
using ScreenFactory = std::function<std::shared_ptr<ui::ViewController>()>;

struct NamedScreen {
    std::string title;  // message key or English text
    ScreenFactory make;
    std::vector<std::string> tabs;  // the titles of the tab bar it makes, in order; none for one screen
};

// The feature screens the app gives the shell: the shell shows them where they go without knowing what
// they are, so it never includes a feature folder.
struct AppScreens {
    // The main menu's feature entries in order (a tab bar is one entry); the settings screen follows them.
    std::vector<NamedScreen> menu;
    // The settings screen's rows that open a feature's own settings screen, in order.
    std::vector<NamedScreen> settings;
};
