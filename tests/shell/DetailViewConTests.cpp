#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ShellScreens.h"
#include "core/Notifications.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/DetailViewCon.h"

using namespace shelltests;

namespace {

class DetailViewConTest : public ShellTest {
protected:
    std::shared_ptr<DetailViewCon> showList(int mode, int rows, int checked = 0)
    {
        std::vector<std::string> titles;
        for (int i = 0; i < rows; ++i)
            titles.push_back("Choice " + std::to_string(i));
        auto list = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, checked, titles, mode, "Title");
        show(list);
        return list;
    }
};

struct ModeCase {
    int mode;
    int rows;
    int row;
    std::function<bool(Manager&)> stored;  // on the records read back from disk
    const char* what;
};

TEST_F(DetailViewConTest, EachModeWritesItsSettingAndSaves)
{
    const std::vector<ModeCase> cases = {
        {DetailViewCon::SelectFuelUnits, 4, 2, [](Manager& m) { return m.setting().fuelUnitsMode == 2; }, "fuel units"},
        {DetailViewCon::SelectFuelType, 7, 1,
         [](Manager& m) {
             const auto& s = m.setting();
             return s.fuelType == 1 && s.fuelDensity == 6.217f && s.fuelAirRatio == 14.6f;
         },
         "fuel type with diesel's density and ratio"},
        {DetailViewCon::SelectFuelType, 7, 5,
         [](Manager& m) { return m.setting().fuelDensity == 3.0f && m.setting().fuelAirRatio == 6.4f; },
         "methanol"},
        {DetailViewCon::SelectCalcMethod, 3, 2, [](Manager& m) { return m.setting().fuelCalcMethod == 2; }, "method"},
        {DetailViewCon::SelectLoggerInterface, 2, 1, [](Manager& m) { return m.setting().loggerInterface == 1; },
         "logger interface"},
        {DetailViewCon::SelectLogFormat, 2, 1, [](Manager& m) { return m.setting().logFormat == 1; }, "log format"},
        {DetailViewCon::SelectLoggerDelay, 7, 1, [](Manager& m) { return m.setting().loggerDelay == 0.5f; },
         "half a second"},
        {DetailViewCon::SelectLoggerDelay, 7, 6, [](Manager& m) { return m.setting().loggerDelay == 5.0f; },
         "five seconds"},
        {DetailViewCon::SelectResolution, 5, 3, [](Manager& m) { return m.setting().recordMode == 3; }, "resolution"},
        {DetailViewCon::SelectCamGaugeCount, 5, 2, [](Manager& m) { return m.setting().camGaugeCount == 3; },
         "gauge count is the row plus one"},
        {DetailViewCon::SelectShiftLightColor, 3, 2, [](Manager& m) { return m.setting().shiftLightColor == 2; },
         "shift light"},
        {DetailViewCon::SelectProtocol, 13, 6, [](Manager& m) { return m.setting().protocol == 6; }, "protocol"},
        {DetailViewCon::SelectConnectionMode, 2, 1, [](Manager& m) { return m.setting().connectionMode == 1; },
         "manual connection"},
        {DetailViewCon::SelectTheme, 2, 1, [](Manager& m) { return m.setting().theme == 1; }, "light theme"},
        {DetailViewCon::SelectUnits, 2, 1,
         [](Manager& m) {
             const auto& units = m.userData().unitsArr;
             return units.size() == 101 && std::all_of(units.begin(), units.end(), [](int u) { return u == 0; });
         },
         "every sensor imperial"},
    };
    for (const auto& c : cases) {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        auto list = showList(c.mode, c.rows);
        tapRow(list->tableView(), {0, c.row});
        EXPECT_EQ(list->checkedRow(), c.row) << c.what;
        EXPECT_TRUE(c.stored(reloaded())) << c.what;
    }
}

TEST_F(DetailViewConTest, TapMovesTheCheckMarkAndDeselectsAfterAMoment)
{
    auto list = showList(DetailViewCon::SelectCalcMethod, 3, 0);
    auto& table = list->tableView();
    tapRow(table, {0, 1});
    EXPECT_EQ(cellAt(table, {0, 1})->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(cellAt(table, {0, 0})->accessoryType(), ui::TableViewCellAccessoryType::None);
    ASSERT_TRUE(table.indexPathForSelectedRow());

    advance(DetailViewCon::deselectDelay - 0.1);
    EXPECT_TRUE(table.indexPathForSelectedRow()) << "deselected too early";
    advance(0.15);
    EXPECT_FALSE(table.indexPathForSelectedRow());
    EXPECT_EQ(navigation->topViewController(), list.get()) << "the list stays until the user goes back";
}

TEST_F(DetailViewConTest, ProtocolIsCopiedIntoTheDataStore)
{
    auto list = showList(DetailViewCon::SelectProtocol, 13, 0);
    tapRow(list->tableView(), {0, 7});
    EXPECT_EQ(DataStore::sharedDataStore().protocol, 7);
}

TEST_F(DetailViewConTest, OnlyTheShiftLightAndUnitModesBroadcastAGaugeChange)
{
    int posts = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        gaugeModifiedNotification, [&](const fnd::Notification&) { ++posts; });
    for (const int mode : {int(DetailViewCon::SelectShiftLightColor), int(DetailViewCon::SelectUnits),
                           int(DetailViewCon::SelectFuelUnits), int(DetailViewCon::SelectResolution)}) {
        auto list = showList(mode, 2);
        tapRow(list->tableView(), {0, 1});
    }
    EXPECT_EQ(posts, 2);
}

