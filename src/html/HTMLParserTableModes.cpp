// The text insertion mode and the table insertion modes: in table, in table
// text, in caption, in column group, in table body, in row and in cell.

#include "html/HTMLParser.h"
#include "html/HTMLParserTables.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>
#include <cassert>

namespace {

// The name lists of the rules met at every token of a table body, row or cell,
// as constants: a list made in the test itself is built on the stack each time.
constexpr HTMLTagSet cellTags = {u"td", u"th"};
constexpr HTMLTagSet tableSectionTags = {u"tbody", u"tfoot", u"thead"};
constexpr HTMLTagSet startTagsClosingTheSection = {u"caption", u"col", u"colgroup", u"tbody", u"tfoot", u"thead"};
constexpr HTMLTagSet endTagsIgnoredInTableBody = {u"body", u"caption", u"col", u"colgroup",
                                                  u"html", u"td", u"th", u"tr"};
constexpr HTMLTagSet startTagsClosingTheRow = {u"caption", u"col", u"colgroup", u"tbody", u"tfoot", u"thead", u"tr"};
constexpr HTMLTagSet endTagsIgnoredInRow = {u"body", u"caption", u"col", u"colgroup", u"html", u"td", u"th"};
// Where text in a table is gathered, and how far the stack is cleared back.
constexpr HTMLTagSet tableTextParents = {u"table", u"tbody", u"tfoot", u"thead", u"tr"};
constexpr HTMLTagSet tableContext = {u"table", u"html"};
constexpr HTMLTagSet tableBodyContext = {u"tbody", u"tfoot", u"thead", u"html"};
constexpr HTMLTagSet tableRowContext = {u"tr", u"html"};
constexpr HTMLTagSet endTagsIgnoredInCell = {u"body", u"caption", u"col", u"colgroup", u"html"};
constexpr HTMLTagSet endTagsClosingTheCell = {u"table", u"tbody", u"tfoot", u"thead", u"tr"};
constexpr HTMLTagSet startTagsClosingTheCell = {u"caption", u"col", u"colgroup", u"tbody", u"td",
                                                u"tfoot", u"th", u"thead", u"tr"};
// The end tags with rules of their own in a cell: cellTags, endTagsIgnoredInCell
// and endTagsClosingTheCell together.
constexpr HTMLTagSet endTagsWithCellRules = {u"td",   u"th",    u"body",  u"caption", u"col",   u"colgroup",
                                             u"html", u"table", u"tbody", u"tfoot",   u"thead", u"tr"};

} // namespace

void HTMLParser::handleText(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token))
        return insertCharacters(characters->string());
    // An end-of-file token
    if (std::holds_alternative<HTMLEOFToken>(token)) {
        addParseError("Unexpected end of file in 'text' mode");
        popCurrentNode();
        switchInsertionMode(originalInsertionMode_);
        return reprocessToken(token);
    }
    // An end tag (no script is ever run)
    if (std::holds_alternative<HTMLEndTagToken>(token)) {
        popCurrentNode();
        return switchInsertionMode(originalInsertionMode_);
    }
    assert(!"the text states of the tokenizer emit only characters and end tags");
}

