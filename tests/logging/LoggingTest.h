#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/AppState.h"
#include "support/Input.h"
#include "support/WindowFixture.h"

namespace loggingtests {

// A link the test drives by hand: it records what the screens hand it.
class FakeLink : public Scanner {
public:
    void connect() override { connected_ = true; }
    void disconnect() override { connected_ = false; }
    void setInitCommands(std::vector<Command> commands, bool cycle) override
    {
        commands_ = std::move(commands);
        cycled = cycle;
        ++handOvers;
    }
    void setCommands(std::optional<std::vector<Command>> commands) override { commands_ = std::move(commands); }
    void sendCommand(const Command&, ReplyHandler) override {}
    void updateWarning() override {}
    void selectECU(int) override {}
    void setConnected(bool connected) { connected_ = connected; }

    std::vector<std::string> requestTexts() const
    {
        std::vector<std::string> out;
        if (commands_)
            for (const Command& c : *commands_)
                out.push_back(c.commandString);
        return out;
    }

    bool cycled = false;
    int handOvers = 0;
};

inline void advance(double seconds)
{
    fnd::RunLoop::main().advance(seconds);
}

// A service-01 reply: "41 PID data...".
inline Response reply(int pid, std::vector<std::uint8_t> data, int mode = 0x41, int pid2 = 0)
{
    Response r;
    r.mode = static_cast<std::uint8_t>(mode);
    r.pid = static_cast<std::uint8_t>(pid);
    r.pid2 = static_cast<std::uint8_t>(pid2);
    r.data = std::move(data);
    return r;
}

inline Response voltage(const std::string& text)
{
    Response r;
    r.dataString = text;
    return r;
}

// First-run records, an empty Documents folder, a phone, no alerts, no sounds.
class LoggingTest : public ::testing::Test {
protected:
    LoggingTest()
    {
        testsupport::freshAppState();
        link = std::make_shared<FakeLink>();
        link->setConnected(true);
    }
    ~LoggingTest() override
    {
        ui::AlertController::dismissAll();
        ui::Device::current().reset();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }

    std::shared_ptr<FakeLink> link;
};

// A screen in a window of the device's size, handed the fake link.
class ScreenTest : public LoggingTest, protected testsupport::WindowFixture {
protected:
    ~ScreenTest() override { closeWindow(); }

    template <typename Screen>
    void show(const std::shared_ptr<Screen>& screen)
    {
        if constexpr (requires { screen->setScanner(link); })
            screen->setScanner(link);
        makeWindow();
        WindowFixture::show(screen, 1);
    }
    // What the window shows, as the user reads it.
    std::vector<std::string> texts() { return testsupport::texts(window()); }
    bool shows(const std::string& text) { return testsupport::shows(window(), text); }
    // The visible button titled `title`, or null.
    static ui::Button* buttonTitled(ui::View& view, const std::string& title)
    {
        if (view.isHidden())
            return nullptr;
        if (auto* button = dynamic_cast<ui::Button*>(&view);
            button && button->titleForState(ui::ControlState::Normal) == title)
            return button;
        for (const auto& sub : view.subviews())
            if (auto* found = buttonTitled(*sub, title))
                return found;
        return nullptr;
    }
    // A finger down and up at a point of `view`, the middle by default. The logging screens answer with
    // animations and timers, given half a second to settle.
    void tap(const ui::View& view, std::optional<ui::Point> at = std::nullopt)
    {
        window().layoutIfNeeded();
        WindowFixture::tap(view.convertPoint(at.value_or(view.bounds().center()), nullptr), 0.5);
    }
    void tapButton(const std::string& title)
    {
        window().layoutIfNeeded();
        ui::Button* button = buttonTitled(window(), title);
        ASSERT_NE(button, nullptr) << title;
        tap(*button);
    }
    // An empty screen in place of the shown one; the logging screens are given a second to stop what they ran.
    void leave() { WindowFixture::leave(1); }
    void saveScreenshot(const std::string& name) { WindowFixture::saveScreenshot(std::filesystem::path("logging") / name); }
};

}  // namespace loggingtests
