#pragma once

#include <string>
#include <vector>

#include "platform/foundation/KeyedArchiver.h"

// Archiving of records that list their fields once, in a static member
// template `visitFields(record, visitor)` calling visitor(key, field) per field.
// Reading starts from a record whose fields hold their defaults: a missing
// field, or one of the wrong type, keeps the default.
namespace archive {

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, bool& field)
{
    field = in.decodeBool(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, int& field)
{
    field = in.decodeInt(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, float& field)
{
    field = in.decodeFloat(key, field);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::string& field)
{
    field = in.decodeString(key, field);
}

// Ports and other unsigned 16-bit numbers: out-of-range values keep the default.
inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, unsigned& field)
{
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
    const auto it = in.root().find(key);
    return it != in.root().end() && it->is_array();
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<int>& field)
{
    if (isArray(in, key))
        field = in.decodeIntArray(key);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<float>& field)
{
    if (isArray(in, key))
        field = in.decodeFloatArray(key);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<bool>& field)
{
    if (isArray(in, key))
        field = in.decodeBoolArray(key);
}

inline void read(const fnd::KeyedUnarchiver& in, const std::string& key, std::vector<std::string>& field)
{
    if (isArray(in, key))
        field = in.decodeStringArray(key);
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
