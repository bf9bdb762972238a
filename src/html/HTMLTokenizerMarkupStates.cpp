// The markup declaration states: bogus comments, comments, DOCTYPEs and CDATA sections.
#include "html/HTMLTokenizer.h"

using enum HTMLTokenizerState;

namespace {

// The two quotes name the identifier states and their errors.
std::string quotedStateName(std::string_view identifier, char16_t quote)
{
    return std::string("DOCTYPE ") + std::string(identifier)
        + (quote == u'"' ? " identifier double quoted state" : " identifier single quoted state");
}

} // namespace

void HTMLTokenizer::bogusCommentState()
{
    std::u16string data;
    consumeRun<u'>'>(data, [](char32_t c) { return c == U'>'; }, {});
    emit(HTMLCommentToken(std::move(data)));
    switchToState(Data);
    if (consumeNextInputCharacter() == HTMLEOFCharacter)
        reconsume();
}

void HTMLTokenizer::markupDeclarationOpenState()
{
    if (inputStream_.consumeString(u"--", true)) {
        currentToken_.emplace(std::in_place_type<HTMLCommentToken>);
        switchToState(CommentStart);
    } else if (adjustedCurrentNodeIsForeign_ && adjustedCurrentNodeIsForeign_()
               && inputStream_.consumeString(u"[CDATA[", true)) {
        switchToState(CDATASection);
    } else if (inputStream_.consumeString(u"DOCTYPE", false)) {
        switchToState(DOCTYPE);
    } else {
        emitParseError("Bogus character in markup declaration open state");
        switchToState(BogusComment);
    }
}

void HTMLTokenizer::emitCommentAtEndOfFile(std::string error)
{
    emitParseError(std::move(error));
    emitCurrentToken();
    switchToState(Data);
    reconsume();
}

void HTMLTokenizer::commentStartState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(CommentStartDash);
    } else if (c == 0) {
        emitParseError("U+0000 NULL in comment start state");
        currentComment().appendLongCharacter(0xFFFD);
        switchToState(Comment);
    } else if (c == U'>') {
        emitParseError("Unexpected > in comment start state");
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitCommentAtEndOfFile("EOF in comment start state");
    } else {
        currentComment().appendLongCharacter(c);
        switchToState(Comment);
    }
}

void HTMLTokenizer::commentStartDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(CommentEnd);
    } else if (c == 0) {
        emitParseError("U+0000 NULL in comment start dash state");
        currentComment().appendString(u"-\uFFFD");
        switchToState(Comment);
    } else if (c == U'>') {
        emitParseError("Unexpected > in comment start dash state");
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitCommentAtEndOfFile("EOF in comment start dash state");
    } else {
        currentComment().appendString(u"-");
        currentComment().appendLongCharacter(c);
        switchToState(Comment);
    }
}

void HTMLTokenizer::commentState()
{
    consumeRun<u'-'>(currentComment().data(), [](char32_t c) { return c == U'-'; }, "U+0000 NULL in comment state");
    if (consumeNextInputCharacter() == U'-')
        switchToState(CommentEndDash);
    else
        emitCommentAtEndOfFile("EOF in comment state");
}

void HTMLTokenizer::commentEndDashState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        switchToState(CommentEnd);
    } else if (c == 0) {
        emitParseError("U+0000 NULL in comment end dash state");
        currentComment().appendString(u"-\uFFFD");
        switchToState(Comment);
    } else if (c == HTMLEOFCharacter) {
        emitCommentAtEndOfFile("EOF in comment end dash state");
    } else {
        currentComment().appendString(u"-");
        currentComment().appendLongCharacter(c);
        switchToState(Comment);
    }
}

void HTMLTokenizer::commentEndState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == 0) {
        emitParseError("U+0000 NULL in comment end state");
        currentComment().appendString(u"--\uFFFD");
        switchToState(Comment);
    } else if (c == U'!') {
        emitParseError("Unexpected ! in comment end state");
        switchToState(CommentEndBang);
    } else if (c == U'-') {
        emitParseError("Unexpected - in comment end state");
        currentComment().appendString(u"-");
    } else if (c == HTMLEOFCharacter) {
        emitCommentAtEndOfFile("EOF in comment end state");
    } else {
        emitParseError("Unexpected character in comment end state");
        currentComment().appendString(u"--");
        currentComment().appendLongCharacter(c);
        switchToState(Comment);
    }
}

void HTMLTokenizer::commentEndBangState()
{
    const char32_t c = consumeNextInputCharacter();
    if (c == U'-') {
        currentComment().appendString(u"--!");
        switchToState(CommentEndDash);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == 0) {
        emitParseError("U+0000 NULL in comment end bang state");
        currentComment().appendString(u"--!\uFFFD");
        switchToState(Comment);
    } else if (c == HTMLEOFCharacter) {
        emitCommentAtEndOfFile("EOF in comment end bang state");
    } else {
        currentComment().appendString(u"--!");
        currentComment().appendLongCharacter(c);
        switchToState(Comment);
    }
}

