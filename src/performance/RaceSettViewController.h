#pragma once

#include <string>
#include <vector>

#include "shell/FormViewCon.h"

// "Race track settings": the vehicle's model and year (shown with the race
// results), engine-speed tracking, the gearbox ratios, the horsepower method,
// shift assist and the shift-light colour. Shift assist needs engine speed.
class RaceSettViewController : public FormViewCon {
public:
    RaceSettViewController();

    static std::string shiftLightColorName(int color);
    void switchChanged(int tag, bool on);
    void pickOne(int segment);
    void showInfo();

protected:
    void viewDidLoad() override;
    std::vector<FormSection> formSections() override;
    void formDidChange() override;
};
