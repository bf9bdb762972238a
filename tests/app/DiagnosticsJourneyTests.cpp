// The diagnostics family as a user goes through it, from launch to outcome, against the adapter simulator:
// the menu to Diagnostics, the readiness monitors, the trouble codes and one code's detail, the freeze
// frame, the vehicle information, a typed command, and clearing the codes.

#include "shell/app/ShellAppTest.h"

#include <algorithm>

#include "app/Features.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/VisibleText.h"
#include "support/ScreenShape.h"

namespace {

template <typename Kind>
Kind* findView(ui::View& view)
{
    if (auto* found = dynamic_cast<Kind*>(&view); found && !view.isHidden())
        return found;
    for (const auto& child : view.subviews())
        if (Kind* found = findView<Kind>(*child))
            return found;
    return nullptr;
}

class DiagnosticsJourney : public ShellAppTest, public ::testing::WithParamInterface<testsupport::ScreenShape> {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        GetParam().apply();
        sim.updateCar([](elmsim::CarState& s) {
            s.storedCodes = {"P0301", "P0420"};
            s.pendingCodes = {"P0171"};
            s.readinessB = 0x07;
            s.readinessC = 0x65;
            s.readinessD = 0x00;
        });
    }

    ui::Window& w() { return window->window(); }

    // The visible lines joined by blanks, so that wrapped texts read whole.
    std::string shown()
    {
        w().layoutIfNeeded();
        std::string joined;
        for (const std::string& line : testsupport::texts(w()))
            joined += line + " ";
        return joined;
    }

    bool tapText(const std::string& text, double settle = 1.0)
    {
        const bool found = testsupport::tapText(w(), text);
        advance(settle);
        return found;
    }

    // Taps the first visible line that holds `part`.
    bool tapLineWith(const std::string& part)
    {
        w().layoutIfNeeded();
        for (const ui::ShownText& line : ui::visibleTextFrames(w())) {
            if (line.text.find(part) == std::string::npos)
                continue;
            testsupport::tap(w(), line.frame.center());
            advance(1.0);
            return true;
        }
        return false;
    }

    // Waits for the adapter to have received `request` `count` times, and for the replies so far.
    bool received(const std::string& request, int count = 1)
    {
        return waitFor([&] { return requestCount(request) >= count; }) && waitForAnswers();
    }

    // Lets the screen work, a tenth of a second at a time with every reply delivered, until it shows `text`
    // or five seconds have passed.
    bool showsWithin5s(const std::string& text)
    {
        for (int step = 0; step < 50 && shown().find(text) == std::string::npos; ++step) {
            advance(0.1);
            if (!waitForAnswers()) {
                ADD_FAILURE() << "the adapter does not answer";
                return false;
            }
        }
        return shown().find(text) != std::string::npos;
    }
};

