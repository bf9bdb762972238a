#include "platform/ui/Context.h"

#include "platform/ui/drawing/Pixels.h"
#include "platform/foundation/FileIO.h"

#include <cstdio>
#include <numbers>

using namespace ui;
using drawingtest::isInk;
using drawingtest::keep;
using drawingtest::sameColor;

namespace {

constexpr double pi = std::numbers::pi;

// Which of the four quadrants around (50, 50) a filled pie covers, probed
// 20 points out along each diagonal: lower-right, lower-left, upper-left, upper-right.
std::string quadrantsCovered(const Image& image)
{
    std::string covered;
    const Point probes[] = {{70, 70}, {30, 70}, {30, 30}, {70, 30}};
    for (const Point& p : probes)
        covered += isInk(image.pixel(static_cast<int>(p.x), static_cast<int>(p.y))) ? '#' : '.';
    return covered;
}

} // namespace

TEST(Arc, SweepsThePlatformWayInTheYDownSpace)
{
    struct Case {
        const char* name;
        double start;
        double end;
        bool clockwise;
        const char* quadrants; // lower-right, lower-left, upper-left, upper-right
    };
    const Case cases[] = {
        {"quarter-clockwise", 0, pi / 2, true, "#..."},
        {"quarter-counterclockwise", 0, pi / 2, false, ".###"},
        // The gauges' outline rings: six o'clock through nine and twelve to three.
        {"gauge-ring", -3 * pi / 2, 0, true, ".###"},
        {"half-from-twelve", -pi / 2, pi / 2, true, "#..#"},
        {"full-circle", 0, 2 * pi, true, "####"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapContext context({100, 100});
        Path pie;
        pie.moveTo({50, 50});
        pie.addArc({50, 50}, 40, c.start, c.end, c.clockwise);
        pie.close();
        context.fillPath(pie);
        const Image image = context.makeImage();
        keep(image, std::string("arc-") + c.name);
        EXPECT_EQ(quadrantsCovered(image), c.quadrants);
    }
}

TEST(Arc, StartsAtItsStartAngleAndJoinsTheCurrentPoint)
{
    Path path;
    path.moveTo({0, 0});
    path.addArc({50, 50}, 10, pi / 2, pi, true);
    ASSERT_GE(path.elements().size(), 3u);
    EXPECT_EQ(path.elements()[1].verb, Path::Verb::Line);
    EXPECT_NEAR(path.elements()[1].points[0].x, 50, 1e-9);
    EXPECT_NEAR(path.elements()[1].points[0].y, 60, 1e-9); // pi/2 is straight down
    EXPECT_NEAR(path.currentPoint()->x, 40, 1e-9);
    EXPECT_NEAR(path.currentPoint()->y, 50, 1e-9);
}

TEST(Stroke, DashLengthsAreInPointsWhateverTheLineWidth)
{
    for (double width : {1.0, 4.0}) {
        SCOPED_TRACE(width);
        BitmapContext context({100, 20});
        context.setLineWidth(width);
        context.setLineDash(0, {10, 10});
        context.strokeLine({0, 10}, {100, 10});
        const Image image = context.makeImage();
        keep(image, "dash-width-" + std::to_string(static_cast<int>(width)));
        for (int x : {5, 25, 45, 65, 85})
            EXPECT_TRUE(isInk(image.pixel(x, 10))) << "dash expected at x " << x;
        for (int x : {15, 35, 55, 75, 95})
            EXPECT_FALSE(isInk(image.pixel(x, 10))) << "gap expected at x " << x;
    }
}

TEST(Stroke, DashPhaseShiftsThePattern)
{
    BitmapContext context({100, 20});
    context.setLineWidth(2);
    context.setLineDash(5, {10, 10});
    context.strokeLine({0, 10}, {100, 10});
    const Image image = context.makeImage();
    EXPECT_TRUE(isInk(image.pixel(2, 10)));
    EXPECT_FALSE(isInk(image.pixel(8, 10)));
    EXPECT_TRUE(isInk(image.pixel(17, 10)));
}

TEST(Stroke, CapsExtendTheLineOnlyWhenAsked)
{
    const struct {
        LineCap cap;
        bool inkBeyondEnd;
    } cases[] = {{LineCap::Butt, false}, {LineCap::Square, true}, {LineCap::Round, true}};
    for (const auto& c : cases) {
        BitmapContext context({60, 20});
        context.setLineWidth(10);
        context.setLineCap(c.cap);
        context.strokeLine({10, 10}, {50, 10});
        EXPECT_EQ(isInk(context.makeImage().pixel(7, 10)), c.inkBeyondEnd) << static_cast<int>(c.cap);
    }
}

TEST(Fill, EvenOddLeavesTheHoleOfNestedRectangles)
{
    Path rings;
    rings.addRect(makeRect(10, 10, 80, 80));
    rings.addRect(makeRect(30, 30, 40, 40));
    for (const auto rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        BitmapContext context({100, 100});
        context.fillPath(rings, rule);
        EXPECT_EQ(isInk(context.makeImage().pixel(50, 50)), rule == FillRule::NonZero);
        EXPECT_TRUE(isInk(context.makeImage().pixel(20, 20)));
    }
}

TEST(Context, SaveAndRestoreCoverColourTransformAndClip)
{
    BitmapContext context({100, 100});
    context.setFillColor(Color::red());
    context.save();
    context.setFillColor(Color::blue());
    context.translate(50, 0);
    context.clipToRect(makeRect(0, 0, 10, 10));
    context.fillRect(makeRect(0, 0, 100, 100));
    context.restore();
    context.fillRect(makeRect(0, 50, 10, 10));
    const Image image = context.makeImage();
    EXPECT_TRUE(sameColor(image.pixel(55, 5), Color::blue()));
    EXPECT_FALSE(isInk(image.pixel(75, 5)));  // clipped
    EXPECT_TRUE(sameColor(image.pixel(5, 55), Color::red())); // colour, transform and clip restored
    EXPECT_TRUE(context.ctm().isIdentity());
}

TEST(Context, SizesConvertToUserSpaceThroughTheTransform)
{
    BitmapContext bitmap({100, 100}, 2);
    Context& context = bitmap;
    EXPECT_EQ(context.convertSizeToUserSpace({8, 8}), (Size{8, 8})) << "points, not pixels";
    context.translate(30, 40);
    context.scale(4, 0.5);
    EXPECT_EQ(context.convertSizeToUserSpace({8, 8}), (Size{2, 16})) << "translation plays no part";
    // A map drawn at a zoom scale: an 8-point line is 8 / zoom wide in map units.
    BitmapContext mapBitmap({100, 100});
    Context& map = mapBitmap;
    map.scale(1.0 / 1024, 1.0 / 1024);
    EXPECT_NEAR(map.convertSizeToUserSpace({8, 8}).width, 8192, 1e-6);
}

TEST(Context, ClipsToAStrokedOutline)
{
    BitmapContext context({100, 100});
    context.setLineWidth(10);
    context.clipToStrokedPath(Path::ellipse(makeRect(20, 20, 60, 60)));
    context.setFillColor(Color::green());
    context.fillRect(makeRect(0, 0, 100, 100));
    const Image image = context.makeImage();
    keep(image, "clip-stroked-ring");
    EXPECT_TRUE(isInk(image.pixel(50, 20)));  // on the ring
    EXPECT_FALSE(isInk(image.pixel(50, 50))); // inside it
    EXPECT_FALSE(isInk(image.pixel(5, 5)));   // outside it
}

TEST(Context, HsbColoursAndGradients)
{
    BitmapContext context({100, 40});
    context.setFillColorHsb(1.0 / 3.0, 1, 1);
    context.fillRect(makeRect(0, 0, 10, 10));
    context.save();
    context.clipToRect(makeRect(0, 0, 100, 10));
    context.drawLinearGradient({{0, Color::black()}, {1, Color::white()}}, {20, 0}, {80, 0});
    context.restore();
    context.drawRadialGradient({{0, Color::red()}, {1, Color::blue()}}, {50, 30}, 0, {50, 30}, 8);
    const Image image = context.makeImage();
    keep(image, "hsb-and-gradients");
    EXPECT_TRUE(sameColor(image.pixel(5, 5), Color::green()));
    EXPECT_TRUE(sameColor(image.pixel(21, 5), Color::black(), 0.06));
    EXPECT_TRUE(sameColor(image.pixel(50, 5), Color::white(0.5), 0.06));
    EXPECT_TRUE(sameColor(image.pixel(79, 5), Color::white(), 0.06));
    EXPECT_FALSE(isInk(image.pixel(90, 5))); // no extension past the end
    EXPECT_TRUE(sameColor(image.pixel(50, 30), Color::red(), 0.1));
    EXPECT_FALSE(isInk(image.pixel(50, 39))); // outside the end circle
}

TEST(Text, DrawnAtAPointHangsBelowItsTopLeftCorner)
{
    const Font font = Font::systemFont(40);
    BitmapContext context({200, 100});
    context.drawText("HH", Point{20, 30}, font, Color::black());
    const Image image = context.makeImage();
    keep(image, "text-at-point");
    int top = -1, left = -1;
    for (int y = 0; y < 100 && top < 0; ++y)
        for (int x = 0; x < 200; ++x)
            if (isInk(image.pixel(x, y))) {
                top = y;
                break;
            }
    for (int x = 0; x < 200 && left < 0; ++x)
        for (int y = 0; y < 100; ++y)
            if (isInk(image.pixel(x, y))) {
                left = x;
                break;
            }
    // The capitals' tops lie at the ascender minus the cap height below the point.
    EXPECT_NEAR(top, 30 + font.ascender() - font.capHeight(), 2);
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 26);
}

