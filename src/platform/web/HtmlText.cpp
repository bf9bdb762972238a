#include "platform/web/HtmlText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>

namespace web {

namespace {

bool iequals(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Position of `needle` in `text` from `from`, ignoring case; npos when absent.
std::size_t ifind(std::string_view text, std::string_view needle, std::size_t from = 0)
{
    if (needle.empty() || text.size() < needle.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (iequals(text.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

bool breaksLine(std::string_view tag)
{
    static constexpr std::array blocks{"p",  "div", "li",  "tr",      "h1",      "h2",     "h3",     "h4",
                                       "h5", "h6",  "hr",  "table",   "ul",      "ol",     "center", "pre",
                                       "dt", "dd",  "dl",  "section", "article", "header", "footer", "blockquote",
                                       "body", "html", "form"};
    return std::any_of(blocks.begin(), blocks.end(), [&](const char* b) { return tag == b; });
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Decodes the entity starting at text[i] ('&') into out; returns the length
// it took, 0 when it is not one we know (the '&' then stands as it is).
std::size_t decodeEntity(std::string_view text, std::size_t i, std::string& out)
{
    const std::size_t semicolon = text.find(';', i);
    if (semicolon == std::string_view::npos || semicolon - i > 10)
        return 0;
    const std::string_view name = text.substr(i + 1, semicolon - i - 1);
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7)
            return 0;
        std::uint32_t code = 0;
        for (const char c : digits) {
            const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : hex && std::isxdigit(static_cast<unsigned char>(c)) ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                                                      : -1;
            if (d < 0)
                return 0;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        }
        appendUtf8(out, code);
        return semicolon - i + 1;
    }
    static constexpr std::array<std::pair<const char*, std::uint32_t>, 7> named{
        {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}, {"copy", 0xA9}}};
    for (const auto& [entity, code] : named) {
        if (name == entity) {
            appendUtf8(out, code);
            return semicolon - i + 1;
        }
    }
    return 0;
}

constexpr char sourceSpace = '\x01'; // white space in the source, folded later
constexpr char blockBreak = '\x02';  // the edge of a block: one line break, however many meet

// Folds white space: runs of blanks become one space; block edges that meet
// give one line break, <br> one each (at most one empty line in a row); no
// blanks at line ends or around the text.
std::string fold(std::string_view raw)
{
    std::string out;
    bool space = false;
    bool block = false;
    int breaks = 0;
    for (const char c : raw) {
        if (c == '\n') {
            ++breaks;
            continue;
        }
        if (c == blockBreak) {
            block = true;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == sourceSpace) {
            space = true;
            continue;
        }
        if (!out.empty()) {
            const int lines = std::min(2, std::max(breaks, block ? 1 : 0));
            if (lines > 0)
                out.append(static_cast<std::size_t>(lines), '\n');
            else if (space)
                out += ' ';
        }
        space = block = false;
        breaks = 0;
        out += c;
    }
    return out;
}

// The page without markup: text, '\n' for line breaks and '\x01' for
// source white space (folded later).
std::string strip(std::string_view html)
{
    std::string raw;
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '&') {
            const std::size_t used = decodeEntity(html, i, raw);
            if (used > 0) {
                i += used;
                continue;
            }
            raw += '&';
            ++i;
            continue;
        }
        if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
            raw += sourceSpace;
            ++i;
            continue;
        }
        if (c != '<') {
            raw += c;
            ++i;
            continue;
        }
        const char next = i + 1 < html.size() ? html[i + 1] : '\0';
        if (!std::isalpha(static_cast<unsigned char>(next)) && next != '/' && next != '!' && next != '?') {
            raw += '<'; // a lone '<' in text
            ++i;
            continue;
        }
        if (html.substr(i, 4) == "<!--") {
            const std::size_t end = html.find("-->", i + 4);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        const std::size_t close = html.find('>', i);
        if (close == std::string_view::npos)
            break;
        std::string_view tag = html.substr(i + 1, close - i - 1);
        const bool closing = !tag.empty() && tag.front() == '/';
        if (closing)
            tag.remove_prefix(1);
        const std::size_t nameEnd = std::min(tag.find_first_of(" \t\r\n/"), tag.size());
        const std::string name = lower(tag.substr(0, nameEnd));
        i = close + 1;
        if (!closing && (name == "script" || name == "style" || name == "head" || name == "title")) {
            const std::size_t end = ifind(html, "</" + name, i);
            if (end == std::string_view::npos)
                break;
            const std::size_t endClose = html.find('>', end);
            i = endClose == std::string_view::npos ? html.size() : endClose + 1;
            continue;
        }
        if (name == "br")
            raw += '\n';
        else if (breaksLine(name))
            raw += blockBreak;
        if (name == "li" && !closing)
            raw += "\u2022 ";
    }
    return raw;
}

bool validUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

std::string decodeBody(std::string_view body, std::string_view contentType)
{
    const std::string type = lower(contentType);
    const bool latin1 = type.find("iso-8859-1") != std::string::npos || type.find("latin1") != std::string::npos
        || type.find("windows-1252") != std::string::npos;
    if (!latin1 && validUtf8(body))
        return std::string(body);
    std::string out;
    out.reserve(body.size());
    for (const char c : body)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string textContent(std::string_view html) { return fold(strip(html)); }

std::string pageTitle(std::string_view html)
{
    const std::size_t open = ifind(html, "<title");
    if (open == std::string_view::npos)
        return {};
    const std::size_t start = html.find('>', open);
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = ifind(html, "</title", start);
    const std::string_view inner = html.substr(start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
    std::string text = fold(strip(inner));
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace web
