#include "html/HTMLTagNameLookup.h"

namespace {

using namespace HTMLTagNameLookup;

constexpr std::size_t longestProbe()
{
    std::size_t longest = 0;
    for (std::size_t number = 0; number < KnownTagNameCount; ++number) {
        std::size_t probes = 1;
        for (std::size_t slot = slotOf(knownNames[number].key, knownNames[number].size);
             slots[slot] != number + 1; slot = (slot + 1) & (slotCount - 1))
            ++probes;
        longest = probes > longest ? probes : longest;
    }
    return longest;
}
static_assert(longestProbe() <= 3);

// No two known names share their length and key, so the first name that
// matches both is the only one that can be equal.
constexpr bool keysAreDistinct()
{
    for (std::size_t first = 0; first < KnownTagNameCount; ++first) {
        for (std::size_t second = first + 1; second < KnownTagNameCount; ++second) {
            const KnownName& one = knownNames[first];
            const KnownName& other = knownNames[second];
            if (one.size == other.size && one.key.head == other.key.head && one.key.tail == other.key.tail)
                return false;
        }
    }
    return true;
}
static_assert(keysAreDistinct());

std::array<std::u16string, KnownTagNameCount> makeSharedNames()
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

bool HTMLTagNameLookup::IsKnownName(std::size_t number, std::u16string_view name)
{
    return KnownTagNames[number] == name;
}

std::size_t KnownTagNameNumber(std::u16string_view name)
{
    return KnownTagNameNumberInline(name);
}

const std::u16string* KnownTagNameStrings()
{
    return sharedNames().data();
}
