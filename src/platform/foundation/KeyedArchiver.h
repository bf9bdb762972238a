#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace fnd {

// Values by key (bool, numbers, strings, arrays, nested objects) written as one
// JSON object. The file is replaced atomically: temp file, flush, rename; a file
// that already holds the same bytes is left as it is.
class KeyedArchiver {
public:
    void encode(const std::string& key, const nlohmann::json& value);
    nlohmann::json& root() { return root_; }
    const nlohmann::json& root() const { return root_; }
    bool writeToFile(const std::filesystem::path& file) const;  // false (and logged) on failure

private:
    nlohmann::json root_ = nlohmann::json::object();
};

// Reads what KeyedArchiver wrote. A value of the wrong type decodes as the fallback.
class KeyedUnarchiver {
public:
    // Missing file: nullopt. Corrupt file (also one that is no regular file or far larger than is ever
    // saved, which is not read): nullopt, the file is renamed aside
    // (<name>.corrupt-<n>, given in `keptAs` when asked for) and logged.
    static std::optional<KeyedUnarchiver> fromFile(const std::filesystem::path& file,
                                                   std::filesystem::path* keptAs = nullptr);
    explicit KeyedUnarchiver(nlohmann::json root);  // root must be an object, else nothing decodes

    bool containsKey(const std::string& key) const;
    bool decodeBool(const std::string& key, bool fallback = false) const;
    int decodeInt(const std::string& key, int fallback = 0) const;
    double decodeDouble(const std::string& key, double fallback = 0) const;
    float decodeFloat(const std::string& key, float fallback = 0) const;
    std::string decodeString(const std::string& key, const std::string& fallback = {}) const;
    nlohmann::json decodeObject(const std::string& key) const;  // null when missing
    // Arrays: empty when missing or not an array; an element of the wrong type
    // becomes 0, false or "" so positions stay aligned.
    std::vector<int> decodeIntArray(const std::string& key) const;
    std::vector<float> decodeFloatArray(const std::string& key) const;
    std::vector<double> decodeDoubleArray(const std::string& key) const;
    std::vector<bool> decodeBoolArray(const std::string& key) const;
    std::vector<std::string> decodeStringArray(const std::string& key) const;
    const nlohmann::json& root() const { return root_; }

    // What a record reading the values had to leave out or cut (logged as it is noted), so that the
    // owner of the file can keep the original and tell the user.
    void noteDamage(const std::string& what) const;
    const std::vector<std::string>& damage() const { return damage_; }

private:
    const nlohmann::json* find(const std::string& key) const;
    nlohmann::json root_;
    mutable std::vector<std::string> damage_;
};

}  // namespace fnd
