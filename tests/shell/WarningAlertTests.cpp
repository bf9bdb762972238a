#include <memory>

#include "ShellScreens.h"
#include "shell/QueuedAlertController.h"
#include "shell/WarningAlert.h"

using namespace shelltests;

namespace {

class WarningAlertTest : public ShellTest {
protected:
    WarningAlertTest() { show(std::make_shared<ui::ViewController>()); }
};

TEST_F(WarningAlertTest, OneAlertWaitsUntilTheUserClosesIt)
{
    WarningAlert warning("Warning");
    EXPECT_TRUE(warning.show("Hot\n 120"));
    EXPECT_FALSE(warning.show("Hot\n 121")) << "the first still waits";
    advance(1);
    const auto alert = ui::AlertController::visible();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "Warning");
    EXPECT_EQ(alert->message(), "Hot\n 120");
    EXPECT_EQ(alert->actionTitles(), std::vector<std::string>{"Ok"});
    EXPECT_EQ(ui::AlertController::queuedCount(), 0u);
    EXPECT_TRUE(warning.isWaiting());

    ASSERT_TRUE(alert->triggerAction("Ok"));
    advance(1);
    EXPECT_FALSE(warning.isWaiting());
    EXPECT_TRUE(warning.show("Hot\n 122"));
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(), "Hot\n 122");
}

TEST_F(WarningAlertTest, WaitingBehindAnotherAlertCountsAsWaiting)
{
    QueuedAlertController::showMessage("Other", "First come");
    WarningAlert warning("Warning");
    EXPECT_TRUE(warning.show("Hot"));
    EXPECT_FALSE(warning.show("Hot again"));
    EXPECT_EQ(ui::AlertController::queuedCount(), 1u);
    ASSERT_TRUE(ui::AlertController::visible()->triggerAction("Ok"));
    advance(1);
    EXPECT_EQ(ui::AlertController::visible()->message(), "Hot");
}

TEST_F(WarningAlertTest, EachWarningHasItsOwnTurnAndOneGoneFreesIt)
{
    WarningAlert coolant("Warning");
    WarningAlert oil("Warning");
    EXPECT_TRUE(coolant.show("Coolant"));
    EXPECT_TRUE(oil.show("Oil"));
    EXPECT_EQ(ui::AlertController::queuedCount(), 1u);

    // Alerts dropped without their button (the window going away) wait no longer.
    ui::AlertController::dismissAll();
    EXPECT_FALSE(coolant.isWaiting());
    EXPECT_TRUE(coolant.show("Coolant"));
}

TEST_F(WarningAlertTest, OkAfterTheWarningIsGoneIsHarmless)
{
    auto warning = std::make_unique<WarningAlert>("Warning");
    warning->show("Hot");
    advance(1);
    warning.reset();
    EXPECT_TRUE(ui::AlertController::visible()->triggerAction("Ok"));
}

}  // namespace
