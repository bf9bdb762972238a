#include "Screens.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/NavigationController.h"

using namespace ui;
using namespace controllertests;

namespace {

TEST_F(ControllerTest, OrientationFollowsTheScreensShape)
{
    struct Case {
        DeviceOrientation before;
        Size size;
        DeviceOrientation after;
        InterfaceOrientation interface;
    };
    const Case cases[] = {
        {DeviceOrientation::Portrait, {844, 390}, DeviceOrientation::LandscapeLeft, InterfaceOrientation::LandscapeRight},
        {DeviceOrientation::LandscapeRight, {844, 390}, DeviceOrientation::LandscapeRight, InterfaceOrientation::LandscapeLeft},
        {DeviceOrientation::LandscapeLeft, {390, 844}, DeviceOrientation::Portrait, InterfaceOrientation::Portrait},
        {DeviceOrientation::PortraitUpsideDown, {390, 844}, DeviceOrientation::PortraitUpsideDown, InterfaceOrientation::PortraitUpsideDown},
        {DeviceOrientation::FaceUp, {500, 500}, DeviceOrientation::Portrait, InterfaceOrientation::Portrait},
    };
    Device& device = Device::current();
    for (const Case& c : cases) {
        device.setOrientation(c.before);
        device.setScreenSize(c.size);
        EXPECT_EQ(device.orientation(), c.after) << static_cast<int>(c.before);
        EXPECT_EQ(device.interfaceOrientation(), c.interface) << static_cast<int>(c.before);
        EXPECT_EQ(device.screenSize(), c.size);
    }
    device.setScreenSize({0, 100});
    EXPECT_EQ(device.screenSize(), (Size{500, 500})) << "an empty size is ignored";
}

TEST_F(ControllerTest, SafeAreaInsetsByDevice)
{
    struct Case {
        UserInterfaceIdiom idiom;
        Size size;
        EdgeInsets insets;
    };
    const Case cases[] = {
        {UserInterfaceIdiom::Phone, {390, 844}, {44, 0, 34, 0}},
        {UserInterfaceIdiom::Phone, {844, 390}, {0, 44, 21, 44}},
        {UserInterfaceIdiom::Phone, {375, 667}, {20, 0, 0, 0}},
        {UserInterfaceIdiom::Phone, {667, 375}, {0, 0, 0, 0}},
        {UserInterfaceIdiom::Pad, {1024, 768}, {20, 0, 0, 0}},
    };
    Device& device = Device::current();
    for (const Case& c : cases) {
        device.setIdiom(c.idiom);
        device.setScreenSize(c.size);
        EXPECT_EQ(device.safeAreaInsets(), c.insets) << c.size.width << "x" << c.size.height;
    }
    EXPECT_EQ(Device::current().systemMajorVersion(), 13);
    EXPECT_FALSE(Device::current().modelIdentifier().empty());
}

TEST_F(ControllerTest, AViewGetsItsShareOfTheSafeArea)
{
    auto top = std::make_shared<View>(makeRect(0, 0, 390, 100));
    auto middle = std::make_shared<View>(makeRect(0, 300, 390, 100));
    auto bottom = std::make_shared<View>(makeRect(10, 800, 100, 44));
    for (const auto& v : {top, middle, bottom})
        window().addSubview(v);
    EXPECT_EQ(safeAreaInsets(*top), (EdgeInsets{44, 0, 0, 0}));
    EXPECT_EQ(safeAreaInsets(*middle), (EdgeInsets{}));
    EXPECT_EQ(safeAreaInsets(*bottom), (EdgeInsets{0, 0, 34, 0}));
}

TEST_F(ControllerTest, ResizingTheWindowRotatesTheScreens)
{
    int changes = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        Device::orientationDidChangeNotification, [&](const fnd::Notification&) { ++changes; });
    auto a = screen("A");
    auto b = screen("B");
    auto nav = std::make_shared<NavigationController>(a);
    root->setRootViewController(nav);
    nav->pushViewController(b, false);
    take();

    root->setSize({844, 390}, 0.3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Device::current().interfaceOrientation(), InterfaceOrientation::LandscapeRight);
    EXPECT_EQ(b->view()->bounds().size, (Size{844, 390}));
    EXPECT_EQ(appearance(), (Log{"A willTransition 844", "B willTransition 844", "B willRotate 3", "A alongside",
                                 "B alongside"}));
    advance(0.35);
    EXPECT_EQ(appearance(), (Log{"A transitionDone", "B transitionDone", "B didRotate 1"}));

    root->setSize({900, 400});
    EXPECT_EQ(changes, 1) << "still landscape";
    Log log = appearance();
    EXPECT_EQ(std::count(log.begin(), log.end(), "B willRotate 3"), 0);

    Device::current().setOrientation(DeviceOrientation::Portrait);
    EXPECT_EQ(root->size(), (Size{400, 900})) << "a rotation asked for in code turns the window";
}

} // namespace
