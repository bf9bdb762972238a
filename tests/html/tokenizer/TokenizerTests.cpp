#include "TokenizerTestSupport.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

struct TokenizerCase {
    const char* name;
    std::u16string input;
    Lines expected;
};

void expectTokens(const TokenizerCase& c, HTMLTokenizerState state = HTMLTokenizerState::Data, bool foreign = false)
{
    EXPECT_EQ(Tokenize(c.input, state, foreign), c.expected) << c.name;
}

TEST(Tokenizer, EmitsTokensAndErrorsInOrder)
{
    const TokenizerCase cases[] = {
        {"text and a tag", u"a<b>c", {"chars: a", "start: b", "chars: c"}},
        {"empty input", u"", {}},
        {"U+0000 stays in data, after its error",
         std::u16string(u"a\0b", 3),
         {"error: U+0000 NULL in data state", std::string("chars: a\0b", 10)}},
        {"preprocessing errors become tokens", u"a\u0001b",
         {"error: Noncharacter or disallowed control character", "chars: a\u0001b"}},
        {"end tag with attributes", u"</p class=x>",
         {"error: End tag with attributes and/or self-closing flag", "end: p"}},
        {"duplicate attribute keeps the first value", u"<a x=1 x=2>", {"error: Duplicate attribute", "start: a x=1"}},
        {"unfinished tag is dropped", u"<div", {"error: EOF in tag name state"}},
        {"unfinished attribute drops the tag", u"<div a='1", {"error: EOF in attribute value single quoted state"}},
        {"unquoted value keeps a quotation mark", u"<a x=b\"c>",
         {"error: Unexpected \" in attribute value unquoted state", "start: a x=b\"c"}},
        {"equals sign starts a name", u"<a =b>", {"error: Unexpected = in before attribute name state", "start: a =b="}},
        {"less-than sign starts a name", u"<a b <c>",
         {"error: Unexpected < in after attribute name state", "start: a b= <c="}},
        {"names are lowered, values are not", u"<DIV ID=Main>", {"start: div id=Main"}},
        {"self-closing flag", u"<br/>", {"start: br /"}},
        {"processing instruction", u"<?xml?>", {"error: Bogus ? in tag open state", "comment: ?xml?"}},
        {"markup declaration", u"<!x>", {"error: Bogus character in markup declaration open state", "comment: x"}},
        {"abrupt empty comment", u"<!-->", {"error: Unexpected > in comment start state", "comment: "}},
        {"CDATA in HTML content is a comment", u"<![CDATA[x]]>",
         {"error: Bogus character in markup declaration open state", "comment: [CDATA[x]]"}},
        {"lone less-than sign", u"a < b", {"chars: a ", "error: Unexpected character in tag open state", "chars: < b"}},
        {"end tag open at the end", u"</", {"error: EOF in end tag open state", "chars: </"}},
    };
    for (const TokenizerCase& c : cases)
        expectTokens(c);
}

TEST(Tokenizer, DOCTYPEIdentifiers)
{
    const TokenizerCase cases[] = {
        {"name only", u"<!DOCTYPE html>", {"doctype: 'html' none none"}},
        {"mixed case name and keyword", u"<!DocType HTML Public \"\">", {"doctype: 'html' '' none"}},
        {"both identifiers", u"<!DOCTYPE html PUBLIC '-//W3C' 'x.dtd'>", {"doctype: 'html' '-//W3C' 'x.dtd'"}},
        {"no name",
         u"<!DOCTYPE>",
         {"error: Unexpected character in DOCTYPE state", "error: Unexpected > in before DOCTYPE name state",
          "doctype: none none none quirks"}},
        {"junk after the system identifier keeps no-quirks", u"<!DOCTYPE html SYSTEM 'a' junk>",
         {"error: Unexpected character in after DOCTYPE system identifier state", "doctype: 'html' none 'a'"}},
        {"unknown keyword", u"<!DOCTYPE html FOO>",
         {"error: Unexpected character in after DOCTYPE name state", "doctype: 'html' none none quirks"}},
        {"end of input in the name", u"<!DOCTYPE ht", {"error: EOF in DOCTYPE name state", "doctype: 'ht' none none quirks"}},
    };
    for (const TokenizerCase& c : cases)
        expectTokens(c);
}

