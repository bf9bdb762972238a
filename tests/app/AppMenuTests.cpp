// The app's composition: every feature screen in its place in the menu, its tab bars and the settings.

#include "shell/app/ShellAppTest.h"

#include "app/FeatureRegistry.h"
#include "app/Features.h"
#include "dashcam/CamSettViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TabBarController.h"
#include "shell/AppDelegate.h"
#include "shell/SettingsViewController.h"

namespace {

// A stand-in for a feature screen, known by its name.
class FakeScreen : public ProbeScreen {
public:
    explicit FakeScreen(std::string name)
        : name(std::move(name))
    {
    }
    std::string name;
};

ScreenFactory fake(const std::string& name)
{
    return [name] { return std::make_shared<FakeScreen>(name); };
}

std::string nameOf(ui::ViewController* screen)
{
    auto* fakeScreen = dynamic_cast<FakeScreen*>(screen);
    return fakeScreen ? fakeScreen->name : "(not a fake screen)";
}

class AppMenuTest : public ShellAppTest {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        settings().connectionMode = 1;  // nothing connects by itself
    }

    void launch(const FeatureRegistry& features)
    {
        launchApp(features.screens());
    }

    ui::ViewController& entry(const std::string& title) const
    {
        const auto& titles = app->rootController()->menuTitles();
        const auto found = std::find(titles.begin(), titles.end(), title);
        EXPECT_NE(found, titles.end()) << title;
        const auto index = static_cast<int>(found - titles.begin());
        app->rootController()->selectEntry(index);
        return app->rootController()->selectedViewController();
    }

    // The tab titles of a tab bar entry, and the fake screen at the root of each tab's navigation stack.
    std::vector<std::pair<std::string, std::string>> tabsOf(const std::string& title) const
    {
        auto* tabs = dynamic_cast<ui::TabBarController*>(&entry(title));
        EXPECT_NE(tabs, nullptr) << title << " is not a tab bar";
        std::vector<std::pair<std::string, std::string>> found;
        if (!tabs)
            return found;
        for (const auto& tab : tabs->viewControllers()) {
            auto* navigation = dynamic_cast<ui::NavigationController*>(tab.get());
            EXPECT_NE(navigation, nullptr) << "a tab of " << title << " is not in a navigation controller";
            if (navigation)
                found.emplace_back(tab->tabBarItem().title(), nameOf(navigation->viewControllers().front().get()));
        }
        return found;
    }

    SettingsViewController& settingsScreen() const
    {
        auto& navigation = dynamic_cast<ui::NavigationController&>(entry("Settings"));
        auto& screen = dynamic_cast<SettingsViewController&>(*navigation.viewControllers().front());
        screen.loadViewIfNeeded();
        return screen;
    }
};

