#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "shell/LinkedScreen.h"

// The "Trouble Codes" tab: on appearance it reads the warning lamp (01 01) and the stored, pending and
// permanent codes (03, 07, 0A) once each, lists them with their descriptions in three sections, looks
// each code up on the reference site, opens a code's detail on a tap, and clears the codes (04) after a
// confirmation.
class DTCViewController : public ui::ViewController,
                          public LinkedScreen,
                          private ui::TableViewDataSource,
                          private ui::TableViewDelegate {
public:
    DTCViewController();
    ~DTCViewController() override;

    // The lists: 0 current (stored), 1 pending, 2 permanent.
    static constexpr int listCount = 3;
    const std::vector<std::string>& codes(int list) const { return codeArrays_[list]; }
    const std::vector<std::string>& descriptions(int list) const { return descArrays_[list]; }
    // What the reference site said about a code of a list; absent until a lookup stored it.
    const std::map<std::string, std::string>& symptoms(int list) const { return symptomDicts_[list]; }
    const std::map<std::string, std::string>& causes(int list) const { return causeDicts_[list]; }
    // Why a code's lookup stored nothing ("" while it is under way or when it succeeded).
    std::string lookupNote(int list, const std::string& code) const;

    bool haveMilData() const { return haveMilData_; }
    ui::Label& milLabel() { return *DTCMILLabel_; }
    ui::Label& noCodesLabel() { return *DTCLabel_; }
    ui::ActivityIndicator& spinner() { return *spinner_; }
    ui::TableView& table() { return *tb_; }
    const std::shared_ptr<ui::BarButtonItem>& clearButton() const { return dtcButton_; }

    void setDelegate(const std::shared_ptr<DTCViewControllerDelegate>& menu) override { delegate_ = menu; }

    // The clear button's action: asks, then clears and reads everything again.
    void clearDTCs();
    // Looks a code of list number 1, 2 or 3 up on the reference site.
    void crawlURL(const std::string& code, int listNumber);

    static constexpr double loadingPeriod = 3.0;
    static constexpr double refreshDelay = 0.5;

    void didReceiveResponse(const std::vector<Response>& responses) override;
    void scannerRequestFailed(Scanner& link, const Command& command, ReplyProblem problem) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    // ui::TableViewDataSource, ui::TableViewDelegate
    int numberOfSectionsInTableView(ui::TableView&) override { return listCount; }
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView&, int) override { return 38; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int section) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    void startVisit(Scanner& link) override;
    void scheduleLoadingEnd();
    void removeLoadingIndicator();
    void showVerdict();
    bool isUnread(int list) const;
    void startReading();
    void refreshDTC();
    void showMil(const std::vector<const Response*>& statuses);
    void showMilOff();
    void buildCommands(const Scanner& link);

    std::weak_ptr<DTCViewControllerDelegate> delegate_;
    int theme_ = 0;
    std::vector<std::string> codeArrays_[listCount];
    std::vector<std::string> descArrays_[listCount];
    std::map<std::string, std::string> symptomDicts_[listCount];
    std::map<std::string, std::string> causeDicts_[listCount];
    std::map<std::string, std::string> lookupNotes_[listCount];
    std::vector<Command> commandArr_;
    // How far each list's request got in this visit or refresh; only lists read whole are the all-clear.
    enum class ListState { Waiting, Read, Failed };
    ListState listStates_[listCount] = {};
    bool loadingEnded_ = false;
    bool haveMilData_ = false;
    bool milAnswered_ = false;     // a lamp reply came since the last appearance or refresh
    int reportedCodes_ = 0;        // the stored codes the lamp replies count, lamp on or off
    std::uint64_t loadingEnd_ = 0;  // the latest scheduled end of the loading period

    std::shared_ptr<ui::TableView> tb_;
    std::shared_ptr<ui::View> topView_;
    std::shared_ptr<ui::View> MILBannerView_;
    std::shared_ptr<ui::Label> DTCMILLabel_;
    std::shared_ptr<ui::ImageView> MILImageView_;
    std::shared_ptr<ui::ActivityIndicator> spinner_;
    std::shared_ptr<ui::Label> DTCLabel_;
    std::shared_ptr<ui::ImageView> checkMarkImageView_;
    std::shared_ptr<ui::Label> partNote_;  // under the codes, when a list was read only in part
    std::shared_ptr<ui::BarButtonItem> dtcButton_;
};
