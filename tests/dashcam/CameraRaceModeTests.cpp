#include <cmath>
#include <numbers>

#include "CameraScreenTest.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/CameraRaceMode.h"
#include "dashcam/GfxUIElement.h"
#include "performance/GforceView.h"
#include "performance/TrackView.h"
#include "platform/geo/LocationService.h"
#include "platform/motion/MotionService.h"
#include "platform/ui/Label.h"
#include "platform/ui/VisibleText.h"

namespace {

// Race mode on the camera screen, driven round a circle of 20 fixes (one a
// second, about 19 m apart) by injected GPS, the run launched by injected motion.
class CameraRaceModeTest : public CameraViewControllerTest {
protected:
    static constexpr int fixesPerLoop = 20;

    void SetUp() override
    {
        CameraViewControllerTest::SetUp();
        settings().isRaceMode = true;
        geo::LocationService::shared().startInjection();
        motion::MotionService::shared().startInjection();
    }

    void TearDown() override
    {
        if (camera && camera->isRecording())
            camera->recordData();
        if (camera)
            EXPECT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); })) << "the movie is finished";
        motion::MotionService::shared().inject({});
        motion::MotionService::shared().stop();
        geo::LocationService::shared().stop();
        CameraViewControllerTest::TearDown();
    }

    CameraRaceMode& race() const { return *camera->raceMode(); }

    // Point i of the circle (radius 60 m); point 0 is the start line.
    static geo::Location circlePoint(int i)
    {
        const double angle = 2 * std::numbers::pi * i / fixesPerLoop;
        constexpr double metresPerDegree = 111195.0;
        geo::Location l;
        l.coordinate.latitude = 47.0 + 60 * std::sin(angle) / metresPerDegree;
        l.coordinate.longitude = 8.0 + 60 * (1 - std::cos(angle)) / (metresPerDegree * std::cos(47.0 * std::numbers::pi / 180));
        return l;
    }

    static std::vector<geo::Location> circle()
    {
        std::vector<geo::Location> points;
        for (int i = 0; i < fixesPerLoop; ++i)
            points.push_back(circlePoint(i));
        return points;
    }

    // The car reports `location`, a second passes (the adapter answering meanwhile).
    void drive(const geo::Location& location)
    {
        geo::LocationService::shared().inject(location);
        ScreenFixture::drive(1);
        EXPECT_TRUE(waitFor([&] {
            const auto& current = race().engine().currentLocation();
            return current && current->coordinate == location.coordinate;
        })) << "the race screen takes the position";
    }

    // The phone feels the launch (0.3 g forward, 0.39 after the gain).
    void launch(int samples = 100)
    {
        motion::MotionService::shared().inject({0, 0, 0.3});
        for (int i = 0; i < samples && !race().isRacing(); ++i) {
            advance(0.05);
            fnd::RunLoop::main().runUntil([&] { return race().isRacing(); }, 0.02);
        }
        motion::MotionService::shared().inject({});
    }

    // Lets camera frames come (they follow the clock) until the overlay shows the race as it stands.
    bool overlayShowsRace()
    {
        const auto shown = [&] {
            return race().timerLabel().text() == race().raceTimerStr() &&
                   race().lapLabel().text() == std::to_string(race().lapCount());
        };
        for (int i = 0; i < 90 && !shown(); ++i) {
            advance(1.0 / 30);
            fnd::RunLoop::main().runUntil(shown, 1.0 / 30);
        }
        return shown();
    }

    static std::size_t played(int sound)
    {
        const auto ids = fnd::SystemSound::played();
        return static_cast<std::size_t>(std::count(ids.begin(), ids.end(), sound));
    }
};