void HTMLTokenizer::emitDOCTYPEWithForceQuirks(std::string error, bool atEndOfFile)
{
    emitParseError(std::move(error));
    if (!currentToken_)
        currentToken_.emplace(std::in_place_type<HTMLDOCTYPEToken>);
    currentDOCTYPE().setForceQuirks(true);
    switchToState(Data);
    emitCurrentToken();
    if (atEndOfFile)
        reconsume();
}

void HTMLTokenizer::switchToBogusDOCTYPE(std::string error)
{
    emitParseError(std::move(error));
    currentDOCTYPE().setForceQuirks(true);
    switchToState(BogusDOCTYPE);
}

void HTMLTokenizer::DOCTYPEState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(BeforeDOCTYPEName);
    } else if (c == HTMLEOFCharacter) {
        currentToken_.reset();
        emitDOCTYPEWithForceQuirks("EOF in DOCTYPE state", true);
    } else {
        emitParseError("Unexpected character in DOCTYPE state");
        switchToState(BeforeDOCTYPEName);
        reconsume();
    }
}

void HTMLTokenizer::beforeDOCTYPENameState()
{
    char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    currentToken_.reset();
    if (c == U'>') {
        emitDOCTYPEWithForceQuirks("Unexpected > in before DOCTYPE name state", false);
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in before DOCTYPE name state", true);
    } else {
        if (c == 0) {
            emitParseError("U+0000 NULL in before DOCTYPE name state");
            c = 0xFFFD;
        }
        currentToken_.emplace(std::in_place_type<HTMLDOCTYPEToken>);
        currentDOCTYPE().appendLongCharacterToName(ASCIILowercase(c));
        switchToState(DOCTYPEName);
    }
}

void HTMLTokenizer::DOCTYPENameState()
{
    run_.clear();
    consumeRun<u'\t', u'\n', u'\f', u' ', u'>'>(
        run_, [](char32_t c) { return IsHTMLWhitespace(c) || c == U'>'; }, "U+0000 NULL in DOCTYPE name state");
    HTMLDOCTYPEToken& doctype = currentDOCTYPE();
    for (const char16_t u : run_)
        doctype.appendLongCharacterToName(ASCIILowercase(u));

    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(AfterDOCTYPEName);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else {
        emitDOCTYPEWithForceQuirks("EOF in DOCTYPE name state", true);
    }
}

void HTMLTokenizer::afterDOCTYPENameState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in after DOCTYPE name state", true);
    } else if ((c == U'P' || c == U'p') && inputStream_.consumeString(u"UBLIC", false)) {
        switchToState(AfterDOCTYPEPublicKeyword);
    } else if ((c == U'S' || c == U's') && inputStream_.consumeString(u"YSTEM", false)) {
        switchToState(AfterDOCTYPESystemKeyword);
    } else {
        switchToBogusDOCTYPE("Unexpected character in after DOCTYPE name state");
    }
}

void HTMLTokenizer::afterDOCTYPEKeywordState(bool isPublic)
{
    const std::string where = isPublic ? "after DOCTYPE public keyword state" : "after DOCTYPE system keyword state";
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(isPublic ? BeforeDOCTYPEPublicIdentifier : BeforeDOCTYPESystemIdentifier);
    } else if (c == U'"' || c == U'\'') {
        emitUnexpectedCharacterParseError(c, where);
        startDOCTYPEIdentifier(static_cast<char16_t>(c), isPublic);
    } else if (c == U'>') {
        emitDOCTYPEWithForceQuirks("Unexpected > in " + where, false);
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in " + where, true);
    } else {
        switchToBogusDOCTYPE("Unexpected character in " + where);
    }
}

void HTMLTokenizer::startDOCTYPEIdentifier(char16_t quote, bool isPublic)
{
    if (isPublic) {
        currentDOCTYPE().setPublicIdentifier(u"");
        switchToState(quote == u'"' ? DOCTYPEPublicIdentifierDoubleQuoted : DOCTYPEPublicIdentifierSingleQuoted);
    } else {
        currentDOCTYPE().setSystemIdentifier(u"");
        switchToState(quote == u'"' ? DOCTYPESystemIdentifierDoubleQuoted : DOCTYPESystemIdentifierSingleQuoted);
    }
}

