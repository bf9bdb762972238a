#include <memory>
#include <string>

#include "core/model/RaceTest.h"
#include "performance/AddTrackViewCon.h"
#include "performance/RaceSettViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Paths.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace {

// What the user saves, deletes, chooses or types on the race screens is on disk at once, not only when the
// app quits in order.
class RaceSavingTest : public RaceTest {
protected:
    void show(const std::shared_ptr<ui::ViewController>& screen)
    {
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(std::make_shared<ui::NavigationController>(screen));
        advance(0.5);
    }

    template <typename Record>
    static Record saved(const char* fileName)
    {
        const auto in = fnd::KeyedUnarchiver::fromFile(fnd::Paths::documents() / fileName);
        return in ? Record::fromArchive(*in) : Record{};
    }

    // Types into the text field of a form row and presses return.
    void typeIntoRow(ui::TableView& table, int row, const std::string& text)
    {
        root->window().layoutIfNeeded();
        const auto cell = table.cellForRowAtIndexPath({0, row});
        ASSERT_NE(cell, nullptr);
        auto* field = dynamic_cast<ui::TextField*>(cell->accessoryView().get());
        ASSERT_NE(field, nullptr);
        ASSERT_TRUE(field->becomeFirstResponder());
        field->setText(text);
        field->keyPressed({ui::Key::Return, {}});
        advance(1);
    }

    std::unique_ptr<ui::RootWindow> root;
};

TEST_F(RaceSavingTest, TracksAndTheChosenTrackAreOnDiskAtOnce)
{
    auto form = std::make_shared<AddTrackViewCon>(Lap({at(0, 0), at(0, 30), at(30, 30)}, {50, 60, 70}, 900));
    show(form);
    form->navigationItem().rightBarButtonItem()->sendAction();
    ASSERT_EQ(saved<RaceData>(Manager::raceDataFileName).trackArr.size(), 1u);
    EXPECT_EQ(saved<RaceData>(Manager::raceDataFileName).trackArr[0].trackName, "Track 1");

    Manager::sharedManager().raceData().trackArr.push_back(Track("B", {}, {at(0, 0), at(0, 50)}, 1.5f));
    auto list = std::make_shared<TrackSelectViewCon>();
    show(list);
    list->didSelectRowAtIndexPath(list->tableView(), {0, 2});
    list->viewWillDisappear(false);
    EXPECT_EQ(saved<RaceData>(Manager::raceDataFileName).selectedTrackIndex, 1);

    list->commitEditingStyle(list->tableView(), ui::TableViewCellEditingStyle::Delete, {0, 1});
    const RaceData afterDelete = saved<RaceData>(Manager::raceDataFileName);
    ASSERT_EQ(afterDelete.trackArr.size(), 1u);
    EXPECT_EQ(afterDelete.trackArr[0].trackName, "B");
    EXPECT_EQ(afterDelete.selectedTrackIndex, 0);
}

TEST_F(RaceSavingTest, TypedVehicleDetailsAreOnDiskAtOnce)
{
    auto form = std::make_shared<RaceSettViewController>();
    show(form);
    typeIntoRow(form->tableView(), 0, "Roadster");
    typeIntoRow(form->tableView(), 1, "1998");
    const UserData vehicle = saved<UserData>(Manager::userDataFileName);
    EXPECT_EQ(vehicle.model, "Roadster");
    EXPECT_EQ(vehicle.year, 1998);
}

}  // namespace
