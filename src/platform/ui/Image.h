#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Shared, immutable pixels with a scale (pixels per point). Pixels are 32-bit
// premultiplied ARGB words (0xAARRGGBB), rows top to bottom. A default Image
// is null: it has no pixels and draws nothing.
class Image {
public:
    Image() = default;

    // resources/images/<name>.png (or <name>@2x.png at scale 2); a name with
    // an extension is taken as it stands. A missing or unreadable image gives
    // a visible placeholder (a magenta box with a cross), never a null image.
    static Image named(const std::string& name);
    // The names named() found no image for, in the order first asked.
    static std::vector<std::string> missingNames();
    static std::optional<Image> fromFile(const std::filesystem::path& path, double scale = 1);
    static std::optional<Image> fromPngData(const std::string& bytes, double scale = 1);
    // PNG, JPEG or any other format the image library reads, told by its bytes.
    static std::optional<Image> fromData(const std::string& bytes, double scale = 1);
    // Copies `rowBytes`-strided premultiplied ARGB pixels.
    static Image fromPixels(int pixelWidth, int pixelHeight, const std::uint32_t* pixels,
                            std::size_t rowBytes, double scale = 1);
    static Image placeholder(Size size);

    bool writePNG(const std::filesystem::path& path) const;
    std::string pngData() const;

    bool isNull() const { return !data_; }
    Size size() const; // in points
    double scale() const;
    int pixelWidth() const;
    int pixelHeight() const;
    const std::uint32_t* pixels() const; // pixelWidth() words per row
    // The colour (not premultiplied) of one pixel; clear outside the image.
    Color pixel(int x, int y) const;

    // Template images are drawn as a mask in the tint colour by image views
    // and buttons that have one.
    bool isTemplate() const;
    Image asTemplate() const;
    Image withScale(double scale) const;
    // Every pixel in `color`, keeping the image's alpha.
    Image tinted(Color color) const;

private:
    struct Data;
    explicit Image(std::shared_ptr<const Data> data) : data_(std::move(data)) {}
    std::shared_ptr<const Data> data_;
};

} // namespace ui
