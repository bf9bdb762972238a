// The script data states: "<!--" escapes and the "<script>" nested inside them.
#include "html/HTMLTokenizer.h"

using enum HTMLTokenizerState;

void HTMLTokenizer::scriptDataLessThanSignState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'/') {
        temporaryBuffer_.clear();
        switchToState(ScriptDataEndTagOpen);
    } else if (c == U'!') {
        switchToState(ScriptDataEscapeStart);
        emitCharacterTokenWithString(u"<!");
    } else {
        switchToState(ScriptData);
        emitCharacterToken(U'<');
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapeStartState()
{
    if (consumeNextInputCharacter() == U'-') {
        switchToState(ScriptDataEscapeStartDash);
        emitCharacterToken(U'-');
    } else {
        switchToState(ScriptData);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapeStartDashState()
{
    if (consumeNextInputCharacter() == U'-') {
        switchToState(ScriptDataEscapedDashDash);
        emitCharacterToken(U'-');
    } else {
        switchToState(ScriptData);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapedState()
{
    consumeRun<u'-', u'<'>(text_, [](char32_t c) { return c == U'-' || c == U'<'; },
                           "U+0000 NULL in script data escaped state");
    emitText();
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataEscapedDash);
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataEscapedLessThanSign);
    } else {
        emitParseError("EOF in script data escaped state");
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapedDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataEscapedDashDash);
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataEscapedLessThanSign);
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data escaped dash state");
        switchToState(ScriptDataEscaped);
        emitCharacterToken(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data escaped dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataEscaped);
        emitCharacterToken(c);
    }
}

void HTMLTokenizer::scriptDataEscapedDashDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataEscapedLessThanSign);
    } else if (c == U'>') {
        switchToState(ScriptData);
        emitCharacterToken(U'>');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data escaped dash dash state");
        switchToState(ScriptDataEscaped);
        emitCharacterToken(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data escaped dash dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataEscaped);
        emitCharacterToken(c);
    }
}

void HTMLTokenizer::scriptDataEscapedLessThanSignState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'/') {
        temporaryBuffer_.clear();
        switchToState(ScriptDataEscapedEndTagOpen);
    } else if (IsASCIIAlpha(c)) {
        temporaryBuffer_.clear();
        AppendLongCharacter(temporaryBuffer_, ASCIILowercase(c));
        switchToState(ScriptDataDoubleEscapeStart);
        emitCharacterToken(U'<');
        emitCharacterToken(c);
    } else {
        switchToState(ScriptDataEscaped);
        emitCharacterToken(U'<');
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapeStartState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c) || c == U'/' || c == U'>') {
        switchToState(temporaryBuffer_ == u"script" ? ScriptDataDoubleEscaped : ScriptDataEscaped);
        emitCharacterToken(c);
    } else if (IsASCIIAlpha(c)) {
        AppendLongCharacter(temporaryBuffer_, ASCIILowercase(c));
        emitCharacterToken(c);
    } else {
        switchToState(ScriptDataEscaped);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedState()
{
    consumeRun<u'-', u'<'>(text_, [](char32_t c) { return c == U'-' || c == U'<'; },
                           "U+0000 NULL in script data double escaped state");
    emitText();
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataDoubleEscapedDash);
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        emitCharacterToken(U'<');
    } else {
        emitParseError("EOF in script data double escaped state");
        switchToState(Data);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataDoubleEscapedDashDash);
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        emitCharacterToken(U'<');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data double escaped dash state");
        switchToState(ScriptDataDoubleEscaped);
        emitCharacterToken(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data double escaped dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataDoubleEscaped);
        emitCharacterToken(c);
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedDashDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        emitCharacterToken(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        emitCharacterToken(U'<');
    } else if (c == U'>') {
        switchToState(ScriptData);
        emitCharacterToken(U'>');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data double escaped dash dash state");
        switchToState(ScriptDataDoubleEscaped);
        emitCharacterToken(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data double escaped dash dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataDoubleEscaped);
        emitCharacterToken(c);
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedLessThanSignState()
{
    if (consumeNextInputCharacter() == U'/') {
        temporaryBuffer_.clear();
        switchToState(ScriptDataDoubleEscapeEnd);
        emitCharacterToken(U'/');
    } else {
        switchToState(ScriptDataDoubleEscaped);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapeEndState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c) || c == U'/' || c == U'>') {
        switchToState(temporaryBuffer_ == u"script" ? ScriptDataEscaped : ScriptDataDoubleEscaped);
        emitCharacterToken(c);
    } else if (IsASCIIAlpha(c)) {
        AppendLongCharacter(temporaryBuffer_, ASCIILowercase(c));
        emitCharacterToken(c);
    } else {
        switchToState(ScriptDataDoubleEscaped);
        reconsume();
    }
}
