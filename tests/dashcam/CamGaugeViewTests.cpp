#include <cmath>
#include <limits>

#include "DashcamTest.h"
#include "dashcam/CamGaugeView.h"
#include "platform/ui/Label.h"

namespace {

class CamGaugeViewTest : public DashcamTest {
protected:
    // One tick of the needle's timer (a hair more, so rounding never drops one).
    static void step() { advance(CamGaugeView::tickInterval + 1e-4); }

    std::shared_ptr<CamGaugeView> tile(float min, float max, const std::string& units = "rpm")
    {
        auto view = std::make_shared<CamGaugeView>();
        view->setFrame(ui::makeRect(0, 0, 140, 140));
        view->setupLayer();
        view->initData("RPM", min, max, units, 0, 0);
        return view;
    }

    static std::vector<std::string> scaleTexts(CamGaugeView& view)
    {
        std::vector<std::string> texts{view.minLabel().text()};
        for (int n = 1; n <= 5; ++n)
            texts.push_back(view.gaugeLabel(n).text());
        texts.push_back(view.maxLabel().text());
        return texts;
    }
};

TEST_F(CamGaugeViewTest, ScaleLabelsFollowTheRange)
{
    auto rpm = tile(0, 8000);
    EXPECT_EQ(scaleTexts(*rpm), (std::vector<std::string>{"0.0", "1.3", "2.7", "4.0", "5.3", "6.7", "8.0"}));
    EXPECT_EQ(rpm->unitsLabel().text(), "rpm x1000");

    auto small = tile(0, 4, "bar");
    EXPECT_EQ(scaleTexts(*small), (std::vector<std::string>{"0", "0.7", "1.3", "2.0", "2.7", "3.3", "4.0"}));
    EXPECT_EQ(small->unitsLabel().text(), "bar");

    auto speed = tile(0, 255, "km/h");
    EXPECT_EQ(scaleTexts(*speed), (std::vector<std::string>{"0", "42", "85", "127", "170", "212", "255"}));
    EXPECT_EQ(speed->labelLabel().text(), "RPM");
}

TEST_F(CamGaugeViewTest, NeedleIndexIsClampedToTheImages)
{
    auto view = tile(0, 100);
    EXPECT_EQ(view->getGaugeIndex(0), 0);
    EXPECT_EQ(view->getGaugeIndex(50), 119);
    EXPECT_EQ(view->getGaugeIndex(100), 239);
    EXPECT_EQ(view->getGaugeIndex(-20), 0);
    EXPECT_EQ(view->getGaugeIndex(1e9f), 239);
    EXPECT_EQ(view->getGaugeIndex(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(view->getGaugeIndex(std::numeric_limits<float>::infinity()), 239);

    // A range with no width never indexes past the images.
    auto flat = tile(10, 10);
    EXPECT_EQ(flat->getGaugeIndex(10), 0);
    EXPECT_EQ(flat->getGaugeIndex(50), 0);
    EXPECT_DOUBLE_EQ(flat->needleAngle(50), -120);
    flat->setVal(30);
    advance(0.5);
    EXPECT_TRUE(std::isfinite(flat->getVal()));
}

TEST_F(CamGaugeViewTest, NeedleGlidesOverTheGapBetweenValues)
{
    auto view = tile(0, 100);
    view->setVal(40);  // the first value jumps
    EXPECT_FLOAT_EQ(view->getVal(), 40);
    EXPECT_EQ(view->minValLabel().text(), "Min: 40");
    EXPECT_EQ(view->maxValLabel().text(), "Max: 40");

    // Five steps ran (the jump and four ticks), so the next value glides over six, the first at once.
    for (int i = 0; i < 4; ++i)
        step();
    view->setVal(100);
    EXPECT_NEAR(view->getVal(), 50, 1e-3);
    step();
    EXPECT_NEAR(view->getVal(), 60, 1e-3);
    for (int i = 0; i < 3; ++i)
        step();
    EXPECT_LT(view->getVal(), 100);
    step();
    EXPECT_FLOAT_EQ(view->getVal(), 100);
    EXPECT_NEAR(view->needleAngle(view->getVal()), 120, 1e-4);

    // Above the range: the needle stops at the maximum.
    view->setVal(500);
    advance(2);
    EXPECT_FLOAT_EQ(view->getVal(), 100);
    EXPECT_EQ(view->maxValLabel().text(), "Max: 100");

    // The value shown again stops the timer and changes nothing.
    EXPECT_TRUE(view->isAnimating());
    view->setVal(100);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_FLOAT_EQ(view->getVal(), 100);

    // Not a number: ignored.
    view->setVal(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(view->getVal(), 100);
}

TEST_F(CamGaugeViewTest, ImagesForTheOverlay)
{
    auto view = tile(0, 100);
    const ui::Image face = view->takeScreenShot();
    EXPECT_EQ(face.pixelWidth(), 140);
    EXPECT_FALSE(view->needleLayer().isHidden());

    const ui::Image strip = view->attachBGImages({face, face, face});
    EXPECT_EQ(strip.pixelWidth(), 420);
    EXPECT_EQ(strip.pixelHeight(), 140);

    view->hideContent();
    EXPECT_TRUE(view->labelLabel().isHidden());
    const auto needles = view->renderGaugeNeedle();
    ASSERT_EQ(needles.size(), 240u);
    // The first image shows the needle at the lower left, the last at the lower right.
    const auto opaqueLeftOfCentre = [](const ui::Image& image) {
        int left = 0, right = 0;
        for (int y = 70; y < 140; ++y)
            for (int x = 0; x < 140; ++x)
                if (image.pixel(x, y).a > 0.5)
                    (x < 70 ? left : right)++;
        return left > right;
    };
    EXPECT_TRUE(opaqueLeftOfCentre(needles.front()));
    EXPECT_FALSE(opaqueLeftOfCentre(needles.back()));
}

}  // namespace