TEST_F(CameraRaceModeTest, TheTrackTileTakesTheBottomLeftSlot)
{
    settings().gMeterEnabled = true;
    settings().camGaugeCount = 5;
    show();
    ASSERT_NE(camera->raceMode(), nullptr);
    // 352x288 with the g-force and the track tiles: two gauges.
    EXPECT_EQ(camera->gaugeArr().size(), 2u);

    const ui::Size screen = ui::Device::current().screenSize();
    const double s = std::min(screen.width, screen.height);
    const double g = s / 2.81;
    const ui::Rect track = race().trackView().frame();
    EXPECT_NEAR(track.x(), 0, 1e-9);
    EXPECT_NEAR(track.y(), s - g, 1e-9);
    EXPECT_NEAR(track.width(), g, 1e-9);
    EXPECT_TRUE(race().trackView().speedLabel().isHidden());
    for (const auto& tile : camera->gaugeArr())
        EXPECT_GE(tile->frame().x(), track.maxX() - 1e-6);
    EXPECT_GE(camera->gFView()->frame().x(), track.maxX() - 1e-6);

    // Lap and time above the tile, recorded; the prompts hidden until needed.
    EXPECT_EQ(race().lapLabel().text(), "1");
    EXPECT_EQ(race().timerLabel().text(), "00:00.0");
    EXPECT_NEAR(race().lapLabel().frame().maxY(), s - g, 1e-9);
    EXPECT_NEAR(race().timerLabel().frame().x(), race().lapLabel().frame().maxX(), 1e-9);
    EXPECT_TRUE(race().accelLabel().isHidden());
    EXPECT_TRUE(race().recordingLabel().isHidden());
    EXPECT_EQ(race().accelLabel().text(), "Accelerate");
    EXPECT_FALSE(race().isTrackLoaded());

    // The overlay renderer paints the lap box (translucent red) above the track tile.
    const ui::Image overlay = camera->uiElementInput().canvas().paint(1);
    const ui::Color lapBox = overlay.pixel(2, static_cast<int>(s - g - 2));
    EXPECT_GT(lapBox.a, 0.3);
    EXPECT_GT(lapBox.r, lapBox.b);
}

// The lap and the race time are pixels of the picture, yet the screen's texts
// (the text dump) name them.
TEST_F(CameraRaceModeTest, TheRaceTextsOfThePictureAreAmongTheScreensTexts)
{
    show();
    const auto named = [&] {
        const std::vector<std::string> texts = ui::visibleTexts(root->window());
        return std::count(texts.begin(), texts.end(), "00:00.0") == 1 && std::count(texts.begin(), texts.end(), "1") == 1;
    };
    for (int i = 0; i < 90 && !named(); ++i) {
        advance(1.0 / 30);
        fnd::RunLoop::main().runUntil([] { return false; }, 1.0 / 60);
    }
    EXPECT_TRUE(named());
}

TEST_F(CameraRaceModeTest, RaceModeOffLeavesTheLayoutAsBefore)
{
    settings().isRaceMode = false;
    settings().camGaugeCount = 5;
    settings().recordMode = 0;
    show();
    EXPECT_EQ(camera->raceMode(), nullptr);
    EXPECT_EQ(camera->gaugeArr().size(), 4u);
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    // Nothing race-like was added to the screen.
    for (const auto& view : camera->view()->subviews()) {
        if (const auto* label = dynamic_cast<const ui::Label*>(view.get())) {
            EXPECT_NE(label->text(), "Accelerate");
        }
    }
}

