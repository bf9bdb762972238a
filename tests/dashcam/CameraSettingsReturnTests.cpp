// The dash camera after a visit to its settings: it shows what the settings now say, on the screen and in
// the movie it records.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "../platform/media/MovieReader.h"
#include "CameraScreenTest.h"
#include "core/Notifications.h"
#include "core/obd/SensorTable.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/CamSettViewController.h"
#include "dashcam/CameraScreenGeometry.h"
#include "dashcam/CompassView.h"
#include "dashcam/GfxUIElement.h"
#include "performance/GforceView.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "shell/VersionTracking.h"
#include "support/Input.h"

namespace {

class CameraSettingsReturnTest : public CameraViewControllerTest {
protected:
    // The user leaves the camera for its settings.
    void openSettings()
    {
        leave();
        settingsScreen =
            std::make_shared<CamSettViewController>([] { return std::make_shared<TrackSelectViewCon>(); });
        showInNavigation(settingsScreen, 1);
        ui::AlertController::dismissAll();  // the notice it greets with
    }

    // A tap on the switch of an overlay row.
    void flip(const std::string& title)
    {
        ui::TableView& table = settingsScreen->tableView();
        table.layoutIfNeeded();
        for (int row = 0; row < table.numberOfRowsInSection(1); ++row) {
            const auto cell = table.cellForRowAtIndexPath({1, row});
            if (cell && cell->textLabel()->text() == title && cell->accessoryView()) {
                tap(*cell->accessoryView(), 0.5);
                return;
            }
        }
        ADD_FAILURE() << "no switch " << title << " on screen";
    }

    // Gauge 1's sensor, picked from the list its row opens.
    void pickFirstGauge(const std::string& sensorName)
    {
        ASSERT_TRUE(testsupport::tapText(window(), "Gauge 1"));
        advance(1);
        ASSERT_TRUE(testsupport::tapText(window(), sensorName));
        advance(1);
        ui::AlertController::dismissAll();  // the settings' notice, at their every appearance
    }

    // The user goes back to the camera, the same screen as before.
    void returnToCamera()
    {
        ScreenFixture::show(camera, 0.1);
        ui::AlertController::dismissAll();
        film(0.3);
    }

    // How much of a tile's face is drawn (not transparent), 0 to 1, in the strip of faces the overlay paints.
    double faceCover(std::size_t slot) const
    {
        const ui::Image& strip = camera->uiElementInput().canvas().bgImage;
        const double side = camera->uiElementInput().canvas().gaugeWidth();
        const double right = strip.pixelWidth() - side * static_cast<double>(slot);
        int drawn = 0;
        int all = 0;
        for (double y = 2; y < side - 2; y += 3)
            for (double x = right - side + 2; x < right - 2; x += 3, ++all)
                drawn += strip.pixel(static_cast<int>(x), static_cast<int>(y)).a > 0.5 ? 1 : 0;
        return all == 0 ? 0 : static_cast<double>(drawn) / all;
    }

