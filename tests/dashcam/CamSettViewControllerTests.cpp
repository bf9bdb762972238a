#include <memory>

#include "DashcamTest.h"
#include "core/model/Pid.h"
#include "dashcam/CamSettViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Window.h"
#include "support/Input.h"
#include "support/WindowFixture.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "shell/DetailViewCon.h"
#include "shell/TableLook.h"

namespace {

class CamSettViewControllerTest : public DashcamTest, protected testsupport::WindowFixture {
protected:
    void TearDown() override
    {
        ui::AlertController::dismissAll();
        closeWindow();
    }

    std::shared_ptr<CamSettViewController> showSettings()
    {
        makeWindow();
        auto screen = std::make_shared<CamSettViewController>([] { return std::make_shared<TrackSelectViewCon>(); });
        showInNavigation(screen, 1);
        // It greets with a notice each time it appears.
        const auto notice = ui::AlertController::visible();
        EXPECT_TRUE(notice && notice->title() == "Attention");
        ui::AlertController::dismissAll();
        return screen;
    }

    void settle()
    {
        advance(1);
        root->window().layoutIfNeeded();
        advance(1);
        ui::AlertController::dismissAll();  // the notice of each return to the screen
    }

    static std::vector<std::string> titles(const FormSection& section)
    {
        std::vector<std::string> out;
        for (const FormRow& row : section.rows)
            out.push_back(row.title);
        return out;
    }
};

TEST_F(CamSettViewControllerTest, RowsFollowRaceModeAndGaugeCount)
{
    settings().camGaugeCount = 3;
    settings().recordMode = 1;
    settings().sensors[16] = 12;
    auto screen = showSettings();
    const auto& camera = screen->sections().at(0);
    EXPECT_EQ(titles(camera), (std::vector<std::string>{"Resolution", "Framerate", "Race mode", "Gauge count",
                                                        "Gauge 1", "Gauge 2", "Gauge 3"}));
    EXPECT_EQ(camera.rows[0].value, "HQ 640x480");
    EXPECT_EQ(camera.rows[3].value, "3 Gauges");
    EXPECT_EQ(camera.rows[4].value, DataStore::sharedDataStore().sensorLabelArr[12]);
    EXPECT_EQ(titles(screen->sections().at(1)), (std::vector<std::string>{"GPS", "Time", "G-sensor", "Map", "Compass"}));

    // Race mode adds the track row at once.
    camera.rows[2].toggled(true);
    EXPECT_TRUE(settings().isRaceMode);
    screen->reloadForm();
    const auto& raced = screen->sections().at(0);
    ASSERT_EQ(raced.rows.size(), 8u);
    EXPECT_EQ(raced.rows[3].title, "Select race track");
    EXPECT_EQ(raced.rows[3].value, "No track selected");
    raced.rows[3].action();
    advance(1);
    EXPECT_TRUE(dynamic_cast<TrackSelectViewCon*>(navigation->topViewController()));
}

// The track list opened from the row goes back by its Done button, keeping the choice.
TEST_F(CamSettViewControllerTest, TheTrackListsDoneGoesBack)
{
    settings().isRaceMode = true;
    Track oval;
    oval.trackName = "Oval";
    Manager::sharedManager().raceData().trackArr.push_back(oval);
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    auto screen = showSettings();
    ui::TableView& table = screen->tableView();
    table.layoutIfNeeded();
    auto trackRow = table.cellForRowAtIndexPath({0, 3});
    ASSERT_TRUE(trackRow);
    tap(*trackRow);
    advance(1);
    auto* list = dynamic_cast<TrackSelectViewCon*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->index(), 1);

    const auto done = list->navigationItem().rightBarButtonItem();
    ASSERT_TRUE(done);
    ui::View* doneView = navigation->navigationBar().viewForItem(*done);
    ASSERT_NE(doneView, nullptr);
    tap(*doneView);
    settle();
    EXPECT_EQ(navigation->topViewController(), screen.get());
    EXPECT_EQ(Manager::sharedManager().raceData().selectedTrackIndex, 0);
    EXPECT_EQ(screen->sections().at(0).rows[3].value, "Oval");
}

// A tap on a row of the pushed track list picks the row under the finger, below the navigation bar.
TEST_F(CamSettViewControllerTest, ATapOnATrackListRowPicksThatRow)
{
    settings().isRaceMode = true;
    for (const char* name : {"Oval", "Hill climb"}) {
        Track track;
        track.trackName = name;
        Manager::sharedManager().raceData().trackArr.push_back(track);
    }
    ui::Device::current().setScreenSize({390, 844});  // a phone with a notch: the bar sits lower
    auto screen = showSettings();
    ASSERT_TRUE(testsupport::tapText(root->window(), "Select race track"));
    settle();
    auto* list = dynamic_cast<TrackSelectViewCon*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->index(), 0);

    ASSERT_TRUE(testsupport::tapText(root->window(), "Oval"));
    EXPECT_EQ(list->index(), 1);
    ASSERT_TRUE(testsupport::tapText(root->window(), "Hill climb"));
    EXPECT_EQ(list->index(), 2);
    ASSERT_TRUE(testsupport::tapText(root->window(), "New track"));
    EXPECT_EQ(list->index(), 0);
}

