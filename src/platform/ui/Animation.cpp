#include "platform/ui/Animation.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace ui {

namespace {

enum class Property { Center, Bounds, Transform, Alpha, BackgroundColor, CornerRadius };
constexpr Property allProperties[] = {Property::Center, Property::Bounds, Property::Transform,
                                      Property::Alpha, Property::BackgroundColor, Property::CornerRadius};

bool differs(const LayerState& a, const LayerState& b, Property p)
{
    switch (p) {
    case Property::Center: return a.center != b.center;
    case Property::Bounds: return a.bounds != b.bounds;
    case Property::Transform: return a.transform != b.transform;
    case Property::Alpha: return a.alpha != b.alpha;
    case Property::BackgroundColor: return a.backgroundColor != b.backgroundColor;
    case Property::CornerRadius: return a.cornerRadius != b.cornerRadius;
    }
    return false;
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

Point mix(Point a, Point b, double t)
{
    return {mix(a.x, b.x, t), mix(a.y, b.y, t)};
}

// Transforms are blended as scale, rotation (the short way round) and
// translation, so a turning view does not shrink on the way.
AffineTransform mix(const AffineTransform& a, const AffineTransform& b, double t)
{
    struct Parts {
        double sx, sy, angle;
    };
    const auto split = [](const AffineTransform& m) {
        const double sx = std::hypot(m.a, m.b);
        const double det = m.a * m.d - m.b * m.c;
        return Parts{sx, std::copysign(std::hypot(m.c, m.d), det), std::atan2(m.b, m.a)};
    };
    const Parts pa = split(a);
    const Parts pb = split(b);
    double turn = std::remainder(pb.angle - pa.angle, 2 * std::numbers::pi);
    const double angle = pa.angle + turn * t;
    const double sx = mix(pa.sx, pb.sx, t);
    const double sy = mix(pa.sy, pb.sy, t);
    return {sx * std::cos(angle), sx * std::sin(angle), -sy * std::sin(angle), sy * std::cos(angle),
            mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)};
}

std::optional<Color> mix(const std::optional<Color>& a, const std::optional<Color>& b, double t)
{
    if (!a && !b)
        return std::nullopt;
    // No colour is its partner's colour, fully transparent.
    const Color from = a ? *a : b->withAlpha(0);
    const Color to = b ? *b : a->withAlpha(0);
    return Color{mix(from.r, to.r, t), mix(from.g, to.g, t), mix(from.b, to.b, t), mix(from.a, to.a, t)};
}

void blend(LayerState& out, const LayerState& from, const LayerState& to, Property p, double t)
{
    switch (p) {
    case Property::Center:
        out.center = mix(from.center, to.center, t);
        break;
    case Property::Bounds:
        out.bounds = {mix(from.bounds.origin, to.bounds.origin, t),
                      {mix(from.bounds.size.width, to.bounds.size.width, t), mix(from.bounds.size.height, to.bounds.size.height, t)}};
        break;
    case Property::Transform:
        out.transform = mix(from.transform, to.transform, t);
        break;
    case Property::Alpha:
        out.alpha = mix(from.alpha, to.alpha, t);
        break;
    case Property::BackgroundColor:
        out.backgroundColor = mix(from.backgroundColor, to.backgroundColor, t);
        break;
    case Property::CornerRadius:
        out.cornerRadius = mix(from.cornerRadius, to.cornerRadius, t);
        break;
    }
}

// One animate() call: its timing, its completion and how many of its
// property animations are still running.
struct Group {
    double start = 0;
    double duration = 0;
    AnimationCurve curve = AnimationCurve::EaseInOut;
    std::function<void(bool)> completion;
    int running = 0;
    bool interrupted = false;

    double end() const { return start + duration; }
};

// One property of one view on its way from `from` to the model value.
struct Track {
    std::weak_ptr<View> view;
    Property property;
    LayerState from;
    std::shared_ptr<Group> group;
};

class Animator {
public:
    static Animator& shared()
    {
        static Animator animator;
        return animator;
    }

    void run(double duration, double delay, AnimationCurve curve, const std::function<void()>& changes,
             std::function<void(bool)> completion)
    {
        View::setLayerChangeHook(&Animator::layerChanged);
        auto group = std::make_shared<Group>();
        group->start = fnd::RunLoop::main().now() + std::max(0.0, delay);
        group->duration = std::max(0.0, duration);
        group->curve = curve;
        group->completion = std::move(completion);
        open_.push_back(group);
        if (changes)
            changes();
        open_.pop_back();
        if (group->duration > 0 || delay > 0) {
            groups_.push_back(group);
            startFrames();
        } else if (group->completion) {
            group->completion(true);
        }
    }

private:
    static void layerChanged(View& view, const LayerState& before)
    {
        shared().changed(view, before);
    }

