#include "platform/ui/PageControl.h"

#include "platform/ui/Context.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double dot = 7;
constexpr double pitch = 16;

} // namespace

PageControl::PageControl() = default;

PageControl::PageControl(Rect frame) : Control(frame) {}

void PageControl::setNumberOfPages(int pages)
{
    pages_ = std::max(0, pages);
    setCurrentPage(current_);
}

void PageControl::setCurrentPage(int page)
{
    current_ = std::clamp(page, 0, std::max(0, pages_ - 1));
    setNeedsDisplay();
}

void PageControl::setHidesForSinglePage(bool hides)
{
    hidesForSinglePage_ = hides;
    setNeedsDisplay();
}

void PageControl::setPageIndicatorTintColor(Color color)
{
    indicatorTint_ = color;
    setNeedsDisplay();
}

void PageControl::setCurrentPageIndicatorTintColor(Color color)
{
    currentIndicatorTint_ = color;
    setNeedsDisplay();
}

Size PageControl::sizeForNumberOfPages(int pages) const { return {std::max(0, pages) * pitch, 37}; }

Size PageControl::sizeThatFits(Size) const { return sizeForNumberOfPages(pages_); }

void PageControl::endTracking(Point location, bool inside)
{
    if (!inside || pages_ < 2)
        return;
    const double currentX = bounds().midX() + (current_ - (pages_ - 1) / 2.0) * pitch;
    const int page = std::clamp(location.x > currentX ? current_ + 1 : current_ - 1, 0, pages_ - 1);
    if (page == current_)
        return;
    setCurrentPage(page);
    sendActions(ControlEvent::ValueChanged);
}

void PageControl::draw(Context& context, Rect)
{
    if (pages_ == 0 || (pages_ == 1 && hidesForSinglePage_))
        return;
    const Rect b = bounds();
    for (int i = 0; i < pages_; ++i) {
        const double x = b.midX() + (i - (pages_ - 1) / 2.0) * pitch;
        context.setFillColor(i == current_ ? currentIndicatorTint_ : indicatorTint_);
        context.fillEllipse(makeRect(x - dot / 2, b.midY() - dot / 2, dot, dot));
    }
}

} // namespace ui
