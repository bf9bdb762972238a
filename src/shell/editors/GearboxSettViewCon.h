#pragma once

#include "shell/FormViewCon.h"

// The gearbox settings: the road speed per engine rpm of each of the six
// gears (km/h per rpm) and the engine's red line, written to UserData and
// saved at once.
class GearboxSettViewCon : public FormViewCon {
public:
    GearboxSettViewCon();

    static constexpr float maximumRatio = 1.0f;
    static constexpr int minimumRedLine = 1000;
    static constexpr int maximumRedLine = 20000;

protected:
    std::vector<FormSection> formSections() override;
    void formDidChange() override;
};
