#include "diagnostics/DTCReferencePage.h"

#include <algorithm>
#include <cctype>
#include <functional>
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

// The first place of a mark at or after a position that only grows. A search is
// made again only once the position has passed the mark found last, so each mark
// is looked for once over the whole page.
class NextMark {
public:
    explicit NextMark(std::function<std::size_t(std::size_t)> find) : find_(std::move(find)) {}

    std::size_t atOrAfter(std::size_t position)
    {
        if (!searched_ || (found_ != std::string_view::npos && found_ < position)) {
            found_ = find_(position);
            searched_ = true;
        }
        return found_;
    }

private:
    std::function<std::size_t(std::size_t)> find_;
    std::size_t found_ = 0;
    bool searched_ = false;
};

// Every <h2 ...>...</h2> of the page, each on its own line. Linear: pages can be
// one long line, and a page of unclosed headings must not cost a scan per heading.
std::vector<Heading> headings(std::string_view page)
{
    NextMark tagEnd([page](std::size_t from) { return page.find('>', from); });
    NextMark close([page](std::size_t from) { return findNoCase(page, "</h2>", from); });
    NextMark lineEnd([page](std::size_t from) { return page.find_first_of("\r\n", from); });
    std::vector<Heading> found;
    for (std::size_t open = findNoCase(page, "<h2"); open != std::string_view::npos;) {
        const std::size_t after = open + 3;
        if (after >= page.size() || (page[after] != '>' && !std::isspace(static_cast<unsigned char>(page[after])))) {
            open = findNoCase(page, "<h2", open + 1);
            continue;
        }
        const std::size_t end = tagEnd.atOrAfter(after);
        if (end == std::string_view::npos)
            break;
        const std::size_t closing = close.atOrAfter(end);
        if (closing == std::string_view::npos)
            break;
        if (lineEnd.atOrAfter(open) < closing + 5) {
            open = findNoCase(page, "<h2", open + 1);
            continue;
        }
        found.push_back({open, closing + 5, page.substr(end + 1, closing - end - 1)});
        open = findNoCase(page, "<h2", closing + 5);
    }
    return found;
}

bool names(const Heading& heading, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return findNoCase(heading.text, word) != std::string_view::npos; });
}

// The last heading naming `opening` that some later heading naming `closing` follows: its section,
// up to the first such heading after it.
std::optional<std::string> section(std::string_view page, const std::vector<Heading>& all,
                                   std::initializer_list<std::string_view> opening,
                                   std::initializer_list<std::string_view> closing)
{
    const auto namesClosing = [&](const Heading& h) { return names(h, closing); };
    const auto lastClosing = std::find_if(all.rbegin(), all.rend(), namesClosing);
    const auto start = std::find_if(lastClosing == all.rend() ? all.rend() : std::next(lastClosing), all.rend(),
                                    [&](const Heading& h) { return names(h, opening); });
    if (start == all.rend())
        return std::nullopt;
    const auto end = std::find_if(start.base(), all.end(), namesClosing);
    return sectionText(page.substr(start->end, end->start - start->end));
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