class ReportRow : public DetailViewConDelegate {
public:
    void viewWillExit(int row) override { rows.push_back(row); }
    std::vector<int> rows;
};

TEST_F(DetailViewConTest, ReportingModeTellsTheDelegateAndStoresNothing)
{
    const auto delegate = std::make_shared<ReportRow>();
    auto list = showList(DetailViewCon::SelectReportRow, 9, 0);
    list->setDelegate(delegate);
    list->setGaugeIndex(4);
    tapRow(list->tableView(), {0, 5});
    EXPECT_EQ(delegate->rows, std::vector<int>{5});
    EXPECT_EQ(list->gaugeIndex(), 4);

    const Settings before;  // first-run values
    const Settings& after = reloaded().setting();
    EXPECT_EQ(after.archive().root(), before.archive().root());
}

TEST_F(DetailViewConTest, ListWithNoRowCheckedHasACancelButtonReportingMinusOne)
{
    const auto delegate = std::make_shared<ReportRow>();
    show(std::make_shared<ui::ViewController>());
    auto list = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, -1, std::vector<std::string>{"A", "B"},
                                                DetailViewCon::SelectReportRow, "Pick");
    list->setDelegate(delegate);
    push(list);
    const auto cancel = list->navigationItem().leftBarButtonItem();
    ASSERT_NE(cancel, nullptr);
    cancel->sendAction();
    advance(1);
    EXPECT_EQ(delegate->rows, std::vector<int>{-1});
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    auto checked = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, 0, std::vector<std::string>{"A"},
                                                   DetailViewCon::SelectReportRow, "Pick");
    EXPECT_EQ(checked->navigationItem().leftBarButtonItem(), nullptr);
}

TEST_F(DetailViewConTest, AdapterTypesWithoutATransportCannotBePicked)
{
    auto& settings = Manager::sharedManager().setting();
    auto list = showList(DetailViewCon::SelectAdapterType, 5, 0);
    EXPECT_TRUE(list->isRowEnabled(0));
    for (int row = 1; row < 5; ++row) {
        EXPECT_FALSE(list->isRowEnabled(row)) << row;
        tapRow(list->tableView(), {0, row});
        EXPECT_EQ(settings.deviceMode, 0) << row;
        EXPECT_EQ(list->checkedRow(), 0);
    }
    EXPECT_FALSE(list->tableView().dataSource()->titleForFooterInSection(list->tableView(), 0).empty());

    // A type stored by an older version can be changed back to the one that works here.
    settings.deviceMode = 2;
    tapRow(list->tableView(), {0, 0});
    EXPECT_EQ(reloaded().setting().deviceMode, 0);
    EXPECT_FALSE(alertMessage().empty()) << "the new type needs a restart";
}


// Such a delegate closes the list as soon as it hears the choice.
class CloseOnExit : public DetailViewConDelegate {
public:
    explicit CloseOnExit(ui::NavigationController& navigation) : navigation_(navigation) {}
    void viewWillExit(int row) override
    {
        rows.push_back(row);
        navigation_.popViewController(false);
    }
    std::vector<int> rows;

private:
    ui::NavigationController& navigation_;
};

TEST_F(DetailViewConTest, ReportingModeSurvivesADelegateThatClosesTheList)
{
    show(std::make_shared<ui::ViewController>());
    const auto delegate = std::make_shared<CloseOnExit>(*navigation);
    {
        auto list = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, 0,
                                                    std::vector<std::string>{"A", "B", "C"},
                                                    DetailViewCon::SelectReportRow, "Pick");
        list->setDelegate(delegate);
        push(list);
    }
    auto& table = static_cast<DetailViewCon*>(navigation->topViewController())->tableView();
    tapRow(table, {0, 2});
    advance(1);
    EXPECT_EQ(delegate->rows, std::vector<int>{2});
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    // Its own Cancel button, too, and only the list goes.
    push(std::make_shared<ui::ViewController>());
    {
        auto list = std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, -1, std::vector<std::string>{"A"},
                                                    DetailViewCon::SelectReportRow, "Pick");
        list->setDelegate(delegate);
        push(list);
    }
    navigation->topViewController()->navigationItem().leftBarButtonItem()->sendAction();
    advance(1);
    EXPECT_EQ(delegate->rows, (std::vector<int>{2, -1}));
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
}

}  // namespace
