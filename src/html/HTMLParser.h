#pragma once

#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"
#include "html/HTMLNodeArena.h"
#include "html/HTMLStringEncoding.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLToken.h"
#include "html/HTMLTokenizer.h"

#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The tree construction stage: pulls tokens from its own tokenizer one at a
// time and builds a document after the standard's insertion modes. It never
// fails on bad markup: each parse error appends one fixed English text to
// errors() and the standard's recovery follows.
//
// Departures kept on purpose: no template insertion mode ("template" is an
// ordinary element), scripting counts as enabled but nothing runs ("noscript"
// is raw text, no in head noscript mode), no foreign-attribute adjustment, tag
// names compared without their namespace unless a rule says otherwise, and the
// element lists of an earlier edition ("menuitem" handled; "search", "rb" and
// "rtc" ordinary).
class HTMLParser {
public:
    // The numbers show in the dispatcher's failure messages.
    enum class InsertionMode : int {
        Initial = 1,
        BeforeHTML = 2,
        BeforeHead = 3,
        InHead = 4,
        InHeadNoscript = 5, // never entered
        AfterHead = 6,
        InBody = 7,
        Text = 8,
        InTable = 9,
        InTableText = 10,
        InCaption = 11,
        InColumnGroup = 12,
        InTableBody = 13,
        InRow = 14,
        InCell = 15,
        InSelect = 16,
        InSelectInTable = 17,
        AfterBody = 18,
        InFrameset = 19,
        AfterFrameset = 20,
        AfterAfterBody = 21,
        AfterAfterFrameset = 22,
        // The rules for foreign content: chosen per token, never stored as the mode.
        ForeignContent = 23,
    };

    // Called at most once, when a meta charset names another encoding while the
    // confidence is tentative; parsing stops right after it.
    using ChangeEncoding = std::function<void(StringEncoding encoding, HTMLStringEncodingConfidence confidence)>;

    // An empty input in UTF-8, tentative.
    HTMLParser();
    // With a context element the input is parsed as that element's content
    // (fragment parsing) and the encoding becomes UTF-8, irrelevant.
    HTMLParser(std::u16string string, HTMLStringEncoding encoding, std::shared_ptr<HTMLElement> context = nullptr);
    // A document from bytes decoded as the parse goes; they must outlive the
    // first document() call, which parses.
    HTMLParser(HTMLUndecodedText text, HTMLStringEncoding encoding);
    HTMLParser(const HTMLParser&) = delete;
    HTMLParser& operator=(const HTMLParser&) = delete;
    ~HTMLParser();

    // Parses on the first call; every call returns the same document. A
    // fragment parse gives a document whose children are the parsed nodes.
    std::shared_ptr<HTMLDocument> document();
    // The parse errors in the order found.
    const std::vector<std::string>& errors() const { return errors_; }
    // The whole input text, decoded when asked (undecoded bytes must still be
    // alive then); the parse itself never holds all of it.
    std::u16string string() const { return tokenizer_.string(); }
    // Whether UTF-8 bytes turned out invalid: the text, and so the document,
    // ended before them (the bytes are checked only as the parse reads them).
    bool foundInvalidUTF8() const { return tokenizer_.foundInvalidUTF8(); }
    HTMLStringEncoding encoding() const { return encoding_; }
    const ChangeEncoding& changeEncoding() const { return changeEncoding_; }
    void setChangeEncoding(ChangeEncoding changeEncoding) { changeEncoding_ = std::move(changeEncoding); }
    // The encoding named by the first meta charset the tree construction
    // acted on (UTF-16 read as UTF-8), whatever the confidence was then;
    // InvalidStringEncoding() when a label with more than ASCII came first.
    std::optional<StringEncoding> firstMetaCharset() const { return firstMetaCharset_; }

