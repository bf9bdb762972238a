#include "html/HTMLParserTables.h"

#include "html/HTMLTagNames.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace {

// Lower-case name to its mixed-case form, built once from the mixed-case names.
template <std::size_t N>
std::unordered_map<std::u16string, std::u16string_view> caseTable(const std::array<std::u16string_view, N>& names)
{
    std::unordered_map<std::u16string, std::u16string_view> table;
    for (std::u16string_view name : names) {
        std::u16string lower(name);
        for (char16_t& c : lower) {
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 0x20);
        }
        table.emplace(std::move(lower), name);
    }
    return table;
}

constexpr std::array<std::u16string_view, 58> svgAttributeNames = {
    u"attributeName", u"attributeType", u"baseFrequency", u"baseProfile", u"calcMode", u"clipPathUnits",
    u"diffuseConstant", u"edgeMode", u"filterUnits", u"glyphRef", u"gradientTransform", u"gradientUnits",
    u"kernelMatrix", u"kernelUnitLength", u"keyPoints", u"keySplines", u"keyTimes", u"lengthAdjust",
    u"limitingConeAngle", u"markerHeight", u"markerUnits", u"markerWidth", u"maskContentUnits", u"maskUnits",
    u"numOctaves", u"pathLength", u"patternContentUnits", u"patternTransform", u"patternUnits", u"pointsAtX",
    u"pointsAtY", u"pointsAtZ", u"preserveAlpha", u"preserveAspectRatio", u"primitiveUnits", u"refX", u"refY",
    u"repeatCount", u"repeatDur", u"requiredExtensions", u"requiredFeatures", u"specularConstant",
    u"specularExponent", u"spreadMethod", u"startOffset", u"stdDeviation", u"stitchTiles", u"surfaceScale",
    u"systemLanguage", u"tableValues", u"targetX", u"targetY", u"textLength", u"viewBox", u"viewTarget",
    u"xChannelSelector", u"yChannelSelector", u"zoomAndPan",
};

// The earlier table: no entry for feDropShadow.
constexpr std::array<std::u16string_view, 36> svgTagNames = {
    u"altGlyph", u"altGlyphDef", u"altGlyphItem", u"animateColor", u"animateMotion", u"animateTransform",
    u"clipPath", u"feBlend", u"feColorMatrix", u"feComponentTransfer", u"feComposite", u"feConvolveMatrix",
    u"feDiffuseLighting", u"feDisplacementMap", u"feDistantLight", u"feFlood", u"feFuncA", u"feFuncB", u"feFuncG",
    u"feFuncR", u"feGaussianBlur", u"feImage", u"feMerge", u"feMergeNode", u"feMorphology", u"feOffset",
    u"fePointLight", u"feSpecularLighting", u"feSpotLight", u"feTile", u"feTurbulence", u"foreignObject",
    u"glyphRef", u"linearGradient", u"radialGradient", u"textPath",
};

constexpr HTMLTagSet specialHTMLElementNames = {
    u"address", u"applet", u"area", u"article", u"aside", u"base", u"basefont", u"bgsound", u"blockquote",
    u"body", u"br", u"button", u"caption", u"center", u"col", u"colgroup", u"dd", u"details", u"dir", u"div",
    u"dl", u"dt", u"embed", u"fieldset", u"figcaption", u"figure", u"footer", u"form", u"frame", u"frameset",
    u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"head", u"header", u"hgroup", u"hr", u"html", u"iframe", u"img",
    u"input", u"li", u"link", u"listing", u"main", u"marquee", u"menu", u"meta", u"nav", u"noembed",
    u"noframes", u"noscript", u"object", u"ol", u"p", u"param", u"plaintext", u"pre", u"script", u"section",
    u"select", u"source", u"style", u"summary", u"table", u"tbody", u"td", u"template", u"textarea", u"tfoot",
    u"th", u"thead", u"title", u"tr", u"track", u"ul", u"wbr", u"xmp",
};
constexpr HTMLTagSet specialMathMLElementNames = {u"mi", u"mo", u"mn", u"ms", u"mtext", u"annotation-xml"};
constexpr HTMLTagSet specialSVGElementNames = {u"foreignObject", u"desc", u"title"};

