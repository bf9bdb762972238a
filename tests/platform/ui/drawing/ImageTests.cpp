#include "platform/ui/Context.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include "platform/foundation/Log.h"
#include "platform/ui/drawing/Pixels.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace ui;
using drawingtest::isInk;
using drawingtest::keep;
using drawingtest::sameColor;

namespace {

Image sample()
{
    BitmapContext context({8, 6});
    context.setFillColor(Color::rgb255(10, 200, 30));
    context.fillRect(makeRect(0, 0, 4, 6));
    context.setFillColor(Color::rgb255(250, 20, 90, 0.5));
    context.fillRect(makeRect(4, 0, 4, 3));
    return context.makeImage();
}

// Points NORVALE_RESOURCES at a folder for one test.
class ResourcesFolder {
public:
    ResourcesFolder() : folder_(testsupport::freshDocuments().parent_path() / "resources")
    {
        std::filesystem::create_directories(folder_ / "images");
        if (const char* old = std::getenv("NORVALE_RESOURCES"))
            previous_ = old;
        ::setenv("NORVALE_RESOURCES", folder_.c_str(), 1);
    }
    ~ResourcesFolder()
    {
        if (previous_.empty())
            ::unsetenv("NORVALE_RESOURCES");
        else
            ::setenv("NORVALE_RESOURCES", previous_.c_str(), 1);
    }
    std::filesystem::path images() const { return folder_ / "images"; }

private:
    std::filesystem::path folder_;
    std::string previous_;
};

} // namespace

TEST(Image, PngRoundTripKeepsEveryPixel)
{
    const Image original = sample();
    const auto path = testsupport::artifactsDir() / "ui-drawing" / "round-trip.png";
    ASSERT_TRUE(original.writePNG(path));
    const auto loaded = Image::fromFile(path);
    ASSERT_TRUE(loaded.has_value());
    ASSERT_EQ(loaded->pixelWidth(), 8);
    ASSERT_EQ(loaded->pixelHeight(), 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(sameColor(loaded->pixel(x, y), original.pixel(x, y), 0.01)) << x << "," << y;
    const auto fromData = Image::fromPngData(original.pngData());
    ASSERT_TRUE(fromData.has_value());
    EXPECT_TRUE(sameColor(fromData->pixel(5, 1), Color::rgb255(250, 20, 90, 0.5), 0.01));
}

TEST(Image, UnreadableInputGivesNothingRatherThanACrash)
{
    EXPECT_FALSE(Image::fromFile("/nonexistent/picture.png").has_value());
    EXPECT_FALSE(Image::fromPngData("not a png at all").has_value());
    EXPECT_FALSE(Image::fromPngData("").has_value());
    EXPECT_TRUE(Image::fromPixels(0, 5, nullptr, 0).isNull());
    const Image null;
    EXPECT_FALSE(null.writePNG(testsupport::artifactsDir() / "ui-drawing" / "null.png"));
    EXPECT_EQ(null.pixel(0, 0), Color::clear());
    EXPECT_EQ(sample().pixel(100, 100), Color::clear());
}

// A missing file is no image: another file named like it is not taken in its place (and probing for one
// would load every image format plugin, which a start-up has no use for).
TEST(Image, AMissingFileIsNotStoodInForByAnotherOfItsName)
{
    const auto folder = testsupport::artifactsDir() / "ui-drawing";
    ASSERT_TRUE(sample().writePNG(folder / "stand-in.png"));
    EXPECT_FALSE(Image::fromFile(folder / "stand-in").has_value());
    EXPECT_TRUE(Image::fromFile(folder / "stand-in.png").has_value());
}

TEST(Image, AFileNamedPngIsReadInTheFormatItHolds)
{
    // One red pixel as a Windows bitmap: file header, info header, then the row as blue, green, red, padding.
    const unsigned char bitmap[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0,
                                      1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13,
                                      0x0b, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0};
    const auto path = testsupport::artifactsDir() / "ui-drawing" / "bitmap-inside.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bitmap), sizeof bitmap);
    const auto image = Image::fromFile(path);
    ASSERT_TRUE(image.has_value());
    EXPECT_TRUE(sameColor(image->pixel(0, 0), Color::rgb255(255, 0, 0), 0.01));
}

TEST(Image, MissingNamedImageIsAVisiblePlaceholder)
{
    const ResourcesFolder resources;
    const fnd::LogCapture log;
    const Image image = Image::named("no-such-image-anywhere");
    ASSERT_FALSE(image.isNull());
    keep(image, "missing-image-placeholder");
    EXPECT_TRUE(log.contains("no-such-image-anywhere"));
    const auto missing = Image::missingNames();
    EXPECT_NE(std::find(missing.begin(), missing.end(), "no-such-image-anywhere"), missing.end());
    const int mid = image.pixelWidth() / 2;
    EXPECT_TRUE(sameColor(image.pixel(mid, mid), Color::magenta(), 0.05)); // the cross
    EXPECT_TRUE(isInk(image.pixel(0, mid)));                               // the frame
}

TEST(Image, NamedPrefersTheSharperVariantAtItsScale)
{
    const ResourcesFolder resources;
    ASSERT_TRUE(sample().writePNG(resources.images() / "gauge-probe@2x.png"));
    const Image image = Image::named("gauge-probe");
    EXPECT_EQ(image.scale(), 2);
    EXPECT_EQ(image.size(), (Size{4, 3}));
    EXPECT_TRUE(sameColor(image.pixel(1, 1), Color::rgb255(10, 200, 30), 0.01));
    const Image withExtension = Image::named("gauge-probe@2x.png");
    EXPECT_EQ(withExtension.pixelWidth(), 8);
}

TEST(Image, TemplateImagesTakeTheTintColour)
{
    const Image mask = sample().asTemplate();
    EXPECT_TRUE(mask.isTemplate());
    const Image tinted = mask.tinted(Color::blue());
    EXPECT_TRUE(sameColor(tinted.pixel(1, 1), Color::blue(), 0.01));
    EXPECT_TRUE(sameColor(tinted.pixel(5, 1), Color::blue().withAlpha(0.5), 0.01));
    EXPECT_FALSE(isInk(tinted.pixel(5, 5)));

    auto view = std::make_shared<ImageView>(makeRect(0, 0, 16, 12));
    view->setImage(mask);
    view->setTintColor(Color::red());
    const Image rendered = view->renderToImage();
    keep(rendered, "template-image-view");
    EXPECT_TRUE(sameColor(rendered.pixel(2, 6), Color::red(), 0.01));
}

TEST(ImageView, ContentModesPlaceTheImage)
{
    const Size image{40, 20};
    const Rect box = makeRect(0, 0, 100, 100);
    EXPECT_EQ(contentRect(ContentMode::ScaleToFill, image, box), box);
    EXPECT_EQ(contentRect(ContentMode::ScaleAspectFit, image, box), makeRect(0, 25, 100, 50));
    EXPECT_EQ(contentRect(ContentMode::ScaleAspectFill, image, box), makeRect(-50, 0, 200, 100));
    EXPECT_EQ(contentRect(ContentMode::Center, image, box), makeRect(30, 40, 40, 20));
    EXPECT_EQ(contentRect(ContentMode::BottomRight, image, box), makeRect(60, 80, 40, 20));
}
