#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "../platform/media/MovieReader.h"
#include "CameraScreenTest.h"
#include "support/ScreenShape.h"
#include "core/link/Scanner.h"
#include "dashcam/CamGaugeView.h"
#include "dashcam/CameraViewController.h"
#include "elmsim/lib/Simulator.h"
#include "performance/GforceView.h"
#include "core/Notifications.h"
#include "dashcam/CompassView.h"
#include "dashcam/GfxUIElement.h"
#include "platform/geo/LocationService.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Paths.h"
#include "platform/media/AudioSession.h"
#include "platform/media/CaptureDevice.h"
#include "platform/motion/MotionService.h"
#include "platform/media/PhotoAlbum.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/VisibleText.h"
#include "platform/ui/Label.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"
#include "support/Input.h"

namespace {

TEST_F(CameraViewControllerTest, LiveValuesReachTheTilesAndTheOverlay)
{
    show();
    ASSERT_TRUE(camera->hasCamera());
    ASSERT_TRUE(camera->isConnected());
    ASSERT_EQ(camera->gaugeArr().size(), 2u);
    EXPECT_TRUE(waitFor([&] { return camera->gaugeArr()[0]->getVal() > 0; }));
    // The overlay takes the tiles' values at the camera's next frames, however slowly a loaded machine makes them.
    EXPECT_TRUE(waitFor([&] {
        film(0.1);
        return camera->gaugeValArray()[0] != "00";
    }));
}

TEST_F(CameraViewControllerTest, RecordingsAreSavedAndNeverOverwrittenWhileFinishing)
{
    show();
    ASSERT_TRUE(camera->hasCamera());
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    film(1.5);
    camera->recordData();
    EXPECT_FALSE(camera->isRecording());

    // A quick restart is refused until the previous movie is in the album.
    if (camera->isFinishingMovie()) {
        camera->recordData();
        EXPECT_FALSE(camera->isRecording());
    }
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(camera->moviesSaved(), 1);
    EXPECT_EQ(albumMovies(), 1u);
    // The album's copy is a finished movie: H.264 video and AAC sound that decode.
    for (const auto& entry : std::filesystem::directory_iterator(media::PhotoAlbum::videosFolder())) {
        movietest::MovieReader movie(entry.path());
        ASSERT_TRUE(movie.isOpen());
        EXPECT_EQ(movie.video()->codec_id, AV_CODEC_ID_H264);
        ASSERT_NE(movie.audio(), nullptr);
        EXPECT_EQ(movie.audio()->codec_id, AV_CODEC_ID_AAC);
        EXPECT_EQ(movie.video()->width, 352);
        EXPECT_GT(movie.decodeAll(), 0);
        EXPECT_GT(movietest::MovieReader(entry.path()).audioPacketCount(), 0);
    }

    // Leaving the screen during a recording stops and saves it.
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    film(1.0);
    leave();
    EXPECT_FALSE(camera->isRecording());
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(camera->moviesSaved(), 2);
    EXPECT_EQ(albumMovies(), 2u);
}

TEST_F(CameraViewControllerTest, ARefusedMicrophoneIsToldAndTheMovieIsRecordedWithoutSound)
{
    media::AudioSession::sharedInstance().setRecordPermission(media::RecordPermission::Denied);
    show();
    fnd::RunLoop::main().processEvents();
    const auto alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), fnd::L("Error"));
    EXPECT_EQ(alert->message(), fnd::L("Mic msg"));
    ASSERT_EQ(alert->actions().size(), 1u);
    EXPECT_EQ(alert->actions()[0].title, "Ok");
    EXPECT_TRUE(alert->triggerAction("Ok"));

    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    film(1.0);
    camera->recordData();
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    media::AudioSession::sharedInstance().setRecordPermission(media::RecordPermission::Granted);
    ASSERT_EQ(camera->moviesSaved(), 1);
    movietest::MovieReader movie(camera->pathToMovie());
    ASSERT_TRUE(movie.isOpen());
    EXPECT_EQ(movie.audioPacketCount(), 0);
    movietest::MovieReader again(camera->pathToMovie());
    EXPECT_GT(again.decodeAll(), 0);

    // With the microphone allowed, appearing again asks nothing.
    leave();
    ui::AlertController::dismissAll();
    root->setRootViewController(camera);
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
}

