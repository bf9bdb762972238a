#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The element names documents use most, numbered by their place here.
inline constexpr std::u16string_view KnownTagNames[] = {
    // HTML
    u"a", u"abbr", u"acronym", u"address", u"applet", u"area", u"article", u"aside", u"audio", u"b", u"base",
    u"basefont", u"bdi", u"bdo", u"bgsound", u"big", u"blink", u"blockquote", u"body", u"br", u"button", u"canvas",
    u"caption", u"center", u"cite", u"code", u"col", u"colgroup", u"data", u"datalist", u"dd", u"del", u"details",
    u"dfn", u"dialog", u"dir", u"div", u"dl", u"dt", u"em", u"embed", u"fieldset", u"figcaption", u"figure", u"font",
    u"footer", u"form", u"frame", u"frameset", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"head", u"header",
    u"hgroup", u"hr", u"html", u"i", u"iframe", u"image", u"img", u"input", u"ins", u"isindex", u"kbd", u"keygen",
    u"label", u"legend", u"li", u"link", u"listing", u"main", u"map", u"mark", u"marquee", u"menu", u"menuitem",
    u"meta", u"meter", u"nav", u"nobr", u"noembed", u"noframes", u"noscript", u"object", u"ol", u"optgroup",
    u"option", u"output", u"p", u"param", u"picture", u"plaintext", u"pre", u"progress", u"q", u"rb", u"rp", u"rt",
    u"rtc", u"ruby", u"s", u"samp", u"script", u"search", u"section", u"select", u"slot", u"small", u"source",
    u"span", u"strike", u"strong", u"style", u"sub", u"summary", u"sup", u"table", u"tbody", u"td", u"template",
    u"textarea", u"tfoot", u"th", u"thead", u"time", u"title", u"tr", u"track", u"tt", u"u", u"ul", u"var",
    u"video", u"wbr", u"xmp",
    // SVG
    u"svg", u"g", u"path", u"circle", u"rect", u"line", u"polygon", u"polyline", u"ellipse", u"defs", u"use",
    u"symbol", u"desc", u"clipPath", u"linearGradient", u"radialGradient", u"stop", u"mask", u"text", u"tspan",
    u"foreignObject",
    // MathML
    u"math", u"mi", u"mo", u"mn", u"ms", u"mtext", u"mrow", u"annotation-xml",
};

constexpr std::size_t KnownTagNameCount = std::size(KnownTagNames);

// The number of a name, KnownTagNameCount for any name not known.
std::size_t KnownTagNameNumber(std::u16string_view name);
// The shared copies of the known names, in their order; see KnownTagNameWithNumber.
const std::u16string* KnownTagNameStrings();

// Each known name is stored once for the whole program: an element with one
// of them points at this shared copy (number less than KnownTagNameCount)
// instead of holding its own. Inline, as every element and tag token made
// with a known name asks for it.
inline const std::u16string* KnownTagNameWithNumber(std::size_t number)
{
    static const std::u16string* const strings = KnownTagNameStrings();
    return strings + number;
}

// The number of a known name, found when the program is compiled (a name
// outside the table does not compile).
consteval std::size_t KnownTagNameNumberOf(std::u16string_view name)
{
    std::size_t number = 0;
    while (KnownTagNames[number] != name)
        ++number;
    return number;
}

// A set of known names built when the program is compiled (a name outside
// the table does not compile), so that testing a name number against a long
// list of names is one bit test.
class HTMLTagSet {
public:
    consteval HTMLTagSet(std::initializer_list<std::u16string_view> names)
    {
        for (const std::u16string_view name : names) {
            const std::size_t number = KnownTagNameNumberOf(name);
            words_[number / 64] |= std::uint64_t {1} << (number % 64);
        }
    }

    constexpr bool contains(std::size_t number) const
    {
        return number < KnownTagNameCount && (words_[number / 64] >> (number % 64) & 1) != 0;
    }

private:
    std::array<std::uint64_t, (KnownTagNameCount + 63) / 64> words_ {};
};

// A value for each known name, found by the name's number; names not listed,
// and names outside the table (number KnownTagNameCount), get Value {}. Built
// when the program is compiled: a name listed twice does not compile.
template <typename Value>
struct HTMLTagValue {
    Value value;
    std::initializer_list<std::u16string_view> names;
};

template <typename Value>
consteval std::array<Value, KnownTagNameCount + 1> HTMLTagTable(std::initializer_list<HTMLTagValue<Value>> entries)
{
    std::array<Value, KnownTagNameCount + 1> table {};
    for (const HTMLTagValue<Value>& entry : entries) {
        for (const std::u16string_view name : entry.names) {
            // The search of KnownTagNameNumberOf, written out: some compilers
            // refuse that immediate call inside a function template.
            std::size_t number = 0;
            while (KnownTagNames[number] != name)
                ++number;
            Value& slot = table[number];
            if (slot != Value {})
                throw "a name with two values";
            slot = entry.value;
        }
    }
    return table;
}
