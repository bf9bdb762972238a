// The rules for parsing tokens in foreign content (SVG and MathML).

#include "html/HTMLCodePoints.h"
#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"

#include <cassert>

namespace {

std::u16string asciiLowercase(std::u16string_view name)
{
    std::u16string lower(name);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 0x20);
    }
    return lower;
}

} // namespace

void HTMLParser::handleForeignContent(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token)) {
        std::u16string text = characters->string();
        for (char16_t& c : text) {
            if (c == u'\0') {
                addParseError("U+0000 NULL character in foreign content");
                c = u'\uFFFD';
            } else if (!IsHTMLWhitespace(c)) {
                framesetOk_ = false;
            }
        }
        return insertCharacters(text);
    }
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE in foreign content");
    // A start tag
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        // One of the HTML elements that break out of foreign content, or "font" with "color", "face" or "size"
        if (IsForeignContentBreakoutStartTag(*startTag)) {
            addParseError("Unexpected HTML start tag token in foreign content");
            // The earlier rule: inside a fragment the tag stays foreign.
            if (fragmentParsingAlgorithm_)
                return foreignContentAnyOtherStartTag(*startTag);
            popCurrentNode();
            while (const HTMLElement* node = currentNode()) {
                if (node->htmlNamespace() == HTMLNamespace::HTML || IsMathMLTextIntegrationPoint(*node)
                    || IsHTMLIntegrationPoint(*node))
                    break;
                popCurrentNode();
            }
            return reprocessToken(token);
        }
        // Any other start tag
        return foreignContentAnyOtherStartTag(*startTag);
    }
    // An end tag
    if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        const std::u16string_view name = endTag->tagName();
        std::size_t index = stackOfOpenElements_.size() - 1;
        if (asciiLowercase(stackOfOpenElements_[index]->tagName()) != name)
            addParseError("Misnested end tag '%@' in foreign content", name);
        while (index > 0) {
            HTMLElement* node = stackOfOpenElements_[index].get();
            if (asciiLowercase(node->tagName()) == name)
                return popElementsUntilElementIsPopped(node);
            if (stackOfOpenElements_[--index]->htmlNamespace() == HTMLNamespace::HTML)
                return processTokenUsingRulesFor(insertionMode_, token);
        }
        return;
    }
    assert(!"foreign content never receives the end of the file");
}

void HTMLParser::foreignContentAnyOtherStartTag(HTMLStartTagToken& tag)
{
    const HTMLNamespace ns = adjustedCurrentNode()->htmlNamespace();
    if (ns == HTMLNamespace::MathML)
        AdjustMathMLAttributes(tag);
    if (ns == HTMLNamespace::SVG) {
        tag.setTagName(std::u16string(AdjustedSVGTagName(tag.tagName())));
        AdjustSVGAttributes(tag);
    }
    insertForeignElementForToken(tag, ns);
    if (tag.selfClosingFlag())
        popCurrentNode();
}
