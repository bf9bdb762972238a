#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dashcam/ButtonView.h"
#include "dashcam/CameraLiveData.h"
#include "dashcam/CameraScreenGeometry.h"
#include "dashcam/PendingMovie.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Timer.h"
#include "platform/geo/LocationManager.h"
#include "platform/media/SampleBuffer.h"
#include "platform/motion/MotionManager.h"
#include "platform/ui/Image.h"
#include "shell/TemplateViewCon.h"

class CamGaugeView;
class CameraRaceMode;
class PictureTextView;
class CompassView;
class GforceView;
class GfxAlphaBlendFilter;
class GfxBrightnessFilter;
class GfxMovieWriter;
class GfxUIElement;
class GfxVideoCamera;
class GfxView;
struct Settings;
namespace ui {
class Button;
class GestureRecognizer;
class Label;
}

// The dash camera: the camera picture in landscape with an overlay of live
// gauge tiles (painted into the picture, so the movie holds what the user
// sees) and a record button. Recording writes Documents/Movie.m4v and copies
// each finished movie to the album.
class CameraViewController : public TemplateViewCon, public ButtonViewDelegate, public geo::LocationManagerDelegate {
public:
    static constexpr double recordTick = 0.1;

    CameraViewController();
    ~CameraViewController() override;

    // At launch, with the screen made but not opened: the movies an earlier run left pending (cut short,
    // not taken by the album, set aside) go to the album, without holding the start.
    void saveMoviesLeftToAlbum();

    void startScanning() override;
    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveVoltage(Scanner& scanner, const std::vector<Response>& responses) override;

