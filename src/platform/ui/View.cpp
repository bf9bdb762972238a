#include "platform/ui/View.h"

#include "platform/ui/Context.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Path.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

View* currentFirstResponder = nullptr;

Path outline(const Rect& r, double radius)
{
    return radius > 0 ? Path::roundedRect(r, radius) : Path::rect(r);
}

} // namespace

Rect contentRect(ContentMode mode, Size content, const Rect& b)
{
    const double w = content.width;
    const double h = content.height;
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw: return b;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        if (w <= 0 || h <= 0)
            return b;
        const double sx = b.width() / w;
        const double sy = b.height() / h;
        const double s = mode == ContentMode::ScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        return {{b.midX() - w * s / 2, b.midY() - h * s / 2}, {w * s, h * s}};
    }
    case ContentMode::Center: return {{b.midX() - w / 2, b.midY() - h / 2}, content};
    case ContentMode::Top: return {{b.midX() - w / 2, b.minY()}, content};
    case ContentMode::Bottom: return {{b.midX() - w / 2, b.maxY() - h}, content};
    case ContentMode::Left: return {{b.minX(), b.midY() - h / 2}, content};
    case ContentMode::Right: return {{b.maxX() - w, b.midY() - h / 2}, content};
    case ContentMode::TopLeft: return {b.origin, content};
    case ContentMode::TopRight: return {{b.maxX() - w, b.minY()}, content};
    case ContentMode::BottomLeft: return {{b.minX(), b.maxY() - h}, content};
    case ContentMode::BottomRight: return {{b.maxX() - w, b.maxY() - h}, content};
    }
    return b;
}

View::View() = default;

View::View(Rect frame) { setFrame(frame); }

View::~View()
{
    if (currentFirstResponder == this)
        currentFirstResponder = nullptr;
    for (const auto& recognizer : gestureRecognizers_)
        recognizer->setView(nullptr);
    for (const auto& child : subviews_) {
        child->superview_ = nullptr;
        child->setWindow(nullptr);
    }
}

namespace {
View::LayerChangeHook layerChangeHook = nullptr;
}

// Animation

LayerState View::layerState() const
{
    return {center_, bounds_, transform_, alpha_, backgroundColor_, cornerRadius_};
}

void View::setPresentationState(std::optional<LayerState> state)
{
    changeShown([&] { presentation_ = std::move(state); });
}

void View::setLayerChangeHook(LayerChangeHook hook)
{
    layerChangeHook = hook;
}

void View::layerChanged(const LayerState& before)
{
    if (layerChangeHook)
        layerChangeHook(*this, before);
}

// Geometry

Rect View::frame() const
{
    const Size s = bounds_.size;
    const Point origin{-anchorPoint_.x * s.width, -anchorPoint_.y * s.height};
    if (transform_.isIdentity())
        return {{center_.x + origin.x, center_.y + origin.y}, s};
    return transform_.apply(Rect{origin, s}).offset(center_.x, center_.y);
}

void View::setFrame(Rect frame)
{
    frame = frame.standardized();
    const Point center{frame.minX() + anchorPoint_.x * frame.width(), frame.minY() + anchorPoint_.y * frame.height()};
    // Layout passes set the frames they set before: an unmoved view is not painted again.
    if (center == center_ && frame.size == bounds_.size)
        return;
    const LayerState before = layerState();
    changeShown([&] {
        center_ = center;
        setBounds({bounds_.origin, frame.size});
    });
    layerChanged(before);
}

void View::setBounds(Rect bounds)
{
    const LayerState before = layerState();
    const bool resized = bounds.size != bounds_.size;
    const bool moved = bounds.origin != bounds_.origin;
    if (resized || moved)
        changeShown([&] { bounds_ = bounds; });
    if (resized) {
        setNeedsLayout();
        if (contentMode_ == ContentMode::Redraw)
            setNeedsDisplay();
    }
    layerChanged(before);
}

void View::setCenter(Point center)
{
    if (center == center_)
        return;
    const LayerState before = layerState();
    changeShown([&] { center_ = center; });
    layerChanged(before);
}

void View::setAnchorPoint(Point anchor)
{
    changeShown([&] { anchorPoint_ = anchor; });
}

