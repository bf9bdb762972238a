#include "html/HTMLParser.h"

#include "html/HTMLChildrenRelationshipProxy.h"
#include "html/HTMLComment.h"
#include "html/HTMLParserTables.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLUTF8.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>

HTMLParser::HTMLParser() : HTMLParser(std::u16string(), HTMLStringEncoding {}) {}

HTMLParser::HTMLParser(std::u16string string, HTMLStringEncoding encoding, std::shared_ptr<HTMLElement> context)
    : HTMLParser(HTMLPreprocessedInputStream(std::move(string)), encoding, std::move(context))
{
}

HTMLParser::HTMLParser(HTMLUndecodedText text, HTMLStringEncoding encoding)
    : HTMLParser(HTMLPreprocessedInputStream(text), encoding, nullptr)
{
}

HTMLParser::HTMLParser(HTMLPreprocessedInputStream input, HTMLStringEncoding encoding, std::shared_ptr<HTMLElement> context)
    : tokenizer_(std::move(input)), context_(std::move(context)), encoding_(encoding)
{
    // Tags' attributes go to the document's memory with the elements made from them.
    tokenizer_.setStringResource(arena_.strings());
    // The tokenizer opens CDATA sections only in foreign content.
    tokenizer_.setAdjustedCurrentNodeIsForeign([this] {
        const HTMLElement* node = adjustedCurrentNode();
        return node && node->htmlNamespace() != HTMLNamespace::HTML;
    });
    if (!context_)
        return;
    fragmentParsingAlgorithm_ = true;
    encoding_ = {StringEncoding::UTF8, HTMLStringEncodingConfidence::Irrelevant};
    openForeignElements_ = foreignContextElements();
    updateTokensGoToInBody();
    if (context_->htmlNamespace() != HTMLNamespace::HTML)
        return;
    const std::u16string_view name = context_->tagName();
    if (IsOneOf(name, {u"title", u"textarea"}))
        tokenizer_.setState(HTMLTokenizerState::RCDATA);
    else if (IsOneOf(name, {u"style", u"xmp", u"iframe", u"noembed", u"noframes", u"noscript"}))
        tokenizer_.setState(HTMLTokenizerState::RAWTEXT);
    else if (name == u"script")
        tokenizer_.setState(HTMLTokenizerState::ScriptData);
    else if (name == u"plaintext")
        tokenizer_.setState(HTMLTokenizerState::PLAINTEXT);
}

HTMLParser::~HTMLParser() = default;

std::shared_ptr<HTMLDocument> HTMLParser::document()
{
    if (document_)
        return document_;
    // While the tree is built, its child lists come from the arena as well.
    struct Building {
        HTMLNodeArena& arena;
        explicit Building(HTMLNodeArena& arena) : arena(arena) { arena.setBuilding(true); }
        ~Building() { arena.setBuilding(false); }
    } building(arena_);
    document_ = arena_.make<HTMLDocument>();
    if (fragmentParsingAlgorithm_) {
        auto root = arena_.make<HTMLElement>(u"html");
        document_->setRootElement(root);
        pushOntoStackOfOpenElements(root);
        resetTheInsertionModeAppropriately();
        for (HTMLElement* node = context_.get(); node; node = node->parentElement()) {
            if (node->tagName() == u"form") {
                formElementPointer_ = std::static_pointer_cast<HTMLElement>(node->shared_from_this());
                break;
            }
        }
    }
    // One token at a time: a state the tree construction sets for a start tag
    // governs the characters that follow it.
    // Tokens are handled where they lie in the tokenizer's queue, taken a
    // queue at a time (cheaper than asking for each); handling one never
    // makes the tokenizer emit.
    while (!done_) {
        const std::span<HTMLToken* const> tokens = tokenizer_.nextTokens();
        if (tokens.empty())
            break;
        for (HTMLToken* const token : tokens) {
            processToken(*token);
            if (done_)
                break;
        }
    }
    // Only an encoding change stops a parse before the end of the file. Its
    // document is thrown away, and the end-of-file rules would run on an
    // empty stack of open elements.
    if (!done_) {
        HTMLToken endOfFile = HTMLEOFToken();
        processToken(endOfFile);
    }
    if (fragmentParsingAlgorithm_) {
        const std::shared_ptr<HTMLNode> root = document_->childAtIndex(0);
        const std::vector<std::shared_ptr<HTMLNode>> nodes = root->children();
        root->mutableChildren().removeAllObjects();
        document_->mutableChildren().removeAllObjects();
        for (const auto& node : nodes)
            document_->addChild(node);
    }
    document_->setParsedStringEncoding(encoding_.encoding);
    return document_;
}

