#include <filesystem>

#include "core/model/RaceTest.h"
#include "performance/AddTrackViewCon.h"
#include "performance/LapViewCon.h"
#include "performance/MapViewCon.h"
#include "performance/RaceResViewCon.h"
#include "performance/RaceSettViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "performance/TrackView.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/mail/MailComposer.h"
#include "platform/media/PhotoAlbum.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

namespace {

class RaceResultsTest : public RaceTest {
protected:
    void TearDown() override
    {
        ui::AlertController::dismissAll();
        root.reset();
        mail::MailComposer::setTestRecorder({});
    }

    void show(const std::shared_ptr<ui::ViewController>& screen)
    {
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(std::make_shared<ui::NavigationController>(screen));
        advance(0.5);
    }

    static Lap lap(float time, std::vector<float> speeds = {50, 100})
    {
        std::vector<geo::Location> positions;
        for (std::size_t i = 0; i < speeds.size(); ++i)
            positions.push_back(at(0, 30.0 * static_cast<double>(i)));
        return Lap(positions, speeds, time);
    }

    static Track track(const std::string& name) { return Track(name, {}, {at(0, 0), at(0, 50), at(50, 50)}, 1.5f); }

    std::unique_ptr<ui::RootWindow> root;
};

TEST_F(RaceResultsTest, LapTableRowsGapsAndTotals)
{
    LapViewCon table({lap(754), lap(748), lap(760)}, 88, 2.46f);
    EXPECT_EQ(table.bestLapIndex(), 1);
    EXPECT_EQ(table.bestLapStr(), "01:14.8");
    EXPECT_EQ(table.getGapStr(0), "+00.6");
    EXPECT_EQ(table.getGapStr(1), "00.0");
    EXPECT_EQ(table.getGapStr(2), "+01.2");
    EXPECT_EQ(table.totalTimeStr(), "00 h 03 min");
    EXPECT_EQ(table.rowTexts(0), (std::vector<std::string>{"1", "01:15.4", "+00.6", "75 km/h"}));
    EXPECT_EQ(table.rowHighlight(1), ui::Color::rgb255(13, 75, 177, 0.5));
    EXPECT_EQ(table.rowHighlight(0), ui::Color::rgb255(180, 0, 45));
    EXPECT_EQ(table.distanceText(), "2.5 km");

    LapViewCon ties({lap(700), lap(700), lap(1313)}, 0, 0);
    EXPECT_EQ(ties.bestLapIndex(), 0);
    EXPECT_EQ(ties.getGapStr(1), "00.0");
    EXPECT_EQ(ties.getGapStr(2), "+01.3");

    userData().unitsArr[9] = 0;
    LapViewCon imperial({lap(754)}, 50, 1.0f);
    EXPECT_EQ(imperial.distanceText(), "1.0 mil");
    EXPECT_EQ(imperial.averageSpeedText(), "50 mph");
}

TEST_F(RaceResultsTest, LapTableShowsItsRows)
{
    auto table = std::make_shared<LapViewCon>(std::vector<Lap>{lap(754), lap(748)}, 88, 2.46f);
    show(table);
    ASSERT_NE(table->table(), nullptr);
    EXPECT_EQ(table->table()->numberOfRowsInSection(0), 2);
}

TEST_F(RaceResultsTest, ResultsListTheVehicleAndTheTenFigures)
{
    userData().model = "Roadster";
    userData().year = 2019;
    userData().unitsArr[9] = 0;
    auto results = std::make_shared<RaceResViewCon>(
        std::vector<float>{120, 6500, 147.5f, 0.4f, 9, 15, 11.6f, 16.4f, 3000, 80}, ui::TableViewStyle::Grouped);
    show(results);
    EXPECT_EQ(results->unitsArr()[0], "mph");
    ui::TableView& table = results->tableView();
    auto vehicle = table.cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(vehicle);
    EXPECT_EQ(vehicle->detailTextLabel()->text(), "Roadster");
    EXPECT_EQ(table.cellForRowAtIndexPath({0, 1})->detailTextLabel()->text(), "2019");
    EXPECT_EQ(table.cellForRowAtIndexPath({1, 2})->detailTextLabel()->text(), "147.5 HP");
}

TEST_F(RaceResultsTest, ExportMailsAOnePagePdfOfTheWholeTable)
{
    auto results = std::make_shared<RaceResViewCon>(std::vector<float>(10, 1.0f), ui::TableViewStyle::Grouped);
    show(results);
    ui::TableView& table = results->tableView();
    const ui::Rect visible = table.bounds();
    table.layoutIfNeeded();
    const ui::Image whole = results->tableImage();
    EXPECT_GE(whole.size().height, table.contentSize().height - 1);
    EXPECT_EQ(table.bounds().size, visible.size);  // put back afterwards

    std::vector<mail::MailMessage> sent;
    mail::MailComposer::setTestRecorder([&](const mail::MailMessage& message, const std::string&) {
        sent.push_back(message);
        return mail::MailComposeResult::Sent;
    });
    results->shareResultsByEmail();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].attachments.size(), 1u);
    EXPECT_EQ(sent[0].attachments[0].fileName, "Racetrack results.pdf");
    EXPECT_EQ(sent[0].attachments[0].mimeType, "application/pdf");
    const std::string& pdf = sent[0].attachments[0].data;
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(fnd::Paths::documents() / "Racetrack results.pdf"));
}