    // The top of the stack of open elements, or nullptr when it is empty.
    HTMLElement* currentNode() const { return stackOfOpenElements_.empty() ? nullptr : stackOfOpenElements_.back().get(); }
    // The context element while a fragment parse has only its root open, else
    // the current node.
    HTMLElement* adjustedCurrentNode() const;

private:
    HTMLParser(HTMLPreprocessedInputStream input, HTMLStringEncoding encoding, std::shared_ptr<HTMLElement> context);

    using ElementPtr = std::shared_ptr<HTMLElement>;
    using Names = std::initializer_list<std::u16string_view>;
    enum class Scope { Default, Button, ListItem, Table };
    // Where a node goes: a child of parent at index (no parent: nowhere).
    struct InsertionLocation {
        HTMLNode* parent = nullptr;
        std::size_t index = 0;
    };

    // Dispatch.
    void processToken(HTMLToken& token);
    // The rest of the dispatch, for the rare tokens met in foreign content.
    void processTokenWithForeignAdjustedCurrentNode(HTMLToken& token, const HTMLElement& node);
    void processTokenUsingRulesFor(InsertionMode mode, HTMLToken& token);
    // Tokenizer errors, and the token after one whose leading line feed is dropped.
    void processErrorOrLineFeedUsingRulesFor(InsertionMode mode, HTMLToken& token);
    void reprocessToken(HTMLToken& token) { processToken(token); }
    void switchInsertionMode(InsertionMode mode)
    {
        if (mode == InsertionMode::Text || mode == InsertionMode::InTableText)
            originalInsertionMode_ = insertionMode_;
        insertionMode_ = mode;
        updateTokensGoToInBody();
    }
    void setIgnoreNextTokenIfLineFeed(bool ignore)
    {
        ignoreNextTokenIfLineFeed_ = ignore;
        updateTokensGoToInBody();
    }
    // Whether the next token goes straight to the in body rules, as most do:
    // one test per token instead of one for each field it sums up. Kept up
    // to date wherever those fields change.
    void updateTokensGoToInBody()
    {
        tokensGoToInBody_ =
            insertionMode_ == InsertionMode::InBody && openForeignElements_ == 0 && !ignoreNextTokenIfLineFeed_;
    }
    // Several modes treat the leading white space of a character token
    // apart: it is handled as asked, and the rest, if any, replaces the
    // token. False when nothing is left.
    enum class LeadingWhitespace { Ignore, Insert, ProcessUsingInBodyRules };
    bool handleLeadingWhitespace(HTMLToken& token, LeadingWhitespace action);
    void stopParsing();

    // One function per insertion mode.
    void handleInitial(HTMLToken& token);
    void handleBeforeHTML(HTMLToken& token);
    void handleBeforeHead(HTMLToken& token);
    void handleInHead(HTMLToken& token);
    void handleAfterHead(HTMLToken& token);
    void handleInBody(HTMLToken& token);
    void handleText(HTMLToken& token);
    void handleInTable(HTMLToken& token);
    void handleInTableText(HTMLToken& token);
    void handleInCaption(HTMLToken& token);
    void handleInColumnGroup(HTMLToken& token);
    void handleInTableBody(HTMLToken& token);
    void handleInRow(HTMLToken& token);
    void handleInCell(HTMLToken& token);
    // All the in cell rules, after handleInCell let the tokens of most cells through.
    void handleInCellTag(HTMLToken& token);
    void handleInSelect(HTMLToken& token);
    void handleInSelectInTable(HTMLToken& token);
    void handleAfterBody(HTMLToken& token);
    void handleInFrameset(HTMLToken& token);
    void handleAfterFrameset(HTMLToken& token);
    void handleAfterAfterBody(HTMLToken& token);
    void handleAfterAfterFrameset(HTMLToken& token);
    void handleForeignContent(HTMLToken& token);

