// The text states, tags and attributes of the tokenizer.
//
// Inside a tag, the usual path (tag open, end tag open, tag name, attribute
// name, value, after the value) goes from state to state by a direct call
// rather than back through resume(): no token that the tree construction
// could answer with a new state is emitted on the way, and the calls never
// come round again to a state already on the stack, so the depth stays small.
#include "html/HTMLTokenizer.h"

using enum HTMLTokenizerState;

namespace {

void lowercaseFrom(std::u16string& string, std::size_t start)
{
    for (std::size_t i = start; i < string.size(); ++i)
        string[i] = static_cast<char16_t>(ASCIILowercase(string[i]));
}

// The start tags for which the tree construction may set the tokenizer's
// state: what follows one of them (or a name not known) is read only once the
// tree has seen it.
constexpr HTMLTagSet startTagsThatMaySetTheState = {u"iframe",   u"noembed", u"noframes", u"noscript", u"plaintext",
                                                    u"script",   u"style",   u"textarea", u"title",    u"xmp"};

// The units from begin to end with each CR LF, and each CR alone, made LF,
// as the input stream reads them.
void appendWithLineBreaksAsLineFeeds(std::u16string& text, const char16_t* begin, const char16_t* end)
{
    for (const char16_t* piece = begin;;) {
        const char16_t* const carriageReturn = std::find(piece, end, u'\r');
        text.append(piece, static_cast<std::size_t>(carriageReturn - piece));
        if (carriageReturn == end)
            return;
        text.push_back(u'\n');
        piece = carriageReturn + (end - carriageReturn >= 2 && carriageReturn[1] == u'\n' ? 2 : 1);
    }
}

// How many tags the data state reads in one go, so that few tokens are
// queued (and pooled) at a time.
constexpr std::size_t tagsReadInOneGo = 4;

} // namespace

void HTMLTokenizer::dataState()
{
    // The usual case, plain text up to a start or end tag, goes straight to
    // reading the tag; the states in between have nothing else to do there.
    // After a tag the tree construction does not answer with a new state, the
    // next text and tag are read at once: the tree handles them as it would
    // have one by one (a markup declaration, which asks the tree, is only
    // recognised in a later call).
    for (std::size_t tags = 0; tags < tagsReadInOneGo; ++tags) {
        const std::u16string_view units = inputStream_.decodedUnits();
        const char16_t* const begin = units.data();
        const char16_t* const end = begin + units.size();
        const char16_t* lessThanSign = FindRunStop<u'&', u'<'>(begin, end);
        bool hasCarriageReturns = false;
        if (end - lessThanSign < 3 || *lessThanSign != u'<') {
            // Line breaks written CR LF, or CR alone, are read past here too
            // (the unit after the CR must be at hand to tell which); each becomes LF.
            while (end - lessThanSign >= 2 && *lessThanSign == u'\r') {
                hasCarriageReturns = true;
                lessThanSign = FindRunStop<u'&', u'<'>(lessThanSign + (lessThanSign[1] == u'\n' ? 2 : 1), end);
            }
            if (end - lessThanSign < 3 || *lessThanSign != u'<')
                break;
        }
        const bool endTag = lessThanSign[1] == u'/';
        const char16_t letter = lessThanSign[endTag ? 2 : 1];
        if (!IsASCIIAlpha(letter))
            break;
        if (lessThanSign != begin) {
            std::u16string& text = queueEmptyCharacterToken();
            if (hasCarriageReturns)
                appendWithLineBreaksAsLineFeeds(text, begin, lessThanSign);
            else
                text.append(begin, static_cast<std::size_t>(lessThanSign - begin));
        }
        inputStream_.skipDecodedUnits(static_cast<std::size_t>(lessThanSign - begin) + (endTag ? 3 : 2));
        if (endTag) {
            if (!readShortEndTag(letter))
                readTag<HTMLEndTagToken>(letter);
        } else {
            readTag<HTMLStartTagToken>(letter);
            if (lastStartTagNumber_ >= KnownTagNameCount || startTagsThatMaySetTheState.contains(lastStartTagNumber_))
                return;
        }
        if (state_ != Data)
            return;
    }
    if (!queue_.empty())
        return;
    // U+0000 stays in the text here; the tree construction decides its fate.
    textWithReferencesState("U+0000 NULL in data state", true, CharacterReferenceInData, TagOpen);
}

