// The in body insertion mode: where almost every element of a page is built.

#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::initializer_list<std::u16string_view> headingNames = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
constexpr HTMLTagSet headingTags = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
constexpr HTMLTagSet listItemTags = {u"li"};
constexpr HTMLTagSet definitionTags = {u"dd", u"dt"};
// The special elements a list item start tag looks past for an open item.
constexpr HTMLTagSet listItemWalkPassesThrough = {u"address", u"div", u"p"};

// Whether the text holds a U+0000, eight units at a time where SSE2 is
// there: the last block overlaps the one before instead of a slower tail.
bool holdsNull(std::u16string_view text)
{
#if defined(__SSE2__)
    if (text.size() >= 8) {
        const auto nullsIn = [](const char16_t* units) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
            return _mm_movemask_epi8(_mm_cmpeq_epi16(block, _mm_setzero_si128())) != 0;
        };
        const char16_t* const last = text.data() + text.size() - 8;
        for (const char16_t* units = text.data(); units < last; units += 8) {
            if (nullsIn(units))
                return true;
        }
        return nullsIn(last);
    }
#endif
    return text.find(u'\0') != std::u16string_view::npos;
}

// Each attribute of the tag that the element lacks is added to it; existing values stay.
void addMissingAttributes(HTMLElement& element, const HTMLTagToken& tag)
{
    for (const auto& [name, value] : tag.attributes()) {
        if (!element.objectForKeyedSubscript(name))
            element.setObject(value, name);
    }
}

// The in body rules for start tags, found by the tag name's number.
enum class InBodyStartTag : std::uint8_t {
    // The rules that handleInBodyStartTag may follow without the full rules
    // come first, so that one comparison sends the others there.
    AnyOther,
    ClosesP,
    A,
    Formatting,
    Html,
    InHeadRules,
    Body,
    Frameset,
    Menu,
    Heading,
    PreListing,
    Form,
    ListItem,
    Plaintext,
    Button,
    Nobr,
    AppletMarqueeObject,
    Table,
    VoidFramesetNotOk,
    Input,
    ParamSourceTrack,
    Hr,
    Image,
    Textarea,
    Xmp,
    Iframe,
    NoembedNoscript,
    Select,
    OptgroupOption,
    Menuitem,
    RpRt,
    Math,
    Svg,
    Ignored,
};

