#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ShellScreens.h"
#include "core/Notifications.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Switch.h"
#include "platform/ui/VisibleText.h"
#include "shell/DetailViewCon.h"
#include "shell/SettingsViewController.h"
#include "shell/TableLook.h"
#include "shell/TextFieldViewCon.h"
#include "shell/editors/PidViewController.h"
#include "shell/editors/SensorDetViewCon.h"
#include "shell/editors/SensorSelectViewController.h"

using namespace shelltests;

namespace {

class SettingsTest : public ShellTest {
protected:
    std::shared_ptr<SettingsViewController> showSettings()
    {
        auto settings = std::make_shared<SettingsViewController>();
        show(settings);
        return settings;
    }
    // The index path of the row titled `title` (its English text).
    static ui::IndexPath rowTitled(const FormViewCon& form, const std::string& title)
    {
        for (std::size_t s = 0; s < form.sections().size(); ++s) {
            const auto& rows = form.sections()[s].rows;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (rows[r].title == fnd::L(title))
                    return {static_cast<int>(s), static_cast<int>(r)};
            }
        }
        ADD_FAILURE() << "no row " << title;
        return {};
    }
    static const FormRow& row(const FormViewCon& form, const std::string& title)
    {
        const ui::IndexPath path = rowTitled(form, title);
        return form.sections()[static_cast<std::size_t>(path.section)].rows[static_cast<std::size_t>(path.row)];
    }
    void tapRowTitled(SettingsViewController& settings, const std::string& title)
    {
        tapRow(settings.tableView(), rowTitled(settings, title));
        advance(1);
    }
};

TEST_F(SettingsTest, RowsShowTheStoredSettings)
{
    Settings& stored = Manager::sharedManager().setting();
    stored.hostIP = "10.0.0.7";
    stored.port = 35100;
    stored.protocol = 6;
    stored.connectionMode = 1;
    stored.speedLimit2 = 90;
    auto settings = showSettings();
    EXPECT_EQ(row(*settings, "Adapter type").value, "ELM327 Wi-Fi");
    EXPECT_EQ(row(*settings, "Adapter address").value, "10.0.0.7");
    EXPECT_EQ(row(*settings, "Adapter port").value, "35100");
    EXPECT_EQ(row(*settings, "Protocol").value, DataStore::sharedDataStore().protocolArr[6]);
    EXPECT_EQ(row(*settings, "Connection mode").value, fnd::L("Manual"));
    EXPECT_EQ(row(*settings, "Speed limit").value, "90 " + fnd::L("km/h"));
    EXPECT_FALSE(row(*settings, "Speed limit").enabled) << "no limit to set while the warning is off";
    EXPECT_EQ(row(*settings, "Theme").value, fnd::L("Dark"));
    EXPECT_EQ(row(*settings, "Units").value, fnd::L("Metric"));
    EXPECT_EQ(settings->sections().size(), 4u) << "no feature settings screens yet";
}

TEST_F(SettingsTest, SwitchesWriteAndSave)
{
    auto settings = showSettings();
    for (const char* title : {"Fast polling", "CAN multi-message", "Speed limit warning", "Temperature warning"}) {
        const auto cell = cellAt(settings->tableView(), rowTitled(*settings, title));
        ASSERT_NE(cell, nullptr) << title;
        auto* toggle = dynamic_cast<ui::Switch*>(cell->accessoryView().get());
        ASSERT_NE(toggle, nullptr) << title;
        tap(*toggle);
        advance(0.5);
    }
    const Settings& saved = reloaded().setting();
    EXPECT_TRUE(saved.fastPollingEnabled);
    EXPECT_TRUE(saved.multiMessageCANEnabled);
    EXPECT_TRUE(saved.speedLimitEnabled);
    EXPECT_TRUE(saved.highTempEnabled);
    EXPECT_TRUE(row(*settings, "Speed limit").enabled);
}

