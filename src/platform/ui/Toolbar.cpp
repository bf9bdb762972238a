#include "platform/ui/Toolbar.h"

#include "platform/ui/Device.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double edgeMargin = 8;
constexpr double itemSpacing = 8;

} // namespace

Toolbar::Toolbar() : background_(std::make_shared<View>()), hairline_(std::make_shared<View>())
{
    background_->setUserInteractionEnabled(false);
    hairline_->setBackgroundColor(Color::black().withAlpha(0.3));
    addSubview(background_);
    addSubview(hairline_);
    applyColors();
}

Toolbar::Toolbar(Rect frame) : Toolbar() { setFrame(frame); }

Toolbar::~Toolbar() { clearItems(); }

void Toolbar::setItems(BarButtonItems items, bool)
{
    clearItems();
    items_ = std::move(items);
    for (const auto& item : items_)
        item->setChangeHandler([this] { setNeedsRebuild(); });
    setNeedsRebuild();
}

void Toolbar::setBarStyle(BarStyle style)
{
    barStyle_ = style;
    applyColors();
}

void Toolbar::setTranslucent(bool translucent)
{
    translucent_ = translucent;
    applyColors();
}

void Toolbar::setBarTintColor(std::optional<Color> color)
{
    barTintColor_ = color;
    applyColors();
}

void Toolbar::applyColors()
{
    const bool black = barStyle_ == BarStyle::Black;
    const double alpha = translucent_ ? 0.95 : 1;
    background_->setBackgroundColor(barTintColor_.value_or(black ? Color::white(0.1, alpha) : Color::white(0.97, alpha)));
}

View* Toolbar::viewForItem(const BarButtonItem& item)
{
    rebuildIfNeeded();
    const auto found = std::ranges::find_if(shown_, [&](const Shown& s) { return s.item.get() == &item; });
    return found == shown_.end() ? nullptr : found->view.get();
}

void Toolbar::setNeedsRebuild()
{
    needsRebuild_ = true;
    setNeedsLayout();
}

void Toolbar::clearItems()
{
    for (const auto& item : items_)
        item->setChangeHandler({});
}

void Toolbar::rebuildIfNeeded()
{
    if (!needsRebuild_)
        return;
    needsRebuild_ = false;
    for (const Shown& shown : shown_) {
        if (shown.view)
            shown.view->removeFromSuperview();
    }
    shown_.clear();
    for (const auto& item : items_) {
        auto view = makeBarButtonItemView(item, height);
        if (view)
            addSubview(view);
        shown_.push_back({item, std::move(view)});
    }
}

void Toolbar::layoutSubviews()
{
    rebuildIfNeeded();
    const Rect b = bounds();
    background_->setFrame(b);
    hairline_->setFrame({{0, b.minY() - 0.5}, {b.width(), 0.5}});
    const EdgeInsets safe = safeAreaInsets(*this);

    // What the items and fixed spaces take; flexible spaces share the rest.
    double used = 0;
    int flexible = 0;
    int views = 0;
    for (const Shown& shown : shown_) {
        if (shown.view) {
            used += shown.view->bounds().width();
            ++views;
        } else if (shown.item->systemItem() == SystemItem::FixedSpace) {
            used += shown.item->width();
        } else {
            ++flexible;
        }
    }
    const double left = b.minX() + edgeMargin + safe.left;
    const double right = b.maxX() - edgeMargin - safe.right;
    used += std::max(0, views - 1) * itemSpacing;
    const double share = flexible > 0 ? std::max(0.0, right - left - used) / flexible : 0;

    double x = left;
    for (const Shown& shown : shown_) {
        if (!shown.view) {
            x += shown.item->systemItem() == SystemItem::FixedSpace ? shown.item->width() : share;
            continue;
        }
        const Size size = shown.view->bounds().size;
        shown.view->setFrame({{x, b.minY() + (b.height() - size.height) / 2}, size});
        x += size.width + itemSpacing;
    }
}

} // namespace ui