void HTMLParser::handleInTable(HTMLToken& token)
{
    // A character token, while the current node is "table", "tbody", "tfoot", "thead" or "tr"
    if (std::holds_alternative<HTMLCharacterToken>(token)
        && currentNodeIsOneOf(tableTextParents)) {
        pendingTableCharacters_.clear();
        switchInsertionMode(InsertionMode::InTableText);
        // The current node stays an HTML table element: the dispatch would
        // choose the in table text rules.
        return handleInTableText(token);
    }
    // A comment token
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return insertComment(*comment);
    // A DOCTYPE token
    if (std::holds_alternative<HTMLDOCTYPEToken>(token))
        return addParseError("Unexpected DOCTYPE in <table>");
    // A start tag
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        const std::u16string_view name = startTag->tagName();
        // "caption"
        if (name == u"caption") {
            clearTheStackBackToATableContext();
            pushMarkerOntoListOfActiveFormattingElements();
            insertHTMLElementForToken(*startTag);
            return switchInsertionMode(InsertionMode::InCaption);
        }
        // "colgroup"
        if (name == u"colgroup") {
            clearTheStackBackToATableContext();
            insertHTMLElementForToken(*startTag);
            return switchInsertionMode(InsertionMode::InColumnGroup);
        }
        // "col"
        if (name == u"col") {
            clearTheStackBackToATableContext();
            insertHTMLElementNamed(u"colgroup");
            switchInsertionMode(InsertionMode::InColumnGroup);
            return reprocessToken(token);
        }
        // "tbody", "tfoot", "thead"
        if (IsOneOf(name, {u"tbody", u"tfoot", u"thead"})) {
            clearTheStackBackToATableContext();
            insertHTMLElementForToken(*startTag);
            return switchInsertionMode(InsertionMode::InTableBody);
        }
        // "td", "th", "tr"
        if (IsOneOf(name, {u"td", u"th", u"tr"})) {
            clearTheStackBackToATableContext();
            insertHTMLElementNamed(u"tbody");
            switchInsertionMode(InsertionMode::InTableBody);
            return reprocessToken(token);
        }
        // "table"
        if (name == u"table") {
            addParseError("'table' start tag in <table>");
            if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"table")))
                return;
            popElementsUntilOneNamedIsPopped({u"table"});
            resetTheInsertionModeAppropriately();
            return reprocessToken(token);
        }
        // "style", "script"
        if (IsOneOf(name, {u"style", u"script"}))
            return processTokenUsingRulesFor(InsertionMode::InHead, token);
        // "input" whose "type" is "hidden"
        const HTMLOrderedDictionary::String* type = startTag->attributes().objectForKey(u"type");
        if (name == u"input" && type && EqualIgnoringASCIICase(*type, u"hidden")) {
            addParseError("Non-hidden 'input' start tag in <table>");
            insertHTMLElementForToken(*startTag);
            return popCurrentNode();
        }
        // "form"
        if (name == u"form") {
            addParseError("'form' start tag in <table>");
            if (formElementPointer_)
                return;
            formElementPointer_ = insertHTMLElementForToken(*startTag);
            return popCurrentNode();
        }
    }
    // An end tag
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        const std::u16string_view name = endTag->tagName();
        // "table"
        if (name == u"table") {
            if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"table")))
                return addParseError("End tag 'table' for unknown table element in <table>");
            popElementsUntilOneNamedIsPopped({u"table"});
            return resetTheInsertionModeAppropriately();
        }
        // "body", "caption", "col", "colgroup", "html", "tbody", "td", "tfoot", "th", "thead", "tr"
        if (IsOneOf(name, {u"body", u"caption", u"col", u"colgroup", u"html", u"tbody", u"td", u"tfoot", u"th",
                           u"thead", u"tr"}))
            return addParseError("End tag '%@' in <table>", name);
    }
    // An end-of-file token
    else if (std::holds_alternative<HTMLEOFToken>(token)) {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // Anything else
    inTableAnythingElse(token);
}

void HTMLParser::inTableAnythingElse(HTMLToken& token)
{
    addParseError("Foster parenting token in <table>");
    fosterParenting_ = true;
    processTokenUsingRulesFor(InsertionMode::InBody, token);
    fosterParenting_ = false;
}

void HTMLParser::handleInTableText(HTMLToken& token)
{
    // A character token
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token)) {
        std::u16string_view text = characters->string();
        for (std::size_t null = text.find(u'\0'); null != std::u16string_view::npos; null = text.find(u'\0')) {
            addParseError("Ignoring U+0000 NULL in <table> text");
            pendingTableCharacters_.append(text.substr(0, null));
            text.remove_prefix(null + 1);
        }
        pendingTableCharacters_.append(text);
        return;
    }
    // Anything else: text other than white space is foster-parented as one token.
    if (!std::all_of(pendingTableCharacters_.begin(), pendingTableCharacters_.end(),
                     [](char16_t c) { return IsInHTMLWhitespaceCharacterSet(c); })) {
        HTMLToken pending = HTMLCharacterToken(std::move(pendingTableCharacters_));
        inTableAnythingElse(pending);
    } else {
        insertCharacters(pendingTableCharacters_);
    }
    pendingTableCharacters_.clear();
    switchInsertionMode(originalInsertionMode_);
    // The current node is an HTML element (the table element, or formatting
    // elements opened again for the text): the rules of the mode apply.
    processTokenUsingRulesFor(insertionMode_, token);
}

