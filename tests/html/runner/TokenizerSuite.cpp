#include "TokenizerSuite.h"

#include "html/HTMLTokenizer.h"
#include "html/HTMLUTF8.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// A token in a comparable form: its kind, then its fields (a missing DOCTYPE
// name or identifier is std::nullopt; start tag attributes sorted by name).
using Fields = std::vector<std::optional<std::u16string>>;

// The unit written as four hexadecimal digits, if they are.
std::optional<char16_t> hexUnit(std::u16string_view digits)
{
    if (digits.size() != 4)
        return std::nullopt;
    unsigned unit = 0;
    for (const char16_t u : digits) {
        const char16_t lower = u | 0x20;
        if (u >= u'0' && u <= u'9')
            unit = unit * 16 + (u - u'0');
        else if (lower >= u'a' && lower <= u'f')
            unit = unit * 16 + (lower - u'a' + 10);
        else
            return std::nullopt;
    }
    return static_cast<char16_t>(unit);
}

// "\uHHHH" escapes of doubly escaped tests, decoded to single units (lone
// surrogates included, which is why these tests escape twice).
std::u16string unescapeUnits(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<char16_t> unit =
            text.substr(i, 2) == u"\\u" ? hexUnit(text.substr(i + 2, 4)) : std::nullopt;
        if (unit) {
            out.push_back(*unit);
            i += 5;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::optional<std::u16string> textOf(const nlohmann::json& value, bool doubleEscaped)
{
    if (value.is_null())
        return std::nullopt;
    std::u16string text = UTF16FromUTF8(value.get<std::string>());
    return doubleEscaped ? unescapeUnits(text) : text;
}

// Adjacent character tokens count as one.
void append(std::vector<Fields>& tokens, Fields token)
{
    if (*token[0] == u"Character" && !tokens.empty() && *tokens.back()[0] == u"Character")
        *tokens.back()[1] += *token[1];
    else
        tokens.push_back(std::move(token));
}

Fields startTagFields(std::u16string name, bool selfClosing, std::vector<std::pair<std::u16string, std::u16string>> attributes)
{
    std::sort(attributes.begin(), attributes.end());
    Fields fields{u"StartTag", std::move(name), selfClosing ? u"self-closing" : u""};
    for (auto& [attributeName, value] : attributes) {
        fields.emplace_back(std::move(attributeName));
        fields.emplace_back(std::move(value));
    }
    return fields;
}

std::vector<Fields> expectedTokens(const nlohmann::json& output, bool doubleEscaped)
{
    std::vector<Fields> tokens;
    for (const nlohmann::json& token : output) {
        const std::string kind = token.at(0).get<std::string>();
        const auto text = [&](std::size_t index) { return textOf(token.at(index), doubleEscaped); };
        if (kind == "StartTag") {
            std::vector<std::pair<std::u16string, std::u16string>> attributes;
            for (const auto& [name, value] : token.at(2).items())
                attributes.emplace_back(*textOf(name, doubleEscaped), *textOf(value, doubleEscaped));
            append(tokens, startTagFields(*text(1), token.size() > 3 && token.at(3).get<bool>(), std::move(attributes)));
        } else if (kind == "DOCTYPE") {
            append(tokens, {u"DOCTYPE", text(1), text(2), text(3), token.at(4).get<bool>() ? u"correct" : u"quirks"});
        } else {
            append(tokens, {UTF16FromUTF8(kind), text(1)});
        }
    }
    return tokens;
}

std::vector<Fields> actualTokens(HTMLTokenizer& tokenizer)
{
    std::vector<Fields> tokens;
    while (std::optional<HTMLToken> token = tokenizer.nextObject()) {
        if (const auto* startTag = std::get_if<HTMLStartTagToken>(&*token)) {
            const auto& entries = startTag->attributes().entries();
            append(tokens, startTagFields(startTag->tagName(), startTag->selfClosingFlag(), {entries.begin(), entries.end()}));
        } else if (const auto* endTag = std::get_if<HTMLEndTagToken>(&*token)) {
            append(tokens, {u"EndTag", endTag->tagName()});
        } else if (const auto* comment = std::get_if<HTMLCommentToken>(&*token)) {
            append(tokens, {u"Comment", comment->data()});
        } else if (const auto* characters = std::get_if<HTMLCharacterToken>(&*token)) {
            append(tokens, {u"Character", characters->string()});
        } else if (const auto* doctype = std::get_if<HTMLDOCTYPEToken>(&*token)) {
            append(tokens, {u"DOCTYPE", doctype->name(), doctype->publicIdentifier(), doctype->systemIdentifier(),
                            doctype->forceQuirks() ? u"quirks" : u"correct"});
        }
    }
    return tokens;
}

std::optional<HTMLTokenizerState> stateNamed(const std::string& name)
{
    for (int number = 0; number < HTMLTokenizerStateCount; ++number) {
        const auto state = static_cast<HTMLTokenizerState>(number);
        if (HTMLTokenizerStateName(state) == name)
            return state;
    }
    return std::nullopt;
}

std::string describe(const std::vector<Fields>& tokens)
{
    std::string text;
    for (const Fields& token : tokens) {
        text += "  [";
        for (std::size_t i = 0; i < token.size(); ++i)
            text += (i ? ", " : "") + (token[i] ? "\"" + UTF8FromUTF16(*token[i]) + "\"" : std::string("null"));
        text += "]\n";
    }
    return text;
}

} // namespace

void RunTokenizerFile(const std::filesystem::path& path, SuiteStats& stats)
{
    std::ifstream file(path);
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(file);
    } catch (const nlohmann::json::exception& error) {
        std::cout << "FAIL " << path.filename().string() << ": unreadable (" << error.what() << ")\n";
        ++stats.failed;
        return;
    }
    // Files without "tests" (the XML-coercion set) describe another tokenizer mode.
    if (!root.contains("tests"))
        return;

    for (const nlohmann::json& test : root["tests"]) {
        const bool doubleEscaped = test.value("doubleEscaped", false);
        const std::u16string input = *textOf(test.at("input"), doubleEscaped);
        const std::vector<Fields> expected = expectedTokens(test.at("output"), doubleEscaped);
        const std::vector<std::string> states = test.value("initialStates", std::vector<std::string>{"Data state"});
        for (const std::string& stateName : states) {
            const std::string title = path.filename().string() + ": " + test.value("description", "") + " (" + stateName + ")";
            const std::optional<HTMLTokenizerState> state = stateNamed(stateName);
            if (!state) {
                std::cout << "FAIL " << title << ": unknown initial state\n";
                ++stats.failed;
                continue;
            }
            HTMLTokenizer tokenizer(input);
            tokenizer.setState(*state);
            if (test.contains("lastStartTag"))
                tokenizer.setLastStartTag(UTF16FromUTF8(test["lastStartTag"].get<std::string>()));
            const std::vector<Fields> actual = actualTokens(tokenizer);
            if (actual == expected) {
                ++stats.passed;
            } else {
                ++stats.failed;
                std::cout << "FAIL " << title << "\n input: " << UTF8FromUTF16(input) << "\n expected:\n"
                          << describe(expected) << " actual:\n" << describe(actual);
            }
        }
    }
}