void View::setTransform(const AffineTransform& t)
{
    const LayerState before = layerState();
    changeShown([&] { transform_ = t; });
    layerChanged(before);
}

// Appearance

void View::setAlpha(double alpha)
{
    const LayerState before = layerState();
    changeShown([&] { alpha_ = std::clamp(alpha, 0.0, 1.0); });
    layerChanged(before);
}

void View::setHidden(bool hidden)
{
    if (hidden_ == hidden)
        return;
    changeShown([&] { hidden_ = hidden; });
    if (hidden)
        endEditing(true);
}

void View::setBackgroundColor(std::optional<Color> color)
{
    const LayerState before = layerState();
    backgroundColor_ = color;
    damage(presentationState().bounds);
    layerChanged(before);
}

void View::setClipsToBounds(bool clips)
{
    changeShown([&] { clipsToBounds_ = clips; });
}

void View::setCornerRadius(double radius)
{
    const LayerState before = layerState();
    cornerRadius_ = std::max(0.0, radius);
    damage(presentationState().bounds);
    layerChanged(before);
}

void View::setBorder(double width, Color color)
{
    borderWidth_ = std::max(0.0, width);
    borderColor_ = color;
    damage(presentationState().bounds);
}

void View::setBorderWidth(double width) { setBorder(width, borderColor_); }
void View::setBorderColor(Color color) { setBorder(borderWidth_, color); }

void View::setShadow(Color color, Size offset, double radius, double opacity)
{
    changeShown([&] {
        shadowColor_ = color;
        shadowOffset_ = offset;
        shadowRadius_ = std::max(0.0, radius);
        shadowOpacity_ = std::clamp(opacity, 0.0, 1.0);
    });
}

void View::setContentMode(ContentMode mode)
{
    contentMode_ = mode;
    setNeedsDisplay();
}

Color View::tintColor() const
{
    if (tintColor_)
        return *tintColor_;
    return superview_ ? superview_->tintColor() : Color::systemBlue();
}

void View::setTintColor(std::optional<Color> color)
{
    tintColor_ = color;
    // Subviews draw in the inherited tint too.
    needsDisplay_ = true;
    damageShown();
}

View* View::viewWithTag(int tag)
{
    if (tag_ == tag)
        return this;
    for (const auto& child : subviews_)
        if (View* found = child->viewWithTag(tag))
            return found;
    return nullptr;
}

// Tree

void View::addSubview(std::shared_ptr<View> view) { insertSubview(std::move(view), subviews_.size()); }

void View::insertSubview(std::shared_ptr<View> view, std::size_t index)
{
    if (!view || view.get() == this || isDescendantOf(view.get()))
        return;
    if (view->superview_ == this) {
        // Re-inserting moves it within the z order.
        auto& list = subviews_;
        list.erase(std::find(list.begin(), list.end(), view));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size())), view);
        view->damageShown();
        return;
    }
    if (view->superview_)
        view->detachFromSuperview();
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(std::min(index, subviews_.size())), view);
    view->superview_ = this;
    view->setWindow(window_);
    view->didMoveToSuperview();
    setNeedsLayout();
    view->damageShown();
}

void View::insertSubviewAbove(std::shared_ptr<View> view, const View* sibling)
{
    const auto found = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == sibling; });
    if (found == subviews_.end())
        addSubview(std::move(view));
    else
        insertSubview(std::move(view), static_cast<std::size_t>(found - subviews_.begin()) + 1);
}

void View::insertSubviewBelow(std::shared_ptr<View> view, const View* sibling)
{
    const auto found = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == sibling; });
    insertSubview(std::move(view), found == subviews_.end() ? 0 : static_cast<std::size_t>(found - subviews_.begin()));
}

void View::detachFromSuperview()
{
    View* parent = superview_;
    auto& list = parent->subviews_;
    const auto found = std::find_if(list.begin(), list.end(), [&](const auto& v) { return v.get() == this; });
    // The superview may hold the last reference: keep this view alive until done.
    const std::shared_ptr<View> self = *found;
    endEditing(true);
    damageShown();
    list.erase(std::find(list.begin(), list.end(), self));
    superview_ = nullptr;
    parent->setNeedsLayout();
}

void View::removeFromSuperview()
{
    if (!superview_)
        return;
    const std::shared_ptr<View> self = shared_from_this();
    detachFromSuperview();
    setWindow(nullptr);
    didMoveToSuperview();
}

