// Texts of the dash camera and its settings are shown whole, in the fallback fonts too, at the phone's
// and the pad's sizes.

#include <algorithm>
#include <string>
#include <vector>

#include "CameraScreenTest.h"
#include "dashcam/CamSettViewController.h"
#include "platform/ui/Context.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/VisibleText.h"

namespace {

struct Screen {
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
};

const Screen screens[] = {{ui::UserInterfaceIdiom::Phone, {390, 844}},
                          {ui::UserInterfaceIdiom::Phone, {844, 390}},
                          {ui::UserInterfaceIdiom::Pad, {1024, 768}}};

void use(const Screen& screen)
{
    ui::Device::current().setIdiom(screen.idiom);
    ui::Device::current().setScreenSize(screen.size);
}

// The lines of text a view draws, with where each lands, in its own points.
class TextLines : public ui::BitmapContext {
public:
    explicit TextLines(ui::View& view) : ui::BitmapContext(view.bounds().size, 1) { view.render(*this); }

    struct Line {
        std::string text;
        ui::Rect place;
    };
    std::vector<Line> lines;

    const Line* find(const std::string& text) const
    {
        const auto found =
            std::find_if(lines.begin(), lines.end(), [&](const Line& line) { return line.text == text; });
        return found == lines.end() ? nullptr : &*found;
    }

protected:
    void textLineDrawn(const std::string& text, const ui::Rect& line, bool cut) override
    {
        EXPECT_FALSE(cut) << text;
        lines.push_back({text, ctm().apply(line)});
    }
};

using CameraTextFitTest = CameraViewControllerTest;

TEST_F(CameraTextFitTest, TheClockKeepsItsAmOrPm)
{
    settings().displayTimeEnabled = true;
    for (const Screen& screen : screens) {
        SCOPED_TRACE(screen.size.width);
        use(screen);
        show();
        const auto clock = [&]() -> std::string {
            for (const std::string& text : ui::visibleTexts(root->window()))
                if (text.size() > 10 && text.find('-') != std::string::npos && text.find(':') != std::string::npos)
                    return text;
            return "";
        };
        for (int i = 0; i < 30 && clock().empty(); ++i)
            film(0.1);
        const std::string shown = clock();
        ASSERT_GE(shown.size(), 2u);
        const std::string end = shown.substr(shown.size() - 2);
        EXPECT_TRUE(end == "AM" || end == "PM") << shown;
        leave();
        root.reset();
        camera.reset();
    }
}

TEST_F(DashcamTest, TheFrameRateFollowsItsTitle)
{
    for (const Screen& screen : screens) {
        SCOPED_TRACE(screen.size.width);
        use(screen);
        ui::RootWindow window(screen.size);
        auto settingsScreen = std::make_shared<CamSettViewController>(ScreenFactory{});
        window.setRootViewController(std::make_shared<ui::NavigationController>(settingsScreen));
        window.window().layoutIfNeeded();
        ui::AlertController::dismissAll();
        window.window().layoutIfNeeded();

        const TextLines drawn(window.window());
        const auto* title = drawn.find("Framerate");
        const auto* number = drawn.find(std::to_string(settingsScreen->framerate()));
        ASSERT_NE(title, nullptr);
        ASSERT_NE(number, nullptr);
        EXPECT_LT(title->place.maxX(), number->place.x());
        ui::AlertController::dismissAll();
    }
}

}  // namespace
