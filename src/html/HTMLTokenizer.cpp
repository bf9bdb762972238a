#include "html/HTMLTokenizer.h"

#include <cstdio>
#include <cstdlib>

HTMLTokenizer::HTMLTokenizer(std::u16string string) : HTMLTokenizer(HTMLPreprocessedInputStream(std::move(string))) {}

HTMLTokenizer::HTMLTokenizer(HTMLPreprocessedInputStream input) : inputStream_(std::move(input))
{
    inputStream_.setErrorBlock([this](std::string_view message) { emitParseError(std::string(message)); });
}

std::optional<HTMLToken> HTMLTokenizer::nextObject()
{
    HTMLToken* token = nextToken();
    if (!token)
        return std::nullopt;
    return std::optional<HTMLToken>(std::move(*token));
}

std::span<HTMLToken* const> HTMLTokenizer::nextTokens()
{
    if (queueFront_ == queue_.size())
        refillQueue();
    const auto tokens = std::span(queue_).subspan(queueFront_);
    queueFront_ = queue_.size();
    return tokens;
}

void HTMLTokenizer::refillQueue()
{
    // A drained queue starts again, and so do the pools.
    queue_.clear();
    queueFront_ = 0;
    pooledTokensInUse_.fill(0);
    if (rareTokensPooled_)
        dropRareTokens();
    while (!done_ && queue_.empty())
        resume();
    if (done_)
        releaseKeptStorage();
}

void HTMLTokenizer::dropRareTokens()
{
    // Only the common kinds keep tokens for the next round: the others
    // would hold their storage (a long comment, say) for little gain.
    for (const std::size_t kind : rareTokenKinds)
        tokenPools_[kind].clear();
    rareTokensPooled_ = false;
}

void HTMLTokenizer::releaseKeptStorage()
{
    text_.clear();
    text_.shrink_to_fit();
    for (std::size_t kind = 0; kind < tokenKindCount; ++kind)
        tokenPools_[kind].resize(pooledTokensInUse_[kind]);
}

