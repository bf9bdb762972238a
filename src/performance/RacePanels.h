#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/geo/Location.h"
#include "platform/ui/PageViewController.h"

class GaugeView2;
class GforceView;
class RaceGaugeView;
class ShiftView;
class TrackView;
struct GapReading;
namespace ui {
class Button;
class ImageView;
class Label;
}  // namespace ui

// One page of the race screen's page view. The page dots float over the bottom of every page, so the
// page's content stops above them.
class RacePageViewController : public ui::ViewController {
public:
    RacePageViewController(std::shared_ptr<ui::View> content, long index);
    long index() const { return index_; }
    // The content's size on a page of the given size.
    static ui::Size contentSize(ui::Size page);

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    std::shared_ptr<ui::View> content_;
    long index_ = 0;
};

// The race screen's panels: the pages (race gauge or speed tile, g-force plot, track, shift bar) in their
// page view, the timer panel with the stop and results buttons, and the lap, gap, temperature, gear and
// horsepower panels. They are built into the screen's view and laid out for either orientation; the
// screen tells them what to show.
class RacePanels : public ui::PageViewControllerDataSource {
public:
    // The race gauge shows speed and rpm; without rpm a speed tile takes its page. The shift bar is the
    // fourth page when shift assist is on.
    RacePanels(ui::ViewController& screen, int theme, bool rpmGauge, bool shiftPage);
    ~RacePanels() override;
    RacePanels(const RacePanels&) = delete;
    RacePanels& operator=(const RacePanels&) = delete;

    int pageCount() const { return static_cast<int>(pages_.size()); }
    RaceGaugeView* raceGauge() const { return rGView_.get(); }
    GaugeView2* gaugeTile() const { return gView_.get(); }
    GforceView& gforceView() const { return *gFView_; }
    TrackView& trackView() const { return *trackView_; }
    ShiftView* shiftView() const { return sView_.get(); }
    ui::PageViewController& pageView() const { return *pageView_; }
    ui::Button& stopButton() const { return *stopBtn_; }
    ui::Button& resultsButton() const { return *resultsBtn_; }
    // The timer panel takes the menus' selectors; the others are for tests of the layout.
    ui::View& infoPanel() const { return *infView_; }
    ui::View& statPanel() const { return *statView_; }
    ui::View& gapPanel() const { return *gapView_; }
    ui::View& temperaturePanel() const { return *tempView_; }

    // Run states.
    void showArmed(bool armed);
    void showRunStarted(bool trackLoaded);
    void showRunStopped();
    void showReset();

    // Figures.
    void showTime(const std::string& timer, const std::string& tenths);
    void showHorsepower(int hp);
    void showGap(const GapReading& gap);
    void showLap(const std::string& time, bool best, int lapCount);
    void showTemperature(int value);
    void showTemperatureUnit(bool metric);
    void showGear(int gear);
    // The gear panel reads speed while the shift bar shows the gear.
    void showSpeedInGearPanel(int speed);
    void showTrack(const std::vector<geo::Location>& outline);
    void showNoTrack();

    // Pages: their timers follow the page shown.
    void showPage(int index);
    void stopTimers();

    // Layout.
    void layOut(bool portrait);
    void layOutPageArea();
    // The pages take the page view's size, once it has it.
    void fitPages();
    // Moves the page view and the panels down (or up) by dy, under a bar that drops in.
    void shiftPanels(double dy);

    std::shared_ptr<ui::ViewController> viewControllerBeforeViewController(ui::PageViewController&,
                                                                          ui::ViewController&) override;
    std::shared_ptr<ui::ViewController> viewControllerAfterViewController(ui::PageViewController&,
                                                                         ui::ViewController&) override;
    int presentationCountForPageViewController(ui::PageViewController&) override { return pageCount(); }
    int presentationIndexForPageViewController(ui::PageViewController&) override { return 0; }

private:
    void buildPages(ui::ViewController& screen);
    void buildPanels();
    void applyLightTheme();
    void layOutPortrait();
    void layOutLandscape();
    void layOutCommon();
    void clearRunFigures();
    ui::Rect stopBtnFrame(bool shown) const;
    ui::Color panelBackground() const;

    ui::View& host_;
    int theme_;
    double width_ = 320, height_ = 568;
    double line_ = 1;

    std::shared_ptr<ui::PageViewController> pageView_;
    std::vector<std::shared_ptr<RacePageViewController>> pages_;
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
};
