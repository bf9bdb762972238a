#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/Lap.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class TrackView;

// Saves a recorded lap as a named track: a preview of the outline above a
// form for the name and the length. Refused with a message when the lap has
// fewer than two positions.
class AddTrackViewCon : public ui::ViewController,
                        public ui::TableViewDataSource,
                        public ui::TableViewDelegate,
                        public ui::TextFieldDelegate {
public:
    explicit AddTrackViewCon(Lap lap);
    ~AddTrackViewCon() override;

    // Adds the track; false (with a message) when there is no outline to save.
    bool saveTrack();
    void dismissView();

    const std::string& trackname() const { return trackname_; }
    float trackDistance() const { return trackDistance_; }
    TrackView* tView() const { return tView_.get(); }
    ui::TextField* field(int row) const;

    int numberOfRowsInSection(ui::TableView&, int) override { return 2; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void textFieldDidEndEditing(ui::TextField& field) override;
    bool textFieldShouldReturn(ui::TextField& field) override;

    void viewDidAppear(bool animated) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void layoutForm();

    Lap lap_;
    std::vector<geo::Location> coordinatesArr_;
    std::string trackname_;
    float trackDistance_ = 0;
    std::shared_ptr<TrackView> tView_;
    std::shared_ptr<ui::TableView> tV_;
    std::vector<std::string> tableViewDataArr_;
    std::vector<std::shared_ptr<ui::TextField>> fields_;
};