// In the light theme an off switch shows on its row: its track against the row, its thumb against the track.
TEST_F(SettingsTest, OffSwitchesShowOnTheirRowsInTheLightTheme)
{
    Manager::sharedManager().setting().theme = 1;
    auto settings = showSettings();
    const ui::View& toggle = *cellAt(settings->tableView(), rowTitled(*settings, "Fast polling"))->accessoryView();
    const ui::Image shot = root->window().renderToImage(1);
    const ui::Point at = toggle.convertPoint({0, 15}, nullptr);
    const auto shade = [&](double x) { return shot.pixel(int(at.x + x), int(at.y)).g; };
    EXPECT_GT(shade(-6) - shade(43), 0.1) << "track on the row";
    EXPECT_GT(shade(15) - shade(43), 0.1) << "thumb on the track";
}

TEST_F(SettingsTest, RowsOpenTheirPickersAndShowTheChoiceOnReturn)
{
    auto settings = showSettings();
    tapRowTitled(*settings, "Adapter address");
    auto* editor = dynamic_cast<TextFieldViewCon*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), TextFieldViewCon::EditAdapterAddress);
    EXPECT_EQ(editor->textField().text(), "192.168.0.10");
    typeInto(editor->textField(), "192.168.0.20");
    EXPECT_EQ(navigation->topViewController(), settings.get());
    EXPECT_EQ(row(*settings, "Adapter address").value, "192.168.0.20");

    tapRowTitled(*settings, "Connection mode");
    auto* list = dynamic_cast<DetailViewCon*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selectMode(), DetailViewCon::SelectConnectionMode);
    tapRow(list->tableView(), {0, 1});
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(row(*settings, "Connection mode").value, fnd::L("Manual"));
}

// The protocol names are long: each shows whole in its row on a phone, none elided.
TEST_F(SettingsTest, TheProtocolListShowsEveryNameWhole)
{
    auto settings = showSettings();
    tapRowTitled(*settings, "Protocol");
    ASSERT_NE(dynamic_cast<DetailViewCon*>(navigation->topViewController()), nullptr);
    bool listed = false;
    for (const ui::ShownText& shown : ui::visibleTextFrames(root->window())) {
        EXPECT_FALSE(shown.cut) << shown.text;
        listed = listed || shown.text == "ISO 15765-4 CAN (11 bit ID, 500 kbaud)";
    }
    EXPECT_TRUE(listed);
}

TEST_F(SettingsTest, ThemeChangeIsBroadcastWhenTheSettingsReappear)
{
    int posts = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        iconChangedNotification, [&](const fnd::Notification&) { ++posts; });
    auto settings = showSettings();
    tapRowTitled(*settings, "Theme");
    auto* list = dynamic_cast<DetailViewCon*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    tapRow(list->tableView(), {0, 0});  // the theme it already has
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(posts, 0);

    tapRowTitled(*settings, "Theme");
    list = dynamic_cast<DetailViewCon*>(navigation->topViewController());
    tapRow(list->tableView(), {0, 1});
    // The list keeps one look, rows and page alike: the theme picked shows from the next screen on.
    const ui::Point row = cellAt(list->tableView(), {0, 0})->convertPoint({8, 20}, nullptr);
    EXPECT_LT(root->window().renderToImage(1).pixel(int(row.x), int(row.y)).g, 0.5) << "a dark row on the dark page";
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(reloaded().setting().theme, 1);
}

TEST_F(SettingsTest, PickedSensorOpensInTheSensorEditor)
{
    auto settings = showSettings();
    tapRowTitled(*settings, "Sensor details");
    auto* picker = dynamic_cast<SensorSelectViewController*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    tapRow(picker->tableView(), *picker->indexPathForSensor(12));
    advance(2);
    auto* editor = dynamic_cast<SensorDetViewCon*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->sensorIndex(), 12);
    EXPECT_EQ(navigation->viewControllers().size(), 3u) << "the editor opens over the list";
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(navigation->topViewController(), picker) << "Back returns to the Sensors list";
}