TEST_F(AppMenuTest, EveryRegisteredScreenTakesItsPlaceWhateverTheOrderOfRegistration)
{
    FeatureRegistry features;
    features.addSettings("Racing", "Race settings", fake("race settings"));
    features.addScreen("Racing", fake("race"));
    features.addTab("Fuel Economy", "Trends", fake("trends"));
    features.addTab("Diagnostics", "Freeze frame", fake("freeze frame"));
    features.addTab("Diagnostics", "Info", fake("info"));
    features.addScreen("Dash Camcorder", fake("camera"));
    features.addSettings("Dash Camcorder", "Camera settings", fake("camera settings"));
    features.addTab("Diagnostics", "Terminal", fake("terminal"));
    features.addTab("Fuel Economy", "Fuel", fake("fuel"));
    features.addSettings("Fuel Economy", "Fuel settings", fake("fuel settings"));
    features.addTab("Diagnostics", "Trouble Codes", fake("codes"));
    features.addScreen("Logging", fake("logging"));
    features.addSettings("Logging", "Logger settings", fake("logger settings"));
    features.addTab("Diagnostics", "Emissions", fake("readiness"));
    features.addScreen("Gauge list", fake("sensor list"));
    EXPECT_TRUE(features.errors().empty());
    launch(features);

    EXPECT_EQ(app->rootController()->menuTitles(),
              (std::vector<std::string>{"Gauge list", "Logging", "Diagnostics", "Fuel Economy", "Dash Camcorder",
                                        "Racing", "Settings"}));
    // It starts on the first entry with the menu closed.
    EXPECT_EQ(app->rootController()->selectedIndex(), 0);
    EXPECT_FALSE(app->rootController()->isMenuOpen());
    EXPECT_EQ(nameOf(&app->rootController()->selectedViewController()), "sensor list");
    EXPECT_EQ(nameOf(&entry("Logging")), "logging");
    EXPECT_EQ(nameOf(&entry("Dash Camcorder")), "camera");
    EXPECT_EQ(nameOf(&entry("Racing")), "race");

    using Tabs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(tabsOf("Diagnostics"), (Tabs{{"Emissions", "readiness"},
                                           {"Trouble Codes", "codes"},
                                           {"Terminal", "terminal"},
                                           {"Info", "info"},
                                           {"Freeze frame", "freeze frame"}}));
    EXPECT_EQ(tabsOf("Fuel Economy"), (Tabs{{"Fuel", "fuel"}, {"Trends", "trends"}}));

    // One settings row per feature settings screen, in the menu's order, each opening its screen.
    SettingsViewController& settingsView = settingsScreen();
    const FormSection& more = settingsView.sections().back();
    std::vector<std::string> rows;
    for (const FormRow& row : more.rows)
        rows.push_back(row.title);
    EXPECT_EQ(rows, (std::vector<std::string>{"Logger settings", "Fuel settings", "Camera settings", "Race settings"}));
    more.rows[1].action();
    advance(1);
    EXPECT_EQ(nameOf(settingsView.navigationController()->topViewController()), "fuel settings");
}

// A feature that has not landed leaves no entry, no tab and no row behind.
TEST_F(AppMenuTest, PlacesNoFeatureFilledAreLeftOut)
{
    FeatureRegistry features;
    features.addTab("Fuel Economy", "Trends", fake("trends"));
    features.addTab("Diagnostics", "Terminal", fake("terminal"));
    features.addTab("Diagnostics", "Trouble Codes", fake("codes"));
    launch(features);

    EXPECT_EQ(app->rootController()->menuTitles(),
              (std::vector<std::string>{"Diagnostics", "Fuel Economy", "Settings"}));
    using Tabs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(tabsOf("Diagnostics"), (Tabs{{"Trouble Codes", "codes"}, {"Terminal", "terminal"}}));
    EXPECT_EQ(tabsOf("Fuel Economy"), (Tabs{{"Trends", "trends"}}));
    for (const FormSection& section : settingsScreen().sections())
        EXPECT_NE(section.title, "More settings");
}

// A screen given no place, or a place already taken, is left out and reported.
TEST_F(AppMenuTest, MisplacedScreensAreReportedAndLeftOut)
{
    FeatureRegistry features;
    features.addScreen("Dashboard", fake("dashboard"));
    features.addScreen("Diagnostics", fake("not a tab bar"));
    features.addTab("Racing", "Laps", fake("laps"));
    features.addTab("Diagnostics", "Codes", fake("misspelt"));
    features.addSettings("HUD Gauge", "HUD settings", fake("hud settings"));
    features.addScreen("Logging", fake("logging"));
    features.addScreen("Logging", fake("second logging"));
    EXPECT_EQ(features.errors().size(), 6u);
    launch(features);

    EXPECT_EQ(app->rootController()->menuTitles(), (std::vector<std::string>{"Logging", "Settings"}));
    EXPECT_EQ(nameOf(&entry("Logging")), "logging");
}