void HTMLTokenizer::resume()
{
    using enum HTMLTokenizerState;
    switch (state_) {
    case Data: return dataState();
    case CharacterReferenceInData: return characterReferenceInTextState(Data);
    case RCDATA: return RCDATAState();
    case CharacterReferenceInRCDATA: return characterReferenceInTextState(RCDATA);
    case RAWTEXT: return rawTextState("U+0000 NULL in RAWTEXT state", RAWTEXTLessThanSign);
    case ScriptData: return rawTextState("U+0000 NULL in script data state", ScriptDataLessThanSign);
    case PLAINTEXT: return PLAINTEXTState();
    case TagOpen: return tagOpenState();
    case EndTagOpen: return endTagOpenState();
    case TagName: return tagNameState();
    case RCDATALessThanSign: return textLessThanSignState(RCDATA, RCDATAEndTagOpen);
    case RCDATAEndTagOpen: return textEndTagOpenState(RCDATA, RCDATAEndTagName);
    case RCDATAEndTagName: return textEndTagNameState(RCDATA);
    case RAWTEXTLessThanSign: return textLessThanSignState(RAWTEXT, RAWTEXTEndTagOpen);
    case RAWTEXTEndTagOpen: return textEndTagOpenState(RAWTEXT, RAWTEXTEndTagName);
    case RAWTEXTEndTagName: return textEndTagNameState(RAWTEXT);
    case ScriptDataLessThanSign: return scriptDataLessThanSignState();
    case ScriptDataEndTagOpen: return textEndTagOpenState(ScriptData, ScriptDataEndTagName);
    case ScriptDataEndTagName: return textEndTagNameState(ScriptData);
    case ScriptDataEscapeStart: return scriptDataEscapeStartState();
    case ScriptDataEscapeStartDash: return scriptDataEscapeStartDashState();
    case ScriptDataEscaped: return scriptDataEscapedState();
    case ScriptDataEscapedDash: return scriptDataEscapedDashState();
    case ScriptDataEscapedDashDash: return scriptDataEscapedDashDashState();
    case ScriptDataEscapedLessThanSign: return scriptDataEscapedLessThanSignState();
    case ScriptDataEscapedEndTagOpen: return textEndTagOpenState(ScriptDataEscaped, ScriptDataEscapedEndTagName);
    case ScriptDataEscapedEndTagName: return textEndTagNameState(ScriptDataEscaped);
    case ScriptDataDoubleEscapeStart: return scriptDataDoubleEscapeStartState();
    case ScriptDataDoubleEscaped: return scriptDataDoubleEscapedState();
    case ScriptDataDoubleEscapedDash: return scriptDataDoubleEscapedDashState();
    case ScriptDataDoubleEscapedDashDash: return scriptDataDoubleEscapedDashDashState();
    case ScriptDataDoubleEscapedLessThanSign: return scriptDataDoubleEscapedLessThanSignState();
    case ScriptDataDoubleEscapeEnd: return scriptDataDoubleEscapeEndState();
    case BeforeAttributeName: return beforeAttributeNameState();
    case AttributeName: return attributeNameState();
    case AfterAttributeName: return afterAttributeNameState();
    case BeforeAttributeValue: return beforeAttributeValueState();
    case AttributeValueDoubleQuoted: return attributeValueQuotedState(u'"');
    case AttributeValueSingleQuoted: return attributeValueQuotedState(u'\'');
    case AttributeValueUnquoted: return attributeValueUnquotedState();
    case CharacterReferenceInAttributeValue: return characterReferenceInAttributeValueState();
    case AfterAttributeValueQuoted: return afterAttributeValueQuotedState();
    case SelfClosingStartTag: return selfClosingStartTagState();
    case BogusComment: return bogusCommentState();
    case MarkupDeclarationOpen: return markupDeclarationOpenState();
    case CommentStart: return commentStartState();
    case CommentStartDash: return commentStartDashState();
    case Comment: return commentState();
    case CommentEndDash: return commentEndDashState();
    case CommentEnd: return commentEndState();
    case CommentEndBang: return commentEndBangState();
    case DOCTYPE: return DOCTYPEState();
    case BeforeDOCTYPEName: return beforeDOCTYPENameState();
    case DOCTYPEName: return DOCTYPENameState();
    case AfterDOCTYPEName: return afterDOCTYPENameState();
    case AfterDOCTYPEPublicKeyword: return afterDOCTYPEKeywordState(true);
    case BeforeDOCTYPEPublicIdentifier: return beforeDOCTYPEIdentifierState(true);
    case DOCTYPEPublicIdentifierDoubleQuoted: return DOCTYPEIdentifierQuotedState(u'"', true);
    case DOCTYPEPublicIdentifierSingleQuoted: return DOCTYPEIdentifierQuotedState(u'\'', true);
    case AfterDOCTYPEPublicIdentifier: return afterDOCTYPEPublicIdentifierState();
    case BetweenDOCTYPEPublicAndSystemIdentifiers: return betweenDOCTYPEPublicAndSystemIdentifiersState();
    case AfterDOCTYPESystemKeyword: return afterDOCTYPEKeywordState(false);
    case BeforeDOCTYPESystemIdentifier: return beforeDOCTYPEIdentifierState(false);
    case DOCTYPESystemIdentifierDoubleQuoted: return DOCTYPEIdentifierQuotedState(u'"', false);
    case DOCTYPESystemIdentifierSingleQuoted: return DOCTYPEIdentifierQuotedState(u'\'', false);
    case AfterDOCTYPESystemIdentifier: return afterDOCTYPESystemIdentifierState();
    case BogusDOCTYPE: return bogusDOCTYPEState();
    case CDATASection: return CDATASectionState();
    }
    std::fprintf(stderr, "unexpected state %ld\n", static_cast<long>(state_));
    std::abort();
}

void HTMLTokenizer::emit(HTMLToken&& token)
{
    emitHeldText();
    if (const auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        noteEmittedStartTag(*startTag);
    } else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token)) {
        endTag->tagNameNumber();
        if (endTag->attributes().count() > 0 || endTag->selfClosingFlag())
            emitParseError("End tag with attributes and/or self-closing flag");
    } else {
        rareTokensPooled_ = true;
    }
    HTMLToken& queued = pooledTokenOfKind(token.index());
    queued = std::move(token);
    queue_.push_back(&queued);
}

