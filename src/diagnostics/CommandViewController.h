#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"
#include "shell/LinkedScreen.h"

// The "Terminal" tab: the user types an adapter command or request, sends it unchanged, and reads the
// adapter's reply in a console, one line per ECU's answer or adapter text under the request it answers.
class CommandViewController : public ui::ViewController,
                              public LinkedScreen,
                                  private ui::TextFieldDelegate {
public:
    CommandViewController();
    ~CommandViewController() override;

    ui::TextField& commandTextField() { return *commandTextField_; }
    ui::TextView& consoleView() { return *consoleView_; }
    ui::Button& sendButton() { return *btn_; }

    // The action of "Send".
    void sendCode();
    void dismissKeyboard();

    // The console keeps this many lines, the newest.
    static constexpr std::size_t maxConsoleLines = 1000;

    void scannerDidReceiveReply(Scanner&, const std::string& request, const std::vector<Response>& responses,
                                const std::vector<std::string>& texts) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    bool textFieldShouldReturn(ui::TextField&) override;

    void startVisit(Scanner& link) override;
    void appendLines(const std::vector<std::string>& lines);

    std::shared_ptr<ui::TextField> commandTextField_;
    std::shared_ptr<ui::TextView> consoleView_;
    std::shared_ptr<ui::Button> btn_;
    std::deque<std::string> lines_;
};
