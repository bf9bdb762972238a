#include "html/HTMLTagNames.h"

#include <array>
#include <functional>
#include <unordered_map>

namespace {

constexpr std::u16string_view knownNames[] = {
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

struct NameHash {
    // Tag names are short: FNV-1a over the units.
    std::size_t operator()(std::u16string_view name) const noexcept
    {
        std::size_t hash = 14695981039346656037u;
        for (const char16_t unit : name)
            hash = (hash ^ unit) * 1099511628211u;
        return hash;
    }
};

struct Table {
    Table()
    {
        for (std::size_t i = 0; i < std::size(knownNames); ++i) {
            strings[i] = knownNames[i];
            byName.emplace(strings[i], &strings[i]);
        }
    }

    std::array<std::u16string, std::size(knownNames)> strings;
    std::unordered_map<std::u16string_view, const std::u16string*, NameHash> byName;
};

const Table& table()
{
    static const Table names;
    return names;
}

} // namespace

const std::u16string* KnownTagName(std::u16string_view name)
{
    const auto found = table().byName.find(name);
    return found == table().byName.end() ? nullptr : found->second;
}

std::size_t KnownTagNameCount()
{
    return std::size(knownNames);
}

std::size_t KnownTagNameNumber(const std::u16string& name)
{
    const auto& strings = table().strings;
    // std::less orders any two pointers, even into different objects.
    const std::less<const std::u16string*> before;
    if (before(&name, strings.data()) || !before(&name, strings.data() + strings.size()))
        return strings.size();
    return static_cast<std::size_t>(&name - strings.data());
}
