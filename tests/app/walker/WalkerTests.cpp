// The whole application walked by taps and swipes at each window shape, against the adapter simulator
// on loopback: every screen, sheet and alert a user reaches, checked for what a user would see wrong.
// Findings listed in known-faults.txt are expected (their mends are under way); any other fails.

#include "shell/app/ShellAppTest.h"

#include <iostream>

#include "app/Features.h"
#include "app/walker/KnownFaults.h"
#include "app/walker/ScreenWalker.h"
#include "platform/mail/MailComposer.h"
#include "platform/motion/MotionService.h"
#include "shell/AppDelegate.h"
#include "support/ScreenShape.h"

namespace {

class ScreenWalk : public ShellAppTest, public ::testing::WithParamInterface<testsupport::ScreenShape> {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        // Mail goes to a recorder, never to a desktop mail client.
        mail::MailComposer::setTestRecorder(
            [](const mail::MailMessage&, const std::string&) { return mail::MailComposeResult::Cancelled; });
    }

    void TearDown() override
    {
        mail::MailComposer::setTestRecorder({});
        ShellAppTest::TearDown();
    }

    // The application at the shape's size, connected to the simulator.
    void launchConnected()
    {
        GetParam().apply();
        launchApp(appScreens(), AdapterAddress{"127.0.0.1", sim.port()});
        ASSERT_TRUE(waitFor([] { return link().isConnected(); }));
        advance(2);
    }

    // Prints the walk; fails on each finding that is not a known fault, and on sheets left open.
    void expectNoNewFindings(const walker::ScreenWalker& walk)
    {
        const std::string& shape = GetParam().name;
        const walker::Counts& counts = walk.counts();
        std::cout << shape << ": " << counts.screens << " screens, " << counts.controlsTapped << " controls tapped, "
                  << counts.sheetsOpened << " sheets opened, " << counts.sheetsClosed << " closed\n";
        for (const std::string& line : walk.trail())
            std::cout << "  " << line << "\n";

        const auto known = walker::knownFaults();
        for (const walker::Reported& r : walk.reported()) {
            const auto expected = std::find_if(known.begin(), known.end(), [&](const walker::KnownFault& fault) {
                return fault.matches(shape, r.screen, r.finding.check);
            });
            if (expected != known.end())
                std::cout << "expected: " << r.screen << " | " << r.finding.check << " | " << r.finding.detail
                          << " (" << expected->note << ")\n";
            else
                ADD_FAILURE() << shape << " | " << r.screen << " | " << r.finding.check << " | " << r.finding.detail;
        }
        EXPECT_EQ(counts.sheetsOpened, counts.sheetsClosed) << "each sheet is closed by a tap on one of its buttons";
        EXPECT_EQ(ui::AlertController::visible(), nullptr);
    }

    bool shows(const std::string& text) { return testsupport::shows(window->window(), text); }

    // A tap on a text on screen, then the time an animation takes.
    bool tapOn(const std::string& text)
    {
        const bool tapped = testsupport::tapText(window->window(), text);
        advance(0.6);
        return tapped;
    }
};

TEST_P(ScreenWalk, EveryScreenAUserReachesShowsWhollyAndCanBeLeft)
{
    ASSERT_NO_FATAL_FAILURE(launchConnected());
    walker::ScreenWalker walk(*window, *app->rootController(),
                              testsupport::artifactsDir() / ("walker-" + GetParam().name));
    walk.walk(app->screenPaths());
    EXPECT_GT(walk.counts().screens, 10);
    expectNoNewFindings(walk);
    app->willTerminate();
}

// The race screen once a drag run has been stopped: what it shows then, and every control on it.
TEST_P(ScreenWalk, TheRaceScreenAfterARunShowsWhollyAndCanBeLeft)
{
    motion::MotionService::shared().startInjection();
    ASSERT_NO_FATAL_FAILURE(launchConnected());
    walker::ScreenWalker walk(*window, *app->rootController(),
                              testsupport::artifactsDir() / ("walker-race-run-" + GetParam().name));
    ASSERT_EQ(app->openScreen("Racing"), std::nullopt);
    advance(1);
    // A first visit greets with a note.
    if (const auto note = ui::AlertController::visible()) {
        ASSERT_TRUE(tapOn(note->actionTitles().front()));
    }
    ASSERT_TRUE(tapOn("Drag"));
    ASSERT_TRUE(tapOn("Ready"));
    // The phone feels the launch.
    motion::MotionService::shared().inject({0, 0, 0.5});
    for (int i = 0; i < 40 && !shows("STOP"); ++i) {
        advance(0.05);
        fnd::RunLoop::main().runUntil([&] { return shows("STOP"); }, 0.02);
    }
    motion::MotionService::shared().inject({});
    ASSERT_TRUE(shows("STOP")) << "the run starts";
    advance(2);
    ASSERT_TRUE(tapOn("STOP"));

    walk.walkFromHere("Racing after a run");
    EXPECT_GE(walk.counts().controlsTapped, 2);
    expectNoNewFindings(walk);
    motion::MotionService::shared().stop();
    app->willTerminate();
}

INSTANTIATE_TEST_SUITE_P(Shapes, ScreenWalk,
                         ::testing::Values(testsupport::phonePortrait, testsupport::phoneLandscape, testsupport::pad),
                         testsupport::shapeName);

}  // namespace
