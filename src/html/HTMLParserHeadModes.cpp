// The insertion modes before the body: initial, before html, before head, in
// head and after head.

#include "html/HTMLDocumentType.h"
#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>
#include <optional>

namespace {

std::size_t findIgnoringASCIICase(std::u16string_view text, std::u16string_view word, std::size_t from)
{
    for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
        if (EqualIgnoringASCIICase(text.substr(i, word.size()), word))
            return i;
    }
    return std::u16string_view::npos;
}

std::size_t skipWhitespace(std::u16string_view text, std::size_t position)
{
    while (position < text.size() && IsInHTMLWhitespaceCharacterSet(text[position]))
        ++position;
    return position;
}

// The encoding label of a meta element's "content" value, such as
// "text/html; charset=koi8-r".
std::optional<std::u16string> charsetLabelFromContent(std::u16string_view content)
{
    std::size_t position = 0;
    for (;;) {
        const std::size_t charset = findIgnoringASCIICase(content, u"charset", position);
        if (charset == std::u16string_view::npos)
            return std::nullopt;
        position = skipWhitespace(content, charset + 7);
        if (position < content.size() && content[position] == u'=')
            break;
    }
    position = skipWhitespace(content, position + 1);
    if (position >= content.size())
        return std::nullopt;
    if (content[position] == u'"' || content[position] == u'\'') {
        const std::size_t closing = content.find(content[position], position + 1);
        if (closing == std::u16string_view::npos)
            return std::nullopt;
        return std::u16string(content.substr(position + 1, closing - position - 1));
    }
    const std::u16string_view label = content.substr(position, content.find(u';', position) - position);
    if (label.empty())
        return std::nullopt;
    return std::u16string(label);
}

} // namespace

void HTMLParser::handleInitial(HTMLToken& token)
{
    // A character token: its leading white space is ignored
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::Ignore))
            return;
    }
    // A comment token
    else if (const auto* comment = std::get_if<HTMLCommentToken>(&token)) {
        return appendComment(*comment, *document_);
    }
    // A DOCTYPE token
    else if (const auto* doctype = std::get_if<HTMLDOCTYPEToken>(&token)) {
        if (IsDOCTYPEParseError(*doctype))
            addParseError("Invalid DOCTYPE");
        document_->setDocumentType(arena_.make<HTMLDocumentType>(doctype->name().value_or(u"html"),
                                                                 doctype->publicIdentifier().value_or(u""),
                                                                 doctype->systemIdentifier().value_or(u"")));
        document_->setQuirksMode(QuirksModeForDOCTYPE(*doctype));
        return switchInsertionMode(InsertionMode::BeforeHTML);
    }
    // Anything else
    addParseError("Expected DOCTYPE");
    document_->setQuirksMode(HTMLQuirksMode::Quirks);
    switchInsertionMode(InsertionMode::BeforeHTML);
    reprocessToken(token);
}

void HTMLParser::handleBeforeHTML(HTMLToken& token)
{
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE");
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return appendComment(*comment, *document_);
    // A character token: its leading white space is ignored
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::Ignore))
            return;
    }
    // A start tag whose tag name is "html"
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&token); startTag && startTag->tagName() == u"html") {
        ElementPtr html = createElementForToken(*startTag);
        document_->addChild(html);
        pushOntoStackOfOpenElements(html);
        return switchInsertionMode(InsertionMode::BeforeHead);
    }
    // An end tag other than "head", "body", "html", "br"
    if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
        endTag && !HTMLTagSet({u"head", u"body", u"html", u"br"}).contains(endTag->tagNameNumber()))
        return addParseError("Unexpected end tag named %@ before <html>", endTag->tagName());
    // Anything else
    auto html = arena_.make<HTMLElement>(u"html");
    document_->addChild(html);
    pushOntoStackOfOpenElements(html);
    switchInsertionMode(InsertionMode::BeforeHead);
    reprocessToken(token);
}

void HTMLParser::handleBeforeHead(HTMLToken& token)
{
    // A character token: its leading white space is ignored
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::Ignore))
            return;
    }
    // A comment token
    else if (const auto* comment = std::get_if<HTMLCommentToken>(&token)) {
        return insertComment(*comment);
    }
    // A DOCTYPE token
    else if (std::holds_alternative<HTMLDOCTYPEToken>(token)) {
        return addParseError("Unexpected DOCTYPE before <head>");
    }
    // A start tag whose tag name is "html"
    else if (auto* startTag = std::get_if<HTMLStartTagToken>(&token); startTag && startTag->tagName() == u"html") {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // A start tag whose tag name is "head"
    else if (startTag && startTag->tagName() == u"head") {
        headElementPointer_ = insertHTMLElementForToken(*startTag);
        return switchInsertionMode(InsertionMode::InHead);
    }
    // An end tag other than "head", "body", "html", "br"
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
             endTag && !HTMLTagSet({u"head", u"body", u"html", u"br"}).contains(endTag->tagNameNumber())) {
        return addParseError("Unexpected end tag named %@ before <head>", endTag->tagName());
    }
    // Anything else
    headElementPointer_ = insertHTMLElementNamed(u"head");
    switchInsertionMode(InsertionMode::InHead);
    reprocessToken(token);
}

