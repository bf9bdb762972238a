#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/AppScreens.h"
#include "shell/FormViewCon.h"
#include "shell/editors/SensorSelectViewController.h"

namespace ui {
class Label;
class Slider;
}

// "Dashcam settings": the resolution, the frame rate, race mode and its track,
// the number of overlay gauges and the sensor of each, and the overlay
// switches (GPS, time, g-sensor, map, compass). Every change is saved at once.
// The track list is the race screens', so the app hands over how to make it.
class CamSettViewController : public FormViewCon, public SensorSelectViewControllerDelegate {
public:
    static constexpr int minFrameRate = 15;
    static constexpr int maxFrameRate = 30;

    explicit CamSettViewController(ScreenFactory makeTrackSelection);

    // The five resolutions, by Settings.recordMode.
    static const std::vector<std::string>& resolutionNames();
    // The resolutions a machine offers (a prefix of the five, by its identifier).
    static std::vector<std::string> resolutionsFor(const std::string& machine);
    // This machine's identifier (the kernel's machine name).
    static std::string machineName();
    static std::string gaugeCountText(int count);

    // Opens the sensor picker for an entry of Settings.sensors.
    void loadSensrView(int entry);
    void viewWillDismiss(SensorSelectViewController& picker) override;
    void sliderAction(float value);

    int framerate() const { return framerate_; }
    ui::Slider* frameSlider() const { return slider_.get(); }
    ui::Label* frameLabel() const { return frameLabel_.get(); }

    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    std::vector<FormSection> formSections() override;

private:
    void push(std::shared_ptr<ui::ViewController> screen);
    std::string sensorName(int sensorIndex) const;

    ScreenFactory makeTrackSelection_;
    int framerate_ = maxFrameRate;
    int selectedIndex_ = 0;
    std::shared_ptr<ui::Slider> slider_;
    std::shared_ptr<ui::Label> frameLabel_;
};
