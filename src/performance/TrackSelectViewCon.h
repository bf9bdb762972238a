#pragma once

#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/TableViewController.h"

// The saved tracks: "New track" (none) and each track with its outline, name
// and length. A tap checks the track lap timing uses; a swipe deletes one.
// Leaving the list stores the choice in RaceData (saved with the model).
class TrackSelectViewCon : public ui::TableViewController {
public:
    TrackSelectViewCon();

    // The checked row: 0 "New track", r >= 1 the track at r - 1.
    int index() const { return index_; }
    void removeView();

    int numberOfRowsInSection(ui::TableView&, int) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath) override;
    double heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    bool canEditRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void commitEditingStyle(ui::TableView&, ui::TableViewCellEditingStyle, ui::IndexPath indexPath) override;

    ui::Label& noTracksLabel() { return *noTracksLabel_; }

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void viewDidLoad() override;

private:
    int index_ = 0;
    std::shared_ptr<ui::Label> noTracksLabel_;
};