    void changed(View& view, const LayerState& before)
    {
        if (open_.empty() && tracks_.empty())
            return; // nothing animates: the common case
        const std::shared_ptr<View> owner = view.weak_from_this().lock();
        if (!owner)
            return; // not held by a shared_ptr: nothing can follow it
        const double now = fnd::RunLoop::main().now();
        const LayerState after = view.layerState();
        const std::shared_ptr<Group> group = open_.empty() || open_.back()->duration <= 0 ? nullptr : open_.back();
        bool touched = false;
        for (const Property p : allProperties) {
            if (!differs(before, after, p))
                continue;
            const auto existing = find(view, p);
            if (existing != tracks_.end() && existing->group == group)
                continue; // changed again in the same block: one animation from the first value
            LayerState from = before;
            if (existing != tracks_.end()) {
                from = valueNow(*existing, before, now); // take over from what is on screen
                interrupt(existing);
                touched = true;
            }
            if (group) {
                tracks_.push_back({owner, p, from, group});
                ++group->running;
                touched = true;
            }
        }
        if (touched)
            present(view, now);
    }

    std::vector<Track>::iterator find(const View& view, Property p)
    {
        return std::find_if(tracks_.begin(), tracks_.end(), [&](const Track& t) {
            return t.property == p && t.view.lock().get() == &view;
        });
    }

    static double progress(const Track& track, double now)
    {
        const Group& g = *track.group;
        const double t = g.duration > 0 ? (now - g.start) / g.duration : 1;
        return animationProgress(g.curve, std::clamp(t, 0.0, 1.0));
    }

    static LayerState valueNow(const Track& track, const LayerState& model, double now)
    {
        LayerState value = model;
        blend(value, track.from, model, track.property, progress(track, now));
        return value;
    }

    void interrupt(std::vector<Track>::iterator track)
    {
        track->group->interrupted = true;
        --track->group->running;
        tracks_.erase(track);
    }

    // What the view shows now: its model values, with its running animations blended in.
    void present(View& view, double now)
    {
        const LayerState model = view.layerState();
        LayerState shown = model;
        bool animating = false;
        for (const Track& track : tracks_) {
            if (track.view.lock().get() != &view)
                continue;
            blend(shown, track.from, model, track.property, progress(track, now));
            animating = true;
        }
        view.setPresentationState(animating ? std::optional<LayerState>(shown) : std::nullopt);
    }

    void startFrames()
    {
        if (!frameCallback_)
            frameCallback_ = fnd::RunLoop::main().addFrameCallback([this](double now) { frame(now); });
    }

    void frame(double now)
    {
        std::vector<std::shared_ptr<View>> views;
        for (auto it = tracks_.begin(); it != tracks_.end();) {
            auto view = it->view.lock();
            if (!view || now >= it->group->end()) {
                --it->group->running;
                it = tracks_.erase(it);
            } else {
                ++it;
            }
            if (view && std::find(views.begin(), views.end(), view) == views.end())
                views.push_back(view);
        }
        for (const auto& view : views)
            present(*view, now);
        finishGroups(now);
        if (groups_.empty() && frameCallback_) {
            fnd::RunLoop::main().removeFrameCallback(frameCallback_);
            frameCallback_ = 0;
        }
    }

    void finishGroups(double now)
    {
        std::vector<std::shared_ptr<Group>> done;
        std::erase_if(groups_, [&](const std::shared_ptr<Group>& g) {
            const bool over = g->running == 0 && (g->interrupted || now >= g->end());
            if (over)
                done.push_back(g);
            return over;
        });
        // Completions may start new animations: run them after the bookkeeping.
        for (const auto& g : done) {
            if (g->completion)
                g->completion(!g->interrupted);
        }
    }

    std::vector<std::shared_ptr<Group>> open_;
    std::vector<std::shared_ptr<Group>> groups_;
    std::vector<Track> tracks_;
    fnd::RunLoop::FrameId frameCallback_ = 0;
};

} // namespace

void animate(double duration, std::function<void()> changes, std::function<void(bool)> completion)
{
    animate(duration, 0, AnimationCurve::EaseInOut, std::move(changes), std::move(completion));
}

void animate(double duration, AnimationCurve curve, std::function<void()> changes, std::function<void(bool)> completion)
{
    animate(duration, 0, curve, std::move(changes), std::move(completion));
}

void animate(double duration, double delay, AnimationCurve curve, std::function<void()> changes,
             std::function<void(bool)> completion)
{
    Animator::shared().run(duration, delay, curve, changes, std::move(completion));
}

} // namespace ui