// --open: a menu entry, or one tab of it, shown with the menu closed; anything else changes nothing and
// names every screen there is.
TEST_F(AppMenuTest, OpenShowsAnEntryOrOneOfItsTabs)
{
    FeatureRegistry features;
    features.addScreen("Gauge list", fake("sensor list"));
    features.addTab("Diagnostics", "Emissions", fake("readiness"));
    features.addTab("Diagnostics", "Trouble Codes", fake("codes"));
    launch(features);
    RootController& menu = *app->rootController();

    EXPECT_EQ(app->openScreen("Diagnostics/Trouble Codes"), std::nullopt);
    EXPECT_EQ(menu.menuTitles()[static_cast<std::size_t>(menu.selectedIndex())], "Diagnostics");
    EXPECT_FALSE(menu.isMenuOpen());
    EXPECT_EQ(nameOf(menu.visibleFeatureScreen()), "codes");

    menu.setMenuOpen(true, false);
    EXPECT_EQ(app->openScreen("Settings"), std::nullopt);
    EXPECT_EQ(menu.menuTitles()[static_cast<std::size_t>(menu.selectedIndex())], "Settings");
    EXPECT_FALSE(menu.isMenuOpen());

    for (const char* wrong : {"Nowhere", "Diagnostics/Nowhere", "Settings/Adapter", "Gauge list/Emissions", "",
                              "Diagnostics/"}) {
        SCOPED_TRACE(wrong);
        const auto error = app->openScreen(wrong);
        ASSERT_TRUE(error);
        for (const char* listed : {"\"Gauge list\"", "\"Diagnostics\"", "\"Diagnostics/Emissions\"",
                                   "\"Diagnostics/Trouble Codes\"", "\"Settings\""})
            EXPECT_NE(error->find(listed), std::string::npos) << *error;
        EXPECT_EQ(menu.menuTitles()[static_cast<std::size_t>(menu.selectedIndex())], "Settings");
    }
}

// The app's own list registers nothing in a wrong place, and without feature screens the menu is Settings.
TEST_F(AppMenuTest, TheAppsRegistrationIsClean)
{
    FeatureRegistry features;
    registerFeatures(features);
    EXPECT_TRUE(features.errors().empty()) << features.errors().front();
    launch(features);
    const auto& titles = app->rootController()->menuTitles();
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles.back(), "Settings");
    EXPECT_EQ(app->rootController()->isMenuOpen(), titles.size() == 1);
}

// The dash camera's settings, reached from the settings screen in race mode, open the race screens'
// track list: the app hands it over.
TEST_F(AppMenuTest, TheDashcamSettingsOpenTheRaceTrackList)
{
    settings().isRaceMode = true;
    FeatureRegistry features;
    registerFeatures(features);
    launch(features);
    SettingsViewController& settingsView = settingsScreen();
    const FormSection& more = settingsView.sections().back();
    const auto row = std::find_if(more.rows.begin(), more.rows.end(),
                                  [](const FormRow& r) { return r.title == "Dashcam settings"; });
    ASSERT_NE(row, more.rows.end());
    row->action();
    advance(1);
    ui::AlertController::dismissAll();  // the camera settings' notice
    auto* cameraSettings = dynamic_cast<CamSettViewController*>(settingsView.navigationController()->topViewController());
    ASSERT_NE(cameraSettings, nullptr);
    window->window().layoutIfNeeded();
    auto trackRow = cameraSettings->tableView().cellForRowAtIndexPath({0, 3});
    ASSERT_TRUE(trackRow);
    tap(*trackRow);
    advance(1);
    EXPECT_NE(dynamic_cast<TrackSelectViewCon*>(settingsView.navigationController()->topViewController()), nullptr);
}

}  // namespace

namespace {

// The sensor list opens the menu's list, the strip charts follow it, and the logger has its settings row.
TEST_F(AppMenuTest, TheGaugeListComesFirstWithTheLoggingScreenAndItsSettingsRow)
{
    const AppScreens screens = appScreens();
    ASSERT_GE(screens.menu.size(), 2u);
    EXPECT_EQ(screens.menu[0].title, "Gauge list");
    EXPECT_EQ(screens.menu[1].title, "Logging");
    EXPECT_TRUE(std::any_of(screens.settings.begin(), screens.settings.end(),
                            [](const NamedScreen& row) { return row.title == "Logger settings"; }));
}

}  // namespace
