#include "DashcamTest.h"
#include "dashcam/ButtonView.h"
#include "dashcam/CompassView.h"
#include "platform/ui/Label.h"

namespace {

using CompassViewTest = DashcamTest;
using ButtonViewTest = DashcamTest;

// Where the shown letter ends up, after its slide.
double letterCentre(CompassView& compass)
{
    fnd::RunLoop::main().advance(1);
    const ui::Rect frame = compass.label(compass.shownPoint()).frame();
    return frame.x() + frame.width() / 2;
}

TEST_F(CompassViewTest, HeadingsPlaceTheirLetter)
{
    CompassView compass(ui::makeRect(0, 0, 110, 30));
    compass.updateData(0);  // the strip looks a quarter turn on
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "E");
    EXPECT_DOUBLE_EQ(letterCentre(compass), 55);
    EXPECT_DOUBLE_EQ(compass.label(2).alpha(), 1);
    EXPECT_DOUBLE_EQ(compass.label(0).alpha(), 0);

    compass.updateData(10);
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "E");
    EXPECT_DOUBLE_EQ(letterCentre(compass), 30);

    compass.updateData(269);
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "N");
    EXPECT_DOUBLE_EQ(letterCentre(compass), 57.5);

    compass.updateData(270);
    EXPECT_FLOAT_EQ(compass.val(), 360);
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "N");
    EXPECT_DOUBLE_EQ(letterCentre(compass), 55);

    compass.updateData(135);  // 225: south-west
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "SW");
}

TEST_F(CompassViewTest, ANegativeHeadingIsIgnored)
{
    CompassView compass(ui::makeRect(0, 0, 110, 30));
    compass.updateData(45);
    compass.updateData(-1);
    EXPECT_FLOAT_EQ(compass.val(), 135);
    EXPECT_EQ(compass.label(compass.shownPoint()).text(), "SE");
}

class CountingDelegate : public ButtonViewDelegate {
public:
    bool buttonPressed() override
    {
        ++presses;
        recording = !recording && accepts;
        return recording;
    }
    bool accepts = true;
    bool recording = false;
    int presses = 0;
};

TEST_F(ButtonViewTest, TapsCountOnlyWhileConnected)
{
    ButtonView button(ui::makeRect(0, 0, 60, 60));
    CountingDelegate delegate;
    button.setDelegate(&delegate);

    button.touchesBegan({});
    EXPECT_EQ(delegate.presses, 0);
    EXPECT_FALSE(button.isRecording());
    EXPECT_TRUE(fnd::SystemSound::played().empty());

    button.setConnected(true);
    button.touchesBegan({});
    EXPECT_EQ(delegate.presses, 1);
    EXPECT_TRUE(button.isRecording());
    advance(1);
    EXPECT_DOUBLE_EQ(button.squareRect().width(), 24);
    EXPECT_DOUBLE_EQ(button.squareCornerRadius(), 5);
    EXPECT_DOUBLE_EQ(button.discRect().width(), 1);

    button.touchesBegan({});
    advance(1);
    EXPECT_FALSE(button.isRecording());
    EXPECT_DOUBLE_EQ(button.discRect().width(), 50);
    EXPECT_DOUBLE_EQ(button.squareRect().width(), 1);
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{1103, 1052}));

    // A recording stops even after the link went away.
    button.touchesBegan({});
    button.setConnected(false);
    button.touchesBegan({});
    EXPECT_EQ(delegate.presses, 4);
    EXPECT_FALSE(button.isRecording());
    button.touchesBegan({});
    EXPECT_EQ(delegate.presses, 4);

    // A start the delegate refuses changes nothing and is silent.
    button.setConnected(true);
    delegate.accepts = false;
    fnd::SystemSound::clearPlayed();
    button.touchesBegan({});
    EXPECT_EQ(delegate.presses, 5);
    EXPECT_FALSE(button.isRecording());
    EXPECT_TRUE(fnd::SystemSound::played().empty());
}

TEST_F(ButtonViewTest, TheMorphTakesAThirdOfASecond)
{
    ButtonView button(ui::makeRect(0, 0, 60, 60));
    button.setRecording(true);
    advance(0.15);
    EXPECT_GT(button.squareRect().width(), 1);
    EXPECT_LT(button.squareRect().width(), 24);
    advance(0.2);
    EXPECT_DOUBLE_EQ(button.squareRect().width(), 24);
}

}  // namespace