// MARK: - Dispatch

void HTMLParser::processToken(HTMLToken& token)
{
    if (tokensGoToInBody_) [[likely]] {
        // Tags go straight to their rules: one test each instead of a call
        // and the in body rules' own dispatch.
        if (std::holds_alternative<HTMLStartTagToken>(token))
            return handleInBodyStartTag(token);
        if (std::holds_alternative<HTMLEndTagToken>(token))
            return handleInBodyEndTag(token);
        return handleInBody(token);
    }
    // With no foreign element open (nor a foreign context element), the adjusted
    // current node is in the HTML namespace (or there is none): no need to look.
    if (openForeignElements_ == 0) {
        // Tokens in a table cell, the mode met most after in body, go straight
        // to its rules too (which record a tokenizer error as in body does).
        if (insertionMode_ == InsertionMode::InCell && !ignoreNextTokenIfLineFeed_)
            return handleInCell(token);
        return processTokenUsingRulesFor(insertionMode_, token);
    }
    const HTMLElement* node = adjustedCurrentNode();
    // No adjusted current node, or one in the HTML namespace
    if (!node || node->htmlNamespace() == HTMLNamespace::HTML)
        return processTokenUsingRulesFor(insertionMode_, token);
    processTokenWithForeignAdjustedCurrentNode(token, *node);
}

void HTMLParser::processTokenWithForeignAdjustedCurrentNode(HTMLToken& token, const HTMLElement& node)
{
    const auto* startTag = std::get_if<HTMLStartTagToken>(&token);
    const bool isCharacter = std::holds_alternative<HTMLCharacterToken>(token);
    // A MathML text integration point, and a start tag other than "mglyph" and "malignmark", or characters
    if (IsMathMLTextIntegrationPoint(node)
        && ((startTag && !IsOneOf(startTag->tagName(), {u"mglyph", u"malignmark"})) || isCharacter))
        return processTokenUsingRulesFor(insertionMode_, token);
    // A MathML "annotation-xml" element, and a start tag "svg"
    if (node.htmlNamespace() == HTMLNamespace::MathML && node.tagName() == u"annotation-xml" && startTag
        && startTag->tagName() == u"svg")
        return processTokenUsingRulesFor(insertionMode_, token);
    // An HTML integration point, and a start tag or characters
    if (IsHTMLIntegrationPoint(node) && (startTag || isCharacter))
        return processTokenUsingRulesFor(insertionMode_, token);
    // The end of the file
    if (std::holds_alternative<HTMLEOFToken>(token))
        return processTokenUsingRulesFor(insertionMode_, token);
    processTokenUsingRulesFor(InsertionMode::ForeignContent, token);
}

void HTMLParser::processTokenUsingRulesFor(InsertionMode mode, HTMLToken& token)
{
    if (std::holds_alternative<HTMLParseErrorToken>(token) || ignoreNextTokenIfLineFeed_) [[unlikely]]
        return processErrorOrLineFeedUsingRulesFor(mode, token);
    switch (mode) {
    case InsertionMode::Initial: return handleInitial(token);
    case InsertionMode::BeforeHTML: return handleBeforeHTML(token);
    case InsertionMode::BeforeHead: return handleBeforeHead(token);
    case InsertionMode::InHead: return handleInHead(token);
    case InsertionMode::AfterHead: return handleAfterHead(token);
    case InsertionMode::InBody: return handleInBody(token);
    case InsertionMode::Text: return handleText(token);
    case InsertionMode::InTable: return handleInTable(token);
    case InsertionMode::InTableText: return handleInTableText(token);
    case InsertionMode::InCaption: return handleInCaption(token);
    case InsertionMode::InColumnGroup: return handleInColumnGroup(token);
    case InsertionMode::InTableBody: return handleInTableBody(token);
    case InsertionMode::InRow: return handleInRow(token);
    case InsertionMode::InCell: return handleInCell(token);
    case InsertionMode::InSelect: return handleInSelect(token);
    case InsertionMode::InSelectInTable: return handleInSelectInTable(token);
    case InsertionMode::AfterBody: return handleAfterBody(token);
    case InsertionMode::InFrameset: return handleInFrameset(token);
    case InsertionMode::AfterFrameset: return handleAfterFrameset(token);
    case InsertionMode::AfterAfterBody: return handleAfterAfterBody(token);
    case InsertionMode::AfterAfterFrameset: return handleAfterAfterFrameset(token);
    case InsertionMode::ForeignContent: return handleForeignContent(token);
    case InsertionMode::InHeadNoscript:
        break;
    }
    assert(!"the in head noscript insertion mode is never entered");
}

