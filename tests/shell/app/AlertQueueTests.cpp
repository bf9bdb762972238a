#include <gtest/gtest.h>

#include "platform/foundation/Localization.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Device.h"
#include "platform/ui/RootWindow.h"
#include "shell/QueuedAlertController.h"

namespace {

class AlertQueueTest : public ::testing::Test {
protected:
    AlertQueueTest() { ui::AlertController::dismissAll(); }
    ~AlertQueueTest() override { ui::AlertController::dismissAll(); }

    ui::RootWindow window{ui::Device::current().screenSize()};
};

TEST_F(AlertQueueTest, AlertsTakeTurnsInTheOrderShown)
{
    window.setRootViewController(std::make_shared<ui::ViewController>());
    QueuedAlertController::showMessage("Attention", "Connect msg");
    QueuedAlertController::showMessage("Error", "rpm msg");
    auto third = QueuedAlertController::alertControllerWithTitle("Scanner error", "Scanner msg2");
    int retried = 0;
    third->addAction("Cancel", ui::AlertActionStyle::Cancel);
    third->addAction("Retry", ui::AlertActionStyle::Default, [&] { ++retried; });
    third->show();

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Attention", fnd::L("Connect msg")}, {"Error", fnd::L("rpm msg")}, {"Scanner error", fnd::L("Scanner msg2")}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto shown = AlertQueue::current();
        ASSERT_TRUE(shown) << i;
        EXPECT_EQ(shown->title(), expected[i].first);
        EXPECT_EQ(shown->message(), expected[i].second);
        EXPECT_EQ(AlertQueue::waitingCount(), expected.size() - i - 1);
        ASSERT_TRUE(shown->triggerAction(i < 2 ? "Ok" : "Retry"));
        fnd::RunLoop::main().advance(1);
    }
    EXPECT_EQ(AlertQueue::current(), nullptr);
    EXPECT_EQ(retried, 1);
}

// The message keys have texts of their own; a key without one shows as it stands.
TEST_F(AlertQueueTest, MessageKeysAreLocalized)
{
    window.setRootViewController(std::make_shared<ui::ViewController>());
    QueuedAlertController::showMessage("Attention", "Dashcam msg");
    const auto shown = AlertQueue::current();
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->message(), "Dashcam msg");
    EXPECT_FALSE(shown->message().empty());
    EXPECT_EQ(shown->actionTitles(), std::vector<std::string>{"Ok"});
}

}  // namespace
