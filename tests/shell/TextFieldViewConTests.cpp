#include <functional>
#include <string>
#include <vector>

#include "ShellScreens.h"
#include "platform/foundation/Localization.h"
#include "shell/TextFieldViewCon.h"

using namespace shelltests;

namespace {

class TextFieldViewConTest : public ShellTest {
protected:
    // The editor pushed over a screen, as the settings screens open it.
    std::shared_ptr<TextFieldViewCon> open(int mode, const std::string& value = "old")
    {
        show(std::make_shared<ui::ViewController>());
        auto editor = std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped, "Name", value, mode);
        push(editor);
        return editor;
    }
};

struct Typed {
    int mode;
    const char* text;
    std::function<bool(Settings&)> stored;  // read back from disk
    const char* what;
};

TEST_F(TextFieldViewConTest, ValidTextIsStoredSavedAndClosesTheEditor)
{
    const std::vector<Typed> cases = {
        {TextFieldViewCon::EditLoggerIP, "10.1.1.5", [](Settings& s) { return s.loggerIP == "10.1.1.5"; }, "logger address"},
        {TextFieldViewCon::EditLoggerPort, "8080", [](Settings& s) { return s.loggerPort == 8080u; }, "logger port"},
        {TextFieldViewCon::EditLoggerPort, "", [](Settings& s) { return s.loggerPort == 0u; }, "no number is port 0"},
        {TextFieldViewCon::EditAdapterAddress, " 192.168.4.1 ", [](Settings& s) { return s.hostIP == "192.168.4.1"; },
         "adapter address, trimmed"},
        {TextFieldViewCon::EditAdapterAddress, "obd.local", [](Settings& s) { return s.hostIP == "obd.local"; },
         "adapter host name"},
        {TextFieldViewCon::EditAdapterPort, "35001", [](Settings& s) { return s.port == 35001u; }, "adapter port"},
        {TextFieldViewCon::EditSpeedLimit, "120",
         [](Settings& s) { return s.speedLimit2 == 120 && s.speedLimit == 75; }, "km/h limit, mph kept in step"},
    };
    for (const auto& c : cases) {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        auto editor = open(c.mode);
        typeInto(editor->textField(), c.text);
        EXPECT_EQ(alertMessage(), "") << c.what;
        EXPECT_TRUE(c.stored(reloaded().setting())) << c.what;
        EXPECT_EQ(navigation->viewControllers().size(), 1u) << c.what << ": the editor closes";
    }
}

TEST_F(TextFieldViewConTest, InvalidTextIsRefusedWithAMessageAndNotStored)
{
    const std::vector<std::pair<int, const char*>> cases = {
        {TextFieldViewCon::EditAdapterAddress, "192.168.0.300"},
        {TextFieldViewCon::EditAdapterAddress, "not a host"},
        {TextFieldViewCon::EditAdapterAddress, ""},
        {TextFieldViewCon::EditAdapterPort, "0"},
        {TextFieldViewCon::EditAdapterPort, "70000"},
        {TextFieldViewCon::EditAdapterPort, "35x"},
        {TextFieldViewCon::EditLoggerPort, "-5"},  // would wrap around to a huge port
        {TextFieldViewCon::EditLoggerPort, "99999"},
        {TextFieldViewCon::EditSpeedLimit, "0"},
        {TextFieldViewCon::EditSpeedLimit, "fast"},
    };
    const std::string firstRun = Settings().archive().root().dump();
    for (const auto& [mode, text] : cases) {
        ui::AlertController::dismissAll();
        testsupport::freshDocuments();
        Manager::resetForTesting();
        auto editor = open(mode);
        typeInto(editor->textField(), text);
        EXPECT_NE(alertMessage(), "") << text;
        EXPECT_EQ(navigation->topViewController(), editor.get()) << text << ": the editor stays for a correction";
        EXPECT_EQ(reloaded().setting().archive().root().dump(), firstRun) << text;
    }
}

TEST_F(TextFieldViewConTest, RefusalNamesTheProblem)
{
    auto editor = open(TextFieldViewCon::EditAdapterPort, "35000");
    typeInto(editor->textField(), "0");
    EXPECT_EQ(alertMessage(), fnd::L("Invalid port msg"));
}

TEST_F(TextFieldViewConTest, EndingEditingOtherwiseStoresTheTextToo)
{
    auto editor = open(TextFieldViewCon::EditAdapterPort, "35000");
    auto& field = editor->textField();
    ASSERT_TRUE(field.becomeFirstResponder());
    field.setText("36000");
    navigation->popViewController(true);  // the back button
    advance(1);
    EXPECT_EQ(reloaded().setting().port, 36000u);
    EXPECT_EQ(alertMessage(), "");
}

TEST_F(TextFieldViewConTest, SpeedLimitFollowsTheSpeedUnit)
{
    Manager::sharedManager().userData().unitsArr[9] = 0;  // vehicle speed in mph
    auto editor = open(TextFieldViewCon::EditSpeedLimit, "70");
    typeInto(editor->textField(), "65");
    const Settings& settings = reloaded().setting();
    EXPECT_EQ(settings.speedLimit, 65);
    EXPECT_EQ(settings.speedLimit2, 105);
}

}  // namespace
