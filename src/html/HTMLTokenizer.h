#pragma once

#include "html/HTMLPreprocessedInputStream.h"
#include "html/HTMLToken.h"
#include "html/HTMLTokenizerState.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

// The position of a kind of token among HTMLToken's alternatives.
template <typename T, typename Token = HTMLToken>
struct HTMLTokenKind;
template <typename T, typename... Kinds>
struct HTMLTokenKind<T, std::variant<Kinds...>> {
    static constexpr std::size_t index = [] {
        constexpr bool matches[] = {std::is_same_v<T, Kinds>...};
        std::size_t i = 0;
        while (!matches[i])
            ++i;
        return i;
    }();
};

// The tokenization stage: the standard's state machine over the preprocessed
// input stream. Tokens are pulled one at a time with nextObject(); parse
// errors travel in the same stream as HTMLParseErrorToken values. The
// tokenizer consumes input only while it has no token queued (inside a tag
// it reads on past a queued parse error, and a tag right after text is read
// behind that text: neither sets a state), so a state the tree construction
// sets while it handles a token governs the characters that follow that
// token. No end-of-file token is emitted: nextObject() returns none at the
// end.
class HTMLTokenizer {
public:
    explicit HTMLTokenizer(std::u16string string = {});
    explicit HTMLTokenizer(HTMLPreprocessedInputStream input);
    HTMLTokenizer(const HTMLTokenizer&) = delete;
    HTMLTokenizer& operator=(const HTMLTokenizer&) = delete;

    // The whole input text (see HTMLPreprocessedInputStream::string).
    std::u16string string() const { return inputStream_.string(); }
    bool foundInvalidUTF8() const { return inputStream_.foundInvalidUTF8(); }

    HTMLTokenizerState state() const { return state_; }
    // Between tokens, the state for what follows. The data state reads past
    // end tags and past start tags of known names other than those the tree
    // construction answers with a new state (see dataState), before they are
    // handed out: the state can be set after those start tags only.
    void setState(HTMLTokenizerState state) { state_ = state; }

    // Where the attributes of the tags read from now on take their memory: a
    // parser gives its document's (see HTMLNodeArena::strings). The heap
    // unless set.
    void setStringResource(std::pmr::memory_resource* resource) { stringResource_ = resource; }

    // The owning parser answers whether its adjusted current node is outside
    // the HTML namespace: only there does "<![CDATA[" open a CDATA section.
    void setAdjustedCurrentNodeIsForeign(std::function<bool()> test) { adjustedCurrentNodeIsForeign_ = std::move(test); }

    // The standard's "last start tag" before any start tag was emitted.
    void setLastStartTag(std::u16string_view tagName) { noteLastStartTag(KnownTagNameNumber(tagName), tagName); }

    // The next token, or none once the input is exhausted and nothing is queued.
    std::optional<HTMLToken> nextObject();
    // The same without moving the token out: it stays in the queue, and may be
    // changed in place, until the next call of any of these functions.
    HTMLToken* nextToken()
    {
        if (queueFront_ == queue_.size())
            refillQueue();
        return queueFront_ < queue_.size() ? queue_[queueFront_++] : nullptr;
    }
    // All the queued tokens in one go, for a caller that handles them in
    // turn: none at the end. They stay as nextToken's do, until the next call.
    std::span<HTMLToken* const> nextTokens();

private:
    // Once every queued token was handed out (the last one is done with by
    // the time the next is asked for): the next tokens, none at the end.
    void refillQueue();
    // Kept out of refillQueue, which most rounds leave it for: inlined, it
    // would cost them all the registers it uses.
    [[gnu::noinline]] void dropRareTokens();
    void resume();
    void switchToState(HTMLTokenizerState state) { state_ = state; }
    char32_t consumeNextInputCharacter() { return inputStream_.consumeNextInputCharacter(); }
    void reconsume() { inputStream_.reconsumeCurrentInputCharacter(); }

