#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/RaceEngine.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/geo/LocationManager.h"
#include "platform/motion/MotionManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/PageViewController.h"
#include "performance/RaceMenus.h"
#include "performance/RacePanels.h"
#include "shell/TemplateViewCon.h"

// The "Racing" screen: drag runs and GPS lap timing. Arms on "Ready", starts
// when the phone feels the launch, polls speed, rpm and the power input, and
// shows four pages (race gauge, g-force plot, track, shift bar) above the
// timer and the lap, gap, gear, temperature and horsepower panels. The timing
// itself is RaceEngine's; this screen feeds it and has RacePanels show what it
// measures, and RaceMenus offer its options and raise its alerts.
class RaceViewController : public TemplateViewCon,
                           public RaceEngineDelegate,
                           public geo::LocationManagerDelegate,
                           public ui::PageViewControllerDelegate {
public:
    static constexpr int speedLimitSound = 1005;
    static constexpr int warningSound = 1052;
    static constexpr int resetSound = 1103;

    RaceViewController();
    ~RaceViewController() override;

    RaceEngine& engine() { return engine_; }

    // Polling.
    void startScanning() override;
    void sendCommands();
    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveStatusResponse(Scanner& scanner, const std::vector<Response>& responses) override;
    void checkSensor(const Response& response);
    void updateGear();

    // Motion: one device-motion sample, on the motion queue.
    void handleDeviceMotion(const motion::DeviceMotion& sample);

    // Timing actions.
    void toggleRacing(int segment);
    void toggleDragTrack(int segment);
    void startRecording();
    void stopRecording();
    void showResults();
    void resetData();

    // Menus, gestures and layout.
    void openMenu();
    void closeMenu();
    void menuDidClose() override;
    void showTrackSelection();
    void changeTheViewToPortrait(bool portrait);
    void turnedToPage(int index);
    int pageIndex() const { return pageIndex_; }

    // What the screen shows, for tests; null until the view has loaded.
    RacePanels* panels() const { return panels_.get(); }
    RaceMenus* menus() const { return menus_.get(); }

    // Lifecycle.
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    // Page view.
    void didFinishAnimating(ui::PageViewController&, bool finished,
                            const std::vector<std::shared_ptr<ui::ViewController>>& previous,
                            bool completed) override;

    // Location.
    void locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>&) override;
    void locationManagerDidChangeAuthorizationStatus(geo::LocationManager&, geo::AuthorizationStatus) override;

    // Engine.
    void raceEngineDidTick(RaceEngine&) override;
    void raceEngineDidMove(RaceEngine&, const geo::Location&) override;
    void raceEngineDidMeasureGap(RaceEngine&, const GapReading&) override;
    void raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>&) override;
    void raceEngineDidCompleteLap(RaceEngine&, const Lap&, bool best) override;
    void raceEngineDidStop(RaceEngine&) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void viewWillLayoutSubviews() override;

private:
    void linkDropped();
    void loadSelectedTrack();
    bool metricSpeed() const;
    bool metricTemperature() const;
    void setScrollingEnabled(bool enabled);

    RaceEngine engine_;
    std::shared_ptr<motion::MotionManager> motionManager_;
    std::shared_ptr<fnd::OperationQueue> deviceQueue_;
    std::unique_ptr<geo::LocationManager> locationManager_;
    bool locationEnabled_ = false;
    bool locationServicesDetermined_ = true;
    std::atomic<bool> isPortrait_{true};

    bool isIphoneXAndUp_ = false;
    bool menuOpen_ = false;
    bool savedTrackShown_ = false;  // the track page shows a saved track, not a recorded lap
    int pageIndex_ = 0;
    std::vector<float> transArr_;
    int rpmRedLine_ = 8000;
    int gearVal_ = 1;
    float conversion2_ = 1.0f;
    fnd::NotificationCenter::Token dropObserver_;

    std::unique_ptr<RacePanels> panels_;
    std::unique_ptr<RaceMenus> menus_;  // after the panels: it moves them
};
