#include "platform/ui/TableView.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"
#include "platform/ui/SubviewSlot.h"
#include "platform/ui/SwipeGestureRecognizer.h"

#include <algorithm>
#include <cctype>

namespace ui {

namespace {

constexpr double plainHeaderHeight = 28;
constexpr double groupedTitledHeaderHeight = 38;
constexpr double groupedSectionGap = 18; // each of an untitled header and footer
constexpr double groupedFooterPadding = 8;

Font groupedCaptionFont()
{
    return Font::systemFont(13);
}

std::string upperCased(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Sorted, distinct rows per section.
std::map<int, std::vector<int>> rowsBySection(const std::vector<IndexPath>& indexPaths)
{
    std::map<int, std::vector<int>> rows;
    for (const IndexPath& ip : indexPaths)
        rows[ip.section].push_back(ip.row);
    for (auto& [section, list] : rows) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return rows;
}

// The platform's look: a grey bar with a bold title in plain tables, a
// small grey caption in grouped ones (capitals above the section).
class SectionCaption : public View {
public:
    SectionCaption(std::string text, bool plain, bool header)
        : plain_(plain)
        , header_(header)
    {
        label_ = std::make_shared<Label>();
        label_->setText(plain || !header ? std::move(text) : upperCased(std::move(text)));
        label_->setFont(plain ? Font::boldSystemFont(17) : groupedCaptionFont());
        label_->setTextColor(plain ? Color::black() : Color::systemGray());
        label_->setNumberOfLines(plain || header ? 1 : 0);
        if (plain)
            setBackgroundColor(Color::systemGray6());
        addSubview(label_);
    }
    void layoutSubviews() override
    {
        const Rect b = bounds();
        const double width = std::max(0.0, b.width() - 2 * TableViewCell::margin);
        const double line = label_->font().lineHeight();
        if (plain_)
            label_->setFrame(makeRect(TableViewCell::margin, 0, width, b.height()));
        else if (header_)
            label_->setFrame(makeRect(TableViewCell::margin, b.height() - line - 7, width, line));
        else
            label_->setFrame(makeRect(TableViewCell::margin, groupedFooterPadding, width,
                                      std::max(0.0, b.height() - 2 * groupedFooterPadding)));
    }

private:
    std::shared_ptr<Label> label_;
    bool plain_;
    bool header_;
};

} // namespace

TableView::TableView(Rect frame, TableViewStyle style)
    : ScrollView(frame)
    , style_(style)
{
    setAlwaysBounceVertical(true);
    setBackgroundColor(style == TableViewStyle::Grouped ? Color::groupTableViewBackground() : Color::white());
    deleteSwipe_ = std::make_shared<SwipeGestureRecognizer>([this](GestureRecognizer& swipe) {
        showDeleteConfirmation(indexPathForRowAtPoint(swipe.locationInView(this)));
    });
    deleteSwipe_->setDirection(SwipeDirection::Left);
    deleteSwipe_->setShouldBegin([this](GestureRecognizer& swipe) { return swipeMayDelete(swipe.locationInView(this)); });
    addGestureRecognizer(deleteSwipe_);
}

TableView::~TableView()
{
    for (const auto& [ip, cell] : visible_)
        cell->setTableView(nullptr);
}

void TableView::setDataSource(TableViewDataSource* dataSource)
{
    dataSource_ = dataSource;
    reloadData();
}

void TableView::setDelegate(TableViewDelegate* delegate)
{
    delegate_ = delegate;
    ScrollView::setDelegate(delegate);
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setRowHeight(double height)
{
    rowHeight_ = height;
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setSeparatorStyle(TableViewSeparatorStyle style)
{
    separatorStyle_ = style;
    setNeedsLayout();
}

void TableView::setSeparatorColor(Color color)
{
    separatorColor_ = color;
    setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view)
{
    replaceSubview(*this, tableHeaderView_, std::move(view));
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view)
{
    replaceSubview(*this, tableFooterView_, std::move(view));
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setBackgroundView(std::shared_ptr<View> view)
{
    replaceSubview(*this, backgroundView_, std::move(view), 0);
    setNeedsLayout();
}

// Cells for reuse

void TableView::registerClass(CellFactory factory, const std::string& identifier)
{
    factories_[identifier] = std::move(factory);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier)
{
    auto& queue = reusable_[identifier];
    if (!queue.empty()) {
        auto cell = std::move(queue.back());
        queue.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    const auto factory = factories_.find(identifier);
    if (factory == factories_.end() || !factory->second)
        return nullptr;
    auto cell = factory->second();
    if (cell)
        cell->reuseIdentifier_ = identifier;
    return cell;
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell)
{
    cell->removeFromSuperview();
    cell->setTableView(nullptr);
    cell->setHighlighted(false);
    if (!cell->reuseIdentifier().empty())
        reusable_[cell->reuseIdentifier()].push_back(cell);
}

void TableView::dropVisible()
{
    for (const auto& [ip, cell] : visible_)
        enqueue(cell);
    visible_.clear();
    for (auto* shown : {&headers_, &footers_}) {
        for (const auto& [section, view] : *shown)
            view->removeFromSuperview();
        shown->clear();
    }
}

// Geometry

double TableView::headerHeight(int section)
{
    const double asked = delegate_ ? delegate_->heightForHeaderInSection(*this, section) : TableViewDelegate::automaticDimension;
    if (asked >= 0)
        return asked;
    const bool titled = dataSource_ && !dataSource_->titleForHeaderInSection(*this, section).empty();
    if (style_ == TableViewStyle::Plain)
        return titled ? plainHeaderHeight : 0;
    return titled ? groupedTitledHeaderHeight : groupedSectionGap;
}

double TableView::footerHeight(int section)
{
    const double asked = delegate_ ? delegate_->heightForFooterInSection(*this, section) : TableViewDelegate::automaticDimension;
    if (asked >= 0)
        return asked;
    const std::string title = dataSource_ ? dataSource_->titleForFooterInSection(*this, section) : std::string();
    if (style_ == TableViewStyle::Plain)
        return title.empty() ? 0 : plainHeaderHeight;
    if (title.empty())
        return groupedSectionGap;
    const double width = std::max(0.0, bounds().width() - 2 * TableViewCell::margin);
    return measureText(title, groupedCaptionFont(), width).height + 2 * groupedFooterPadding;
}

void TableView::computeGeometry()
{
    sections_.clear();
    geometryValid_ = true;
    double y = tableHeaderView_ ? tableHeaderView_->frame().height() : 0;
    const int count = dataSource_ ? std::max(0, dataSource_->numberOfSectionsInTableView(*this)) : 0;
    for (int s = 0; s < count; ++s) {
        Section section;
        section.top = y;
        section.headerHeight = std::max(0.0, headerHeight(s));
        y += section.headerHeight;
        const int rows = std::max(0, dataSource_->numberOfRowsInSection(*this, s));
        for (int r = 0; r < rows; ++r) {
            double height = delegate_ ? delegate_->heightForRowAtIndexPath(*this, {s, r}) : TableViewDelegate::automaticDimension;
            if (height < 0)
                height = rowHeight_;
            section.rowTops.push_back(y);
            section.rowHeights.push_back(height);
            y += height;
        }
        section.footerTop = y;
        section.footerHeight = std::max(0.0, footerHeight(s));
        y += section.footerHeight;
        section.bottom = y;
        sections_.push_back(std::move(section));
    }
    contentHeight_ = y + (tableFooterView_ ? tableFooterView_->frame().height() : 0);
    setContentSize({bounds().width(), contentHeight_});
}

void TableView::ensureGeometry()
{
    if (!geometryValid_)
        computeGeometry();
}

bool TableView::isValid(IndexPath ip)
{
    ensureGeometry();
    return ip.section >= 0 && ip.section < static_cast<int>(sections_.size()) && ip.row >= 0
        && ip.row < static_cast<int>(sections_[static_cast<std::size_t>(ip.section)].rowTops.size());
}

int TableView::numberOfSections()
{
    ensureGeometry();
    return static_cast<int>(sections_.size());
}

int TableView::numberOfRowsInSection(int section)
{
    if (section < 0 || section >= numberOfSections())
        return 0;
    return static_cast<int>(sections_[static_cast<std::size_t>(section)].rowTops.size());
}

Rect TableView::rectForHeaderInSection(int section)
{
    if (section < 0 || section >= numberOfSections())
        return {};
    const Section& s = sections_[static_cast<std::size_t>(section)];
    return makeRect(0, s.top, bounds().width(), s.headerHeight);
}

Rect TableView::rectForFooterInSection(int section)
{
    if (section < 0 || section >= numberOfSections())
        return {};
    const Section& s = sections_[static_cast<std::size_t>(section)];
    return makeRect(0, s.footerTop, bounds().width(), s.footerHeight);
}

Rect TableView::rectForRowAtIndexPath(IndexPath ip)
{
    if (!isValid(ip))
        return {};
    const Section& s = sections_[static_cast<std::size_t>(ip.section)];
    const auto r = static_cast<std::size_t>(ip.row);
    return makeRect(0, s.rowTops[r], bounds().width(), s.rowHeights[r]);
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point point)
{
    ensureGeometry();
    if (point.x < 0 || point.x >= bounds().width())
        return std::nullopt;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const Section& section = sections_[s];
        if (point.y < section.top || point.y >= section.bottom)
            continue;
        const auto after = std::upper_bound(section.rowTops.begin(), section.rowTops.end(), point.y);
        if (after == section.rowTops.begin())
            return std::nullopt;
        const auto r = static_cast<std::size_t>(after - section.rowTops.begin() - 1);
        if (point.y < section.rowTops[r] + section.rowHeights[r])
            return IndexPath{static_cast<int>(s), static_cast<int>(r)};
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell)
{
    for (const auto& [ip, shown] : visible_) {
        if (shown.get() == cell)
            return ip;
    }
    return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(IndexPath ip)
{
    layoutIfNeeded();
    const auto found = visible_.find(ip);
    return found == visible_.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells()
{
    layoutIfNeeded();
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (const auto& [ip, cell] : visible_)
        cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows()
{
    layoutIfNeeded();
    std::vector<IndexPath> rows;
    for (const auto& [ip, cell] : visible_)
        rows.push_back(ip);
    return rows;
}

View* TableView::headerViewForSection(int section)
{
    layoutIfNeeded();
    const auto found = headers_.find(section);
    return found == headers_.end() ? nullptr : found->second.get();
}

// Tiling: cells, headers and footers for what is on screen, nothing more.

void TableView::layoutSubviews()
{
    tile();
}

void TableView::contentOffsetDidChange()
{
    tile();
}

void TableView::tile()
{
    if (tiling_)
        return;
    tiling_ = true;
    ensureGeometry();
    const Size size{bounds().width(), contentHeight_};
    if (contentSize() != size)
        setContentSize(size);
    const Rect visible = bounds();
    if (backgroundView_)
        backgroundView_->setFrame(visible);
    if (tableHeaderView_)
        tableHeaderView_->setFrame(makeRect(0, 0, visible.width(), tableHeaderView_->frame().height()));
    if (tableFooterView_) {
        const double height = tableFooterView_->frame().height();
        tableFooterView_->setFrame(makeRect(0, contentHeight_ - height, visible.width(), height));
    }
    tileRows(visible);
    tileSupplementary(visible);
    tiling_ = false;
    if (reloadRequested_) {
        reloadRequested_ = false;
        reloadData();
    }
}

void TableView::tileRows(const Rect& visible)
{
    std::vector<IndexPath> wanted;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const Section& section = sections_[s];
        if (section.bottom <= visible.minY() || section.top >= visible.maxY())
            continue;
        for (std::size_t r = 0; r < section.rowTops.size(); ++r) {
            const double top = section.rowTops[r];
            const double bottom = top + section.rowHeights[r];
            if (top >= visible.maxY())
                break;
            if (bottom > visible.minY() && bottom > top)
                wanted.push_back({static_cast<int>(s), static_cast<int>(r)});
        }
    }
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (std::binary_search(wanted.begin(), wanted.end(), it->first)) {
            ++it;
            continue;
        }
        enqueue(it->second);
        it = visible_.erase(it);
    }
    for (const IndexPath& ip : wanted) {
        if (const auto shown = visible_.find(ip); shown != visible_.end()) {
            placeCell(*shown->second, ip);
            continue;
        }
        auto cell = dataSource_->cellForRowAtIndexPath(*this, ip);
        if (!cell)
            continue;
        configure(*cell, ip);
        if (delegate_)
            delegate_->willDisplayCell(*this, *cell, ip);
        insertSubview(cell, backgroundView_ ? 1 : 0);
        visible_[ip] = std::move(cell);
    }
}

void TableView::placeCell(TableViewCell& cell, IndexPath ip)
{
    cell.setFrame(rectForRowAtIndexPath(ip));
    const bool lastInSection = ip.row + 1 == numberOfRowsInSection(ip.section);
    const bool separated = separatorStyle_ == TableViewSeparatorStyle::SingleLine
        && (style_ == TableViewStyle::Plain || !lastInSection);
    cell.setSeparator(separated, separatorColor_);
}

void TableView::configure(TableViewCell& cell, IndexPath ip)
{
    cell.setTableView(this);
    placeCell(cell, ip);
    cell.setSelected(selected_ == ip);
    cell.setEditingStyle(editingStyleFor(ip));
    cell.setEditing(editing_);
    cell.setShowingDeleteConfirmation(confirmingDeletion_ == ip);
}

TableViewCellEditingStyle TableView::editingStyleFor(IndexPath ip)
{
    if (!dataSource_ || !dataSource_->canEditRowAtIndexPath(*this, ip))
        return TableViewCellEditingStyle::None;
    return delegate_ ? delegate_->editingStyleForRowAtIndexPath(*this, ip) : TableViewCellEditingStyle::Delete;
}

void TableView::tileSupplementary(const Rect& visible)
{
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        placeHeaderOrFooter(headers_, static_cast<int>(s), true, visible);
        placeHeaderOrFooter(footers_, static_cast<int>(s), false, visible);
    }
    // Headers of sections gone since the last pass.
    for (auto* shown : {&headers_, &footers_}) {
        for (auto it = shown->begin(); it != shown->end();) {
            if (it->first < static_cast<int>(sections_.size())) {
                ++it;
                continue;
            }
            it->second->removeFromSuperview();
            it = shown->erase(it);
        }
    }
}

void TableView::placeHeaderOrFooter(std::map<int, std::shared_ptr<View>>& shown, int s, bool header, const Rect& visible)
{
    const Section& section = sections_[static_cast<std::size_t>(s)];
    const double height = header ? section.headerHeight : section.footerHeight;
    double top = header ? section.top : section.footerTop;
    // Plain tables keep a section's header at the top while its rows pass under it.
    if (header && style_ == TableViewStyle::Plain)
        top = std::clamp(visible.minY() + adjustedContentInset().top, section.top, std::max(section.top, section.footerTop - height));
    const Rect area = makeRect(0, top, visible.width(), height);
    const auto found = shown.find(s);
    if (height <= 0 || !area.intersects(visible)) {
        if (found != shown.end()) {
            found->second->removeFromSuperview();
            shown.erase(found);
        }
        return;
    }
    std::shared_ptr<View> view = found != shown.end() ? found->second : makeHeaderOrFooter(s, header);
    if (!view)
        return;
    if (found == shown.end()) {
        addSubview(view);
        shown[s] = view;
    }
    view->setFrame(area);
    if (header && style_ == TableViewStyle::Plain)
        bringSubviewToFront(view.get());
}

std::shared_ptr<View> TableView::makeHeaderOrFooter(int section, bool header)
{
    if (delegate_) {
        auto view = header ? delegate_->viewForHeaderInSection(*this, section) : delegate_->viewForFooterInSection(*this, section);
        if (view)
            return view;
    }
    if (!dataSource_)
        return nullptr;
    const std::string title = header ? dataSource_->titleForHeaderInSection(*this, section)
                                     : dataSource_->titleForFooterInSection(*this, section);
    if (title.empty())
        return nullptr;
    return std::make_shared<SectionCaption>(title, style_ == TableViewStyle::Plain, header);
}

// Changes to the rows

void TableView::reloadData()
{
    if (tiling_) {
        reloadRequested_ = true; // the data source asked while it was being asked
        return;
    }
    dropVisible();
    selected_.reset();
    confirmingDeletion_.reset();
    endTracking();
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation)
{
    for (const IndexPath& ip : indexPaths) {
        if (const auto shown = visible_.find(ip); shown != visible_.end()) {
            enqueue(shown->second);
            visible_.erase(shown);
        }
    }
    geometryValid_ = false;
    tile();
}

void TableView::remapRows(const std::function<std::optional<IndexPath>(IndexPath)>& map)
{
    std::map<IndexPath, std::shared_ptr<TableViewCell>> moved;
    for (auto& [ip, cell] : visible_) {
        if (const auto to = map(ip))
            moved[*to] = std::move(cell);
        else
            enqueue(cell);
    }
    visible_ = std::move(moved);
    for (auto* row : {&selected_, &tracked_, &confirmingDeletion_}) {
        if (*row)
            *row = map(**row);
    }
    if (!tracked_)
        trackedTouch_.reset();
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation)
{
    changeRows(indexPaths, RowChange::Delete);
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation)
{
    changeRows(indexPaths, RowChange::Insert);
}

void TableView::changeRows(const std::vector<IndexPath>& indexPaths, RowChange change)
{
    const bool inserted = change == RowChange::Insert;
    if (!geometryValid_) {
        reloadData(); // nothing shown was built from the old rows
        return;
    }
    std::vector<std::size_t> before;
    for (const Section& section : sections_)
        before.push_back(section.rowTops.size());
    const auto changed = rowsBySection(indexPaths);
    computeGeometry();
    bool consistent = sections_.size() == before.size();
    for (std::size_t s = 0; consistent && s < before.size(); ++s) {
        const auto rows = changed.find(static_cast<int>(s));
        const std::size_t count = rows == changed.end() ? 0 : rows->second.size();
        consistent = inserted ? sections_[s].rowTops.size() == before[s] + count
                              : sections_[s].rowTops.size() + count == before[s];
    }
    if (!consistent) {
        fnd::log(fnd::LogLevel::Error, "TableView: changed rows do not match the data source; reloading");
        reloadData();
        return;
    }
    remapRows([&](IndexPath ip) -> std::optional<IndexPath> {
        const auto found = changed.find(ip.section);
        if (found == changed.end())
            return ip;
        const auto& rows = found->second;
        if (inserted) {
            // New rows are numbered as they are now: each one at or above this row pushes it down.
            int row = ip.row;
            for (const int newRow : rows) {
                if (newRow <= row)
                    ++row;
            }
            return IndexPath{ip.section, row};
        }
        if (std::binary_search(rows.begin(), rows.end(), ip.row))
            return std::nullopt;
        const auto earlier = std::lower_bound(rows.begin(), rows.end(), ip.row) - rows.begin();
        return IndexPath{ip.section, ip.row - static_cast<int>(earlier)};
    });
    tile();
}

// Selection

void TableView::setSelectedRow(std::optional<IndexPath> row, bool animated)
{
    if (selected_) {
        if (const auto shown = visible_.find(*selected_); shown != visible_.end())
            shown->second->setSelected(false, animated);
    }
    selected_ = row;
    if (selected_) {
        if (const auto shown = visible_.find(*selected_); shown != visible_.end())
            shown->second->setSelected(true, animated);
    }
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated, TableViewScrollPosition position)
{
    if (indexPath && !isValid(*indexPath))
        return;
    setSelectedRow(indexPath, animated);
    if (indexPath && position != TableViewScrollPosition::None)
        scrollToRowAtIndexPath(*indexPath, position, animated);
}

void TableView::deselectRowAtIndexPath(IndexPath indexPath, bool animated)
{
    if (selected_ == indexPath)
        setSelectedRow(std::nullopt, animated);
}

void TableView::userSelected(IndexPath ip)
{
    if (selected_ && *selected_ != ip) {
        const IndexPath previous = *selected_;
        setSelectedRow(std::nullopt, false);
        if (delegate_)
            delegate_->didDeselectRowAtIndexPath(*this, previous);
    }
    setSelectedRow(ip, false);
    if (delegate_)
        delegate_->didSelectRowAtIndexPath(*this, ip);
}

void TableView::scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool animated)
{
    if (!isValid(indexPath))
        return;
    const Rect row = rectForRowAtIndexPath(indexPath);
    const Rect view = bounds();
    const EdgeInsets inset = adjustedContentInset();
    const double top = row.minY() - inset.top;
    const double bottom = row.maxY() - view.height() + inset.bottom;
    double y = view.y();
    switch (position) {
    case TableViewScrollPosition::Top:
        y = top;
        break;
    case TableViewScrollPosition::Middle:
        y = row.midY() - inset.top - (view.height() - inset.top - inset.bottom) / 2;
        break;
    case TableViewScrollPosition::Bottom:
        y = bottom;
        break;
    case TableViewScrollPosition::None:
        // The least scroll that shows the whole row.
        if (y > top)
            y = top;
        else if (y < bottom)
            y = bottom;
        break;
    }
    y = std::clamp(y, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset({contentOffset().x, y}, animated);
}

// Touches: a tap on a row selects it.

void TableView::touchesBegan(const std::vector<Touch>& touches)
{
    if (trackedTouch_)
        return; // one finger selects
    if (confirmingDeletion_) {
        showDeleteConfirmation(std::nullopt); // a touch elsewhere only puts the Delete button away
        return;
    }
    const Touch& touch = touches.front();
    if (touchStoppedScrolling() || !(editing_ ? allowsSelectionDuringEditing_ : allowsSelection_))
        return;
    const auto ip = indexPathForRowAtPoint(touch.locationInView(this));
    const auto cell = ip ? cellForRowAtIndexPath(*ip) : nullptr;
    if (!cell)
        return;
    tracked_ = ip;
    trackedTouch_ = touch.id;
    cell->setHighlighted(true);
}

void TableView::touchesMoved(const std::vector<Touch>& touches)
{
    for (const Touch& touch : touches) {
        if (touch.id == trackedTouch_ && indexPathForRowAtPoint(touch.locationInView(this)) != tracked_)
            endTracking(); // slid off the row
    }
}

void TableView::touchesEnded(const std::vector<Touch>& touches)
{
    for (const Touch& touch : touches) {
        if (touch.id != trackedTouch_ || !tracked_)
            continue;
        const IndexPath ip = *tracked_;
        endTracking();
        userSelected(ip);
    }
}

void TableView::touchesCancelled(const std::vector<Touch>&)
{
    endTracking();
}

void TableView::endTracking()
{
    if (tracked_) {
        if (const auto shown = visible_.find(*tracked_); shown != visible_.end())
            shown->second->setHighlighted(false);
    }
    tracked_.reset();
    trackedTouch_.reset();
}

// Deleting

void TableView::setEditing(bool editing, bool animated)
{
    if (editing_ == editing)
        return;
    editing_ = editing;
    confirmingDeletion_.reset();
    endTracking();
    // A row's editing style may depend on the editing state: ask again.
    for (const auto& [ip, cell] : visible_) {
        cell->setEditingStyle(editingStyleFor(ip));
        cell->setEditing(editing, animated);
    }
}

bool TableView::swipeMayDelete(Point location)
{
    if (editing_ || !dataSource_)
        return false;
    const auto ip = indexPathForRowAtPoint(location);
    return ip && editingStyleFor(*ip) == TableViewCellEditingStyle::Delete;
}

void TableView::showDeleteConfirmation(std::optional<IndexPath> row)
{
    if (confirmingDeletion_) {
        if (const auto shown = visible_.find(*confirmingDeletion_); shown != visible_.end())
            shown->second->setShowingDeleteConfirmation(false);
    }
    confirmingDeletion_ = row;
    if (row) {
        endTracking();
        if (const auto shown = visible_.find(*row); shown != visible_.end())
            shown->second->setShowingDeleteConfirmation(true);
    }
}

void TableView::deleteControlTapped(TableViewCell& cell)
{
    const auto ip = indexPathForCell(&cell);
    showDeleteConfirmation(ip == confirmingDeletion_ ? std::nullopt : ip);
}

void TableView::deleteConfirmed(TableViewCell& cell)
{
    const auto ip = indexPathForCell(&cell);
    showDeleteConfirmation(std::nullopt);
    if (ip && dataSource_)
        dataSource_->commitEditingStyle(*this, TableViewCellEditingStyle::Delete, *ip);
}

} // namespace ui
