#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "shell/LinkedScreen.h"

// The "Freeze frame" tab: on appearance it reads the code that stored the freeze frame (02 02 00),
// then the frame's fourteen values (02 04 00 to 02 11 00) once each, in metric units.
class FreezeViewController : public ui::ViewController,
                             public LinkedScreen,
                                private ui::TableViewDataSource,
                             private ui::TableViewDelegate {
public:
    FreezeViewController();
    ~FreezeViewController() override;

    ui::Label& dtcLabel() { return *dtcLabel_; }
    ui::Label& descLabel() { return *descLabel_; }
    const std::vector<std::string>& dataArr() const { return dataArr_; }
    ui::ActivityIndicator& spinner() { return *spinner_; }
    ui::TableView& table() { return *tb_; }

    static constexpr double loadingPeriod = 5.0;
    // How long the first launch's explanation of the screen shows.
    static constexpr double explanationPeriod = 12.0;

    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerDidReceiveReply(Scanner& link, const std::string& request, const std::vector<Response>& responses,
                                const std::vector<std::string>& texts) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    int numberOfRowsInSection(ui::TableView&, int) override { return static_cast<int>(dataArr_.size()); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView&, int) override { return 30; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int) override;

    void startVisit(Scanner& link) override;
    void sendCommands();
    // The loading indicator for its time, and the value requests.
    void startReadingValues();
    void removeLoadingIndicator();

    int theme_ = 0;
    std::vector<std::string> labelArr_;
    std::vector<std::string> dataArr_;
    std::shared_ptr<ui::TableView> tb_;
    std::shared_ptr<ui::View> topView_;
    std::shared_ptr<ui::Label> label_;
    std::shared_ptr<ui::Label> dtcLabel_;
    std::shared_ptr<ui::Label> descLabel_;
    std::shared_ptr<ui::ActivityIndicator> spinner_;
    fnd::DelayedCall loadingEnd_;
};
