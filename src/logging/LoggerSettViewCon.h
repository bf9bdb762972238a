#pragma once

#include <string>
#include <vector>

#include "shell/FormViewCon.h"

// The data logger's settings: where recordings go (CSV files or a TCP server,
// with its address and port), one file or one per chart, how often a row is
// logged, whether TCP lines carry the sensor's name, and time stamps. Every
// change is saved at once.
class LoggerSettViewCon : public FormViewCon {
public:
    LoggerSettViewCon();

    // The sample-rate text of a stored delay, and the picker row it checks.
    static std::string sampleRateText(float delay);
    static int sampleRateRow(float delay);

    void viewWillAppear(bool animated) override;

protected:
    std::vector<FormSection> formSections() override;
    TableLook formLook() const override;

private:
    void push(std::shared_ptr<ui::ViewController> screen);
};
