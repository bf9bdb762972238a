#pragma once

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

#include <memory>

namespace ui {

// A screen whose view is a table (plain or grouped) of the screen's size,
// with the screen as its data source and delegate. Subclasses override the
// data source and delegate methods they need; the table starts empty. When
// it comes on screen it deselects the selected row, and on its first
// appearance it loads its rows.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style = TableViewStyle::Plain);
    ~TableViewController() override;

    TableView& tableView();
    TableViewStyle style() const { return style_; }
    bool clearsSelectionOnViewWillAppear() const { return clearsSelection_; }
    void setClearsSelectionOnViewWillAppear(bool clears) { clearsSelection_ = clears; }

    void viewWillAppear(bool animated) override;
    void setEditing(bool editing, bool animated) override;

    int numberOfRowsInSection(TableView&, int) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override;

protected:
    void loadView() override;

private:
    void makeTable();

    TableViewStyle style_;
    std::shared_ptr<TableView> table_;
    bool clearsSelection_ = true;
    bool loadedRows_ = false;
};

} // namespace ui
