#include "shell/TextFieldViewCon.h"

#include <algorithm>
#include <cmath>

#include "core/model/Manager.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/RoundedCell.h"
#include "shell/ScreenClosing.h"
#include "shell/TableLook.h"

namespace {

constexpr double kilometresPerMile = 1.609344;
constexpr double fieldInset = 16;

// The speed unit follows the vehicle-speed sensor's unit system.
constexpr std::size_t vehicleSpeedIndex = 9;

// The row holding the field: the field fills it, whatever width the table gives the row.
class FieldCell : public RoundedCell {
public:
    explicit FieldCell(std::shared_ptr<ui::TextField> field)
        : RoundedCell(ui::TableViewCellStyle::Default), field_(std::move(field))
    {
        field_->removeFromSuperview();
        contentView()->addSubview(field_);
    }

    void layoutSubviews() override
    {
        RoundedCell::layoutSubviews();
        const ui::Rect content = contentView()->bounds();
        field_->setFrame(ui::makeRect(fieldInset, 0, std::max(0.0, content.width() - 2 * fieldInset), content.height()));
    }

private:
    std::shared_ptr<ui::TextField> field_;
};

bool speedInKilometres()
{
    const auto& units = Manager::sharedManager().userData().unitsArr;
    return vehicleSpeedIndex >= units.size() || units[vehicleSpeedIndex] != 0;
}

ui::KeyboardType keyboardFor(int mode)
{
    switch (mode) {
    case TextFieldViewCon::EditLoggerPort:
    case TextFieldViewCon::EditAdapterPort:
    case TextFieldViewCon::EditSpeedLimit:
        return ui::KeyboardType::NumberPad;
    default:
        return ui::KeyboardType::Url;
    }
}

}  // namespace

TextFieldViewCon::TextFieldViewCon(ui::TableViewStyle style, std::string name, std::string value, int mode)
    : ui::TableViewController(style), name_(std::move(name)), mode_(mode), field_(std::make_shared<ui::TextField>())
{
    setTitle(name_);
    handled_ = value;
    field_->setText(std::move(value));
    field_->setKeyboardType(keyboardFor(mode_));
    field_->setReturnKeyType(ui::ReturnKeyType::Done);
    field_->setClearsOnBeginEditing(false);
    field_->setDelegate(this);
}

TextFieldViewCon::~TextFieldViewCon()
{
    field_->setDelegate(nullptr);
}

void TextFieldViewCon::viewDidLoad()
{
    ui::TableViewController::viewDidLoad();
    const TableLook look = TableLook::current();
    look.apply(tableView());
    navigationItem().setTitleView(look.titleView(name_));
    field_->setFont(TableLook::detailFont());
    field_->setTextColor(TableLook::accent());
}

void TextFieldViewCon::viewDidAppear(bool animated)
{
    ui::TableViewController::viewDidAppear(animated);
    field_->becomeFirstResponder();
}

void TextFieldViewCon::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    field_->resignFirstResponder();
}

int TextFieldViewCon::numberOfRowsInSection(ui::TableView&, int)
{
    return 1;
}

std::shared_ptr<ui::TableViewCell> TextFieldViewCon::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<FieldCell>(field_);
    TableLook::current().apply(*cell, indexPath.row, 1);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    return cell;
}

bool TextFieldViewCon::textFieldShouldReturn(ui::TextField&)
{
    if (commit())
        close();
    return false;
}

void TextFieldViewCon::textFieldDidEndEditing(ui::TextField&)
{
    commit();
}

bool TextFieldViewCon::commit()
{
    const std::string text = field_->text();
    if (text == handled_)
        return accepted_;
    handled_ = text;
    const std::string refusal = store(text);
    accepted_ = refusal.empty();
    if (accepted_)
        Manager::sharedManager().saveChanges();
    else
        QueuedAlertController::showMessage("error", refusal);
    return accepted_;
}

std::string TextFieldViewCon::store(const std::string& text)
{
    Settings& settings = Manager::sharedManager().setting();
    switch (mode_) {
    case EditLoggerIP:
        settings.loggerIP = text;
        return {};
    case EditLoggerPort: {
        // An empty field is no port (0); text that is not a whole port number is refused, not read in part.
        if (input::trimmed(text).empty()) {
            settings.loggerPort = 0;
            return {};
        }
        const auto value = input::integer(text, 0, 65535);
        if (!value)
            return "Invalid port msg";
        settings.loggerPort = static_cast<unsigned>(*value);
        return {};
    }
    case EditAdapterAddress:
        if (const auto address = input::hostAddress(text)) {
            settings.hostIP = *address;
            return {};
        }
        return "Invalid address msg";
    case EditAdapterPort:
        if (const auto port = input::port(text)) {
            settings.port = *port;
            return {};
        }
        return "Invalid port msg";
    case EditSpeedLimit: {
        const auto limit = input::integer(text, minimumSpeedLimit, maximumSpeedLimit);
        if (!limit)
            return "Invalid speed limit msg";
        // Both units stay in step, so the limit holds when the speed unit changes.
        if (speedInKilometres()) {
            settings.speedLimit2 = *limit;
            settings.speedLimit = static_cast<int>(std::lround(*limit / kilometresPerMile));
        } else {
            settings.speedLimit = *limit;
            settings.speedLimit2 = static_cast<int>(std::lround(*limit * kilometresPerMile));
        }
        return {};
    }
    default:
        return {};
    }
}

void TextFieldViewCon::close()
{
    field_->resignFirstResponder();
    closeScreen(*this);
}