    void emit(HTMLToken&& token);
    void emitParseError(std::string message);
    // "Unexpected c in <where>".
    void emitUnexpectedCharacterParseError(char32_t c, std::string_view where);
    void emitCharacterToken(char32_t c);
    void emitCharacterTokenWithString(std::u16string_view string);
    // The text states collect a run in text_ and emit it with this; the run's
    // storage goes into the token and the token's old storage comes back.
    void emitText();
    // RCDATA, RAWTEXT and script data hold their text back in text_ across a
    // "<" or "&" that turns out to be text, so that a script's text is one
    // token rather than one per "<". Anything else emitted goes after the
    // text held (see emitHeldText).
    void holdText(char32_t c) { AppendLongCharacter(text_, c); }
    void holdText(std::u16string_view string) { text_.append(string); }
    // Before any other token is queued: the text held, but not the part of a
    // run being read (see consumeTextRun), so that an error found in the run
    // goes between the text before the run and the run itself.
    void emitHeldText()
    {
        if (!text_.empty()) [[unlikely]]
            emitTextBeforeRun();
    }
    void emitTextBeforeRun();
    // A token of the kind from its pool, not queued yet; it holds what it held
    // when last handed out (or a new T).
    template <typename T>
    HTMLToken& pooledToken();
    HTMLToken& pooledTokenOfKind(std::size_t kind)
    {
        std::vector<std::unique_ptr<HTMLToken>>& pool = tokenPools_[kind];
        std::size_t& inUse = pooledTokensInUse_[kind];
        if (inUse == pool.size()) [[unlikely]]
            addPooledToken(kind);
        return *pool[inUse++];
    }
    void addPooledToken(std::size_t kind);
    void makeTokenOfKind(HTMLToken& token, std::size_t kind) const;
    // Once the input is read, what was kept for tokens to come goes.
    void releaseKeptStorage();
    // A character token at the end of the queue, for its string to be filled;
    // with a U+0000 only when mayHoldNull.
    std::u16string& queueEmptyCharacterToken(bool mayHoldNull)
    {
        HTMLToken& token = pooledToken<HTMLCharacterToken>();
        queue_.push_back(&token);
        HTMLCharacterToken& characters = *std::get_if<HTMLCharacterToken>(&token);
        characters.setMayHoldNull(mayHoldNull);
        std::u16string& string = characters.mutableString();
        clearKeepingShortStorage(string);
        return string;
    }
    // Text storage kept from one token to the next is at most this long, so
    // that a long run's storage is not held on to.
    static constexpr std::size_t keptTextCapacity = 128;
    static void clearKeepingShortStorage(std::u16string& string)
    {
        string.clear();
        if (string.capacity() > keptTextCapacity) [[unlikely]]
            string.shrink_to_fit();
    }
    void emitCurrentToken();

    HTMLTagToken& currentTag();
    HTMLCommentToken& currentComment();
    HTMLDOCTYPEToken& currentDOCTYPE();
    bool currentTagIsAppropriateEndTagToken();
    void startAttribute(char32_t firstCharacter);
    // The before and after attribute name states' start of a new attribute.
    void startAttributeNameWith(char32_t c, std::string_view where);
    void addCurrentAttributeToCurrentToken();

    // Appends to into a run of characters up to one for which isStop holds
    // (put back for the caller to consume); Stops lists the ASCII characters
    // isStop passes or acts on. Each U+0000 in the run reports nullError
    // (when there is one) at once and becomes U+FFFD unless keepNull. True
    // when the run held a U+0000.
    template <char16_t... Stops, typename IsStop>
    bool consumeRun(std::u16string& into, IsStop&& isStop, std::string_view nullError, bool keepNull = false);
    // consumeRun into text_, after the text held there.
    template <char16_t... Stops, typename IsStop>
    void consumeTextRun(IsStop&& isStop, std::string_view nullError, bool keepNull = false);

