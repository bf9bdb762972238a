#pragma once

#include <memory>
#include <string>

#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"

// A one-field editor for one setting, titled by the setting's name. The return
// key stores the text by the edit mode, saves and closes the editor; ending
// the editing otherwise stores it the same way. Text that is not valid for
// the setting is refused with an alert and nothing is stored.
class TextFieldViewCon : public ui::TableViewController, private ui::TextFieldDelegate {
public:
    enum EditMode : int {
        EditLoggerIP = 2,         // Settings.loggerIP, as typed
        EditLoggerPort = 3,       // loggerPort: the integer value, 0 when the text is not a number
        EditAdapterAddress = 30,  // hostIP: an IPv4 address or a host name
        EditAdapterPort = 31,     // port: 1 to 65535
        EditSpeedLimit = 32,      // speedLimit (mph) and speedLimit2 (km/h), typed in the speed unit
    };

    TextFieldViewCon(ui::TableViewStyle style, std::string name, std::string value, int mode);
    ~TextFieldViewCon() override;

    ui::TextField& textField() { return *field_; }
    int mode() const { return mode_; }

    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    // The slowest speed limit and the fastest that can be set, in either unit.
    static constexpr int minimumSpeedLimit = 1;
    static constexpr int maximumSpeedLimit = 400;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    // Leaving the screen ends the editing, which stores the text.
    void viewWillDisappear(bool animated) override;

private:
    bool textFieldShouldReturn(ui::TextField& field) override;
    void textFieldDidEndEditing(ui::TextField& field) override;

    // Stores the field's text by the mode and saves; false (after an alert)
    // when the text is refused. A text already stored or refused is left alone.
    bool commit();
    // The message key of the refusal, or empty once stored.
    std::string store(const std::string& text);
    void close();

    std::string name_;
    int mode_;
    std::shared_ptr<ui::TextField> field_;
    std::string handled_;
    bool accepted_ = true;
};
