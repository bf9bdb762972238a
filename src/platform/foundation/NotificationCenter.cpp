#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace fnd {

namespace {

struct Observer {
    std::string name;
    const void* sender;
    std::function<void(const Notification&)> fn;
    std::atomic<bool> active{true};
    const void* token = nullptr;  // the Registration that owns this observation
};

}  // namespace

struct NotificationCenter::State {
    std::mutex mutex;
    std::vector<std::shared_ptr<Observer>> observers;

    void remove(const Observer* observer)
    {
        const std::lock_guard lock(mutex);
        std::erase_if(observers, [&](const auto& o) { return o.get() == observer; });
    }
};

// What a Token holds: ending it ends the observation. It holds the centre
// weakly, so a token may outlive its centre.
struct NotificationCenter::Registration {
    std::weak_ptr<State> state;
    std::shared_ptr<Observer> observer;

    Registration() = default;
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration()
    {
        observer->active = false;
        if (auto s = state.lock())
            s->remove(observer.get());
    }
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::NotificationCenter() : state_(std::make_shared<State>()) {}

NotificationCenter::~NotificationCenter() = default;

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name,
                                                          std::function<void(const Notification&)> fn,
                                                          const void* sender)
{
    auto observer = std::make_shared<Observer>();
    observer->name = name;
    observer->sender = sender;
    observer->fn = std::move(fn);
    auto registration = std::make_shared<Registration>();
    registration->state = state_;
    registration->observer = observer;
    observer->token = registration.get();
    {
        const std::lock_guard lock(state_->mutex);
        state_->observers.push_back(observer);
    }
    return registration;
}

void NotificationCenter::removeObserver(const Token& token)
{
    if (!token)
        return;
    const std::lock_guard lock(state_->mutex);
    std::erase_if(state_->observers, [&](const auto& o) {
        if (o->token != token.get())
            return false;
        o->active = false;
        return true;
    });
}

void NotificationCenter::post(const std::string& name, const void* object)
{
    std::vector<std::shared_ptr<Observer>> matching;
    {
        const std::lock_guard lock(state_->mutex);
        for (const auto& o : state_->observers)
            if (o->name == name && (o->sender == nullptr || o->sender == object))
                matching.push_back(o);
    }
    const Notification notification{name, object};
    for (const auto& o : matching)
        if (o->active)
            o->fn(notification);
}

}  // namespace fnd
