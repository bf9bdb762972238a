#include "platform/ui/Context.h"

#include "platform/foundation/FileIO.h"
#include "platform/ui/OutlinedText.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPdfWriter>
#include <QRadialGradient>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace ui {

namespace {

// 72 dots per inch: one font point is one pixel before the device scale.
constexpr int pointDotsPerMeter = 2835;

QImage makeDeviceImage(int width, int height)
{
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(pointDotsPerMeter);
    image.setDotsPerMeterY(pointDotsPerMeter);
    image.fill(Qt::transparent);
    return image;
}

QColor toQColor(Color c)
{
    return QColor::fromRgbF(static_cast<float>(std::clamp(c.r, 0.0, 1.0)), static_cast<float>(std::clamp(c.g, 0.0, 1.0)),
                            static_cast<float>(std::clamp(c.b, 0.0, 1.0)), static_cast<float>(std::clamp(c.a, 0.0, 1.0)));
}

QPointF toQ(Point p) { return {p.x, p.y}; }
QRectF toQ(const Rect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
Rect fromQ(const QRectF& r) { return makeRect(r.x(), r.y(), r.width(), r.height()); }

QPainterPath toQ(const Path& path, FillRule rule = FillRule::NonZero)
{
    QPainterPath out;
    out.setFillRule(rule == FillRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    for (const Path::Element& e : path.elements()) {
        switch (e.verb) {
        case Path::Verb::Move: out.moveTo(toQ(e.points[0])); break;
        case Path::Verb::Line: out.lineTo(toQ(e.points[0])); break;
        case Path::Verb::Cubic: out.cubicTo(toQ(e.points[0]), toQ(e.points[1]), toQ(e.points[2])); break;
        case Path::Verb::Close: out.closeSubpath(); break;
        }
    }
    return out;
}

QImage wrapImage(const Image& image)
{
    return QImage(reinterpret_cast<const uchar*>(image.pixels()), image.pixelWidth(), image.pixelHeight(),
                  image.pixelWidth() * 4, QImage::Format_ARGB32_Premultiplied);
}

QGradientStops toQ(const std::vector<GradientStop>& stops)
{
    QGradientStops out;
    for (const GradientStop& s : stops)
        out.push_back({std::clamp(s.location, 0.0, 1.0), toQColor(s.color)});
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

// Three box blurs of `radius` approximate a gaussian; what lies beyond the line counts as zero.
void blurLine(std::vector<float>& line, std::vector<float>& tmp, int radius)
{
    const int count = static_cast<int>(line.size());
    const auto at = [&](int i) { return i >= 0 && i < count ? line[static_cast<std::size_t>(i)] : 0.0f; };
    const float width = static_cast<float>(2 * radius + 1);
    tmp.resize(line.size());
    for (int pass = 0; pass < 3; ++pass) {
        float sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += at(i);
        for (int i = 0; i < count; ++i) {
            tmp[static_cast<std::size_t>(i)] = sum / width;
            sum += at(i + radius + 1) - at(i - radius);
        }
        line.swap(tmp);
    }
}

// The blurred `alphaAt` (a group's alpha by its pixel, zero outside it), set in transparency `pad` pixels
// wide, over `area` of that padded image only: each output pixel takes its input from no more than three
// radii away.
template <typename AlphaAt>
std::vector<float> blurredAlpha(const AlphaAt& alphaAt, int pad, int radius, const QRect& area)
{
    const int reach = 3 * std::max(radius, 0);
    const QRect input = area.adjusted(-reach, -reach, reach, reach);
    // Rows first, over the columns of `area`, then columns.
    std::vector<float> rows(static_cast<std::size_t>(input.height()) * static_cast<std::size_t>(area.width()));
    std::vector<float> line;
    std::vector<float> tmp;
    for (int y = 0; y < input.height(); ++y) {
        line.resize(static_cast<std::size_t>(input.width()));
        for (int x = 0; x < input.width(); ++x)
            line[static_cast<std::size_t>(x)] = alphaAt(input.x() + x - pad, input.y() + y - pad);
        if (radius > 0)
            blurLine(line, tmp, radius);
        std::copy_n(line.begin() + reach, area.width(), rows.begin() + static_cast<std::ptrdiff_t>(y) * area.width());
    }
    std::vector<float> out(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height()));
    for (int x = 0; x < area.width(); ++x) {
        line.resize(static_cast<std::size_t>(input.height()));
        for (int y = 0; y < input.height(); ++y)
            line[static_cast<std::size_t>(y)] = rows[static_cast<std::size_t>(y * area.width() + x)];
        if (radius > 0)
            blurLine(line, tmp, radius);
        for (int y = 0; y < area.height(); ++y)
            out[static_cast<std::size_t>(y * area.width() + x)] = line[static_cast<std::size_t>(y + reach)];
    }
    return out;
}

// The bounding box of the pixels of `area` (within the image) that are not fully opaque.
QRect seeThroughBounds(const QImage& image, const QRect& area)
{
    int left = area.right() + 1;
    int right = area.left() - 1;
    int top = area.bottom() + 1;
    int bottom = area.top() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = area.left();
        while (x <= area.right() && qAlpha(row[x]) == 255)
            ++x;
        if (x > area.right())
            continue;
        int last = area.right();
        while (qAlpha(row[last]) == 255)
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    return top <= bottom ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();
}

} // namespace

struct Context::Impl {
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        double lineWidth = 1;
        std::vector<double> dash;
        double dashPhase = 0;
        LineCap cap = LineCap::Butt;
        LineJoin join = LineJoin::Miter;
        double miterLimit = 10;
        double alpha = 1;
    };

    // A group casting a shadow over what it covers entirely, with nothing beneath showing through, looks
    // the same drawn straight onto its parent over its shadow: that spares a group image each frame. Such
    // a group stays undecided until its first drawing shows whether it is one.
    enum class Drawing { Undecided, Straight, InImage };

    struct Layer {
        Drawing drawing = Drawing::InImage;
        std::unique_ptr<QImage> image; // stays put while its painter works on it
        std::unique_ptr<QPainter> painter;
        QPainter* parent = nullptr;
        QRect pixels; // in the parent's device pixels
        double alpha = 1;
        std::optional<Shadow> shadow;
        std::size_t stackDepth = 0;
    };

    QPainter* painter = nullptr; // where drawing goes now: the device or the top layer
    std::unique_ptr<QPainter> devicePainter;
    double deviceScale = 1; // device pixels per point
    State state;
    std::vector<State> stack;
    std::vector<Layer> layers;

    void begin(QPaintDevice* device, double scale)
    {
        devicePainter = std::make_unique<QPainter>(device);
        painter = devicePainter.get();
        deviceScale = scale;
        painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        painter->scale(scale, scale);
    }

    void end()
    {
        while (!layers.empty())
            endLayer();
        if (devicePainter && devicePainter->isActive())
            devicePainter->end();
    }

    QPen pen() const
    {
        const double width = state.lineWidth;
        QPen p(toQColor(state.stroke));
        p.setWidthF(width);
        p.setCapStyle(state.cap == LineCap::Round ? Qt::RoundCap : state.cap == LineCap::Square ? Qt::SquareCap : Qt::FlatCap);
        p.setJoinStyle(state.join == LineJoin::Round   ? Qt::RoundJoin
                       : state.join == LineJoin::Bevel ? Qt::BevelJoin
                                                       : Qt::SvgMiterJoin);
        p.setMiterLimit(state.miterLimit);
        if (!state.dash.empty()) {
            // Qt measures dashes in pen widths; ours are in points.
            const double unit = width > 0 ? width : 1;
            QList<qreal> pattern;
            for (double length : state.dash)
                pattern.push_back(length / unit);
            if (pattern.size() % 2 == 1)
                pattern += pattern;
            p.setDashPattern(pattern);
            p.setDashOffset(state.dashPhase / unit);
        }
        return p;
    }

    void prepare()
    {
        decide();
        painter->setOpacity(std::clamp(state.alpha, 0.0, 1.0));
    }

    // Whether what is drawn now lands without transparency.
    bool isOpaque() const
    {
        // A layer is composited with its own alpha and the alpha in force when it began.
        return state.alpha >= 1 && std::all_of(layers.begin(), layers.end(), [this](const Layer& layer) {
                   return layer.alpha >= 1 && stack[layer.stackDepth].alpha >= 1;
               });
    }

    // The device area, in user space, that drawing can still reach.
    QRectF reachable() const
    {
        const QTransform toUser = painter->worldTransform().inverted();
        const QPaintDevice* device = painter->device();
        QRectF area = painter->hasClipping() ? painter->clipBoundingRect()
                                             : toUser.mapRect(QRectF(0, 0, device->width(), device->height()));
        if (!layers.empty() && layers.back().drawing == Drawing::Undecided)
            area &= toUser.mapRect(QRectF(layers.back().pixels));
        return area;
    }

    void clip(const QPainterPath& path)
    {
        decide();
        painter->setClipPath(path, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }

    void beginLayer(const Rect& extent, double alpha, std::optional<Shadow> shadow)
    {
        decide();
        const QPaintDevice* device = painter->device();
        QRectF area = painter->worldTransform().mapRect(toQ(extent));
        if (painter->hasClipping() && !shadow)
            area &= painter->worldTransform().mapRect(painter->clipBoundingRect());
        Layer layer;
        layer.pixels = area.toAlignedRect() & QRect(0, 0, device->width(), device->height());
        layer.alpha = alpha;
        layer.shadow = shadow;
        layer.parent = painter;
        layer.stackDepth = stack.size();
        const bool castsOverAll = shadow && shadow->color.a > 0 && alpha * state.alpha >= 1;
        stack.push_back(state);
        state.alpha = 1;
        if (castsOverAll) {
            layer.drawing = Drawing::Undecided;
            painter->save();
        } else {
            startImage(layer);
        }
        layers.push_back(std::move(layer));
    }

    void startImage(Layer& layer)
    {
        layer.drawing = Drawing::InImage;
        layer.image = std::make_unique<QImage>(makeDeviceImage(layer.pixels.width(), layer.pixels.height()));
        layer.painter = std::make_unique<QPainter>(layer.image.get());
        layer.painter->setRenderHints(layer.parent->renderHints());
        layer.painter->setWorldTransform(layer.parent->worldTransform()
                                         * QTransform::fromTranslate(-layer.pixels.x(), -layer.pixels.y()));
        painter = layer.painter.get();
    }

    // Saves made inside the top layer and still open.
    std::size_t openSaves() const { return stack.size() - layers.back().stackDepth - 1; }

    // Called before anything but saving and restoring state reaches the painter, with the path when that
    // is a fill. Until then an undecided group's saves all hold the state it began with.
    void decide(const Path* fill = nullptr)
    {
        if (layers.empty() || layers.back().drawing != Drawing::Undecided)
            return;
        Layer& layer = layers.back();
        const std::size_t open = openSaves();
        for (std::size_t i = 0; i < open; ++i)
            painter->restore();
        if (fill && fillsLayer(*fill, layer)) {
            layer.drawing = Drawing::Straight;
            painter->save();
            painter->resetTransform();
            drawShadow(layer, 1);
            painter->restore();
            const QTransform transform = painter->worldTransform();
            painter->resetTransform();
            painter->setClipRect(layer.pixels, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            painter->setWorldTransform(transform);
        } else {
            painter->restore();
            startImage(layer);
        }
        for (std::size_t i = 0; i < open; ++i)
            painter->save();
    }

    // Whether filling `path` now leaves every pixel of the layer fully opaque: an axis-aligned rectangle
    // covering it, in a colour without transparency.
    bool fillsLayer(const Path& path, const Layer& layer) const
    {
        const std::vector<Path::Element>& e = path.elements();
        const QTransform& transform = painter->worldTransform();
        if (state.fill.a < 1 || state.alpha < 1 || transform.type() > QTransform::TxScale || e.size() != 5
            || e[0].verb != Path::Verb::Move || e[4].verb != Path::Verb::Close
            || std::any_of(e.begin() + 1, e.begin() + 4, [](const Path::Element& l) { return l.verb != Path::Verb::Line; }))
            return false;
        const Point a = e[0].points[0];
        const Point b = e[1].points[0];
        const Point c = e[2].points[0];
        const Point d = e[3].points[0];
        const bool rectangle = (a.y == b.y && b.x == c.x && c.y == d.y && d.x == a.x)
            || (a.x == b.x && b.y == c.y && c.x == d.x && d.y == a.y);
        return rectangle && transform.mapRect(QRectF(toQ(a), toQ(c)).normalized()).contains(QRectF(layer.pixels));
    }

    void endLayer()
    {
        Layer layer = std::move(layers.back());
        const std::size_t open = openSaves();
        layers.pop_back();
        // Saves left open inside the layer went to its own painter, or to its parent's when drawn straight.
        stack.resize(layer.stackDepth + 1);
        state = stack.back();
        stack.pop_back();
        painter = layer.parent;
        if (layer.drawing != Drawing::InImage) {
            for (std::size_t i = 0; i <= open; ++i)
                painter->restore();
            return;
        }
        layer.painter->end();
        const double opacity = std::clamp(state.alpha * layer.alpha, 0.0, 1.0);
        painter->save();
        painter->resetTransform();
        if (layer.shadow && layer.shadow->color.a > 0)
            drawShadow(layer, opacity);
        painter->setOpacity(opacity);
        painter->drawImage(layer.pixels.topLeft(), *layer.image);
        painter->restore();
    }

    // The shadow is blurred only where it can show: on the device, and where the layer composited over
    // it is not fully opaque. Elsewhere the layer hides it, so a screen-sized opaque group costs a scan,
    // and one drawn straight nothing.
    void drawShadow(const Layer& layer, double opacity)
    {
        const Shadow& s = *layer.shadow;
        const int radius = static_cast<int>(std::lround(s.blur * deviceScale / 2));
        const int pad = 3 * radius + 1;
        const QPointF position(layer.pixels.x() - pad + s.offset.width * deviceScale,
                               layer.pixels.y() - pad + s.offset.height * deviceScale);
        const QSize paddedSize(layer.pixels.width() + 2 * pad, layer.pixels.height() + 2 * pad);
        const QRect device(0, 0, painter->device()->width(), painter->device()->height());
        // Whole device pixels the shadow touches, one more each side for the smoothing of a fractional position.
        const QRect touched = QRectF(position, paddedSize).toAlignedRect().adjusted(-1, -1, 1, 1) & device;
        QRect shows = touched;
        if (opacity >= 1) {
            shows = (QRegion(touched) - QRegion(layer.pixels)).boundingRect();
            if (layer.image) {
                const QRect under = (touched & layer.pixels).translated(-layer.pixels.topLeft());
                shows |= seeThroughBounds(*layer.image, under).translated(layer.pixels.topLeft());
            }
        }
        if (shows.isEmpty())
            return;
        // In the padded image's pixels, with a pixel's worth of margin for smoothing.
        const QRect area = QRectF(shows).translated(-position).toAlignedRect().adjusted(-1, -1, 1, 1)
            & QRect(QPoint(0, 0), paddedSize);
        if (area.isEmpty())
            return;
        const QRect whole(QPoint(0, 0), layer.pixels.size());
        const std::vector<float> alpha = layer.image
            ? blurredAlpha(
                [&image = *layer.image, whole](int x, int y) {
                    if (!whole.contains(x, y))
                        return 0.0f;
                    return static_cast<float>(qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x])) / 255.0f;
                },
                pad, radius, area)
            : blurredAlpha([whole](int x, int y) { return whole.contains(x, y) ? 1.0f : 0.0f; }, pad, radius, area);
        QImage shadow = makeDeviceImage(area.width(), area.height());
        const QColor color = toQColor(s.color);
        const int red = color.red();
        const int green = color.green();
        const int blue = color.blue();
        const double colorAlpha = color.alphaF();
        for (int y = 0; y < area.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(shadow.scanLine(y));
            for (int x = 0; x < area.width(); ++x) {
                const double a = alpha[static_cast<std::size_t>(y * area.width() + x)] * colorAlpha;
                row[x] = qPremultiply(qRgba(red, green, blue, static_cast<int>(std::lround(a * 255))));
            }
        }
        painter->setOpacity(opacity);
        painter->drawImage(position + QPointF(area.topLeft()), shadow);
    }
};

Context::Context() : impl_(std::make_unique<Impl>()) {}

Context::~Context() = default;

void Context::save()
{
    impl_->stack.push_back(impl_->state);
    impl_->painter->save();
}

void Context::restore()
{
    const std::size_t floor = impl_->layers.empty() ? 0 : impl_->layers.back().stackDepth + 1;
    if (impl_->stack.size() <= floor)
        return; // unbalanced restore: ignored, as the platform does
    impl_->state = impl_->stack.back();
    impl_->stack.pop_back();
    impl_->painter->restore();
}

void Context::translate(double dx, double dy)
{
    impl_->decide();
    impl_->painter->translate(dx, dy);
}

void Context::scale(double sx, double sy)
{
    impl_->decide();
    impl_->painter->scale(sx, sy);
}

void Context::rotate(double radians)
{
    impl_->decide();
    impl_->painter->rotate(radians * 180 / std::numbers::pi);
}

void Context::concat(const AffineTransform& t)
{
    impl_->decide();
    impl_->painter->setWorldTransform(QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty), true);
}