constexpr std::array<std::u16string_view, 55> quirksPublicIdentifierPrefixes = {
    u"+//Silmaril//dtd html Pro v0r11 19970101//",
    u"-//AS//DTD HTML 3.0 asWedit + extensions//",
    u"-//AdvaSoft Ltd//DTD HTML 3.0 asWedit + extensions//",
    u"-//IETF//DTD HTML 2.0 Level 1//",
    u"-//IETF//DTD HTML 2.0 Level 2//",
    u"-//IETF//DTD HTML 2.0 Strict Level 1//",
    u"-//IETF//DTD HTML 2.0 Strict Level 2//",
    u"-//IETF//DTD HTML 2.0 Strict//",
    u"-//IETF//DTD HTML 2.0//",
    u"-//IETF//DTD HTML 2.1E//",
    u"-//IETF//DTD HTML 3.0//",
    u"-//IETF//DTD HTML 3.2 Final//",
    u"-//IETF//DTD HTML 3.2//",
    u"-//IETF//DTD HTML 3//",
    u"-//IETF//DTD HTML Level 0//",
    u"-//IETF//DTD HTML Level 1//",
    u"-//IETF//DTD HTML Level 2//",
    u"-//IETF//DTD HTML Level 3//",
    u"-//IETF//DTD HTML Strict Level 0//",
    u"-//IETF//DTD HTML Strict Level 1//",
    u"-//IETF//DTD HTML Strict Level 2//",
    u"-//IETF//DTD HTML Strict Level 3//",
    u"-//IETF//DTD HTML Strict//",
    u"-//IETF//DTD HTML//",
    u"-//Metrius//DTD Metrius Presentational//",
    u"-//Microsoft//DTD Internet Explorer 2.0 HTML Strict//",
    u"-//Microsoft//DTD Internet Explorer 2.0 HTML//",
    u"-//Microsoft//DTD Internet Explorer 2.0 Tables//",
    u"-//Microsoft//DTD Internet Explorer 3.0 HTML Strict//",
    u"-//Microsoft//DTD Internet Explorer 3.0 HTML//",
    u"-//Microsoft//DTD Internet Explorer 3.0 Tables//",
    u"-//Netscape Comm. Corp.//DTD HTML//",
    u"-//Netscape Comm. Corp.//DTD Strict HTML//",
    u"-//O'Reilly and Associates//DTD HTML 2.0//",
    u"-//O'Reilly and Associates//DTD HTML Extended 1.0//",
    u"-//O'Reilly and Associates//DTD HTML Extended Relaxed 1.0//",
    u"-//SQ//DTD HTML 2.0 HoTMetaL + extensions//",
    u"-//SoftQuad Software//DTD HoTMetaL PRO 6.0::19990601::extensions to HTML 4.0//",
    u"-//SoftQuad//DTD HoTMetaL PRO 4.0::19971010::extensions to HTML 4.0//",
    u"-//Spyglass//DTD HTML 2.0 Extended//",
    u"-//Sun Microsystems Corp.//DTD HotJava HTML//",
    u"-//Sun Microsystems Corp.//DTD HotJava Strict HTML//",
    u"-//W3C//DTD HTML 3 1995-03-24//",
    u"-//W3C//DTD HTML 3.2 Draft//",
    u"-//W3C//DTD HTML 3.2 Final//",
    u"-//W3C//DTD HTML 3.2//",
    u"-//W3C//DTD HTML 3.2S Draft//",
    u"-//W3C//DTD HTML 4.0 Frameset//",
    u"-//W3C//DTD HTML 4.0 Transitional//",
    u"-//W3C//DTD HTML Experimental 19960712//",
    u"-//W3C//DTD HTML Experimental 970421//",
    u"-//W3C//DTD W3 HTML//",
    u"-//W3O//DTD W3 HTML 3.0//",
    u"-//WebTechs//DTD Mozilla HTML 2.0//",
    u"-//WebTechs//DTD Mozilla HTML//",
};

bool startsWithAny(std::u16string_view string, std::initializer_list<std::u16string_view> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(), [&](std::u16string_view p) { return string.starts_with(p); });
}

} // namespace

bool EqualIgnoringASCIICase(std::u16string_view a, std::u16string_view b)
{
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) {
               return lower(x) == lower(y);
           });
}

bool IsSpecialElement(const HTMLElement& element)
{
    const std::size_t number = element.tagNameNumber();
    switch (element.htmlNamespace()) {
    case HTMLNamespace::HTML:
        return specialHTMLElementNames.contains(number);
    case HTMLNamespace::MathML:
        return specialMathMLElementNames.contains(number);
    case HTMLNamespace::SVG:
        return specialSVGElementNames.contains(number);
    }
    return false;
}

bool IsMathMLTextIntegrationPoint(const HTMLElement& element)
{
    return element.htmlNamespace() == HTMLNamespace::MathML
        && IsOneOf(element.tagName(), {u"mi", u"mo", u"mn", u"ms", u"mtext"});
}

bool IsHTMLIntegrationPoint(const HTMLElement& element)
{
    if (element.htmlNamespace() == HTMLNamespace::MathML && element.tagName() == u"annotation-xml") {
        const HTMLOrderedDictionary::String* encoding = element.objectForKeyedSubscript(u"encoding");
        return encoding
            && (EqualIgnoringASCIICase(*encoding, u"text/html")
                || EqualIgnoringASCIICase(*encoding, u"application/xhtml+xml"));
    }
    return element.htmlNamespace() == HTMLNamespace::SVG
        && IsOneOf(element.tagName(), {u"foreignObject", u"desc", u"title"});
}

void AdjustMathMLAttributes(HTMLTagToken& tag)
{
    const std::size_t index = tag.attributes().indexOfKey(u"definitionurl");
    if (index == HTMLNotFound)
        return;
    HTMLOrderedDictionary adjusted(tag.attributes().resource());
    adjusted.reserve(tag.attributes().count());
    for (const auto& [name, value] : tag.attributes())
        adjusted.setObject(value, name == u"definitionurl" ? u"definitionURL" : std::u16string_view(name));
    tag.setAttributes(std::move(adjusted));
}