void HTMLTokenizer::beforeDOCTYPEIdentifierState(bool isPublic)
{
    const std::string where =
        isPublic ? "before DOCTYPE public identifier state" : "before DOCTYPE system identifier state";
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'"' || c == U'\'')
        startDOCTYPEIdentifier(static_cast<char16_t>(c), isPublic);
    else if (c == U'>')
        emitDOCTYPEWithForceQuirks("Unexpected > in " + where, false);
    else if (c == HTMLEOFCharacter)
        emitDOCTYPEWithForceQuirks("EOF in " + where, true);
    else
        switchToBogusDOCTYPE("Unexpected character in " + where);
}

void HTMLTokenizer::DOCTYPEIdentifierQuotedState(char16_t quote, bool isPublic)
{
    const std::string where = quotedStateName(isPublic ? "public" : "system", quote);
    const auto isStop = [quote](char32_t c) { return c == quote || c == U'>'; };
    const std::string nullError = "U+0000 NULL in " + where;
    run_.clear();
    if (quote == u'"')
        consumeRun<u'"', u'>'>(run_, isStop, nullError);
    else
        consumeRun<u'\'', u'>'>(run_, isStop, nullError);
    if (isPublic)
        currentDOCTYPE().appendStringToPublicIdentifier(run_);
    else
        currentDOCTYPE().appendStringToSystemIdentifier(run_);

    const char32_t c = consumeNextInputCharacter();
    if (c == quote)
        switchToState(isPublic ? AfterDOCTYPEPublicIdentifier : AfterDOCTYPESystemIdentifier);
    else if (c == U'>')
        emitDOCTYPEWithForceQuirks("Unexpected > in " + where, false);
    else
        emitDOCTYPEWithForceQuirks("EOF in " + where, true);
}

void HTMLTokenizer::afterDOCTYPEPublicIdentifierState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c)) {
        switchToState(BetweenDOCTYPEPublicAndSystemIdentifiers);
    } else if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == U'"' || c == U'\'') {
        emitUnexpectedCharacterParseError(c, "after DOCTYPE public identifier state");
        startDOCTYPEIdentifier(static_cast<char16_t>(c), false);
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in after DOCTYPE public identifier state", true);
    } else {
        switchToBogusDOCTYPE("Unexpected character in after DOCTYPE public identifier state");
    }
}

void HTMLTokenizer::betweenDOCTYPEPublicAndSystemIdentifiersState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == U'"' || c == U'\'') {
        startDOCTYPEIdentifier(static_cast<char16_t>(c), false);
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in between DOCTYPE public and system identifiers state", true);
    } else {
        switchToBogusDOCTYPE("Unexpected character in between DOCTYPE public and system identifiers state");
    }
}

void HTMLTokenizer::afterDOCTYPESystemIdentifierState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsHTMLWhitespace(c))
        return;
    if (c == U'>') {
        switchToState(Data);
        emitCurrentToken();
    } else if (c == HTMLEOFCharacter) {
        emitDOCTYPEWithForceQuirks("EOF in after DOCTYPE system identifier state", true);
    } else {
        // Unlike the other DOCTYPE errors, this one leaves the quirks flag alone.
        emitParseError("Unexpected character in after DOCTYPE system identifier state");
        switchToState(BogusDOCTYPE);
    }
}

void HTMLTokenizer::bogusDOCTYPEState()
{
    run_.clear();
    consumeRun<u'>'>(run_, [](char32_t c) { return c == U'>'; }, {});
    const char32_t c = consumeNextInputCharacter();
    switchToState(Data);
    emitCurrentToken();
    if (c == HTMLEOFCharacter)
        reconsume();
}

void HTMLTokenizer::CDATASectionState()
{
    switchToState(Data);
    // "]" characters that may yet turn out to close the section.
    int pendingBrackets = 0;
    // The characters go out as one token, cut only where an input error has
    // to keep its place among them.
    std::u16string text;
    for (;;) {
        const std::size_t queued = queue_.size();
        const char32_t c = consumeNextInputCharacter();
        if (queue_.size() != queued && !text.empty()) {
            // The characters so far go before the errors just queued.
            queueEmptyCharacterToken(true).swap(text);
            text.clear();
            std::rotate(queue_.begin() + static_cast<std::ptrdiff_t>(queued), queue_.end() - 1, queue_.end());
        }
        if (c == U']' && pendingBrackets < 2) {
            ++pendingBrackets;
            continue;
        }
        if (c == U']') {
            text += u']';
            continue;
        }
        if (c == U'>' && pendingBrackets == 2)
            break;
        text.append(static_cast<std::size_t>(pendingBrackets), u']');
        pendingBrackets = 0;
        if (c == HTMLEOFCharacter) {
            reconsume();
            break;
        }
        AppendLongCharacter(text, c);
    }
    emitCharacterTokenWithString(std::move(text));
}
