#include "platform/ui/SegmentedControl.h"

#include "platform/ui/Context.h"

#include <algorithm>
#include <cmath>

namespace ui {

SegmentedControl::SegmentedControl(std::vector<std::string> titles)
    : titles_(std::move(titles)), font_(Font::systemFont(13))
{
    setFrame({{0, 0}, sizeThatFits({})});
}

void SegmentedControl::insertSegment(std::string title, int index)
{
    const auto at = static_cast<std::size_t>(std::clamp(index, 0, numberOfSegments()));
    titles_.insert(titles_.begin() + static_cast<std::ptrdiff_t>(at), std::move(title));
    if (selected_ >= static_cast<int>(at))
        ++selected_;
    setNeedsDisplay();
}

void SegmentedControl::removeAllSegments()
{
    titles_.clear();
    selected_ = noSegment;
    setNeedsDisplay();
}

std::string SegmentedControl::titleForSegment(int index) const
{
    return index >= 0 && index < numberOfSegments() ? titles_[static_cast<std::size_t>(index)] : std::string();
}

void SegmentedControl::setTitle(std::string title, int index)
{
    if (index < 0 || index >= numberOfSegments())
        return;
    titles_[static_cast<std::size_t>(index)] = std::move(title);
    setNeedsDisplay();
}

void SegmentedControl::setSelectedSegmentIndex(int index)
{
    selected_ = index >= 0 && index < numberOfSegments() ? index : noSegment;
    setNeedsDisplay();
}

void SegmentedControl::setTitleFont(Font font)
{
    font_ = std::move(font);
    setNeedsDisplay();
}

Size SegmentedControl::sizeThatFits(Size) const
{
    double widest = 0;
    for (const std::string& title : titles_)
        widest = std::max(widest, measureText(title, font_).width);
    return {std::ceil((widest + 20) * std::max(1, numberOfSegments())), 29};
}

int SegmentedControl::segmentAt(Point location) const
{
    const Rect b = bounds();
    if (titles_.empty() || b.width() <= 0)
        return noSegment;
    const int index = static_cast<int>((location.x - b.minX()) / (b.width() / numberOfSegments()));
    return std::clamp(index, 0, numberOfSegments() - 1);
}

void SegmentedControl::endTracking(Point location, bool inside)
{
    const int index = segmentAt(location);
    if (!inside || index == noSegment || index == selected_)
        return;
    selected_ = index;
    setNeedsDisplay();
    sendActions(ControlEvent::ValueChanged);
}

void SegmentedControl::setSelectedSegmentTintColor(std::optional<Color> color)
{
    selectedTint_ = color;
    setNeedsDisplay();
}

void SegmentedControl::draw(Context& context, Rect)
{
    const Rect b = bounds().inset(0.5, 0.5);
    const Color tint = tintColor();
    const int count = numberOfSegments();
    context.save();
    if (!isEnabled())
        context.setAlpha(0.5);
    const Path outline = Path::roundedRect(b, 4);
    context.save();
    context.clipToPath(outline);
    const double width = count > 0 ? b.width() / count : b.width();
    for (int i = 0; i < count; ++i) {
        const Rect segment = makeRect(b.minX() + i * width, b.minY(), width, b.height());
        const bool selected = i == selected_;
        if (selected) {
            context.setFillColor(selectedTint_.value_or(tint));
            context.fillRect(segment);
        }
        const TextLayout title = layoutText(titles_[static_cast<std::size_t>(i)], font_,
                                            {std::max(0.0, width - 8), 1, LineBreakMode::TruncateTail, TextAlignment::Center});
        context.drawTextLayout(title, {segment.minX() + 4, segment.midY() - title.size.height / 2}, font_,
                               selected ? Color::white() : tint);
        if (i > 0) {
            context.setStrokeColor(tint);
            context.setLineWidth(1);
            context.strokeLine({segment.minX(), b.minY()}, {segment.minX(), b.maxY()});
        }
    }
    context.restore();
    context.setStrokeColor(tint);
    context.setLineWidth(1);
    context.strokePath(outline);
    context.restore();
}

} // namespace ui
