// The dash camera after a visit to its settings: it shows what the settings now say, on the screen and in
// the movie it records.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
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
#include "platform/foundation/Date.h"
#include "platform/ui/Context.h"
#include "platform/ui/NavigationController.h"
#include "shell/AppScreens.h"
#include "shell/VersionTracking.h"
#include "shell/app/ShellAppTest.h"
#include "support/Input.h"

namespace {

// The switch of the dash camera settings' overlay row that reads `title`, when it is on screen.
ui::View* overlaySwitch(CamSettViewController& screen, const std::string& title)
{
    ui::TableView& table = screen.tableView();
    table.layoutIfNeeded();
    for (int row = 0; row < table.numberOfRowsInSection(1); ++row) {
        const auto cell = table.cellForRowAtIndexPath({1, row});
        if (cell && cell->textLabel()->text() == title && cell->accessoryView())
            return cell->accessoryView().get();
    }
    return nullptr;
}

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
        ui::View* shown = overlaySwitch(*settingsScreen, title);
        ASSERT_NE(shown, nullptr) << "no switch " << title << " on screen";
        tap(*shown, 0.5);
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

// The camera and its settings as the application offers them: a menu entry, and a row of the settings
// screen; the car's coolant at a temperature of its own.
class CameraJourney : public ShellAppTest {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        media::CaptureDevice::configure("synthetic", "synthetic");
        settings().recordMode = 0;
        settings().camGaugeCount = 2;
        sim.updateCar([](elmsim::CarState& car) { car.coolant = coolant; });
    }

    ui::Window& w() { return window->window(); }
    std::string shown() { return ::testing::PrintToString(testsupport::texts(w())); }

    bool tapOn(const std::string& text)
    {
        const bool tapped = testsupport::tapText(w(), text);
        advance(1);
        return tapped;
    }

    // The list is scrolled on until `text` shows, then tapped.
    bool scrollToAndTap(const std::string& text)
    {
        const ui::Rect b = w().bounds();
        for (int i = 0; i < 8 && !testsupport::shows(w(), text); ++i) {
            testsupport::drag(w(), {b.midX(), b.maxY() - 60}, {b.midX(), b.midY()}, 0.6, 12);
            advance(2);
        }
        return tapOn(text);
    }

    // A notice greeting the user is read and put away.
    void answerNotice()
    {
        if (const auto notice = ui::AlertController::visible()) {
            ASSERT_TRUE(tapOn(notice->actionTitles().front())) << shown();
        }
    }

    void openFromTheMenu(const std::string& entry)
    {
        swipe(10, w().bounds().width() * 0.7, w().bounds().height() / 2);
        advance(1);
        ASSERT_TRUE(tapOn(entry)) << shown();
        answerNotice();
    }

    // A tap on the switch of the dash camera settings' row that reads `title`.
    void flip(const std::string& title)
    {
        auto& stack = dynamic_cast<ui::NavigationController&>(app->rootController()->selectedViewController());
        auto* camSettings = dynamic_cast<CamSettViewController*>(stack.topViewController());
        ASSERT_NE(camSettings, nullptr) << shown();
        ui::View* shownSwitch = overlaySwitch(*camSettings, title);
        ASSERT_NE(shownSwitch, nullptr) << "no switch " << title << " on screen";
        tap(*shownSwitch);
        advance(0.5);
    }

    static constexpr int coolant = 87;
};

// One value for each pixel of the frame in `box` (overlay points, shown `scale` times as large each way),
// row by row: `valueAt(mx, my, inside)` is given the pixel and whether the frame holds it.
std::vector<double> perFramePixel(const movietest::MovieReader::Picture& frame, ui::Rect box, ui::Size scale,
                                  const std::function<double(int, int, bool)>& valueAt)
{
    std::vector<double> values;
    for (int my = static_cast<int>(std::ceil(box.minY() * scale.height)); my < box.maxY() * scale.height - 1; ++my)
        for (int mx = static_cast<int>(std::ceil(box.minX() * scale.width)); mx < box.maxX() * scale.width - 1; ++mx)
            values.push_back(valueAt(mx, my, mx < frame.width && my < frame.height));
    return values;
}

// How much of each such pixel a text's glyphs cover (-1 outside the frame): `glyphs` is the text alone on a
// clear box the size of `box`.
std::vector<double> coverInFrame(const movietest::MovieReader::Picture& frame, const ui::Image& glyphs, ui::Rect box,
                                 ui::Size scale)
{
    const double across = glyphs.pixelWidth() / box.width();
    return perFramePixel(frame, box, scale, [&](int mx, int my, bool inside) {
        double sum = 0;
        int count = 0;
        for (double y = my / scale.height; y < (my + 1) / scale.height; y += 1 / across)
            for (double x = mx / scale.width; x < (mx + 1) / scale.width; x += 1 / across, ++count)
                sum += glyphs.pixel(static_cast<int>((x - box.minX()) * across),
                                    static_cast<int>((y - box.minY()) * across)).a;
        return inside ? sum / std::max(count, 1) : -1;
    });
}

