#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "diagnostics/MonitorStatus.h"
#include "platform/ui/TableViewController.h"
#include "shell/LinkedScreen.h"

// The "Emissions" tab: asks once per appearance for the monitor status since the codes were cleared
// (01 01) and shows each readiness monitor as complete, incomplete or unavailable.
class DiagViewController : public ui::TableViewController, public LinkedScreen {
public:
    explicit DiagViewController(ui::TableViewStyle style = ui::TableViewStyle::Grouped);

    const std::vector<std::string>& tests() const { return tests_; }
    const std::vector<std::string>& testStates() const { return testStates_; }
    const std::array<MonitorState, 11>& readings() const { return readings_; }

    void didReceiveResponse(const std::vector<Response>& responses) override;

    int numberOfRowsInSection(ui::TableView&, int) override { return static_cast<int>(tests_.size()); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView&, int) override { return 35; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int section) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    void startVisit(Scanner& link) override;
    void setStatus(const std::array<MonitorState, 11>& readings);

    int theme_ = 0;
    std::vector<std::string> tests_;
    std::vector<std::string> testStates_;
    std::array<MonitorState, 11> readings_{};
};
