// The whole application walked by taps and swipes at each window shape, against the adapter simulator
// on loopback: every screen, sheet and alert a user reaches, checked for what a user would see wrong.
// Findings listed in known-faults.txt are expected (their mends are under way); any other fails.

#include "shell/app/ShellAppTest.h"

#include <iostream>

#include "app/Features.h"
#include "app/walker/KnownFaults.h"
#include "app/walker/ScreenWalker.h"
#include "platform/mail/MailComposer.h"
#include "shell/AppDelegate.h"

namespace {

struct Shape {
    std::string name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
};

void PrintTo(const Shape& shape, std::ostream* os)
{
    *os << shape.name;
}

class ScreenWalk : public ShellAppTest, public ::testing::WithParamInterface<Shape> {
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
};

TEST_P(ScreenWalk, EveryScreenAUserReachesShowsWhollyAndCanBeLeft)
{
    const Shape& shape = GetParam();
    ui::Device::current().setIdiom(shape.idiom);
    ui::Device::current().setScreenSize(shape.size);
    launchApp(appScreens(), AdapterAddress{"127.0.0.1", sim.port()});
    ASSERT_TRUE(waitFor([] { return link().isConnected(); }));
    advance(2);

    walker::ScreenWalker walk(*window, *app->rootController(), testsupport::artifactsDir() / ("walker-" + shape.name));
    walk.walk(app->screenPaths());

    const walker::Counts& counts = walk.counts();
    std::cout << shape.name << ": " << counts.screens << " screens, " << counts.controlsTapped << " controls tapped, "
              << counts.sheetsOpened << " sheets opened, " << counts.sheetsClosed << " closed\n";
    for (const std::string& line : walk.trail())
        std::cout << "  " << line << "\n";

    const auto known = walker::knownFaults();
    for (const walker::Reported& r : walk.reported()) {
        const auto expected = std::find_if(known.begin(), known.end(), [&](const walker::KnownFault& fault) {
            return fault.matches(shape.name, r.screen, r.finding.check);
        });
        if (expected != known.end())
            std::cout << "expected: " << r.screen << " | " << r.finding.check << " | " << r.finding.detail << " ("
                      << expected->note << ")\n";
        else
            ADD_FAILURE() << shape.name << " | " << r.screen << " | " << r.finding.check << " | " << r.finding.detail;
    }
    EXPECT_GT(counts.screens, 10);
    EXPECT_EQ(counts.sheetsOpened, counts.sheetsClosed);
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
    app->willTerminate();
}

INSTANTIATE_TEST_SUITE_P(Shapes, ScreenWalk,
                         ::testing::Values(Shape{"phone", ui::UserInterfaceIdiom::Phone, {390, 844}},
                                           Shape{"landscape", ui::UserInterfaceIdiom::Phone, {844, 390}},
                                           Shape{"pad", ui::UserInterfaceIdiom::Pad, {1024, 768}}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