TEST_F(SettingsTest, ALimitKeptFromImperialUnitsReadsAsATenth)
{
    UserData& data = Manager::sharedManager().userData();
    data.unitsArr[1] = 1;
    data.minImpArr[1] = -40;
    data.maxImpArr[1] = 419;
    data.minArr[1] = -40;
    data.maxArr[1] = 215;
    data.maxLimitArr[1] = 220.0f / 459;  // set at 180 F
    auto settings = showSettings();
    tapRowTitled(*settings, "Sensor details");
    auto* picker = dynamic_cast<SensorSelectViewController*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    tapRow(picker->tableView(), *picker->indexPathForSensor(1));
    advance(2);
    auto* editor = dynamic_cast<SensorDetViewCon*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(row(*editor, "High limit").value, "82.2") << "82.222 C is not a limit anyone typed";
}

TEST_F(SettingsTest, CustomPidsAreListedAndAdded)
{
    Pid pid;
    pid.lName = "Transmission temperature";
    pid.mode = 0x22;
    pid.pid = 0x11;
    Manager::sharedManager().userData().addPid(pid);
    auto settings = showSettings();
    EXPECT_EQ(row(*settings, "Transmission temperature").value, "22 11");

    tapRowTitled(*settings, "Transmission temperature");
    auto* editor = dynamic_cast<PidViewController*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->draft().lName, "Transmission temperature");
    navigation->popViewController(true);
    advance(1);

    tapRowTitled(*settings, "Add custom PID");
    editor = dynamic_cast<PidViewController*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->draft().lName.empty());
}

// WCAG contrast ratio of two opaque colours.
double contrast(ui::Color a, ui::Color b)
{
    const auto luminance = [](ui::Color c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The screens' navigation titles are readable on the bars the application starts with, in both themes,
// and after the theme was changed while it runs (the bars keep their look until the next start).
TEST(TableLookTest, NavigationTitlesStandOutFromTheBar)
{
    const ui::BarAppearance before = ui::NavigationBar::appearance();
    for (const int startTheme : {0, 1}) {
        TableLook::forTheme(startTheme).applyToBars();
        const ui::BarAppearance& bars = ui::NavigationBar::appearance();
        ASSERT_TRUE(bars.barTintColor && bars.titleTextAttributes.color);
        EXPECT_GE(contrast(*bars.titleTextAttributes.color, *bars.barTintColor), 7.0) << startTheme;
        for (const int theme : {0, 1}) {
            SCOPED_TRACE(std::to_string(startTheme) + " then " + std::to_string(theme));
            EXPECT_GE(contrast(TableLook::forTheme(theme).titleView("Settings")->textColor(), *bars.barTintColor), 7.0);
        }
    }
    ui::NavigationBar::appearance() = before;
}

TEST_F(SettingsTest, ScreenshotsOnPhoneAndPad)
{
    // Bars as the application sets them up at start.
    ui::BarAppearance& bars = ui::NavigationBar::appearance();
    const ui::BarAppearance appBefore = bars;
    TableLook::current().applyToBars();

    // The first rows show whole, each with its value, in the bars' look.
    const auto showsFirstRows = [&](const std::string& where) {
        for (const char* shown : {"Settings", "Adapter type", "ELM327 Wi-Fi", "Adapter address", "Adapter port"})
            EXPECT_TRUE(testsupport::shows(root->window(), shown)) << shown << " on the " << where;
        EXPECT_EQ(testsupport::cutTexts(root->window()), std::vector<std::string>{}) << where;
    };
    showSettings();
    saveScreenshot("settings-phone.png");
    showsFirstRows("phone");

    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
    root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    Manager::sharedManager().setting().theme = 1;
    showSettings();
    saveScreenshot("settings-pad.png");
    showsFirstRows("pad");
    bars = appBefore;
}

}  // namespace