    // Parts of the modes.
    // Acts on the charset a meta element's attributes name.
    void changeEncodingForMetaElement(const HTMLOrderedDictionary& attributes);
    // The characters of a token in body; the rare text holding NULs drops them first.
    void inBodyCharacters(std::u16string_view text);
    void inBodyCharactersWithNulls(std::u16string_view text);
    void handleInBodyStartTag(HTMLToken& token);
    // All the rules, for the start tags that do more than insert an element.
    void handleInBodyStartTagRules(HTMLToken& token);
    // Inserted, then pushed onto the list of active formatting elements. Out
    // of line, so that the start tags' short way needs no frame for it.
    [[gnu::noinline]] void insertFormattingElementForToken(HTMLStartTagToken& tag);
    void handleInBodyEndTag(HTMLToken& token);
    void handleInBodyEndTagSteps(HTMLToken& token);
    void inBodyListItemWalk(const HTMLTagSet& names);
    // The name's number goes with it (KnownTagNameCount for a name not known).
    void inBodyAnyOtherEndTag(std::u16string_view tagName, std::size_t number);
    void closePElement();
    void closePElementIfInButtonScope();
    // The subject is a formatting element's name, given by its number. False
    // when the caller is to run the any other end tag steps instead.
    bool runTheAdoptionAgencyAlgorithm(std::size_t subject)
    {
        return closeCurrentFormattingElement(subject) || runTheAdoptionAgencyAlgorithmSteps(subject);
    }
    bool runTheAdoptionAgencyAlgorithmSteps(std::size_t subject);
    // Most often the formatting element is the current node and the newest
    // entry of the list: the adoption agency's steps would only pop it and
    // drop its entry, which this does; false when that is not the case.
    bool closeCurrentFormattingElement(std::size_t subject)
    {
        if (activeFormattingElements_.empty())
            return false;
        const HTMLElement* newest = activeFormattingElements_.back().get();
        if (!newest || newest != currentNode() || newest->tagNameNumber() != subject)
            return false;
        popCurrentNode();
        removeNewestFromListOfActiveFormattingElements();
        return true;
    }
    void inTableAnythingElse(HTMLToken& token);
    void clearTheStackBackToATableContext();
    void clearTheStackBackToATableBodyContext();
    void clearTheStackBackToATableRowContext();
    void closeTheCell();
    void insertFramesetWhitespace(std::u16string_view characters, std::string_view error);
    void foreignContentAnyOtherStartTag(HTMLStartTagToken& tag);

    // The stack of open elements (index 0 is the bottom).
    void pushOntoStackOfOpenElements(ElementPtr element);
    void insertIntoStackOfOpenElements(std::size_t index, ElementPtr element);
    void removeFromStackOfOpenElementsAt(std::size_t index);
    void removeFromStackOfOpenElements(const HTMLElement* element);
    void popCurrentNode()
    {
        if (!stackOfOpenElements_.empty()) {
            countOpenElement(*stackOfOpenElements_.back(), -1);
            stackOfOpenElements_.pop_back();
        }
    }
    void popElementsUntilOneNamedIsPopped(const HTMLTagSet& names);
    // The same for one common name, given by its number.
    void popElementsUntilOneNumberedIsPopped(std::size_t number);
    void popElementsUntilElementIsPopped(const HTMLElement* element);
    std::size_t indexInStackOfOpenElements(const HTMLElement* element) const;
    bool isOnStackOfOpenElements(const HTMLElement* element) const;
    bool currentNodeIsOneOf(const HTMLTagSet& names) const
    {
        const HTMLElement* node = currentNode();
        return node && names.contains(node->tagNameNumber());
    }
    bool currentNodeIs(std::u16string_view name) const
    {
        const HTMLElement* node = currentNode();
        return node && node->tagName() == name;
    }
    // The same for a common name, given by its number.
    bool currentNodeIsNumbered(std::size_t number) const
    {
        const HTMLElement* node = currentNode();
        return node && node->tagNameNumber() == number;
    }