    // Character references (the "&" is consumed): the replacement, or none
    // when the caller keeps the "&".
    std::optional<std::u16string> attemptToConsumeCharacterReference(bool isPartOfAnAttribute);
    bool nextCharactersLookLikeNamedReference();

    // Text states: data and RCDATA decode references, RAWTEXT and script data do not.
    void dataState();
    void RCDATAState();
    // The data state's way for what its fast path leaves: a run of text,
    // then a reference or a tag as the state machine reads them.
    void dataStateCarefully();
    void characterReferenceInTextState(HTMLTokenizerState textState);
    void rawTextState(std::string_view nullError, HTMLTokenizerState lessThanSignState);
    void PLAINTEXTState();
    // Tags.
    void tagOpenState();
    void endTagOpenState();
    void tagNameState();
    // The usual shape of a tag read in one go; see HTMLTokenizerTagFastPath.cpp.
    // The decoded units from the input's position (begin) to end are at hand,
    // and p is right after the tag's first letter: the data state passes the
    // units it has looked at already, with the position still before the tag.
    // Returns the decoded units after the tag when it was read in one go, and
    // the state is still the data state: they are those the data state would
    // take again. A tag handed over to the state machine gives a view with no data.
    template <typename Tag>
    std::u16string_view readTag(char16_t firstLetter, const char16_t* begin, const char16_t* p, const char16_t* end);
    // readTag's hand-over of the tag in the pooled token slot (of the kind)
    // to the state machine, unitsRead units on, in the state.
    [[gnu::cold]] void handOverTag(HTMLToken& slot, std::size_t kind, std::size_t unitsRead, HTMLTokenizerState state);
    // A plain attribute readTag holds back, to add with the others of its tag
    // at once (see HTMLTokenizerTagFastPath.cpp).
    struct PendingAttribute;
    class PendingEntries;
    // Adds them (their names new to the tag and to each other); at the tag's
    // end, in a list of exactly their count.
    void addPendingAttributesTo(HTMLTagToken& tag, std::span<const PendingAttribute> pending, bool atTagEnd);
    // readTag's reading of a reference in a value, unitsRead units on (past
    // the "&"), as the state machine reads it; the decoded units after it.
    std::u16string_view appendCharacterReferenceInValue(std::size_t unitsRead, char32_t additionalAllowedCharacter);
    // An end tag of a name up to eight units long right before its ">", read
    // at once; nullptr (nothing read) for any other.
    // Inline: the data state reads most end tags with it.
    // The units are passed as to readTag; returns the position after the tag.
    [[gnu::always_inline]] inline const char16_t* readShortEndTag(char16_t firstLetter, const char16_t* begin, const char16_t* p, const char16_t* end);
    // What emit does for a start tag beside queueing it.
    void noteEmittedStartTag(const HTMLStartTagToken& tag)
    {
        // The tree construction reads the name's number: looked up here, once.
        const std::size_t number = tag.tagNameNumber();
        // The name itself is read only when it is not known.
        lastStartTagNumber_ = number;
        if (number == KnownTagNameCount)
            lastStartTagName_ = tag.tagName();
        if (const std::size_t count = tag.attributes().count(); count > 0)
            expectedAttributeCounts_[number] = static_cast<std::uint8_t>(std::min(count, maximumReservedAttributeCount));
    }
    void noteLastStartTag(std::size_t number, std::u16string_view name)
    {
        lastStartTagNumber_ = number;
        if (number == KnownTagNameCount)
            lastStartTagName_ = name;
    }
    // The tag's attribute list, made as long as the last start tag of its
    // name needed when the first attribute is about to go in.
    HTMLOrderedDictionary& attributesToAddTo(HTMLTagToken& tag)
    {
        HTMLOrderedDictionary& attributes = tag.attributes();
        if (attributes.count() == 0)
            attributes.reserve(expectedAttributeCounts_[tag.tagNameNumber()]);
        return attributes;
    }
    // Adds the current attribute unless the list has its name: true when
    // added, and the attribute's strings are then left empty for the next.
    bool addCurrentAttributeTo(HTMLOrderedDictionary& attributes)
    {
        if (!attributes.addObjectForNewKey(currentAttributeValue_, currentAttributeName_))
            return false;
        currentAttributeName_.clear();
        currentAttributeValue_.clear();
        return true;
    }
    // End tags inside RCDATA, RAWTEXT and script data share one shape.
    void textLessThanSignState(HTMLTokenizerState textState, HTMLTokenizerState endTagOpenState);
    void textEndTagOpenState(HTMLTokenizerState textState, HTMLTokenizerState endTagNameState);
    void textEndTagNameState(HTMLTokenizerState textState);
    void scriptDataLessThanSignState();
    // Script escapes.
    void scriptDataEscapeStartState();
    void scriptDataEscapeStartDashState();
    void scriptDataEscapedState();
    void scriptDataEscapedDashState();
    void scriptDataEscapedDashDashState();
    void scriptDataEscapedLessThanSignState();
    void scriptDataDoubleEscapeStartState();
    void scriptDataDoubleEscapedState();
    void scriptDataDoubleEscapedDashState();
    void scriptDataDoubleEscapedDashDashState();
    void scriptDataDoubleEscapedLessThanSignState();
    void scriptDataDoubleEscapeEndState();
    // Attributes.
    void beforeAttributeNameState();
    void attributeNameState();
    void afterAttributeNameState();
    void beforeAttributeValueState();
    void attributeValueQuotedState(char16_t quote);
    void attributeValueUnquotedState();
    void characterReferenceInAttributeValueState();
    void afterAttributeValueQuotedState();
    void selfClosingStartTagState();
    // Comments.
    void bogusCommentState();
    void markupDeclarationOpenState();
    void commentStartState();
    void commentStartDashState();
    void commentState();
    void commentEndDashState();
    void commentEndState();
    void commentEndBangState();
    void emitCommentAtEndOfFile(std::string error);
    // DOCTYPE; the public and system identifier states share their shape.
    void DOCTYPEState();
    void beforeDOCTYPENameState();
    void DOCTYPENameState();
    void afterDOCTYPENameState();
    void afterDOCTYPEKeywordState(bool isPublic);
    void beforeDOCTYPEIdentifierState(bool isPublic);
    void DOCTYPEIdentifierQuotedState(char16_t quote, bool isPublic);
    void afterDOCTYPEPublicIdentifierState();
    void betweenDOCTYPEPublicAndSystemIdentifiersState();
    void afterDOCTYPESystemIdentifierState();
    void bogusDOCTYPEState();
    void startDOCTYPEIdentifier(char16_t quote, bool isPublic);
    // Emits the current DOCTYPE (a new one when none was started) with force-quirks.
    void emitDOCTYPEWithForceQuirks(std::string error, bool atEndOfFile);
    void switchToBogusDOCTYPE(std::string error);
    void CDATASectionState();