TEST_F(CameraRaceModeTest, AnUnknownTrackIsRecordedByTheFirstLap)
{
    show();
    ASSERT_TRUE(camera->isConnected());
    drive(circlePoint(0));
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    EXPECT_FALSE(race().accelLabel().isHidden());
    EXPECT_FALSE(race().isRacing());

    fnd::SystemSound::clearPlayed();
    launch();
    ASSERT_TRUE(race().isRacing());
    EXPECT_TRUE(race().accelLabel().isHidden());
    EXPECT_FALSE(race().recordingLabel().isHidden());
    EXPECT_EQ(played(CameraRaceMode::lapSound), 1u);

    // Back at the start after 20 s: too soon for a lap.
    for (int i = 1; i <= fixesPerLoop; ++i)
        drive(circlePoint(i % fixesPerLoop));
    EXPECT_EQ(race().lapCount(), 1);
    EXPECT_GE(race().coordinatesArr().size(), 15u);  // about one point a second
    EXPECT_TRUE(race().trackView().coordinatesArr().empty());
    ASSERT_TRUE(overlayShowsRace());
    EXPECT_GE(race().timerLabel().text(), "00:19.0");

    // Back again after 40 s: lap 2, and the positions become the outline.
    for (int i = 1; i <= fixesPerLoop; ++i)
        drive(circlePoint(i % fixesPerLoop));
    EXPECT_EQ(race().lapCount(), 2);
    EXPECT_TRUE(race().isTrackLoaded());
    EXPECT_TRUE(race().recordingLabel().isHidden());
    EXPECT_GE(race().trackView().coordinatesArr().size(), 30u);
    EXPECT_FALSE(race().trackView().isDotHidden());
    EXPECT_EQ(played(CameraRaceMode::lapSound), 2u);
    ASSERT_TRUE(overlayShowsRace());
    EXPECT_EQ(race().lapLabel().text(), "2");
    EXPECT_GE(race().timerLabel().text(), "00:39.0");

    // Stopping ends the run; its time stays shown until the next recording.
    const std::string last = race().raceTimerStr();
    camera->recordData();
    EXPECT_FALSE(race().isRacing());
    advance(1.0);
    EXPECT_EQ(race().raceTimerStr(), last);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));

    // A new recording starts from lap 1 and waits for a launch; the outline stays.
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    EXPECT_FALSE(race().isRacing());
    EXPECT_EQ(race().timerLabel().text(), "00:00.0");
    EXPECT_FALSE(race().accelLabel().isHidden());
    ASSERT_TRUE(overlayShowsRace());
    EXPECT_EQ(race().lapLabel().text(), "1");
    EXPECT_TRUE(race().isTrackLoaded());
    advance(2.0);
    EXPECT_EQ(race().raceTimerStr(), "00:00.0");
}

TEST_F(CameraRaceModeTest, AChosenTrackIsPaintedAsAnImageAndTheDotFollowsTheCar)
{
    Manager::sharedManager().raceData().trackArr = {Track("Circle", {}, circle(), 0.38f)};
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    show();
    EXPECT_TRUE(race().isTrackLoaded());
    const OverlayCanvas& canvas = camera->uiElementInput().canvas();
    ASSERT_FALSE(canvas.trackImage.isNull());
    // The tile itself is cleared: its outline reaches the overlay as the image only.
    EXPECT_EQ(race().trackView().backgroundColor().value_or(ui::Color::black()).a, 0);
    EXPECT_EQ(race().trackView().coordinatesArr().size(), circle().size());

    drive(circlePoint(0));
    camera->recordData();
    launch();
    ASSERT_TRUE(race().isRacing());
    EXPECT_TRUE(race().recordingLabel().isHidden());
    drive(circlePoint(5));
    advance(0.2);  // the dot's move
    const ui::Point expected = race().trackView().map(circlePoint(5).coordinate, race().trackView().bounds().size);
    EXPECT_NEAR(race().trackView().dotPosition().x, expected.x, 1e-6);
    EXPECT_NEAR(race().trackView().dotPosition().y, expected.y, 1e-6);

    camera->recordData();
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));

    // Clearing the choice between two visits: the next run records a track again.
    leave();
    Manager::sharedManager().raceData().selectedTrackIndex = -1;
    root->setRootViewController(camera);
    root->window().layoutIfNeeded();
    advance(0.1);
    EXPECT_FALSE(race().isTrackLoaded());
    EXPECT_TRUE(camera->uiElementInput().canvas().trackImage.isNull());
    EXPECT_TRUE(race().trackView().coordinatesArr().empty());
}

TEST_F(CameraRaceModeTest, NoRunStartsWithoutARecordingOrBelowTheLaunchThreshold)
{
    show();
    drive(circlePoint(0));
    launch(10);
    EXPECT_FALSE(race().isRacing());  // not recording
    camera->recordData();
    motion::MotionService::shared().inject({0.1, 0.12, 0.15});  // 0.195 g at most
    const auto felt = [&] { return camera->y() == CameraLiveData::gForceAxis(0.15); };
    for (int i = 0; i < 100 && !felt(); ++i) {
        advance(0.05);
        fnd::RunLoop::main().runUntil(felt, 0.02);
    }
    ASSERT_FLOAT_EQ(camera->y(), 0.195f);
    advance(0.2);
    EXPECT_FALSE(race().isRacing());
    launch();
    EXPECT_TRUE(race().isRacing());
}

}  // namespace
