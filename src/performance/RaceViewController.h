#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/RaceEngine.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/Timer.h"
#include "platform/geo/LocationManager.h"
#include "platform/motion/MotionManager.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/BarItems.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/PageViewController.h"
#include "shell/TemplateViewCon.h"
#include "shell/WarningAlert.h"

class GaugeView2;
class GforceView;
class RaceGaugeView;
class ShiftView;
class TrackView;
namespace ui {
class Button;
class ImageView;
class Label;
class SegmentedControl;
}  // namespace ui

// One page of the race screen's page view; its view is the page's view.
class RacePageViewController : public ui::ViewController {
public:
    RacePageViewController(std::shared_ptr<ui::View> content, long index);
    long index() const { return index_; }
    void setIndex(long index) { index_ = index; }

protected:
    void loadView() override;

private:
    std::shared_ptr<ui::View> content_;
    long index_ = 0;
};

// The "Racing" screen: drag runs and GPS lap timing. Arms on "Ready", starts
// when the phone feels the launch, polls speed, rpm and the power input, and
// shows four pages (race gauge, g-force plot, track, shift bar) above the
// timer and the lap, gap, gear, temperature and horsepower panels. The timing
// itself is RaceEngine's; this screen feeds it and shows what it measures.
class RaceViewController : public TemplateViewCon,
                           public RaceEngineDelegate,
                           public geo::LocationManagerDelegate,
                           public ui::PageViewControllerDataSource,
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
    void toggleViewVisibility();
    void openMenu();
    void closeMenu();
    void menuDidClose() override;
    void slideMenuBar();
    void hideNavBar();
    void displayOptions();
    void showTrackSelection();
    void changeTheViewToPortrait(bool portrait, double duration);
    void turnedToPage(int index);
    int pageIndex() const { return pageIndex_; }
    int pageCount() const { return shiftAssist_ ? 4 : 3; }

    // Views, for the owner and tests.
    RaceGaugeView* raceGauge() const { return rGView_.get(); }
    GaugeView2* gaugeTile() const { return gView_.get(); }
    GforceView* gforceView() const { return gFView_.get(); }
    TrackView* trackView() const { return trackView_.get(); }
    ShiftView* shiftView() const { return sView_.get(); }
    ui::PageViewController* pageView() const { return topPageViewController_.get(); }
    ui::Label& timerLabel() { return *timerLabel_; }
    ui::Label& miliSecLabel() { return *miliSecLabel_; }
    ui::Label& msgLabel() { return *msgLabel_; }
    ui::Label& lapValLabel() { return *lapValLabel_; }
    ui::Label& bestLapValLabel() { return *bestLapValLabel_; }
    ui::Label& lastLapValLabel() { return *lastLapValLabel_; }
    ui::Label& gapValLabel() { return *gapValLabel_; }
    ui::View& gapView() { return *gapView_; }
    ui::Label& hpValLabel() { return *hpValLabel_; }
    ui::Label& gearValLabel() { return *gearValLabel_; }
    ui::Label& gearEndLabel() { return *gearEndLabel_; }
    ui::Label& tempValLabel() { return *tempValLabel_; }
    ui::Label& tempUnitLabel() { return *tempUnitLabel_; }
    ui::Label& trackLabel() { return *trackLabel_; }
    ui::SegmentedControl& readySegCon() { return *readySegCon_; }
    ui::SegmentedControl& raceModeSegCon() { return *raceModeSegCon_; }
    ui::Button& stopBtn() { return *stopBtn_; }
    ui::Button& resultsBtn() { return *resultsBtn_; }
    ui::NavigationBar& topNavBar() { return *topNavBar_; }
    ui::View& infView() { return *infView_; }
    ui::View& statView() { return *statView_; }
    ui::View& gearView() { return *gearView_; }
    bool isMenuOpen() const { return menuOpen_; }
    bool tapDetected() const { return tapDetected_; }
    int gearVal() const { return gearVal_; }

    // Lifecycle.
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    // Page view.
    std::shared_ptr<ui::ViewController> viewControllerBeforeViewController(ui::PageViewController&,
                                                                          ui::ViewController&) override;
    std::shared_ptr<ui::ViewController> viewControllerAfterViewController(ui::PageViewController&,
                                                                         ui::ViewController&) override;
    int presentationCountForPageViewController(ui::PageViewController&) override { return pageCount(); }
    int presentationIndexForPageViewController(ui::PageViewController&) override { return 0; }
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
    void loadData();
    void buildPages();
    void buildPanels();
    void buildNavigationBar();
    void applyLightTheme();
    void releaseViews();
    void layOutPortrait();
    void layOutLandscape();
    void layOutCommon();
    void showArmed(bool armed);
    void clearRunFigures();
    ui::Color panelBackground() const;
    void stopPageTimers();
    void linkDropped();
    void loadSelectedTrack();
    bool metricSpeed() const;
    bool metricTemperature() const;
    ui::Rect stopBtnFrame(bool shown) const;
    void setScrollingEnabled(bool enabled);

    RaceEngine engine_;
    std::shared_ptr<motion::MotionManager> motionManager_;
    std::shared_ptr<fnd::OperationQueue> deviceQueue_;
    std::unique_ptr<geo::LocationManager> locationManager_;
    bool locationEnabled_ = false;
    bool locationServicesDetermined_ = true;
    std::atomic<bool> isPortrait_{true};

    int theme_ = 0;
    double width_ = 320, height_ = 568;
    double line_ = 1;
    bool shiftAssist_ = true;
    bool rpmEnabled_ = true;
    bool isIphoneXAndUp_ = false;
    bool tapDetected_ = false;
    bool isPortrait2_ = false;
    bool dataUnloaded_ = false;
    bool menuOpen_ = false;
    bool savedTrackShown_ = false;  // the track page shows a saved track, not a recorded lap
    WarningAlert temperatureWarning_{"WARNING"};
    int pageIndex_ = 0;
    std::vector<float> transArr_;
    int rpmRedLine_ = 8000;
    int gearVal_ = 1;
    float conversion2_ = 1.0f;
    fnd::DelayedCall hideBarCall_;
    fnd::NotificationCenter::Token dropObserver_;

    std::shared_ptr<ui::PageViewController> topPageViewController_;
    std::vector<std::shared_ptr<RacePageViewController>> viewControllers_;
    std::shared_ptr<ui::View> topView_, infView_, statView_;
    std::shared_ptr<ui::View> bestView_, prevView_, tempView_, gapView_, gearView_, hpView_;
    std::shared_ptr<RaceGaugeView> rGView_;
    std::shared_ptr<GaugeView2> gView_;
    std::shared_ptr<GforceView> gFView_;
    std::shared_ptr<TrackView> trackView_;
    std::shared_ptr<ShiftView> sView_;
    std::shared_ptr<ui::Label> trackLabel_, lapLabel_, lapValLabel_, timerLabel_, miliSecLabel_, msgLabel_;
    std::shared_ptr<ui::Label> bestLapLabel_, bestLapValLabel_, lastLapLabel_, lastLapValLabel_;
    std::shared_ptr<ui::Label> tempLabel_, tempValLabel_, tempUnitLabel_, gapLabel_, gapValLabel_;
    std::shared_ptr<ui::Label> gearLabel_, gearValLabel_, gearEndLabel_, hpLabel_, hpValLabel_;
    std::shared_ptr<ui::ImageView> shiftImgView_;
    std::shared_ptr<ui::Button> stopBtn_, resultsBtn_;
    std::shared_ptr<ui::SegmentedControl> raceModeSegCon_, readySegCon_;
    std::shared_ptr<ui::NavigationBar> topNavBar_;
    ui::NavigationItem barItem_;
};