    HTMLPreprocessedInputStream inputStream_;
    HTMLTokenizerState state_ = HTMLTokenizerState::Data;
    // The queue is queue_ from queueFront_ on (the token before it was the
    // last handed out). Its tokens come from pools, one per kind of token,
    // that keep them once handed out: a token is refilled rather than made
    // anew, and keeps its strings' storage.
    std::vector<HTMLToken*> queue_;
    std::size_t queueFront_ = 0;
    static constexpr std::size_t tokenKindCount = std::variant_size_v<HTMLToken>;
    std::pmr::memory_resource* stringResource_ = std::pmr::get_default_resource();
    std::array<std::vector<std::unique_ptr<HTMLToken>>, tokenKindCount> tokenPools_;
    // How many of each pool's tokens are in use (queued or being built).
    std::array<std::size_t, tokenKindCount> pooledTokensInUse_ {};
    static constexpr std::array<std::size_t, 3> rareTokenKinds = {
        HTMLTokenKind<HTMLDOCTYPEToken>::index, HTMLTokenKind<HTMLCommentToken>::index,
        HTMLTokenKind<HTMLParseErrorToken>::index};
    bool rareTokensPooled_ = false;
    std::optional<HTMLToken> currentToken_;
    HTMLTokenizerState sourceAttributeValueState_ = HTMLTokenizerState::AttributeValueDoubleQuoted;
    // The attribute being built; its strings move into the tag when it is added.
    bool hasCurrentAttribute_ = false;
    // By tag name number (one slot for every other name): the attributes of
    // the last such start tag that had any. A new tag's list is made this long
    // at once, as tags of one name tend to have as many.
    std::array<std::uint8_t, KnownTagNameCount + 1> expectedAttributeCounts_ {};
    static constexpr std::size_t maximumReservedAttributeCount = 16;
    std::u16string currentAttributeName_;
    std::u16string currentAttributeValue_;
    // The plain values holding "&amp;" of the tag readTag reads, put
    // together as their ends are found; emptied at the tag's end.
    std::u16string assembledValues_;
    std::u16string temporaryBuffer_;
    std::u16string run_;
    // The run of text being read, and text held back; see emitText and holdText.
    std::u16string text_;
    // Where the run being read begins in text_, none between runs.
    static constexpr std::size_t noTextRun = std::u16string::npos;
    std::size_t textRunStart_ = noTextRun;
    // Whether text_ holds a U+0000 (kept by the data state for the tree construction).
    bool textHoldsNull_ = false;
    char32_t additionalAllowedCharacter_ = HTMLEOFCharacter;
    // The standard's last start tag: its name's number, and the name itself
    // only when it is not a known one (a known name needs no copy).
    static constexpr std::size_t noLastStartTag = KnownTagNameCount + 1;
    std::size_t lastStartTagNumber_ = noLastStartTag;
    std::u16string lastStartTagName_;
    bool done_ = false;
    std::function<bool()> adjustedCurrentNodeIsForeign_;
};