void View::bringSubviewToFront(const View* view)
{
    const auto found = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == view; });
    if (found == subviews_.end())
        return;
    (*found)->damageShown();
    std::rotate(found, found + 1, subviews_.end());
}

void View::sendSubviewToBack(const View* view)
{
    const auto found = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == view; });
    if (found == subviews_.end())
        return;
    (*found)->damageShown();
    std::rotate(subviews_.begin(), found, found + 1);
}

bool View::isDescendantOf(const View* view) const
{
    for (const View* v = this; v; v = v->superview_)
        if (v == view)
            return true;
    return false;
}

void View::setWindow(Window* window)
{
    if (window_ != window) {
        window_ = window;
        didMoveToWindow();
    }
    const auto children = subviews_;
    for (const auto& child : children)
        child->setWindow(window);
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer)
{
    if (!recognizer || std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer) != gestureRecognizers_.end())
        return;
    if (View* previous = recognizer->view())
        previous->removeGestureRecognizer(recognizer.get());
    recognizer->setView(this);
    gestureRecognizers_.push_back(std::move(recognizer));
}

void View::removeGestureRecognizer(const GestureRecognizer* recognizer)
{
    const auto found = std::find_if(gestureRecognizers_.begin(), gestureRecognizers_.end(),
                                    [&](const auto& r) { return r.get() == recognizer; });
    if (found == gestureRecognizers_.end())
        return;
    const std::shared_ptr<GestureRecognizer> removed = *found;
    gestureRecognizers_.erase(found);
    removed->setView(nullptr);
}

// Layout and display

void View::setNeedsLayout()
{
    needsLayout_ = true;
    requestDisplay();
}

void View::layoutIfNeeded()
{
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    const auto children = subviews_;
    for (const auto& child : children)
        child->layoutIfNeeded();
}

void View::setNeedsDisplay()
{
    needsDisplay_ = true;
    damage(presentationState().bounds);
}

void View::setNeedsDisplayInRect(Rect rect)
{
    needsDisplay_ = true;
    damage(rect.standardized());
}

void View::displayRequested(const Rect&) {}

namespace {

View& rootOf(View& view)
{
    View* root = &view;
    while (root->superview())
        root = root->superview();
    return *root;
}

} // namespace

void View::requestDisplay()
{
    if (window_)
        rootOf(*this).displayRequested({});
}

// Only a view in a window can damage it; one inside a hidden or transparent
// view shows nothing, so changing it damages nothing.
Rect View::shownAreaInRoot() const
{
    if (!window_)
        return {};
    for (const View* v = this; v; v = v->superview_) {
        if (v->hidden_ || v->presentationState().alpha <= 0)
            return {};
    }
    return shownInRoot(shownExtent(), false);
}

void View::damage(const Rect& rect)
{
    if (!window_ || rect.isEmpty())
        return;
    for (const View* v = this; v; v = v->superview_) {
        if (v->hidden_ || v->presentationState().alpha <= 0)
            return;
    }
    rootOf(*this).displayRequested(shownInRoot(rect, true));
}

void View::damageShown()
{
    const Rect area = shownAreaInRoot();
    if (!area.isEmpty())
        rootOf(*this).displayRequested(area);
}

template <typename Change>
void View::changeShown(Change&& change)
{
    if (!window_) {
        change();
        return;
    }
    const Rect before = shownAreaInRoot();
    change();
    if (!before.isEmpty())
        rootOf(*this).displayRequested(before);
    damageShown();
}

Rect View::shownExtent() const
{
    const LayerState shown = presentationState();
    Rect extent = shown.bounds;
    if (!clipsToBounds_) {
        for (const auto& child : subviews_) {
            if (!child->hidden_)
                extent = extent.unite(child->placement(child->presentationState()).apply(child->shownExtent()));
        }
    }
    return withShadow(extent);
}