Size Context::convertSizeToUserSpace(Size size) const
{
    const AffineTransform inverse = ctm().inverted();
    return {inverse.a * size.width + inverse.c * size.height, inverse.b * size.width + inverse.d * size.height};
}

AffineTransform Context::ctm() const
{
    // Each layer drawn in its own image is shifted by its place in its parent's pixels.
    QTransform m = impl_->painter->worldTransform();
    for (const Impl::Layer& layer : impl_->layers) {
        if (layer.image)
            m *= QTransform::fromTranslate(layer.pixels.x(), layer.pixels.y());
    }
    m *= QTransform::fromScale(1 / impl_->deviceScale, 1 / impl_->deviceScale);
    return {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()};
}

double Context::pixelsPerPoint() const { return impl_->deviceScale; }

void Context::setFillColor(Color c) { impl_->state.fill = c; }
void Context::setStrokeColor(Color c) { impl_->state.stroke = c; }
void Context::setFillColorHsb(double h, double s, double b, double a) { impl_->state.fill = Color::hsb(h, s, b, a); }
void Context::setStrokeColorHsb(double h, double s, double b, double a) { impl_->state.stroke = Color::hsb(h, s, b, a); }
void Context::setLineWidth(double width) { impl_->state.lineWidth = std::max(0.0, width); }

