#include "platform/ui/TableViewController.h"

#include "platform/ui/Device.h"

namespace ui {

TableViewController::TableViewController(TableViewStyle style)
    : style_(style)
{
}

TableViewController::~TableViewController()
{
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

void TableViewController::makeTable()
{
    table_ = std::make_shared<TableView>(Device::current().screenBounds(), style_);
    table_->setDataSource(this);
    table_->setDelegate(this);
    table_->setEditing(isEditing());
}

void TableViewController::loadView()
{
    makeTable();
    setView(table_);
}

TableView& TableViewController::tableView()
{
    loadViewIfNeeded();
    if (!table_)
        makeTable(); // a subclass made its own view: the table stands apart
    return *table_;
}

std::shared_ptr<TableViewCell> TableViewController::cellForRowAtIndexPath(TableView&, IndexPath)
{
    return std::make_shared<TableViewCell>();
}

void TableViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    if (!table_)
        return;
    if (!loadedRows_) {
        loadedRows_ = true;
        table_->reloadData();
    }
    if (const auto selected = table_->indexPathForSelectedRow(); selected && clearsSelection_)
        table_->deselectRowAtIndexPath(*selected, animated);
}

void TableViewController::setEditing(bool editing, bool animated)
{
    ViewController::setEditing(editing, animated);
    if (table_)
        table_->setEditing(editing, animated);
}

} // namespace ui