// A camera that cannot be opened: the screen says so, a tap on record records nothing, the album gets nothing.
TEST_F(CameraViewControllerTest, ACameraThatCannotBeReadIsToldAndRecordsNothing)
{
    media::CaptureDevice::configure("/dev/null", "synthetic");
    const auto told = [&]() -> std::string {
        for (const std::string& text : testsupport::texts(root->window()))
            if (text.starts_with("The camera cannot be read:"))
                return text;
        return {};
    };
    const auto toldOnScreen = [&] { return !told().empty(); };
    // Told whole, inside the window, at every shape.
    for (const auto& shape : {testsupport::phonePortrait, testsupport::pad, testsupport::phoneLandscape}) {
        shape.apply();
        show();
        ui::AlertController::dismissAll();
        ASSERT_TRUE(waitFor(toldOnScreen)) << shape.name;
        EXPECT_TRUE(testsupport::cutTexts(root->window()).empty()) << shape.name;
        for (const std::string& text : testsupport::texts(root->window())) {
            const auto frame = testsupport::frameOfText(root->window(), text);
            EXPECT_TRUE(frame && root->window().bounds().contains(*frame)) << shape.name << ": " << text;
        }
    }
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    EXPECT_FALSE(camera->isRecording());
    film(1.0);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(albumMovies(), 0u);
    EXPECT_TRUE(toldOnScreen());
}

// A microphone that cannot be opened is told, and the movie is recorded without sound.
TEST_F(CameraViewControllerTest, AMicrophoneThatCannotBeOpenedIsToldAndTheMovieHasNoSound)
{
    media::CaptureDevice::configure("synthetic", "norvale-no-such-microphone");
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(camera->isRecording());
    ASSERT_TRUE(waitFor([] { return ui::AlertController::visible() != nullptr; }));
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Mic msg"));
    ui::AlertController::dismissAll();
    film(1.0);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    ASSERT_EQ(camera->moviesSaved(), 1);
    movietest::MovieReader movie(camera->pathToMovie());
    ASSERT_TRUE(movie.isOpen());
    EXPECT_EQ(movie.audioPacketCount(), 0);
    EXPECT_GT(movietest::MovieReader(camera->pathToMovie()).decodeAll(), 0);
}

TEST_F(CameraViewControllerTest, TheGforceTileFollowsTheMotion)
{
    settings().gMeterEnabled = true;
    settings().camGaugeCount = 5;
    motion::MotionService::shared().startInjection();
    motion::MotionService::shared().inject({0, 0.5, -0.05});
    show();
    ASSERT_NE(camera->gFView(), nullptr);
    EXPECT_EQ(camera->gaugeArr().size(), 3u);  // 352x288 with the g-force tile: 3 gauges + 1
    for (int i = 0; i < 100 && camera->x() == 0; ++i) {
        advance(0.05);
        fnd::RunLoop::main().runUntil([&] { return camera->x() != 0; }, 0.02);
    }
    EXPECT_FLOAT_EQ(camera->x(), 0.65f);
    EXPECT_FLOAT_EQ(camera->y(), 0);  // inside the dead band

    // The picture shows the white dot pushed a third of the tile per g to the left of the centre.
    film(0.2);
    const ui::Image overlay = camera->uiElementInput().canvas().paint(1);
    const ui::Rect tile = camera->gFView()->frame();
    const auto white = [&](double x, double y) {
        const ui::Color c = overlay.pixel(static_cast<int>(tile.x() + x), static_cast<int>(tile.y() + y));
        return c.a > 0.9 && c.r > 0.95 && c.g > 0.95 && c.b > 0.95;
    };
    EXPECT_TRUE(white(tile.width() / 2 - tile.width() / 3 * 0.65, tile.height() / 2));
    EXPECT_FALSE(white(tile.width() / 2, tile.height() / 2));
    motion::MotionService::shared().inject({});
    leave();
    motion::MotionService::shared().stop();
}