TEST(Text, InARectWrapsAndAligns)
{
    const Font font = Font::systemFont(12);
    BitmapContext context({100, 60});
    context.drawText("right", makeRect(0, 0, 100, 20), font, Color::black(), TextAlignment::Right);
    context.drawText("a few words that wrap", makeRect(0, 20, 60, 40), font, Color::black());
    const Image image = context.makeImage();
    keep(image, "text-in-rect");
    bool inkRight = false, inkLeft = false, secondLine = false;
    for (int y = 0; y < 20; ++y) {
        inkRight = inkRight || isInk(image.pixel(97, y)) || isInk(image.pixel(96, y));
        inkLeft = inkLeft || isInk(image.pixel(2, y));
    }
    for (int x = 0; x < 60; ++x)
        for (int y = 20 + static_cast<int>(font.lineHeight()) + 2; y < 60; ++y)
            secondLine = secondLine || isInk(image.pixel(x, y));
    EXPECT_TRUE(inkRight);
    EXPECT_FALSE(inkLeft);
    EXPECT_TRUE(secondLine);
}

TEST(Bitmap, ScaleMultipliesThePixels)
{
    BitmapContext context({10, 5}, 3);
    context.fillRect(makeRect(0, 0, 1, 1));
    const Image image = context.makeImage();
    EXPECT_EQ(image.pixelWidth(), 30);
    EXPECT_EQ(image.pixelHeight(), 15);
    EXPECT_EQ(image.size(), (Size{10, 5}));
    EXPECT_TRUE(isInk(image.pixel(2, 2)));
    EXPECT_FALSE(isInk(image.pixel(4, 4)));
}

