#include "platform/ui/NavigationBar.h"

#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Path.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double edgeMargin = 8;
constexpr double itemSpacing = 8;

Image backChevron()
{
    BitmapContext context({13, 21}, 2);
    context.setStrokeColor(Color::black());
    context.setLineWidth(3);
    context.setLineCap(LineCap::Round);
    context.setLineJoin(LineJoin::Round);
    Path path;
    path.moveTo({10, 2});
    path.lineTo({2, 10.5});
    path.lineTo({10, 19});
    context.strokePath(path);
    return context.makeImage().asTemplate();
}

} // namespace

BarAppearance& NavigationBar::appearance()
{
    static BarAppearance defaults;
    return defaults;
}

NavigationBar::NavigationBar()
    : background_(std::make_shared<View>())
    , hairline_(std::make_shared<View>())
    , titleLabel_(std::make_shared<Label>())
{
    const BarAppearance& defaults = appearance();
    barTintColor_ = defaults.barTintColor;
    titleAttributes_ = defaults.titleTextAttributes;
    if (defaults.tintColor)
        setTintColor(defaults.tintColor);
    background_->setUserInteractionEnabled(false);
    hairline_->setBackgroundColor(Color::black().withAlpha(0.3));
    titleLabel_->setTextAlignment(TextAlignment::Center);
    addSubview(background_);
    addSubview(hairline_);
    addSubview(titleLabel_);
    applyColors();
}

NavigationBar::~NavigationBar() { clearItems(); }

void NavigationBar::setBarTintColor(std::optional<Color> color)
{
    barTintColor_ = color;
    applyColors();
}

void NavigationBar::setBarStyle(BarStyle style)
{
    barStyle_ = style;
    applyColors();
}

void NavigationBar::setTitleTextAttributes(TitleTextAttributes attributes)
{
    titleAttributes_ = std::move(attributes);
    applyColors();
    setNeedsLayout();
}

void NavigationBar::applyColors()
{
    const bool black = barStyle_ == BarStyle::Black;
    background_->setBackgroundColor(barTintColor_.value_or(black ? Color::white(0.1, 0.95) : Color::white(0.97, 0.95)));
    titleLabel_->setTextColor(titleAttributes_.color.value_or(black ? Color::white() : Color::black()));
    titleLabel_->setFont(titleAttributes_.font.value_or(Font::systemFont(17, FontWeight::Medium)));
}

void NavigationBar::setBackgroundExtension(double top)
{
    background_->setFrame({{0, -top}, {bounds().width(), top + bounds().height()}});
}

const std::string& NavigationBar::displayedTitle()
{
    rebuildIfNeeded();
    return titleLabel_->text();
}

Button* NavigationBar::backButton()
{
    rebuildIfNeeded();
    return backButton_.get();
}

View* NavigationBar::viewForItem(const BarButtonItem& item)
{
    rebuildIfNeeded();
    for (const auto* side : {&left_, &right_}) {
        for (const Shown& shown : *side) {
            if (shown.item.get() == &item)
                return shown.view.get();
        }
    }
    return nullptr;
}

void NavigationBar::showItem(NavigationItem* item, std::optional<std::string> backTitle)
{
    item_ = item;
    backTitle_ = std::move(backTitle);
    setNeedsRebuild();
}

void NavigationBar::setNeedsRebuild()
{
    needsRebuild_ = true;
    setNeedsLayout();
}

void NavigationBar::rebuildIfNeeded()
{
    if (needsRebuild_)
        rebuild();
}

void NavigationBar::clearItems()
{
    for (auto* side : {&left_, &right_}) {
        for (Shown& shown : *side) {
            shown.item->setChangeHandler({});
            if (shown.view)
                shown.view->removeFromSuperview();
        }
        side->clear();
    }
}

void NavigationBar::rebuild()
{
    needsRebuild_ = false;
    clearItems();
    if (titleView_)
        titleView_->removeFromSuperview();
    titleView_ = nullptr;
    if (backButton_)
        backButton_->removeFromSuperview();
    backButton_ = nullptr;
    titleLabel_->setText({});
    setNeedsLayout();
    if (!item_)
        return;
    titleView_ = item_->titleView();
    if (titleView_)
        addSubview(titleView_);
    else
        titleLabel_->setText(item_->title());

    const auto show = [this](const BarButtonItems& items, std::vector<Shown>& side) {
        for (const auto& item : items) {
            auto view = makeBarButtonItemView(item, height);
            if (view)
                addSubview(view);
            side.push_back({item, view});
            item->setChangeHandler([this] { setNeedsRebuild(); });
        }
    };
    show(item_->leftBarButtonItems(), left_);
    show(item_->rightBarButtonItems(), right_);

    if (backTitle_ && !item_->hidesBackButton() && left_.empty()) {
        backButton_ = std::make_shared<Button>(ButtonType::System);
        backButton_->setImage(backChevron());
        backButton_->setTitle(" " + *backTitle_);
        backButton_->setTitleFont(Font::systemFont(17));
        backButton_->addTarget(ControlEvent::TouchUpInside, [this](Control&) {
            if (backAction_)
                backAction_();
        });
        addSubview(backButton_);
    }
}

void NavigationBar::layoutSubviews()
{
    rebuildIfNeeded();
    const Rect b = bounds();
    background_->setFrame({{0, background_->frame().minY()}, {b.width(), b.maxY() - background_->frame().minY()}});
    hairline_->setFrame({{0, b.maxY()}, {b.width(), 0.5}});
    const EdgeInsets safe = safeAreaInsets(*this);

    double left = b.minX() + edgeMargin + safe.left;
    if (backButton_) {
        const Size size = backButton_->sizeThatFits({});
        const double width = std::min(size.width + 8, b.width() / 3);
        backButton_->setFrame({{left - 4, 0}, {width, height}});
        left += width;
    }
    const auto place = [&](Shown& shown, double x) {
        const Size size = shown.view->bounds().size;
        shown.view->setFrame({{x, (height - size.height) / 2}, size});
    };
    for (Shown& shown : left_) {
        if (!shown.view) {
            left += shown.item->systemItem() == SystemItem::FixedSpace ? shown.item->width() : 0;
            continue;
        }
        place(shown, left);
        left += shown.view->bounds().width() + itemSpacing;
    }
    double right = b.maxX() - edgeMargin - safe.right;
    for (Shown& shown : right_) {
        if (!shown.view) {
            right -= shown.item->systemItem() == SystemItem::FixedSpace ? shown.item->width() : 0;
            continue;
        }
        right -= shown.view->bounds().width();
        place(shown, right);
        right -= itemSpacing;
    }

    // The title is centred on the bar when it fits between the sides, else in the room left.
    const double room = std::max(0.0, right - left);
    if (titleView_) {
        const Size size = titleView_->bounds().size;
        const double width = std::min(size.width, room);
        const double x = std::clamp(b.midX() - width / 2, left, std::max(left, right - width));
        titleView_->setFrame({{x, (height - size.height) / 2}, {width, size.height}});
    }
    const double textWidth = std::min(std::ceil(titleLabel_->sizeThatFits({}).width), room);
    const double x = std::clamp(b.midX() - textWidth / 2, left, std::max(left, right - textWidth));
    titleLabel_->setFrame({{x, 0}, {textWidth, height}});
}

} // namespace ui
