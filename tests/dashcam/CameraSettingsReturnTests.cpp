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

// How closely a movie's frame shows the overlay: over the opaque points of the overlay painted now inside
// `area` (canvas points) whose neighbours `reach` points away are opaque too (inside a shape, not on its
// edge, which the smaller movie blurs), the mean difference of brightness, 0 to 255; -1 when there are too
// few to tell.
double overlayDifference(const movietest::MovieReader::Picture& frame, const ui::Image& overlay, ui::Rect area,
                         int reach)
{
    const auto brightness = [](double r, double g, double b) { return 0.299 * r + 0.587 * g + 0.114 * b; };
    const auto opaque = [&](int x, int y) { return overlay.pixel(x, y).a > 0.9; };
    double sum = 0;
    int count = 0;
    for (int y = static_cast<int>(area.minY()) + 2; y < static_cast<int>(area.maxY()) - 2; ++y)
        for (int x = static_cast<int>(area.minX()) + 2; x < static_cast<int>(area.maxX()) - 2; ++x) {
            if (!(opaque(x, y) && opaque(x - reach, y) && opaque(x + reach, y) && opaque(x, y - reach) &&
                  opaque(x, y + reach)))
                continue;
            const ui::Color c = overlay.pixel(x, y);
            const int mx = std::clamp(static_cast<int>(x * frame.width / overlay.pixelWidth()), 0, frame.width - 1);
            const int my = std::clamp(static_cast<int>(y * frame.height / overlay.pixelHeight()), 0, frame.height - 1);
            const std::uint8_t* m = &frame.rgb[(static_cast<std::size_t>(my) * frame.width + mx) * 3];
            sum += std::abs(brightness(c.r * 255, c.g * 255, c.b * 255) - brightness(m[0], m[1], m[2]));
            ++count;
        }
    return count < 20 ? -1 : sum / count;
}

// A horsepower tile asks the car for engine speed first, then for the engine's reference torque.
TEST_F(CameraSettingsReturnTest, HorsepowerAsksEngineSpeedBeforeTheReferenceTorque)
{
    settings().sensors[16] = horsepowerSensor;
    DataStore::sharedDataStore().setSupportedPIDs(0x60, 1u << 29);  // 0x63, the reference torque
    ASSERT_TRUE(DataStore::sharedDataStore().isService01PIDSupported(0x63));
    show();
    const auto asked = [&](const std::string& request) {
        const auto log = sim.requests();
        return std::find_if(log.begin(), log.end(), [&](const std::string& line) {
                   return line.rfind(request, 0) == 0;
               }) - log.begin();
    };
    ASSERT_TRUE(waitFor([&] { return asked("0163") < static_cast<long>(sim.requests().size()); }));
    EXPECT_LT(asked("010c"), asked("0163"));
    leave();
}

// Journey: the user changes the overlay in the settings, goes back to the camera and records 20 s; the
// movie shows the new overlay, at the camera's rate.
TEST_F(CameraSettingsReturnTest, JourneyTheNewOverlayIsInTheRecordedMovie)
{
    show();
    film(0.3);
    openSettings();
    pickFirstGauge(userData().longNameArr[coolantSensor]);
    flip("G-sensor");
    flip("Time");
    returnToCamera();
    ASSERT_NE(camera->gFView(), nullptr);

    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(window(), button);
    ASSERT_TRUE(camera->isRecording());
    film(20);
    testsupport::tap(window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }, 60));
    ASSERT_EQ(camera->moviesSaved(), 1);

    const OverlayCanvas& canvas = camera->uiElementInput().canvas();
    const ui::Image overlay = camera->uiElementInput().canvas().paint(1);
    movietest::MovieReader movie(camera->pathToMovie());
    ASSERT_TRUE(movie.isOpen());
    const auto frame = movie.lastFrame();
    ASSERT_GT(frame.width, 0);
    // The g-force tile the switch added, left of the two gauge tiles, is in the picture; so are the gauges'
    // faces and needles, thinner lines that the smaller movie blurs more.
    const double gForce = overlayDifference(frame, overlay, canvas.slotRect(2), 2);
    EXPECT_GE(gForce, 0) << "the g-force tile paints nothing opaque";
    EXPECT_LT(gForce, 30);
    for (int slot : {0, 1}) {
        const double difference = overlayDifference(frame, overlay, canvas.slotRect(slot), 1);
        EXPECT_GE(difference, 0) << "slot " << slot << " paints nothing opaque";
        EXPECT_LT(difference, 60) << "slot " << slot << " is not what the movie shows";
    }
    EXPECT_GT(faceCover(0), 0.05);

    // ffprobe reads it as the camera's frame rate over the 20 s.
    const std::string probe = "ffprobe -v error -select_streams v:0 -show_entries stream=avg_frame_rate:format=duration "
                              "-of default=noprint_wrappers=1 '" + camera->pathToMovie().string() + "'";
    FILE* out = popen(probe.c_str(), "r");
    ASSERT_NE(out, nullptr);
    char line[256];
    double rate = 0;
    double duration = 0;
    while (fgets(line, sizeof line, out)) {
        int num = 0;
        int den = 1;
        if (std::sscanf(line, "avg_frame_rate=%d/%d", &num, &den) == 2 && den > 0)
            rate = static_cast<double>(num) / den;
        std::sscanf(line, "duration=%lf", &duration);
    }
    pclose(out);
    EXPECT_NEAR(duration, 20, 1.5);
    EXPECT_GE(rate, 0.8 * settings().frameRate) << "of " << settings().frameRate;
    EXPECT_LE(rate, 1.05 * settings().frameRate);
    leave();
}

}  // namespace