void HTMLParser::processErrorOrLineFeedUsingRulesFor(InsertionMode mode, HTMLToken& token)
{
    // Errors of the input stream and the tokenizer are only recorded.
    if (const auto* error = std::get_if<HTMLParseErrorToken>(&token))
        return addTokenizerError(*error);
    setIgnoreNextTokenIfLineFeed(false);
    const auto* characters = std::get_if<HTMLCharacterToken>(&token);
    if (characters && characters->string().starts_with(u'\n')) {
        if (characters->string().size() == 1)
            return;
        HTMLToken rest = HTMLCharacterToken(characters->string().substr(1));
        return processTokenUsingRulesFor(mode, rest);
    }
    processTokenUsingRulesFor(mode, token);
}

void HTMLParser::stopParsing()
{
    stackOfOpenElements_.clear();
    knownOpenElementCounts_.fill(0);
    openElementCounts_.clear();
    openForeignElements_ = foreignContextElements();
    updateTokensGoToInBody();
    done_ = true;
}

bool HTMLParser::handleLeadingWhitespace(HTMLToken& token, LeadingWhitespace action)
{
    const auto& characters = std::get<HTMLCharacterToken>(token);
    std::optional<HTMLCharacterToken> whitespace = characters.leadingWhitespaceToken();
    std::optional<HTMLCharacterToken> rest = characters.afterLeadingWhitespaceToken();
    if (whitespace && action == LeadingWhitespace::Insert)
        insertCharacters(whitespace->string());
    if (whitespace && action == LeadingWhitespace::ProcessUsingInBodyRules) {
        HTMLToken leading = std::move(*whitespace);
        processTokenUsingRulesFor(InsertionMode::InBody, leading);
    }
    if (!rest)
        return false;
    token = std::move(*rest);
    return true;
}

// MARK: - The stack of open elements

HTMLElement* HTMLParser::adjustedCurrentNode() const
{
    if (fragmentParsingAlgorithm_ && stackOfOpenElements_.size() == 1)
        return context_.get();
    return currentNode();
}

void HTMLParser::pushOntoStackOfOpenElements(ElementPtr element)
{
    countOpenElement(*element, 1);
    stackOfOpenElements_.push_back(std::move(element));
}

void HTMLParser::insertIntoStackOfOpenElements(std::size_t index, ElementPtr element)
{
    countOpenElement(*element, 1);
    stackOfOpenElements_.insert(stackOfOpenElements_.begin() + static_cast<std::ptrdiff_t>(index), std::move(element));
}

void HTMLParser::removeFromStackOfOpenElementsAt(std::size_t index)
{
    countOpenElement(*stackOfOpenElements_[index], -1);
    stackOfOpenElements_.erase(stackOfOpenElements_.begin() + static_cast<std::ptrdiff_t>(index));
}

void HTMLParser::countOpenElementNamed(const HTMLElement& element, int change)
{
    openElementCounts_[element.tagName()] += change;
}

bool HTMLParser::hasOpenElementNamed(std::u16string_view name) const
{
    if (const std::size_t number = KnownTagNameNumber(name); number < KnownTagNameCount)
        return knownOpenElementCounts_[number] > 0;
    const auto count = openElementCounts_.find(name);
    return count != openElementCounts_.end() && count->second > 0;
}

void HTMLParser::popElementsUntilOneNamedIsPopped(const HTMLTagSet& names)
{
    while (!stackOfOpenElements_.empty()) {
        const bool found = names.contains(currentNode()->tagNameNumber());
        popCurrentNode();
        if (found)
            return;
    }
}

void HTMLParser::popElementsUntilOneNumberedIsPopped(std::size_t number)
{
    while (!stackOfOpenElements_.empty()) {
        const bool found = currentNode()->tagNameNumber() == number;
        popCurrentNode();
        if (found)
            return;
    }
}

void HTMLParser::popElementsUntilElementIsPopped(const HTMLElement* element)
{
    while (!stackOfOpenElements_.empty()) {
        const bool found = currentNode() == element;
        popCurrentNode();
        if (found)
            return;
    }
}

void HTMLParser::removeFromStackOfOpenElements(const HTMLElement* element)
{
    const std::size_t index = indexInStackOfOpenElements(element);
    if (index != HTMLNotFound)
        removeFromStackOfOpenElementsAt(index);
}

