#include "html/HTMLElement.h"

// With the arena's memory resource in sight, the compiler no longer guesses
// the standard monotonic resource when the destructor gives back the
// attributes' strings: a guess that is always wrong costs a compare a string.
#include "html/HTMLNodeArena.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLWhitespaceCharacterSet.h"

static_assert(KnownTagNameCount <= UINT16_MAX);

HTMLElement::HTMLElement() : HTMLElement(std::u16string()) {}

HTMLElement::HTMLElement(std::u16string tagName, HTMLOrderedDictionary attributes)
    : HTMLElement(tagName, KnownTagNameNumber(tagName), std::move(attributes))
{
}

const std::u16string* HTMLElement::ownCopyOfName(std::u16string_view tagName)
{
    return std::make_unique<const std::u16string>(tagName).release();
}

HTMLElement::HTMLElement(std::u16string_view tagName, std::size_t tagNameNumber, const HTMLOrderedDictionary& attributes)
    : HTMLElement(tagName, tagNameNumber, HTMLOrderedDictionary(attributes))
{
}

HTMLElement::~HTMLElement()
{
    if (tagNameNumber_ < KnownTagNameCount)
        static_cast<void>(tagName_.release());
}

const HTMLOrderedDictionary::String* HTMLElement::objectForKeyedSubscript(std::u16string_view name) const
{
    return attributes_.objectForKey(name);
}

void HTMLElement::setObject(std::u16string_view value, std::u16string_view name)
{
    attributes_.setObject(value, name);
}

void HTMLElement::removeAttributeWithName(std::u16string_view name)
{
    attributes_.removeObjectForKey(name);
}

bool HTMLElement::hasClass(std::u16string_view className) const
{
    const HTMLOrderedDictionary::String* classes = attributes_.objectForKey(u"class");
    return classes && ContainsHTMLWhitespaceSeparatedWord(*classes, className);
}

void HTMLElement::toggleClass(std::u16string_view className)
{
    const HTMLOrderedDictionary::String* classes = attributes_.objectForKey(u"class");
    std::vector<std::u16string_view> pieces = ComponentsSeparatedByHTMLWhitespace(classes ? std::u16string_view(*classes) : std::u16string_view());
    bool removed = false;
    for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
        if (*piece == className) {
            pieces.erase(piece);
            removed = true;
            break;
        }
    }
    if (!removed)
        pieces.push_back(className);
    std::u16string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            joined += u' ';
        joined += pieces[i];
    }
    attributes_.setObject(std::move(joined), u"class");
}

std::shared_ptr<HTMLNode> HTMLElement::copy() const
{
    // The namespace is not copied: a copy is an HTML element.
    return std::make_shared<HTMLElement>(tagName(), attributes_);
}
