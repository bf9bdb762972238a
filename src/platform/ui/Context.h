#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/Path.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };
enum class FillRule { NonZero, EvenOdd };

struct GradientStop {
    double location = 0; // 0..1 along the gradient
    Color color;
};

// Whether a gradient keeps painting its end colours beyond its two ends.
struct GradientExtend {
    bool beforeStart = false;
    bool afterEnd = false;
};

struct Shadow {
    Color color = Color::black().withAlpha(1.0 / 3.0);
    Size offset{0, -3};
    double blur = 3;
};

class BitmapContext;

// A drawing context in the y-down space of points, like the phone
// platform's graphics context inside a view's draw(): state (colours, line
// style, transform, clip, alpha) is saved and restored as a stack.
class Context {
public:
    virtual ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    void save();
    void restore();

    void translate(double dx, double dy);
    void scale(double sx, double sy);
    void rotate(double radians); // positive turns clockwise on screen
    void concat(const AffineTransform& t);
    AffineTransform ctm() const; // user space to the device's points
    double pixelsPerPoint() const; // of the device
    // A size in the device's points as a size in user space: the inverse of
    // the transform's linear part, applied to (width, height).
    Size convertSizeToUserSpace(Size size) const;

    void setFillColor(Color c);
    void setStrokeColor(Color c);
    void setFillColorHsb(double h, double s, double b, double a = 1);
    void setStrokeColorHsb(double h, double s, double b, double a = 1);
    void setLineWidth(double width);
    // Dash and gap lengths in points, whatever the line width.
    void setLineDash(double phase, std::vector<double> lengths);
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    void setMiterLimit(double limit);
    void setAlpha(double alpha); // multiplies everything drawn afterwards
    Color fillColor() const;
    Color strokeColor() const;
    double lineWidth() const;

    void fillPath(const Path& path, FillRule rule = FillRule::NonZero);
    void strokePath(const Path& path);
    void fillRect(const Rect& r);
    void strokeRect(const Rect& r);
    void fillEllipse(const Rect& r);
    void strokeEllipse(const Rect& r);
    void strokeLine(Point from, Point to);
    // One open line through the points in order, drawn as segments with square
    // caps (no joins): the fast way to stroke long runs of short segments, such
    // as a chart's data, with a wide line.
    void strokePolyline(const std::vector<Point>& points);
    // To transparent. Inside a shadowed group that an opaque rectangle fills first, which is drawn
    // straight onto what lies beneath, this clears that too.
    void clearRect(const Rect& r);

    // Clips intersect the current clip and last until the matching restore.
    void clipToRect(const Rect& r);
    void clipToPath(const Path& path, FillRule rule = FillRule::NonZero);
    // Clips to the outline the path would paint when stroked with the
    // current line style.
    void clipToStrokedPath(const Path& path);
    Rect clipBoundingBox() const; // in user space

    void drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end,
                            GradientExtend extend = {});
    void drawRadialGradient(const std::vector<GradientStop>& stops, Point startCenter, double startRadius,
                            Point endCenter, double endRadius, GradientExtend extend = {});

    // Upright in the y-down space, scaled to fill the rectangle.
    void drawImage(const Image& image, const Rect& r);
    // The image used as a mask: its alpha painted in `color`.
    void drawImageTinted(const Image& image, const Rect& r, Color color);
    // What a bitmap context holds, as drawImage draws an image of it, without copying its pixels out.
    void drawBitmap(const BitmapContext& bitmap, const Rect& r);

    // One or more '\n'-separated lines whose first line box has its top-left
    // corner at `topLeft`.
    void drawText(const std::string& text, Point topLeft, const Font& font, Color color);
    // Wrapped (or cut) to the rectangle's width, from its top, clipped to it.
    void drawText(const std::string& text, const Rect& r, const Font& font, Color color,
                  TextAlignment alignment = TextAlignment::Left,
                  LineBreakMode lineBreak = LineBreakMode::WordWrap);
    void drawTextLayout(const TextLayout& layout, Point origin, const Font& font, Color color);
    // A line of text that an image drawn here shows (its pixels painted
    // elsewhere), for contexts that keep track of texts; paints nothing.
    void textShownInImage(const std::string& text, const Rect& line) { textLineDrawn(text, line, false); }

    // Drawing until the matching end is composited as one group, with the
    // given opacity and an optional shadow cast by the group. `extent` bounds
    // what the group may draw (in user space).
    void beginTransparencyLayer(const Rect& extent, double alpha = 1, std::optional<Shadow> shadow = {});
    void endTransparencyLayer();

    struct Impl;

protected:
    Context();
    // For contexts that keep track of what was drawn where (in user space):
    // each line of text (its line box, and whether it shows less than its
    // text) before it is painted, and each path filled without any
    // transparency, which hides what lies beneath it.
    virtual void textLineDrawn(const std::string& text, const Rect& line, bool cut);
    virtual void opaquePathFilled(const Path& path);

    std::unique_ptr<Impl> impl_;
};

// An offscreen RGBA bitmap of `size` points at `scale` pixels per point,
// cleared to transparent.
class BitmapContext : public Context {
public:
    explicit BitmapContext(Size size, double scale = 1);
    ~BitmapContext() override;
    Image makeImage() const;
    // A copy of the pixels of `area` (points; widened to whole pixels).
    Image makeImage(const Rect& area) const;
    Size size() const { return size_; }
    double scale() const { return scale_; }
    // Moves what is drawn `dx` points sideways by whole pixels (a scrolling chart's data); the uncovered
    // side becomes transparent.
    void scrollHorizontally(double dx);

private:
    friend class Context;
    struct Bitmap;
    std::unique_ptr<Bitmap> bitmap_;
    Size size_;
    double scale_ = 1;
};

// A one-page PDF document of the given page size in points. finish() ends
// the page and writes the file (atomically) or keeps the bytes for data().
class PdfContext : public Context {
public:
    explicit PdfContext(Size pageSize);
    PdfContext(std::filesystem::path path, Size pageSize);
    ~PdfContext() override;
    bool finish();
    const std::string& data() const { return data_; }

private:
    struct Writer;
    std::unique_ptr<Writer> writer_;
    std::filesystem::path path_;
    std::string data_;
    bool finished_ = false;
    bool written_ = false;
};

} // namespace ui
