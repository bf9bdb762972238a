#pragma once

#include <optional>
#include <string>

#include "core/link/Scanner.h"
#include "core/model/Pid.h"
#include "platform/foundation/Timer.h"
#include "shell/FormViewCon.h"

// The editor of a custom PID: its names, the request (service, PID and an
// optional second PID byte, in hexadecimal), its units (metric text, imperial
// text, which one is shown, and the conversion and offset that make the
// imperial value), its range and its formula over the reply bytes A to J.
// Save refuses a PID whose formula does not parse, saying where; a new PID gets
// limit settings of its own. "Test" sends the request through the link when it
// is connected and shows the value the formula makes of the reply.
class PidViewController : public FormViewCon {
public:
    // A new custom PID.
    PidViewController();
    // Custom PID `pidIndex` of UserData.pids.
    explicit PidViewController(int pidIndex);
    ~PidViewController() override;

    // Checks everything and stores the PID; false (after an alert) when something is not valid.
    bool save();
    // Sends the request; the value (or why there is none) shows under the formula.
    void testAgainstCar();

    const Pid& draft() const { return draft_; }
    const std::string& formula() const { return formula_; }
    const std::string& testResult() const { return testResult_; }

    // How long a test waits for the reply.
    static constexpr double testTimeout = 5.0;

protected:
    std::vector<FormSection> formSections() override;
    void viewWillDisappear(bool animated) override;

private:
    void testReplied(const std::vector<Response>& responses);
    void endTest(std::string result);
    // The message key or text of the first thing that is not valid, or empty.
    std::string validate() const;

    std::optional<int> pidIndex_;
    Pid draft_;
    std::string formula_;
    std::string testResult_;
    bool testing_ = false;  // a test is waiting for its reply
    fnd::DelayedCall testTimeout_;
};
