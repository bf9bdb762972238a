#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/KeyedArchiver.h"

// Archiving of records that list their fields once, in a static member
// template `visitFields(record, visitor)` calling visitor(key, field) per field.
// Reading starts from a record whose fields hold their defaults: a missing
// field, or one of the wrong type, keeps the default.
namespace archive {

// A value present under `key` that is not of the field's type is noted as damage on `in`, so that the
// file's owner keeps the original and tells the user; the field keeps its default. Numbers archived
// as null are non-finite values written by ourselves, not damage.
inline void noteWrongType(const fnd::KeyedUnarchiver& in, const std::string& key, bool fits)
{
    if (!fits)
        in.noteDamage(key + " holds a value of the wrong type; its default is kept");
}

inline const nlohmann::json* valueOf(const fnd::KeyedUnarchiver& in, const std::string& key)
{
    const auto it = in.root().find(key);
    return it == in.root().end() ? nullptr : &*it;
}

inline bool isNumberOrNull(const nlohmann::json& value)
{
    return value.is_number() || value.is_null();
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, bool& field)
{
    if (const auto* value = valueOf(in, key))
        noteWrongType(in, key, value->is_boolean());
    field = in.decodeBool(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, int& field)
{
    if (const auto* value = valueOf(in, key))
        noteWrongType(in, key, isNumberOrNull(*value));
    field = in.decodeInt(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, float& field)
{
    if (const auto* value = valueOf(in, key))
        noteWrongType(in, key, isNumberOrNull(*value));
    field = in.decodeFloat(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::string& field)
{
    if (const auto* value = valueOf(in, key))
        noteWrongType(in, key, value->is_string());
    field = in.decodeString(key, field);
}

// Ports and other unsigned 16-bit numbers: out-of-range values keep the default.
inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, unsigned& field)
{
    if (const auto* stored = valueOf(in, key))
        noteWrongType(in, key, isNumberOrNull(*stored));
    const int value = in.decodeInt(key, -1);
    if (value >= 0 && value <= 65535)
        field = static_cast<unsigned>(value);
}

// A value read that is outside [low, high] (or not a number at all) is replaced by `fallback`.
template <typename T>
void keepIn(T& field, T low, T high, T fallback)
{
    if (!(field >= low && field <= high))
        field = fallback;
}

inline bool isArray(const fnd::KeyedUnarchiver& in, const std::string& key)
{
    const auto* value = valueOf(in, key);
    return value != nullptr && value->is_array();
}

// Arrays are per position (a sensor's, a slot's, a gear's): an entry of the wrong type takes the
// default's entry at its place (or T's zero past the default's end), so the others keep their places.
template <typename T, typename Fits>
void readArray(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<T>& field,
               std::vector<T> decoded, Fits fits)
{
    const auto* stored = valueOf(in, key);
    if (!stored)
        return;
    if (!isArray(in, key)) {
        noteWrongType(in, key, false);
        return;
    }
    bool wrong = false;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (!fits((*stored)[i])) {
            wrong = true;
            decoded[i] = i < field.size() ? T(field[i]) : T();
        }
    }
    noteWrongType(in, key, !wrong);
    field = std::move(decoded);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<int>& field)
{
    readArray(in, key, field, in.decodeIntArray(key), [](const nlohmann::json& v) { return v.is_number(); });
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<float>& field)
{
    readArray(in, key, field, in.decodeFloatArray(key), isNumberOrNull);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<bool>& field)
{
    readArray(in, key, field, in.decodeBoolArray(key), [](const nlohmann::json& v) { return v.is_boolean(); });
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<std::string>& field)
{
    readArray(in, key, field, in.decodeStringArray(key), [](const nlohmann::json& v) { return v.is_string(); });
}

// The places in the array under `key` whose entries are not numbers: a list (not a per-position array)
// leaves those entries out rather than reading them as 0.
inline std::vector<std::size_t> nonNumberEntries(const fnd::KeyedUnarchiver& in, const std::string& key)
{
    std::vector<std::size_t> places;
    const auto* stored = valueOf(in, key);
    if (!stored || !stored->is_array())
        return places;
    for (std::size_t i = 0; i < stored->size(); ++i) {
        if (!(*stored)[i].is_number())
            places.push_back(i);
    }
    return places;
}

// Takes the entries at `places` (ascending) out of `list`.
template <typename T>
void dropEntries(std::vector<T>& list, const std::vector<std::size_t>& places)
{
    for (auto it = places.rbegin(); it != places.rend(); ++it) {
        if (*it < list.size())
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(*it));
    }
}

// Cuts a list read from a file to `limit` entries, noting it: a damaged file must not make a screen
// build without end.
template <typename T>
void capList(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<T>& list, std::size_t limit)
{
    if (list.size() <= limit)
        return;
    list.resize(limit);
    in.noteDamage(key + " lists more than " + std::to_string(limit) + " entries; the rest were left out");
}

template <typename Record>
fnd::KeyedArchiver write(const Record& record)
{
    fnd::KeyedArchiver out;
    Record::visitFields(record, [&](const char* key, const auto& value) { out.encode(key, value); });
    return out;
}

template <typename Record>
void readFields(const fnd::KeyedUnarchiver& in, Record& record)
{
    Record::visitFields(record, [&](const char* key, auto& field) { read(in, key, field); });
}

}  // namespace archive