TEST_F(CamSettViewControllerTest, TheMapSwitchShowsAndWritesTheMapSetting)
{
    settings().mapEnabled = true;
    settings().compassEnabled = false;
    auto screen = showSettings();
    const auto& overlay = screen->sections().at(1);
    EXPECT_TRUE(overlay.rows[3].on);
    EXPECT_FALSE(overlay.rows[4].on);
    overlay.rows[3].toggled(false);
    EXPECT_FALSE(settings().mapEnabled);
    EXPECT_FALSE(settings().compassEnabled);
    screen->sections().at(1).rows[4].toggled(true);
    EXPECT_TRUE(settings().compassEnabled);
    EXPECT_FALSE(settings().mapEnabled);

    // Saved at once.
    Manager::resetForTesting();
    EXPECT_TRUE(settings().compassEnabled);
}

// A gauge row names its sensor by the sensor table's label, not by the short name the user gave it; the
// chosen race track reads in the theme's value colour, where the other values take the accent.
TEST_F(CamSettViewControllerTest, GaugeRowsShowTheSensorsLabelAndTheTrackTheThemesValueColour)
{
    const int airFlow = 12;
    settings().camGaugeCount = 1;
    settings().sensors[16] = airFlow;
    settings().isRaceMode = true;
    userData().shortNameArr[airFlow] = "MAF";
    Track oval;
    oval.trackName = "Oval";
    Manager::sharedManager().raceData().trackArr.push_back(oval);
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    auto screen = showSettings();
    const std::string label = DataStore::sharedDataStore().sensorLabelArr[airFlow];
    ASSERT_NE(label, "MAF");
    EXPECT_TRUE(testsupport::shows(root->window(), label)) << label;
    EXPECT_FALSE(testsupport::shows(root->window(), "MAF"));

    ui::TableView& table = screen->tableView();
    table.layoutIfNeeded();
    const auto track = table.cellForRowAtIndexPath({0, 3});
    const auto resolution = table.cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(track && resolution);
    ASSERT_EQ(track->detailTextLabel()->text(), "Oval");
    EXPECT_EQ(track->detailTextLabel()->textColor(), TableLook::current().detail);
    EXPECT_EQ(resolution->detailTextLabel()->textColor(), TableLook::accent());
}

TEST_F(CamSettViewControllerTest, ResolutionsByMachineAndOutOfRangeModes)
{
    EXPECT_EQ(CamSettViewController::resolutionsFor("iPhone7,2").back(), "FHD 1080p");
    EXPECT_EQ(CamSettViewController::resolutionsFor("iPhone7,2").size(), 4u);
    EXPECT_EQ(CamSettViewController::resolutionsFor("x86_64").size(), 5u);
    EXPECT_EQ(CamSettViewController::gaugeCountText(6), "");

    auto screen = showSettings();
    screen->sections().at(0).rows[0].action();
    advance(1);
    auto* picker = dynamic_cast<DetailViewCon*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->selectMode(), DetailViewCon::SelectResolution);
    picker->didSelectRowAtIndexPath(picker->tableView(), {0, 3});
    EXPECT_EQ(settings().recordMode, 3);
}

TEST_F(CamSettViewControllerTest, TheSliderStoresTheFrameRate)
{
    auto screen = showSettings();
    screen->tableView().reloadData();
    root->window().layoutIfNeeded();
    ASSERT_NE(screen->frameSlider(), nullptr);
    screen->sliderAction(30.9f);
    EXPECT_EQ(settings().frameRate, 30);
    screen->sliderAction(17.5f);
    EXPECT_EQ(settings().frameRate, 17);
    EXPECT_EQ(screen->frameLabel()->text(), "17");
}

TEST_F(CamSettViewControllerTest, PickingASensorStoresItsIndex)
{
    Pid custom;
    custom.lName = "Oil pressure";
    for (int i = 0; i < 3; ++i)
        userData().pids.push_back(custom);
    auto screen = showSettings();
    screen->loadSensrView(17);
    settle();
    auto* picker = dynamic_cast<SensorSelectViewController*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    picker->didSelectRowAtIndexPath(picker->tableView(), {1, 0});  // the first calculated sensor
    settle();
    EXPECT_EQ(settings().sensors[17], 95);

    screen->loadSensrView(18);
    settle();
    picker = dynamic_cast<SensorSelectViewController*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    picker->didSelectRowAtIndexPath(picker->tableView(), {0, 2});  // the third custom PID
    settle();
    EXPECT_EQ(settings().sensors[18], 103);
    EXPECT_EQ(screen->sections().at(0).rows[6].value, "Oil pressure");  // gauge 3
}

}  // namespace
