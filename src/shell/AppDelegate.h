#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/Manager.h"
#include "shell/AppScreens.h"
#include "shell/RootController.h"
#include "shell/MailAlerts.h"
#include "shell/StorageAlerts.h"

namespace ui {
class NavigationController;
class RootWindow;
class TabBarController;
class ViewController;
}  // namespace ui

// The application's start-up, its moments in the background and foreground, and its end. It owns every
// top-level screen for the life of the process. The feature screens come from the app (`AppScreens`).
class AppDelegate {
public:
    explicit AppDelegate(AppScreens screens = {});

    static constexpr const char* version = "1.0.0";
    static constexpr const char* build = "1";
    // The number of launches before this one, for the rating prompt on the fourth and seventh.
    static constexpr const char* launchCountKey = "LaunchAmounts";

    // In this order: records the launch, loads the records and makes the link, copies the protocol into
    // the data store, sets the bars' look, makes the screens, makes the main menu the window's root, tells
    // the user of any problem with the saved data (then and later), and shows the rating prompt when its
    // launch has come. The menu starts on its first feature entry, closed;
    // with none it shows Settings under the open menu. `adapter` replaces the stored Wi-Fi adapter address
    // for this run only.
    void didFinishLaunching(ui::RootWindow& window, std::optional<AdapterAddress> adapter = std::nullopt);
    // The window was hidden: everything is saved.
    void didEnterBackground();
    void willEnterForeground();
    // The end of the run: everything is saved.
    void willTerminate();

    const std::shared_ptr<RootController>& rootController() const { return root_; }

    // Shows a menu entry, or one tab of it ("Diagnostics/Trouble Codes"), with the menu closed, as after
    // launching. Titles are the menu's and the tab bar's, as shown or as their English text. When there
    // is no such screen, nothing changes and the message names every screen there is.
    std::optional<std::string> openScreen(std::string_view path);
    // "Gauge list", "Diagnostics", "Diagnostics/Emissions", ...: every path openScreen takes, known
    // before launching.
    std::vector<std::string> screenPaths() const;
    // Nothing when openScreen takes `path`; otherwise the message naming every screen there is. Asked
    // before launching, so that a wrong path ends the run before anything is written or connected.
    std::optional<std::string> checkScreenPath(std::string_view path) const;

    struct Tab {
        std::string title;  // message key or English text
        std::shared_ptr<ui::ViewController> screen;
    };
    // A tab bar of the screens in order, each the root of its own navigation stack; null when there are
    // no screens.
    static std::shared_ptr<ui::TabBarController> makeTabBar(const std::vector<Tab>& tabs);

    // "HOST:PORT" as --adapter takes it; nothing when either part is not valid.
    static std::optional<AdapterAddress> parseAdapterAddress(std::string_view text);

private:
    void setBarAppearance();
    // Tells the user of preferences that were partly unusable, where the file as it was is kept.
    static void reportDamagedPreferences();
    void showRatingPromptIfDue();

    AppScreens screens_;
    std::shared_ptr<RootController> root_;
    std::unique_ptr<StorageAlerts> storageAlerts_;
    std::unique_ptr<MailAlerts> mailAlerts_;
};
