#include "platform/foundation/UserDefaults.h"

#include <limits>
#include <utility>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"

namespace fnd {

namespace fs = std::filesystem;
using nlohmann::json;

UserDefaults& UserDefaults::standard()
{
    static std::mutex mutex;
    static std::unique_ptr<UserDefaults> instance;
    const std::lock_guard lock(mutex);
    const fs::path file = Paths::home() / "Preferences.json";
    if (!instance || instance->file() != file)
        instance = std::make_unique<UserDefaults>(file);
    return *instance;
}

UserDefaults::UserDefaults(fs::path file) : file_(std::move(file))
{
    load();
}

UserDefaults::~UserDefaults()
{
    synchronize();
}

void UserDefaults::load()
{
    removeStaleTemporaries(file_);
    std::error_code error;
    if (!fs::exists(file_, error))
        return;
    std::string refusal;
    const auto bytes = readSavedFile(file_, refusal);
    json values = bytes ? parseJson(*bytes) : json();
    if (!values.is_object()) {
        // Keep the unreadable file for a person to look at; start from defaults.
        keptAside_ = moveAside(file_);
        const std::string why = refusal.empty() ? "" : " (" + refusal + ")";
        log(LogLevel::Warning, "unreadable preferences " + file_.string() + why + " moved to " + keptAside_.string());
        return;
    }
    values_ = std::move(values);
}

void UserDefaults::noteDamage(const std::string& what)
{
    log(LogLevel::Warning, file_.filename().string() + ": " + what);
    const std::lock_guard lock(mutex_);
    if (std::exchange(damageNoted_, true))
        return;
    // Pending changes would overwrite what was read: the copy is of the file as it was.
    damagedCopy_ = copyAside(file_);
}

int UserDefaults::integerForKey(const std::string& key) const
{
    const std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end())
        return 0;
    if (it->is_number_integer() || it->is_number_float()) {
        const double value = it->get<double>();
        if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
            return static_cast<int>(value);
    }
    if (it->is_boolean())
        return it->get<bool>() ? 1 : 0;
    return 0;
}

bool UserDefaults::boolForKey(const std::string& key) const
{
    const std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end())
        return false;
    if (it->is_boolean())
        return it->get<bool>();
    if (it->is_number())
        return it->get<double>() != 0;
    return false;
}

double UserDefaults::doubleForKey(const std::string& key) const
{
    const std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    return it != values_.end() && it->is_number() ? it->get<double>() : 0.0;
}

std::string UserDefaults::stringForKey(const std::string& key) const
{
    const std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    return it != values_.end() && it->is_string() ? it->get<std::string>() : std::string();
}

json UserDefaults::objectForKey(const std::string& key) const
{
    const std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    return it != values_.end() ? *it : json();
}

void UserDefaults::setInteger(const std::string& key, int value) { setObject(key, value); }
void UserDefaults::setBool(const std::string& key, bool value) { setObject(key, value); }
void UserDefaults::setDouble(const std::string& key, double value) { setObject(key, value); }
void UserDefaults::setString(const std::string& key, const std::string& value) { setObject(key, value); }

// A value set again as it was is no change: the file is not written (and synced) for it.
void UserDefaults::setObject(const std::string& key, json value)
{
    {
        const std::lock_guard lock(mutex_);
        const auto it = values_.find(key);
        if (it != values_.end() && *it == value)
            return;
        values_[key] = std::move(value);
    }
    changed();
}

void UserDefaults::removeObjectForKey(const std::string& key)
{
    {
        const std::lock_guard lock(mutex_);
        if (values_.erase(key) == 0)
            return;
    }
    changed();
}

void UserDefaults::changed()
{
    // Several changes in a row are saved together, on the main thread's next turn.
    {
        const std::lock_guard lock(mutex_);
        dirty_ = true;
        if (saveQueued_)
            return;
        saveQueued_ = true;
    }
    RunLoop::main().post([this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.lock())
            synchronize();
    });
}

bool UserDefaults::synchronize()
{
    const std::lock_guard lock(mutex_);
    saveQueued_ = false;
    if (!dirty_)
        return true;
    if (!writeFileAtomically(file_, values_.dump(1, '\t', false, json::error_handler_t::replace)))
        return false;
    dirty_ = false;
    return true;
}

}  // namespace fnd