std::size_t HTMLParser::indexInStackOfOpenElements(const HTMLElement* element) const
{
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        if (stackOfOpenElements_[i].get() == element)
            return i;
    }
    return HTMLNotFound;
}

bool HTMLParser::isOnStackOfOpenElements(const HTMLElement* element) const
{
    return indexInStackOfOpenElements(element) != HTMLNotFound;
}

// MARK: - Scopes

namespace {

// Constants, so that a scope walk tests them in place at every step.
constexpr HTMLTagSet tableScopeBoundaries = {u"html", u"table"};
constexpr HTMLTagSet scopeBoundaries = {u"applet", u"caption", u"html", u"table", u"td", u"th", u"marquee", u"object"};
constexpr HTMLTagSet listItemScopeBoundaries = {u"ol", u"ul"};
constexpr HTMLTagSet mathMLScopeBoundaries = {u"mi", u"mo", u"mn", u"ms", u"mtext", u"annotation-xml"};
constexpr HTMLTagSet svgScopeBoundaries = {u"foreignObject", u"desc", u"title"};

} // namespace

bool HTMLParser::isScopeBoundary(const HTMLElement& element, Scope scope)
{
    const std::size_t number = element.tagNameNumber();
    switch (element.htmlNamespace()) {
    case HTMLNamespace::HTML:
        if (scope == Scope::Table)
            return tableScopeBoundaries.contains(number);
        if (scopeBoundaries.contains(number))
            return true;
        if (scope == Scope::Button)
            return number == KnownTagNameNumberOf(u"button");
        if (scope == Scope::ListItem)
            return listItemScopeBoundaries.contains(number);
        return false;
    case HTMLNamespace::MathML:
        return scope != Scope::Table && mathMLScopeBoundaries.contains(number);
    case HTMLNamespace::SVG:
        return scope != Scope::Table && svgScopeBoundaries.contains(number);
    }
    return false;
}

HTMLElement* HTMLParser::elementInSpecificScope(Names targets, Scope scope, bool htmlNamespaceOnly) const
{
    if (targets.size() == 1) {
        if (const std::size_t number = KnownTagNameNumber(*targets.begin()); number < KnownTagNameCount)
            return elementNumberedInScope(number, scope, htmlNamespaceOnly);
    }
    // A name that is not open cannot be in scope, so deep stacks are not walked for nothing.
    if (std::none_of(targets.begin(), targets.end(),
                     [this](std::u16string_view name) { return hasOpenElementNamed(name); }))
        return nullptr;
    for (auto element = stackOfOpenElements_.rbegin(); element != stackOfOpenElements_.rend(); ++element) {
        HTMLElement& node = **element;
        if (IsOneOf(node.tagName(), targets) && (!htmlNamespaceOnly || node.htmlNamespace() == HTMLNamespace::HTML))
            return &node;
        if (isScopeBoundary(node, scope))
            return nullptr;
    }
    return nullptr;
}

HTMLElement* HTMLParser::openElementNumberedInScope(std::size_t number, Scope scope, bool htmlNamespaceOnly) const
{
    for (auto element = stackOfOpenElements_.rbegin(); element != stackOfOpenElements_.rend(); ++element) {
        HTMLElement& node = **element;
        if (node.tagNameNumber() == number && (!htmlNamespaceOnly || node.htmlNamespace() == HTMLNamespace::HTML))
            return &node;
        if (isScopeBoundary(node, scope))
            return nullptr;
    }
    return nullptr;
}

bool HTMLParser::hasElementInSelectScope() const
{
    for (auto element = stackOfOpenElements_.rbegin(); element != stackOfOpenElements_.rend(); ++element) {
        const HTMLElement& node = **element;
        if (node.tagName() == u"select")
            return true;
        if (node.htmlNamespace() != HTMLNamespace::HTML || !IsOneOf(node.tagName(), {u"optgroup", u"option"}))
            return false;
    }
    return false;
}

bool HTMLParser::isElementInScope(const HTMLElement* target) const
{
    for (auto element = stackOfOpenElements_.rbegin(); element != stackOfOpenElements_.rend(); ++element) {
        if (element->get() == target)
            return true;
        if (isScopeBoundary(**element, Scope::Default))
            return false;
    }
    return false;
}

// MARK: - Insertion