    // Scopes.
    static bool isScopeBoundary(const HTMLElement& element, Scope scope);
    HTMLElement* elementInSpecificScope(Names targets, Scope scope, bool htmlNamespaceOnly = false) const;
    // The same for one common name, given by its number (the searches made most).
    HTMLElement* elementNumberedInScope(std::size_t number, Scope scope, bool htmlNamespaceOnly = false) const
    {
        // Most searches are for a name not open at all: no walk, no call.
        if (knownOpenElementCounts_[number] == 0)
            return nullptr;
        return openElementNumberedInScope(number, scope, htmlNamespaceOnly);
    }
    // The walk, for a name that is open.
    HTMLElement* openElementNumberedInScope(std::size_t number, Scope scope, bool htmlNamespaceOnly) const;
    bool hasElementInScope(Names targets) const { return elementInSpecificScope(targets, Scope::Default); }
    bool hasElementNumberedInScope(std::size_t number) const { return elementNumberedInScope(number, Scope::Default); }
    bool hasElementInButtonScope(std::size_t number) const { return elementNumberedInScope(number, Scope::Button); }
    bool hasElementInListItemScope(std::size_t number) const { return elementNumberedInScope(number, Scope::ListItem); }
    bool hasElementInTableScope(Names targets, bool htmlNamespaceOnly = false) const
    {
        return elementInSpecificScope(targets, Scope::Table, htmlNamespaceOnly);
    }
    bool hasElementNumberedInTableScope(std::size_t number, bool htmlNamespaceOnly = false) const
    {
        return elementNumberedInScope(number, Scope::Table, htmlNamespaceOnly);
    }
    bool hasElementInSelectScope() const;
    bool isElementInScope(const HTMLElement* element) const;

    // Insertion.
    InsertionLocation appropriatePlaceForInsertingANode(HTMLElement* overrideTarget = nullptr) const
    {
        HTMLElement* target = overrideTarget ? overrideTarget : currentNode();
        if (!target)
            return {};
        if (!fosterParenting_) [[likely]]
            return {target, target->numberOfChildren()};
        return appropriatePlaceWhileFosterParenting(*target);
    }
    InsertionLocation appropriatePlaceWhileFosterParenting(HTMLElement& target) const;
    void insertNodeAtAppropriatePlace(std::shared_ptr<HTMLNode> node, HTMLElement* overrideTarget = nullptr);
    void insertComment(const HTMLCommentToken& comment);
    void appendComment(const HTMLCommentToken& comment, HTMLNode& parent);
    void insertCharacters(std::u16string_view characters);
    // The same while foster parenting.
    void insertCharactersAtAppropriatePlace(std::u16string_view characters);
    // The element for a tag token, with the token's attributes taken over
    // (see withExactAttributes in the source): they are not looked at again.
    ElementPtr createElementForToken(HTMLTagToken& tag, HTMLNamespace ns = HTMLNamespace::HTML) const;
    // The insertions give the new element where it stands: on top of the stack
    // of open elements. insertElement takes an element made just before.
    const ElementPtr& insertElement(ElementPtr element);
    // The token's attributes go over in a list of their exact count (see
    // withExactAttributes in the source). Inline: an exact list (no
    // attributes, mostly) goes straight to insertHTMLElement.
    const ElementPtr& insertHTMLElementForToken(HTMLTagToken& tag)
    {
        HTMLOrderedDictionary& attributes = tag.attributes();
        if (attributes.entries().capacity() == attributes.count()) [[likely]]
            return insertHTMLElement(tag, std::move(attributes));
        return insertHTMLElementWithExactCopy(tag);
    }
    const ElementPtr& insertHTMLElementWithExactCopy(HTMLTagToken& tag);
    // It ends here: the element is made and placed in one frame, so the
    // common case (no foster parenting) needs no other call.
    const ElementPtr& insertHTMLElement(const HTMLTagToken& tag, HTMLOrderedDictionary&& attributes);
    const ElementPtr& insertHTMLElementNamed(std::u16string tagName);
    const ElementPtr& insertForeignElementForToken(HTMLTagToken& tag, HTMLNamespace ns);
    // A new element with the same name and attributes, in the HTML namespace.
    ElementPtr copyOfElement(const HTMLElement& element) const { return arena_.make<HTMLElement>(element.tagName(), element.attributes()); }
    void resetTheInsertionModeAppropriately();

