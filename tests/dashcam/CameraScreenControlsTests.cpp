#include <memory>
#include <vector>

#include "CameraScreenTest.h"
#include "dashcam/ButtonView.h"
#include "dashcam/CameraScreenGeometry.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "support/ImageCompare.h"
#include "support/Input.h"
#include "support/ReferenceImage.h"
#include "shell/VersionTracking.h"
#include "support/TestSupport.h"

namespace {

// The menu as the screen sees it: it hears of every slide.
class RecordingMenu : public TemplateViewControllerDelegate {
public:
    void viewWillSlide(bool open) override { slides.push_back(open); }
    std::vector<bool> slides;
};

void expectRect(const ui::Rect& actual, const ui::Rect& expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 0.01);
    EXPECT_NEAR(actual.y(), expected.y(), 0.01);
    EXPECT_NEAR(actual.width(), expected.width(), 0.01);
    EXPECT_NEAR(actual.height(), expected.height(), 0.01);
}

TEST(CameraScreenGeometry, ControlsSitOnTheLandscapeScreenOrOnThePicturesBandAcrossAPortraitWindow)
{
    const ui::Size wide{1280, 720};
    // A landscape phone with a home indicator: the button clear of the sensor housing.
    auto layout = camerascreen::controlsLayout({844, 390}, wide, true);
    expectRect(layout.buttonView, ui::makeRect(40, 165, 60, 60));
    expectRect(layout.recordLabel, ui::makeRect(10, 52, 95, 22));
    layout = camerascreen::controlsLayout({667, 375}, wide, false);
    expectRect(layout.buttonView, ui::makeRect(20, 157.5, 60, 60));
    // Portrait: the 16:9 picture is 390 x 219.375 across the middle of the window.
    const double top = (844 - 219.375) / 2;
    expectRect(camerascreen::landscapeArea({390, 844}, wide), ui::makeRect(0, top, 390, 219.375));
    layout = camerascreen::controlsLayout({390, 844}, wide, true);
    expectRect(layout.buttonView, ui::makeRect(40, 422 - 30, 60, 60));
    // The time just below the band, clear of the small overlay's tiles.
    expectRect(layout.recordLabel, ui::makeRect(10, top + 219.375 + 8, 95, 22));
}

TEST(CameraScreenGeometry, FocusPointIsTheTappedSpotOfThePicture)
{
    // 352 x 288 in a landscape window: 476.67 x 390, centred.
    const ui::Rect picture = camerascreen::pictureRect({844, 390}, {352, 288});
    expectRect(picture, ui::makeRect((844 - 352 * 390.0 / 288) / 2, 0, 352 * 390.0 / 288, 390));
    const auto point = camerascreen::focusPointOfInterest({picture.x() + picture.width() / 4, 292.5}, picture);
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->x, 0.25, 1e-9);
    EXPECT_NEAR(point->y, 0.75, 1e-9);
    EXPECT_FALSE(camerascreen::focusPointOfInterest({20, 100}, picture)) << "beside the picture";
    EXPECT_FALSE(camerascreen::focusPointOfInterest({500, 100}, ui::Rect{})) << "no picture";
}

class CameraScreenControls : public CameraViewControllerTest {
protected:
    void showIn(ui::Size window)
    {
        ui::Device::current().setScreenSize(window);
        show();
        menu = std::make_shared<RecordingMenu>();
        camera->setDelegate(menu);
        advance(0.5);  // the controls move into place as the screen appears
        root->window().layoutIfNeeded();
    }

    void swipe(ui::Point from, double dx)
    {
        testsupport::drag(root->window(), from, {from.x + dx, from.y}, 0.2, 10);
        advance(0.2);
    }

    void saveScreenshot(const std::string& name)
    {
        root->window().layoutIfNeeded();
        EXPECT_TRUE(root->window().renderToImage(1).writePNG(testsupport::artifactsDir() / name)) << name;
    }

