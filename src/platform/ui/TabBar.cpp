#include "platform/ui/TabBar.h"

#include "platform/ui/Context.h"
#include "platform/ui/Path.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double imageSide = 25;

} // namespace

// Opaque, unlike the phone's frosted bar: without its blur, rows scrolled beneath would show between the labels.
TabBar::TabBar() { setBackgroundColor(Color::white(0.97)); }

void TabBar::setItems(std::vector<TabBarItem*> items)
{
    items_ = std::move(items);
    selected_ = std::clamp(selected_, 0, std::max(0, static_cast<int>(items_.size()) - 1));
    setNeedsDisplay();
}

void TabBar::setSelectedIndex(int index)
{
    selected_ = index;
    setNeedsDisplay();
}

void TabBar::setBarTintColor(std::optional<Color> color)
{
    barTintColor_ = color;
    setBackgroundColor(color.value_or(Color::white(0.97)));
}

void TabBar::setUnselectedItemTintColor(std::optional<Color> color)
{
    unselectedTint_ = color;
    setNeedsDisplay();
}

Rect TabBar::rectForItem(int index) const
{
    const double count = std::max<double>(1, static_cast<double>(items_.size()));
    const double width = bounds().width() / count;
    return {{bounds().minX() + index * width, bounds().minY()}, {width, height}};
}

std::optional<int> TabBar::indexAtPoint(Point point) const
{
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (rectForItem(i).contains(point))
            return i;
    }
    return std::nullopt;
}

void TabBar::touchesBegan(const std::vector<Touch>& touches)
{
    pressed_ = indexAtPoint(touches.front().locationInView(this));
}

void TabBar::touchesEnded(const std::vector<Touch>& touches)
{
    const auto index = indexAtPoint(touches.front().locationInView(this));
    const bool same = index && index == pressed_;
    pressed_.reset();
    if (same && selectHandler_)
        selectHandler_(*index);
}

void TabBar::draw(Context& context, Rect)
{
    context.setFillColor(Color::black().withAlpha(0.3));
    context.fillRect({{0, 0}, {bounds().width(), 0.5}});
    const Font font = Font::systemFont(10, FontWeight::Medium);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const TabBarItem& item = *items_[static_cast<std::size_t>(i)];
        const Rect cell = rectForItem(i);
        const bool selected = i == selected_;
        const Color color = selected ? tintColor() : unselectedTint_.value_or(Color::systemGray());
        const std::optional<Image>& image = selected && item.selectedImage() ? item.selectedImage() : item.image();
        if (image && !image->isNull()) {
            const Size size = image->size();
            const double scale = std::min(1.0, imageSide / std::max(size.width, size.height));
            const Size shown{size.width * scale, size.height * scale};
            const Rect r{{cell.midX() - shown.width / 2, cell.minY() + 5 + (imageSide - shown.height) / 2}, shown};
            if (image->isTemplate() || !selected)
                context.drawImageTinted(*image, r, color);
            else
                context.drawImage(*image, r);
        }
        const Size text = measureText(item.title(), font);
        context.drawText(item.title(), Point{cell.midX() - text.width / 2, cell.minY() + 33}, font, color);
        if (!item.badgeValue().empty()) {
            const Size badge = measureText(item.badgeValue(), Font::systemFont(13));
            const double w = std::max(18.0, badge.width + 10);
            const Rect r{{cell.midX() + 6, cell.minY() + 2}, {w, 18}};
            context.setFillColor(Color::systemRed());
            context.fillPath(Path::roundedRect(r, 9));
            context.drawText(item.badgeValue(), Point{r.midX() - badge.width / 2, r.midY() - badge.height / 2},
                             Font::systemFont(13), Color::white());
        }
    }
}

} // namespace ui