    // The list of active formatting elements; a null entry is a marker.
    void pushOntoListOfActiveFormattingElements(const ElementPtr& element)
    {
        // A list of fewer than three entries holds no three of anything, and is not counted.
        if (activeFormattingElements_.size() < 3 && !countingFormattingFingerprints_) [[likely]]
            return activeFormattingElements_.push_back(element);
        pushOntoLongerListOfActiveFormattingElements(element);
    }
    void pushOntoLongerListOfActiveFormattingElements(const ElementPtr& element);
    void pushMarkerOntoListOfActiveFormattingElements()
    {
        activeFormattingElements_.push_back(nullptr);
        if (countingFormattingFingerprints_) [[unlikely]]
            activeFormattingFingerprints_.push_back(0);
    }
    void insertIntoListOfActiveFormattingElements(std::size_t index, ElementPtr element);
    void insertIntoListOfActiveFormattingElements(std::size_t index, ElementPtr element, std::size_t fingerprint);
    void removeFromListOfActiveFormattingElementsAt(std::size_t index);
    void removeNewestFromListOfActiveFormattingElements()
    {
        // Without counts (short lists) the entry merely goes.
        if (countingFormattingFingerprints_) [[unlikely]]
            return removeFromListOfActiveFormattingElementsAt(activeFormattingElements_.size() - 1);
        activeFormattingElements_.pop_back();
    }
    void removeFromListOfActiveFormattingElements(const HTMLElement* element);
    static std::size_t formattingFingerprint(const HTMLElement& element);
    // Whether three entries of the list may be like the element; a list that
    // grew long answers from counts, by the element's fingerprint.
    bool mayHoldThreeFormattingElementsLike(const HTMLElement& element, std::size_t fingerprint) const;
    void setCountingFormattingFingerprints(bool counting);
    std::size_t indexInListOfActiveFormattingElements(const HTMLElement* element) const;
    // The newest element with that common name after the last marker.
    ElementPtr activeFormattingElementNumbered(std::size_t number) const;
    void reconstructTheActiveFormattingElements()
    {
        // Most of the time the list is empty, or its last entry is still open.
        // Said so to the compiler, callers keep the call off their common way
        // (no frame for it in the text's).
        if (!activeFormattingElements_.empty() && activeFormattingElements_.back()
            && activeFormattingElements_.back().get() != currentNode()) [[unlikely]]
            reconstructClosedActiveFormattingElements();
    }
    void reconstructClosedActiveFormattingElements();
    void clearTheListOfActiveFormattingElementsUpToTheLastMarker()
    {
        // Mostly the marker is the newest entry (nothing was left open after
        // it): it merely goes, with no call.
        if (!activeFormattingElements_.empty() && !activeFormattingElements_.back()
            && !countingFormattingFingerprints_) [[likely]]
            return activeFormattingElements_.pop_back();
        removeFormattingEntriesThroughTheLastMarker();
    }
    // The same, entry by entry from the newest, the marker included.
    void removeFormattingEntriesThroughTheLastMarker();

    void generateImpliedEndTags(std::u16string_view exception = {});
    void followGenericParsingAlgorithm(HTMLStartTagToken& tag, HTMLTokenizerState state);

    // An error of the input stream or the tokenizer, travelling as a token.
    void addTokenizerError(const HTMLParseErrorToken& error);
    // Errors: "%@" in the format is replaced by the arguments in order.
    void addParseError(std::string_view text);
    void addParseError(std::string_view format, std::u16string_view argument);
    void addParseError(std::string_view format, std::string_view first, std::u16string_view second);
    void changeTheEncoding(StringEncoding encoding);