TEST(Pdf, HasExactlyOnePageOfTheGivenSize)
{
    const auto path = testsupport::artifactsDir() / "ui-drawing" / "one-page.pdf";
    PdfContext pdf(path, {320, 480});
    pdf.setFillColor(Color::orange());
    pdf.fillRect(makeRect(10, 10, 100, 50));
    pdf.drawText("Norvale", Point{20, 80}, Font::systemFont(17), Color::black());
    ASSERT_TRUE(pdf.finish());
    const auto bytes = fnd::readFile(path);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->rfind("%PDF", 0), 0u);
    int pages = 0;
    for (std::size_t at = bytes->find("/Type"); at != std::string::npos; at = bytes->find("/Type", at + 1)) {
        const std::size_t name = bytes->find_first_not_of(" \r\n", at + 5);
        pages += bytes->compare(name, 5, "/Page") == 0 && bytes->compare(name, 6, "/Pages") != 0 ? 1 : 0;
    }
    EXPECT_EQ(pages, 1);
    const std::size_t box = bytes->find("/MediaBox");
    ASSERT_NE(box, std::string::npos);
    double x = -1, y = -1, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(bytes->c_str() + box, "/MediaBox [%lf %lf %lf %lf]", &x, &y, &width, &height), 4);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(pdf.data(), *bytes);
}

TEST(Stroke, PolylineDrawsEverySegmentWithClosedCorners)
{
    BitmapContext context({60, 60}, 2);
    context.setLineWidth(6);
    context.strokePolyline({{10, 10}, {50, 10}, {50, 50}});
    const Image image = context.makeImage();
    EXPECT_TRUE(isInk(image.pixel(60, 20))) << "on the first segment";
    EXPECT_TRUE(isInk(image.pixel(100, 60))) << "on the second segment";
    EXPECT_TRUE(isInk(image.pixel(104, 16))) << "the outer corner is closed";
    EXPECT_FALSE(isInk(image.pixel(60, 60))) << "nothing inside the bend";
    context.strokePolyline({{5, 55}});  // one point: nothing, no crash
}
