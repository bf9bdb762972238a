// A recording stopped on the Logging screen is mailed through the desktop's xdg-email: the mail client
// gets it with its attachment, or the user is told where the copy is kept.

#include "shell/app/ShellAppTest.h"

#include <algorithm>

#include "app/Features.h"
#include "logging/ScrollGraphViewController.h"
#include "platform/foundation/Localization.h"
#include "platform/mail/MailComposer.h"
#include "platform/ui/Switch.h"
#include "support/FakeMailClient.h"

namespace {

class LoggingMailTest : public ShellAppTest {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        ASSERT_TRUE(client.usable()) << "xdg-utils is a dependency: the real xdg-email checks the arguments";
        launchApp(appScreens());
        ASSERT_TRUE(waitFor([&] { return link().isConnected(); }));
        advance(1);
        swipe(10, 280);
        advance(1);
        ASSERT_TRUE(testsupport::tapText(window->window(), "Logging"));
        advance(1);
    }

    std::string shown()
    {
        std::string joined;
        for (const std::string& line : testsupport::texts(window->window()))
            joined += line + " ";
        return joined;
    }

    // Switches recording on, records a few seconds, switches it off and waits for xdg-email to end.
    void recordAndStop()
    {
        auto* screen = dynamic_cast<ScrollGraphViewController*>(&app->rootController()->selectedViewController());
        ASSERT_NE(screen, nullptr) << shown();
        ui::Switch* record = &screen->recordSwitch();
        tap(*record);
        for (int i = 0; i < 3; ++i) {
            advance(1);
            ASSERT_TRUE(waitForAnswers());
        }
        ASSERT_TRUE(record->isOn()) << shown();
        tap(*record);
        advance(0.5);
        ASSERT_TRUE(waitFor([] { return mail::MailComposer::handOffsInProgress() == 0; }));
        advance(0.5);
    }

    testsupport::FakeMailClient client;
};

TEST_F(LoggingMailTest, TheStoppedRecordingReachesTheMailClient)
{
    recordAndStop();
    const auto calls = client.calls();
    ASSERT_EQ(calls.size(), 1u);
    const auto& arguments = calls.front();
    EXPECT_EQ(std::find(arguments.begin(), arguments.end(), ""), arguments.end()) << "an empty argument";
    ASSERT_EQ(client.opened().size(), 1u);
    EXPECT_NE(client.opened().front().find("subject=Norvale%20Logging"), std::string::npos) << client.opened().front();
    EXPECT_NE(client.opened().front().find("attach="), std::string::npos) << client.opened().front();
    EXPECT_EQ(shown().find(fnd::L("Error")), std::string::npos) << shown();
}

TEST_F(LoggingMailTest, AMailClientThatCannotOpenIsToldWithTheKeptCopy)
{
    client.setClientOpens(false);
    recordAndStop();
    ASSERT_EQ(client.opened().size(), 1u);
    const auto alert = ui::AlertController::visible();
    ASSERT_TRUE(alert) << shown();
    EXPECT_NE(alert->message().find("could not be handed to your mail client"), std::string::npos) << alert->message();
    EXPECT_NE(alert->message().find("/Documents/Outbox/Message "), std::string::npos) << alert->message();
    EXPECT_TRUE(testsupport::shows(window->window(), "Ok"));
}

}  // namespace