    bool buttonPressed() override;
    void locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>& locations) override;
    void locationManagerDidUpdateHeading(geo::LocationManager&, const geo::Heading& heading) override;
    void locationManagerDidChangeAuthorizationStatus(geo::LocationManager&, geo::AuthorizationStatus status) override;
    void locationManagerDidFailWithError(geo::LocationManager&, const std::string& error) override;
    // Starts or stops a recording; a start is refused without a camera, without
    // a connected link, and while the previous movie is still being finished.
    void recordData();
    // The per-frame overlay update (the camera filter's completion block).
    void overlayUpdate();

    bool isRecording() const { return recording_; }
    // The previous movie (or one an earlier run left unfinished) is still being written or
    // copied to the album.
    bool isFinishingMovie() const { return finishing_ != nullptr || savingLeftMovie_; }
    // Frames the running recording has written so far.
    std::size_t framesRecorded() const;
    bool isConnected() const { return connected_; }
    bool hasCamera() const { return captureDevice_ != nullptr; }
    const std::filesystem::path& pathToMovie() const { return pathToMovie_; }
    const std::vector<std::shared_ptr<CamGaugeView>>& gaugeArr() const { return gaugeArr_; }
    const std::vector<std::string>& gaugeValArray() const { return gaugeValArray_; }
    const CameraLiveData& liveData() const { return live_; }
    ui::Label& recordLabel() const { return *recordLabel_; }
    ButtonView& buttonView() const { return *buttonView_; }
    GfxUIElement& uiElementInput() const { return *uiElementInput_; }
    GfxVideoCamera* captureDevice() const { return captureDevice_.get(); }
    GforceView* gFView() const { return gFView_.get(); }
    CompassView* cView() const { return cView_.get(); }
    // Race mode's track tile, lap and timer; none unless race mode was on at load.
    CameraRaceMode* raceMode() const { return race_.get(); }
    ui::Label* coordinatesLabel() const { return coordinatesLabel_.get(); }
    ui::Label* timeLabel() const { return timeLabel_.get(); }
    // Position updates reach the screen (they may go on after it was left).
    bool isUpdatingLocation() const { return locationManager_ && locationManager_->isUpdatingLocation(); }
    // The g-force tile's accelerations (g), as the motion handler left them.
    float x() const { return x_; }
    float y() const { return y_; }
    // Movies copied to the album during this screen's life.
    int moviesSaved() const { return moviesSaved_; }

    unsigned supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override { return false; }
    ui::InterfaceOrientation preferredInterfaceOrientationForPresentation() const override
    {
        return ui::InterfaceOrientation::LandscapeRight;
    }
    bool prefersStatusBarHidden() const override { return true; }

    // The screen is landscape only. A window cannot be turned from here, so
    // forcing landscape lays the screen out for the window it has: as it is
    // in a landscape window, on the picture's band across a portrait one.
    void rotateScreen() override;
    void willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;
    void viewWillTransitionToSize(ui::Size size, ui::TransitionCoordinator& coordinator) override;
    // Re-wires the pipeline and moves the controls for the window's shape
    // now (the flag only says which shape that is).
    void changeTheViewToPortrait(bool portrait, double duration);

    void tapToFocus(ui::GestureRecognizer& gesture);
    void leftSwipe();
    void rightSwipe();

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    // The screen is built in steps: the overlay recorded with the picture (tiles, race mode, top panel),
    // the controls on the screen, and the pipeline from the camera through the overlay to the screen.
    void buildOverlay(const Settings& settings);
    // The overlay's pieces as the settings now ask (tiles, g-force, race mode, top panel), in place of
    // the ones built before; their faces and needles follow in rebuildTiles.
    void buildOverlayContents(const Settings& settings);
    void removeOverlayContents();
    void buildControls();
    void buildPipeline();
    // The camera at the resolution of recordMode_; none (and a message saying why) without one.
    void makeCamera();
    // A device of the running camera cannot be read: without the camera nothing is recorded, without the
    // microphone the movie has no sound.
    void captureFailed(media::MediaType type, const std::string& error);
    // Says on the screen, in place of the picture, why there is none.
    void showUnavailable(const std::string& message);
    void rebuildTiles();
    // The overlay was built for other settings than those now (a switch, a tile's sensor, the tile count,
    // the resolution).
    bool overlayOutdated(const Settings& settings) const;
    void addGestures();
    void addMenuButton();
    // Where the controls go in the window now.
    camerascreen::ControlsLayout controlsLayout() const;
    void layoutControls();
    ui::Size pictureSize() const;
    void wirePipeline();
    void startRecording();
    void stopRecording();
    void updateRecordLabel();
    void keepLeftMovie();
    // Moves a movie the album did not take out of the new recording's way, and tells where it is kept;
    // false (told why) when it stays in the way.
    bool setLeftMovieAside();
    // Movies set aside in an earlier run go to the album, and then leave Documents.
    void offerMoviesSetAside();
    void movieFinished();
    // A copy to the album ended: counted, or the user told why the movie is still in Documents.
    void albumCopyDone(bool saved, const std::string& error);
    // Stops a recording whose movie cannot be written and tells the user why.
    void movieFailed(const GfxMovieWriter* writer, const std::string& error);
    // Going to the background or quitting stops and saves a recording.
    void stopRecordingForTheApp(bool quitting);

    std::shared_ptr<GfxView> gpuImgView_;
    std::shared_ptr<PictureTextView> pictureTexts_;
    std::shared_ptr<ui::View> overlayView_;
    std::shared_ptr<GfxVideoCamera> captureDevice_;
    std::shared_ptr<GfxBrightnessFilter> filter_;
    std::shared_ptr<GfxAlphaBlendFilter> blendFilter_;
    std::shared_ptr<GfxUIElement> uiElementInput_;
    std::shared_ptr<GfxMovieWriter> movieWriter_;
    std::shared_ptr<GfxMovieWriter> finishing_;
    std::shared_ptr<ButtonView> buttonView_;
    std::shared_ptr<ui::Button> menuButton_;
    std::shared_ptr<CompassView> cView_;
    std::shared_ptr<GforceView> gFView_;
    std::unique_ptr<CameraRaceMode> race_;
    motion::MotionManager motionManager_;
    std::shared_ptr<fnd::OperationQueue> motionQueue_;
    std::atomic<float> x_{0};
    std::atomic<float> y_{0};
    bool gForceEnabled_ = false;
    std::shared_ptr<ui::Label> recordLabel_;
    // Why the screen cannot record (no camera, no media module, a camera that cannot be read); none when it can.
    std::shared_ptr<ui::Label> unavailableLabel_;
    // The camera gave no picture since it failed.
    bool cameraUnreadable_ = false;
    std::shared_ptr<ui::Label> coordinatesLabel_;
    std::shared_ptr<ui::Label> timeLabel_;
    std::shared_ptr<ui::View> panelShade_;
    std::unique_ptr<geo::LocationManager> locationManager_;
    std::shared_ptr<fnd::Timer> clockTimer_;
    std::string coordinatesStr_;
    bool coordinatesHaveChanged_ = false;
    bool shouldUpdateTime_ = true;
    bool locationServicesDetermined_ = false;
    std::vector<std::shared_ptr<CamGaugeView>> gaugeArr_;
    std::vector<std::string> gaugeValArray_;
    std::vector<ui::Image> needleImageArray_;
    std::vector<ui::Image> needleArray_;
    CameraLiveData live_;
    std::filesystem::path pathToMovie_;
    PendingMovie pendingMovie_;
    bool savingLeftMovie_ = false;
    // Movies set aside on their way to the album.
    int asideCopies_ = 0;
    std::shared_ptr<fnd::Timer> counterTimer_;
    fnd::NotificationCenter::Token modifiedToken_;
    fnd::NotificationCenter::Token backgroundToken_;
    fnd::NotificationCenter::Token closedToken_;
    // What the overlay was built from, to rebuild it when the settings change.
    struct OverlayChoice {
        int camGaugeCount, recordMode;
        bool is30Framerate, gMeterEnabled, isRaceMode, gpsEnabled, displayTimeEnabled, compassEnabled;
        std::vector<int> slotSensors;
        bool operator==(const OverlayChoice&) const = default;
    };
    static OverlayChoice overlayChoice(const Settings& settings);
    OverlayChoice builtFor_{};
    int recordMode_ = 2;
    bool is30Frames_ = false;
    // rebuildTiles took the tiles' faces into the overlay and hid them.
    bool facesTaken_ = false;
    bool firstLaunch_ = true;
    bool connected_ = false;
    bool recording_ = false;
    bool shouldUpdate_ = true;
    int ticks_ = 0;
    // The screen size the controls were last laid out for.
    ui::Size laidOutFor_;
    int moviesSaved_ = 0;
};