    std::shared_ptr<CamSettViewController> settingsScreen;
};

TEST_F(CameraSettingsReturnTest, TheTilesFacesAndTheSwitchesFollowTheSettingsAtEveryReturn)
{
    show();
    ASSERT_EQ(camera->gaugeArr().size(), 2u);
    const double firstFace = faceCover(0);
    EXPECT_GT(firstFace, 0.05);
    EXPECT_EQ(camera->gFView(), nullptr);
    EXPECT_EQ(camera->timeLabel(), nullptr);

    // Engine speed becomes coolant; the coordinates, the clock, the g-force tile and the compass are turned on.
    openSettings();
    pickFirstGauge(userData().longNameArr[coolantSensor]);
    EXPECT_EQ(settings().sensors[16], coolantSensor);
    for (const char* sw : {"GPS", "Time", "G-sensor", "Compass"})
        flip(sw);
    ASSERT_TRUE(settings().gpsEnabled && settings().displayTimeEnabled && settings().gMeterEnabled &&
                settings().compassEnabled);

    returnToCamera();
    ASSERT_EQ(camera->gaugeArr().size(), 2u);
    EXPECT_EQ(camera->gaugeArr()[0]->labelLabel().text(), userData().shortNameArr[coolantSensor]);
    EXPECT_EQ(camera->gaugeArr()[0]->maxUnit(), userData().maxArr[coolantSensor]);
    EXPECT_GT(faceCover(0), 0.05) << "the coolant tile's face is blank";
    EXPECT_GT(faceCover(1), 0.05) << "the speed tile's face is blank";
    ASSERT_NE(camera->gFView(), nullptr);
    ASSERT_NE(camera->timeLabel(), nullptr);
    ASSERT_NE(camera->coordinatesLabel(), nullptr);
    ASSERT_NE(camera->cView(), nullptr);
    // The clock is on the picture the user sees.
    EXPECT_TRUE(testsupport::shows(window(), camera->timeLabel()->text())) << camera->timeLabel()->text();

    // Another visit turns the clock off again: it goes, and the faces stay (before, every later rebuild lost them).
    openSettings();
    flip("Time");
    returnToCamera();
    EXPECT_EQ(camera->timeLabel(), nullptr);
    EXPECT_GT(faceCover(0), 0.05);
    EXPECT_GT(faceCover(1), 0.05);
    leave();
}

// A sensor's range changed in its editor reaches the tile at the next return.
TEST_F(CameraSettingsReturnTest, AChangedRangeGivesTheTileItsNewScale)
{
    show();
    const int speed = settings().sensors[17];
    leave();
    userData().maxArr[static_cast<std::size_t>(speed)] = 180;
    fnd::NotificationCenter::defaultCenter().post(gaugeModifiedNotification, nullptr);
    returnToCamera();
    EXPECT_EQ(camera->gaugeArr()[1]->maxUnit(), 180);
    EXPECT_EQ(camera->gaugeArr()[1]->maxLabel().text(), "180");
    EXPECT_GT(faceCover(1), 0.05);
    leave();
}

// Throughout the first launch of a version every visit tells how to focus.
TEST_F(CameraSettingsReturnTest, TheFocusHintIsToldAtEveryVisitInAVersionsFirstLaunch)
{
    VersionTracking::track("9.2", "1");
    camera = std::make_shared<CameraViewController>();
    camera->setScanner(link);
    makeWindow();
    ScreenFixture::show(camera, 0.5);
    EXPECT_TRUE(testsupport::shows(window(), "Tap on image to adjust focus"));
    ui::AlertController::dismissAll();
    openSettings();
    ScreenFixture::show(camera, 0.5);
    EXPECT_TRUE(testsupport::shows(window(), "Tap on image to adjust focus"));
    leave();
    VersionTracking::track("9.2", "1");  // the next launch, for the tests after this one
}

// In a landscape window the recording time stays off the tiles, and a tile's unit ends inside the tile.
TEST_F(CameraSettingsReturnTest, TheRecordingTimeAndTheUnitsStayClearOfTheTilesEdges)
{
    ui::Device::current().setScreenSize({844, 390});
    settings().recordMode = 2;
    settings().camGaugeCount = 5;
    settings().gMeterEnabled = true;
    show();
    film(0.3);
    const ui::Rect picture = camerascreen::pictureRect(window().bounds().size, {1280, 720});
    const OverlayCanvas& canvas = camera->uiElementInput().canvas();
    const double rowTop = picture.y() + (canvas.layerWidth() - canvas.gaugeWidth()) / canvas.layerWidth() *
                                            picture.height();
    const auto time = testsupport::frameOfText(window(), "00:00:00");
    ASSERT_TRUE(time);
    EXPECT_LE(time->maxY(), rowTop) << "the recording time is drawn over the tiles";
    for (const auto& tile : camera->gaugeArr()) {
        const ui::Rect units = tile->unitsLabel().frame();
        EXPECT_LE(units.maxY(), tile->bounds().height() - 2) << tile->unitsLabel().text() << " is cut";
    }
    leave();
}

// A pad's top panel keeps a phone's sizes: the coordinates at 18 points, the clock at 14 below them.
TEST_F(CameraSettingsReturnTest, ThePadsTopPanelHasThePhonesSizes)
{
    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize({1024, 768});
    settings().recordMode = 2;
    settings().gpsEnabled = true;
    settings().displayTimeEnabled = true;
    show();
    film(0.3);
    ASSERT_NE(camera->timeLabel(), nullptr);
    ASSERT_NE(camera->coordinatesLabel(), nullptr);
    EXPECT_EQ(camera->coordinatesLabel()->font().pointSize(), 18);
    EXPECT_EQ(camera->timeLabel()->font().pointSize(), 14);
    const double end = camerascreen::overlayEnd(768, 1024, false);
    EXPECT_EQ(camera->timeLabel()->frame(), ui::makeRect(end - 150, 12, 150, 20));
    leave();
}

}  // namespace
