#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

namespace fnd {

// Small settings kept in a JSON file (Paths::home()/Preferences.json for the
// standard instance). Changes are saved soon after they are made, and at once by
// synchronize().
class UserDefaults {
public:
    static UserDefaults& standard();  // follows Paths::home() when it changes (tests)
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    int integerForKey(const std::string& key) const;
    void setInteger(const std::string& key, int value);
    bool boolForKey(const std::string& key) const;
    void setBool(const std::string& key, bool value);
    double doubleForKey(const std::string& key) const;
    void setDouble(const std::string& key, double value);
    std::string stringForKey(const std::string& key) const;
    void setString(const std::string& key, const std::string& value);
    nlohmann::json objectForKey(const std::string& key) const;  // null when missing
    void setObject(const std::string& key, nlohmann::json value);
    void removeObjectForKey(const std::string& key);
    bool synchronize();  // writes pending changes; false (and logged) on failure

    const std::filesystem::path& file() const { return file_; }
    // Where an unreadable file was moved at load, for the user to be told: given once, then empty.
    std::filesystem::path takeKeptAside() { return std::exchange(keptAside_, {}); }
    // A value its reader could not use (of the wrong type): logged, and the file as it is copied aside
    // once, before the value is replaced. Where the copy went, for the user to be told: given once.
    void noteDamage(const std::string& what);
    std::filesystem::path takeDamagedCopy() { return std::exchange(damagedCopy_, {}); }

private:
    void load();
    void changed();

    std::filesystem::path file_;
    std::filesystem::path keptAside_;
    std::filesystem::path damagedCopy_;
    bool damageNoted_ = false;
    mutable std::mutex mutex_;
    nlohmann::json values_ = nlohmann::json::object();
    bool dirty_ = false;
    bool saveQueued_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // lets a queued save find out it is too late
};

}  // namespace fnd