TEST(Tokenizer, CDATASectionsOnlyInForeignContent)
{
    const TokenizerCase cases[] = {
        {"section", u"<![CDATA[a<b]]>c", {"chars: a<bc"}},
        {"three brackets keep one", u"<![CDATA[x]]]>", {"chars: x]"}},
        {"U+0000 passes unchanged", std::u16string(u"<![CDATA[\0]]>", 13), {std::string("chars: \0", 8)}},
        {"unterminated", u"<![CDATA[x]", {"chars: x]"}},
        {"an input error keeps its place among the characters", u"<![CDATA[a\u0001b]]>",
         {"chars: a", "error: Noncharacter or disallowed control character", "chars: \x01" "b"}},
    };
    for (const TokenizerCase& c : cases)
        expectTokens(c, HTMLTokenizerState::Data, true);
}

TEST(Tokenizer, TextStatesReplaceNullAndFindTheirEndTag)
{
    HTMLTokenizer tokenizer(u"<title>a</b>\0</title>x"s);
    ASSERT_EQ(std::get<HTMLStartTagToken>(*tokenizer.nextObject()).tagName(), u"title");
    tokenizer.setState(HTMLTokenizerState::RCDATA);
    std::u16string text;
    std::optional<HTMLToken> token;
    std::vector<std::string> errors;
    while ((token = tokenizer.nextObject()) && !std::holds_alternative<HTMLEndTagToken>(*token)) {
        if (const auto* characters = std::get_if<HTMLCharacterToken>(&*token))
            text += characters->string();
        else
            errors.push_back(std::get<HTMLParseErrorToken>(*token).error());
    }
    EXPECT_EQ(text, u"a</b>\uFFFD");
    EXPECT_EQ(errors, std::vector<std::string>{"U+0000 NULL in RCDATA state"});
    ASSERT_TRUE(token);
    EXPECT_EQ(std::get<HTMLEndTagToken>(*token).tagName(), u"title");
    EXPECT_EQ(std::get<HTMLCharacterToken>(*tokenizer.nextObject()).string(), u"x");
    EXPECT_FALSE(tokenizer.nextObject());
}

TEST(Tokenizer, EndTagsInTextNeedTheLastStartTag)
{
    EXPECT_EQ(Tokenize(u"a</style>", HTMLTokenizerState::RAWTEXT), (Lines{"chars: a</style>"}));

    HTMLTokenizer tokenizer(u"a</style>");
    tokenizer.setState(HTMLTokenizerState::RAWTEXT);
    tokenizer.setLastStartTag(u"style");
    EXPECT_EQ(std::get<HTMLCharacterToken>(*tokenizer.nextObject()).string(), u"a");
    EXPECT_EQ(std::get<HTMLEndTagToken>(*tokenizer.nextObject()).tagName(), u"style");

    // The last start tag the tokenizer emitted itself, known name or not.
    for (const std::u16string name : {u"title", u"widget"}) {
        HTMLTokenizer emitted(u"<" + name + u">a</" + name + u"x></" + name + u">");
        EXPECT_EQ(std::get<HTMLStartTagToken>(*emitted.nextObject()).tagName(), name);
        emitted.setState(HTMLTokenizerState::RCDATA);
        std::u16string text;
        std::optional<HTMLToken> token;
        while ((token = emitted.nextObject()) && std::holds_alternative<HTMLCharacterToken>(*token))
            text += std::get<HTMLCharacterToken>(*token).string();
        EXPECT_EQ(text, u"a</" + name + u"x>");
        ASSERT_TRUE(token);
        EXPECT_EQ(std::get<HTMLEndTagToken>(*token).tagName(), name);
    }
}

// Every token on its own line, adjacent characters not joined.
Lines tokenizeUnjoined(std::u16string input, HTMLTokenizerState state, std::u16string_view lastStartTag)
{
    HTMLTokenizer tokenizer(std::move(input));
    tokenizer.setState(state);
    tokenizer.setLastStartTag(lastStartTag);
    Lines lines;
    while (const std::optional<HTMLToken> token = tokenizer.nextObject())
        lines.push_back(DescribeToken(*token));
    return lines;
}

