#include <string>
#include <vector>

#include "ShellScreens.h"
#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/model/Tree.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/InputValidation.h"
#include "shell/editors/GearboxSettViewCon.h"
#include "shell/editors/PidViewController.h"
#include "shell/editors/SensorDetViewCon.h"
#include "support/SimulatorFixture.h"

using namespace shelltests;

namespace {

// Rows of the custom-PID editor.
constexpr ui::IndexPath nameRow{0, 0};
constexpr ui::IndexPath shortNameRow{0, 1};
constexpr ui::IndexPath serviceRow{1, 0};
constexpr ui::IndexPath pidRow{1, 1};
constexpr ui::IndexPath metricUnitsRow{2, 0};
constexpr ui::IndexPath maximumRow{3, 1};
constexpr ui::IndexPath formulaRow{4, 0};
constexpr ui::IndexPath testRow{4, 1};

class EditorTest : public ShellTest, protected testsupport::SimulatorFixture {
protected:
    EditorTest()
    {
        token = fnd::NotificationCenter::defaultCenter().addObserver(
            gaugeModifiedNotification, [this](const fnd::Notification&) { ++gaugeChanges; });
    }

    std::shared_ptr<PidViewController> openPidEditor(std::shared_ptr<PidViewController> editor)
    {
        show(std::make_shared<ui::ViewController>());
        push(editor);
        return editor;
    }
    // Typed as a user types: a tap on a field, then the keys; the tap on the next field ends the one before.
    void fillEngineSpeed(PidViewController& editor, const std::string& formula)
    {
        for (const auto& [row, text] : {std::pair<ui::IndexPath, std::string>{nameRow, "Engine speed"},
                                        {shortNameRow, "RPM"}, {serviceRow, "01"}, {pidRow, "0c"},
                                        {metricUnitsRow, "rpm"}, {maximumRow, "8000"}, {formulaRow, formula}}) {
            tap(*cellAt(editor.tableView(), row)->accessoryView());
            ASSERT_TRUE(testsupport::shortcut(window(), 'a') && testsupport::type(window(), text)) << text;
        }
    }
    static void pressSave(PidViewController& editor)
    {
        const auto save = editor.navigationItem().rightBarButtonItem();
        ASSERT_NE(save, nullptr);
        save->sendAction();
        advance(1);
    }

