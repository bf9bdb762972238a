#pragma once

// Looking up a tag name's KnownTagNameNumber, inline for the tokenizer, which
// looks up every tag it reads (a call costs it about a third of the lookup).
// KnownTagNameNumber is the same lookup out of line.
#include "html/HTMLTagNames.h"

#include <bit>
#include <cstring>

namespace HTMLTagNameLookup {

// A name of up to eight units is held exactly by two overlapping loads: its
// first and its last four units (one, two or three: the first and last two,
// or the one unit). Longer names are checked in full after these match.
struct NameKey {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
};

constexpr std::uint64_t packUnits(const char16_t* units, std::size_t count)
{
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < count; ++i)
        packed |= std::uint64_t {units[i]} << (16 * i);
    return packed;
}

// The same as packUnits, as one load (units are little-endian here).
static_assert(std::endian::native == std::endian::little);
template<typename Word>
inline std::uint64_t loadUnits(const char16_t* units)
{
    Word word;
    std::memcpy(&word, units, sizeof word);
    return word;
}

constexpr NameKey keyOf(std::u16string_view name)
{
    const char16_t* units = name.data();
    const std::size_t size = name.size();
    if (size >= 4)
        return {packUnits(units, 4), packUnits(units + size - 4, 4)};
    if (size >= 2)
        return {packUnits(units, 2), packUnits(units + size - 2, 2)};
    if (size == 1)
        return {units[0], 0};
    return {};
}

// keyOf for a name of any length but one (those are looked up apart).
inline NameKey loadKey(std::u16string_view name)
{
    const char16_t* units = name.data();
    const std::size_t size = name.size();
    if (size >= 4)
        return {loadUnits<std::uint64_t>(units), loadUnits<std::uint64_t>(units + size - 4)};
    if (size >= 2)
        return {loadUnits<std::uint32_t>(units), loadUnits<std::uint32_t>(units + size - 2)};
    return {};
}

inline constexpr std::size_t slotBits = 10;
inline constexpr std::size_t slotCount = std::size_t {1} << slotBits;

constexpr std::size_t slotOf(const NameKey& key, std::size_t size)
{
    return ((key.head ^ (key.tail << 1) ^ size) * 0x9e3779b97f4a7c15u) >> (64 - slotBits);
}

struct KnownName {
    NameKey key;
    std::uint16_t size = 0;
    std::uint16_t number = 0;
};

constexpr std::array<KnownName, KnownTagNameCount> makeKnownNames()
{
    std::array<KnownName, KnownTagNameCount> names {};
    for (std::size_t number = 0; number < KnownTagNameCount; ++number)
        names[number] = {keyOf(KnownTagNames[number]), static_cast<std::uint16_t>(KnownTagNames[number].size()),
                         static_cast<std::uint16_t>(number)};
    return names;
}

inline constexpr std::array<KnownName, KnownTagNameCount> knownNames = makeKnownNames();

// Open addressing in a table several times larger than the names, so a
// lookup mostly costs one hash and one comparison. A slot holds the name's
// number plus one; zero is an empty slot.
inline constexpr std::uint8_t emptySlot = 0;
static_assert(KnownTagNameCount < 255 && KnownTagNameCount * 4 < slotCount);

constexpr std::array<std::uint8_t, slotCount> makeSlots()
{
    std::array<std::uint8_t, slotCount> slots {};
    for (std::size_t number = 0; number < KnownTagNameCount; ++number) {
        std::size_t slot = slotOf(knownNames[number].key, knownNames[number].size);
        while (slots[slot] != emptySlot)
            slot = (slot + 1) & (slotCount - 1);
        slots[slot] = static_cast<std::uint8_t>(number + 1);
    }
    return slots;
}

inline constexpr std::array<std::uint8_t, slotCount> slots = makeSlots();

// Names of one unit (a, b, p, ...) are a third of all tags: they are found
// by the unit alone.
constexpr std::array<std::uint8_t, 128> makeOneUnitNames()
{
    std::array<std::uint8_t, 128> numbers {};
    numbers.fill(static_cast<std::uint8_t>(KnownTagNameCount));
    for (std::size_t number = 0; number < KnownTagNameCount; ++number) {
        if (KnownTagNames[number].size() == 1 && KnownTagNames[number][0] < 128)
            numbers[KnownTagNames[number][0]] = static_cast<std::uint8_t>(number);
    }
    return numbers;
}

inline constexpr std::array<std::uint8_t, 128> oneUnitNames = makeOneUnitNames();

// Whether the known name of this number is the name; out of line, so that
// the usual short name is looked up without saving registers for its loop.
bool IsKnownName(std::size_t number, std::u16string_view name);

} // namespace HTMLTagNameLookup

inline std::size_t KnownTagNameNumberInline(std::u16string_view name)
{
    using namespace HTMLTagNameLookup;
    if (name.size() == 1)
        return name[0] < 128 ? oneUnitNames[name[0]] : KnownTagNameCount;
    const NameKey key = loadKey(name);
    for (std::size_t slot = slotOf(key, name.size()); slots[slot] != emptySlot; slot = (slot + 1) & (slotCount - 1)) {
        const KnownName& known = knownNames[slots[slot] - 1];
        if (known.key.head == key.head && known.key.tail == key.tail && known.size == name.size())
            return known.size <= 8 || IsKnownName(known.number, name) ? known.number : KnownTagNameCount;
    }
    return KnownTagNameCount;
}