// The frame's brightness over the same pixels.
std::vector<double> brightnessInFrame(const movietest::MovieReader::Picture& frame, ui::Rect box, ui::Size scale)
{
    return perFramePixel(frame, box, scale, [&](int mx, int my, bool inside) {
        if (!inside)
            return 0.0;
        const std::uint8_t* m = &frame.rgb[(static_cast<std::size_t>(my) * frame.width + mx) * 3];
        return 0.299 * m[0] + 0.587 * m[1] + 0.114 * m[2];
    });
}

// The mean brightness where `a` covers a pixel and `b` hardly, less that where `b` covers and `a` hardly.
double brighterUnder(const std::vector<double>& brightness, const std::vector<double>& a, const std::vector<double>& b)
{
    double onA = 0;
    double onB = 0;
    int countA = 0;
    int countB = 0;
    for (std::size_t i = 0; i < brightness.size(); ++i) {
        if (a[i] > 0.5 && b[i] >= 0 && b[i] < 0.25) {
            onA += brightness[i];
            ++countA;
        } else if (b[i] > 0.5 && a[i] >= 0 && a[i] < 0.25) {
            onB += brightness[i];
            ++countB;
        }
    }
    return countA == 0 || countB == 0 ? 0 : onA / countA - onB / countB;
}

// The frame shows one of `expected` (each right at its moment) where `glyphsOf` draws a text, not any of
// `wrong`: over the pixels that tell each wrong text from the expected one, the frame follows the expected
// one's glyphs (brighter or darker than what is around them, as the text is drawn).
void expectFrameShows(const movietest::MovieReader::Picture& frame, const std::vector<std::string>& expected,
                      const std::vector<std::string>& wrong, ui::Rect box, ui::Size scale,
                      const std::function<ui::Image(const std::string&)>& glyphsOf)
{
    const std::vector<double> brightness = brightnessInFrame(frame, box, scale);
    const auto follows = [&](const std::string& right, const std::string& other) {
        const std::vector<double> glyphs = coverInFrame(frame, glyphsOf(right), box, scale);
        std::vector<double> around(glyphs.size());
        std::transform(glyphs.begin(), glyphs.end(), around.begin(), [](double c) { return c < 0 ? c : 1 - c; });
        const double polarity = brighterUnder(brightness, glyphs, around) < 0 ? -1 : 1;
        return polarity * brighterUnder(brightness, glyphs, coverInFrame(frame, glyphsOf(other), box, scale));
    };
    for (const std::string& other : wrong) {
        double best = -1000;
        for (const std::string& right : expected)
            best = std::max(best, follows(right, other));
        EXPECT_GT(best, 5) << "the movie shows " << other << " as much as " << expected.front();
    }
}

