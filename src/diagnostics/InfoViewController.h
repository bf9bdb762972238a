#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/TableViewController.h"
#include "shell/LinkedScreen.h"

// The "Info" tab: while shown it polls the vehicle information items (09 02, 04, 06, 0A) and nine
// service-01 values in a repeating cycle, and shows them in a "Vehicle" and a "Metrics" section.
class InfoViewController : public ui::TableViewController, public LinkedScreen {
public:
    explicit InfoViewController(ui::TableViewStyle style = ui::TableViewStyle::Grouped);

    // Section 0: VIN, calibration ID, calibration verification numbers, ECU name.
    const std::vector<std::string>& vehicleTexts() const { return vehicle_; }
    const std::vector<std::string>& infoArrData() const { return infoArrData_; }
    ui::ActivityIndicator& spinner() { return *spinner_; }

    static constexpr double loadingPeriod = 3.0;

    void didReceiveResponse(const std::vector<Response>& responses) override;

    int numberOfSectionsInTableView(ui::TableView&) override { return 2; }
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return 50; }
    double heightForHeaderInSection(ui::TableView&, int) override { return 35; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int section) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    void startVisit(Scanner& link) override;
    void setupCommands(Scanner& link);

    int theme_ = 0;
    std::vector<std::string> vehicleTitles_;
    std::vector<std::string> vehicle_;
    std::vector<std::string> infoArr2_;
    std::vector<std::string> infoArrData_;
    std::shared_ptr<ui::ActivityIndicator> spinner_;
};