constexpr auto inBodyStartTagRules = HTMLTagTable<InBodyStartTag>({
    {InBodyStartTag::Html, {u"html"}},
    {InBodyStartTag::InHeadRules,
     {u"base", u"basefont", u"bgsound", u"link", u"meta", u"noframes", u"script", u"style", u"title"}},
    {InBodyStartTag::Body, {u"body"}},
    {InBodyStartTag::Frameset, {u"frameset"}},
    {InBodyStartTag::ClosesP,
     {u"address", u"article", u"aside", u"blockquote", u"center", u"details", u"dialog", u"dir", u"div", u"dl",
      u"fieldset", u"figcaption", u"figure", u"footer", u"header", u"hgroup", u"main", u"nav", u"ol", u"p",
      u"section", u"summary", u"ul"}},
    {InBodyStartTag::Menu, {u"menu"}},
    {InBodyStartTag::Heading, {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}},
    {InBodyStartTag::PreListing, {u"pre", u"listing"}},
    {InBodyStartTag::Form, {u"form"}},
    {InBodyStartTag::ListItem, {u"li", u"dd", u"dt"}},
    {InBodyStartTag::Plaintext, {u"plaintext"}},
    {InBodyStartTag::Button, {u"button"}},
    {InBodyStartTag::A, {u"a"}},
    {InBodyStartTag::Formatting,
     {u"b", u"big", u"code", u"em", u"font", u"i", u"s", u"small", u"strike", u"strong", u"tt", u"u"}},
    {InBodyStartTag::Nobr, {u"nobr"}},
    {InBodyStartTag::AppletMarqueeObject, {u"applet", u"marquee", u"object"}},
    {InBodyStartTag::Table, {u"table"}},
    {InBodyStartTag::VoidFramesetNotOk, {u"area", u"br", u"embed", u"img", u"keygen", u"wbr"}},
    {InBodyStartTag::Input, {u"input"}},
    {InBodyStartTag::ParamSourceTrack, {u"param", u"source", u"track"}},
    {InBodyStartTag::Hr, {u"hr"}},
    {InBodyStartTag::Image, {u"image"}},
    {InBodyStartTag::Textarea, {u"textarea"}},
    {InBodyStartTag::Xmp, {u"xmp"}},
    {InBodyStartTag::Iframe, {u"iframe"}},
    {InBodyStartTag::NoembedNoscript, {u"noembed", u"noscript"}},
    {InBodyStartTag::Select, {u"select"}},
    {InBodyStartTag::OptgroupOption, {u"optgroup", u"option"}},
    {InBodyStartTag::Menuitem, {u"menuitem"}},
    {InBodyStartTag::RpRt, {u"rp", u"rt"}},
    {InBodyStartTag::Math, {u"math"}},
    {InBodyStartTag::Svg, {u"svg"}},
    {InBodyStartTag::Ignored,
     {u"caption", u"col", u"colgroup", u"frame", u"head", u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr"}},
});

// The in body rules for end tags, found by the tag name's number. The rules
// that only pop a current node of the name come first: the short way of
// handleInBodyEndTag tells them by one comparison.
enum class InBodyEndTag : std::uint8_t {
    AnyOther,
    Block,
    P,
    Li,
    DdDt,
    Heading,
    Formatting,
    BodyHtml,
    Form,
    AppletMarqueeObject,
    Br,
};

constexpr auto inBodyEndTagRules = HTMLTagTable<InBodyEndTag>({
    {InBodyEndTag::BodyHtml, {u"body", u"html"}},
    {InBodyEndTag::Block,
     {u"address", u"article", u"aside", u"blockquote", u"button", u"center", u"details", u"dialog", u"dir", u"div",
      u"dl", u"fieldset", u"figcaption", u"figure", u"footer", u"header", u"hgroup", u"listing", u"main", u"menu",
      u"nav", u"ol", u"pre", u"section", u"summary", u"ul"}},
    {InBodyEndTag::Form, {u"form"}},
    {InBodyEndTag::P, {u"p"}},
    {InBodyEndTag::Li, {u"li"}},
    {InBodyEndTag::DdDt, {u"dd", u"dt"}},
    {InBodyEndTag::Heading, {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}},
    {InBodyEndTag::Formatting,
     {u"a", u"b", u"big", u"code", u"em", u"font", u"i", u"nobr", u"s", u"small", u"strike", u"strong", u"tt", u"u"}},
    {InBodyEndTag::AppletMarqueeObject, {u"applet", u"marquee", u"object"}},
    {InBodyEndTag::Br, {u"br"}},
});

} // namespace

void HTMLParser::handleInBody(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token)) {
        const std::u16string_view text = characters->string();
        if (characters->mayHoldNull() && holdsNull(text)) [[unlikely]]
            return inBodyCharactersWithNulls(text);
        return inBodyCharacters(text);
    }
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE in <body>");
    // A start tag
    if (std::holds_alternative<HTMLStartTagToken>(token))
        return handleInBodyStartTag(token);
    // An end tag
    if (std::holds_alternative<HTMLEndTagToken>(token))
        return handleInBodyEndTag(token);
    // An error of the tokenizer (only the dispatch's short way sends one here)
    if (const auto* error = std::get_if<HTMLParseErrorToken>(&token))
        return addTokenizerError(*error);
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token)) {
        for (const ElementPtr& element : stackOfOpenElements_) {
            if (!HTMLTagSet({u"dd", u"dt", u"li", u"p", u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr", u"body",
                             u"html"}).contains(element->tagNameNumber())) {
                addParseError("Unclosed %@ element in <body> at end of file", element->tagName());
                break;
            }
        }
        return stopParsing();
    }
}

