// What a user types into the settings, through the window: what the fields show while typing, what
// they refuse, and what reaches the settings file.

#include <cmath>
#include <string>

#include "ShellScreens.h"
#include "platform/foundation/Localization.h"
#include "shell/SettingsViewController.h"
#include "shell/TextFieldViewCon.h"
#include "shell/editors/GearboxSettViewCon.h"

using namespace shelltests;

namespace {

class SettingsTypingTest : public ShellTest {
protected:
    // Settings > `row`: the one-field editor on view.
    TextFieldViewCon& openEditor(const std::string& row)
    {
        show(std::make_shared<SettingsViewController>());
        EXPECT_TRUE(testsupport::tapText(window(), fnd::L(row))) << row;
        advance(1);
        auto* editor = dynamic_cast<TextFieldViewCon*>(navigation->topViewController());
        EXPECT_NE(editor, nullptr) << row;
        return *editor;
    }
    bool shows(const std::string& text) { return testsupport::shows(window(), text); }
    // Selects what the field holds and types over it, then presses return.
    void retype(const std::string& text)
    {
        ASSERT_TRUE(testsupport::shortcut(window(), 'a'));
        ASSERT_TRUE(testsupport::type(window(), text));
        ASSERT_TRUE(testsupport::key(window(), ui::Key::Return));
        advance(1);
    }
};

TEST_F(SettingsTypingTest, TheEditorShowsTheValueWhatIsTypedAndTheCaret)
{
    TextFieldViewCon& editor = openEditor("Adapter port");
    EXPECT_TRUE(shows("35000")) << ::testing::PrintToString(testsupport::texts(window()));
    ASSERT_TRUE(editor.textField().isEditing());
    EXPECT_GT(editor.textField().frame().width(), 100);
    // A caret in the tint colour sits right of the text.
    const ui::Image picture = window().renderToImage(1);
    const ui::TextField& field = editor.textField();
    const ui::Rect area = field.convertRect(field.bounds(), nullptr);
    const ui::Color tint = field.tintColor();
    bool caret = false;
    for (double x = area.minX(); x < area.maxX() && !caret; ++x) {
        const ui::Color seen = picture.pixel(static_cast<int>(x), static_cast<int>(area.midY()));
        caret = std::abs(seen.r - tint.r) + std::abs(seen.g - tint.g) + std::abs(seen.b - tint.b) < 0.05;
    }
    EXPECT_TRUE(caret);

    testsupport::type(window(), "4242");
    EXPECT_TRUE(shows("350004242"));

    retype("35001");
    EXPECT_EQ(alertMessage(), "");
    EXPECT_EQ(reloaded().setting().port, 35001u);
    EXPECT_TRUE(shows("35001")) << "the settings row shows the new port";
}

TEST_F(SettingsTypingTest, TheAddressEditorShowsItsValueToo)
{
    openEditor("Adapter address");
    EXPECT_TRUE(shows("192.168.0.10")) << ::testing::PrintToString(testsupport::texts(window()));
    retype("10.0.0.7");
    EXPECT_EQ(reloaded().setting().hostIP, "10.0.0.7");
}

TEST_F(SettingsTypingTest, PortTextThatIsNoPortIsRefusedWholeAndTheOldPortKept)
{
    for (const char* typed : {"1.5e3", "-5", "0x50", "35 000"}) {
        ui::AlertController::dismissAll();
        testsupport::freshAppState();
        TextFieldViewCon& editor = openEditor("Adapter port");
        retype(typed);
        EXPECT_EQ(alertMessage(), fnd::L("Invalid port msg")) << typed;
        EXPECT_FALSE(testsupport::type(window(), "9") || testsupport::key(window(), ui::Key::Return)) << "keys go to the alert";
        EXPECT_EQ(ui::AlertController::queuedCount(), 0u) << "no second refusal piles up";
        EXPECT_EQ(editor.textField().text(), typed) << "what was typed stays for a correction";
        EXPECT_EQ(reloaded().setting().port, 35000u) << typed;
    }
}

TEST_F(SettingsTypingTest, LoggerPortTextThatIsNoNumberIsRefused)
{
    show(std::make_shared<ui::ViewController>());
    auto editor = std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped, "Port", "",
                                                     TextFieldViewCon::EditLoggerPort);
    push(editor);
    retype("1.5e3");
    EXPECT_EQ(alertMessage(), fnd::L("Invalid port msg"));
    EXPECT_EQ(reloaded().setting().loggerPort, 10000u);
}

// Scrolling a form ends the editing of its field, which takes what was typed.
TEST_F(SettingsTypingTest, ScrollingAFormEndsEditing)
{
    ui::Device::current().setScreenSize({390, 500});
    makeWindow();
    auto gearbox = std::make_shared<GearboxSettViewCon>();
    show(gearbox);
    auto* field = dynamic_cast<ui::TextField*>(cellAt(gearbox->tableView(), {0, 0})->accessoryView().get());
    ASSERT_NE(field, nullptr);
    tap(*field, 0.5);
    ASSERT_TRUE(field->isEditing());
    ASSERT_TRUE(testsupport::shortcut(window(), 'a'));
    testsupport::type(window(), "0.031");
    testsupport::drag(window(), {200, 400}, {200, 300});
    advance(1);
    EXPECT_EQ(ui::View::firstResponder(), nullptr);
    EXPECT_FLOAT_EQ(reloaded().userData().transmissionArr[0], 0.031f);
}

}  // namespace