// Without a motion source (a desktop without an accelerometer) the dot rests in the middle of the tile.
TEST_F(CameraViewControllerTest, TheGforceDotRestsInTheMiddleWithoutMotion)
{
    settings().gMeterEnabled = true;
    show();
    ASSERT_NE(camera->gFView(), nullptr);
    film(0.2);
    const ui::Image overlay = camera->uiElementInput().canvas().paint(1);
    const ui::Rect tile = camera->gFView()->frame();
    const ui::Color middle = overlay.pixel(static_cast<int>(tile.midX()), static_cast<int>(tile.midY()));
    EXPECT_GT(middle.a, 0.9);
    EXPECT_GT(std::min({middle.r, middle.g, middle.b}), 0.95);
    leave();
}

TEST_F(CameraViewControllerTest, CoordinatesClockAndCompassReachTheOverlay)
{
    settings().gpsEnabled = true;
    settings().compassEnabled = true;
    settings().displayTimeEnabled = true;
    geo::LocationService::shared().startInjection();
    show();
    ASSERT_NE(camera->coordinatesLabel(), nullptr);
    ASSERT_NE(camera->timeLabel(), nullptr);
    ASSERT_NE(camera->cView(), nullptr);
    geo::Location here;
    here.coordinate = {51.5, -0.1278};
    geo::LocationService::shared().inject(here, 0.0);
    const auto arrived = [&] { return camera->coordinatesLabel()->text() == "51° 30' 0\" N, 0° 7' 40\" W"; };
    for (int i = 0; i < 100 && !arrived(); ++i) {
        advance(0.05);
        fnd::RunLoop::main().runUntil(arrived, 0.02);
    }
    EXPECT_TRUE(arrived());
    EXPECT_EQ(camera->timeLabel()->text().size(), std::string("2026 12 07-15:04 PM").size());
    // Due north in a portrait window: the landscape screen's strip turns it a quarter on and back.
    EXPECT_EQ(camera->cView()->label(camera->cView()->shownPoint()).text(), "N");
    leave();
    EXPECT_TRUE(camera->isUpdatingLocation()) << "with the clock shown, leaving leaves them running";
    geo::LocationService::shared().stop();
}

// A pad's screen is squarer than the picture: the row of five tiles still fits on the picture.
TEST_F(CameraViewControllerTest, FiveTilesFitOnAPadsPicture)
{
    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize({1024, 768});
    settings().recordMode = 2;
    settings().camGaugeCount = 5;
    show();
    ASSERT_EQ(camera->gaugeArr().size(), 5u);
    const auto isNumber = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("-.0123456789") == std::string::npos;
    };
    const auto shownValues = [&] {
        const auto texts = ui::visibleTexts(root->window());
        return std::count_if(texts.begin(), texts.end(), isNumber);
    };
    for (int i = 0; i < 30 && shownValues() < 5; ++i)
        film(0.1);
    EXPECT_EQ(shownValues(), 5);
    // The first tile's face ends where the picture does.
    const ui::Image overlay = camera->uiElementInput().canvas().paint(1);
    const double s = 768;
    const double end = 1.778 * s;
    EXPECT_GT(overlay.pixel(static_cast<int>(end - 10), static_cast<int>(s - 10)).a, 0.2);
}

TEST_F(CameraViewControllerTest, QuittingStopsAndSavesARecording)
{
    show();
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    film(0.5);
    fnd::NotificationCenter::defaultCenter().post(appClosedNotification, nullptr);
    EXPECT_FALSE(camera->isRecording());
    EXPECT_FALSE(camera->isFinishingMovie());
    EXPECT_EQ(camera->moviesSaved(), 1);
}

TEST_F(CameraViewControllerTest, RecordingNeedsTheLinkButStopsWithoutIt)
{
    show();
    camera->recordData();
    ASSERT_TRUE(camera->isRecording());
    link->disconnect();
    camera->recordData();
    EXPECT_FALSE(camera->isRecording());
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    leave();
    camera->recordData();
    EXPECT_FALSE(camera->isRecording());
}