void HTMLParser::inBodyCharacters(std::u16string_view text)
{
    if (text.empty())
        return;
    // The flag first (nothing else reads it), so that the rare reconstruction
    // is the one call before the insertion's, which ends this function: no
    // frame is needed without it.
    if (framesetOk_
        && !std::all_of(text.begin(), text.end(), [](char16_t c) { return IsInHTMLWhitespaceCharacterSet(c); }))
        framesetOk_ = false;
    reconstructTheActiveFormattingElements();
    insertCharacters(text);
}

void HTMLParser::inBodyCharactersWithNulls(std::u16string_view text)
{
    std::u16string withoutNulls;
    for (char16_t c : text) {
        if (c == u'\0')
            addParseError("Ignoring U+0000 NULL in <body>");
        else
            withoutNulls.push_back(c);
    }
    inBodyCharacters(withoutNulls);
}

void HTMLParser::handleInBodyStartTag(HTMLToken& token)
{
    // Only start tags come here: no need for std::get's check.
    auto& tag = *std::get_if<HTMLStartTagToken>(&token);
    // Many start tags only insert their element: any other start tag, and a
    // block with no p open to close. Apart from the rare reconstruction, that
    // makes no call before the insertion's, so it needs no frame of its own;
    // nor do formatting elements and "a" while the list of active formatting
    // elements is empty. The rest, and a tag whose number is still to be
    // looked up (a call), take the full rules.
    if (tag.hasTagNameNumber()) {
        switch (inBodyStartTagRules[tag.tagNameNumber()]) {
        case InBodyStartTag::AnyOther:
            reconstructTheActiveFormattingElements();
            insertHTMLElementForToken(tag);
            return;
        case InBodyStartTag::ClosesP:
            if (hasOpenElementNumbered(KnownTagNameNumberOf(u"p")))
                break;
            insertHTMLElementForToken(tag);
            return;
        case InBodyStartTag::A:
        case InBodyStartTag::Formatting:
            // With the list empty, there is nothing to reconstruct, nor an a
            // in it to close first.
            if (!activeFormattingElements_.empty())
                break;
            return insertFormattingElementForToken(tag);
        default:
            break;
        }
    }
    handleInBodyStartTagRules(token);
}

