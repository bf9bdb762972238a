#pragma once

#include <string>
#include <vector>

#include "shell/FormViewCon.h"

// "Fuel economy settings": the display unit, the fuel type (with its density and
// air/fuel ratio), the calculation method, the fuel price and, for the RPM+MAP
// method, the engine size. The three choices are made on the shared list
// picker; the two numbers are typed into their rows.
class FuelSettingViewCon : public FormViewCon {
public:
    FuelSettingViewCon();

    static const std::vector<std::string>& unitNames();
    static const std::vector<std::string>& fuelNames();
    static const std::vector<std::string>& methodNames();
    // "$/gallon" in the mpg units, "$/litre" in the metric ones.
    static std::string fuelCostUnit(int fuelUnitsMode);

    void showInfo();

protected:
    void viewDidLoad() override;
    std::vector<FormSection> formSections() override;
    void formDidChange() override;

private:
    void pick(int row, const std::vector<std::string>& names, int selectMode, const std::string& label);
};
