#include "platform/foundation/KeyedArchiver.h"

#include <cmath>
#include <limits>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"

namespace fnd {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// The name the file was moved to; empty when it could not be moved.
fs::path keepAside(const fs::path& file, const std::string& why)
{
    const fs::path aside = moveAside(file);
    log(aside.empty() ? LogLevel::Error : LogLevel::Warning,
        "corrupt archive " + file.string() + " (" + why + ")" + (aside.empty() ? "" : " kept as " + aside.string()));
    return aside;
}

int toInt(const json& value, int fallback)
{
    if (value.is_number_integer()) {
        const auto wide = value.is_number_unsigned() ? static_cast<long long>(std::min<std::uint64_t>(
                                                           value.get<std::uint64_t>(), std::numeric_limits<int>::max()))
                                                     : value.get<long long>();
        return static_cast<int>(std::clamp<long long>(wide, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (!std::isfinite(d))
            return fallback;
        return static_cast<int>(std::clamp(std::trunc(d), double(std::numeric_limits<int>::min()),
                                           double(std::numeric_limits<int>::max())));
    }
    return fallback;
}

double toDouble(const json& value, double fallback)
{
    return value.is_number() ? value.get<double>() : fallback;
}

// Beyond a float's range a value would become infinite, which an archive saves
// as null: it reads as the fallback, so it cannot change from one launch to the next.
float toFloat(const json& value, float fallback)
{
    const double d = toDouble(value, fallback);
    return std::abs(d) <= std::numeric_limits<float>::max() ? static_cast<float>(d) : fallback;
}

template <typename T, typename Convert>
std::vector<T> decodeArray(const json* array, Convert convert)
{
    std::vector<T> result;
    if (array == nullptr || !array->is_array())
        return result;
    result.reserve(array->size());
    for (const auto& element : *array)
        result.push_back(convert(element));
    return result;
}

}  // namespace

void KeyedArchiver::encode(const std::string& key, const json& value)
{
    root_[key] = value;
}

bool KeyedArchiver::writeToFile(const fs::path& file) const
{
    // Non-finite floats have no JSON form: dump() writes them as null, which
    // decodes as the fallback. Invalid UTF-8 in a text is replaced, not fatal.
    const std::string bytes = root_.dump(1, '\t', false, json::error_handler_t::replace);
    // A file that already holds these bytes was synced when written: saving it again would only cost a
    // disk sync (every archive is saved at quit, changed or not). Only a file of their size is read to compare.
    std::error_code error;
    if (fs::is_regular_file(file, error) && fs::file_size(file, error) == bytes.size() && readFile(file) == bytes)
        return true;
    return writeFileAtomically(file, bytes);
}

std::optional<KeyedUnarchiver> KeyedUnarchiver::fromFile(const fs::path& file, fs::path* keptAs)
{
    std::error_code error;
    if (!fs::exists(file, error))
        return std::nullopt;
    std::string damage;
    const auto bytes = readSavedFile(file, damage);
    if (!bytes && damage.empty()) {
        log(LogLevel::Error, "cannot read archive " + file.string());
        return std::nullopt;
    }
    json root = bytes ? parseJson(*bytes) : json();
    if (damage.empty() && !root.is_object())
        damage = root.is_discarded() ? "not JSON, or nested too deep" : "not a JSON object";
    if (!damage.empty()) {
        const fs::path aside = keepAside(file, damage);
        if (keptAs)
            *keptAs = aside;
        return std::nullopt;
    }
    return KeyedUnarchiver(std::move(root));
}

KeyedUnarchiver::KeyedUnarchiver(json root) : root_(root.is_object() ? std::move(root) : json::object()) {}

const json* KeyedUnarchiver::find(const std::string& key) const
{
    const auto it = root_.find(key);
    return it == root_.end() ? nullptr : &*it;
}

void KeyedUnarchiver::noteDamage(const std::string& what) const
{
    log(LogLevel::Warning, what);
    damage_.push_back(what);
}

bool KeyedUnarchiver::containsKey(const std::string& key) const
{
    return find(key) != nullptr;
}

bool KeyedUnarchiver::decodeBool(const std::string& key, bool fallback) const
{
    const json* value = find(key);
    return value != nullptr && value->is_boolean() ? value->get<bool>() : fallback;
}

int KeyedUnarchiver::decodeInt(const std::string& key, int fallback) const
{
    const json* value = find(key);
    return value != nullptr ? toInt(*value, fallback) : fallback;
}

double KeyedUnarchiver::decodeDouble(const std::string& key, double fallback) const
{
    const json* value = find(key);
    return value != nullptr ? toDouble(*value, fallback) : fallback;
}

float KeyedUnarchiver::decodeFloat(const std::string& key, float fallback) const
{
    const json* value = find(key);
    return value != nullptr ? toFloat(*value, fallback) : fallback;
}

std::string KeyedUnarchiver::decodeString(const std::string& key, const std::string& fallback) const
{
    const json* value = find(key);
    return value != nullptr && value->is_string() ? value->get<std::string>() : fallback;
}

json KeyedUnarchiver::decodeObject(const std::string& key) const
{
    const json* value = find(key);
    return value != nullptr ? *value : json();
}

std::vector<int> KeyedUnarchiver::decodeIntArray(const std::string& key) const
{
    return decodeArray<int>(find(key), [](const json& v) { return toInt(v, 0); });
}

std::vector<float> KeyedUnarchiver::decodeFloatArray(const std::string& key) const
{
    return decodeArray<float>(find(key), [](const json& v) { return toFloat(v, 0); });
}

std::vector<double> KeyedUnarchiver::decodeDoubleArray(const std::string& key) const
{
    return decodeArray<double>(find(key), [](const json& v) { return toDouble(v, 0); });
}

std::vector<bool> KeyedUnarchiver::decodeBoolArray(const std::string& key) const
{
    return decodeArray<bool>(find(key), [](const json& v) { return v.is_boolean() && v.get<bool>(); });
}

std::vector<std::string> KeyedUnarchiver::decodeStringArray(const std::string& key) const
{
    return decodeArray<std::string>(find(key),
                                    [](const json& v) { return v.is_string() ? v.get<std::string>() : std::string(); });
}

}  // namespace fnd
