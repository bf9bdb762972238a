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

} // namespace

void HTMLTokenizer::RCDATAState()
{
    consumeTextRun<u'&', u'<'>([](char32_t c) { return c == U'&' || c == U'<'; }, "U+0000 NULL in RCDATA state");
    switch (consumeNextInputCharacter()) {
    case U'&': return switchToState(CharacterReferenceInRCDATA);
    case U'<': return switchToState(RCDATALessThanSign);
    default:
        emitText();
        done_ = true;
    }
}

void HTMLTokenizer::dataStateCarefully()
{
    // U+0000 stays in the text here; the tree construction decides its fate.
    consumeTextRun<u'&', u'<'>([](char32_t c) { return c == U'&' || c == U'<'; }, "U+0000 NULL in data state", true);
    emitText();
    switch (consumeNextInputCharacter()) {
    case U'&': return switchToState(CharacterReferenceInData);
    case U'<':
        switchToState(TagOpen);
        // The tag is read at once, behind the text: how the tree construction
        // handles the text cannot change how the tag is read (a markup
        // declaration, which asks the tree, is only recognised later).
        return tagOpenState();
    default: done_ = true;
    }
}

void HTMLTokenizer::characterReferenceInTextState(HTMLTokenizerState textState)
{
    switchToState(textState);
    additionalAllowedCharacter_ = HTMLEOFCharacter;
    const std::optional<std::u16string> replacement = attemptToConsumeCharacterReference(false);
    holdText(replacement ? std::u16string_view(*replacement) : u"&");
    // The data state's text goes out at once (it reads tags right behind text).
    if (textState == Data)
        emitText();
}

void HTMLTokenizer::rawTextState(std::string_view nullError, HTMLTokenizerState lessThanSignState)
{
    consumeTextRun<u'<'>([](char32_t c) { return c == U'<'; }, nullError);
    if (consumeNextInputCharacter() == U'<') {
        switchToState(lessThanSignState);
    } else {
        emitText();
        done_ = true;
    }
}

void HTMLTokenizer::PLAINTEXTState()
{
    consumeTextRun([](char32_t) { return false; }, "U+0000 NULL in PLAINTEXT state");
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
        const std::u16string_view units = inputStream_.decodedUnits();
        readTag<HTMLStartTagToken>(static_cast<char16_t>(c), units.data(), units.data(), units.data() + units.size());
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
        holdText(U'<');
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
        holdText(u"</");
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
        holdText(u"</");
        holdText(temporaryBuffer_);
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
