// The in select and in select in table insertion modes.

#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"

void HTMLParser::handleInSelect(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token)) {
        std::u16string text;
        for (char16_t c : characters->string()) {
            if (c == u'\0')
                addParseError("Ignoring U+0000 NULL in <select>");
            else
                text.push_back(c);
        }
        if (!text.empty())
            insertCharacters(text);
        return;
    }
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE in <select>");
    // A start tag
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        const std::u16string_view name = startTag->tagName();
        // "html"
        if (name == u"html")
            return processTokenUsingRulesFor(InsertionMode::InBody, token);
        // "option"
        if (name == u"option") {
            if (currentNodeIs(u"option"))
                popCurrentNode();
            insertHTMLElementForToken(*startTag);
            return;
        }
        // "optgroup"
        if (name == u"optgroup") {
            if (currentNodeIs(u"option"))
                popCurrentNode();
            if (currentNodeIs(u"optgroup"))
                popCurrentNode();
            insertHTMLElementForToken(*startTag);
            return;
        }
        // "select"
        if (name == u"select") {
            addParseError("Nested start tag 'select' in <select>");
            if (!hasElementInSelectScope())
                return;
            popElementsUntilOneNamedIsPopped({u"select"});
            return resetTheInsertionModeAppropriately();
        }
        // "input", "keygen", "textarea"
        if (IsOneOf(name, {u"input", u"keygen", u"textarea"})) {
            addParseError("Start tag '%@' in <select>", name);
            if (!hasElementInSelectScope())
                return;
            popElementsUntilOneNamedIsPopped({u"select"});
            resetTheInsertionModeAppropriately();
            return reprocessToken(token);
        }
        // "script"
        if (name == u"script")
            return processTokenUsingRulesFor(InsertionMode::InHead, token);
    }
    // An end tag
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        const std::u16string_view name = endTag->tagName();
        // "optgroup"
        if (name == u"optgroup") {
            const std::size_t size = stackOfOpenElements_.size();
            if (currentNodeIs(u"option") && size >= 2 && stackOfOpenElements_[size - 2]->tagName() == u"optgroup")
                popCurrentNode();
            if (!currentNodeIs(u"optgroup"))
                return addParseError("Misnested end tag 'optgroup' in <select>");
            return popCurrentNode();
        }
        // "option"
        if (name == u"option") {
            if (!currentNodeIs(u"option"))
                return addParseError("Misnested end tag 'option' in <select>");
            return popCurrentNode();
        }
        // "select"
        if (name == u"select") {
            if (!hasElementInSelectScope())
                return addParseError("End tag 'select' for unknown element in <select>");
            popElementsUntilOneNamedIsPopped({u"select"});
            return resetTheInsertionModeAppropriately();
        }
    }
    // An end-of-file token
    else if (std::holds_alternative<HTMLEOFToken>(token)) {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // Anything else ("hr" and "template" included)
    addParseError("Unexpected token in <select>");
}

void HTMLParser::handleInSelectInTable(HTMLToken& token)
{
    static constexpr std::initializer_list<std::u16string_view> tableNames = {
        u"caption", u"table", u"tbody", u"tfoot", u"thead", u"tr", u"td", u"th"};
    // A start tag "caption", "table", "tbody", "tfoot", "thead", "tr", "td", "th"
    if (const auto* startTag = std::get_if<HTMLStartTagToken>(&token); startTag && IsOneOf(startTag->tagName(), tableNames)) {
        addParseError("Start tag '%@' in <select> in <table>", startTag->tagName());
        popElementsUntilOneNamedIsPopped({u"select"});
        resetTheInsertionModeAppropriately();
        return reprocessToken(token);
    }
    // An end tag "caption", "table", "tbody", "tfoot", "thead", "tr", "td", "th"
    if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token); endTag && IsOneOf(endTag->tagName(), tableNames)) {
        addParseError("End tag '%@' in <select> in <table>", endTag->tagName());
        if (!hasElementNumberedInTableScope(endTag->tagNameNumber()))
            return;
        popElementsUntilOneNamedIsPopped({u"select"});
        resetTheInsertionModeAppropriately();
        return reprocessToken(token);
    }
    // Anything else
    processTokenUsingRulesFor(InsertionMode::InSelect, token);
}