TEST_P(DiagnosticsJourney, FromLaunchToClearedCodes)
{
    launchApp(appScreens());
    ASSERT_TRUE(waitFor([&] { return link().isConnected(); }));
    advance(1);

    // The menu, then Diagnostics: it opens on the readiness monitors.
    swipe(10, GetParam().size.width * 0.7, GetParam().size.height / 2);
    advance(1);
    ASSERT_TRUE(tapText("Diagnostics")) << shown();
    EXPECT_TRUE(showsWithin5s("Misfire Complete")) << shown();
    EXPECT_NE(shown().find("Catalyst Complete"), std::string::npos) << shown();

    // The trouble codes, each with its description, and the lamp with its count.
    ASSERT_TRUE(tapText("Trouble Codes")) << shown();
    ASSERT_TRUE(received("0a"));
    advance(3.0);
    for (const char* request : {"03", "07"})
        EXPECT_GE(requestCount(request), 1) << request;
    EXPECT_NE(shown().find("Cylinder 1 Misfire Detected"), std::string::npos) << shown();
    EXPECT_NE(shown().find("Catalyst System Efficiency Below Threshold (Bank 1)"), std::string::npos) << shown();
    EXPECT_NE(shown().find("System Too Lean (Bank 1)"), std::string::npos) << shown();
    EXPECT_NE(shown().find("codes:  2"), std::string::npos) << shown();

    // One code's detail, and back.
    ASSERT_TRUE(tapLineWith("Cylinder 1 Misfire")) << shown();
    EXPECT_NE(shown().find("P0301"), std::string::npos) << shown();
    EXPECT_NE(shown().find("Description"), std::string::npos) << shown();
    EXPECT_NE(shown().find("Possible causes"), std::string::npos) << shown();
    ASSERT_TRUE(tapText("Done")) << shown();
    EXPECT_EQ(shown().find("Possible causes"), std::string::npos) << shown();

    // The freeze frame: the code that stored it, then its values (a first launch explains it once).
    ASSERT_TRUE(tapText("Freeze frame")) << shown();
    if (testsupport::shows(w(), "Ok"))
        tapText("Ok");
    ASSERT_TRUE(received("021100"));
    advance(0.5);
    EXPECT_GE(requestCount("020200"), 1);
    EXPECT_NE(shown().find("P0301"), std::string::npos) << shown();
    EXPECT_NE(shown().find("Engine RPM"), std::string::npos) << shown();
    EXPECT_EQ(shown().find("N/A"), std::string::npos) << shown();

    // The vehicle information.
    ASSERT_TRUE(tapText("Info")) << shown();
    ASSERT_TRUE(received("0151"));
    advance(0.5);
    EXPECT_GE(requestCount("0902"), 1);
    EXPECT_NE(shown().find("1D4GP00R55B123456"), std::string::npos) << shown();
    // Rows scrolled under the tab bar do not show through it.
    const ui::View& tabBar = *findView<ui::TabBar>(w());
    const ui::Image unscrolled = w().renderToImage();
    testsupport::drag(w(), tabBar.convertPoint({100, -10}, nullptr), tabBar.convertPoint({100, -160}, nullptr), 1.0);
    advance(2);
    const ui::Image scrolled = w().renderToImage();
    const ui::Point origin = tabBar.convertPoint({0, 0}, nullptr);
    for (int y = 1; y < tabBar.bounds().height(); ++y)
        for (int x = 0; x < tabBar.bounds().width(); ++x)
            ASSERT_EQ(unscrolled.pixel(x, int(origin.y) + y), scrolled.pixel(x, int(origin.y) + y)) << x << "," << y;

    // A command typed in the terminal, and the adapter's reply under it.
    ASSERT_TRUE(tapText("Terminal")) << shown();
    auto* field = findView<ui::TextField>(w());
    ASSERT_NE(field, nullptr);
    testsupport::tap(w(), *field);
    ASSERT_TRUE(testsupport::type(w(), "0100"));
    const int before = requestCount("0100");
    ASSERT_TRUE(tapText("Send", 0.2)) << shown();
    ASSERT_TRUE(received("0100", before + 1));
    advance(0.5);
    EXPECT_NE(shown().find("> 0100"), std::string::npos) << shown();
    EXPECT_NE(shown().find("> 41 00 "), std::string::npos) << shown();

    // Clearing the codes: asked, sent once, read again, and the all-clear.
    // Each read ends with the permanent codes; wait for the one the step asked for, not an earlier one.
    const int readsBeforeReturn = requestCount("0a");
    ASSERT_TRUE(tapText("Trouble Codes")) << shown();
    ASSERT_TRUE(received("0a", readsBeforeReturn + 1));
    advance(3.0);
    ASSERT_TRUE(tapText("Clear DTCs", 0.5)) << shown();
    const int readsBeforeClear = requestCount("0a");
    ASSERT_TRUE(tapText("Ok", 0.1)) << shown();
    ASSERT_TRUE(received("04"));
    advance(0.5);
    ASSERT_TRUE(received("0a", readsBeforeClear + 1));
    advance(3.0);
    EXPECT_EQ(requestCount("04"), 1);
    EXPECT_NE(shown().find("No trouble codes"), std::string::npos) << shown();
    EXPECT_EQ(shown().find("Cylinder 1 Misfire Detected"), std::string::npos) << shown();
}

INSTANTIATE_TEST_SUITE_P(Shapes, DiagnosticsJourney,
                         ::testing::Values(testsupport::phonePortrait, testsupport::pad),
                         testsupport::shapeName);

}  // namespace