void HTMLParser::handleInHead(HTMLToken& token)
{
    // A character token: its leading white space is inserted
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::Insert))
            return;
    }
    // A comment token
    else if (const auto* comment = std::get_if<HTMLCommentToken>(&token)) {
        return insertComment(*comment);
    }
    // A DOCTYPE token
    else if (std::holds_alternative<HTMLDOCTYPEToken>(token)) {
        return addParseError("Unexpected DOCTYPE in <head>");
    }
    // A start tag
    else if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        const std::u16string_view name = startTag->tagName();
        // "html"
        if (name == u"html")
            return processTokenUsingRulesFor(InsertionMode::InBody, token);
        // "base", "basefont", "bgsound", "link"
        if (IsOneOf(name, {u"base", u"basefont", u"bgsound", u"link"})) {
            insertHTMLElementForToken(*startTag);
            return popCurrentNode();
        }
        // "meta"
        if (name == u"meta") {
            const ElementPtr meta = insertHTMLElementForToken(*startTag);
            popCurrentNode();
            changeEncodingForMetaElement(meta->attributes());
            return;
        }
        // "title"
        if (name == u"title")
            return followGenericParsingAlgorithm(*startTag, HTMLTokenizerState::RCDATA);
        // "noscript", "noframes", "style" (scripting counts as enabled)
        if (IsOneOf(name, {u"noscript", u"noframes", u"style"}))
            return followGenericParsingAlgorithm(*startTag, HTMLTokenizerState::RAWTEXT);
        // "script"
        if (name == u"script") {
            ElementPtr script = createElementForToken(*startTag);
            insertNodeAtAppropriatePlace(script);
            pushOntoStackOfOpenElements(script);
            tokenizer_.setState(HTMLTokenizerState::ScriptData);
            return switchInsertionMode(InsertionMode::Text);
        }
        // "head"
        if (name == u"head")
            return addParseError("<head> already started");
    }
    // An end tag
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        // "head"
        if (endTag->tagName() == u"head") {
            popCurrentNode();
            return switchInsertionMode(InsertionMode::AfterHead);
        }
        // Any other than "body", "html", "br"
        if (!HTMLTagSet({u"body", u"html", u"br"}).contains(endTag->tagNameNumber()))
            return addParseError("Unexpected end tag named %@ in head", endTag->tagName());
    }
    // Anything else
    popCurrentNode();
    switchInsertionMode(InsertionMode::AfterHead);
    reprocessToken(token);
}

void HTMLParser::changeEncodingForMetaElement(const HTMLOrderedDictionary& attributes)
{
    std::optional<std::u16string> label;
    // An unusable "charset" does not fall back to the "content" form.
    if (const HTMLOrderedDictionary::String* charset = attributes.objectForKey(u"charset")) {
        label = *charset;
    } else {
        const HTMLOrderedDictionary::String* httpEquiv = attributes.objectForKey(u"http-equiv");
        const HTMLOrderedDictionary::String* content = attributes.objectForKey(u"content");
        if (httpEquiv && content && EqualIgnoringASCIICase(*httpEquiv, u"Content-Type"))
            label = charsetLabelFromContent(*content);
    }
    if (!label)
        return;
    // A label with more than ASCII in it may read otherwise in another
    // decoding of the same bytes, so it settles nothing for the encoding guess.
    if (!firstMetaCharset_ && !std::all_of(label->begin(), label->end(), [](char16_t c) { return c < 0x80; }))
        firstMetaCharset_ = InvalidStringEncoding();
    const StringEncoding encoding = StringEncodingForLabel(std::u16string_view(*label));
    if (encoding == InvalidStringEncoding() || !(IsASCIICompatibleEncoding(encoding) || IsUTF16Encoding(encoding)))
        return;
    if (!firstMetaCharset_)
        firstMetaCharset_ = IsUTF16Encoding(encoding) ? StringEncoding::UTF8 : encoding;
    if (encoding_.confidence == HTMLStringEncodingConfidence::Tentative)
        changeTheEncoding(encoding);
}

void HTMLParser::handleAfterHead(HTMLToken& token)
{
    // A character token: its leading white space is inserted
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::Insert))
            return;
    }
    // A comment token
    else if (const auto* comment = std::get_if<HTMLCommentToken>(&token)) {
        return insertComment(*comment);
    }
    // A DOCTYPE token
    else if (std::holds_alternative<HTMLDOCTYPEToken>(token)) {
        return addParseError("Unexpected DOCTYPE after <head>");
    }
    // A start tag
    else if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        const std::u16string_view name = startTag->tagName();
        // "html"
        if (name == u"html")
            return processTokenUsingRulesFor(InsertionMode::InBody, token);
        // "body"
        if (name == u"body") {
            insertHTMLElementForToken(*startTag);
            framesetOk_ = false;
            return switchInsertionMode(InsertionMode::InBody);
        }
        // "frameset"
        if (name == u"frameset") {
            insertHTMLElementForToken(*startTag);
            return switchInsertionMode(InsertionMode::InFrameset);
        }
        // "base", "basefont", "bgsound", "link", "meta", "noframes", "script", "style", "title"
        if (IsOneOf(name,
                    {u"base", u"basefont", u"bgsound", u"link", u"meta", u"noframes", u"script", u"style", u"title"})) {
            addParseError("Misnested start tag named %@ after <head>", name);
            const ElementPtr head = headElementPointer_;
            pushOntoStackOfOpenElements(head);
            processTokenUsingRulesFor(InsertionMode::InHead, token);
            return removeFromStackOfOpenElements(head.get());
        }
        // "head"
        if (name == u"head")
            return addParseError("Start tag named head after <head>");
    }
    // An end tag other than "body", "html", "br"
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
             endTag && !HTMLTagSet({u"body", u"html", u"br"}).contains(endTag->tagNameNumber())) {
        return addParseError("Unexpected end tag named %@ after <head>", endTag->tagName());
    }
    // Anything else
    insertHTMLElementNamed(u"body");
    switchInsertionMode(InsertionMode::InBody);
    reprocessToken(token);
}