void HTMLTokenizer::RCDATAState()
{
    textWithReferencesState("U+0000 NULL in RCDATA state", false, CharacterReferenceInRCDATA, RCDATALessThanSign);
}

void HTMLTokenizer::textWithReferencesState(std::string_view nullError, bool keepNull,
                                            HTMLTokenizerState referenceState, HTMLTokenizerState lessThanSignState)
{
    consumeRun<u'&', u'<'>(text_, [](char32_t c) { return c == U'&' || c == U'<'; }, nullError, keepNull);
    emitText();
    switch (consumeNextInputCharacter()) {
    case U'&': return switchToState(referenceState);
    case U'<':
        switchToState(lessThanSignState);
        // The tag is read at once, behind the text: how the tree construction
        // handles the text cannot change how the tag is read (a markup
        // declaration, which asks the tree, is only recognised later).
        if (lessThanSignState == TagOpen)
            tagOpenState();
        return;
    default: done_ = true;
    }
}

void HTMLTokenizer::characterReferenceInTextState(HTMLTokenizerState textState)
{
    switchToState(textState);
    additionalAllowedCharacter_ = HTMLEOFCharacter;
    emitCharacterTokenWithString(attemptToConsumeCharacterReference(false).value_or(u"&"));
}

void HTMLTokenizer::rawTextState(std::string_view nullError, HTMLTokenizerState lessThanSignState)
{
    consumeRun<u'<'>(text_, [](char32_t c) { return c == U'<'; }, nullError);
    emitText();
    if (consumeNextInputCharacter() == U'<')
        switchToState(lessThanSignState);
    else
        done_ = true;
}

void HTMLTokenizer::PLAINTEXTState()
{
    consumeRun(text_, [](char32_t) { return false; }, "U+0000 NULL in PLAINTEXT state");
    emitText();
    done_ = true;
}

void HTMLTokenizer::tagOpenState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'!') {
        switchToState(MarkupDeclarationOpen);
    } else if (c == U'/') {
        switchToState(EndTagOpen);
        endTagOpenState();
    } else if (IsASCIIAlpha(c)) {
        readTag<HTMLStartTagToken>(static_cast<char16_t>(c));
    } else if (c == U'?') {
        emitParseError("Bogus ? in tag open state");
        switchToState(BogusComment);
        reconsume();
    } else {
        emitParseError("Unexpected character in tag open state");
        switchToState(Data);
        emitCharacterToken(U'<');
        reconsume();
    }
}

void HTMLTokenizer::endTagOpenState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsASCIIAlpha(c)) {
        if (!readShortEndTag(static_cast<char16_t>(c)))
            readTag<HTMLEndTagToken>(static_cast<char16_t>(c));
    } else if (c == U'>') {
        emitParseError("Unexpected > in end tag open state");
        switchToState(Data);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in end tag open state");
        switchToState(Data);
        emitCharacterTokenWithString(u"</");
        reconsume();
    } else {
        emitParseError("Unexpected character in end tag open state");
        switchToState(BogusComment);
        reconsume();
    }
}

