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
        holdText(u"<!");
    } else {
        switchToState(ScriptData);
        holdText(U'<');
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapeStartState()
{
    if (consumeNextInputCharacter() == U'-') {
        switchToState(ScriptDataEscapeStartDash);
        holdText(U'-');
    } else {
        switchToState(ScriptData);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapeStartDashState()
{
    if (consumeNextInputCharacter() == U'-') {
        switchToState(ScriptDataEscapedDashDash);
        holdText(U'-');
    } else {
        switchToState(ScriptData);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataEscapedState()
{
    consumeTextRun<u'-', u'<'>([](char32_t c) { return c == U'-' || c == U'<'; },
                               "U+0000 NULL in script data escaped state");
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataEscapedDash);
        holdText(U'-');
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
        holdText(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataEscapedLessThanSign);
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data escaped dash state");
        switchToState(ScriptDataEscaped);
        holdText(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data escaped dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataEscaped);
        holdText(c);
    }
}

void HTMLTokenizer::scriptDataEscapedDashDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        holdText(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataEscapedLessThanSign);
    } else if (c == U'>') {
        switchToState(ScriptData);
        holdText(U'>');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data escaped dash dash state");
        switchToState(ScriptDataEscaped);
        holdText(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data escaped dash dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataEscaped);
        holdText(c);
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
        holdText(U'<');
        holdText(c);
    } else {
        switchToState(ScriptDataEscaped);
        holdText(U'<');
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapeStartState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c) || c == U'/' || c == U'>') {
        switchToState(temporaryBuffer_ == u"script" ? ScriptDataDoubleEscaped : ScriptDataEscaped);
        holdText(c);
    } else if (IsASCIIAlpha(c)) {
        AppendLongCharacter(temporaryBuffer_, ASCIILowercase(c));
        holdText(c);
    } else {
        switchToState(ScriptDataEscaped);
        reconsume();
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedState()
{
    consumeTextRun<u'-', u'<'>([](char32_t c) { return c == U'-' || c == U'<'; },
                               "U+0000 NULL in script data double escaped state");
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(ScriptDataDoubleEscapedDash);
        holdText(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        holdText(U'<');
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
        holdText(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        holdText(U'<');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data double escaped dash state");
        switchToState(ScriptDataDoubleEscaped);
        holdText(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data double escaped dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataDoubleEscaped);
        holdText(c);
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedDashDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        holdText(U'-');
    } else if (c == U'<') {
        switchToState(ScriptDataDoubleEscapedLessThanSign);
        holdText(U'<');
    } else if (c == U'>') {
        switchToState(ScriptData);
        holdText(U'>');
    } else if (c == 0) {
        emitParseError("U+0000 NULL in script data double escaped dash dash state");
        switchToState(ScriptDataDoubleEscaped);
        holdText(0xFFFD);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in script data double escaped dash dash state");
        switchToState(Data);
        reconsume();
    } else {
        switchToState(ScriptDataDoubleEscaped);
        holdText(c);
    }
}

void HTMLTokenizer::scriptDataDoubleEscapedLessThanSignState()
{
    if (consumeNextInputCharacter() == U'/') {
        temporaryBuffer_.clear();
        switchToState(ScriptDataDoubleEscapeEnd);
        holdText(U'/');
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
        holdText(c);
    } else if (IsASCIIAlpha(c)) {
        AppendLongCharacter(temporaryBuffer_, ASCIILowercase(c));
        holdText(c);
    } else {
        switchToState(ScriptDataDoubleEscaped);
        reconsume();
    }
}