void HTMLParser::handleInBodyStartTagRules(HTMLToken& token)
{
    auto& tag = *std::get_if<HTMLStartTagToken>(&token);
    switch (inBodyStartTagRules[tag.tagNameNumber()]) {
    // "html"
    case InBodyStartTag::Html:
        addParseError("Start tag named html in <body>");
        if (!stackOfOpenElements_.empty())
            addMissingAttributes(*stackOfOpenElements_.front(), tag);
        return;
    // "base", "basefont", "bgsound", "link", "meta", "noframes", "script", "style", "title"
    case InBodyStartTag::InHeadRules:
        return processTokenUsingRulesFor(InsertionMode::InHead, token);
    // "body"
    case InBodyStartTag::Body:
        addParseError("Start tag named body in <body>");
        if (stackOfOpenElements_.size() < 2 || stackOfOpenElements_[1]->tagName() != u"body")
            return;
        framesetOk_ = false;
        return addMissingAttributes(*stackOfOpenElements_[1], tag);
    // "frameset"
    case InBodyStartTag::Frameset:
        addParseError("Start tag named frameset in <body>");
        if (stackOfOpenElements_.size() < 2 || stackOfOpenElements_[1]->tagName() != u"body" || !framesetOk_)
            return;
        stackOfOpenElements_[1]->removeFromParentNode();
        while (stackOfOpenElements_.size() > 1)
            popCurrentNode();
        insertHTMLElementForToken(tag);
        return switchInsertionMode(InsertionMode::InFrameset);
    // "address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
    // "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main", "nav", "ol", "p",
    // "section", "summary", "ul"
    case InBodyStartTag::ClosesP:
        closePElementIfInButtonScope();
        insertHTMLElementForToken(tag);
        return;
    // "menu"
    case InBodyStartTag::Menu:
        closePElementIfInButtonScope();
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        insertHTMLElementForToken(tag);
        return;
    // "h1", "h2", "h3", "h4", "h5", "h6"
    case InBodyStartTag::Heading:
        closePElementIfInButtonScope();
        if (currentNodeIsOneOf(headingTags)) {
            addParseError("Nested header start tag %@ in <body>", tag.tagName());
            popCurrentNode();
        }
        insertHTMLElementForToken(tag);
        return;
    // "pre", "listing"
    case InBodyStartTag::PreListing:
        closePElementIfInButtonScope();
        insertHTMLElementForToken(tag);
        setIgnoreNextTokenIfLineFeed(true);
        framesetOk_ = false;
        return;
    // "form"
    case InBodyStartTag::Form:
        if (formElementPointer_)
            return addParseError("Start tag named form within a form in <body>");
        closePElementIfInButtonScope();
        formElementPointer_ = insertHTMLElementForToken(tag);
        return;
    // "li", "dd", "dt"
    case InBodyStartTag::ListItem: {
        framesetOk_ = false;
        // The walk only acts on an open item of the kind; mostly none is open.
        const bool listItem = tag.tagNameNumber() == KnownTagNameNumberOf(u"li");
        const bool itemOpen = listItem ? hasOpenElementNumbered(KnownTagNameNumberOf(u"li"))
                                       : hasOpenElementNumbered(KnownTagNameNumberOf(u"dd"))
                                             || hasOpenElementNumbered(KnownTagNameNumberOf(u"dt"));
        if (itemOpen)
            inBodyListItemWalk(listItem ? listItemTags : definitionTags);
        closePElementIfInButtonScope();
        insertHTMLElementForToken(tag);
        return;
    }
    // "plaintext"
    case InBodyStartTag::Plaintext:
        closePElementIfInButtonScope();
        insertHTMLElementForToken(tag);
        tokenizer_.setState(HTMLTokenizerState::PLAINTEXT);
        return;
    // "button"
    case InBodyStartTag::Button:
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"button"))) {
            addParseError("Nested button tag in <body>");
            generateImpliedEndTags();
            popElementsUntilOneNumberedIsPopped(KnownTagNameNumberOf(u"button"));
        }
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        framesetOk_ = false;
        return;
    // "a"
    case InBodyStartTag::A:
        if (ElementPtr a = activeFormattingElementNumbered(KnownTagNameNumberOf(u"a"))) {
            addParseError("Nested start tag 'a' in <body>");
            if (!runTheAdoptionAgencyAlgorithm(KnownTagNameNumberOf(u"a")))
                inBodyAnyOtherEndTag(u"a", KnownTagNameNumberOf(u"a"));
            removeFromListOfActiveFormattingElements(a.get());
            removeFromStackOfOpenElements(a.get());
        }
        reconstructTheActiveFormattingElements();
        pushOntoListOfActiveFormattingElements(insertHTMLElementForToken(tag));
        return;
    // "b", "big", "code", "em", "font", "i", "s", "small", "strike", "strong", "tt", "u"
    case InBodyStartTag::Formatting:
        reconstructTheActiveFormattingElements();
        pushOntoListOfActiveFormattingElements(insertHTMLElementForToken(tag));
        return;
    // "nobr"
    case InBodyStartTag::Nobr:
        reconstructTheActiveFormattingElements();
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"nobr"))) {
            addParseError("Misnested nobr tag in <body>");
            // The open nobr may be missing from the list; it is then closed
            // as any other end tag, and this start tag is still inserted.
            if (!runTheAdoptionAgencyAlgorithm(KnownTagNameNumberOf(u"nobr")))
                inBodyAnyOtherEndTag(u"nobr", KnownTagNameNumberOf(u"nobr"));
            reconstructTheActiveFormattingElements();
        }
        pushOntoListOfActiveFormattingElements(insertHTMLElementForToken(tag));
        return;
    // "applet", "marquee", "object"
    case InBodyStartTag::AppletMarqueeObject:
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        pushMarkerOntoListOfActiveFormattingElements();
        framesetOk_ = false;
        return;
    // "table"
    case InBodyStartTag::Table:
        if (document_->quirksMode() != HTMLQuirksMode::Quirks)
            closePElementIfInButtonScope();
        insertHTMLElementForToken(tag);
        framesetOk_ = false;
        return switchInsertionMode(InsertionMode::InTable);
    // "area", "br", "embed", "img", "keygen", "wbr"
    case InBodyStartTag::VoidFramesetNotOk:
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        popCurrentNode();
        framesetOk_ = false;
        return;
    // "input"
    case InBodyStartTag::Input: {
        reconstructTheActiveFormattingElements();
        const HTMLOrderedDictionary::String* type = tag.attributes().objectForKey(u"type");
        if (!type || !EqualIgnoringASCIICase(*type, u"hidden"))
            framesetOk_ = false;
        insertHTMLElementForToken(tag);
        popCurrentNode();
        return;
    }
    // "param", "source", "track"
    case InBodyStartTag::ParamSourceTrack:
        insertHTMLElementForToken(tag);
        return popCurrentNode();
    // "hr"
    case InBodyStartTag::Hr:
        closePElementIfInButtonScope();
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        insertHTMLElementForToken(tag);
        popCurrentNode();
        framesetOk_ = false;
        return;
    // "image"
    case InBodyStartTag::Image:
        addParseError("It's spelled 'img' in <body>");
        token = tag.copyWithTagName(u"img");
        return reprocessToken(token);
    // "textarea"
    case InBodyStartTag::Textarea:
        insertHTMLElementForToken(tag);
        setIgnoreNextTokenIfLineFeed(true);
        tokenizer_.setState(HTMLTokenizerState::RCDATA);
        framesetOk_ = false;
        return switchInsertionMode(InsertionMode::Text);
    // "xmp"
    case InBodyStartTag::Xmp:
        closePElementIfInButtonScope();
        reconstructTheActiveFormattingElements();
        framesetOk_ = false;
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    // "iframe"
    case InBodyStartTag::Iframe:
        framesetOk_ = false;
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    // "noembed", "noscript" (scripting counts as enabled)
    case InBodyStartTag::NoembedNoscript:
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    // "select"
    case InBodyStartTag::Select: {
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        framesetOk_ = false;
        const bool inTable = insertionMode_ == InsertionMode::InTable || insertionMode_ == InsertionMode::InCaption
            || insertionMode_ == InsertionMode::InTableBody || insertionMode_ == InsertionMode::InRow
            || insertionMode_ == InsertionMode::InCell;
        return switchInsertionMode(inTable ? InsertionMode::InSelectInTable : InsertionMode::InSelect);
    }
    // "optgroup", "option"
    case InBodyStartTag::OptgroupOption:
        if (currentNodeIs(u"option"))
            popCurrentNode();
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        return;
    // "menuitem"
    case InBodyStartTag::Menuitem:
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        return;
    // "rp", "rt"
    case InBodyStartTag::RpRt:
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"ruby"))) {
            generateImpliedEndTags();
            if (!currentNodeIs(u"ruby"))
                addParseError("Start tag named %@ outside of ruby in <body>", tag.tagName());
        }
        insertHTMLElementForToken(tag);
        return;
    // "math"
    case InBodyStartTag::Math:
        reconstructTheActiveFormattingElements();
        AdjustMathMLAttributes(tag);
        insertElement(createElementForToken(tag, HTMLNamespace::MathML));
        if (tag.selfClosingFlag())
            popCurrentNode();
        return;
    // "svg"
    case InBodyStartTag::Svg:
        reconstructTheActiveFormattingElements();
        AdjustSVGAttributes(tag);
        insertElement(createElementForToken(tag, HTMLNamespace::SVG));
        if (tag.selfClosingFlag())
            popCurrentNode();
        return;
    // "caption", "col", "colgroup", "frame", "head", "tbody", "td", "tfoot", "th", "thead", "tr"
    case InBodyStartTag::Ignored:
        return addParseError("Start tag named %@ ignored in <body>", tag.tagName());
    // Any other start tag
    case InBodyStartTag::AnyOther:
        break;
    }
    reconstructTheActiveFormattingElements();
    insertHTMLElementForToken(tag);
}

