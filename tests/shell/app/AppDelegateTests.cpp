// Start-up, the launch counter and the application's moments.

#include "ShellAppTest.h"

#include "platform/foundation/FileIO.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "shell/AppDelegate.h"
#include "shell/QueuedAlertController.h"
#include "shell/VersionTracking.h"
#include "support/TestSupport.h"

namespace {

class AppDelegateTest : public ShellAppTest {
protected:
    // Settings on disk that keep the launches from connecting anywhere.
    void SetUp() override
    {
        ShellAppTest::SetUp();
        settings().connectionMode = 1;
        ASSERT_TRUE(Manager::sharedManager().saveChanges());
    }

    // One launch of the application, as after a restart.
    void launch()
    {
        ui::AlertController::dismissAll();
        app.reset();
        Manager::resetForTesting();
        launchApp();
    }
};

TEST_F(AppDelegateTest, StartUpBuildsTheMenuOnTheStoredSettings)
{
    settings().protocol = 6;
    ASSERT_TRUE(Manager::sharedManager().saveChanges());
    launch();

    EXPECT_TRUE(VersionTracking::isFirstLaunchEver());
    EXPECT_EQ(VersionTracking::versionHistory(), std::vector<std::string>{AppDelegate::version});
    EXPECT_EQ(DataStore::sharedDataStore().protocol, 6);
    for (const char* file : {Manager::settingsFileName, Manager::userDataFileName, Manager::fuelDataFileName,
                             Manager::raceDataFileName})
        EXPECT_TRUE(std::filesystem::exists(fnd::Paths::documents() / file)) << file;
    ASSERT_TRUE(app->rootController());
    EXPECT_EQ(window->rootViewController(), app->rootController().get());
    EXPECT_TRUE(app->rootController()->isVisible());
    EXPECT_TRUE(ui::NavigationBar::appearance().tintColor.has_value());
    // Without feature screens the menu has Settings alone, shown under the open menu.
    EXPECT_EQ(app->rootController()->menuTitles(), std::vector<std::string>{"Settings"});
    EXPECT_TRUE(app->rootController()->isMenuOpen());
}

// With a Documents folder where nothing can be written, the app starts and works, and says once where
// it cannot save; the saves after that do not repeat it.
TEST_F(AppDelegateTest, UnwritableDocumentsAreReportedOnceAndTheAppGoesOn)
{
    const std::filesystem::path documents = testsupport::freshDocuments();
    std::filesystem::remove_all(documents);
    ASSERT_TRUE(fnd::writeFileAtomically(documents, "not a folder"));
    launch();

    ASSERT_TRUE(app->rootController());
    EXPECT_TRUE(app->rootController()->isVisible());
    const auto shown = AlertQueue::current();
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->message().find(documents.string()), std::string::npos) << shown->message();
    EXPECT_EQ(AlertQueue::waitingCount(), 0u);

    settings().theme = 1;
    EXPECT_FALSE(Manager::sharedManager().saveChanges());
    EXPECT_FALSE(Manager::sharedManager().saveChanges());
    EXPECT_EQ(AlertQueue::current(), shown);
    EXPECT_EQ(AlertQueue::waitingCount(), 0u);
    EXPECT_EQ(settings().theme, 1) << "the change lives on for this run";
}

// A damaged archive is set aside and the user is told its new name.
TEST_F(AppDelegateTest, ArchiveSetAsideIsReportedWithItsNewName)
{
    ASSERT_TRUE(fnd::writeFileAtomically(fnd::Paths::documents() / Manager::userDataFileName, "[1, 2"));
    launch();
    const auto shown = AlertQueue::current();
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->message().find("userdata.data.corrupt-1"), std::string::npos) << shown->message();
    EXPECT_TRUE(std::filesystem::exists(fnd::Paths::documents() / "userdata.data.corrupt-1"));
}

// Unreadable preferences are moved aside as the archives are, and the user is told where.
TEST_F(AppDelegateTest, PreferencesSetAsideAreReportedWithTheirNewName)
{
    const std::filesystem::path preferences = fnd::Paths::home() / "Preferences.json";
    ASSERT_TRUE(fnd::writeFileAtomically(preferences, "{\"LaunchAmounts\": "));
    launch();
    const auto shown = AlertQueue::current();
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->message().find("Preferences.json.corrupt-1"), std::string::npos) << shown->message();
    EXPECT_EQ(fnd::readFile(fnd::Paths::home() / "Preferences.json.corrupt-1"), "{\"LaunchAmounts\": ");
    ui::AlertController::dismissAll();
    launch();
    EXPECT_FALSE(AlertQueue::current()) << "told once";
}

// Preferences nested deeper than anything saved are damage, not a crash at every launch.
TEST_F(AppDelegateTest, PreferencesNestedTooDeepAreSetAsideAndTold)
{
    const std::string deep = std::string(1'000'000, '[') + std::string(1'000'000, ']');
    ASSERT_TRUE(fnd::writeFileAtomically(fnd::Paths::home() / "Preferences.json", "{\"kVersionTrail\": " + deep + "}"));
    launch();
    ASSERT_TRUE(AlertQueue::current());
    EXPECT_NE(AlertQueue::current()->message().find("Preferences.json.corrupt-1"), std::string::npos);
}