// A moment as the camera's clock shows it.
std::string clockText(fnd::Date date)
{
    const auto t = static_cast<std::time_t>(date.secondsSince1970);
    std::tm local{};
    localtime_r(&t, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y %m %d-%H:%M %p", &local);
    return text;
}

// Journey: from the menu to the dash camera's settings, where the user puts the coolant on the first tile
// and the g-force tile and the clock on; back to the camera, 20 s recorded. The movie shows the coolant
// the car reported and the time of day, at the camera's rate.
TEST_F(CameraJourney, TheNewOverlayShowsTheCarsValueAndTheTimeInTheRecordedMovie)
{
    AppScreens screens;
    screens.menu.push_back({"Dash Camcorder", [] { return std::make_shared<CameraViewController>(); }});
    screens.settings.push_back({"Dashcam settings", [] {
                                    return std::make_shared<CamSettViewController>(
                                        [] { return std::make_shared<TrackSelectViewCon>(); });
                                }});
    launchApp(std::move(screens), AdapterAddress{"127.0.0.1", sim.port()});
    ASSERT_TRUE(waitFor([] { return link().isConnected(); }));
    advance(1);
    answerNotice();

    ASSERT_NO_FATAL_FAILURE(openFromTheMenu("Settings"));
    ASSERT_TRUE(scrollToAndTap("Dashcam settings")) << shown();
    answerNotice();
    ASSERT_TRUE(tapOn("Gauge 1")) << shown();
    ASSERT_TRUE(tapOn(Manager::sharedManager().userData().longNameArr[coolantSensor])) << shown();
    answerNotice();
    flip("G-sensor");
    flip("Time");
    ASSERT_TRUE(settings().gMeterEnabled && settings().displayTimeEnabled);
    ASSERT_NO_FATAL_FAILURE(openFromTheMenu("Dash Camcorder"));
    auto* camera = dynamic_cast<CameraViewController*>(app->rootController()->visibleFeatureScreen());
    ASSERT_NE(camera, nullptr) << shown();
    ASSERT_NE(camera->gFView(), nullptr);
    ASSERT_NE(camera->timeLabel(), nullptr);

    const ui::Point button = camera->buttonView().convertPoint(camera->buttonView().bounds().center(), nullptr);
    testsupport::tap(w(), button);
    ASSERT_TRUE(camera->isRecording());
    CameraViewControllerTest::film(20);
    const fnd::Date end = fnd::Date::now();
    testsupport::tap(w(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }, 60));
    ASSERT_EQ(camera->moviesSaved(), 1);

    OverlayCanvas& canvas = camera->uiElementInput().canvas();
    const ui::Image overlay = canvas.paint(1);
    movietest::MovieReader movie(camera->pathToMovie());
    ASSERT_TRUE(movie.isOpen());
    const auto frame = movie.lastFrame();
    ASSERT_GT(frame.width, 0);
    const ui::Size scale{static_cast<double>(frame.width) / overlay.pixelWidth(),
                         static_cast<double>(frame.height) / overlay.pixelHeight()};
    // The g-force tile the switch added, left of the two gauge tiles, is in the picture; so are the gauges'
    // faces and needles, thinner lines that the smaller movie blurs more.
    const double gForce = overlayDifference(frame, overlay, canvas.slotRect(2), 2);
    EXPECT_GE(gForce, 0) << "the g-force tile paints nothing opaque";
    EXPECT_LT(gForce, 30);
    for (int tile : {0, 1}) {
        const double difference = overlayDifference(frame, overlay, canvas.slotRect(tile), 1);
        EXPECT_GE(difference, 0) << "slot " << tile << " paints nothing opaque";
        EXPECT_LT(difference, 60) << "slot " << tile << " is not what the movie shows";
    }

    // The first tile's figure is the coolant the car reported, in the tiles' digits.
    const ui::Rect slot = canvas.slotRect(0);
    const ui::Font digits = ui::Font::named("DigitalSans NowEF ML Demo", canvas.gaugeWidth() / 5);
    const auto figure = std::find_if(canvas.paintedTexts().begin(), canvas.paintedTexts().end(),
                                     [&](const OverlayCanvas::PaintedText& t) {
                                         return t.line.midX() > slot.minX() && t.line.midX() < slot.maxX() &&
                                                t.line.minY() >= slot.midY();
                                     });
    ASSERT_NE(figure, canvas.paintedTexts().end());
    const ui::Rect box{{slot.x(), figure->line.y()}, {slot.width(), figure->line.height()}};
    expectFrameShows(frame, {std::to_string(coolant)}, {"86", "88", "78", "97", "8"},
                     box, scale, [&](const std::string& text) {
                         ui::BitmapContext alone(box.size, 2);
                         alone.drawText(text, {{0, 0}, box.size}, digits, ui::Color::white(0.7),
                                        ui::TextAlignment::Center, ui::LineBreakMode::Clip);
                         return alone.makeImage();
                     });

    // The clock reads the time of day the recording ended at (or a second before, at a minute's turn).
    ui::Label& clock = *camera->timeLabel();
    ui::View* overlayView = &clock;
    while (overlayView && overlayView->bounds().size != canvas.sizeInPixels(1))
        overlayView = overlayView->superview();
    ASSERT_NE(overlayView, nullptr);
    const ui::Rect clockBox = clock.convertRect(clock.bounds(), overlayView);
    const std::string shownTime = clock.text();
    expectFrameShows(frame, {clockText(end), clockText(end.addingTimeInterval(-1))},
                     {clockText(end.addingTimeInterval(120)), clockText(end.addingTimeInterval(660))},
                     clockBox, scale, [&](const std::string& text) {
                         clock.setText(text);
                         return clock.renderToImage(2);
                     });
    clock.setText(shownTime);

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
    // The frames are stamped by the test's clock as they are captured; on a busy machine the whole app's
    // main queue falls behind them, so the first frame written can be one captured a moment before the tap.
    EXPECT_GE(duration, 20 - 1.5);
    EXPECT_LE(duration, 20 + 3);
    EXPECT_GE(rate, 0.8 * settings().frameRate) << "of " << settings().frameRate;
    EXPECT_LE(rate, 1.05 * settings().frameRate);
    app->willTerminate();
}

}  // namespace