void HTMLTokenizer::tagNameState()
{
    std::u16string& name = currentTag().mutableTagName();
    const std::size_t start = name.size();
    consumeRun<u'\t', u'\n', u'\f', u' ', u'/', u'>'>(
        name, [](char32_t c) { return IsHTMLWhitespace(c) || c == U'/' || c == U'>'; }, "U+0000 NULL in tag name state");
    lowercaseFrom(name, start);

    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(BeforeAttributeName);
        beforeAttributeNameState();
    } else if (c == U'/') {
        switchToState(SelfClosingStartTag);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else {
        emitParseError("EOF in tag name state");
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::textLessThanSignState(HTMLTokenizerState textState, HTMLTokenizerState endTagOpenState)
{
    if (consumeNextInputCharacter() == U'/') {
        temporaryBuffer_.clear();
        switchToState(endTagOpenState);
    } else {
        switchToState(textState);
        emitCharacterToken(U'<');
        reconsume();
    }
}

void HTMLTokenizer::textEndTagOpenState(HTMLTokenizerState textState, HTMLTokenizerState endTagNameState)
{
    const char32_t c = consumeNextInputCharacter();
    if (IsASCIIAlpha(c)) {
        currentToken_.emplace(std::in_place_type<HTMLEndTagToken>, StringWithLongCharacter(ASCIILowercase(c)));
        AppendLongCharacter(temporaryBuffer_, c);
        switchToState(endTagNameState);
    } else {
        switchToState(textState);
        emitCharacterTokenWithString(u"</");
        reconsume();
    }
}

void HTMLTokenizer::textEndTagNameState(HTMLTokenizerState textState)
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c) && currentTagIsAppropriateEndTagToken()) {
        switchToState(BeforeAttributeName);
    } else if (c == U'/' && currentTagIsAppropriateEndTagToken()) {
        switchToState(SelfClosingStartTag);
    } else if (c == U'>' && currentTagIsAppropriateEndTagToken()) {
        switchToState(Data);
        emitCurrentToken();
    } else if (IsASCIIAlpha(c)) {
        currentTag().appendLongCharacterToTagName(ASCIILowercase(c));
        AppendLongCharacter(temporaryBuffer_, c);
    } else {
        currentToken_.reset();
        switchToState(textState);
        emitCharacterTokenWithString(u"</" + temporaryBuffer_);
        reconsume();
    }
}

void HTMLTokenizer::beforeAttributeNameState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'/') {
        switchToState(SelfClosingStartTag);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in before attribute name state");
        switchToState(Data);
        reconsume();
    } else {
        // "=" cannot end a name that has not begun, so here it starts one.
        if (c == U'=')
            emitUnexpectedCharacterParseError(c, "before attribute name state");
        startAttributeNameWith(c, "before attribute name state");
    }
}

void HTMLTokenizer::startAttributeNameWith(char32_t c, std::string_view where)
{
    if (c == 0) {
        emitParseError("U+0000 NULL in " + std::string(where));
        c = 0xFFFD;
    } else if (c == U'"' || c == U'\'' || c == U'<') {
        emitUnexpectedCharacterParseError(c, where);
    }
    startAttribute(ASCIILowercase(c));
    switchToState(AttributeName);
    attributeNameState();
}

void HTMLTokenizer::attributeNameState()
{
    const std::size_t start = currentAttributeName_.size();
    consumeRun<u'\t', u'\n', u'\f', u' ', u'/', u'=', u'>', u'"', u'\'', u'<'>(
        currentAttributeName_,
        [this](char32_t c) {
            if (c == U'"' || c == U'\'' || c == U'<')
                emitUnexpectedCharacterParseError(c, "attribute name state");
            return IsHTMLWhitespace(c) || c == U'/' || c == U'=' || c == U'>';
        },
        "U+0000 NULL in attribute name state");
    lowercaseFrom(currentAttributeName_, start);
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(AfterAttributeName);
    } else if (c == U'/') {
        addCurrentAttributeToCurrentToken();
        switchToState(SelfClosingStartTag);
    } else if (c == U'=') {
        switchToState(BeforeAttributeValue);
        beforeAttributeValueState();
    } else if (c == U'>') {
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        emitCurrentToken();
    } else {
        emitParseError("EOF in attribute name state");
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::afterAttributeNameState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'=') {
        switchToState(BeforeAttributeValue);
        return;
    }
    addCurrentAttributeToCurrentToken();
    if (c == U'/') {
        switchToState(SelfClosingStartTag);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in after attribute name state");
        switchToState(Data);
        reconsume();
    } else {
        startAttributeNameWith(c, "after attribute name state");
    }
}

