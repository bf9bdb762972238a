#include "diagnostics/DTCReferencePage.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <vector>

#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"

namespace {

// A heading: where its opening tag starts and where its closing tag ends.
struct Heading {
    std::size_t start;
    std::size_t end;
    std::string_view text;  // between the tags
};

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from = 0)
{
    if (word.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
        if (std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(i),
                       [](char a, char b) { return lower(a) == lower(b); }))
            return i;
    }
    return std::string_view::npos;
}

// Every <h2 ...>...</h2> of the page, each on its own line. A linear scan: pages can be one long line.
std::vector<Heading> headings(std::string_view page)
{
    std::vector<Heading> found;
    for (std::size_t open = findNoCase(page, "<h2"); open != std::string_view::npos;
         open = findNoCase(page, "<h2", open + 1)) {
        const std::size_t after = open + 3;
        if (after >= page.size() || (page[after] != '>' && !std::isspace(static_cast<unsigned char>(page[after]))))
            continue;
        const std::size_t tagEnd = page.find('>', after);
        if (tagEnd == std::string_view::npos)
            break;
        const std::size_t close = findNoCase(page, "</h2>", tagEnd);
        if (close == std::string_view::npos)
            break;
        const std::string_view whole = page.substr(open, close + 5 - open);
        if (whole.find('\n') != std::string_view::npos || whole.find('\r') != std::string_view::npos)
            continue;
        found.push_back({open, close + 5, page.substr(tagEnd + 1, close - tagEnd - 1)});
    }
    return found;
}

bool names(const Heading& heading, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return findNoCase(heading.text, word) != std::string_view::npos; });
}

// The last heading naming `opening` that some later heading naming `closing` follows: its section.
std::optional<std::string> section(std::string_view page, const std::vector<Heading>& all,
                                   std::initializer_list<std::string_view> opening,
                                   std::initializer_list<std::string_view> closing)
{
    std::optional<std::string> text;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!names(all[i], opening))
            continue;
        const auto end = std::find_if(all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end(),
                                      [&](const Heading& h) { return names(h, closing); });
        if (end != all.end())
            text = sectionText(page.substr(all[i].end, end->start - all[i].end));
    }
    return text;
}

}  // namespace

std::string sectionText(std::string_view html)
{
    const auto document = HTMLDocument::documentWithString(html);
    std::string text;
    for (const auto& item : document->nodesMatchingSelector(std::string_view("li")))
        text += "\u2022 " + item->textContentUTF8() + "\n";
    if (text.empty()) {
        for (const auto& paragraph : document->nodesMatchingSelector(std::string_view("p")))
            text += paragraph->textContentUTF8() + "\n";
    }
    return text;
}

DTCReferenceTexts readReferencePage(std::string_view page)
{
    const std::vector<Heading> all = headings(page);
    return {section(page, all, {"symptom"}, {"cause"}),
            section(page, all, {"cause"}, {"diagnos", "troubleshoot", "solution", "repair"})};
}