    fnd::NotificationCenter::Token token;
    int gaugeChanges = 0;
};

TEST_F(EditorTest, NewCustomPidWithAFormulaSavesWithLimitsAndEvaluates)
{
    auto editor = openPidEditor(std::make_shared<PidViewController>());
    fillEngineSpeed(*editor, "(A*256+B)/4");
    saveScreenshot("custom-pid-editor.png");
    pressSave(*editor);
    EXPECT_EQ(alertMessage(), "");
    EXPECT_EQ(navigation->viewControllers().size(), 1u) << "a saved PID closes its editor";
    EXPECT_EQ(gaugeChanges, 1);

    const UserData& data = reloaded().userData();
    ASSERT_EQ(data.pids.size(), 1u);
    const Pid& pid = data.pids[0];
    EXPECT_EQ(pid.lName, "Engine speed");
    EXPECT_EQ(pid.sName, "RPM");
    EXPECT_EQ(pid.mode, 0x01);
    EXPECT_EQ(pid.pid, 0x0C);
    EXPECT_EQ(pid.units, "rpm");
    EXPECT_EQ(pid.max, 8000.0f);
    EXPECT_FLOAT_EQ(Tree::calculate(pid.root.get(), {0x1A, 0xF8}), 1726.0f);
    // Sensor index 101 has limit settings of its own.
    for (const std::size_t size : {data.minLimitArr.size(), data.maxLimitArr.size(), data.notifyLimitArr.size(),
                                   data.notifySoundLimArr.size()})
        EXPECT_EQ(size, 102u);
}

TEST_F(EditorTest, BadFormulaIsRefusedSayingWhereAndNothingIsSaved)
{
    auto editor = openPidEditor(std::make_shared<PidViewController>());
    fillEngineSpeed(*editor, "(A*256+B/4");
    pressSave(*editor);
    const std::string message = alertMessage();
    EXPECT_NE(message.find("11"), std::string::npos) << message;  // the end of the 10-character formula
    EXPECT_EQ(navigation->topViewController(), editor.get());
    EXPECT_EQ(editor->formula(), "(A*256+B/4") << "the typed formula is kept for mending";
    EXPECT_TRUE(reloaded().userData().pids.empty());
    EXPECT_EQ(gaugeChanges, 0);
}

TEST_F(EditorTest, EditingACustomPidKeepsItsLimits)
{
    Pid pid;
    pid.lName = "Boost";
    pid.sName = "BST";
    pid.root = Node::byte(0);
    Manager::sharedManager().userData().addPid(pid);
    Manager::sharedManager().userData().maxLimitArr[101] = 0.75f;

    auto editor = openPidEditor(std::make_shared<PidViewController>(0));
    EXPECT_EQ(editor->formula(), "A");
    typeIntoRow(editor->tableView(), formulaRow, "A-40");
    pressSave(*editor);

    const UserData& data = reloaded().userData();
    ASSERT_EQ(data.pids.size(), 1u);
    EXPECT_FLOAT_EQ(Tree::calculate(data.pids[0].root.get(), {100}), 60.0f);
    EXPECT_EQ(data.maxLimitArr.size(), 102u);
    EXPECT_EQ(data.maxLimitArr[101], 0.75f);
}

TEST_F(EditorTest, RequestBytesMustBeHexadecimal)
{
    auto editor = openPidEditor(std::make_shared<PidViewController>());
    typeIntoRow(editor->tableView(), pidRow, "ZZ");
    EXPECT_EQ(alertMessage(), fnd::L("Invalid hex msg"));
    EXPECT_EQ(editor->draft().pid, 0);
}

TEST_F(EditorTest, TestAgainstTheCarShowsTheFormulasValue)
{
    ASSERT_TRUE(startSimulator());
    sim.updateCar([](elmsim::CarState& s) { s.rpm = 1726; });
    const auto link = Manager::sharedManager().scanner();
    link->connect();
    ASSERT_TRUE(waitFor([&] { return link->isConnected(); }));

    auto editor = openPidEditor(std::make_shared<PidViewController>());
    fillEngineSpeed(*editor, "(A*256+B)/4");
    tapRow(editor->tableView(), testRow);
    ASSERT_TRUE(waitFor([&] { return editor->testResult().find(fnd::L("Test value")) != std::string::npos; }))
        << editor->testResult();
    EXPECT_NE(editor->testResult().find("1726 rpm"), std::string::npos) << editor->testResult();
    // A formula that fails for the reply says so in the gauge list's words, not 0.
    for (const auto& [formula, says] : {std::pair{"A/(B-B)", "Formula divides by zero"},
                                        {"99999999999999999999*99999999999999999999", "Formula value too large"}}) {
        typeIntoRow(editor->tableView(), formulaRow, formula);
        tapRow(editor->tableView(), testRow);
        EXPECT_TRUE(waitFor([&] { return editor->testResult() == fnd::L(says); })) << editor->testResult();
    }
    EXPECT_EQ(link->delegate(), nullptr) << "the test does not take the link from whoever has it";
    link->disconnect();
    sim.stop();
}

TEST_F(EditorTest, TestNeedsAConnection)
{
    auto editor = openPidEditor(std::make_shared<PidViewController>());
    typeIntoRow(editor->tableView(), formulaRow, "A");
    tapRow(editor->tableView(), testRow);
    EXPECT_EQ(alertMessage(), fnd::L("Not connected msg"));
}

// Rows of the sensor editor.
constexpr ui::IndexPath longNameRow{0, 0};
constexpr ui::IndexPath minimumRow{1, 0};
constexpr ui::IndexPath rangeMaximumRow{1, 1};
constexpr ui::IndexPath unitsRow{1, 2};
constexpr ui::IndexPath highLimitRow{2, 3};

TEST_F(EditorTest, SensorEditorWritesUserDataAndBroadcasts)
{
    const int coolant = 1;
    UserData& data = Manager::sharedManager().userData();
    show(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, data.longNameArr[coolant],
                                            data.shortNameArr[coolant], data.minArr[coolant], data.maxArr[coolant],
                                            coolant, false));
    auto& editor = static_cast<SensorDetViewCon&>(*navigation->topViewController());
    auto& table = editor.tableView();
    typeIntoRow(table, longNameRow, "Engine coolant");
    typeIntoRow(table, rangeMaximumRow, "140");
    typeIntoRow(table, highLimitRow, "105");
    EXPECT_EQ(alertMessage(), "");