// Files may not grow past `bytes` while it lives: writes beyond fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*handler_)(int);
};

TEST_F(CameraViewControllerTest, AMovieThatCannotBeWrittenStopsTheRecordingAndSaysWhy)
{
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    {
        const FileSizeLimit full(2'000);
        testsupport::tap(root->window(), button);
        ASSERT_TRUE(camera->isRecording());
        for (int i = 0; i < 10 && camera->isRecording(); ++i)
            film(0.5);
    }
    EXPECT_FALSE(camera->isRecording());
    EXPECT_FALSE(camera->buttonView().isRecording());
    EXPECT_EQ(camera->recordLabel().text(), "00:00:00");
    const auto alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), fnd::L("Error"));
    EXPECT_NE(alert->message().find("could not be written: cannot write the movie: File too large"), std::string::npos)
        << alert->message();
    EXPECT_TRUE(alert->triggerAction("Ok"));
    advance(1.0);
    EXPECT_EQ(camera->recordLabel().text(), "00:00:00");
    // What was written before the disk filled reaches the album when it holds a frame: on a slow
    // machine a fragment can fit in the space.
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    const int kept = camera->moviesSaved();
    EXPECT_LE(kept, 1);

    // Nothing is left waiting: the next tap records again.
    testsupport::tap(root->window(), button);
    EXPECT_TRUE(camera->isRecording());
    film(0.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(camera->moviesSaved(), kept + 1);
}

// The movie cut where its first fragment begins (plus `into` bytes): its header and no whole frame, as a
// kill right after a start leaves it.
void cutBeforeTheFirstFragment(const std::filesystem::path& movie, std::size_t into = 0)
{
    std::ifstream in(movie, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    while (at + 8 <= bytes.size() && bytes.compare(at + 4, 4, "moof") != 0) {
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i)
            size = size << 8 | static_cast<std::uint8_t>(bytes[at + i]);
        if (size < 8)
            break;
        at += size;
    }
    ASSERT_LT(at + into, bytes.size()) << "the movie has no fragment";
    std::filesystem::resize_file(movie, at + into);
}

