// The in body insertion mode: where almost every element of a page is built.

#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>

namespace {

constexpr std::initializer_list<std::u16string_view> headingNames = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
constexpr HTMLTagSet headingTags = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};

// Each attribute of the tag that the element lacks is added to it; existing values stay.
void addMissingAttributes(HTMLElement& element, const HTMLTagToken& tag)
{
    for (const auto& [name, value] : tag.attributes()) {
        if (!element.objectForKeyedSubscript(name))
            element.setObject(value, name);
    }
}

} // namespace

void HTMLParser::handleInBody(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token)) {
        std::u16string_view text = characters->string();
        std::u16string withoutNulls;
        if (text.find(u'\0') != std::u16string_view::npos) {
            for (char16_t c : text) {
                if (c == u'\0')
                    addParseError("Ignoring U+0000 NULL in <body>");
                else
                    withoutNulls.push_back(c);
            }
            text = withoutNulls;
        }
        if (text.empty())
            return;
        reconstructTheActiveFormattingElements();
        insertCharacters(text);
        if (!std::all_of(text.begin(), text.end(), [](char16_t c) { return IsInHTMLWhitespaceCharacterSet(c); }))
            framesetOk_ = false;
        return;
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
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token)) {
        for (const ElementPtr& element : stackOfOpenElements_) {
            if (!IsOneOf(element->tagName(), {u"dd", u"dt", u"li", u"p", u"tbody", u"td", u"tfoot", u"th", u"thead",
                                              u"tr", u"body", u"html"})) {
                addParseError("Unclosed %@ element in <body> at end of file", element->tagName());
                break;
            }
        }
        return stopParsing();
    }
}

