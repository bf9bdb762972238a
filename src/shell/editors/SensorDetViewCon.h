#pragma once

#include <string>

#include "shell/FormViewCon.h"

struct Pid;

// The editor of one sensor: its long and short name, its range and unit
// system, and its limit warning (on or off, with sound, the low and high
// limits in the sensor's unit). Every change is written to UserData at once,
// saved and broadcast with "gaugeModifiedNotification".
class SensorDetViewCon : public FormViewCon {
public:
    // `min` and `max` are the range in the sensor's current unit system;
    // `isCustom` marks a custom PID (ind 101 and up), whose range is its own.
    SensorDetViewCon(ui::TableViewStyle style, std::string name, std::string sName, float min, float max, int ind,
                     bool isCustom);

    int sensorIndex() const { return ind_; }

protected:
    std::vector<FormSection> formSections() override;
    void formDidChange() override;

private:
    bool isValid() const;
    Pid* customPid() const;
    bool isMetric() const;
    void setMetric(bool metric);
    // Reads the range of the current unit system into min_ and max_.
    void loadRange();
    std::string storeName(const std::string& text, bool shortName);
    std::string storeRange(const std::string& text, bool maximum);
    std::string storeLimit(const std::string& text, bool high);

    std::string name_;
    std::string sName_;
    float min_;
    float max_;
    int ind_;
    bool isCustom_;
};
