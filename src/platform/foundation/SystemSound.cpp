#include "platform/foundation/SystemSound.h"

#include <dlfcn.h>

#include <mutex>

namespace fnd {

namespace {

// The freedesktop sound-theme event of each system sound the screens use.
const char* eventFor(int id)
{
    switch (id) {
    case 1052: return "dialog-warning";
    case 1005: return "alarm-clock-elapsed";
    case 1103: return "button-pressed";
    case 1111: return "message-new-instant";
    case 1112: return "dialog-information";
    default: return "bell";
    }
}

// libcanberra, loaded when present so the program runs without it.
class Canberra {
public:
    Canberra()
    {
        library_ = dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (library_ == nullptr)
            return;
        auto create = reinterpret_cast<int (*)(void**)>(dlsym(library_, "ca_context_create"));
        play_ = reinterpret_cast<PlayFn>(dlsym(library_, "ca_context_play"));
        destroy_ = reinterpret_cast<int (*)(void*)>(dlsym(library_, "ca_context_destroy"));
        if (create == nullptr || play_ == nullptr || destroy_ == nullptr || create(&context_) != 0)
            context_ = nullptr;
    }
    ~Canberra()
    {
        if (context_ != nullptr)
            destroy_(context_);
        if (library_ != nullptr)
            dlclose(library_);
    }
    Canberra(const Canberra&) = delete;
    Canberra& operator=(const Canberra&) = delete;

    void play(const char* event)
    {
        // ca_context_play returns at once; the sound plays in the background.
        if (context_ != nullptr)
            play_(context_, 0, "event.id", event, nullptr);
    }

private:
    using PlayFn = int (*)(void*, unsigned, ...);
    void* library_ = nullptr;
    void* context_ = nullptr;
    PlayFn play_ = nullptr;
    int (*destroy_)(void*) = nullptr;
};

struct State {
    std::mutex mutex;
    std::vector<int> played;
    bool silent = false;
};

State& state()
{
    static State instance;
    return instance;
}

}  // namespace

void SystemSound::play(int id)
{
    auto& s = state();
    const std::lock_guard lock(s.mutex);
    s.played.push_back(id);
    if (s.silent)
        return;
    static Canberra canberra;
    canberra.play(eventFor(id));
}

std::vector<int> SystemSound::played()
{
    auto& s = state();
    const std::lock_guard lock(s.mutex);
    return s.played;
}

void SystemSound::clearPlayed()
{
    auto& s = state();
    const std::lock_guard lock(s.mutex);
    s.played.clear();
}

void SystemSound::setSilent(bool silent)
{
    auto& s = state();
    const std::lock_guard lock(s.mutex);
    s.silent = silent;
}

}  // namespace fnd