TEST_F(RaceResultsTest, SavesTheResultsImageToTheAlbum)
{
    auto results = std::make_shared<RaceResViewCon>(std::vector<float>(10, 2.0f), ui::TableViewStyle::Grouped);
    show(results);
    const auto before = std::filesystem::exists(media::PhotoAlbum::picturesFolder())
                            ? std::distance(std::filesystem::directory_iterator(media::PhotoAlbum::picturesFolder()),
                                            std::filesystem::directory_iterator())
                            : 0;
    results->saveResultsToCameraRoll();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil(
        [&] {
            return std::filesystem::exists(media::PhotoAlbum::picturesFolder()) &&
                   std::distance(std::filesystem::directory_iterator(media::PhotoAlbum::picturesFolder()),
                                 std::filesystem::directory_iterator()) > before;
        },
        10));
}

TEST_F(RaceResultsTest, TrackListSelectsAndDeletesConsistently)
{
    auto& race = Manager::sharedManager().raceData();
    auto empty = std::make_shared<TrackSelectViewCon>();
    show(empty);
    EXPECT_EQ(empty->tableView().numberOfRowsInSection(0), 0);
    EXPECT_FALSE(empty->noTracksLabel().isHidden());

    race.trackArr = {track("A"), track("B"), track("C")};
    race.selectedTrackIndex = -1;
    auto list = std::make_shared<TrackSelectViewCon>();
    show(list);
    ui::TableView& table = list->tableView();
    EXPECT_EQ(table.numberOfRowsInSection(0), 4);
    EXPECT_EQ(list->index(), 0);
    list->didSelectRowAtIndexPath(table, {0, 3});  // track C
    EXPECT_EQ(list->index(), 3);
    // Deleting a track before the checked one keeps the check on C.
    list->commitEditingStyle(table, ui::TableViewCellEditingStyle::Delete, {0, 1});
    EXPECT_EQ(race.trackArr.size(), 2u);
    EXPECT_EQ(race.trackArr[0].trackName, "B");
    EXPECT_EQ(list->index(), 2);
    EXPECT_EQ(race.selectedTrackIndex, 1);
    // Deleting the checked track falls back to "New track".
    list->commitEditingStyle(table, ui::TableViewCellEditingStyle::Delete, {0, 2});
    EXPECT_EQ(list->index(), 0);
    EXPECT_EQ(race.selectedTrackIndex, -1);
    // Deleting the only track empties the list.
    list->commitEditingStyle(table, ui::TableViewCellEditingStyle::Delete, {0, 1});
    EXPECT_TRUE(race.trackArr.empty());
    EXPECT_EQ(table.numberOfRowsInSection(0), 0);
    EXPECT_EQ(race.selectedTrackIndex, -1);

    race.trackArr = {track("A"), track("B")};
    auto again = std::make_shared<TrackSelectViewCon>();
    show(again);
    again->didSelectRowAtIndexPath(again->tableView(), {0, 2});
    again->viewWillDisappear(false);
    EXPECT_EQ(race.selectedTrackIndex, 1);
}