void HTMLParser::insertFormattingElementForToken(HTMLStartTagToken& tag)
{
    pushOntoListOfActiveFormattingElements(insertHTMLElementForToken(tag));
}

void HTMLParser::inBodyListItemWalk(const HTMLTagSet& names)
{
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        const HTMLElement& node = *stackOfOpenElements_[i];
        if (names.contains(node.tagNameNumber())) {
            const std::size_t number = node.tagNameNumber();
            const std::u16string name = node.tagName();
            generateImpliedEndTags(name);
            if (!currentNodeIs(name))
                addParseError("Misnested %@ tag in <body>", name);
            popElementsUntilOneNumberedIsPopped(number);
            return;
        }
        if (IsSpecialElement(node)
            && !(node.htmlNamespace() == HTMLNamespace::HTML
                 && listItemWalkPassesThrough.contains(node.tagNameNumber())))
            return;
    }
}

void HTMLParser::handleInBodyEndTag(HTMLToken& token)
{
    // Only end tags come here: no need for std::get's check.
    const auto& tag = *std::get_if<HTMLEndTagToken>(&token);
    // Most end tags close the current node, of a common name. Then the element
    // is in scope, no end tags are implied and nothing is misnested: the steps
    // of these rules would only pop it. (A name whose number is still to be
    // looked up, a call, takes the steps.)
    const std::size_t number = tag.hasTagNameNumber() ? tag.tagNameNumber() : KnownTagNameCount;
    if (number < KnownTagNameCount && currentNodeIsNumbered(number)) {
        switch (inBodyEndTagRules[number]) {
        case InBodyEndTag::Block:
        case InBodyEndTag::P:
        case InBodyEndTag::Li:
        case InBodyEndTag::DdDt:
        case InBodyEndTag::Heading:
        case InBodyEndTag::AnyOther:
            return popCurrentNode();
        case InBodyEndTag::Formatting:
            // Only while it is the newest entry of the list.
            if (closeCurrentFormattingElement(number))
                return;
            break;
        default:
            break;
        }
    }
    handleInBodyEndTagSteps(token);
}