void AdjustSVGAttributes(HTMLTagToken& tag)
{
    static const auto table = caseTable(svgAttributeNames);
    if (std::none_of(tag.attributes().begin(), tag.attributes().end(),
                     [](const auto& entry) { return table.contains(std::u16string(entry.first)); }))
        return;
    HTMLOrderedDictionary adjusted(tag.attributes().resource());
    adjusted.reserve(tag.attributes().count());
    for (const auto& [name, value] : tag.attributes()) {
        const auto entry = table.find(std::u16string(name));
        adjusted.setObject(value, entry == table.end() ? std::u16string_view(name) : entry->second);
    }
    tag.setAttributes(std::move(adjusted));
}

std::u16string_view AdjustedSVGTagName(std::u16string_view tagName)
{
    static const auto table = caseTable(svgTagNames);
    const auto entry = table.find(std::u16string(tagName));
    return entry == table.end() ? tagName : entry->second;
}

bool IsForeignContentBreakoutStartTag(const HTMLStartTagToken& tag)
{
    static const std::unordered_set<std::u16string_view> names = {
        u"b", u"big", u"blockquote", u"body", u"br", u"center", u"code", u"dd", u"div", u"dl", u"dt",
        u"em", u"embed", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"head", u"hr", u"i", u"img", u"li",
        u"listing", u"menu", u"meta", u"nobr", u"ol", u"p", u"pre", u"ruby", u"s", u"small", u"span",
        u"strong", u"strike", u"sub", u"sup", u"table", u"tt", u"u", u"ul", u"var",
    };
    if (names.contains(tag.tagName()))
        return true;
    const HTMLOrderedDictionary& attributes = tag.attributes();
    return tag.tagName() == u"font"
        && (attributes.objectForKey(u"color") || attributes.objectForKey(u"face") || attributes.objectForKey(u"size"));
}

bool IsDOCTYPEParseError(const HTMLDOCTYPEToken& doctype)
{
    if (doctype.name() != u"html")
        return true;
    const auto& publicIdentifier = doctype.publicIdentifier();
    const auto& systemIdentifier = doctype.systemIdentifier();
    if (!publicIdentifier)
        return systemIdentifier && *systemIdentifier != u"about:legacy-compat";
    // The obsolete permitted DOCTYPEs, each with its own system identifier.
    if (*publicIdentifier == u"-//W3C//DTD HTML 4.0//EN")
        return systemIdentifier && *systemIdentifier != u"http://www.w3.org/TR/REC-html40/strict.dtd";
    if (*publicIdentifier == u"-//W3C//DTD HTML 4.01//EN")
        return systemIdentifier && *systemIdentifier != u"http://www.w3.org/TR/html4/strict.dtd";
    if (*publicIdentifier == u"-//W3C//DTD XHTML 1.0 Strict//EN")
        return systemIdentifier != u"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd";
    if (*publicIdentifier == u"-//W3C//DTD XHTML 1.1//EN")
        return systemIdentifier != u"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd";
    return true;
}

HTMLQuirksMode QuirksModeForDOCTYPE(const HTMLDOCTYPEToken& doctype)
{
    if (doctype.forceQuirks() || doctype.name() != u"html")
        return HTMLQuirksMode::Quirks;
    // A missing identifier matches nothing below.
    const std::u16string publicIdentifier = doctype.publicIdentifier().value_or(u"");
    const bool hasPublicIdentifier = doctype.publicIdentifier().has_value();
    const bool hasSystemIdentifier = doctype.systemIdentifier().has_value();
    if (hasPublicIdentifier
        && (std::any_of(quirksPublicIdentifierPrefixes.begin(), quirksPublicIdentifierPrefixes.end(),
                        [&](std::u16string_view prefix) { return publicIdentifier.starts_with(prefix); })
            || IsOneOf(publicIdentifier, {u"-//W3O//DTD W3 HTML Strict 3.0//EN//", u"-/W3C/DTD HTML 4.0 Transitional/EN",
                                          u"HTML"})))
        return HTMLQuirksMode::Quirks;
    if (doctype.systemIdentifier() == u"http://www.ibm.com/data/dtd/v11/ibmxhtml1-transitional.dtd")
        return HTMLQuirksMode::Quirks;
    const bool isHTML401FramesetOrTransitional =
        hasPublicIdentifier
        && startsWithAny(publicIdentifier, {u"-//W3C//DTD HTML 4.01 Frameset//", u"-//W3C//DTD HTML 4.01 Transitional//"});
    if (!hasSystemIdentifier && isHTML401FramesetOrTransitional)
        return HTMLQuirksMode::Quirks;
    if (hasPublicIdentifier
        && startsWithAny(publicIdentifier,
                         {u"-//W3C//DTD XHTML 1.0 Frameset//", u"-//W3C//DTD XHTML 1.0 Transitional//"}))
        return HTMLQuirksMode::LimitedQuirks;
    if (hasSystemIdentifier && isHTML401FramesetOrTransitional)
        return HTMLQuirksMode::LimitedQuirks;
    return HTMLQuirksMode::NoQuirks;
}
