#include <algorithm>
#include <string>
#include <vector>

#include "ShellScreens.h"
#include "core/Notifications.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/editors/SensorSelectViewController.h"

using namespace shelltests;

namespace {

class Dismissals : public SensorSelectViewControllerDelegate {
public:
    void viewWillDismiss(SensorSelectViewController& picker) override
    {
        ++count;
        picked = picker.checkedIndexPath();
    }
    int count = 0;
    std::optional<ui::IndexPath> picked;
};

class SensorSelectTest : public ShellTest {
protected:
    static void addCustomPids(int count)
    {
        for (int i = 0; i < count; ++i) {
            Pid pid;
            pid.lName = "Custom " + std::to_string(i);
            Manager::sharedManager().userData().addPid(pid);
        }
    }
    std::shared_ptr<SensorSelectViewController> open(int row, int mode, bool gForce, bool done = false)
    {
        show(std::make_shared<ui::ViewController>());
        auto picker = std::make_shared<SensorSelectViewController>(ui::TableViewStyle::Grouped, row, mode, gForce, done);
        picker->setDelegate(delegate);
        push(picker);
        return picker;
    }
    std::shared_ptr<Dismissals> delegate = std::make_shared<Dismissals>();
};

struct Layout {
    int customPids;
    bool gForce;
    std::vector<int> rows;                            // per section
    std::vector<std::pair<ui::IndexPath, int>> map;  // index path -> SensorIndex
};

TEST_F(SensorSelectTest, SectionsAndIndexMappingWithAndWithoutCustomPids)
{
    const std::vector<Layout> layouts = {
        {0, false, {4, 95}, {{{0, 0}, 95}, {{0, 3}, 98}, {{1, 0}, 0}, {{1, 94}, 94}}},
        {0, true, {6, 95}, {{{0, 4}, 99}, {{0, 5}, 100}, {{1, 12}, 12}}},
        {2, false, {2, 4, 95}, {{{0, 0}, 101}, {{0, 1}, 102}, {{1, 0}, 95}, {{1, 3}, 98}, {{2, 8}, 8}}},
        {1, true, {1, 6, 95}, {{{0, 0}, 101}, {{1, 5}, 100}, {{2, 94}, 94}}},
    };
    for (const auto& layout : layouts) {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        addCustomPids(layout.customPids);
        auto picker = open(-1, SensorSelectViewController::singleChoice, layout.gForce);
        auto& table = picker->tableView();
        ASSERT_EQ(table.numberOfSections(), static_cast<int>(layout.rows.size()));
        for (std::size_t s = 0; s < layout.rows.size(); ++s)
            EXPECT_EQ(table.numberOfRowsInSection(static_cast<int>(s)), layout.rows[s]) << "section " << s;
        for (const auto& [path, sensor] : layout.map) {
            EXPECT_EQ(picker->sensorIndexAt(path), sensor);
            EXPECT_EQ(picker->indexPathForSensor(sensor), path) << sensor;
        }
        if (!layout.gForce) {
            EXPECT_FALSE(picker->indexPathForSensor(99)) << "g-force not offered";
            EXPECT_FALSE(picker->indexPathForSensor(100)) << "gear not offered";
        }
        EXPECT_FALSE(picker->indexPathForSensor(101 + layout.customPids));
    }
}

TEST_F(SensorSelectTest, SingleChoiceChecksClosesAndTellsTheOpener)
{
    addCustomPids(1);
    auto picker = open(8, SensorSelectViewController::singleChoice, false);
    EXPECT_EQ(picker->checkedIndexPath(), (ui::IndexPath{2, 8}));
    EXPECT_EQ(cellAt(picker->tableView(), {2, 8})->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);

    tapRow(picker->tableView(), {1, 2});
    advance(1);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(delegate->count, 1);
    EXPECT_EQ(delegate->picked, (ui::IndexPath{1, 2}));
    EXPECT_EQ(picker->checkedSensorIndex(), 97);
}

TEST_F(SensorSelectTest, GoingBackWithoutAChoiceStillTellsTheOpener)
{
    auto picker = open(-1, SensorSelectViewController::singleChoice, true);
    EXPECT_FALSE(picker->checkedIndexPath());
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(delegate->count, 1);
    EXPECT_FALSE(delegate->picked);
}

TEST_F(SensorSelectTest, MultipleChoiceTogglesMembershipOfTheGaugeList)
{
    int posts = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        gaugeModifiedNotification, [&](const fnd::Notification&) { ++posts; });
    Manager::sharedManager().setting().gaugeListArr = {8, 9, 1};
    auto picker = open(-1, SensorSelectViewController::multipleChoice, false, true);
    auto& table = picker->tableView();
    EXPECT_EQ(cellAt(table, {1, 9})->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(cellAt(table, {1, 2})->accessoryType(), ui::TableViewCellAccessoryType::None);

    tapRow(table, {1, 9});   // on the list: removed
    tapRow(table, {0, 3});   // battery voltage: appended at the end
    tapRow(table, {1, 2});
    EXPECT_EQ(reloaded().setting().gaugeListArr, (std::vector<int>{8, 1, 98, 2}));
    EXPECT_EQ(navigation->topViewController(), picker.get()) << "multiple choice stays open";
    EXPECT_EQ(posts, 3);

    const auto done = picker->navigationItem().rightBarButtonItem();
    ASSERT_NE(done, nullptr);
    done->sendAction();
    advance(1);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(delegate->count, 1);
}

}  // namespace
