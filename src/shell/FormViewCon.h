#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"
#include "shell/TableLook.h"

// One row of a form: what it shows and what a change to it does.
struct FormRow {
    enum class Kind {
        Disclosure,  // the value on the right; a tap runs `action`
        Field,       // a text field on the right holding `value`; the typed text goes to `commit`
        Switch,      // on or off; a change goes to `toggled`; a `value` shows under the title
        Segments,    // one of `segments`; a change goes to `picked`
        Button,      // a centred title; a tap runs `action`
    };
    Kind kind = Kind::Disclosure;
    std::string title;
    std::string value;
    bool enabled = true;

    ui::KeyboardType keyboard = ui::KeyboardType::NumbersAndPunctuation;
    // The message key of a refusal (the field then shows `value` again), or empty once taken.
    std::function<std::string(const std::string& text)> commit;

    bool on = false;
    std::function<void(bool on)> toggled;

    std::vector<std::string> segments;
    int selected = 0;
    std::function<void(int segment)> picked;

    std::function<void()> action;

    static FormRow disclosure(std::string title, std::string value, std::function<void()> action);
    static FormRow field(std::string title, std::string value, ui::KeyboardType keyboard,
                         std::function<std::string(const std::string&)> commit);
    static FormRow toggle(std::string title, bool on, std::function<void(bool)> toggled);
    static FormRow choice(std::string title, std::vector<std::string> segments, int selected,
                          std::function<void(int)> picked);
    static FormRow button(std::string title, std::function<void()> action);
};

struct FormSection {
    std::string title;
    std::vector<FormRow> rows;
    std::string footer;
};

// A grouped table of settings rows built from a description of its sections,
// which subclasses give afresh each time the form is reloaded: after every
// change made in it and whenever it comes on screen.
class FormViewCon : public ui::TableViewController {
public:
    explicit FormViewCon(std::string title);

    const std::vector<FormSection>& sections() const { return sections_; }
    // Ends editing (a field being typed in commits), rebuilds the rows and reloads the table.
    void reloadForm();

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    std::string titleForHeaderInSection(ui::TableView&, int section) override;
    std::string titleForFooterInSection(ui::TableView&, int section) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    // Scrolling the form ends editing: the field being typed in commits, as when the user leaves it.
    void scrollViewWillBeginDragging(ui::ScrollView&) override;

    static constexpr double fieldWidth = 150;
    static constexpr double fieldHeight = 30;

protected:
    virtual std::vector<FormSection> formSections() = 0;
    // After a row took a change (not after a refusal).
    virtual void formDidChange() {}

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Leaving the screen ends the editing, which commits a field being typed in.
    void viewWillDisappear(bool animated) override;

    const TableLook& look() const { return look_; }
    // The look of the form's table and rows, taken when its view loads.
    virtual TableLook formLook() const { return TableLook::current(); }

private:
    const FormRow* rowAt(ui::IndexPath indexPath) const;
    // Hands a control's new value to the row's handler, then refreshes the form.
    template <typename Value>
    void deliver(ui::IndexPath indexPath, std::function<void(Value)> FormRow::*handler, Value value);
    void fieldDidEnd(ui::IndexPath indexPath, ui::TextField& field);
    void changed();

    std::string formTitle_;
    TableLook look_;
    std::vector<FormSection> sections_;
};