    media::CaptureDevice& inputCamera() const { return *camera->captureDevice()->inputCamera(); }

    std::shared_ptr<RecordingMenu> menu;
};

TEST_F(CameraScreenControls, TheFirstLaunchOfAVersionTellsHowToFocus)
{
    VersionTracking::track("9.1", "1");
    showIn({844, 390});
    const auto hint = ui::AlertController::visible();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->title(), fnd::L("Attention"));
    EXPECT_EQ(hint->message(), "Tap on image to adjust focus");
    ASSERT_EQ(hint->actions().size(), 1u);
    EXPECT_TRUE(hint->triggerAction("Ok"));
    leave();

    VersionTracking::track("9.1", "1");  // started again: nothing to tell
    root->setRootViewController(camera);
    advance(0.5);
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
}

TEST_F(CameraScreenControls, ATapFocusesOnThatSpotOfThePictureButNotOnTheRecordButton)
{
    showIn({844, 390});
    ASSERT_TRUE(camera->hasCamera());
    const ui::Rect picture = camerascreen::pictureRect({844, 390}, {352, 288});
    testsupport::tap(root->window(), {picture.x() + picture.width() * 0.8, picture.height() * 0.25});
    EXPECT_NEAR(inputCamera().focusPointOfInterest().x, 0.8, 1e-6);
    EXPECT_NEAR(inputCamera().focusPointOfInterest().y, 0.25, 1e-6);
    EXPECT_EQ(inputCamera().focusMode(), media::FocusMode::AutoFocus);
    EXPECT_FALSE(inputCamera().isLockedForConfiguration());

    // The record button's tap records and leaves the focus where it was.
    testsupport::tap(root->window(), camera->buttonView().frame().center());
    EXPECT_TRUE(camera->isRecording());
    EXPECT_NEAR(inputCamera().focusPointOfInterest().x, 0.8, 1e-6);
    camera->recordData();
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    // Beside the picture there is nothing to focus on.
    testsupport::tap(root->window(), {20, 20});
    EXPECT_NEAR(inputCamera().focusPointOfInterest().y, 0.25, 1e-6);
}

// A start the screen refuses (the last movie is still being finished) leaves the button as it was, silent.
TEST_F(CameraScreenControls, ARefusedStartNeitherSoundsNorFlipsTheButton)
{
    showIn({844, 390});
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(camera->isRecording());
    // A movie with frames in it takes a moment to finish; one without any ends at once.
    ASSERT_TRUE(waitFor([&] {
        film(0.1);
        return camera->framesRecorded() > 0;
    }));
    // Quick taps, with no turn of the run loop between them: the finished movie is only taken in on the
    // main thread, so it is still being finished at the next tap however fast the writer is.
    const auto quickTap = [&] {
        root->window().sendTouch(ui::TouchPhase::Began, button);
        root->window().sendTouch(ui::TouchPhase::Ended, button);
    };
    quickTap();
    ASSERT_TRUE(camera->isFinishingMovie());
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{ButtonView::startSound, ButtonView::stopSound}));

    quickTap();
    EXPECT_FALSE(camera->isRecording());
    EXPECT_FALSE(camera->buttonView().isRecording());
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{ButtonView::startSound, ButtonView::stopSound}));
    advance(ButtonView::morphDuration);
    EXPECT_NEAR(camera->buttonView().squareRect().width(), 1, 1e-6) << "the button shows the disc";
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
}

TEST_F(CameraScreenControls, SwipesSlideTheScreenAsideForTheMenuAndBack)
{
    for (const ui::Size window : {ui::Size{844, 390}, ui::Size{390, 844}}) {
        SCOPED_TRACE(window.width);
        showIn(window);
        swipe({200, 100}, 120);
        EXPECT_EQ(camera->view()->frame().x(), window.width > window.height ? 230 : 190);
        swipe({camera->view()->frame().x() + 150, 100}, -120);
        EXPECT_EQ(camera->view()->frame().x(), 0);
        EXPECT_EQ(menu->slides, (std::vector<bool>{true, false}));
        leave();
    }
}

