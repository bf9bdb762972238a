#include "shell/FormViewCon.h"

#include <algorithm>

#include "platform/foundation/Localization.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Switch.h"
#include "shell/QueuedAlertController.h"
#include "shell/RoundedCell.h"

FormRow FormRow::disclosure(std::string title, std::string value, std::function<void()> action)
{
    FormRow row;
    row.title = std::move(title);
    row.value = std::move(value);
    row.action = std::move(action);
    return row;
}

FormRow FormRow::field(std::string title, std::string value, ui::KeyboardType keyboard,
                       std::function<std::string(const std::string&)> commit)
{
    FormRow row;
    row.kind = Kind::Field;
    row.title = std::move(title);
    row.value = std::move(value);
    row.keyboard = keyboard;
    row.commit = std::move(commit);
    return row;
}

FormRow FormRow::toggle(std::string title, bool on, std::function<void(bool)> toggled)
{
    FormRow row;
    row.kind = Kind::Switch;
    row.title = std::move(title);
    row.on = on;
    row.toggled = std::move(toggled);
    return row;
}

FormRow FormRow::choice(std::string title, std::vector<std::string> segments, int selected,
                        std::function<void(int)> picked)
{
    FormRow row;
    row.kind = Kind::Segments;
    row.title = std::move(title);
    row.segments = std::move(segments);
    row.selected = selected;
    row.picked = std::move(picked);
    return row;
}

FormRow FormRow::button(std::string title, std::function<void()> action)
{
    FormRow row;
    row.kind = Kind::Button;
    row.title = std::move(title);
    row.action = std::move(action);
    return row;
}

FormViewCon::FormViewCon(std::string title)
    : ui::TableViewController(ui::TableViewStyle::Grouped), formTitle_(std::move(title)), look_(TableLook::current())
{
    setTitle(formTitle_);
}

void FormViewCon::viewDidLoad()
{
    ui::TableViewController::viewDidLoad();
    look_ = formLook();
    look_.apply(tableView());
    navigationItem().setTitleView(look_.titleView(formTitle_));
}

void FormViewCon::viewWillAppear(bool animated)
{
    reloadForm();
    ui::TableViewController::viewWillAppear(animated);
}

void FormViewCon::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    view()->endEditing(true);
}

void FormViewCon::reloadForm()
{
    if (ui::View* root = viewIfLoaded())
        root->endEditing(true);
    sections_ = formSections();
    if (isViewLoaded())
        tableView().reloadData();
}

const FormRow* FormViewCon::rowAt(ui::IndexPath indexPath) const
{
    if (indexPath.section < 0 || static_cast<std::size_t>(indexPath.section) >= sections_.size())
        return nullptr;
    const auto& rows = sections_[static_cast<std::size_t>(indexPath.section)].rows;
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= rows.size())
        return nullptr;
    return &rows[static_cast<std::size_t>(indexPath.row)];
}

int FormViewCon::numberOfSectionsInTableView(ui::TableView&)
{
    return static_cast<int>(sections_.size());
}

int FormViewCon::numberOfRowsInSection(ui::TableView&, int section)
{
    return static_cast<int>(sections_[static_cast<std::size_t>(section)].rows.size());
}

std::string FormViewCon::titleForHeaderInSection(ui::TableView&, int section)
{
    return sections_[static_cast<std::size_t>(section)].title;
}

std::string FormViewCon::titleForFooterInSection(ui::TableView&, int section)
{
    return sections_[static_cast<std::size_t>(section)].footer;
}

