// The settings from launch to outcome, at phone and pad sizes: a user whose adapter port is wrong opens
// Settings, types the right port, sees it, and the link reaches the adapter on it.

#include <string>

#include "ShellAppTest.h"

#include "core/Notifications.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"
#include "support/LoopbackServer.h"

namespace {

class SettingsJourney : public ShellAppTest, public ::testing::WithParamInterface<ui::Size> {};

TEST_P(SettingsJourney, TypingTheAdapterPortConnectsOnIt)
{
    const ui::Size size = GetParam();
    ui::Device::current().setIdiom(size.width >= 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
    ui::Device::current().setScreenSize(size);
    settings().port = testsupport::unusedLoopbackPort();
    ASSERT_TRUE(Manager::sharedManager().saveChanges());
    int drops = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [&](const fnd::Notification&) { ++drops; });

    launchApp();
    ui::Window& shown = window->window();
    ASSERT_TRUE(waitFor([&] { return drops > 0; })) << "the wrong port fails";
    app->rootController()->setMenuOpen(false);
    advance(1);

    ASSERT_TRUE(testsupport::tapText(shown, "Adapter port"));
    advance(1);
    ASSERT_TRUE(testsupport::shows(shown, fnd::format("%u", settings().port))) << "the port being edited shows";
    const std::string port = fnd::format("%u", sim.port());
    ASSERT_TRUE(testsupport::shortcut(shown, 'a'));
    ASSERT_TRUE(testsupport::type(shown, port));
    EXPECT_TRUE(testsupport::shows(shown, port)) << "what is typed shows";
    ASSERT_TRUE(testsupport::key(shown, ui::Key::Return));
    advance(1);

    EXPECT_TRUE(testsupport::shows(shown, "Adapter port")) << "back on the settings";
    EXPECT_TRUE(testsupport::shows(shown, port));
    const auto saved = fnd::KeyedUnarchiver::fromFile(fnd::Paths::documents() / Manager::settingsFileName);
    ASSERT_TRUE(saved);
    EXPECT_EQ(Settings::fromArchive(*saved).port, sim.port());

    advance(RootController::reconnectDelay);
    ASSERT_TRUE(waitFor([] { return link().isConnected(); })) << "the link uses the typed port";
    EXPECT_GT(sim.connections(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SettingsJourney,
                         ::testing::Values(ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}),
                         [](const auto& info) {
                             return std::to_string(static_cast<int>(info.param.width)) + "x" +
                                    std::to_string(static_cast<int>(info.param.height));
                         });

}  // namespace