HTMLParser::InsertionLocation HTMLParser::appropriatePlaceWhileFosterParenting(HTMLElement& target) const
{
    if (!HTMLTagSet({u"table", u"tbody", u"tfoot", u"thead", u"tr"}).contains(target.tagNameNumber()))
        return {&target, target.numberOfChildren()};
    // Foster parenting: just before the last table, or at the end of what holds it.
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        HTMLElement* table = stackOfOpenElements_[i].get();
        if (table->tagName() != u"table")
            continue;
        if (HTMLElement* parent = table->parentElement())
            return {parent, parent->indexOfChild(table)};
        if (i == 0)
            break;
        HTMLElement* previous = stackOfOpenElements_[i - 1].get();
        return {previous, previous->numberOfChildren()};
    }
    HTMLElement* html = stackOfOpenElements_.front().get();
    return {html, html->numberOfChildren()};
}

void HTMLParser::insertNodeAtAppropriatePlace(std::shared_ptr<HTMLNode> node, HTMLElement* overrideTarget)
{
    InsertionLocation place = appropriatePlaceForInsertingANode(overrideTarget);
    if (!place.parent)
        return;
    // A node moving within its parent leaves its old place first.
    if (node->parentNode() == place.parent && place.parent->indexOfChild(node.get()) < place.index)
        --place.index;
    node->removeFromParentNode();
    place.parent->insertObject(std::move(node), place.index);
}

void HTMLParser::insertComment(const HTMLCommentToken& comment)
{
    insertNodeAtAppropriatePlace(arena_.make<HTMLComment>(comment.data()));
}

void HTMLParser::appendComment(const HTMLCommentToken& comment, HTMLNode& parent)
{
    parent.addChild(arena_.make<HTMLComment>(comment.data()));
}

void HTMLParser::insertCharacters(std::u16string_view characters)
{
    if (fosterParenting_) [[unlikely]]
        return insertCharactersAtAppropriatePlace(characters);
    // Most text goes at the end of the current node, joining the text node there if any.
    HTMLElement* parent = currentNode();
    if (!parent)
        return;
    HTMLNodeList& children = parent->children_;
    if (!children.empty() && children.back()->kind() == HTMLNode::Kind::Text)
        return static_cast<HTMLTextNode&>(*children.back()).appendString(characters);
    parent->appendNewChild(arena_.make<HTMLTextNode>(characters, arena_.strings()));
}

void HTMLParser::insertCharactersAtAppropriatePlace(std::u16string_view characters)
{
    const InsertionLocation place = appropriatePlaceForInsertingANode();
    if (!place.parent || place.parent->kind() == HTMLNode::Kind::Document)
        return;
    // Characters join the text node just before the place, if there is one.
    // The place is within the list, so its entries are read unchecked.
    const HTMLNodeList& children = place.parent->children_;
    if (place.index > 0) {
        HTMLNode& before = *children[place.index - 1];
        if (before.kind() == HTMLNode::Kind::Text)
            return static_cast<HTMLTextNode&>(before).appendString(characters);
    }
    auto text = arena_.make<HTMLTextNode>(characters, arena_.strings());
    if (place.index == children.size())
        place.parent->appendNewChild(std::move(text));
    else
        place.parent->insertObject(std::move(text), place.index);
}

namespace {

// Gives make the token's attributes for its element, in a list of exactly
// their count: the tokenizer makes a tag's list as long as the last tag of
// that name needed, and an element keeps no such spare room. An exact list
// (no attributes, mostly) goes over as it is; from one with room to spare the
// entries move, and the list stays with the tag for the next one.
template <typename Make>
[[gnu::always_inline]] inline decltype(auto) withExactAttributes(HTMLTagToken& tag, Make&& make)
{
    HTMLOrderedDictionary& attributes = tag.attributes();
    if (attributes.entries().capacity() == attributes.count())
        return make(std::move(attributes));
    return make(attributes.takeEntriesExactly());
}

} // namespace

HTMLParser::ElementPtr HTMLParser::createElementForToken(HTMLTagToken& tag, HTMLNamespace ns) const
{
    auto element = withExactAttributes(tag, [&](HTMLOrderedDictionary&& attributes) {
        return arena_.make<HTMLElement>(std::u16string_view(tag.tagName()), tag.tagNameNumber(), std::move(attributes));
    });
    element->setHtmlNamespace(ns);
    return element;
}

const HTMLParser::ElementPtr& HTMLParser::insertElement(ElementPtr element)
{
    // The element is new: it has no parent to leave.
    if (const InsertionLocation place = appropriatePlaceForInsertingANode(); place.parent) {
        if (place.index == place.parent->numberOfChildren())
            place.parent->appendNewChild(ElementPtr(element));
        else
            place.parent->insertObject(element, place.index);
    }
    pushOntoStackOfOpenElements(std::move(element));
    return stackOfOpenElements_.back();
}

