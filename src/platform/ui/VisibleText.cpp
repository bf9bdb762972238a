#include "platform/ui/VisibleText.h"

#include "platform/ui/Context.h"
#include "platform/ui/Path.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <optional>

namespace ui {

namespace {

struct SeenText {
    ShownText shown;
    bool covered = false;
};

// An axis-aligned rectangle (as views fill their backgrounds), or nothing for any other shape.
std::optional<Rect> asRectangle(const Path& path)
{
    const auto& elements = path.elements();
    if (elements.size() < 4 || elements.size() > 6 || elements.front().verb != Path::Verb::Move)
        return std::nullopt;
    std::vector<Point> corners;
    for (const Path::Element& element : elements) {
        if (element.verb == Path::Verb::Cubic || (element.verb == Path::Verb::Move && !corners.empty()))
            return std::nullopt;
        if (element.verb != Path::Verb::Close)
            corners.push_back(element.points[0]);
    }
    if (corners.size() == 5 && corners.back() == corners.front())
        corners.pop_back();
    if (corners.size() != 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i) {
        const Point a = corners[i];
        const Point b = corners[(i + 1) % 4];
        if (a.x != b.x && a.y != b.y)
            return std::nullopt;
    }
    return path.controlBounds();
}

// Renders as a bitmap does, and keeps every line of text with the part of it left after clipping; a text
// that an opaque rectangle painted later hides entirely is marked covered.
class TextCaptureContext : public BitmapContext {
public:
    explicit TextCaptureContext(Size size)
        : BitmapContext(size, 1)
    {
    }

    std::vector<SeenText> seen;

protected:
    void textLineDrawn(const std::string& text, const Rect& line, bool cut) override
    {
        if (text.find_first_not_of(" \t") == std::string::npos)
            return;
        const auto shown = onCanvas(line, false);
        if (!shown)
            return;
        // Clipping that takes a piece of the line's width cuts it; rows clipped at the top or bottom are
        // what scrolling shows.
        const bool clippedAcross = shown->width() < ctm().apply(line).width() - 1;
        seen.push_back({{text, *shown, cut || clippedAcross}});
    }

    void opaquePathFilled(const Path& path) override
    {
        const auto rectangle = asRectangle(path);
        if (!rectangle)
            return;
        const auto filled = onCanvas(*rectangle, true);
        if (!filled)
            return;
        for (SeenText& text : seen) {
            if (filled->contains(text.shown.frame))
                text.covered = true;
        }
    }

private:
    // The part of a user-space rectangle that reaches the canvas, in canvas points (its bounding box
    // when turned, or nothing unless `upright`).
    std::optional<Rect> onCanvas(const Rect& r, bool upright) const
    {
        const AffineTransform m = ctm();
        if (upright && (m.b != 0 || m.c != 0))
            return std::nullopt;
        const Rect shown = m.apply(r.intersection(clipBoundingBox())).intersection({{0, 0}, size()});
        if (shown.isEmpty())
            return std::nullopt;
        return shown;
    }
};

// Rows from the top: a text starts a new row unless its middle lies within the row's first text.
void putInReadingOrder(std::vector<ShownText>& seen)
{
    std::stable_sort(seen.begin(), seen.end(), [](const ShownText& a, const ShownText& b) { return a.frame.y() < b.frame.y(); });
    for (std::size_t start = 0; start < seen.size();) {
        const double rowBottom = seen[start].frame.maxY();
        std::size_t end = start + 1;
        while (end < seen.size() && seen[end].frame.midY() < rowBottom)
            ++end;
        std::stable_sort(seen.begin() + static_cast<std::ptrdiff_t>(start), seen.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const ShownText& a, const ShownText& b) { return a.frame.x() < b.frame.x(); });
        start = end;
    }
}

} // namespace

std::vector<ShownText> visibleTextFrames(View& view)
{
    const Rect bounds = view.bounds();
    if (bounds.isEmpty())
        return {};
    TextCaptureContext context(bounds.size);
    context.translate(-bounds.x(), -bounds.y());
    view.render(context);
    std::vector<ShownText> shown;
    for (SeenText& text : context.seen) {
        if (!text.covered)
            shown.push_back(std::move(text.shown));
    }
    putInReadingOrder(shown);
    return shown;
}

std::vector<std::string> visibleTexts(View& view)
{
    std::vector<std::string> texts;
    for (ShownText& shown : visibleTextFrames(view))
        texts.push_back(std::move(shown.text));
    return texts;
}

} // namespace ui
