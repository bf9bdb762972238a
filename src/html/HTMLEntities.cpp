#include "html/HTMLEntities.h"

#include "html/HTMLCodePoints.h"
#include "html/HTMLEntityTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::uint16_t, char16_t>, 34> numericReplacements = {{
    {0x00, 0xFFFD}, {0x0D, 0x000D}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E},
    {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039},
    {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019},
    {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122},
    {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178},
}};

// For each ASCII unit, the first entry of a sorted table whose name begins
// with that unit or a later one: a lookup searches only the names with the
// right first unit (all names begin with ASCII letters).
using FirstUnitStarts = std::array<std::uint16_t, 129>;

template <std::size_t N>
FirstUnitStarts firstUnitStarts(const std::array<HTMLNamedCharacterReference, N>& table)
{
    FirstUnitStarts starts {};
    std::size_t entry = 0;
    for (std::size_t unit = 0; unit < starts.size(); ++unit) {
        while (entry < N && table[entry].name[0] < unit)
            ++entry;
        starts[unit] = static_cast<std::uint16_t>(entry);
    }
    return starts;
}

template <std::size_t N>
const HTMLNamedCharacterReference* findName(const std::array<HTMLNamedCharacterReference, N>& table,
                                            const FirstUnitStarts& starts, std::u16string_view name)
{
    if (name.empty() || name[0] >= starts.size() - 1)
        return nullptr;
    const auto first = table.begin() + starts[name[0]];
    const auto last = table.begin() + starts[name[0] + 1];
    const auto found = std::lower_bound(first, last, name, [](const HTMLNamedCharacterReference& entry, std::u16string_view key) {
        return entry.name < key;
    });
    return found != last && found->name == name ? &*found : nullptr;
}

// The names with ";" by hash, open addressing in a table about twice their
// number, made at first use: a lookup mostly costs one hash of a short name
// and one comparison.
constexpr std::size_t namedSlotCount = 4096;
static_assert(HTMLNamedCharacterReferences.size() * 3 / 2 < namedSlotCount);
constexpr std::uint16_t emptyNamedSlot = 0xffff;

std::size_t hashReferenceName(std::u16string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (const char16_t unit : name)
        hash = (hash ^ unit) * 16777619u;
    return hash & (namedSlotCount - 1);
}

const HTMLNamedCharacterReference* findNameWithSemicolon(std::u16string_view name)
{
    static const auto slots = [] {
        std::array<std::uint16_t, namedSlotCount> slots;
        slots.fill(emptyNamedSlot);
        for (std::size_t entry = 0; entry < HTMLNamedCharacterReferences.size(); ++entry) {
            std::size_t slot = hashReferenceName(HTMLNamedCharacterReferences[entry].name);
            while (slots[slot] != emptyNamedSlot)
                slot = (slot + 1) & (namedSlotCount - 1);
            slots[slot] = static_cast<std::uint16_t>(entry);
        }
        return slots;
    }();
    for (std::size_t slot = hashReferenceName(name); slots[slot] != emptyNamedSlot; slot = (slot + 1) & (namedSlotCount - 1)) {
        const HTMLNamedCharacterReference& entry = HTMLNamedCharacterReferences[slots[slot]];
        if (entry.name.size() == name.size() && std::equal(name.begin(), name.end(), entry.name.begin()))
            return &entry;
    }
    return nullptr;
}

// The longest legacy name (those without ";") is six characters long.
constexpr std::size_t longestLegacyName = 6;

bool isDecimalDigit(char16_t u)
{
    return u >= u'0' && u <= u'9';
}

