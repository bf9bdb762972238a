#include "platform/ui/Window.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Context.h"
#include "platform/ui/GestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

Window::Window(Rect frame)
    : View(frame)
{
    setWindow(this);
}

Window::~Window() = default;

void Window::setDisplayHandler(std::function<void(const Rect&)> handler)
{
    displayHandler_ = std::move(handler);
}

void Window::displayRequested(const Rect& damage)
{
    const Rect area = damage.intersection(bounds());
    addDamage(area);
    if (displayHandler_)
        displayHandler_(area);
}

void Window::addDamage(const Rect& area)
{
    if (area.isEmpty())
        return;
    Rect merged = area;
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = damage_.begin(); it != damage_.end(); ++it) {
            if (it->intersects(merged)) {
                merged = merged.unite(*it);
                damage_.erase(it);
                grew = true;
                break;
            }
        }
    }
    damage_.push_back(merged);
    if (damage_.size() > maxDamageRects) {
        Rect all;
        for (const Rect& r : damage_)
            all = all.unite(r);
        damage_ = {all};
    }
}

namespace {

// The smallest rectangle of whole device pixels around `r`.
Rect alignedToPixels(const Rect& r, double scale)
{
    const double x0 = std::floor(r.minX() * scale) / scale;
    const double y0 = std::floor(r.minY() * scale) / scale;
    const double x1 = std::ceil(r.maxX() * scale) / scale;
    const double y1 = std::ceil(r.maxY() * scale) / scale;
    return makeRect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace

std::vector<Rect> Window::renderDamage(BitmapContext& context)
{
    layoutIfNeeded();
    std::vector<Rect> painted;
    for (const Rect& r : std::exchange(damage_, {}))
        painted.push_back(alignedToPixels(r, context.scale()).intersection(bounds()));
    for (const Rect& r : painted) {
        context.save();
        context.translate(-bounds().x(), -bounds().y());
        context.clipToRect(r);
        context.clearRect(r);
        render(context, r);
        context.restore();
    }
    return painted;
}

bool Window::takesInput(const View* view) const
{
    for (const View* v = view; v; v = v->superview()) {
        if (v->isHidden() || !v->isUserInteractionEnabled())
            return false;
    }
    const View* modal = modalView();
    return view && view->window() == this && (!modal || view->isDescendantOf(modal));
}

void Window::beginModal(const std::shared_ptr<View>& view)
{
    endModal(view.get());
    modalViews_.push_back(view);
}

void Window::endModal(const View* view)
{
    std::erase_if(modalViews_, [view](const std::weak_ptr<View>& weak) {
        const auto held = weak.lock();
        return !held || held.get() == view;
    });
}

const View* Window::modalView() const
{
    for (auto it = modalViews_.rbegin(); it != modalViews_.rend(); ++it) {
        // A screen taken away without a dismissal (its presenter went) no longer holds the input.
        if (const auto view = it->lock(); view && view->window() == this)
            return view.get();
    }
    return nullptr;
}

Window::ActiveTouch* Window::find(std::uint64_t id)
{
    auto it = std::find_if(active_.begin(), active_.end(), [&](const ActiveTouch& t) { return t.touch.id == id; });
    return it == active_.end() ? nullptr : &*it;
}

Window::ActiveTouch Window::beginTouch(const Touch& input, double now)
{
    ActiveTouch record;
    Touch& touch = record.touch;
    touch.id = input.id;
    touch.location = input.location;
    touch.previousLocation = input.location;
    touch.phase = TouchPhase::Began;
    touch.timestamp = now;
    const bool repeat = now - lastTap_.time <= multipleTapInterval
        && std::hypot(input.location.x - lastTap_.location.x, input.location.y - lastTap_.location.y) <= multipleTapDistance;
    touch.tapCount = repeat ? lastTap_.count + 1 : 1;
    record.start = input.location;

    View* hit = hitTest(input.location);
    if (!hit || !takesInput(hit))
        return record;
    touch.view = hit->weak_from_this();
    for (View* v = hit; v; v = v->superview()) {
        for (const auto& recognizer : v->gestureRecognizers()) {
            if (recognizer->isEnabled())
                record.recognizers.push_back(recognizer);
        }
    }
    return record;
}

std::vector<Touch> Window::touchesForView(const View* view) const
{
    std::vector<Touch> touches;
    for (const ActiveTouch& record : active_) {
        if (record.deliveredToView && !record.takenFromView && view && record.touch.view.lock().get() == view)
            touches.push_back(record.touch);
    }
    return touches;
}

void Window::sendTouch(TouchPhase phase, Point location, std::uint64_t id)
{
    Touch touch;
    touch.id = id;
    touch.location = location;
    sendTouches(phase, {touch});
}

void Window::sendTouches(TouchPhase phase, const std::vector<Touch>& inputs)
{
    if (phase == TouchPhase::Stationary)
        return;
    const auto keepAlive = weak_from_this().lock(); // an action may close this window
    const double now = fnd::RunLoop::main().now();
    // Touches land on what the screen shows: layout first, as before a frame.
    if (phase == TouchPhase::Began)
        layoutIfNeeded();
    std::vector<ActiveTouch*> touches;
    for (const Touch& input : inputs) {
        ActiveTouch* record = find(input.id);
        if (phase == TouchPhase::Began) {
            if (record)
                continue; // that finger is already down
            active_.push_back(beginTouch(input, now));
            touches.push_back(&active_.back());
            continue;
        }
        if (!record)
            continue; // a finger that never went down here
        record->touch.previousLocation = record->touch.location;
        record->touch.location = input.location;
        record->touch.phase = phase;
        record->touch.timestamp = now;
        touches.push_back(record);
    }
    if (touches.empty())
        return;

    ++dispatchDepth_;
    deliverToRecognizers(phase, touches);
    sendPendingCancels();
    deliverToViews(phase, touches);
    --dispatchDepth_;

    if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) {
        for (ActiveTouch* record : touches) {
            const Touch& t = record->touch;
            // A finger that lifted near where it went down was a tap; the next may repeat it.
            const bool tapped = phase == TouchPhase::Ended
                && std::hypot(t.location.x - record->start.x, t.location.y - record->start.y) <= multipleTapDistance;
            lastTap_ = tapped ? LastTap{t.location, now, t.tapCount} : LastTap{};
            active_.remove_if([&](const ActiveTouch& a) { return &a == record; });
        }
    }
}

void Window::deliverToRecognizers(TouchPhase phase, const std::vector<ActiveTouch*>& touches)
{
    // Each recognizer once, deepest view first, with its share of the touches.
    std::vector<std::shared_ptr<GestureRecognizer>> order;
    for (const ActiveTouch* record : touches) {
        for (const auto& recognizer : record->recognizers) {
            if (std::find(order.begin(), order.end(), recognizer) == order.end())
                order.push_back(recognizer);
        }
    }
    for (const auto& recognizer : order) {
        std::vector<Touch> share;
        for (const ActiveTouch* record : touches) {
            if (std::find(record->recognizers.begin(), record->recognizers.end(), recognizer) != record->recognizers.end())
                share.push_back(record->touch);
        }
        const View* owner = recognizer->view();
        if (!recognizer->isEnabled())
            continue;
        if (!owner || owner->window() != this) {
            recognizer->dropTouches(); // its view left the window mid-gesture
            continue;
        }
        recognizer->handleTouches(phase, share);
    }
}

void Window::deliverToViews(TouchPhase phase, const std::vector<ActiveTouch*>& touches)
{
    // Group by view, keeping the order of the first touch of each view.
    std::vector<std::shared_ptr<View>> views;
    std::vector<std::vector<Touch>> groups;
    for (ActiveTouch* record : touches) {
        if (record->takenFromView)
            continue;
        auto view = record->touch.view.lock();
        if (!view)
            continue;
        if (phase == TouchPhase::Began)
            record->deliveredToView = true;
        else if (!record->deliveredToView)
            continue;
        auto it = std::find(views.begin(), views.end(), view);
        if (it == views.end()) {
            views.push_back(view);
            groups.emplace_back();
            it = views.end() - 1;
        }
        groups[static_cast<std::size_t>(it - views.begin())].push_back(record->touch);
    }
    for (std::size_t i = 0; i < views.size(); ++i) {
        View& view = *views[i];
        switch (phase) {
        case TouchPhase::Began:
            view.touchesBegan(groups[i]);
            break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary:
            view.touchesMoved(groups[i]);
            break;
        case TouchPhase::Ended:
            view.touchesEnded(groups[i]);
            break;
        case TouchPhase::Cancelled:
            view.touchesCancelled(groups[i]);
            break;
        }
    }
}

namespace {

// As on the phone, a control keeps the gesture it is made for (a single tap on
// a button, a sideways swipe on a slider) even when a view around it has a
// recognizer for that gesture; any view can keep gestures the same way.
bool viewKeepsGesture(const View* hit, const GestureRecognizer& recognizer)
{
    for (const View* v = hit; v && v != recognizer.view(); v = v->superview()) {
        if (v->keepsGesture(recognizer))
            return true;
    }
    return false;
}

} // namespace

bool Window::claimGesture(GestureRecognizer& winner)
{
    std::vector<ActiveTouch*> shared;
    for (ActiveTouch& record : active_) {
        const auto& list = record.recognizers;
        if (std::any_of(list.begin(), list.end(), [&](const auto& r) { return r.get() == &winner; }))
            shared.push_back(&record);
    }
    for (const ActiveTouch* record : shared) {
        if (viewKeepsGesture(record->touch.view.lock().get(), winner))
            return false;
    }
    using State = GestureRecognizer::State;
    for (const ActiveTouch* record : shared) {
        for (const auto& other : record->recognizers) {
            if (other.get() != &winner && (other->state() == State::Began || other->state() == State::Changed))
                return false;
        }
    }
    for (const ActiveTouch* record : shared) {
        for (const auto& other : record->recognizers) {
            if (other.get() != &winner && other->state() == State::Possible)
                other->setState(State::Failed);
        }
    }
    if (winner.cancelsTouchesInView()) {
        for (ActiveTouch* record : shared) {
            if (record->takenFromView)
                continue;
            record->takenFromView = true;
            if (record->deliveredToView) {
                Touch touch = record->touch;
                touch.phase = TouchPhase::Cancelled;
                pendingCancels_.push_back(touch);
            }
        }
        // A recognizer firing on a timer (long press) takes the touches at once.
        if (dispatchDepth_ == 0)
            sendPendingCancels();
    }
    return true;
}

void Window::sendPendingCancels()
{
    auto cancels = std::move(pendingCancels_);
    pendingCancels_.clear();
    for (const Touch& touch : cancels) {
        if (auto view = touch.view.lock())
            view->touchesCancelled({touch});
    }
}

bool Window::sendKey(const KeyEvent& event)
{
    View* responder = View::firstResponder();
    if (!takesInput(responder))
        return false;
    responder->keyPressed(event);
    return true;
}

bool Window::sendText(const std::string& text)
{
    View* responder = View::firstResponder();
    if (!takesInput(responder))
        return false;
    responder->insertText(text);
    return true;
}

bool Window::sendWheel(Point location, double dx, double dy)
{
    View* hit = hitTest(location);
    if (!hit || !takesInput(hit))
        return false;
    for (View* v = hit; v; v = v->superview()) {
        if (v->scrollWheel(dx, dy))
            return true;
    }
    return false;
}

} // namespace ui
