// The comparison of a rendered screen with its kept reference: what it lets pass and what it catches.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "support/ReferenceImage.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

constexpr int side = 200;

// A grey picture, with `change` added to the blue channel of the pixels for which `changed` holds.
template <typename Changed>
ui::Image picture(int change, Changed changed)
{
    std::vector<std::uint32_t> pixels(side * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels[static_cast<std::size_t>(y * side + x)] = 0xFF808080u + (changed(x, y) ? change : 0);
    return ui::Image::fromPixels(side, side, pixels.data(), side * 4);
}

ui::Image plain()
{
    return picture(0, [](int, int) { return false; });
}

fs::path failureFile(const std::string& name)
{
    return testsupport::artifactsDir() / "reference-screens" / name;
}

TEST(ReferenceImage, NoiseWithinTheToleranceOrOnAFewPixelsPasses)
{
    // Every pixel a little off, as a rasterizer's rounding does.
    EXPECT_TRUE(testsupport::matchesImage(picture(8, [](int, int) { return true; }), plain(), "noise"));
    // Four pixels (0.01 %) of glyph edges shaded differently.
    EXPECT_TRUE(testsupport::matchesImage(picture(60, [](int x, int y) { return y == 10 && x < 4; }), plain(),
                                          "edges"));
    EXPECT_FALSE(fs::exists(failureFile("noise-diff.png")));
}

TEST(ReferenceImage, AChangedRegionFailsAndLeavesTheActualImageAndTheDifferences)
{
    fs::remove(failureFile("moved-diff.png"));
    // A 5 x 2 box drawn in a new colour: 10 pixels, beyond the 4 allowed.
    const ui::Image changed = picture(40, [](int x, int y) { return x >= 20 && x < 25 && y >= 40 && y < 42; });
    const auto result = testsupport::matchesImage(changed, plain(), "moved");
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("10 of 40000 pixels differ"), std::string::npos) << result.message();
    const auto actual = ui::Image::fromFile(failureFile("moved-actual.png"));
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->pixels()[40 * side + 20], 0xFF8080A8u);
    const auto diff = ui::Image::fromFile(failureFile("moved-diff.png"));
    ASSERT_TRUE(diff);
    EXPECT_EQ(diff->pixels()[40 * side + 20], 0xFFFF0000u) << "a differing pixel is red";
    EXPECT_NE(diff->pixels()[0], 0xFFFF0000u) << "an equal one is not";

    EXPECT_FALSE(testsupport::matchesImage(picture(9, [](int, int) { return true; }), plain(), "brighter"))
        << "one level beyond the tolerance everywhere";
}

// A phone screen showing one figure in 10 pt text.
ui::Image figure(const std::string& text, double scale)
{
    ui::View screen(ui::Rect{{0, 0}, {390, 844}});
    screen.setBackgroundColor(ui::Color::white(0.1));
    const auto label = std::make_shared<ui::Label>(ui::Rect{{16, 400}, {358, 24}});
    label->setTextColor(ui::Color::white(0.9));
    label->setFont(ui::Font::systemFont(10));
    label->setText(text);
    screen.addSubview(label);
    return screen.renderToImage(scale);
}

TEST(ReferenceImage, OneChangedDigitOfSmallTextFails)
{
    const std::pair<const char*, const char*> changes[] = {{"Speed 123 km/h", "Speed 128 km/h"},
                                                           {"Boost 0.85 bar", "Boost 0.86 bar"},
                                                           {"Lap 1:07.4", "Lap 1:07.1"},
                                                           {"Coolant 90 C", "Coolant 96 C"},
                                                           {"Gear 3", "Gear 5"}};
    for (const double scale : {1.0, 2.0}) {
        for (const auto& [was, now] : changes) {
            EXPECT_TRUE(testsupport::matchesImage(figure(was, scale), figure(was, scale), "digit-same"));
            EXPECT_FALSE(testsupport::matchesImage(figure(now, scale), figure(was, scale), "digit"))
                << "\"" << was << "\" read as \"" << now << "\" at scale " << scale;
        }
    }
}

TEST(ReferenceImage, ASizeOtherThanTheReferenceFails)
{
    const std::vector<std::uint32_t> wider(static_cast<std::size_t>((side + 1) * side), 0xFF808080u);
    EXPECT_FALSE(testsupport::matchesImage(ui::Image::fromPixels(side + 1, side, wider.data(), (side + 1) * 4),
                                           plain(), "wider"));
}

// Sets (or, given no value, removes) an environment variable for a while, then puts back what was there.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(value);
    }
    ~ScopedVariable() { set(old_ ? old_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const char* value) const
    {
        if (value != nullptr)
            ::setenv(name_, value, 1);
        else
            ::unsetenv(name_);
    }

    const char* name_;
    std::optional<std::string> old_;
};

TEST(ReferenceImage, TheReferenceIsKeptOnRequestAndComparedAfterwards)
{
    const fs::path data = testsupport::programHome() / "reference-data";
    const ScopedVariable dataFolder("NORVALE_TEST_DATA", data.c_str());
    const ScopedVariable comparing("NORVALE_UPDATE_REFERENCES", nullptr);
    EXPECT_FALSE(testsupport::matchesReference(plain(), "screen")) << "no reference yet";
    {
        const ScopedVariable updating("NORVALE_UPDATE_REFERENCES", "1");
        EXPECT_TRUE(testsupport::matchesReference(plain(), "screen"));
    }
    EXPECT_TRUE(fs::exists(data / "reference-screens" / "screen.png"));
    EXPECT_TRUE(testsupport::matchesReference(plain(), "screen"));
    EXPECT_FALSE(testsupport::matchesReference(picture(40, [](int x, int) { return x < 10; }), "screen"));
}

}  // namespace
