#include "TokenizerTestSupport.h"

#include "html/HTMLUTF8.h"

std::string DescribeToken(const HTMLToken& token)
{
    if (const auto* startTag = std::get_if<HTMLStartTagToken>(&token)) {
        std::string text = "start: " + UTF8FromUTF16(startTag->tagName());
        for (const auto& [name, value] : startTag->attributes())
            text += " " + UTF8FromUTF16(name) + "=" + UTF8FromUTF16(value);
        return text + (startTag->selfClosingFlag() ? " /" : "");
    }
    if (const auto* endTag = std::get_if<HTMLEndTagToken>(&token))
        return "end: " + UTF8FromUTF16(endTag->tagName());
    if (const auto* comment = std::get_if<HTMLCommentToken>(&token))
        return "comment: " + UTF8FromUTF16(comment->data());
    if (const auto* characters = std::get_if<HTMLCharacterToken>(&token))
        return "chars: " + UTF8FromUTF16(characters->string());
    if (const auto* error = std::get_if<HTMLParseErrorToken>(&token))
        return "error: " + error->error();
    const auto& doctype = std::get<HTMLDOCTYPEToken>(token);
    const auto field = [](const std::optional<std::u16string>& value) {
        return value ? "'" + UTF8FromUTF16(*value) + "'" : std::string("none");
    };
    return "doctype: " + field(doctype.name()) + " " + field(doctype.publicIdentifier()) + " "
        + field(doctype.systemIdentifier()) + (doctype.forceQuirks() ? " quirks" : "");
}

namespace {

std::vector<std::string> tokenizeAll(HTMLTokenizer& tokenizer)
{
    std::vector<std::string> lines;
    bool lastWasCharacters = false;
    while (const std::optional<HTMLToken> token = tokenizer.nextObject()) {
        const bool isCharacters = std::holds_alternative<HTMLCharacterToken>(*token);
        if (isCharacters && lastWasCharacters)
            lines.back() += UTF8FromUTF16(std::get<HTMLCharacterToken>(*token).string());
        else
            lines.push_back(DescribeToken(*token));
        lastWasCharacters = isCharacters;
    }
    return lines;
}

} // namespace

std::vector<std::string> Tokenize(std::u16string input, HTMLTokenizerState state, bool inForeignContent)
{
    HTMLTokenizer tokenizer(std::move(input));
    tokenizer.setState(state);
    tokenizer.setAdjustedCurrentNodeIsForeign([inForeignContent] { return inForeignContent; });
    return tokenizeAll(tokenizer);
}

std::vector<std::string> Tokenize(HTMLPreprocessedInputStream input)
{
    HTMLTokenizer tokenizer(std::move(input));
    return tokenizeAll(tokenizer);
}
