#include "shell/AppDelegate.h"

#include <limits>

#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TabBarController.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/SettingsViewController.h"
#include "shell/TableLook.h"
#include "shell/VersionTracking.h"

AppDelegate::AppDelegate(AppScreens screens)
    : screens_(std::move(screens))
{
}

void AppDelegate::didFinishLaunching(ui::RootWindow& window, std::optional<AdapterAddress> adapter)
{
    VersionTracking::track(version, build);

    Manager& manager = Manager::sharedManager();
    manager.scanner();
    DataStore::sharedDataStore().protocol = manager.setting().protocol;

    setBarAppearance();

    // The menu in its order, the settings screen last; an entry whose screen was not made is left out.
    std::vector<std::shared_ptr<ui::ViewController>> screens;
    std::vector<std::string> titles;
    for (const NamedScreen& entry : screens_.menu) {
        if (auto screen = entry.make ? entry.make() : nullptr) {
            titles.push_back(entry.title);
            screens.push_back(std::move(screen));
        }
    }
    const bool startsOnFeature = !screens.empty();
    titles.push_back("Settings");
    screens.push_back(
        std::make_shared<ui::NavigationController>(std::make_shared<SettingsViewController>(screens_.settings)));

    Manager::sharedManager().setAdapterOverride(std::move(adapter));
    root_ = RootController::create(std::move(screens), std::move(titles));
    window.setRootViewController(root_);
    if (startsOnFeature)
        root_->setMenuOpen(false, false);
    storageAlerts_ = std::make_unique<StorageAlerts>();

    showRatingPromptIfDue();
}

void AppDelegate::didEnterBackground()
{
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(enteredBackgroundNotification, this);
}

void AppDelegate::willEnterForeground()
{
    fnd::NotificationCenter::defaultCenter().post(appMovedToForeground, this);
}

void AppDelegate::willTerminate()
{
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(appClosedNotification, this);
}

std::shared_ptr<ui::TabBarController> AppDelegate::makeTabBar(const std::vector<Tab>& tabs)
{
    std::vector<std::shared_ptr<ui::ViewController>> controllers;
    for (const Tab& tab : tabs) {
        if (!tab.screen)
            continue;
        tab.screen->setTitle(fnd::L(tab.title));
        auto navigation = std::make_shared<ui::NavigationController>(tab.screen);
        navigation->tabBarItem().setTitle(fnd::L(tab.title));
        controllers.push_back(std::move(navigation));
    }
    if (controllers.empty())
        return nullptr;
    auto tabBar = std::make_shared<ui::TabBarController>();
    tabBar->setViewControllers(std::move(controllers));
    return tabBar;
}

std::optional<AdapterAddress> AppDelegate::parseAdapterAddress(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    auto host = input::hostAddress(text.substr(0, colon));
    const auto port = input::port(text.substr(colon + 1));
    if (!host || !port)
        return std::nullopt;
    return AdapterAddress{std::move(*host), *port};
}

void AppDelegate::setBarAppearance()
{
    TableLook::current().applyToBars();
}

// On the fourth and seventh launch, a plain alert of our own asks for a rating.
void AppDelegate::showRatingPromptIfDue()
{
    // A run that only takes a screenshot (scripts/run without a display) is no launch by the user, and
    // the prompt would cover the screen it pictures.
    if (const ui::Application* app = ui::Application::shared(); app && !app->options().screenshot.empty())
        return;
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    const int launches = defaults.integerForKey(launchCountKey);
    if (launches == 3 || launches == 6)
        QueuedAlertController::showMessage("Enjoying Norvale?", "Rate msg");
    if (launches < std::numeric_limits<int>::max())
        defaults.setInteger(launchCountKey, launches + 1);
    defaults.synchronize();
}