void HTMLParser::handleInCaption(HTMLToken& token)
{
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
    // An end tag "caption"
    if (endTag && endTag->tagName() == u"caption") {
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"caption")))
            return addParseError("End tag 'caption' for unknown caption element in <caption>");
        generateImpliedEndTags();
        if (!currentNodeIs(u"caption"))
            addParseError("Misnested end tag 'caption' in <caption>");
        popElementsUntilOneNamedIsPopped({u"caption"});
        clearTheListOfActiveFormattingElementsUpToTheLastMarker();
        return switchInsertionMode(InsertionMode::InTable);
    }
    // A start tag "caption", "col", "colgroup", "tbody", "td", "tfoot", "th", "thead", "tr", or an end tag "table"
    if ((startTag
         && HTMLTagSet({u"caption", u"col", u"colgroup", u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr"})
                .contains(startTag->tagNameNumber()))
        || (endTag && endTag->tagName() == u"table")) {
        addParseError("%@ tag '%@' in <caption>", startTag ? "Start" : "End",
                      startTag ? startTag->tagName() : endTag->tagName());
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"caption")))
            return;
        popElementsUntilOneNamedIsPopped({u"caption"});
        clearTheListOfActiveFormattingElementsUpToTheLastMarker();
        switchInsertionMode(InsertionMode::InTable);
        return reprocessToken(token);
    }
    // An end tag "body", "col", "colgroup", "html", "tbody", "td", "tfoot", "th", "thead", "tr"
    if (endTag
        && HTMLTagSet({u"body", u"col", u"colgroup", u"html", u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr"})
               .contains(endTag->tagNameNumber()))
        return addParseError("End tag '%@' in <caption>", endTag->tagName());
    // Anything else
    processTokenUsingRulesFor(InsertionMode::InBody, token);
}

void HTMLParser::handleInColumnGroup(HTMLToken& token)
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
        return addParseError("Unexpected DOCTYPE in <colgroup>");
    }
    // A start tag "html"
    else if (auto* startTag = std::get_if<HTMLStartTagToken>(&token); startTag && startTag->tagName() == u"html") {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // A start tag "col"
    else if (startTag && startTag->tagName() == u"col") {
        insertHTMLElementForToken(*startTag);
        return popCurrentNode();
    }
    // An end tag "colgroup"
    else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token); endTag && endTag->tagName() == u"colgroup") {
        if (!currentNodeIs(u"colgroup"))
            return addParseError("End tag 'colgroup' for unknown colgroup element in <colgroup>");
        popCurrentNode();
        return switchInsertionMode(InsertionMode::InTable);
    }
    // An end tag "col"
    else if (endTag && endTag->tagName() == u"col") {
        return addParseError("End tag 'col' in <colgroup>");
    }
    // An end-of-file token
    else if (std::holds_alternative<HTMLEOFToken>(token)) {
        return processTokenUsingRulesFor(InsertionMode::InBody, token);
    }
    // Anything else
    if (!currentNodeIs(u"colgroup"))
        return addParseError("Unexpected token in <colgroup>");
    popCurrentNode();
    switchInsertionMode(InsertionMode::InTable);
    reprocessToken(token);
}