TEST(Tokenizer, TextStatesKeepTheirTextInOneToken)
{
    using enum HTMLTokenizerState;
    // A "<", "&" or end tag of another name inside is text like the rest.
    EXPECT_EQ(tokenizeUnjoined(u"if (a<b && c</d) s='<!--<p>-->';</script>", ScriptData, u"script"),
              (Lines{"chars: if (a<b && c</d) s='<!--<p>-->';", "end: script"}));
    EXPECT_EQ(tokenizeUnjoined(u"<!--<script>x</script>-->y</script>", ScriptData, u"script"),
              (Lines{"chars: <!--<script>x</script>-->y", "end: script"}));
    EXPECT_EQ(tokenizeUnjoined(u"a&lt;b<c</d></title>", RCDATA, u"title"),
              (Lines{"chars: a<b<c</d>", "end: title"}));
    EXPECT_EQ(tokenizeUnjoined(u"p<q</p", RAWTEXT, u"style"), (Lines{"chars: p<q</p"}));

    // An error goes after the text before it and before the text after it,
    // as when each piece of text was a token of its own.
    EXPECT_EQ(tokenizeUnjoined(u"a<b\0c</script>"s, ScriptData, u"script"),
              (Lines{"chars: a<", "error: U+0000 NULL in script data state", "chars: b\uFFFDc", "end: script"}));
    EXPECT_EQ(tokenizeUnjoined(u"<!--a-\0b"s, ScriptData, u"script"),
              (Lines{"chars: <!--a-", "error: U+0000 NULL in script data escaped dash state", "chars: \uFFFDb",
                     "error: EOF in script data escaped state"}));
    EXPECT_EQ(tokenizeUnjoined(u"x<y&notit;"s, RCDATA, u"title"),
              (Lines{"chars: x<y", "error: Named entity missing semicolon", "chars: \u00ACit;"}));
}

// The queue is handed out a token at a time or all at once, in any mix:
// each token comes once, in order. Start tags of names not known end a queue,
// so this input takes several.
TEST(Tokenizer, QueuedTokensComeOneAtATimeOrAllAtOnce)
{
    const std::u16string input = u"<p a=1>x<custom-a>y</p><!--z--><custom-b><br/>w<custom-c>v";
    Lines oneAtATime;
    HTMLTokenizer single(input);
    while (const HTMLToken* token = single.nextToken())
        oneAtATime.push_back(DescribeToken(*token));
    ASSERT_EQ(oneAtATime.size(), 11u);

    Lines mixed;
    std::size_t longestQueue = 0;
    HTMLTokenizer tokenizer(input);
    for (bool all = false;; all = !all) {
        if (!all) {
            const HTMLToken* token = tokenizer.nextToken();
            if (!token)
                break;
            mixed.push_back(DescribeToken(*token));
            continue;
        }
        const std::span<HTMLToken* const> tokens = tokenizer.nextTokens();
        if (tokens.empty())
            break;
        longestQueue = std::max(longestQueue, tokens.size());
        for (const HTMLToken* token : tokens)
            mixed.push_back(DescribeToken(*token));
    }
    EXPECT_EQ(mixed, oneAtATime);
    EXPECT_GT(longestQueue, 1u);
    EXPECT_EQ(tokenizer.nextToken(), nullptr);
    EXPECT_TRUE(tokenizer.nextTokens().empty());
}

TEST(Tokenizer, EveryStateHasAName)
{
    EXPECT_EQ(HTMLTokenizerStateName(HTMLTokenizerState::Data), "Data state");
    EXPECT_EQ(HTMLTokenizerStateName(HTMLTokenizerState::CDATASection), "CDATA section state");
    EXPECT_EQ(static_cast<int>(HTMLTokenizerState::RCDATA), 2);
    EXPECT_EQ(static_cast<int>(HTMLTokenizerState::RAWTEXT), 4);
    EXPECT_EQ(static_cast<int>(HTMLTokenizerState::ScriptData), 5);
    EXPECT_EQ(static_cast<int>(HTMLTokenizerState::PLAINTEXT), 6);
    EXPECT_EQ(HTMLTokenizerStateCount, 68);
    for (int number = 0; number < HTMLTokenizerStateCount; ++number)
        EXPECT_TRUE(HTMLTokenizerStateName(static_cast<HTMLTokenizerState>(number)).ends_with(" state")) << number;
}

} // namespace