void Context::setLineDash(double phase, std::vector<double> lengths)
{
    const bool usable = std::all_of(lengths.begin(), lengths.end(), [](double l) { return l >= 0; })
        && std::any_of(lengths.begin(), lengths.end(), [](double l) { return l > 0; });
    impl_->state.dash = usable ? std::move(lengths) : std::vector<double>{};
    impl_->state.dashPhase = phase;
}

void Context::setLineCap(LineCap cap) { impl_->state.cap = cap; }
void Context::setLineJoin(LineJoin join) { impl_->state.join = join; }
void Context::setMiterLimit(double limit) { impl_->state.miterLimit = limit; }
void Context::setAlpha(double alpha) { impl_->state.alpha = std::clamp(alpha, 0.0, 1.0); }
Color Context::fillColor() const { return impl_->state.fill; }
Color Context::strokeColor() const { return impl_->state.stroke; }
double Context::lineWidth() const { return impl_->state.lineWidth; }

void Context::fillPath(const Path& path, FillRule rule)
{
    impl_->decide(&path);
    impl_->prepare();
    impl_->painter->fillPath(toQ(path, rule), toQColor(impl_->state.fill));
    if (impl_->state.fill.a >= 1 && impl_->isOpaque())
        opaquePathFilled(path);
}

void Context::strokePath(const Path& path)
{
    impl_->prepare();
    impl_->painter->strokePath(toQ(path), impl_->pen());
}

