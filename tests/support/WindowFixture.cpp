#include "support/WindowFixture.h"

#include <gtest/gtest.h>

#include "platform/ui/Device.h"
#include "platform/ui/Window.h"
#include "support/Input.h"
#include "support/TestSupport.h"

namespace testsupport {

void WindowFixture::makeWindow()
{
    closeWindow();
    root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
}

void WindowFixture::show(std::shared_ptr<ui::ViewController> screen, double settle)
{
    if (!root)
        makeWindow();
    root->setRootViewController(std::move(screen));
    window().layoutIfNeeded();
    advance(settle);
    window().layoutIfNeeded();
}

void WindowFixture::showInNavigation(std::shared_ptr<ui::ViewController> screen, double settle)
{
    navigation = std::make_shared<ui::NavigationController>(std::move(screen));
    show(navigation, settle);
}

void WindowFixture::leave(double settle)
{
    root->setRootViewController(std::make_shared<ui::ViewController>());
    window().layoutIfNeeded();
    advance(settle);
}

void WindowFixture::closeWindow()
{
    // Letting go of the screen first lets it see itself leave, as it would in the app.
    if (root)
        root->setRootViewController(nullptr);
    root.reset();
    navigation.reset();
}

void WindowFixture::tap(ui::Point at, double settle)
{
    testsupport::tap(window(), at);
    advance(settle);
}

void WindowFixture::tap(const ui::View& view, double settle)
{
    testsupport::tap(window(), view);
    advance(settle);
}

void WindowFixture::saveScreenshot(const std::filesystem::path& name)
{
    window().layoutIfNeeded();
    const std::filesystem::path file = artifactsDir() / name;
    std::filesystem::create_directories(file.parent_path());
    EXPECT_TRUE(window().renderToImage(2).writePNG(file)) << file;
}

}  // namespace testsupport
