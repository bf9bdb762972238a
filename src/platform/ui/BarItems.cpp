#include "platform/ui/BarItems.h"

#include "platform/ui/Button.h"
#include "platform/ui/Context.h"
#include "platform/ui/Path.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui {

namespace {

// The drawn system glyphs, 22 points square, as template images.
Image glyph(SystemItem item)
{
    constexpr double side = 22;
    BitmapContext context({side, side}, 2);
    context.setStrokeColor(Color::black());
    context.setLineWidth(2);
    context.setLineCap(LineCap::Round);
    context.setLineJoin(LineJoin::Round);
    Path path;
    switch (item) {
    case SystemItem::Add:
        path.moveTo({11, 3});
        path.lineTo({11, 19});
        path.moveTo({3, 11});
        path.lineTo({19, 11});
        break;
    case SystemItem::Action: // a tray with an arrow leaving it upwards
        path.moveTo({7, 9});
        path.lineTo({4, 9});
        path.lineTo({4, 21});
        path.lineTo({18, 21});
        path.lineTo({18, 9});
        path.lineTo({15, 9});
        path.moveTo({11, 14});
        path.lineTo({11, 1});
        path.moveTo({7, 5});
        path.lineTo({11, 1});
        path.lineTo({15, 5});
        break;
    default: { // Refresh: an open circle with an arrow head
        const double pi = std::numbers::pi;
        path.addArc({11, 12}, 7, -pi / 3, 1.5 * pi, true);
        const Point end{11 + 7 * std::cos(-pi / 3), 12 + 7 * std::sin(-pi / 3)};
        path.moveTo({end.x - 5, end.y - 2});
        path.lineTo(end);
        path.lineTo({end.x - 1, end.y + 5});
        break;
    }
    }
    context.strokePath(path);
    return context.makeImage().asTemplate();
}

std::string systemTitle(SystemItem item)
{
    switch (item) {
    case SystemItem::Done: return "Done";
    case SystemItem::Cancel: return "Cancel";
    case SystemItem::Edit: return "Edit";
    case SystemItem::Save: return "Save";
    default: return {};
    }
}

} // namespace

// BarButtonItem

BarButtonItem::BarButtonItem(std::string title, BarButtonItemStyle style, Action action)
    : title_(std::move(title))
    , style_(style)
    , action_(std::move(action))
{
}

BarButtonItem::BarButtonItem(Image image, BarButtonItemStyle style, Action action)
    : image_(std::move(image))
    , style_(style)
    , action_(std::move(action))
{
}

BarButtonItem::BarButtonItem(SystemItem item, Action action)
    : title_(systemTitle(item))
    , systemItem_(item)
    , action_(std::move(action))
{
    if (item == SystemItem::Done || item == SystemItem::Save)
        style_ = BarButtonItemStyle::Done;
    if (item == SystemItem::Add || item == SystemItem::Action || item == SystemItem::Refresh)
        image_ = glyph(item);
}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView)
    : customView_(std::move(customView))
{
}

bool BarButtonItem::isSpace() const
{
    return systemItem_ == SystemItem::FlexibleSpace || systemItem_ == SystemItem::FixedSpace;
}

void BarButtonItem::changed() const
{
    if (changed_)
        changed_();
}

void BarButtonItem::setTitle(std::string title)
{
    title_ = std::move(title);
    changed();
}

void BarButtonItem::setImage(std::optional<Image> image)
{
    image_ = std::move(image);
    changed();
}

void BarButtonItem::setCustomView(std::shared_ptr<View> view)
{
    customView_ = std::move(view);
    changed();
}

void BarButtonItem::setStyle(BarButtonItemStyle style)
{
    style_ = style;
    changed();
}

void BarButtonItem::setEnabled(bool enabled)
{
    enabled_ = enabled;
    changed();
}

void BarButtonItem::setTintColor(std::optional<Color> color)
{
    tintColor_ = color;
    changed();
}