void Context::strokePolyline(const std::vector<Point>& points)
{
    if (points.size() < 2)
        return;
    impl_->prepare();
    QPainter& p = *impl_->painter;
    std::vector<QLineF> lines;
    lines.reserve(points.size() - 1);
    for (std::size_t i = 1; i < points.size(); ++i)
        lines.emplace_back(toQ(points[i - 1]), toQ(points[i]));
    p.save();
    // Separate segments with square caps: the raster engine draws wide lines of that kind directly,
    // where a wide path goes through the much slower stroker; the caps close the corners.
    QPen pen = impl_->pen();
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
    p.restore();
}

void Context::fillRect(const Rect& r) { fillPath(Path::rect(r)); }
void Context::strokeRect(const Rect& r) { strokePath(Path::rect(r)); }
void Context::fillEllipse(const Rect& r) { fillPath(Path::ellipse(r)); }
void Context::strokeEllipse(const Rect& r) { strokePath(Path::ellipse(r)); }

void Context::strokeLine(Point from, Point to)
{
    Path p;
    p.moveTo(from);
    p.lineTo(to);
    strokePath(p);
}

void Context::clearRect(const Rect& r)
{
    impl_->decide();
    QPainter& p = *impl_->painter;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(toQ(r), Qt::transparent);
    p.restore();
}

