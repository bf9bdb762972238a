// The selector compiler over arbitrary text, and matching what compiles
// against a small fixed document.
#include "html/HTMLDocument.h"
#include "html/HTMLSelector.h"

namespace {

const std::shared_ptr<HTMLDocument>& fixedDocument()
{
    static const std::shared_ptr<HTMLDocument> document = HTMLDocument::documentWithString(
        "<!DOCTYPE html><html lang=en-US><body><div id=main class='a b'><ul><li>1<li class=x>2<li>3</ul>"
        "<p title=\"t\">text<a href=/x>link</a></p><p></p><form><fieldset disabled><legend><input></legend>"
        "<button></button></fieldset><select><optgroup disabled><option>o</optgroup><option selected>s</select>"
        "</form><svg><circle r=1 /></svg></div></body></html>");
    return document;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HTMLSelector selector = HTMLSelector::selectorForString(text);
    if (!selector.error())
        fixedDocument()->nodesMatchingParsedSelector(selector);
    return 0;
}