    // Every node this parser makes comes from here; declared before the
    // tokenizer, whose tokens hold memory from it, so that it outlasts them.
    HTMLNodeArena arena_;
    HTMLTokenizer tokenizer_;
    InsertionMode insertionMode_ = InsertionMode::Initial;
    InsertionMode originalInsertionMode_ = InsertionMode::Initial;
    ElementPtr context_;
    std::vector<ElementPtr> stackOfOpenElements_;
    // How many open elements carry each tag name: a scope walk for a name that
    // is not open ends at once, so deep nesting stays linear. Known names
    // count by their number, the others by name.
    void countOpenElement(const HTMLElement& element, int change)
    {
        if (element.htmlNamespace() != HTMLNamespace::HTML) [[unlikely]] {
            openForeignElements_ += change;
            updateTokensGoToInBody();
        }
        countOpenElementName(element, change);
    }
    // The same for an element known to be in the HTML namespace.
    void countOpenElementName(const HTMLElement& element, int change)
    {
        if (const std::size_t number = element.tagNameNumber(); number < KnownTagNameCount)
            knownOpenElementCounts_[number] += change;
        else
            countOpenElementNamed(element, change);
    }
    void countOpenElementNamed(const HTMLElement& element, int change);
    bool hasOpenElementNamed(std::u16string_view name) const;
    // The same for a common name, given by its number.
    bool hasOpenElementNumbered(std::size_t number) const { return knownOpenElementCounts_[number] > 0; }
    std::array<int, KnownTagNameCount> knownOpenElementCounts_ {};
    // How many open elements are in another namespace than HTML, a foreign
    // context element of a fragment counting as one: while there are none,
    // tokens need not look at the adjusted current node.
    int openForeignElements_ = 0;
    int foreignContextElements() const { return context_ && context_->htmlNamespace() != HTMLNamespace::HTML; }
    struct NameHash {
        using is_transparent = void;
        // Tag names are short: FNV-1a over the units beats a general string hash.
        std::size_t operator()(std::u16string_view name) const noexcept
        {
            std::size_t hash = 14695981039346656037u;
            for (const char16_t unit : name)
                hash = (hash ^ unit) * 1099511628211u;
            return hash;
        }
    };
    std::unordered_map<std::u16string, int, NameHash, std::equal_to<>> openElementCounts_;
    ElementPtr headElementPointer_;
    ElementPtr formElementPointer_;
    std::shared_ptr<HTMLDocument> document_;
    std::vector<std::string> errors_;
    bool framesetOk_ = true;
    bool ignoreNextTokenIfLineFeed_ = false;
    bool tokensGoToInBody_ = false;
    std::vector<ElementPtr> activeFormattingElements_;
    // While the list is counted, each entry's fingerprint at the same index
    // (0 for a marker); empty otherwise, so a short list keeps one vector.
    std::vector<std::size_t> activeFormattingFingerprints_;
    // A real fingerprint of this value is merely computed again when needed.
    static constexpr std::size_t unknownFormattingFingerprint = ~std::size_t {0};
    // How many entries share each name-and-attributes fingerprint, so that
    // deep lists of distinct formatting elements are not walked per push.
    // Short lists (most of them) are searched directly and keep no counts.
    static constexpr std::size_t directlySearchedFormattingLength = 16;
    bool countingFormattingFingerprints_ = false;
    std::unordered_map<std::size_t, int> formattingFingerprintCounts_;
    std::u16string pendingTableCharacters_;
    bool fosterParenting_ = false;
    bool done_ = false;
    bool fragmentParsingAlgorithm_ = false;
    ChangeEncoding changeEncoding_;
    HTMLStringEncoding encoding_;
    std::optional<StringEncoding> firstMetaCharset_;
};
