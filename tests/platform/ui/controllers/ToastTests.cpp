#include "Screens.h"

#include "platform/ui/Toast.h"
#include "support/TestSupport.h"

using namespace ui;
using namespace controllertests;

namespace {

TEST_F(ControllerTest, AToastDisappearsAfterItsDuration)
{
    auto host = std::make_shared<View>(window().bounds());
    window().addSubview(host);
    ToastStyle style;
    style.setMessageColor(Color::rgb255(0, 185, 109));
    makeToast(*host, "Recording has started", 3.0, ToastPosition::Center, style);
    makeToast(*host, "Connection closed", 2.0, ToastPosition::Top);

    advance(0.1);
    ToastView* first = visibleToast(*host);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->message(), "Recording has started");
    EXPECT_NEAR(first->frame().midY(), host->bounds().midY(), 1);
    EXPECT_GT(first->presentationState().alpha, 0);
    EXPECT_LT(first->presentationState().alpha, 1) << "it fades in";
    advance(0.2);
    EXPECT_EQ(first->presentationState().alpha, 1);
    window().renderToImage().writePNG(testsupport::artifactsDir() / "toast-center.png");

    advance(2.8);
    EXPECT_EQ(visibleToast(*host), first) << "shown for its whole duration";
    advance(0.4); // 0.2 in + 3.0 shown + 0.2 out
    ToastView* second = visibleToast(*host);
    ASSERT_NE(second, nullptr) << "the queued toast follows";
    EXPECT_EQ(second->message(), "Connection closed");
    EXPECT_EQ(host->subviews().size(), 1u) << "the first one is gone";
    EXPECT_LT(second->frame().minY(), 100) << "top position";
    advance(2.5);
    EXPECT_EQ(visibleToast(*host), nullptr);
    EXPECT_TRUE(host->subviews().empty());
}

TEST_F(ControllerTest, AToastOutlivingItsViewIsHarmless)
{
    auto host = std::make_shared<View>(window().bounds());
    makeToast(*host, "Bye", 1.0, ToastPosition::Bottom);
    makeToast(*host, "Never shown", 1.0, ToastPosition::Bottom);
    host.reset();
    advance(5);
    View loose; // not held by a shared_ptr: no toast, no crash
    makeToast(loose, "Nowhere", 1.0, ToastPosition::Center);
    EXPECT_EQ(visibleToast(loose), nullptr);
}

} // namespace