const HTMLParser::ElementPtr& HTMLParser::insertHTMLElementWithExactCopy(HTMLTagToken& tag)
{
    return insertHTMLElement(tag, tag.attributes().takeEntriesExactly());
}

const HTMLParser::ElementPtr& HTMLParser::insertHTMLElement(const HTMLTagToken& tag, HTMLOrderedDictionary&& attributes)
{
    auto element =
        arena_.make<HTMLElement>(std::u16string_view(tag.tagName()), tag.tagNameNumber(), std::move(attributes));
    HTMLElement* parent = currentNode();
    if (fosterParenting_ || !parent) [[unlikely]]
        return insertElement(std::move(element));
    // Most elements go at the end of the current node: made straight onto the
    // stack of open elements, and appended from there. It is an HTML element.
    countOpenElementName(*element, 1);
    const ElementPtr& open = stackOfOpenElements_.emplace_back(std::move(element));
    parent->appendNewChild(ElementPtr(open));
    return open;
}

const HTMLParser::ElementPtr& HTMLParser::insertHTMLElementNamed(std::u16string tagName)
{
    return insertElement(arena_.make<HTMLElement>(std::move(tagName)));
}

const HTMLParser::ElementPtr& HTMLParser::insertForeignElementForToken(HTMLTagToken& tag, HTMLNamespace ns)
{
    ElementPtr element = createElementForToken(tag, ns);
    if (HTMLElement* parent = currentNode())
        parent->appendNewChild(ElementPtr(element));
    pushOntoStackOfOpenElements(std::move(element));
    return stackOfOpenElements_.back();
}

void HTMLParser::resetTheInsertionModeAppropriately()
{
    for (std::size_t i = stackOfOpenElements_.size(); i-- > 0;) {
        const bool last = i == 0;
        // At the bottom the context element stands in; outside fragments there is none.
        const HTMLElement* node = last ? context_.get() : stackOfOpenElements_[i].get();
        if (!node)
            break;
        const std::u16string_view name = node->tagName();
        if (name == u"select") {
            for (std::size_t j = i; !last && j-- > 0;) {
                if (stackOfOpenElements_[j]->tagName() == u"table")
                    return switchInsertionMode(InsertionMode::InSelectInTable);
            }
            return switchInsertionMode(InsertionMode::InSelect);
        }
        if (IsOneOf(name, {u"td", u"th"}) && !last)
            return switchInsertionMode(InsertionMode::InCell);
        if (name == u"tr")
            return switchInsertionMode(InsertionMode::InRow);
        if (IsOneOf(name, {u"tbody", u"thead", u"tfoot"}))
            return switchInsertionMode(InsertionMode::InTableBody);
        if (name == u"caption")
            return switchInsertionMode(InsertionMode::InCaption);
        if (name == u"colgroup")
            return switchInsertionMode(InsertionMode::InColumnGroup);
        if (name == u"table")
            return switchInsertionMode(InsertionMode::InTable);
        if (name == u"head" && !last)
            return switchInsertionMode(InsertionMode::InHead);
        if (name == u"body")
            return switchInsertionMode(InsertionMode::InBody);
        if (name == u"frameset")
            return switchInsertionMode(InsertionMode::InFrameset);
        if (name == u"html")
            return switchInsertionMode(InsertionMode::BeforeHead);
    }
    switchInsertionMode(InsertionMode::InBody);
}

// MARK: - The list of active formatting elements

namespace {

// The same names with the same values, in any order.
bool haveEqualAttributes(const HTMLOrderedDictionary& a, const HTMLOrderedDictionary& b)
{
    if (a.count() != b.count())
        return false;
    return std::all_of(a.begin(), a.end(), [&](const auto& entry) {
        const HTMLOrderedDictionary::String* value = b.objectForKey(entry.first);
        return value && *value == entry.second;
    });
}

} // namespace

std::size_t HTMLParser::formattingFingerprint(const HTMLElement& element)
{
    // Four units at a step: attribute values, links above all, can be long.
    const auto hash = [](std::u16string_view text) {
        std::uint64_t value = 0x9e3779b97f4a7c15u ^ text.size();
        std::size_t i = 0;
        for (; i + 4 <= text.size(); i += 4) {
            std::uint64_t units;
            std::memcpy(&units, text.data() + i, sizeof units);
            value = (value ^ units) * 0xff51afd7ed558ccdu;
            value ^= value >> 29;
        }
        for (; i < text.size(); ++i)
            value = (value ^ text[i]) * 1099511628211u;
        return static_cast<std::size_t>(value);
    };
    // Formatting elements have common names: their number stands for the name.
    const std::size_t number = element.tagNameNumber();
    std::size_t fingerprint = number < KnownTagNameCount ? number : hash(element.tagName());
    // Equal attributes may come in any order, so their hashes are summed.
    for (const auto& [name, value] : element.attributes())
        fingerprint += hash(name) * 31 + hash(value);
    return fingerprint;
}

