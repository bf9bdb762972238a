#include "platform/ui/Image.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace ui {

struct Image::Data {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    double scale = 1;
    bool isTemplate = false;
};

namespace {

// A view of the image's pixels as a QImage, without copying.
QImage wrap(int width, int height, const std::uint32_t* pixels)
{
    return QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                  QImage::Format_ARGB32_Premultiplied);
}

std::optional<QImage> loadQImage(const QImage& loaded)
{
    if (loaded.isNull())
        return std::nullopt;
    return loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// PNG is built into Qt: read as PNG without asking each image format plugin whether it reads the
// data too, which would load them all.
QImage readPng(QImageReader&& reader)
{
    reader.setFormat("png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

Image Image::fromPixels(int pixelWidth, int pixelHeight, const std::uint32_t* pixels, std::size_t rowBytes,
                        double scale)
{
    if (pixelWidth <= 0 || pixelHeight <= 0 || !pixels)
        return {};
    auto data = std::make_shared<Data>();
    data->width = pixelWidth;
    data->height = pixelHeight;
    data->scale = scale > 0 ? scale : 1;
    data->pixels.resize(static_cast<std::size_t>(pixelWidth) * static_cast<std::size_t>(pixelHeight));
    const auto* source = reinterpret_cast<const unsigned char*>(pixels);
    for (int y = 0; y < pixelHeight; ++y)
        std::memcpy(&data->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixelWidth)],
                    source + static_cast<std::size_t>(y) * rowBytes, static_cast<std::size_t>(pixelWidth) * 4);
    return Image(std::move(data));
}

namespace {

Image fromQImage(const QImage& image, double scale)
{
    return Image::fromPixels(image.width(), image.height(), reinterpret_cast<const std::uint32_t*>(image.constBits()),
                             static_cast<std::size_t>(image.bytesPerLine()), scale);
}

} // namespace

std::optional<Image> Image::fromFile(const std::filesystem::path& path, double scale)
{
    // Qt would try the name with each image format's extension added, loading every format plugin.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    const QString file = QString::fromStdString(path.string());
    QImage loaded;
    if (path.extension() == ".png")
        loaded = readPng(QImageReader(file));
    // Anything else, or a file named .png that is not, is read in whatever format it is in.
    const auto image = loadQImage(loaded.isNull() ? QImage(file) : loaded);
    if (!image)
        return std::nullopt;
    return fromQImage(*image, scale);
}

std::optional<Image> Image::fromData(const std::string& bytes, double scale)
{
    QImage loaded;
    loaded.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    const auto image = loadQImage(loaded);
    if (!image)
        return std::nullopt;
    return fromQImage(*image, scale);
}

std::optional<Image> Image::fromPngData(const std::string& bytes, double scale)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    const auto image = loadQImage(readPng(QImageReader(&buffer)));
    if (!image)
        return std::nullopt;
    return fromQImage(*image, scale);
}

Image Image::placeholder(Size size)
{
    const int w = std::max(1, static_cast<int>(std::ceil(size.width)));
    const int h = std::max(1, static_cast<int>(std::ceil(size.height)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(255, 0, 255, 64));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 0, 255), 2));
    painter.drawRect(QRectF(1, 1, w - 2, h - 2));
    painter.drawLine(QPointF(0, 0), QPointF(w, h));
    painter.drawLine(QPointF(w, 0), QPointF(0, h));
    painter.end();
    return fromQImage(image, 1);
}

namespace {

// Overlays may be drawn off the main thread.
std::mutex namedMutex;
std::map<std::string, Image> namedCache;
std::vector<std::string> missing;

} // namespace

Image Image::named(const std::string& name)
{
    const std::lock_guard lock(namedMutex);
    if (const auto found = namedCache.find(name); found != namedCache.end())
        return found->second;

    const auto folder = fnd::Paths::resources() / "images";
    std::optional<Image> image;
    if (std::filesystem::path(name).has_extension()) {
        image = fromFile(folder / name);
    } else {
        // The sharpest variant first, at the scale it was drawn for.
        for (const auto& [suffix, scale] : {std::pair{"@3x", 3.0}, std::pair{"@2x", 2.0}, std::pair{"", 1.0}}) {
            if ((image = fromFile(folder / (name + suffix + ".png"), scale)))
                break;
        }
    }
    if (!image) {
        fnd::log(fnd::LogLevel::Warning, "missing image \"" + name + "\"");
        missing.push_back(name);
        image = placeholder({32, 32});
    }
    namedCache.emplace(name, *image);
    return *image;
}

std::vector<std::string> Image::missingNames()
{
    const std::lock_guard lock(namedMutex);
    return missing;
}

bool Image::writePNG(const std::filesystem::path& path) const
{
    if (!data_)
        return false;
    const bool ok = wrap(data_->width, data_->height, data_->pixels.data())
                        .save(QString::fromStdString(path.string()), "PNG");
    if (!ok)
        fnd::log(fnd::LogLevel::Error, "cannot write image " + path.string());
    return ok;
}

std::string Image::pngData() const
{
    if (!data_)
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    wrap(data_->width, data_->height, data_->pixels.data()).save(&buffer, "PNG");
    return bytes.toStdString();
}

Size Image::size() const
{
    if (!data_)
        return {};
    return {data_->width / data_->scale, data_->height / data_->scale};
}

double Image::scale() const { return data_ ? data_->scale : 1; }
int Image::pixelWidth() const { return data_ ? data_->width : 0; }
int Image::pixelHeight() const { return data_ ? data_->height : 0; }
const std::uint32_t* Image::pixels() const { return data_ ? data_->pixels.data() : nullptr; }
bool Image::isTemplate() const { return data_ && data_->isTemplate; }

Color Image::pixel(int x, int y) const
{
    if (!data_ || x < 0 || y < 0 || x >= data_->width || y >= data_->height)
        return Color::clear();
    const std::uint32_t p = data_->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(data_->width)
                                          + static_cast<std::size_t>(x)];
    const double a = (p >> 24) / 255.0;
    if (a <= 0)
        return Color::clear();
    const auto channel = [&](int shift) { return std::min(1.0, ((p >> shift) & 0xff) / 255.0 / a); };
    return {channel(16), channel(8), channel(0), a};
}

Image Image::asTemplate() const
{
    if (!data_ || data_->isTemplate)
        return *this;
    auto data = std::make_shared<Data>(*data_);
    data->isTemplate = true;
    return Image(std::move(data));
}

Image Image::withScale(double scale) const
{
    if (!data_ || scale <= 0)
        return *this;
    auto data = std::make_shared<Data>(*data_);
    data->scale = scale;
    return Image(std::move(data));
}

Image Image::tinted(Color color) const
{
    if (!data_)
        return *this;
    auto data = std::make_shared<Data>(*data_);
    data->isTemplate = false;
    const auto clamp255 = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    for (std::uint32_t& p : data->pixels) {
        const double alpha = (p >> 24) / 255.0 * color.a;
        p = clamp255(alpha) << 24 | clamp255(color.r * alpha) << 16 | clamp255(color.g * alpha) << 8
            | clamp255(color.b * alpha);
    }
    return Image(std::move(data));
}

} // namespace ui