TEST_F(RaceResultsTest, TrackFormSavesANamedTrackAndRefusesAnEmptyLap)
{
    auto& race = Manager::sharedManager().raceData();
    race.trackArr = {track("A"), track("B")};
    auto form = std::make_shared<AddTrackViewCon>(lap(900, {40, 60, 80}));
    show(form);
    EXPECT_EQ(form->trackname(), "Track 3");
    ASSERT_TRUE(form->saveTrack());
    ASSERT_EQ(race.trackArr.size(), 3u);
    EXPECT_EQ(race.trackArr[2].trackName, "Track 3");
    EXPECT_EQ(race.trackArr[2].trackDistance, 0);
    EXPECT_EQ(race.trackArr[2].trackCoordinateArr.size(), 3u);
    EXPECT_FALSE(race.trackArr[2].trackImgData.empty());

    auto nothing = std::make_shared<AddTrackViewCon>(Lap({}, {}, 100));
    show(nothing);
    EXPECT_FALSE(nothing->saveTrack());
    EXPECT_EQ(race.trackArr.size(), 3u);
    EXPECT_TRUE(ui::AlertController::visible());
}

TEST_F(RaceResultsTest, LapMapOpensOnTheTrackViewAndFollowsTheChosenLap)
{
    std::vector<Lap> laps{lap(700, {10, 20, 30}), lap(710, {40, 50}), lap(720, {60, 70, 80, 90})};
    auto mapScreen = std::make_shared<MapViewCon>(laps);
    show(mapScreen);
    ASSERT_NE(mapScreen->segments(), nullptr);
    EXPECT_EQ(mapScreen->segments()->selectedSegmentIndex(), 2);
    EXPECT_EQ(mapScreen->segments()->titleForSegment(1), "Sattelite");
    EXPECT_FALSE(mapScreen->tView()->isHidden());
    EXPECT_EQ(mapScreen->tView()->lapNumber(), 1);
    ASSERT_TRUE(mapScreen->polyline());
    EXPECT_EQ(mapScreen->polyline()->pointCount(), 3u);
    mapScreen->setMapType(0);
    EXPECT_TRUE(mapScreen->tView()->isHidden());
    EXPECT_FALSE(mapScreen->mapView()->isHidden());
    mapScreen->showLap(2);
    EXPECT_EQ(mapScreen->tView()->lapNumber(), 3);
    EXPECT_EQ(mapScreen->polyline()->pointCount(), 4u);
    EXPECT_EQ(mapScreen->tView()->hues().size(), 4u);
    // A long lap is kept whole.
    std::vector<float> many(3500, 80.0f);
    mapScreen->drawLineForlap(lap(9000, many));
    EXPECT_EQ(mapScreen->polyline()->pointCount(), 3500u);
    // A lap without positions draws no route.
    auto noGps = std::make_shared<MapViewCon>(std::vector<Lap>{Lap({}, {50}, 700)});
    show(noGps);
    EXPECT_FALSE(noGps->polyline());
}

TEST_F(RaceResultsTest, SettingsKeepShiftAssistBehindEngineSpeed)
{
    auto form = std::make_shared<RaceSettViewController>();
    show(form);
    settings().rpmEnabled = true;
    settings().shiftAssistEnabled = true;
    form->switchChanged(0, false);
    EXPECT_FALSE(settings().rpmEnabled);
    EXPECT_FALSE(settings().shiftAssistEnabled);
    ui::AlertController::dismissAll();
    form->switchChanged(1, true);
    EXPECT_FALSE(settings().shiftAssistEnabled);
    ASSERT_TRUE(ui::AlertController::visible());
    ui::AlertController::dismissAll();
    form->switchChanged(0, true);
    form->switchChanged(1, true);
    EXPECT_TRUE(settings().shiftAssistEnabled);
    form->pickOne(1);
    EXPECT_EQ(settings().hpMode, 1);
    EXPECT_EQ(RaceSettViewController::shiftLightColorName(7), "Green");
}

}  // namespace