void HTMLParser::insertIntoListOfActiveFormattingElements(std::size_t index, ElementPtr element)
{
    insertIntoListOfActiveFormattingElements(index, std::move(element), unknownFormattingFingerprint);
}

void HTMLParser::insertIntoListOfActiveFormattingElements(std::size_t index, ElementPtr element, std::size_t fingerprint)
{
    if (countingFormattingFingerprints_) {
        if (fingerprint == unknownFormattingFingerprint)
            fingerprint = formattingFingerprint(*element);
        ++formattingFingerprintCounts_[fingerprint];
        activeFormattingFingerprints_.insert(
            activeFormattingFingerprints_.begin() + static_cast<std::ptrdiff_t>(index), fingerprint);
    }
    activeFormattingElements_.insert(activeFormattingElements_.begin() + static_cast<std::ptrdiff_t>(index),
                                     std::move(element));
}

void HTMLParser::removeFromListOfActiveFormattingElementsAt(std::size_t index)
{
    if (countingFormattingFingerprints_) {
        // Counts that drop to zero go, so the table stays as small as the list.
        if (activeFormattingElements_[index]) {
            const auto count = formattingFingerprintCounts_.find(activeFormattingFingerprints_[index]);
            if (--count->second == 0)
                formattingFingerprintCounts_.erase(count);
        }
        activeFormattingFingerprints_.erase(activeFormattingFingerprints_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    activeFormattingElements_.erase(activeFormattingElements_.begin() + static_cast<std::ptrdiff_t>(index));
    // A quarter of the length that started the counts, so that a list going up
    // and down around one length does not count all over again each time.
    if (countingFormattingFingerprints_ && activeFormattingElements_.size() < directlySearchedFormattingLength / 4)
        setCountingFormattingFingerprints(false);
}

void HTMLParser::setCountingFormattingFingerprints(bool counting)
{
    countingFormattingFingerprints_ = counting;
    formattingFingerprintCounts_.clear();
    activeFormattingFingerprints_.clear();
    if (!counting)
        return;
    activeFormattingFingerprints_.reserve(activeFormattingElements_.size());
    for (const ElementPtr& entry : activeFormattingElements_) {
        const std::size_t fingerprint = entry ? formattingFingerprint(*entry) : 0;
        activeFormattingFingerprints_.push_back(fingerprint);
        if (entry)
            ++formattingFingerprintCounts_[fingerprint];
    }
}

bool HTMLParser::mayHoldThreeFormattingElementsLike(const HTMLElement& element, std::size_t fingerprint) const
{
    if (countingFormattingFingerprints_) {
        const auto count = formattingFingerprintCounts_.find(fingerprint);
        return count != formattingFingerprintCounts_.end() && count->second >= 3;
    }
    // Equal elements have the same name and as many attributes.
    const std::size_t number = element.tagNameNumber();
    const std::size_t attributeCount = element.attributes().count();
    int alike = 0;
    for (const ElementPtr& entry : activeFormattingElements_)
        alike += entry && entry->tagNameNumber() == number && entry->attributes().count() == attributeCount;
    return alike >= 3;
}

void HTMLParser::pushOntoLongerListOfActiveFormattingElements(const ElementPtr& element)
{
    if (!countingFormattingFingerprints_ && activeFormattingElements_.size() >= directlySearchedFormattingLength)
        setCountingFormattingFingerprints(true);
    // Noah's Ark: at most three equal elements after the last marker. The walk
    // is needed only when three entries of the whole list look alike. Only a
    // counted list needs the element's fingerprint.
    const std::size_t fingerprint =
        countingFormattingFingerprints_ ? formattingFingerprint(*element) : unknownFormattingFingerprint;
    if (activeFormattingElements_.size() >= 3 && mayHoldThreeFormattingElementsLike(*element, fingerprint)) {
        // Equal names have equal numbers; only names outside the table are compared as text.
        const std::size_t number = element->tagNameNumber();
        int equalElements = 0;
        for (std::size_t i = activeFormattingElements_.size(); i-- > 0;) {
            const ElementPtr& entry = activeFormattingElements_[i];
            if (!entry)
                break;
            if (entry->tagNameNumber() == number
                && (number < KnownTagNameCount || entry->tagName() == element->tagName())
                && haveEqualAttributes(entry->attributes(), element->attributes()) && ++equalElements == 3) {
                removeFromListOfActiveFormattingElementsAt(i);
                break;
            }
        }
    }
    if (countingFormattingFingerprints_) [[unlikely]]
        return insertIntoListOfActiveFormattingElements(activeFormattingElements_.size(), element, fingerprint);
    activeFormattingElements_.push_back(element);
}

void HTMLParser::removeFromListOfActiveFormattingElements(const HTMLElement* element)
{
    const std::size_t index = indexInListOfActiveFormattingElements(element);
    if (index != HTMLNotFound)
        removeFromListOfActiveFormattingElementsAt(index);
}

std::size_t HTMLParser::indexInListOfActiveFormattingElements(const HTMLElement* element) const
{
    for (std::size_t i = activeFormattingElements_.size(); i-- > 0;) {
        if (activeFormattingElements_[i].get() == element)
            return i;
    }
    return HTMLNotFound;
}

void HTMLParser::reconstructClosedActiveFormattingElements()
{
    auto isMarkerOrOpen = [this](const ElementPtr& entry) { return !entry || isOnStackOfOpenElements(entry.get()); };
    if (activeFormattingElements_.empty() || isMarkerOrOpen(activeFormattingElements_.back()))
        return;
    // Rewind to the entry after the last marker or open element, then advance.
    std::size_t index = activeFormattingElements_.size() - 1;
    while (index > 0 && !isMarkerOrOpen(activeFormattingElements_[index - 1]))
        --index;
    // Each new element has its entry's name and attributes, so the fingerprints stay.
    for (; index < activeFormattingElements_.size(); ++index) {
        const HTMLElement& entry = *activeFormattingElements_[index];
        activeFormattingElements_[index] = insertElement(copyOfElement(entry));
    }
}

void HTMLParser::removeFormattingEntriesThroughTheLastMarker()
{
    while (!activeFormattingElements_.empty()) {
        const bool isMarker = !activeFormattingElements_.back();
        removeNewestFromListOfActiveFormattingElements();
        if (isMarker)
            return;
    }
}

// MARK: - Shared steps

void HTMLParser::generateImpliedEndTags(std::u16string_view exception)
{
    static constexpr HTMLTagSet impliedEndTags = {u"dd", u"dt", u"li", u"menuitem", u"optgroup",
                                                  u"option", u"p", u"rp", u"rt"};
    while (currentNode() && impliedEndTags.contains(currentNode()->tagNameNumber())
           && currentNode()->tagName() != exception)
        popCurrentNode();
}

void HTMLParser::followGenericParsingAlgorithm(HTMLStartTagToken& tag, HTMLTokenizerState state)
{
    insertHTMLElementForToken(tag);
    tokenizer_.setState(state);
    switchInsertionMode(InsertionMode::Text);
}

void HTMLParser::addTokenizerError(const HTMLParseErrorToken& error)
{
    addParseError("Tokenizer: " + error.error());
}

void HTMLParser::addParseError(std::string_view text)
{
    errors_.emplace_back(text);
}

void HTMLParser::addParseError(std::string_view format, std::u16string_view argument)
{
    std::string text(format);
    if (const std::size_t placeholder = text.find("%@"); placeholder != std::string::npos)
        text.replace(placeholder, 2, UTF8FromUTF16(argument));
    errors_.push_back(std::move(text));
}

void HTMLParser::addParseError(std::string_view format, std::string_view first, std::u16string_view second)
{
    std::string text(format);
    if (const std::size_t placeholder = text.find("%@"); placeholder != std::string::npos)
        text.replace(placeholder, 2, first);
    addParseError(text, second);
}

void HTMLParser::changeTheEncoding(StringEncoding encoding)
{
    if (IsUTF16Encoding(encoding_.encoding)) {
        encoding_.confidence = HTMLStringEncodingConfidence::Certain;
        return;
    }
    if (IsUTF16Encoding(encoding))
        encoding = StringEncoding::UTF8;
    if (encoding == encoding_.encoding) {
        encoding_.confidence = HTMLStringEncodingConfidence::Certain;
        return;
    }
    if (!changeEncoding_) {
        addParseError("Wanted to change string encoding but couldn't; continuing with misinterpreted resource");
        return;
    }
    // The creator parses the bytes again in the new encoding; this parse ends here.
    changeEncoding_(encoding, HTMLStringEncodingConfidence::Certain);
    stopParsing();
}