void HTMLParser::handleInBodyStartTag(HTMLToken& token)
{
    auto& tag = std::get<HTMLStartTagToken>(token);
    const std::u16string_view name = tag.tagName();
    const std::size_t number = tag.tagNameNumber();
    // "html"
    if (HTMLTagSet({u"html"}).contains(number)) {
        addParseError("Start tag named html in <body>");
        if (!stackOfOpenElements_.empty())
            addMissingAttributes(*stackOfOpenElements_.front(), tag);
        return;
    }
    // "base", "basefont", "bgsound", "link", "meta", "noframes", "script", "style", "title"
    if (HTMLTagSet({u"base", u"basefont", u"bgsound", u"link", u"meta", u"noframes", u"script", u"style", u"title"})
            .contains(number))
        return processTokenUsingRulesFor(InsertionMode::InHead, token);
    // "body"
    if (HTMLTagSet({u"body"}).contains(number)) {
        addParseError("Start tag named body in <body>");
        if (stackOfOpenElements_.size() < 2 || stackOfOpenElements_[1]->tagName() != u"body")
            return;
        framesetOk_ = false;
        return addMissingAttributes(*stackOfOpenElements_[1], tag);
    }
    // "frameset"
    if (HTMLTagSet({u"frameset"}).contains(number)) {
        addParseError("Start tag named frameset in <body>");
        if (stackOfOpenElements_.size() < 2 || stackOfOpenElements_[1]->tagName() != u"body" || !framesetOk_)
            return;
        stackOfOpenElements_[1]->removeFromParentNode();
        while (stackOfOpenElements_.size() > 1)
            popCurrentNode();
        insertHTMLElementTakingAttributes(tag);
        return switchInsertionMode(InsertionMode::InFrameset);
    }
    // "address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
    // "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main", "nav", "ol", "p",
    // "section", "summary", "ul"
    if (HTMLTagSet({u"address", u"article", u"aside", u"blockquote", u"center", u"details", u"dialog", u"dir",
                       u"div", u"dl", u"fieldset", u"figcaption", u"figure", u"footer", u"header", u"hgroup",
                       u"main", u"nav", u"ol", u"p", u"section", u"summary", u"ul"}).contains(number)) {
        closePElementIfInButtonScope();
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "menu"
    if (HTMLTagSet({u"menu"}).contains(number)) {
        closePElementIfInButtonScope();
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "h1", "h2", "h3", "h4", "h5", "h6"
    if (headingTags.contains(number)) {
        closePElementIfInButtonScope();
        if (currentNodeIsOneOf(headingNames)) {
            addParseError("Nested header start tag %@ in <body>", name);
            popCurrentNode();
        }
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "pre", "listing"
    if (HTMLTagSet({u"pre", u"listing"}).contains(number)) {
        closePElementIfInButtonScope();
        insertHTMLElementTakingAttributes(tag);
        ignoreNextTokenIfLineFeed_ = true;
        framesetOk_ = false;
        return;
    }
    // "form"
    if (HTMLTagSet({u"form"}).contains(number)) {
        if (formElementPointer_)
            return addParseError("Start tag named form within a form in <body>");
        closePElementIfInButtonScope();
        formElementPointer_ = insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "li", "dd", "dt"
    if (HTMLTagSet({u"li", u"dd", u"dt"}).contains(number)) {
        framesetOk_ = false;
        inBodyListItemWalk(name == u"li" ? Names {u"li"} : Names {u"dd", u"dt"});
        closePElementIfInButtonScope();
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "plaintext"
    if (HTMLTagSet({u"plaintext"}).contains(number)) {
        closePElementIfInButtonScope();
        insertHTMLElementTakingAttributes(tag);
        tokenizer_.setState(HTMLTokenizerState::PLAINTEXT);
        return;
    }
    // "button"
    if (HTMLTagSet({u"button"}).contains(number)) {
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"button"))) {
            addParseError("Nested button tag in <body>");
            generateImpliedEndTags();
            popElementsUntilOneNumberedIsPopped(KnownTagNameNumberOf(u"button"));
        }
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        framesetOk_ = false;
        return;
    }
    // "a"
    if (HTMLTagSet({u"a"}).contains(number)) {
        if (ElementPtr a = activeFormattingElementNamed(u"a")) {
            addParseError("Nested start tag 'a' in <body>");
            if (!runTheAdoptionAgencyAlgorithm(u"a"))
                inBodyAnyOtherEndTag(u"a");
            removeFromListOfActiveFormattingElements(a.get());
            removeFromStackOfOpenElements(a.get());
        }
        reconstructTheActiveFormattingElements();
        pushOntoListOfActiveFormattingElements(insertHTMLElementTakingAttributes(tag));
        return;
    }
    // "b", "big", "code", "em", "font", "i", "s", "small", "strike", "strong", "tt", "u"
    if (HTMLTagSet({u"b", u"big", u"code", u"em", u"font", u"i", u"s", u"small", u"strike", u"strong", u"tt", u"u"})
            .contains(number)) {
        reconstructTheActiveFormattingElements();
        pushOntoListOfActiveFormattingElements(insertHTMLElementTakingAttributes(tag));
        return;
    }
    // "nobr"
    if (HTMLTagSet({u"nobr"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"nobr"))) {
            addParseError("Misnested nobr tag in <body>");
            // The open nobr may be missing from the list; it is then closed
            // as any other end tag, and this start tag is still inserted.
            if (!runTheAdoptionAgencyAlgorithm(u"nobr"))
                inBodyAnyOtherEndTag(u"nobr");
            reconstructTheActiveFormattingElements();
        }
        pushOntoListOfActiveFormattingElements(insertHTMLElementTakingAttributes(tag));
        return;
    }
    // "applet", "marquee", "object"
    if (HTMLTagSet({u"applet", u"marquee", u"object"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        pushMarkerOntoListOfActiveFormattingElements();
        framesetOk_ = false;
        return;
    }
    // "table"
    if (HTMLTagSet({u"table"}).contains(number)) {
        if (document_->quirksMode() != HTMLQuirksMode::Quirks)
            closePElementIfInButtonScope();
        insertHTMLElementTakingAttributes(tag);
        framesetOk_ = false;
        return switchInsertionMode(InsertionMode::InTable);
    }
    // "area", "br", "embed", "img", "keygen", "wbr"
    if (HTMLTagSet({u"area", u"br", u"embed", u"img", u"keygen", u"wbr"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        popCurrentNode();
        framesetOk_ = false;
        return;
    }
    // "input"
    if (HTMLTagSet({u"input"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        insertHTMLElementForToken(tag);
        popCurrentNode();
        const std::u16string* type = tag.attributes().objectForKey(u"type");
        if (!type || !EqualIgnoringASCIICase(*type, u"hidden"))
            framesetOk_ = false;
        return;
    }
    // "param", "source", "track"
    if (HTMLTagSet({u"param", u"source", u"track"}).contains(number)) {
        insertHTMLElementTakingAttributes(tag);
        return popCurrentNode();
    }
    // "hr"
    if (HTMLTagSet({u"hr"}).contains(number)) {
        closePElementIfInButtonScope();
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        insertHTMLElementTakingAttributes(tag);
        popCurrentNode();
        framesetOk_ = false;
        return;
    }
    // "image"
    if (HTMLTagSet({u"image"}).contains(number)) {
        addParseError("It's spelled 'img' in <body>");
        token = tag.copyWithTagName(u"img");
        return reprocessToken(token);
    }
    // "textarea"
    if (HTMLTagSet({u"textarea"}).contains(number)) {
        insertHTMLElementTakingAttributes(tag);
        ignoreNextTokenIfLineFeed_ = true;
        tokenizer_.setState(HTMLTokenizerState::RCDATA);
        framesetOk_ = false;
        return switchInsertionMode(InsertionMode::Text);
    }
    // "xmp"
    if (HTMLTagSet({u"xmp"}).contains(number)) {
        closePElementIfInButtonScope();
        reconstructTheActiveFormattingElements();
        framesetOk_ = false;
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    }
    // "iframe"
    if (HTMLTagSet({u"iframe"}).contains(number)) {
        framesetOk_ = false;
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    }
    // "noembed", "noscript" (scripting counts as enabled)
    if (HTMLTagSet({u"noembed", u"noscript"}).contains(number))
        return followGenericParsingAlgorithm(tag, HTMLTokenizerState::RAWTEXT);
    // "select"
    if (HTMLTagSet({u"select"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        framesetOk_ = false;
        const bool inTable = insertionMode_ == InsertionMode::InTable || insertionMode_ == InsertionMode::InCaption
            || insertionMode_ == InsertionMode::InTableBody || insertionMode_ == InsertionMode::InRow
            || insertionMode_ == InsertionMode::InCell;
        return switchInsertionMode(inTable ? InsertionMode::InSelectInTable : InsertionMode::InSelect);
    }
    // "optgroup", "option"
    if (HTMLTagSet({u"optgroup", u"option"}).contains(number)) {
        if (currentNodeIs(u"option"))
            popCurrentNode();
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "menuitem"
    if (HTMLTagSet({u"menuitem"}).contains(number)) {
        if (currentNodeIs(u"menuitem"))
            popCurrentNode();
        reconstructTheActiveFormattingElements();
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "rp", "rt"
    if (HTMLTagSet({u"rp", u"rt"}).contains(number)) {
        if (hasElementNumberedInScope(KnownTagNameNumberOf(u"ruby"))) {
            generateImpliedEndTags();
            if (!currentNodeIs(u"ruby"))
                addParseError("Start tag named %@ outside of ruby in <body>", name);
        }
        insertHTMLElementTakingAttributes(tag);
        return;
    }
    // "math"
    if (HTMLTagSet({u"math"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        AdjustMathMLAttributes(tag);
        insertElement(createElementForToken(tag, HTMLNamespace::MathML));
        if (tag.selfClosingFlag())
            popCurrentNode();
        return;
    }
    // "svg"
    if (HTMLTagSet({u"svg"}).contains(number)) {
        reconstructTheActiveFormattingElements();
        AdjustSVGAttributes(tag);
        insertElement(createElementForToken(tag, HTMLNamespace::SVG));
        if (tag.selfClosingFlag())
            popCurrentNode();
        return;
    }
    // "caption", "col", "colgroup", "frame", "head", "tbody", "td", "tfoot", "th", "thead", "tr"
    if (HTMLTagSet({u"caption", u"col", u"colgroup", u"frame", u"head", u"tbody", u"td", u"tfoot", u"th", u"thead",
                       u"tr"}).contains(number))
        return addParseError("Start tag named %@ ignored in <body>", name);
    // Any other start tag
    reconstructTheActiveFormattingElements();
    insertHTMLElementTakingAttributes(tag);
}

void HTMLParser::inBodyListItemWalk(Names names)
{
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        const HTMLElement& node = *stackOfOpenElements_[i];
        if (IsOneOf(node.tagName(), names)) {
            const std::u16string name = node.tagName();
            generateImpliedEndTags(name);
            if (!currentNodeIs(name))
                addParseError("Misnested %@ tag in <body>", name);
            popElementsUntilOneNamedIsPopped({name});
            return;
        }
        if (IsSpecialElement(node)
            && !(node.htmlNamespace() == HTMLNamespace::HTML && IsOneOf(node.tagName(), {u"address", u"div", u"p"})))
            return;
    }
}

void HTMLParser::handleInBodyEndTag(HTMLToken& token)
{
    const auto& tag = std::get<HTMLEndTagToken>(token);
    const std::u16string_view name = tag.tagName();
    const std::size_t number = tag.tagNameNumber();
    // "body", "html"
    if (HTMLTagSet({u"body", u"html"}).contains(number)) {
        if (!hasElementInScope({u"body"}))
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
    }
    // "address", "article", "aside", "blockquote", "button", "center", "details", "dialog", "dir", "div",
    // "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "listing", "main", "menu",
    // "nav", "ol", "pre", "section", "summary", "ul"
    if (HTMLTagSet({u"address", u"article", u"aside", u"blockquote", u"button", u"center", u"details", u"dialog",
                       u"dir", u"div", u"dl", u"fieldset", u"figcaption", u"figure", u"footer", u"header", u"hgroup",
                       u"listing", u"main", u"menu", u"nav", u"ol", u"pre", u"section", u"summary", u"ul"})
            .contains(number)) {
        if (!hasElementNumberedInScope(number))
            return addParseError("End tag '%@' for unmatched open tag in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIs(name))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNumberedIsPopped(number);
    }
    // "form"
    if (HTMLTagSet({u"form"}).contains(number)) {
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
    if (HTMLTagSet({u"p"}).contains(number)) {
        if (!hasElementInButtonScope(KnownTagNameNumberOf(u"p"))) {
            addParseError("Not closing unknown 'p' element in <body>");
            insertHTMLElementNamed(u"p");
        }
        return closePElement();
    }
    // "li"
    if (HTMLTagSet({u"li"}).contains(number)) {
        if (!hasElementInListItemScope(KnownTagNameNumberOf(u"li")))
            return addParseError("Not closing unknown 'li' element in <body>");
        generateImpliedEndTags(u"li");
        if (!currentNodeIs(u"li"))
            addParseError("Misnested end tag 'li' in <body>");
        return popElementsUntilOneNumberedIsPopped(KnownTagNameNumberOf(u"li"));
    }
    // "dd", "dt"
    if (HTMLTagSet({u"dd", u"dt"}).contains(number)) {
        if (!hasElementNumberedInScope(number))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags(name);
        if (!currentNodeIs(name))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNumberedIsPopped(number);
    }
    // "h1", "h2", "h3", "h4", "h5", "h6"
    if (headingTags.contains(number)) {
        if (!hasElementInScope(headingNames))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIs(name))
            addParseError("Misnested end tag '%@' in <body>", name);
        return popElementsUntilOneNamedIsPopped(headingNames);
    }
    // "a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong", "tt", "u"
    if (HTMLTagSet({u"a", u"b", u"big", u"code", u"em", u"font", u"i", u"nobr", u"s", u"small", u"strike",
                       u"strong", u"tt", u"u"}).contains(number)) {
        if (!runTheAdoptionAgencyAlgorithm(name))
            inBodyAnyOtherEndTag(name);
        return;
    }
    // "applet", "marquee", "object"
    if (HTMLTagSet({u"applet", u"marquee", u"object"}).contains(number)) {
        if (!hasElementNumberedInScope(number))
            return addParseError("Not closing unknown '%@' element in <body>", name);
        generateImpliedEndTags();
        if (!currentNodeIs(name))
            addParseError("Misnested end tag '%@' in <body>", name);
        popElementsUntilOneNumberedIsPopped(number);
        return clearTheListOfActiveFormattingElementsUpToTheLastMarker();
    }
    // "br"
    if (HTMLTagSet({u"br"}).contains(number)) {
        addParseError("'br' element cannot have an end tag");
        HTMLToken br = HTMLStartTagToken(u"br");
        return handleInBodyStartTag(br);
    }
    // Any other end tag
    inBodyAnyOtherEndTag(name);
}

void HTMLParser::inBodyAnyOtherEndTag(std::u16string_view tagName)
{
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        HTMLElement* node = stackOfOpenElements_[i].get();
        if (node->tagName() == tagName) {
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