void HTMLTokenizer::emitParseError(std::string message)
{
    emitHeldText();
    rareTokensPooled_ = true;
    HTMLToken& queued = pooledToken<HTMLParseErrorToken>();
    queued = HTMLParseErrorToken(std::move(message));
    queue_.push_back(&queued);
}

void HTMLTokenizer::emitUnexpectedCharacterParseError(char32_t c, std::string_view where)
{
    std::string message = "Unexpected ";
    message += static_cast<char>(c);
    message += " in ";
    message += where;
    emitParseError(std::move(message));
}

void HTMLTokenizer::addPooledToken(std::size_t kind)
{
    auto token = std::make_unique<HTMLToken>();
    makeTokenOfKind(*token, kind);
    tokenPools_[kind].push_back(std::move(token));
}

void HTMLTokenizer::makeTokenOfKind(HTMLToken& token, std::size_t kind) const
{
    if (kind == HTMLTokenKind<HTMLStartTagToken>::index)
        token.emplace<HTMLStartTagToken>(stringResource_);
    else if (kind == HTMLTokenKind<HTMLEndTagToken>::index)
        token.emplace<HTMLEndTagToken>(stringResource_);
    else {
        [&]<std::size_t... kinds>(std::index_sequence<kinds...>) {
            ((kind == kinds ? void(token.emplace<kinds>()) : void()), ...);
        }(std::make_index_sequence<tokenKindCount>());
    }
}

void HTMLTokenizer::emitCharacterToken(char32_t c)
{
    AppendLongCharacter(queueEmptyCharacterToken(c == 0), c);
}

void HTMLTokenizer::emitCharacterTokenWithString(std::u16string_view string)
{
    if (!string.empty())
        queueEmptyCharacterToken(string.find(u'\0') != std::u16string_view::npos).assign(string);
}

void HTMLTokenizer::emitText()
{
    if (text_.empty())
        return;
    queueEmptyCharacterToken(textHoldsNull_).swap(text_);
    textHoldsNull_ = false;
    clearKeepingShortStorage(text_);
}

void HTMLTokenizer::emitTextBeforeRun()
{
    if (textRunStart_ == noTextRun)
        return emitText();
    if (textRunStart_ == 0)
        return;
    // Text held back is never the data state's, the one that keeps U+0000.
    queueEmptyCharacterToken(false).assign(text_, 0, textRunStart_);
    text_.erase(0, textRunStart_);
    textRunStart_ = 0;
}

void HTMLTokenizer::emitCurrentToken()
{
    emit(std::move(*currentToken_));
    currentToken_.reset();
}

HTMLTagToken& HTMLTokenizer::currentTag()
{
    if (auto* startTag = std::get_if<HTMLStartTagToken>(&*currentToken_))
        return *startTag;
    return std::get<HTMLEndTagToken>(*currentToken_);
}

HTMLCommentToken& HTMLTokenizer::currentComment()
{
    return std::get<HTMLCommentToken>(*currentToken_);
}

HTMLDOCTYPEToken& HTMLTokenizer::currentDOCTYPE()
{
    return std::get<HTMLDOCTYPEToken>(*currentToken_);
}

bool HTMLTokenizer::currentTagIsAppropriateEndTagToken()
{
    const auto* endTag = std::get_if<HTMLEndTagToken>(&*currentToken_);
    if (!endTag || lastStartTagNumber_ == noLastStartTag)
        return false;
    return endTag->tagName()
        == (lastStartTagNumber_ < KnownTagNameCount ? KnownTagNames[lastStartTagNumber_] : std::u16string_view(lastStartTagName_));
}

void HTMLTokenizer::startAttribute(char32_t firstCharacter)
{
    hasCurrentAttribute_ = true;
    currentAttributeName_.clear();
    AppendLongCharacter(currentAttributeName_, firstCharacter);
    currentAttributeValue_.clear();
}

void HTMLTokenizer::addCurrentAttributeToCurrentToken()
{
    if (!hasCurrentAttribute_)
        return;
    hasCurrentAttribute_ = false;
    // The first attribute of a name wins.
    if (!addCurrentAttributeTo(attributesToAddTo(currentTag())))
        emitParseError("Duplicate attribute");
}
