#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mail/MailComposer.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/View.h"

// The run summary: the vehicle (model and year) and the ten figures of the
// run with their units. The action button exports the whole table as a
// one-page PDF by e-mail or as a picture in the photo album.
class RaceResViewCon : public ui::TableViewController, public mail::MailComposeDelegate {
public:
    static constexpr const char* filename = "Racetrack results.pdf";

    RaceResViewCon(std::vector<float> data, ui::TableViewStyle style);
    ~RaceResViewCon() override;

    void actionBtnPressed();
    void shareResultsByEmail();
    void saveResultsToCameraRoll();
    // A one-page PDF of the view, also written to Documents under `name`.
    static std::string createPDFfromUIView(ui::View& view, const std::string& name);
    // The whole table, every row, as an image.
    ui::Image tableImage();
    void dismissViewCon();

    const std::vector<std::string>& descArr() const { return descArr_; }
    const std::vector<std::string>& unitsArr() const { return unitsArr_; }

    int numberOfSectionsInTableView(ui::TableView&) override { return 2; }
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void mailComposeControllerDidFinish(mail::MailComposer&, mail::MailComposeResult) override;

protected:
    void viewDidLoad() override;

private:
    std::vector<float> dataArr_;
    std::vector<std::string> descArr_;
    std::vector<std::string> unitsArr_;
    int theme_ = 0;
    std::unique_ptr<mail::MailComposer> composer_;
};
