#pragma once

#include <string>
#include <string_view>

namespace web {

// What a page shows as plain text: the body without tags, scripts, styles
// and comments; block elements and <br> break lines; runs of white space
// fold to one space; the basic entities (named &amp; &lt; &gt; &quot;
// &apos; &nbsp; and numeric ones) are decoded. Broken markup never throws:
// an unterminated tag or script ends the text.
std::string textContent(std::string_view html);

// A fetched page as UTF-8: bytes declared Latin-1 (or windows-1252) in the
// content type, or not valid UTF-8, are read as Latin-1.
std::string decodeBody(std::string_view body, std::string_view contentType);

// The text of the page's <title>, folded the same way; empty when none.
std::string pageTitle(std::string_view html);

} // namespace web
