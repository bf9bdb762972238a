#pragma once

#include <functional>
#include <memory>

#include "FuelTest.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "shell/AppDelegate.h"
#include "support/ScreenFixture.h"

// The fuel screens in their tab bar, in a phone-sized window, with a real link
// to the adapter simulator on loopback. The car stands still unless a test
// drives it; timers run on the manual clock.
class FuelScreenTest : public FuelTest, protected testsupport::ScreenFixture {
protected:
    void SetUp() override
    {
        FuelTest::SetUp();
        ui::AlertController::dismissAll();
        ASSERT_TRUE(startSimulator());
    }

    void TearDown() override
    {
        tabs.reset();
        closeAll();
    }

    // Shows the screens as the tabs "Fuel" and "Trends", the first one selected.
    void showTabs(std::vector<AppDelegate::Tab> screens)
    {
        tabs = AppDelegate::makeTabBar(screens);
        show(tabs, 1);
    }

    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

    std::shared_ptr<ui::TabBarController> tabs;
};
