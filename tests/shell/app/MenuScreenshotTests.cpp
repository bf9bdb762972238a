// The menu as it looks once connected, on a phone and on a pad, kept under the artifacts folder; the phone's is
// compared with its reference.

#include "ShellAppTest.h"

#include "platform/ui/Image.h"
#include "support/ReferenceImage.h"

namespace {

struct ShotCase {
    const char* name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
    // The kept reference the menu is compared with, if any.
    const char* reference = nullptr;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const ShotCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuScreenshot : public ShellAppTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(MenuScreenshot, ConnectedMenu)
{
    const ShotCase& c = GetParam();
    ui::Device::current().setIdiom(c.idiom);
    ui::Device::current().setScreenSize(c.size);
    ui::Device::current().setScale(2);
    sim.updateCar([](elmsim::CarState& car) { car.storedCodes = {"P0301"}; });
    auto list = std::make_shared<ProbeScreen>();
    auto plain = std::make_shared<ui::ViewController>();
    showMenu({list, plain}, {"Gauge list", "Settings"});
    ASSERT_TRUE(waitFor([&] { return list->scans > 0; }));
    ASSERT_TRUE(waitForAnswers());
    advance(1);

    const ui::Image shot = window->window().renderToImage(2);
    ASSERT_TRUE(shot.writePNG(testsupport::artifactsDir() / (std::string("shell-menu-") + c.name + ".png")));
    if (c.reference != nullptr) {
        EXPECT_TRUE(testsupport::matchesReference(shot, c.reference));
    }

    // The strip shows the adapter's name in its green and the lamp in the accent red.
    const ui::Rect strip = root->statusView().convertRect(root->statusView().bounds(), nullptr);
    bool green = false;
    bool red = false;
    for (int y = static_cast<int>(strip.minY() * 2); y < static_cast<int>(strip.maxY() * 2); ++y) {
        for (int x = 0; x < static_cast<int>(strip.maxX() * 2); ++x) {
            const ui::Color p = shot.pixel(x, y);
            green = green || (p.g > 0.6 && p.r < 0.2 && p.b < 0.6);
            red = red || (p.r > 0.7 && p.g < 0.3 && p.b < 0.4);
        }
    }
    EXPECT_TRUE(green);
    EXPECT_TRUE(red);
}

INSTANTIATE_TEST_SUITE_P(Devices, MenuScreenshot,
                         ::testing::Values(ShotCase{"phone", ui::UserInterfaceIdiom::Phone, {390, 844}, "shell-menu"},
                                           ShotCase{"pad", ui::UserInterfaceIdiom::Pad, {768, 1024}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