std::shared_ptr<ui::TableViewCell> FormViewCon::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    const FormRow& row = *rowAt(indexPath);
    const bool disclosure = row.kind == FormRow::Kind::Disclosure;
    const bool subtitle = row.kind == FormRow::Kind::Switch && !row.value.empty();
    auto cell = std::make_shared<RoundedCell>(disclosure ? ui::TableViewCellStyle::Value1
                                              : subtitle ? ui::TableViewCellStyle::Subtitle
                                                         : ui::TableViewCellStyle::Default);
    look_.apply(*cell, indexPath.row, numberOfRowsInSection(table, indexPath.section));
    cell->textLabel()->setText(row.title);
    if (!row.enabled)
        cell->textLabel()->setTextColor(look_.disabledText);
    if (!disclosure && row.kind != FormRow::Kind::Button)
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);

    switch (row.kind) {
    case FormRow::Kind::Disclosure:
        cell->detailTextLabel()->setText(row.value);
        cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
        if (!row.enabled)
            cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
        break;
    case FormRow::Kind::Field: {
        // A long value (a sensor's full name) takes the room its title leaves, at least the usual width.
        const double titleWidth = cell->textLabel()->sizeThatFits({0, 0}).width;
        const double room = table.bounds().width() - titleWidth - 3 * ui::TableViewCell::margin;
        auto field = std::make_shared<ui::TextField>(ui::makeRect(0, 0, std::max(fieldWidth, room), fieldHeight));
        field->setText(row.value);
        field->setKeyboardType(row.keyboard);
        field->setReturnKeyType(ui::ReturnKeyType::Done);
        field->setTextAlignment(ui::TextAlignment::Right);
        field->setFont(TableLook::detailFont());
        field->setTextColor(TableLook::accent());
        field->setEnabled(row.enabled);
        // The return key ends editing, which commits.
        field->addTarget(ui::ControlEvent::EditingDidEndOnExit, [](ui::Control&) {});
        // A field still being typed in ends when the form's table lets go of it, which may be while the
        // form is being destroyed: then nothing is taken.
        field->addTarget(ui::ControlEvent::EditingDidEnd, [this, weak = weak_from_this(), indexPath](ui::Control& sender) {
            if (!weak.expired())
                fieldDidEnd(indexPath, static_cast<ui::TextField&>(sender));
        });
        cell->setAccessoryView(field);
        break;
    }
    case FormRow::Kind::Switch: {
        if (subtitle) {
            cell->detailTextLabel()->setText(row.value);
            cell->detailTextLabel()->setTextColor(look_.detail);
        }
        auto toggle = std::make_shared<ui::Switch>();
        toggle->setOn(row.on);
        look_.apply(*toggle);
        toggle->setEnabled(row.enabled);
        toggle->addTarget(ui::ControlEvent::ValueChanged, [this, indexPath](ui::Control& sender) {
            deliver(indexPath, &FormRow::toggled, static_cast<ui::Switch&>(sender).isOn());
        });
        cell->setAccessoryView(toggle);
        break;
    }
    case FormRow::Kind::Segments: {
        auto segments = std::make_shared<ui::SegmentedControl>(row.segments);
        segments->setSelectedSegmentIndex(row.selected);
        segments->setTintColor(TableLook::accent());
        segments->setEnabled(row.enabled);
        segments->sizeToFit();
        segments->addTarget(ui::ControlEvent::ValueChanged, [this, indexPath](ui::Control& sender) {
            deliver(indexPath, &FormRow::picked, static_cast<ui::SegmentedControl&>(sender).selectedSegmentIndex());
        });
        cell->setAccessoryView(segments);
        break;
    }
    case FormRow::Kind::Button:
        cell->textLabel()->setTextAlignment(ui::TextAlignment::Center);
        cell->textLabel()->setTextColor(row.enabled ? TableLook::accent() : look_.disabledText);
        break;
    }
    return cell;
}

void FormViewCon::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    const FormRow* row = rowAt(indexPath);
    if (!row || !row->enabled || !row->action)
        return;
    const auto action = row->action;
    action();
}

void FormViewCon::scrollViewWillBeginDragging(ui::ScrollView&)
{
    view()->endEditing(true);
}

template <typename Value>
void FormViewCon::deliver(ui::IndexPath indexPath, std::function<void(Value)> FormRow::*handler, Value value)
{
    const FormRow* row = rowAt(indexPath);
    if (!row || !(row->*handler))
        return;
    // A copy: the change may rebuild the rows.
    const auto handle = row->*handler;
    handle(value);
    changed();
}

void FormViewCon::fieldDidEnd(ui::IndexPath indexPath, ui::TextField& field)
{
    const FormRow* row = rowAt(indexPath);
    if (!row || !row->commit || field.text() == row->value)
        return;
    const auto commit = row->commit;
    const std::string refusal = commit(field.text());
    if (!refusal.empty()) {
        field.setText(row->value);
        QueuedAlertController::showMessage("error", refusal);
        return;
    }
    changed();
}

void FormViewCon::changed()
{
    formDidChange();
    reloadForm();
}
