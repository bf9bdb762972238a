#include "platform/ui/Toast.h"

#include "platform/foundation/Timer.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"

#include <cmath>
#include <deque>
#include <map>
#include <memory>

namespace ui {

namespace {

struct PendingToast {
    std::string message;
    double duration = 0;
    ToastPosition position = ToastPosition::Center;
    ToastStyle style;
};

// The toasts of one view: the one shown and those waiting.
struct ToastQueue {
    std::weak_ptr<View> target;
    std::deque<PendingToast> waiting;
    std::shared_ptr<ToastView> shown;
    double shownFade = 0;
    fnd::DelayedCall hide;

    ToastQueue() = default;
    ToastQueue(const ToastQueue&) = delete;
    ToastQueue& operator=(const ToastQueue&) = delete;
    ~ToastQueue() { hide.cancel(); }
};

std::map<const View*, ToastQueue>& queues()
{
    static std::map<const View*, ToastQueue> all;
    return all;
}

void showNext(const View* key);

// The queue of `key` while it still shows `toast`: a fade may complete after
// its queue went, or after another view took the same address.
ToastQueue* showing(const View* key, const std::weak_ptr<ToastView>& toast)
{
    const auto found = queues().find(key);
    const auto shown = toast.lock();
    return found != queues().end() && shown && found->second.shown == shown ? &found->second : nullptr;
}

void finish(const View* key)
{
    auto& all = queues();
    const auto found = all.find(key);
    if (found == all.end())
        return;
    ToastQueue& q = found->second;
    if (q.shown)
        q.shown->removeFromSuperview();
    q.shown = nullptr;
    if (q.waiting.empty() || q.target.expired()) {
        all.erase(found);
        return;
    }
    showNext(key);
}

void fadeOut(const View* key, const std::weak_ptr<ToastView>& toast, double fade)
{
    ToastQueue* q = showing(key, toast);
    if (!q)
        return;
    animate(fade, AnimationCurve::EaseIn, [q] { q->shown->setAlpha(0); }, [key, toast](bool) {
        if (showing(key, toast))
            finish(key);
    });
}

Point origin(const View& view, Size toast, ToastPosition position, const ToastStyle& style)
{
    const Rect b = view.bounds();
    const EdgeInsets safe = safeAreaInsets(view);
    const double x = b.midX() - toast.width / 2;
    switch (position) {
    case ToastPosition::Top: return {x, b.minY() + style.verticalPadding + safe.top};
    case ToastPosition::Bottom: return {x, b.maxY() - toast.height - style.verticalPadding - safe.bottom};
    case ToastPosition::Center: break;
    }
    return {x, b.midY() - toast.height / 2};
}

void showNext(const View* key)
{
    ToastQueue& q = queues().at(key);
    const auto target = q.target.lock();
    if (!target || q.waiting.empty())
        return;
    PendingToast toast = std::move(q.waiting.front());
    q.waiting.pop_front();

    const Rect b = target->bounds();
    const Size maxSize{b.width() * toast.style.maxWidthPercentage, b.height() * toast.style.maxHeightPercentage};
    q.shown = std::make_shared<ToastView>(toast.message, toast.style, maxSize);
    q.shownFade = toast.style.fadeDuration;
    ToastView& view = *q.shown;
    view.setFrame({origin(*target, view.bounds().size, toast.position, toast.style), view.bounds().size});
    view.setAlpha(0);
    target->addSubview(q.shown);

    const double fade = toast.style.fadeDuration;
    const std::weak_ptr<ToastView> shown = q.shown;
    animate(fade, AnimationCurve::EaseOut, [&view] { view.setAlpha(1); }, [key, shown, fade, duration = toast.duration](bool) {
        if (ToastQueue* current = showing(key, shown))
            current->hide = fnd::after(duration, [key, shown, fade] { fadeOut(key, shown, fade); });
    });
}

} // namespace

ToastView::ToastView(std::string message, const ToastStyle& style, Size maxSize)
    : message_(std::move(message))
{
    setBackgroundColor(style.backgroundColor);
    setCornerRadius(style.cornerRadius);
    setUserInteractionEnabled(false);
    auto label = std::make_shared<Label>();
    label->setText(message_);
    label->setFont(style.messageFont);
    label->setTextColor(style.messageColor);
    label->setNumberOfLines(0);
    label->setLineBreakMode(LineBreakMode::TruncateTail);
    const double maxWidth = std::max(0.0, maxSize.width - 2 * style.horizontalPadding);
    const double maxHeight = std::max(0.0, maxSize.height - 2 * style.verticalPadding);
    const Size text = label->sizeThatFits({maxWidth, maxHeight});
    const Size fitted{std::ceil(std::min(text.width, maxWidth)), std::ceil(std::min(text.height, maxHeight))};
    label->setFrame({{style.horizontalPadding, style.verticalPadding}, fitted});
    addSubview(label);
    setFrame({{0, 0}, {fitted.width + 2 * style.horizontalPadding, fitted.height + 2 * style.verticalPadding}});
}

void makeToast(View& view, const std::string& message, double duration, ToastPosition position, const ToastStyle& style)
{
    const auto target = view.weak_from_this();
    if (target.expired())
        return; // only views held by a shared_ptr take toasts
    auto& all = queues();
    auto found = all.find(&view);
    if (found != all.end() && found->second.target.lock().get() != &view) {
        all.erase(found); // a view that went away left its queue behind
        found = all.end();
    }
    if (found == all.end())
        found = all.try_emplace(&view).first;
    ToastQueue& q = found->second;
    q.target = target;
    q.waiting.push_back({message, std::max(0.0, duration), position, style});
    if (!q.shown)
        showNext(&view);
}

void hideToasts(View& view)
{
    const auto found = queues().find(&view);
    if (found == queues().end())
        return;
    ToastQueue& q = found->second;
    q.waiting.clear();
    if (!q.shown)
        return;
    q.hide.cancel();
    fadeOut(&view, q.shown, q.shownFade);
}

ToastView* visibleToast(const View& view)
{
    const auto& all = queues();
    const auto found = all.find(&view);
    return found == all.end() ? nullptr : found->second.shown.get();
}

} // namespace ui
