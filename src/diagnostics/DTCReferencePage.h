#pragma once

#include <optional>
#include <string>
#include <string_view>

// What a trouble code's page on the reference site says.
struct DTCReferenceTexts {
    std::optional<std::string> symptoms;  // unset: the page has no symptom section
    std::optional<std::string> causes;    // unset: the page has no cause section
};

// Reads the sections of a reference page. A section opens after an <h2> heading whose text names it
// (any case; each heading on one line) and ends at the next heading of the section after it: symptoms
// end at a cause heading, causes at a diagnosis, troubleshooting, solution or repair heading. Its text is
// one "• item" line per list item, else one line per paragraph, else "".
DTCReferenceTexts readReferencePage(std::string_view page);

// The text of one section as HTML: list items as bullet lines, else paragraphs as lines.
std::string sectionText(std::string_view html);