void HTMLTokenizer::beforeAttributeValueState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'"') {
        switchToState(AttributeValueDoubleQuoted);
        attributeValueQuotedState(u'"');
    } else if (c == U'&') {
        switchToState(AttributeValueUnquoted);
        reconsume();
    } else if (c == U'\'') {
        switchToState(AttributeValueSingleQuoted);
        attributeValueQuotedState(u'\'');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in before attribute value state");
        AppendLongCharacter(currentAttributeValue_, 0xFFFD);
        switchToState(AttributeValueUnquoted);
    } else if (c == U'>') {
        emitParseError("Unexpected > in before attribute value state");
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in before attribute value state");
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        reconsume();
    } else {
        if (c == U'<' || c == U'=' || c == U'`')
            emitUnexpectedCharacterParseError(c, "before attribute value state");
        AppendLongCharacter(currentAttributeValue_, c);
        switchToState(AttributeValueUnquoted);
    }
}

void HTMLTokenizer::attributeValueQuotedState(char16_t quote)
{
    const bool doubleQuoted = quote == u'"';
    const auto isStop = [quote](char32_t c) { return c == quote || c == U'&'; };
    if (doubleQuoted)
        consumeRun<u'"', u'&'>(currentAttributeValue_, isStop, "U+0000 NULL in attribute value double quoted state");
    else
        consumeRun<u'\'', u'&'>(currentAttributeValue_, isStop, "U+0000 NULL in attribute value single quoted state");
    const char32_t c = consumeNextInputCharacter();
    if (c == quote) {
        switchToState(AfterAttributeValueQuoted);
        afterAttributeValueQuotedState();
    } else if (c == U'&') {
        additionalAllowedCharacter_ = quote;
        sourceAttributeValueState_ = state_;
        switchToState(CharacterReferenceInAttributeValue);
    } else {
        emitParseError(doubleQuoted ? "EOF in attribute value double quoted state"
                                    : "EOF in attribute value single quoted state");
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::attributeValueUnquotedState()
{
    consumeRun<u'\t', u'\n', u'\f', u' ', u'&', u'>', u'"', u'\'', u'<', u'=', u'`'>(
        currentAttributeValue_,
        [this](char32_t c) {
            if (c == U'"' || c == U'\'' || c == U'<' || c == U'=' || c == U'`')
                emitUnexpectedCharacterParseError(c, "attribute value unquoted state");
            return IsHTMLWhitespace(c) || c == U'&' || c == U'>';
        },
        "U+0000 NULL in attribute value unquoted state");
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        addCurrentAttributeToCurrentToken();
        switchToState(BeforeAttributeName);
    } else if (c == U'&') {
        additionalAllowedCharacter_ = U'>';
        sourceAttributeValueState_ = AttributeValueUnquoted;
        switchToState(CharacterReferenceInAttributeValue);
    } else if (c == U'>') {
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        emitCurrentToken();
    } else {
        emitParseError("EOF in attribute value unquoted state");
        addCurrentAttributeToCurrentToken();
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::characterReferenceInAttributeValueState()
{
    currentAttributeValue_ += attemptToConsumeCharacterReference(true).value_or(u"&");
    switchToState(sourceAttributeValueState_);
}

void HTMLTokenizer::afterAttributeValueQuotedState()
{
    const char32_t c = consumeNextInputCharacter();
    addCurrentAttributeToCurrentToken();
    if (IsHTMLWhitespace(c)) {
        switchToState(BeforeAttributeName);
    } else if (c == U'/') {
        switchToState(SelfClosingStartTag);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in after attribute value quoted state");
        switchToState(Data);
        reconsume();
    } else {
        emitParseError("Unexpected character in after attribute value quoted state");
        switchToState(BeforeAttributeName);
        reconsume();
    }
}

void HTMLTokenizer::selfClosingStartTagState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'>') {
        currentTag().setSelfClosingFlag(true);
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in self closing start tag state");
        switchToState(Data);
        reconsume();
    } else {
        emitParseError("Unexpected character in self closing start tag state");
        switchToState(BeforeAttributeName);
        reconsume();
    }
}