void Context::clipToRect(const Rect& r)
{
    // Every view clips its drawing to its bounds: the rectangle clip is the fast one.
    impl_->decide();
    QPainter& p = *impl_->painter;
    p.setClipRect(toQ(r), p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void Context::clipToPath(const Path& path, FillRule rule) { impl_->clip(toQ(path, rule)); }

void Context::clipToStrokedPath(const Path& path)
{
    const QPen pen = impl_->pen();
    QPainterPathStroker stroker(pen);
    stroker.setWidth(std::max(impl_->state.lineWidth, 1e-3));
    impl_->clip(stroker.createStroke(toQ(path)));
}

Rect Context::clipBoundingBox() const { return fromQ(impl_->reachable()); }

void Context::drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end, GradientExtend extend)
{
    if (stops.empty())
        return;
    QLinearGradient gradient(toQ(start), toQ(end));
    gradient.setStops(toQ(stops));
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    const double length = std::hypot(dx, dy);
    const QRectF area = impl_->reachable();
    // Paint the band between the normals through the two ends, widened on
    // the sides that extend.
    const double reach = std::hypot(area.width(), area.height()) + std::hypot(area.center().x() - start.x, area.center().y() - start.y);
    const double ux = length > 0 ? dx / length : 1;
    const double uy = length > 0 ? dy / length : 0;
    const QPointF along(ux, uy);
    const QPointF normal(-uy, ux);
    const QPointF from = toQ(start) - (extend.beforeStart ? along * reach : QPointF());
    const QPointF to = toQ(end) + (extend.afterEnd ? along * reach : QPointF());
    QPainterPath band;
    band.moveTo(from + normal * reach);
    band.lineTo(to + normal * reach);
    band.lineTo(to - normal * reach);
    band.lineTo(from - normal * reach);
    band.closeSubpath();
    impl_->prepare();
    impl_->painter->fillPath(band, gradient);
}

void Context::drawRadialGradient(const std::vector<GradientStop>& stops, Point startCenter, double startRadius,
                                 Point endCenter, double endRadius, GradientExtend extend)
{
    if (stops.empty())
        return;
    QRadialGradient gradient(toQ(endCenter), endRadius, toQ(startCenter), startRadius);
    gradient.setStops(toQ(stops));
    QPainterPath area;
    area.setFillRule(Qt::OddEvenFill);
    if (extend.afterEnd)
        area.addRect(impl_->reachable());
    else
        area.addEllipse(toQ(endCenter), endRadius, endRadius);
    if (!extend.beforeStart && startRadius > 0)
        area.addEllipse(toQ(startCenter), startRadius, startRadius);
    impl_->prepare();
    impl_->painter->fillPath(area, gradient);
}

void Context::drawImage(const Image& image, const Rect& r)
{
    if (image.isNull())
        return;
    impl_->prepare();
    impl_->painter->drawImage(toQ(r), wrapImage(image));
}

void Context::drawImageTinted(const Image& image, const Rect& r, Color color) { drawImage(image.tinted(color), r); }

void Context::drawText(const std::string& text, Point topLeft, const Font& font, Color color)
{
    drawTextLayout(layoutText(text, font), topLeft, font, color);
}

void Context::drawText(const std::string& text, const Rect& r, const Font& font, Color color, TextAlignment alignment,
                       LineBreakMode lineBreak)
{
    const int fitting = static_cast<int>(std::floor(r.height() / font.lineHeight() + 0.01));
    const TextLayout layout = layoutText(text, font, {r.width(), std::max(1, fitting), lineBreak, alignment});
    save();
    clipToRect({r.origin, {r.width(), std::max(r.height(), layout.size.height)}});
    drawTextLayout(layout, r.origin, font, color);
    restore();
}

void Context::drawTextLayout(const TextLayout& layout, Point origin, const Font& font, Color color)
{
    if (layout.lines.empty())
        return;
    QFont qfont;
    qfont.fromString(QString::fromStdString(font.descriptor()));
    impl_->prepare();
    QPainter& p = *impl_->painter;
    p.setFont(qfont);
    p.setPen(toQColor(color));
    const double lineHeight = font.lineHeight();
    for (const TextLine& line : layout.lines) {
        if (color.a > 0)
            textLineDrawn(line.text, {{origin.x + line.origin.x, origin.y + line.origin.y}, {line.width, lineHeight}}, line.cut);
        const QPointF baseline(origin.x + line.origin.x, origin.y + line.baseline);
        const QString text = QString::fromStdString(line.text);
        if (!drawOutlinedText(p, qfont, baseline, text))
            p.drawText(baseline, text);
    }
}

void Context::textLineDrawn(const std::string&, const Rect&, bool) {}
void Context::opaquePathFilled(const Path&) {}

void Context::beginTransparencyLayer(const Rect& extent, double alpha, std::optional<Shadow> shadow)
{
    impl_->beginLayer(extent, alpha, shadow);
}

void Context::endTransparencyLayer()
{
    if (!impl_->layers.empty())
        impl_->endLayer();
}

// BitmapContext

struct BitmapContext::Bitmap {
    QImage image;
};

BitmapContext::BitmapContext(Size size, double scale) : size_(size)
{
    const double s = scale > 0 ? scale : 1;
    scale_ = s;
    impl_->deviceScale = s;
    bitmap_ = std::make_unique<Bitmap>();
    bitmap_->image = makeDeviceImage(static_cast<int>(std::ceil(size.width * s)), static_cast<int>(std::ceil(size.height * s)));
    impl_->begin(&bitmap_->image, s);
}

BitmapContext::~BitmapContext() { impl_->end(); }

Image BitmapContext::makeImage() const
{
    const QImage& image = bitmap_->image;
    return Image::fromPixels(image.width(), image.height(), reinterpret_cast<const std::uint32_t*>(image.constBits()),
                             static_cast<std::size_t>(image.bytesPerLine()), impl_->deviceScale);
}

Image BitmapContext::makeImage(const Rect& area) const
{
    const QRect pixels = QRectF(area.x() * scale_, area.y() * scale_, area.width() * scale_, area.height() * scale_)
                             .toAlignedRect()
                             .intersected(bitmap_->image.rect());
    if (pixels.isEmpty())
        return {};
    const QImage& image = bitmap_->image;
    const auto* first = reinterpret_cast<const std::uint32_t*>(image.constScanLine(pixels.y())) + pixels.x();
    return Image::fromPixels(pixels.width(), pixels.height(), first, static_cast<std::size_t>(image.bytesPerLine()),
                             scale_);
}

void Context::drawBitmap(const BitmapContext& bitmap, const Rect& r)
{
    impl_->prepare();
    impl_->painter->drawImage(toQ(r), bitmap.bitmap_->image);
}

void BitmapContext::scrollHorizontally(double dx)
{
    QImage& image = bitmap_->image;
    const int width = image.width();
    const int shift = std::clamp(static_cast<int>(std::lround(dx * scale_)), -width, width);
    const auto kept = static_cast<std::size_t>(width - std::abs(shift)) * sizeof(QRgb);
    const auto cleared = static_cast<std::size_t>(std::abs(shift)) * sizeof(QRgb);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (shift < 0) {
            std::memmove(row, row - shift, kept);
            std::memset(row + width + shift, 0, cleared);
        } else {
            std::memmove(row + shift, row, kept);
            std::memset(row, 0, cleared);
        }
    }
}

