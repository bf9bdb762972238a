#include "html/HTMLTagNames.h"

#include <functional>

namespace {

// The length and three units tell the known names well enough apart (at
// most three probes, see the check below) at the cost of a few operations.
constexpr std::size_t hashName(std::u16string_view name)
{
    if (name.empty())
        return 0;
    return (name.size() * 0x9e37) ^ (name.front() * 0x3bu) ^ (name[name.size() / 2] * 0x1f1u) ^ (name.back() * 7u);
}

// Open addressing in a table several times larger than the names, so a
// lookup mostly costs one hash and one comparison.
constexpr std::size_t slotCount = 1024;
constexpr std::uint16_t emptySlot = 0xffff;
static_assert(KnownTagNameCount * 4 < slotCount);

constexpr std::array<std::uint16_t, slotCount> makeSlots()
{
    std::array<std::uint16_t, slotCount> slots {};
    slots.fill(emptySlot);
    for (std::size_t number = 0; number < KnownTagNameCount; ++number) {
        std::size_t slot = hashName(KnownTagNames[number]) & (slotCount - 1);
        while (slots[slot] != emptySlot)
            slot = (slot + 1) & (slotCount - 1);
        slots[slot] = static_cast<std::uint16_t>(number);
    }
    return slots;
}

constexpr std::array<std::uint16_t, slotCount> slots = makeSlots();

constexpr std::size_t longestProbe()
{
    std::size_t longest = 0;
    for (const std::u16string_view name : KnownTagNames) {
        std::size_t probes = 1;
        for (std::size_t slot = hashName(name) & (slotCount - 1); KnownTagNames[slots[slot]] != name;
             slot = (slot + 1) & (slotCount - 1))
            ++probes;
        longest = probes > longest ? probes : longest;
    }
    return longest;
}
static_assert(longestProbe() <= 3);

// Out of line, so that the lookup after the first stays a few instructions
// (every element made asks for its name).
[[gnu::noinline]] std::array<std::u16string, KnownTagNameCount> makeSharedNames()
{
    std::array<std::u16string, KnownTagNameCount> strings;
    for (std::size_t number = 0; number < KnownTagNameCount; ++number)
        strings[number] = KnownTagNames[number];
    return strings;
}

const std::array<std::u16string, KnownTagNameCount>& sharedNames()
{
    static const auto names = makeSharedNames();
    return names;
}

} // namespace

std::size_t KnownTagNameNumber(std::u16string_view name)
{
    for (std::size_t slot = hashName(name) & (slotCount - 1); slots[slot] != emptySlot;
         slot = (slot + 1) & (slotCount - 1)) {
        // Equality alone, unit by unit: names are short, and == also orders.
        const std::u16string_view known = KnownTagNames[slots[slot]];
        if (known.size() != name.size())
            continue;
        std::size_t i = 0;
        while (i < name.size() && known[i] == name[i])
            ++i;
        if (i == name.size())
            return slots[slot];
    }
    return KnownTagNameCount;
}

const std::u16string* KnownTagNameWithNumber(std::size_t number)
{
    return &sharedNames()[number];
}