void HTMLParser::handleInTableBody(HTMLToken& token)
{
    auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
    // A start tag "tr"
    if (startTag && startTag->tagNameNumber() == KnownTagNameNumberOf(u"tr")) {
        clearTheStackBackToATableBodyContext();
        insertHTMLElementForToken(*startTag);
        return switchInsertionMode(InsertionMode::InRow);
    }
    // A start tag "th", "td"
    if (startTag && cellTags.contains(startTag->tagNameNumber())) {
        addParseError("Start tag '%@' in <table> body", startTag->tagName());
        clearTheStackBackToATableBodyContext();
        insertHTMLElementNamed(u"tr");
        switchInsertionMode(InsertionMode::InRow);
        return reprocessToken(token);
    }
    // A start tag "caption", "col", "colgroup", "tbody", "tfoot", "thead"
    if (startTag
        && startTagsClosingTheSection.contains(startTag->tagNameNumber())) {
        if (!hasElementInTableScope({u"tbody", u"thead", u"tfoot"}, true))
            return addParseError("Start tag '%@' when none of <tbody>, <thead>, <tfoot> in table scope; ignoring",
                                 startTag->tagName());
        clearTheStackBackToATableBodyContext();
        popCurrentNode();
        switchInsertionMode(InsertionMode::InTable);
        return reprocessToken(token);
    }
    // An end tag "tbody", "tfoot", "thead"
    if (endTag && tableSectionTags.contains(endTag->tagNameNumber())) {
        if (!hasElementNumberedInTableScope(endTag->tagNameNumber()))
            return addParseError("End tag '%@' for unknown element in <table> body", endTag->tagName());
        clearTheStackBackToATableBodyContext();
        popCurrentNode();
        return switchInsertionMode(InsertionMode::InTable);
    }
    // An end tag "table"
    if (endTag && endTag->tagNameNumber() == KnownTagNameNumberOf(u"table")) {
        if (!hasElementInTableScope({u"tbody", u"thead", u"tfoot"}, true))
            return addParseError("End tag 'table' when none of <tbody>, <thead>, <tfoot> in table scope; ignoring");
        clearTheStackBackToATableBodyContext();
        popCurrentNode();
        switchInsertionMode(InsertionMode::InTable);
        return reprocessToken(token);
    }
    // An end tag "body", "caption", "col", "colgroup", "html", "td", "th", "tr"
    if (endTag
        && endTagsIgnoredInTableBody.contains(endTag->tagNameNumber()))
        return addParseError("End tag '%@' in <table> body", endTag->tagName());
    // Anything else (the dispatch has let the token through: no tokenizer
    // error, no line feed to drop, so the in table rules are called directly)
    handleInTable(token);
}

void HTMLParser::handleInRow(HTMLToken& token)
{
    auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
    // A start tag "th", "td"
    if (startTag && cellTags.contains(startTag->tagNameNumber())) {
        clearTheStackBackToATableRowContext();
        insertHTMLElementForToken(*startTag);
        switchInsertionMode(InsertionMode::InCell);
        return pushMarkerOntoListOfActiveFormattingElements();
    }
    // A start tag "caption", "col", "colgroup", "tbody", "tfoot", "thead", "tr"
    if (startTag
        && startTagsClosingTheRow.contains(startTag->tagNameNumber())) {
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"tr"), true))
            return addParseError("Start tag '%@' without <tr> in table scope; ignoring", startTag->tagName());
        clearTheStackBackToATableRowContext();
        popCurrentNode();
        switchInsertionMode(InsertionMode::InTableBody);
        return reprocessToken(token);
    }
    // An end tag "tr"
    if (endTag && endTag->tagNameNumber() == KnownTagNameNumberOf(u"tr")) {
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"tr"), true))
            return addParseError("End tag 'tr' for unknown element in <tr>");
        clearTheStackBackToATableRowContext();
        popCurrentNode();
        return switchInsertionMode(InsertionMode::InTableBody);
    }
    // An end tag "table"
    if (endTag && endTag->tagNameNumber() == KnownTagNameNumberOf(u"table")) {
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"tr"), true))
            return addParseError("End tag 'table' without <tr> in table scope; ignoring");
        clearTheStackBackToATableRowContext();
        popCurrentNode();
        switchInsertionMode(InsertionMode::InTableBody);
        return reprocessToken(token);
    }
    // An end tag "tbody", "tfoot", "thead"
    if (endTag && tableSectionTags.contains(endTag->tagNameNumber())) {
        if (!hasElementNumberedInTableScope(endTag->tagNameNumber()))
            return addParseError("End tag '%@' for unknown element in <tr>", endTag->tagName());
        if (!hasElementNumberedInTableScope(KnownTagNameNumberOf(u"tr"), true))
            return;
        clearTheStackBackToATableRowContext();
        popCurrentNode();
        switchInsertionMode(InsertionMode::InTableBody);
        return reprocessToken(token);
    }
    // An end tag "body", "caption", "col", "colgroup", "html", "td", "th"
    if (endTag
        && endTagsIgnoredInRow.contains(endTag->tagNameNumber()))
        return addParseError("End tag '%@' in <tr>", endTag->tagName());
    // Anything else (called directly, as in table body)
    handleInTable(token);
}