// The movie cut a few bytes into its first frame: the fragment's header whole, the frame not.
void cutIntoTheFirstFrame(const std::filesystem::path& movie)
{
    std::ifstream in(movie, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t moof = bytes.find("moof");
    ASSERT_NE(moof, std::string::npos) << "the movie has no fragment";
    std::uint64_t size = 0;
    for (int i = 0; i < 4; ++i)
        size = size << 8 | static_cast<std::uint8_t>(bytes[moof - 4 + i]);
    in.close();
    cutBeforeTheFirstFragment(movie, size + 8 + 12);  // the fragment's header, its data's header, 12 bytes
}

TEST_F(CameraViewControllerTest, AMovieAnEarlierRunLeftUnfinishedIsKeptBeforeTheNextRecording)
{
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(camera->isRecording());
    film(1.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    ASSERT_EQ(albumMovies(), 1u);
    leave();
    camera.reset();

    // As a killed run leaves it: the movie as far as it got, still marked as being recorded.
    const auto movie = fnd::Paths::documents() / "Movie.m4v";
    std::ofstream(movie.string() + ".pending");
    show();
    ui::AlertController::dismissAll();
    if (camera->isFinishingMovie()) {
        testsupport::tap(root->window(), button);  // not over it while it is being copied
        EXPECT_FALSE(camera->isRecording());
    }
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(camera->moviesSaved(), 1);
    EXPECT_EQ(albumMovies(), 2u);
    EXPECT_FALSE(std::filesystem::exists(movie.string() + ".pending"));

    // A recording that finishes is copied once: the next screen finds nothing left.
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(camera->isRecording());
    film(0.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(albumMovies(), 3u);
    leave();
    show();
    EXPECT_FALSE(camera->isFinishingMovie());
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(albumMovies(), 3u);
}

// A kill right after the start leaves a movie without a whole frame: it is not offered to the album, and it
// goes.
class LeftMovieTest : public CameraViewControllerTest {
protected:
    void isNotOffered(const std::function<void(const std::filesystem::path&)>& cut);
};

TEST_F(LeftMovieTest, WithoutAFrameIsNotOffered)
{
    isNotOffered([](const std::filesystem::path& movie) { cutBeforeTheFirstFragment(movie); });
}

TEST_F(LeftMovieTest, WithItsFirstFrameCutIsNotOffered)
{
    isNotOffered(cutIntoTheFirstFrame);
}

void LeftMovieTest::isNotOffered(const std::function<void(const std::filesystem::path&)>& cut)
{
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    film(1.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    leave();
    camera.reset();
    std::filesystem::remove_all(media::PhotoAlbum::videosFolder());

    const auto movie = fnd::Paths::documents() / "Movie.m4v";
    cut(movie);
    std::ofstream(movie.string() + ".pending");
    show();
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    EXPECT_EQ(albumMovies(), 0u);
    EXPECT_EQ(camera->moviesSaved(), 0);
    EXPECT_FALSE(std::filesystem::exists(movie.string() + ".pending"));
    EXPECT_FALSE(std::filesystem::exists(movie));
}

// The disk fills during a recording: the user is told, and what was written before is in the album.
TEST_F(CameraViewControllerTest, AMovieCutShortByAFullDiskReachesTheAlbum)
{
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    {
        const FileSizeLimit full(120'000);
        testsupport::tap(root->window(), button);
        ASSERT_TRUE(camera->isRecording());
        for (int i = 0; i < 40 && camera->isRecording(); ++i)
            film(0.5);
        EXPECT_FALSE(camera->isRecording());
        ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    }
    const auto alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_NE(alert->message().find("could not be written"), std::string::npos) << alert->message();
    EXPECT_EQ(camera->moviesSaved(), 1);
    ASSERT_EQ(albumMovies(), 1u);
    for (const auto& entry : std::filesystem::directory_iterator(media::PhotoAlbum::videosFolder())) {
        movietest::MovieReader saved(entry.path());
        ASSERT_TRUE(saved.isOpen());
        EXPECT_GT(saved.decodeAll(), 0.5);
    }
    EXPECT_FALSE(std::filesystem::exists(camera->pathToMovie().string() + ".pending"));
}

// The album cannot take the movie: it stays in Documents, still pending. The next tap on record moves it
// aside under a dated name, says so, and records; the next launch copies it to the album.
TEST_F(CameraViewControllerTest, AMovieTheAlbumCouldNotTakeMakesRoomAndReachesTheAlbumAtTheNextLaunch)
{
    const auto album = media::PhotoAlbum::videosFolder();
    std::filesystem::remove_all(album);
    std::filesystem::create_directories(album.parent_path());
    std::ofstream(album) << "a file where the album's folder goes";
    show();
    ui::AlertController::dismissAll();
    const ui::Point button = camera->buttonView().frame().center();
    testsupport::tap(root->window(), button);
    film(1.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    fnd::RunLoop::main().processEvents();
    auto alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_NE(alert->message().find("could not be copied to the album"), std::string::npos) << alert->message();
    ui::AlertController::dismissAll();
    const auto movieSize = std::filesystem::file_size(camera->pathToMovie());
    EXPECT_TRUE(std::filesystem::exists(camera->pathToMovie().string() + ".pending"));

    testsupport::tap(root->window(), button);
    EXPECT_TRUE(camera->isRecording());
    alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_NE(alert->message().find("kept in the Documents folder as \"Movie "), std::string::npos) << alert->message();
    ui::AlertController::dismissAll();
    film(0.5);
    testsupport::tap(root->window(), button);
    ASSERT_TRUE(waitFor([&] { return !camera->isFinishingMovie(); }));
    leave();
    camera.reset();

    std::filesystem::remove(album);
    show();
    ASSERT_TRUE(waitFor([&] { return camera->moviesSaved() == 2; }));
    std::vector<std::uintmax_t> sizes;
    for (const auto& entry : std::filesystem::directory_iterator(album))
        sizes.push_back(std::filesystem::file_size(entry.path()));
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), movieSize), sizes.end()) << "the movie set aside is lost";
}

}  // namespace
