// The compass strip on the dash camera's picture, as GPS courses reach it.

#include <algorithm>
#include <string>
#include <vector>

#include "CameraScreenTest.h"
#include "platform/geo/LocationService.h"
#include "platform/ui/VisibleText.h"

namespace {

class CameraCompassTest : public CameraViewControllerTest {
protected:
    void SetUp() override
    {
        CameraViewControllerTest::SetUp();
        settings().compassEnabled = true;
        geo::LocationService::shared().startInjection();
    }

    void TearDown() override
    {
        geo::LocationService::shared().stop();
        CameraViewControllerTest::TearDown();
    }

    // The compass letters painted into the picture.
    std::vector<std::string> shownPoints() const
    {
        static const std::vector<std::string> points{"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
        std::vector<std::string> shown;
        for (const std::string& text : ui::visibleTexts(root->window()))
            if (std::find(points.begin(), points.end(), text) != points.end())
                shown.push_back(text);
        return shown;
    }

    void waitForPoints(const std::vector<std::string>& expected)
    {
        for (int i = 0; i < 60 && shownPoints() != expected; ++i)
            film(0.1);
    }
};

TEST_F(CameraCompassTest, ShowsNoLetterBeforeTheFirstCourse)
{
    show();
    film(0.5);
    EXPECT_EQ(shownPoints(), std::vector<std::string>{});
}

// The screen is landscape whatever the window's shape: a course reads the same in both.
TEST_F(CameraCompassTest, ACourseReadsTheSameInALandscapeAndAPortraitWindow)
{
    for (const ui::Size window : {ui::Size{844, 390}, ui::Size{390, 844}}) {
        SCOPED_TRACE(window.width);
        ui::Device::current().setScreenSize(window);
        show();
        geo::Location here;
        here.coordinate = {51.5, -0.1278};
        geo::LocationService::shared().inject(here, 45.0);
        waitForPoints({"NE"});
        EXPECT_EQ(shownPoints(), std::vector<std::string>{"NE"});
        leave();
        root.reset();
        camera.reset();
    }
}

}  // namespace
