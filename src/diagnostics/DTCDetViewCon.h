#pragma once

#include <optional>
#include <string>

#include "platform/ui/TableViewController.h"

// One trouble code in detail: its built-in description, then the possible symptoms and causes found on
// the reference site. "More" shows the code's page on the site. Shown modally in its own navigation
// controller; the texts are copies taken when it opens.
class DTCDetViewCon : public ui::TableViewController {
public:
    // symptom and cause are unset when the lookup stored none; `lookupNote` then says why in words.
    DTCDetViewCon(ui::TableViewStyle style, std::string code, std::string desc, std::optional<std::string> symptom,
                  std::optional<std::string> cause, std::string lookupNote = {});

    const std::string& codeString() const { return codeString_; }
    // The text shown in row 0 of `section`.
    std::string rowText(int section) const;

    void loadWebsite();
    void dismissViewCon();

    // The page of a code on the reference site.
    static std::string pageAddress(const std::string& code);

    int numberOfSectionsInTableView(ui::TableView&) override { return 3; }
    int numberOfRowsInSection(ui::TableView&, int) override { return 1; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView&, int) override { return 35; }
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView&, int section) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;

protected:
    void viewDidLoad() override;

private:
    const std::optional<std::string>& field(int section) const;

    std::string codeString_;
    std::optional<std::string> descString_;
    std::optional<std::string> symptomString_;
    std::optional<std::string> causeString_;
    std::string lookupNote_;
    int theme_ = 0;
};
