#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/link/LinkSettings.h"
#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "elmsim/lib/Simulator.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"
#include "support/AppState.h"
#include "support/Input.h"

// A diagnostics screen at the root of its navigation stack in a phone-sized window, with the real link
// connected to the adapter simulator on loopback. Time is the manual clock; I/O is waited for.
class DiagnosticsTest : public ::testing::Test {
protected:
    DiagnosticsTest()
    {
        testsupport::freshAppState();
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    }

    ~DiagnosticsTest() override
    {
        ui::AlertController::dismissAll();
        root.reset();
        if (link) {
            link->setDelegate(nullptr);
            link->disconnect();
        }
        sim.stop();
        ui::Device::current().reset();
    }

    void SetUp() override
    {
        ASSERT_NE(sim.start(), 0);
        sim.updateCar([](elmsim::CarState& s) { s.moving = false; });
        Settings& settings = Manager::sharedManager().setting();
        settings.hostIP = "127.0.0.1";
        settings.port = sim.port();
        LinkSettings linkSettings;
        linkSettings.adapter = {"127.0.0.1", sim.port()};
        link = Scanner::ScannerForMode(0, linkSettings);
    }

    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }
    static bool waitFor(const std::function<bool()>& done) { return fnd::RunLoop::main().runUntil(done, 10.0); }

    bool connect()
    {
        link->connect();
        return waitFor([&] { return link->isConnected(); });
    }

    void show(std::shared_ptr<ui::ViewController> screen)
    {
        navigation = std::make_shared<ui::NavigationController>(std::move(screen));
        root->setRootViewController(navigation);
        advance(0.5);
    }

    int requestCount(const std::string& request) const
    {
        const auto log = sim.requests();
        return static_cast<int>(std::count(log.begin(), log.end(), request));
    }

    // Waits until every reply to what was sent so far has been delivered: the link sends a request only
    // after handing over the reply before it, so the adapter receiving one more means it is done.
    bool drain()
    {
        const int before = requestCount("AT RV");
        link->sendCommand(link->commandForVoltage());
        return waitFor([&] { return requestCount("AT RV") > before; });
    }

    void tap(ui::Point at) { testsupport::tap(root->window(), at); }

    void screenshot(const std::string& name)
    {
        root->window().layoutIfNeeded();
        advance(0.5);
        const ui::Image shot = root->window().renderToImage(2);
        EXPECT_TRUE(shot.writePNG(testsupport::artifactsDir() / ("diagnostics-" + name + ".png")));
    }

    elmsim::Simulator sim;
    std::shared_ptr<Scanner> link;
    std::unique_ptr<ui::RootWindow> root;
    std::shared_ptr<ui::NavigationController> navigation;
};
