#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"
#include "shell/AppDelegate.h"
#include "shell/LinkedScreen.h"
#include "shell/RootController.h"
#include "shell/TemplateViewCon.h"
#include "support/AppState.h"
#include "support/Input.h"
#include "support/SimulatorFixture.h"

// A feature screen that counts what the menu asks of it.
class ProbeScreen : public TemplateViewCon {
public:
    int scans = 0;
    int rotations = 0;
    void startScanning() override { ++scans; }
    void rotateScreen() override { ++rotations; }
};

// A diagnostics tab root: it keeps the menu the way the trouble code screen does.
class ProbeLinkedScreen : public ui::ViewController, public LinkedScreen {
public:
    std::weak_ptr<DTCViewControllerDelegate> menu;
    void setDelegate(const std::shared_ptr<DTCViewControllerDelegate>& delegate) override { menu = delegate; }

private:
    void startVisit(Scanner&) override {}  // the menu tests send nothing from the tab
};

// The menu in a phone-sized window, on first-run settings pointed at the simulator on loopback, with
// nothing saved and no alert up. The link's timers run on the manual clock; I/O is waited for.
class ShellAppTest : public ::testing::Test, protected testsupport::SimulatorFixture {
protected:
    void SetUp() override
    {
        testsupport::freshAppState();
        ASSERT_TRUE(startSimulator());
    }

    void TearDown() override
    {
        app.reset();
        ui::AlertController::dismissAll();
        window.reset();
        root.reset();
        Manager::sharedManager().scanner()->disconnect();
        Manager::resetForTesting();
        sim.stop();
        ui::Device::current().reset();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static Scanner& link() { return *Manager::sharedManager().scanner(); }

    // The menu with these entries, on view.
    void showMenu(std::vector<std::shared_ptr<ui::ViewController>> screens, std::vector<std::string> titles)
    {
        root = RootController::create(std::move(screens), std::move(titles));
        window = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        window->setRootViewController(root);
        window->window().layoutIfNeeded();
    }

    // The application on these screens, launched in a new window of the device's size; on this adapter
    // when one is given, else as the settings say.
    void launchApp(AppScreens screens = {}, std::optional<AdapterAddress> adapter = std::nullopt)
    {
        window = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        app = std::make_unique<AppDelegate>(std::move(screens));
        app->didFinishLaunching(*window, std::move(adapter));
        window->window().layoutIfNeeded();
    }

    // Waits until everything the link sent so far has been answered: one request more goes out behind it.
    static bool waitForAnswers()
    {
        bool answered = false;
        link().sendCommand(link().commandForOBD2(0x01, 0x00, 255), [&](const std::vector<Response>&) { answered = true; });
        return waitFor([&] { return answered; });
    }
    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

    // A finger down and up on the middle of a view.
    void tap(ui::View& view) { testsupport::tap(window->window(), view); }

    // A quick horizontal stroke across the window.
    void swipe(double fromX, double toX, double y = 400) { testsupport::swipe(window->window(), {fromX, y}, {toX, y}); }

    std::unique_ptr<ui::RootWindow> window;
    std::unique_ptr<AppDelegate> app;
    std::shared_ptr<RootController> root;
};
