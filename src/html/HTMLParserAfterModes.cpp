// The insertion modes after the body and around framesets: after body, in
// frameset, after frameset, after after body and after after frameset.

#include "html/HTMLCodePoints.h"
#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"

void HTMLParser::handleAfterBody(HTMLToken& token)
{
    // A character token: its leading white space is processed by the in body rules
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::ProcessUsingInBodyRules))
            return;
    }
    // A comment token: the last child of the html element
    else if (const auto* comment = std::get_if<HTMLCommentToken>(&token)) {
        if (!stackOfOpenElements_.empty())
            appendComment(*comment, *stackOfOpenElements_.front());
        return;
    }
    // A DOCTYPE token
    else if (std::holds_alternative<HTMLDOCTYPEToken>(token)) {
        return addParseError("Unexpected DOCTYPE after body");
    }
    // A start tag "html"
    else if (const auto* startTag = std::get_if<HTMLStartTagToken>(&token); startTag && startTag->tagName() == u"html") {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // An end tag "html"
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token); endTag && endTag->tagName() == u"html") {
        if (fragmentParsingAlgorithm_)
            return addParseError("End tag 'html' parsing fragment after body");
        return switchInsertionMode(InsertionMode::AfterAfterBody);
    }
    // An end-of-file token
    else if (std::holds_alternative<HTMLEOFToken>(token)) {
        return stopParsing();
    }
    // Anything else
    addParseError("Unexpected token after body");
    switchInsertionMode(InsertionMode::InBody);
    reprocessToken(token);
}

void HTMLParser::handleInFrameset(HTMLToken& token)
{
    // A character token: white space is inserted, anything else dropped
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token))
        return insertFramesetWhitespace(characters->string(), "Unexpected token in <frameset>");
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE in <frameset>");
    // A start tag
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        const std::u16string_view name = startTag->tagName();
        // "html"
        if (name == u"html")
            return processTokenUsingRulesFor(InsertionMode::InBody, token);
        // "frameset"
        if (name == u"frameset") {
            insertHTMLElementForToken(*startTag);
            return;
        }
        // "frame"
        if (name == u"frame") {
            insertHTMLElementForToken(*startTag);
            return popCurrentNode();
        }
        // "noframes"
        if (name == u"noframes")
            return processTokenUsingRulesFor(InsertionMode::InHead, token);
    }
    // An end tag "frameset"
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token); endTag && endTag->tagName() == u"frameset") {
        if (stackOfOpenElements_.size() <= 1)
            return addParseError("Misnested end tag 'frameset' in <frameset>");
        popCurrentNode();
        if (!fragmentParsingAlgorithm_ && !currentNodeIs(u"frameset"))
            switchInsertionMode(InsertionMode::AfterFrameset);
        return;
    }
    // An end-of-file token
    else if (std::holds_alternative<HTMLEOFToken>(token)) {
        if (stackOfOpenElements_.size() != 1)
            addParseError("Unexpected EOF in <frameset>");
        return stopParsing();
    }
    // Anything else
    addParseError("Unexpected token in <frameset>");
}

void HTMLParser::handleAfterFrameset(HTMLToken& token)
{
    // A character token: white space is inserted, anything else dropped
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token))
        return insertFramesetWhitespace(characters->string(), "Unexpected token after <frameset>");
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE after <frameset>");
    // A start tag "html"
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    if (startTag && startTag->tagName() == u"html")
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    // A start tag "noframes"
    if (startTag && startTag->tagName() == u"noframes")
        return processTokenUsingRulesFor(InsertionMode::InHead, token);
    // An end tag "html"
    if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token); endTag && endTag->tagName() == u"html")
        return switchInsertionMode(InsertionMode::AfterAfterFrameset);
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token))
        return stopParsing();
    // Anything else
    addParseError("Unexpected token after <frameset>");
}

void HTMLParser::handleAfterAfterBody(HTMLToken& token)
{
    // A comment token: the last child of the document
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return appendComment(*comment, *document_);
    // A DOCTYPE token, or a start tag "html"
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    if (std::holds_alternative<HTMLDOCTYPEToken>(token) || (startTag && startTag->tagName() == u"html"))
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    // A character token: its leading white space is processed by the in body rules
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::ProcessUsingInBodyRules))
            return;
    }
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token))
        return stopParsing();
    // Anything else (every end tag included)
    addParseError("Unexpected token after after <body>");
    switchInsertionMode(InsertionMode::InBody);
    reprocessToken(token);
}

void HTMLParser::handleAfterAfterFrameset(HTMLToken& token)
{
    // A comment token: the last child of the document
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return appendComment(*comment, *document_);
    // A DOCTYPE token, or a start tag "html"
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    if (std::holds_alternative<HTMLDOCTYPEToken>(token) || (startTag && startTag->tagName() == u"html"))
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    // A start tag "noframes"
    if (startTag && startTag->tagName() == u"noframes")
        return processTokenUsingRulesFor(InsertionMode::InHead, token);
    // A character token: its leading white space is processed by the in body rules
    if (std::holds_alternative<HTMLCharacterToken>(token)) {
        if (!handleLeadingWhitespace(token, LeadingWhitespace::ProcessUsingInBodyRules))
            return;
    }
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token))
        return stopParsing();
    // Anything else (every end tag included)
    addParseError("Unexpected token after after <frameset>");
}

void HTMLParser::insertFramesetWhitespace(std::u16string_view characters, std::string_view error)
{
    std::u16string whitespace;
    EnumerateLongCharacters(characters, [&](char32_t c) {
        if (IsHTMLWhitespace(c))
            whitespace.push_back(static_cast<char16_t>(c));
        else
            addParseError(error);
    });
    if (!whitespace.empty())
        insertCharacters(whitespace);
}
