#pragma once

#include <functional>
#include <memory>
#include <string>

namespace fnd {

struct Notification {
    std::string name;
    const void* object = nullptr;
};

class NotificationCenter {
public:
    static NotificationCenter& defaultCenter();
    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // The observation ends when the token is destroyed or removed.
    using Token = std::shared_ptr<void>;
    [[nodiscard]] Token addObserver(const std::string& name, std::function<void(const Notification&)> fn,
                                    const void* sender = nullptr /* nullptr: any sender */);
    void removeObserver(const Token& token);
    // Synchronous, on the caller's thread, to the observers registered when it starts
    // that are still registered when their turn comes.
    void post(const std::string& name, const void* object = nullptr);

private:
    struct State;
    struct Registration;
    std::shared_ptr<State> state_;
};

}  // namespace fnd
