#pragma once

#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class SwipeGestureRecognizer;
class TableView;

enum class TableViewStyle { Plain, Grouped };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };
// Accepted for the platform's sake; rows change at once.
enum class TableViewRowAnimation { None, Fade, Right, Left, Top, Bottom, Middle, Automatic };
enum class TableViewSeparatorStyle { None, SingleLine };

// Where the rows come from. Rows can be deleted only where
// canEditRowAtIndexPath says so; commitEditingStyle then removes the row
// from the data and calls deleteRowsAtIndexPaths.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
    virtual int numberOfRowsInSection(TableView&, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath indexPath) = 0;
    virtual std::string titleForHeaderInSection(TableView&, int /*section*/) { return {}; }
    virtual std::string titleForFooterInSection(TableView&, int /*section*/) { return {}; }
    virtual bool canEditRowAtIndexPath(TableView&, IndexPath) { return false; }
    virtual void commitEditingStyle(TableView&, TableViewCellEditingStyle, IndexPath) {}
};

// Heights, header views and what the user does with rows. A height left at
// automaticDimension takes the table's own value.
class TableViewDelegate : public ScrollViewDelegate {
public:
    static constexpr double automaticDimension = -1;
    virtual double heightForRowAtIndexPath(TableView&, IndexPath) { return automaticDimension; }
    virtual double heightForHeaderInSection(TableView&, int /*section*/) { return automaticDimension; }
    virtual double heightForFooterInSection(TableView&, int /*section*/) { return automaticDimension; }
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView&, int /*section*/) { return nullptr; }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView&, int /*section*/) { return nullptr; }
    virtual void willDisplayCell(TableView&, TableViewCell&, IndexPath) {}
    virtual void didSelectRowAtIndexPath(TableView&, IndexPath) {}
    virtual void didDeselectRowAtIndexPath(TableView&, IndexPath) {}
    // For rows the data source lets edit.
    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView&, IndexPath)
    {
        return TableViewCellEditingStyle::Delete;
    }
};

// A vertical list of sections of rows. Only rows on screen have cells: a
// cell leaving the screen goes back to the reuse queue of its identifier.
// The data source is asked lazily: after reloadData, at the next layout or
// the next question about visible rows. A tap selects a row (one at a time);
// deleting is by the delete control in editing mode or by a left swipe.
class TableView : public ScrollView {
public:
    explicit TableView(Rect frame = {}, TableViewStyle style = TableViewStyle::Plain);
    ~TableView() override;

    TableViewStyle style() const { return style_; }

    // Neither is owned; their owner clears them before it goes away.
    TableViewDataSource* dataSource() const { return dataSource_; }
    void setDataSource(TableViewDataSource* dataSource);
    TableViewDelegate* delegate() const { return delegate_; }
    void setDelegate(TableViewDelegate* delegate);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    TableViewSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewSeparatorStyle style);
    Color separatorColor() const { return separatorColor_; }
    void setSeparatorColor(Color color);

    // Above the first section and below the last, as tall as their frames.
    const std::shared_ptr<View>& tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<View> view);
    const std::shared_ptr<View>& tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<View> view);
    // Fills the table behind everything and does not scroll.
    const std::shared_ptr<View>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);

    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionDuringEditing_; }
    void setAllowsSelectionDuringEditing(bool allows) { allowsSelectionDuringEditing_ = allows; }

    // Cells for an identifier: dequeueReusableCellWithIdentifier makes one
    // with the factory when none is waiting.
    using CellFactory = std::function<std::shared_ptr<TableViewCell>()>;
    void registerClass(CellFactory factory, const std::string& identifier);
    // A cell that left the screen, prepared for reuse; a new one from the
    // registered factory; or null.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);

    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths,
                                TableViewRowAnimation animation = TableViewRowAnimation::None);
    // The data source already holds the new rows; index paths are those after the change.
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths,
                                TableViewRowAnimation animation = TableViewRowAnimation::None);
    // The data source already lost the rows; index paths are those before the change.
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths,
                                TableViewRowAnimation animation = TableViewRowAnimation::None);

    int numberOfSections();
    int numberOfRowsInSection(int section);
    Rect rectForHeaderInSection(int section);
    Rect rectForFooterInSection(int section);
    Rect rectForRowAtIndexPath(IndexPath indexPath);
    // The row at a point of the content; none between rows.
    std::optional<IndexPath> indexPathForRowAtPoint(Point point);
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell);
    // Null for a row that is not on screen.
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(IndexPath indexPath);
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    View* headerViewForSection(int section);

    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    // In code: the delegate hears nothing.
    void selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated,
                              TableViewScrollPosition position = TableViewScrollPosition::None);
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    void scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool animated);

    bool isEditing() const { return editing_; }
    void setEditing(bool editing, bool animated = false);

    void layoutSubviews() override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

    static constexpr double defaultRowHeight = 44;