TEST_F(CameraScreenControls, APortraitWindowShowsTheLandscapeScreenOnThePicturesBand)
{
    settings().recordMode = 2;
    showIn({390, 844});
    const ui::Rect band = camerascreen::landscapeArea({390, 844}, {1280, 720});
    EXPECT_TRUE(band.contains(camera->buttonView().frame())) << "the record button is on the picture";
    EXPECT_FALSE(band.intersects(camera->recordLabel().frame())) << "the recording time is off the overlay's tiles";
    EXPECT_NEAR(camera->recordLabel().frame().minY(), band.maxY() + 8, 0.01) << "the recording time is under the picture";
    film(0.3);
    saveScreenshot("dashcam-screen-portrait.png");

    // Turned to landscape the controls follow, and the picture keeps coming.
    root->setSize({844, 390}, 0.3);
    advance(0.3);
    expectRect(camera->buttonView().frame(), ui::makeRect(40, 165, 60, 60));
    expectRect(camera->recordLabel().frame(), ui::makeRect(10, 52, 95, 22));
    EXPECT_EQ(camera->captureDevice()->outputImageOrientation(), 3) << "the camera does not turn with the window";
    film(0.3);
    const ui::Image shown = static_cast<GfxView&>(*camera->view()).presentedImage();
    EXPECT_EQ(shown.size().width, 844);
    saveScreenshot("dashcam-screen-landscape.png");

    // A wider window without a turn moves them too.
    root->setSize({900, 420}, 0);
    expectRect(camera->buttonView().frame(), ui::makeRect(40, 180, 60, 60));
    // And the menu's switch to the screen lays it out for the window it has.
    ui::Device::current().setScreenSize({390, 844});
    camera->rotateScreen();
    EXPECT_TRUE(band.contains(camera->buttonView().frame()));
}

// A car standing still and a camera whose picture holds still: the screen as a driver sees it, compared with its
// reference (the moving test pattern and a moving car would differ from run to run).
TEST_F(CameraScreenControls, TheScreenShowsThePictureWithTheControlsAndTheGauges)
{
    sim.updateCar([](elmsim::CarState& car) {
        car.moving = false;
        car.rpm = 2400;
        car.speed = 72;
    });
    settings().recordMode = 2;
    const auto device = media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Video);
    device->setSyntheticCameraOptions({.pushedFramesOnly = true});
    showIn({844, 390});
    ui::BitmapContext scene({640, 360});
    scene.setFillColor(ui::Color::rgb255(120, 160, 200));
    scene.fillRect(ui::makeRect(0, 0, 640, 160));
    scene.setFillColor(ui::Color::rgb255(70, 70, 75));
    scene.fillRect(ui::makeRect(0, 160, 640, 200));
    scene.setFillColor(ui::Color::white());
    for (double y = 175; y < 360; y += 50)
        scene.fillRect(ui::makeRect(314, y, 12, 30));
    const ui::Image picture = scene.makeImage();

    // Frames go on until the gauges show the car and the picture stops changing.
    const auto& view = static_cast<const GfxView&>(*camera->view());
    ui::Image shown;
    const bool settled = waitFor([&] {
        inputCamera().pushVideoFrame(picture);
        film(0.1);
        const ui::Image before = shown;
        shown = root->window().renderToImage(1);
        return camera->gaugeValArray() == std::vector<std::string>{"2.4", "72"} && !view.presentedImage().isNull()
            && !before.isNull() && testsupport::samePixels(shown, before);
    });
    device->setSyntheticCameraOptions({});
    ASSERT_TRUE(settled) << ::testing::PrintToString(camera->gaugeValArray());
    saveScreenshot("dashcam-screen-still.png");
    EXPECT_TRUE(testsupport::matchesReference(shown, "dashcam-screen"));
}

}  // namespace