    const UserData& saved = reloaded().userData();
    EXPECT_EQ(saved.longNameArr[coolant], "Engine coolant");
    EXPECT_EQ(saved.maxArr[coolant], 140.0f);
    EXPECT_FLOAT_EQ(saved.maxLimitArr[coolant], (105.0f - saved.minArr[coolant]) / (140.0f - saved.minArr[coolant]));
    EXPECT_EQ(gaugeChanges, 3);
}

// The editor goes with its window while a field is still being typed in: nothing is taken from it.
TEST_F(EditorTest, SensorEditorClosedWhileTypingTakesNothing)
{
    const int coolant = 1;
    UserData& data = Manager::sharedManager().userData();
    const std::string name = data.longNameArr[coolant];
    show(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, data.longNameArr[coolant],
                                            data.shortNameArr[coolant], data.minArr[coolant], data.maxArr[coolant],
                                            coolant, false));
    auto& table = static_cast<SensorDetViewCon&>(*navigation->topViewController()).tableView();
    const auto cell = cellAt(table, longNameRow);
    ASSERT_NE(cell, nullptr);
    auto* field = dynamic_cast<ui::TextField*>(cell->accessoryView().get());
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->becomeFirstResponder());
    field->setText("Half typed");

    navigation.reset();
    root.reset();
    EXPECT_EQ(gaugeChanges, 0);
    EXPECT_EQ(reloaded().userData().longNameArr[coolant], name);
}

TEST_F(EditorTest, SensorEditorRefusesAnEmptyRangeAndLimitsOutsideIt)
{
    const int speed = 9;
    UserData& data = Manager::sharedManager().userData();
    const float max = data.maxArr[speed];
    show(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, "Speed", "SPD", data.minArr[speed], max,
                                            speed, false));
    auto& table = static_cast<SensorDetViewCon&>(*navigation->topViewController()).tableView();
    typeIntoRow(table, minimumRow, input::numberText(max));
    EXPECT_EQ(alertMessage(), fnd::L("Invalid range msg"));
    ui::AlertController::dismissAll();
    typeIntoRow(table, highLimitRow, input::numberText(max + 10));
    EXPECT_EQ(alertMessage(), fnd::L("Invalid limit msg"));
    EXPECT_EQ(reloaded().userData().maxLimitArr[speed], 1.0f);
    EXPECT_EQ(gaugeChanges, 0);
}

TEST_F(EditorTest, SensorEditorUnitsSwitchTheRangeShown)
{
    const int speed = 9;
    UserData& data = Manager::sharedManager().userData();
    show(std::make_shared<SensorDetViewCon>(ui::TableViewStyle::Grouped, "Speed", "SPD", data.minArr[speed],
                                            data.maxArr[speed], speed, false));
    auto& editor = static_cast<SensorDetViewCon&>(*navigation->topViewController());
    editor.sections()[unitsRow.section].rows[unitsRow.row].picked(1);
    editor.reloadForm();
    EXPECT_EQ(data.unitsArr[speed], 0);
    EXPECT_EQ(editor.sections()[rangeMaximumRow.section].rows[rangeMaximumRow.row].value,
              input::numberText(data.maxImpArr[speed]));
}

TEST_F(EditorTest, GearboxStoresRatiosAndRedLine)
{
    show(std::make_shared<GearboxSettViewCon>());
    auto& table = static_cast<GearboxSettViewCon&>(*navigation->topViewController()).tableView();
    typeIntoRow(table, {0, 2}, "0.025");
    typeIntoRow(table, {1, 0}, "6500");
    typeIntoRow(table, {0, 0}, "0");     // refused: no gear has a zero ratio
    typeIntoRow(table, {1, 0}, "99999");  // refused
    const UserData& saved = reloaded().userData();
    EXPECT_EQ(saved.transmissionArr[2], 0.025f);
    EXPECT_EQ(saved.transmissionArr[0], 0.008f);
    EXPECT_EQ(saved.rpmRedLine, 6500);
}

}  // namespace