// A wrong-typed entry in the settings or the preferences is left out, the file as it was kept, and the
// user told at launch, as for the other archives.
TEST_F(AppDelegateTest, WrongTypedSavedValuesAreToldAndTheFilesKept)
{
    settings().gaugeListArr = {8, 9};
    ASSERT_TRUE(Manager::sharedManager().saveChanges());
    const auto settingsFile = fnd::Paths::documents() / Manager::settingsFileName;
    auto stored = nlohmann::json::parse(*fnd::readFile(settingsFile));
    stored["gaugeListArr"] = nlohmann::json::array({8, "x", 9});
    ASSERT_TRUE(fnd::writeFileAtomically(settingsFile, stored.dump()));
    const std::filesystem::path preferences = fnd::Paths::home() / "Preferences.json";
    ASSERT_TRUE(fnd::writeFileAtomically(preferences, R"({"LaunchAmounts": "x"})"));

    launch();
    std::string told;
    while (const auto shown = AlertQueue::current()) {
        told += shown->message() + "\n";
        ASSERT_TRUE(shown->triggerAction("Ok"));
        advance(1);
    }
    EXPECT_NE(told.find("settings.data.corrupt-1"), std::string::npos) << told;
    EXPECT_NE(told.find("Preferences.json.corrupt-1"), std::string::npos) << told;
    EXPECT_EQ(fnd::readFile(fnd::Paths::home() / "Preferences.json.corrupt-1"), R"({"LaunchAmounts": "x"})");
    EXPECT_EQ(Manager::sharedManager().setting().gaugeListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(fnd::UserDefaults::standard().integerForKey(AppDelegate::launchCountKey), 1);
}

// A run that only takes a screenshot (scripts/run without a display) neither counts as a launch nor
// covers the screen with the rating prompt.
TEST_F(AppDelegateTest, ScreenshotRunsAreNoLaunchForTheRatingPrompt)
{
    fnd::UserDefaults::standard().setInteger(AppDelegate::launchCountKey, 3);
    std::vector<std::string> args{"norvale", "--screenshot", (testsupport::artifactsDir() / "unused.png").string()};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    {
        const ui::Application host(static_cast<int>(args.size()), argv.data());
        launch();
        EXPECT_EQ(AlertQueue::current(), nullptr);
        EXPECT_EQ(fnd::UserDefaults::standard().integerForKey(AppDelegate::launchCountKey), 3);
    }
    launch();
    ASSERT_TRUE(AlertQueue::current());
    EXPECT_EQ(AlertQueue::current()->title(), "Enjoying Norvale?");
}

// The rating prompt comes on the fourth and seventh launch only, and the count goes on.
TEST_F(AppDelegateTest, RatingPromptOnTheFourthAndSeventhLaunch)
{
    for (int launchNumber = 1; launchNumber <= 9; ++launchNumber) {
        SCOPED_TRACE("launch " + std::to_string(launchNumber));
        launch();
        const auto shown = AlertQueue::current();
        const bool rated = shown && shown->title() == "Enjoying Norvale?";
        EXPECT_EQ(rated, launchNumber == 4 || launchNumber == 7);
        EXPECT_EQ(fnd::UserDefaults::standard().integerForKey(AppDelegate::launchCountKey), launchNumber);
        if (rated) {
            EXPECT_EQ(shown->actionTitles(), std::vector<std::string>{"Ok"});
        }
    }
}

struct MomentCase {
    const char* name;
    void (AppDelegate::*moment)();
    const char* notification;
    bool saves;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const MomentCase& c, std::ostream* os)
{
    *os << c.name;
}

class AppMoments : public AppDelegateTest, public ::testing::WithParamInterface<MomentCase> {};

TEST_P(AppMoments, BroadcastAndSave)
{
    const MomentCase& c = GetParam();
    launch();
    int heard = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        c.notification, [&](const fnd::Notification&) { ++heard; }, app.get());
    settings().speedLimit = 93;
    ((*app).*c.moment)();
    EXPECT_EQ(heard, 1);

    app.reset();
    window.reset();
    Manager::resetForTesting();
    EXPECT_EQ(settings().speedLimit == 93, c.saves);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, AppMoments,
    ::testing::Values(MomentCase{"Background", &AppDelegate::didEnterBackground, "enteredBackgroundNotification", true},
                      MomentCase{"Foreground", &AppDelegate::willEnterForeground, "appMovedToForeground", false},
                      MomentCase{"Terminate", &AppDelegate::willTerminate, "appClosedNotification", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AdapterAddress, IsReadFromHostAndPort)
{
    struct Case {
        const char* text;
        bool valid;
        const char* host;
        unsigned port;
    };
    const Case cases[] = {
        {"127.0.0.1:35000", true, "127.0.0.1", 35000},
        {"obd.local:1", true, "obd.local", 1},
        {"192.168.0.10:65535", true, "192.168.0.10", 65535},
        {"127.0.0.1", false, "", 0},
        {":35000", false, "", 0},
        {"127.0.0.1:", false, "", 0},
        {"127.0.0.1:0", false, "", 0},
        {"127.0.0.1:65536", false, "", 0},
        {"127.0.0.1:35x", false, "", 0},
        {"bad host:35000", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = AppDelegate::parseAdapterAddress(c.text);
        ASSERT_EQ(address.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(address->host, c.host);
            EXPECT_EQ(address->port, c.port);
        }
    }
}

}  // namespace
