#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/link/Scanner.h"
#include "elmsim/lib/Simulator.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"
#include "support/AppState.h"
#include "support/Input.h"
#include "support/ScreenFixture.h"

// A diagnostics screen at the root of its navigation stack in a phone-sized window, with the real link
// to the adapter simulator on loopback, made before each test and connected when the test asks.
class DiagnosticsTest : public ::testing::Test, protected testsupport::ScreenFixture {
protected:
    DiagnosticsTest()
    {
        testsupport::freshAppState();
        makeWindow();
    }

    ~DiagnosticsTest() override { closeAll(); }

    void SetUp() override
    {
        ASSERT_TRUE(startSimulator());
        makeLink();
    }

    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

    void show(std::shared_ptr<ui::ViewController> screen) { showInNavigation(std::move(screen)); }

    // Waits until every reply to what was sent so far has been delivered: the link sends a request only
    // after handing over the reply before it, so the adapter receiving one more means it is done.
    bool drain()
    {
        const int before = requestCount("AT RV");
        link->sendCommand(link->commandForVoltage());
        return waitFor([&] { return requestCount("AT RV") > before; });
    }

    void screenshot(const std::string& name)
    {
        advance(0.5);
        saveScreenshot("diagnostics-" + name + ".png");
    }
};