protected:
    void contentOffsetDidChange() override;

private:
    friend class TableViewCell;
    struct Section {
        double top = 0;
        double headerHeight = 0;
        std::vector<double> rowTops;
        std::vector<double> rowHeights;
        double footerTop = 0;
        double footerHeight = 0;
        double bottom = 0;
    };

    void ensureGeometry();
    void computeGeometry();
    bool isValid(IndexPath indexPath);
    void tile();
    void tileRows(const Rect& visible);
    void tileSupplementary(const Rect& visible);
    void placeHeaderOrFooter(std::map<int, std::shared_ptr<View>>& shown, int section, bool header, const Rect& visible);
    std::shared_ptr<View> makeHeaderOrFooter(int section, bool header);
    double headerHeight(int section);
    double footerHeight(int section);
    void configure(TableViewCell& cell, IndexPath indexPath);
    TableViewCellEditingStyle editingStyleFor(IndexPath indexPath);
    void placeCell(TableViewCell& cell, IndexPath indexPath);
    void enqueue(const std::shared_ptr<TableViewCell>& cell);
    void dropVisible();
    void setSelectedRow(std::optional<IndexPath> row, bool animated);
    bool swipeMayDelete(Point location);
    void showDeleteConfirmation(std::optional<IndexPath> row);
    void deleteControlTapped(TableViewCell& cell);
    void deleteConfirmed(TableViewCell& cell);
    void endTracking();
    // After the data source inserted or deleted rows: checks the counts, then
    // keeps cells, selection and the tracked row on their rows.
    enum class RowChange { Insert, Delete };
    void changeRows(const std::vector<IndexPath>& indexPaths, RowChange change);
    // `map` takes an old index path to its new one (none for a deleted row).
    void remapRows(const std::function<std::optional<IndexPath>(IndexPath)>& map);
    void userSelected(IndexPath indexPath);

    TableViewStyle style_;
    TableViewDataSource* dataSource_ = nullptr;
    TableViewDelegate* delegate_ = nullptr;
    double rowHeight_ = defaultRowHeight;
    TableViewSeparatorStyle separatorStyle_ = TableViewSeparatorStyle::SingleLine;
    Color separatorColor_ = Color::separator();
    std::shared_ptr<View> tableHeaderView_;
    std::shared_ptr<View> tableFooterView_;
    std::shared_ptr<View> backgroundView_;
    bool allowsSelection_ = true;
    bool allowsSelectionDuringEditing_ = false;

    bool geometryValid_ = false;
    bool tiling_ = false;
    bool reloadRequested_ = false;
    std::vector<Section> sections_;
    double contentHeight_ = 0;

    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::map<int, std::shared_ptr<View>> headers_;
    std::map<int, std::shared_ptr<View>> footers_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusable_;
    std::map<std::string, CellFactory> factories_;

    std::optional<IndexPath> selected_;
    std::optional<IndexPath> tracked_;
    std::optional<std::uint64_t> trackedTouch_;
    bool editing_ = false;
    std::optional<IndexPath> confirmingDeletion_;
    std::shared_ptr<SwipeGestureRecognizer> deleteSwipe_;
};

} // namespace ui