Rect View::withShadow(const Rect& rect) const
{
    if (shadowOpacity_ <= 0)
        return rect;
    // The shadow is blurred and offset on the device, whatever the view's
    // transform: its blur spreads it by up to three of its radii (see the
    // context's shadow), measured here in this view's units.
    AffineTransform toRoot;
    for (const View* v = this; v->superview_; v = v->superview_)
        toRoot = toRoot.concat(v->placement(v->presentationState()));
    const double scale = std::sqrt(std::fabs(toRoot.a * toRoot.d - toRoot.b * toRoot.c));
    if (scale < 1e-6)
        return rect;
    const double offset = std::max(std::fabs(shadowOffset_.width), std::fabs(shadowOffset_.height));
    const double spread = (3 * shadowRadius_ + 2 + offset) / scale;
    return rect.inset(-spread, -spread);
}

// What changes in `rect` also changes the shadow of every view around it
// (a shadow is cast by all that its view's group paints).
Rect View::shownInRoot(Rect rect, bool ownShadow) const
{
    for (const View* v = this; v; v = v->superview_) {
        if (v != this || ownShadow)
            rect = v->withShadow(rect);
        if (v->superview_)
            rect = v->placement(v->presentationState()).apply(rect);
    }
    return rect;
}

Size View::sizeThatFits(Size) const { return bounds_.size; }

void View::sizeToFit()
{
    const Rect f = frame();
    setFrame({f.origin, sizeThatFits(f.size)});
}

void View::draw(Context&, Rect) {}

// Rendering

Rect View::paintExtent() const
{
    Rect extent = bounds_;
    if (clipsToBounds_)
        return extent;
    for (const auto& child : subviews_)
        if (!child->hidden_)
            extent = extent.unite(child->transformToSuperview().apply(child->paintExtent()));
    return extent;
}

void View::render(Context& context)
{
    layoutIfNeeded();
    renderLayer(context, std::nullopt);
}

void View::render(Context& context, const Rect& dirty)
{
    layoutIfNeeded();
    renderLayer(context, dirty);
}

Image View::renderToImage(double scale)
{
    BitmapContext context(bounds_.size, scale);
    context.translate(-bounds_.x(), -bounds_.y());
    render(context);
    return context.makeImage();
}

void View::renderAsSubview(Context& context, const std::optional<Rect>& dirty)
{
    const AffineTransform place = placement(presentationState());
    std::optional<Rect> local;
    if (dirty) {
        // A view flattened to nothing, or painting nowhere near the damage, is skipped.
        if (!place.isInvertible())
            return;
        local = place.inverted().apply(*dirty);
        if (!local->intersects(shownExtent()))
            return;
    }
    context.save();
    context.concat(place);
    renderLayer(context, local);
    context.restore();
}

void View::renderLayer(Context& context, const std::optional<Rect>& dirty)
{
    // What is on screen: the animated values while an animation runs.
    const LayerState shown = presentationState();
    if (hidden_ || shown.alpha <= 0)
        return;
    // The shadow over the damage is cast by what the group paints within a
    // blur's reach of it: that much is drawn, and only into the group.
    const std::optional<Rect> inner = dirty && shadowOpacity_ > 0 ? std::optional(withShadow(*dirty)) : dirty;
    const bool group = shown.alpha < 1 || shadowOpacity_ > 0;
    if (group) {
        const Rect extent = inner ? paintExtent().intersection(*inner) : paintExtent();
        if (extent.isEmpty())
            return;
        std::optional<Shadow> shadow;
        if (shadowOpacity_ > 0)
            shadow = Shadow{shadowColor_.withAlpha(shadowColor_.a * shadowOpacity_), shadowOffset_, shadowRadius_ * 2};
        context.beginTransparencyLayer(extent, shown.alpha, shadow);
    }
    const bool paintsHere = !inner || inner->intersects(shown.bounds);
    if (paintsHere && shown.backgroundColor && !shown.backgroundColor->isClear()) {
        context.save();
        context.setFillColor(*shown.backgroundColor);
        context.fillPath(outline(shown.bounds, shown.cornerRadius));
        context.restore();
    }
    context.save();
    if (clipsToBounds_)
        context.clipToPath(outline(shown.bounds, shown.cornerRadius));
    if (paintsHere) {
        context.save();
        context.clipToRect(shown.bounds);
        draw(context, inner ? inner->intersection(shown.bounds) : shown.bounds);
        context.restore();
        needsDisplay_ = false;
    }
    const auto children = subviews_;
    for (const auto& child : children)
        child->renderAsSubview(context, inner);
    context.restore();
    if (paintsHere && borderWidth_ > 0) {
        context.save();
        context.setStrokeColor(borderColor_);
        context.setLineWidth(borderWidth_);
        const double half = borderWidth_ / 2;
        context.strokePath(outline(shown.bounds.inset(half, half), std::max(0.0, shown.cornerRadius - half)));
        context.restore();
    }
    if (group)
        context.endTransparencyLayer();
}