// PdfContext

struct PdfContext::Writer {
    QByteArray bytes;
    QBuffer buffer{&bytes};
    std::unique_ptr<QPdfWriter> pdf;
};

PdfContext::PdfContext(Size pageSize) : PdfContext(std::filesystem::path(), pageSize) {}

PdfContext::PdfContext(std::filesystem::path path, Size pageSize)
    : writer_(std::make_unique<Writer>()), path_(std::move(path))
{
    writer_->buffer.open(QIODevice::WriteOnly);
    writer_->pdf = std::make_unique<QPdfWriter>(&writer_->buffer);
    QPdfWriter& pdf = *writer_->pdf;
    pdf.setResolution(72);
    pdf.setCreator(QString());
    pdf.setPageSize(QPageSize(QSizeF(std::max(1.0, pageSize.width), std::max(1.0, pageSize.height)), QPageSize::Point,
                              QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    impl_->begin(&pdf, 1);
}

PdfContext::~PdfContext() { finish(); }

bool PdfContext::finish()
{
    if (finished_)
        return written_;
    finished_ = true;
    impl_->end();
    writer_->buffer.close();
    data_ = writer_->bytes.toStdString();
    written_ = path_.empty() ? !data_.empty() : fnd::writeFileAtomically(path_, data_);
    return written_;
}

} // namespace ui
