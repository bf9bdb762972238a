#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/AppScreens.h"
#include "shell/FormViewCon.h"
#include "shell/editors/SensorSelectViewController.h"

// The settings screen, the root of its own navigation stack: the adapter and
// how the link runs, the warnings, the theme and units, the sensors and custom
// PIDs, and the settings screens of the other features. Every change is saved
// at once; a change of theme is broadcast with "iconChangedNotification".
class SettingsViewController : public FormViewCon {
public:
    // `featureSettings`: the features' own settings screens, one row each in the last section.
    explicit SettingsViewController(std::vector<NamedScreen> featureSettings = {});

    const std::vector<NamedScreen>& featureSettings() const { return featureSettings_; }

    static const std::vector<std::string>& adapterTypeNames();

    // The sensor picker closed: a picked sensor opens in the sensor editor.

protected:
    std::vector<FormSection> formSections() override;
    void formDidChange() override;
    void viewWillAppear(bool animated) override;

private:
    FormSection adapterSection();
    FormSection warningSection();
    FormSection displaySection();
    FormSection sensorSection();
    void push(std::shared_ptr<ui::ViewController> screen);
    void openSensorPicker();
    void openSensorEditor(int sensorIndex);

    std::vector<NamedScreen> featureSettings_;
    int theme_;
};