// Hit testing and conversion

bool View::pointInside(Point point) const { return bounds_.contains(point); }

View* View::hitTest(Point point)
{
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01 || !pointInside(point))
        return nullptr;
    const auto children = subviews_;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const Point local = (*it)->transformToSuperview().inverted().apply(point);
        if (View* hit = (*it)->hitTest(local))
            return hit;
    }
    return this;
}

AffineTransform View::placement(const LayerState& state) const
{
    const Rect& b = state.bounds;
    return AffineTransform::translation(-(b.minX() + anchorPoint_.x * b.width()), -(b.minY() + anchorPoint_.y * b.height()))
        .concat(state.transform)
        .concat(AffineTransform::translation(state.center.x, state.center.y));
}

AffineTransform View::transformToSuperview() const { return placement(layerState()); }

AffineTransform View::transformToRoot() const
{
    AffineTransform t;
    for (const View* v = this; v->superview_; v = v->superview_)
        t = t.concat(v->transformToSuperview());
    return t;
}

Point View::convertPoint(Point point, const View* to) const
{
    const Point inRoot = transformToRoot().apply(point);
    return to ? to->transformToRoot().inverted().apply(inRoot) : inRoot;
}

Point View::convertPointFromView(Point point, const View* from) const
{
    const Point inRoot = from ? from->transformToRoot().apply(point) : point;
    return transformToRoot().inverted().apply(inRoot);
}

Rect View::convertRect(Rect rect, const View* to) const
{
    const Rect inRoot = transformToRoot().apply(rect);
    return to ? to->transformToRoot().inverted().apply(inRoot) : inRoot;
}

Rect View::convertRectFromView(Rect rect, const View* from) const
{
    const Rect inRoot = from ? from->transformToRoot().apply(rect) : rect;
    return transformToRoot().inverted().apply(inRoot);
}

// Touches

void View::touchesBegan(const std::vector<Touch>& touches)
{
    if (superview_)
        superview_->touchesBegan(touches);
}

void View::touchesMoved(const std::vector<Touch>& touches)
{
    if (superview_)
        superview_->touchesMoved(touches);
}

void View::touchesEnded(const std::vector<Touch>& touches)
{
    if (superview_)
        superview_->touchesEnded(touches);
}

void View::touchesCancelled(const std::vector<Touch>& touches)
{
    if (superview_)
        superview_->touchesCancelled(touches);
}

// First responder

bool View::isFirstResponder() const { return currentFirstResponder == this; }

View* View::firstResponder() { return currentFirstResponder; }

bool View::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    const bool shown = window() != nullptr;
    if (currentFirstResponder && !currentFirstResponder->resignFirstResponder())
        return false;
    // The end of the other's editing may have taken this view off screen (a form rebuilt its rows): keys
    // would go nowhere.
    if (shown && !window())
        return false;
    currentFirstResponder = this;
    didBecomeFirstResponder();
    return true;
}

bool View::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    if (!canResignFirstResponder())
        return false;
    currentFirstResponder = nullptr;
    didResignFirstResponder();
    return true;
}

bool View::endEditing(bool force)
{
    View* responder = currentFirstResponder;
    if (!responder || !responder->isDescendantOf(this))
        return true;
    if (!force)
        return responder->resignFirstResponder();
    currentFirstResponder = nullptr;
    responder->didResignFirstResponder();
    return true;
}

void View::keyPressed(const KeyEvent& event)
{
    if (event.key == Key::Character && !event.text.empty())
        insertText(event.text);
}

void View::insertText(const std::string&) {}

bool View::scrollWheel(double, double) { return false; }

bool View::keepsGesture(const GestureRecognizer&) const { return false; }

Point Touch::locationInView(const View* v) const { return v ? v->convertPointFromView(location, nullptr) : location; }

Point Touch::previousLocationInView(const View* v) const
{
    return v ? v->convertPointFromView(previousLocation, nullptr) : previousLocation;
}

} // namespace ui