void BarButtonItem::setTitleTextAttributes(TitleTextAttributes attributes, ControlState state)
{
    if (state == ControlState::Disabled)
        disabledAttributes_ = std::move(attributes);
    else
        normalAttributes_ = std::move(attributes);
    changed();
}

TitleTextAttributes BarButtonItem::titleTextAttributes(ControlState state) const
{
    if (state == ControlState::Disabled && disabledAttributes_)
        return *disabledAttributes_;
    return normalAttributes_;
}

void BarButtonItem::setWidth(double width)
{
    width_ = width;
    changed();
}

void BarButtonItem::sendAction()
{
    if (enabled_ && action_)
        action_(*this);
}

// NavigationItem

void NavigationItem::changed() const
{
    if (changed_)
        changed_();
}

void NavigationItem::setTitle(std::string title)
{
    title_ = std::move(title);
    changed();
}

void NavigationItem::setTitleView(std::shared_ptr<View> view)
{
    titleView_ = std::move(view);
    changed();
}

std::shared_ptr<BarButtonItem> NavigationItem::leftBarButtonItem() const { return left_.empty() ? nullptr : left_.front(); }

std::shared_ptr<BarButtonItem> NavigationItem::rightBarButtonItem() const { return right_.empty() ? nullptr : right_.front(); }

void NavigationItem::setLeftBarButtonItems(BarButtonItems items)
{
    std::erase(items, nullptr);
    left_ = std::move(items);
    changed();
}

void NavigationItem::setRightBarButtonItems(BarButtonItems items)
{
    std::erase(items, nullptr);
    right_ = std::move(items);
    changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) { setLeftBarButtonItems({std::move(item)}); }

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) { setRightBarButtonItems({std::move(item)}); }

void NavigationItem::setBackButtonTitle(std::optional<std::string> title)
{
    backTitle_ = std::move(title);
    changed();
}

void NavigationItem::setHidesBackButton(bool hides)
{
    hidesBackButton_ = hides;
    changed();
}

// TabBarItem

void TabBarItem::changed() const
{
    if (changed_)
        changed_();
}

void TabBarItem::setTitle(std::string title)
{
    title_ = std::move(title);
    changed();
}

void TabBarItem::setImage(std::optional<Image> image)
{
    image_ = std::move(image);
    changed();
}

void TabBarItem::setSelectedImage(std::optional<Image> image)
{
    selectedImage_ = std::move(image);
    changed();
}

void TabBarItem::setBadgeValue(std::string badge)
{
    badge_ = std::move(badge);
    changed();
}

std::shared_ptr<View> makeBarButtonItemView(const std::shared_ptr<BarButtonItem>& item, double barHeight)
{
    if (item->isSpace())
        return nullptr;
    if (item->customView())
        return item->customView();
    constexpr double minimumItemWidth = 30;
    auto button = std::make_shared<Button>(ButtonType::System);
    const TitleTextAttributes normal = item->titleTextAttributes();
    const TitleTextAttributes disabled = item->titleTextAttributes(ControlState::Disabled);
    const bool bold = item->style() == BarButtonItemStyle::Done;
    button->setTitleFont(normal.font.value_or(bold ? Font::systemFont(17, FontWeight::Medium) : Font::systemFont(17)));
    if (item->image())
        button->setImage(item->image());
    else
        button->setTitle(item->title());
    if (normal.color)
        button->setTitleColor(normal.color);
    if (disabled.color)
        button->setTitleColor(disabled.color, ControlState::Disabled);
    if (item->tintColor())
        button->setTintColor(item->tintColor());
    button->setEnabled(item->isEnabled());
    const std::weak_ptr<BarButtonItem> weakItem = item;
    button->addTarget(ControlEvent::TouchUpInside, [weakItem](Control&) {
        if (auto shown = weakItem.lock())
            shown->sendAction();
    });
    const Size size = button->sizeThatFits({});
    button->setFrame({{0, 0}, {std::max(size.width + 8, minimumItemWidth), barHeight}});
    return button;
}

} // namespace ui