void HTMLParser::handleInCell(HTMLToken& token)
{
    // Most tokens in a cell (its text and the tags of its content) follow the
    // in body rules: told apart first, they go there straight away (tags to
    // the rules of their kind), with no frame for the rest. A tag whose
    // number is still to be looked up (a call) takes the full rules.
    if (const auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        if (startTag->hasTagNameNumber() && !startTagsClosingTheCell.contains(startTag->tagNameNumber()))
            return handleInBodyStartTag(token);
    } else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        if (endTag->hasTagNameNumber() && !endTagsWithCellRules.contains(endTag->tagNameNumber()))
            return handleInBodyEndTag(token);
    } else {
        return handleInBody(token);
    }
    handleInCellTag(token);
}

void HTMLParser::handleInCellTag(HTMLToken& token)
{
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    const auto* endTag = std::get_if<HTMLEndTagToken>(&token);
    // An end tag "td", "th"
    if (endTag && cellTags.contains(endTag->tagNameNumber())) {
        const std::u16string_view name = endTag->tagName();
        const std::size_t number = endTag->tagNameNumber();
        // Mostly the cell is the current node: then it is in scope, no end tags
        // are implied and nothing is misnested; it is only popped.
        if (const HTMLElement* current = currentNode(); current && current->htmlNamespace() == HTMLNamespace::HTML
                                                         && current->tagNameNumber() == number) [[likely]] {
            popCurrentNode();
            clearTheListOfActiveFormattingElementsUpToTheLastMarker();
            return switchInsertionMode(InsertionMode::InRow);
        }
        if (!hasElementNumberedInTableScope(number, true))
            return addParseError("End tag '%@' outside cell in cell", name);
        generateImpliedEndTags();
        const HTMLElement* current = currentNode();
        if (!current || current->htmlNamespace() != HTMLNamespace::HTML || current->tagNameNumber() != number)
            addParseError("Misnested end tag '%@' in cell", name);
        while (const HTMLElement* node = currentNode()) {
            const bool found = node->htmlNamespace() == HTMLNamespace::HTML && node->tagNameNumber() == number;
            popCurrentNode();
            if (found)
                break;
        }
        clearTheListOfActiveFormattingElementsUpToTheLastMarker();
        return switchInsertionMode(InsertionMode::InRow);
    }
    // An end tag "body", "caption", "col", "colgroup", "html"
    if (endTag && endTagsIgnoredInCell.contains(endTag->tagNameNumber()))
        return addParseError("End tag '%@' in cell", endTag->tagName());
    // An end tag "table", "tbody", "tfoot", "thead", "tr"
    if (endTag && endTagsClosingTheCell.contains(endTag->tagNameNumber())) {
        if (!hasElementNumberedInTableScope(endTag->tagNameNumber(), true))
            return addParseError("End tag '%@' for unknown element in cell", endTag->tagName());
        closeTheCell();
        return reprocessToken(token);
    }
    // A start tag "caption", "col", "colgroup", "tbody", "td", "tfoot", "th", "thead", "tr"
    if (startTag && startTagsClosingTheCell.contains(startTag->tagNameNumber())) {
        if (!hasElementInTableScope({u"td", u"th"}))
            return addParseError("Start tag '%@' outside cell in cell", startTag->tagName());
        closeTheCell();
        return reprocessToken(token);
    }
    // Anything else (called directly, as in table body)
    handleInBody(token);
}

void HTMLParser::closeTheCell()
{
    generateImpliedEndTags();
    if (!currentNodeIsOneOf(cellTags))
        addParseError("Closing misnested cell");
    popElementsUntilOneNamedIsPopped(cellTags);
    clearTheListOfActiveFormattingElementsUpToTheLastMarker();
    switchInsertionMode(InsertionMode::InRow);
}

void HTMLParser::clearTheStackBackToATableContext()
{
    while (currentNode() && !currentNodeIsOneOf(tableContext))
        popCurrentNode();
}

void HTMLParser::clearTheStackBackToATableBodyContext()
{
    while (currentNode() && !currentNodeIsOneOf(tableBodyContext))
        popCurrentNode();
}

void HTMLParser::clearTheStackBackToATableRowContext()
{
    while (currentNode() && !currentNodeIsOneOf(tableRowContext))
        popCurrentNode();
}