bool isHexDigit(char16_t u)
{
    return isDecimalDigit(u) || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// Reads the number of a numeric reference that starts after "&#" at position;
// moves position past its digits. 0xFFFFFFFF stands for any value beyond Unicode.
std::optional<char32_t> numericReferenceValue(std::u16string_view text, std::size_t& position)
{
    const bool hex = position < text.size() && (text[position] | 0x20) == u'x';
    std::size_t i = position + (hex ? 1 : 0);
    const std::size_t digitsStart = i;
    std::uint64_t value = 0;
    for (; i < text.size() && (hex ? isHexDigit(text[i]) : isDecimalDigit(text[i])); ++i) {
        const char16_t u = text[i];
        const unsigned digit = isDecimalDigit(u) ? u - u'0' : (u | 0x20) - u'a' + 10;
        value = std::min<std::uint64_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (i == digitsStart)
        return std::nullopt;
    position = i;
    return value >= 0x110000 ? HTMLEOFCharacter : static_cast<char32_t>(value);
}

} // namespace

std::optional<std::u16string_view> StringForNamedCharacterReference(std::u16string_view candidate,
                                                                     std::u16string_view* matchedName)
{
    // A name with ";" can only be the candidate up to its first ";", and it
    // is longer than any legacy name that also begins the candidate.
    static const FirstUnitStarts legacyStarts = firstUnitStarts(HTMLLegacyNamedCharacterReferences);
    const HTMLNamedCharacterReference* found = nullptr;
    if (const std::size_t semicolon = candidate.find(u';'); semicolon != std::u16string_view::npos)
        found = findNameWithSemicolon(candidate.substr(0, semicolon + 1));
    for (std::size_t length = std::min(candidate.size(), longestLegacyName); !found && length > 0; --length)
        found = findName(HTMLLegacyNamedCharacterReferences, legacyStarts, candidate.substr(0, length));
    if (!found)
        return std::nullopt;
    if (matchedName)
        *matchedName = found->name;
    return found->value;
}

char16_t ReplacementForNumericCharacterReference(std::uint32_t number)
{
    const auto found = std::lower_bound(numericReplacements.begin(), numericReplacements.end(), number,
                                        [](const auto& row, std::uint32_t key) { return row.first < key; });
    return found != numericReplacements.end() && found->first == number ? found->second : 0;
}

bool IsAlphanumericCharacter(char16_t c)
{
    const auto found = std::upper_bound(HTMLAlphanumericRanges.begin(), HTMLAlphanumericRanges.end(), c,
                                        [](char16_t key, const HTMLCharacterRange& range) { return key < range.first; });
    return found != HTMLAlphanumericRanges.begin() && c <= std::prev(found)->last;
}

std::u16string html_stringByEscapingForHTML(std::u16string_view string)
{
    std::u16string escaped;
    escaped.reserve(string.size());
    for (const char16_t u : string) {
        switch (u) {
        case u'&': escaped += u"&amp;"; break;
        case 0x00A0: escaped += u"&nbsp;"; break;
        case u'"': escaped += u"&quot;"; break;
        case u'<': escaped += u"&lt;"; break;
        case u'>': escaped += u"&gt;"; break;
        default: escaped += u;
        }
    }
    return escaped;
}

std::u16string html_stringByUnescapingHTML(std::u16string_view string)
{
    // References never contain "&", so decoding them front to back reads the
    // same text as any other order. A trailing "&" does not stop the
    // references before it from being decoded.
    std::u16string result;
    result.reserve(string.size());
    std::size_t copied = 0;
    for (std::size_t ampersand = string.find(u'&'); ampersand != std::u16string_view::npos;
         ampersand = string.find(u'&', ampersand + 1)) {
        std::size_t end = ampersand + 1;
        std::u16string replacement;
        if (end < string.size() && string[end] == u'#') {
            ++end;
            const std::optional<char32_t> number = numericReferenceValue(string, end);
            if (!number)
                continue;
            char32_t c = *number;
            if (const char16_t row = ReplacementForNumericCharacterReference(c))
                c = row;
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                c = 0xFFFD;
            AppendLongCharacter(replacement, c);
            if (end < string.size() && string[end] == u';')
                ++end;
        } else {
            std::u16string_view name;
            const auto value = StringForNamedCharacterReference(string.substr(end, 32), &name);
            if (!value)
                continue;
            replacement = *value;
            end += name.size();
        }
        result.append(string.substr(copied, ampersand - copied));
        result += replacement;
        copied = end;
    }
    result.append(string.substr(copied));
    return result;
}