template <typename T>
HTMLToken& HTMLTokenizer::pooledToken()
{
    HTMLToken& token = pooledTokenOfKind(HTMLTokenKind<T>::index);
    // A new pooled token, or one the tree construction turned into another kind.
    if (!std::holds_alternative<T>(token)) [[unlikely]]
        makeTokenOfKind(token, HTMLTokenKind<T>::index);
    return token;
}

template <char16_t... Stops, typename IsStop>
bool HTMLTokenizer::consumeRun(std::u16string& into, IsStop&& isStop, std::string_view nullError, bool keepNull)
{
    const std::size_t start = into.size();
    bool sawNull = false;
    inputStream_.consumeCharactersUpToFirstPassingTest<Stops...>(
        [&](char32_t c) {
            if (c == 0) {
                if (!nullError.empty())
                    emitParseError(std::string(nullError));
                sawNull = true;
                return false;
            }
            return isStop(c);
        },
        into);
    if (sawNull && !keepNull)
        std::replace(into.begin() + static_cast<std::ptrdiff_t>(start), into.end(), u'\0', u'\uFFFD');
    return sawNull;
}

template <char16_t... Stops, typename IsStop>
void HTMLTokenizer::consumeTextRun(IsStop&& isStop, std::string_view nullError, bool keepNull)
{
    textRunStart_ = text_.size();
    // An error in the run emits the text before it and moves the run to the
    // front of text_; textRunStart_ follows.
    if (consumeRun<Stops...>(text_, std::forward<IsStop>(isStop), nullError, true)) {
        if (keepNull)
            textHoldsNull_ = true;
        else
            std::replace(text_.begin() + static_cast<std::ptrdiff_t>(textRunStart_), text_.end(), u'\0', u'\uFFFD');
    }
    textRunStart_ = noTextRun;
}