void HTMLParser::handleInBodyEndTagSteps(HTMLToken& token)
{
    const auto& tag = *std::get_if<HTMLEndTagToken>(&token);
    const std::u16string_view name = tag.tagName();
    const std::size_t number = tag.tagNameNumber();
    switch (inBodyEndTagRules[number]) {
    // "body", "html"
    case InBodyEndTag::BodyHtml:
        if (!hasElementNumberedInScope(KnownTagNameNumberOf(u"body")))
            return addParseError("End tag named %@ without body in scope in <body>", name);
        for (auto element = stackOfOpenElements_.rbegin(); element != stackOfOpenElements_.rend(); ++element) {
            if (!IsOneOf((*element)->tagName(), {u"dd", u"dt", u"li", u"optgroup", u"option", u"p", u"rp", u"rt",
                                                 u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr", u"body", u"html"})) {
                addParseError("Misplaced %@ element in <body>", (*element)->tagName());
                break;
            }
        }
        switchInsertionMode(InsertionMode::AfterBody);
        if (name == u"html")
            reprocessToken(token);
        return;
    // "address", "article", "aside", "blockquote", "button", "center", "details", "dialog", "dir", "div",
    // "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "listing", "main", "menu",
    // "nav", "ol", "pre", "section", "summary", "ul"
    case InBodyEndTag::Block:
        if (!hasElementNumberedInScope(number))
            return addParseError("End tag '%@' for unmatched open tag in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIsNumbered(number))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNumberedIsPopped(number);
    // "form"
    case InBodyEndTag::Form: {
        const ElementPtr node = std::move(formElementPointer_);
        formElementPointer_ = nullptr;
        if (!node || !isElementInScope(node.get()))
            return addParseError("Closing misnested 'form' in <body>");
        generateImpliedEndTags();
        if (currentNode() != node.get())
            addParseError("Misnested 'form' in <body>");
        return removeFromStackOfOpenElements(node.get());
    }
    // "p"
    case InBodyEndTag::P:
        if (!hasElementInButtonScope(KnownTagNameNumberOf(u"p"))) {
            addParseError("Not closing unknown 'p' element in <body>");
            insertHTMLElementNamed(u"p");
        }
        return closePElement();
    // "li"
    case InBodyEndTag::Li:
        if (!hasElementInListItemScope(KnownTagNameNumberOf(u"li")))
            return addParseError("Not closing unknown 'li' element in <body>");
        generateImpliedEndTags(u"li");
        if (!currentNodeIs(u"li"))
            addParseError("Misnested end tag 'li' in <body>");
        return popElementsUntilOneNumberedIsPopped(KnownTagNameNumberOf(u"li"));
    // "dd", "dt"
    case InBodyEndTag::DdDt:
        if (!hasElementNumberedInScope(number))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags(name);
        if (!currentNodeIsNumbered(number))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNumberedIsPopped(number);
    // "h1", "h2", "h3", "h4", "h5", "h6"
    case InBodyEndTag::Heading:
        if (!hasElementInScope(headingNames))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIsNumbered(number))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNamedIsPopped(headingTags);
    // "a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong", "tt", "u"
    case InBodyEndTag::Formatting:
        if (!runTheAdoptionAgencyAlgorithm(number))
            inBodyAnyOtherEndTag(name, number);
        return;
    // "applet", "marquee", "object"
    case InBodyEndTag::AppletMarqueeObject:
        if (!hasElementNumberedInScope(number))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIsNumbered(number))
            addParseError("Misnested end tag '%@' in <body>", name);
        popElementsUntilOneNumberedIsPopped(number);
        return clearTheListOfActiveFormattingElementsUpToTheLastMarker();
    // "br"
    case InBodyEndTag::Br: {
        addParseError("'br' element cannot have an end tag");
        HTMLToken br = HTMLStartTagToken(u"br");
        return handleInBodyStartTag(br);
    }
    // Any other end tag
    case InBodyEndTag::AnyOther:
        break;
    }
    inBodyAnyOtherEndTag(name, number);
}

void HTMLParser::inBodyAnyOtherEndTag(std::u16string_view tagName, std::size_t number)
{
    // A known name is told by its number alone.
    const bool known = number < KnownTagNameCount;
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        HTMLElement* node = stackOfOpenElements_[i].get();
        if (node->tagNameNumber() == number && (known || node->tagName() == tagName)) {
            // The current node (most often): no end tags to imply, nothing misnested.
            if (i + 1 == stackOfOpenElements_.size())
                return popCurrentNode();
            generateImpliedEndTags(tagName);
            if (!currentNodeIs(tagName))
                addParseError("Misnested '%@' end tag in <body>", tagName);
            return popElementsUntilElementIsPopped(node);
        }
        if (IsSpecialElement(*node))
            return addParseError("Ignoring end tag '%@' in <body>", tagName);
    }
}

void HTMLParser::closePElement()
{
    generateImpliedEndTags(u"p");
    if (!currentNodeIs(u"p"))
        addParseError("Closing 'p' element that isn't current");
    popElementsUntilOneNumberedIsPopped(KnownTagNameNumberOf(u"p"));
}

void HTMLParser::closePElementIfInButtonScope()
{
    if (hasElementInButtonScope(KnownTagNameNumberOf(u"p")))
        closePElement();
}
