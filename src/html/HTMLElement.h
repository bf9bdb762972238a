#pragma once

#include "html/HTMLNode.h"
#include "html/HTMLOrderedDictionary.h"
#include "html/HTMLTagNames.h"

#include <cstdint>

enum class HTMLNamespace : std::int64_t { HTML = 0, MathML = 1, SVG = 2 };

class HTMLElement : public HTMLNode {
public:
    HTMLElement();
    explicit HTMLElement(std::u16string tagName, HTMLOrderedDictionary attributes = {});
    // The same when the name's KnownTagNameNumber is already at hand; the
    // attributes are taken over when they can be.
    // Inline: a parse makes one element per start tag.
    HTMLElement(std::u16string_view tagName, std::size_t tagNameNumber, HTMLOrderedDictionary&& attributes)
        : HTMLNode(Kind::Element), tagNameNumber_(static_cast<std::uint16_t>(tagNameNumber)),
          tagName_(nameWithNumber(tagName, tagNameNumber)), attributes_(std::move(attributes))
    {
    }
    HTMLElement(std::u16string_view tagName, std::size_t tagNameNumber, const HTMLOrderedDictionary& attributes);
    ~HTMLElement() override;

    const std::u16string& tagName() const { return *tagName_; }
    const HTMLOrderedDictionary& attributes() const { return attributes_; }
    // The name's KnownTagNameNumber: KnownTagNameCount when it is not a common one.
    std::size_t tagNameNumber() const { return tagNameNumber_; }
    HTMLNamespace htmlNamespace() const { return static_cast<HTMLNamespace>(namespace_); }
    void setHtmlNamespace(HTMLNamespace htmlNamespace) { namespace_ = static_cast<std::uint8_t>(htmlNamespace); }

    // The attribute's value (names match exactly), or nullptr.
    const HTMLOrderedDictionary::String* objectForKeyedSubscript(std::u16string_view name) const;
    // Sets an attribute: an existing name keeps its place, a new one goes last.
    void setObject(std::u16string_view value, std::u16string_view name);
    void removeAttributeWithName(std::u16string_view name);

    // Whether one piece of the "class" attribute, split at white space, is the name.
    bool hasClass(std::u16string_view className) const;
    // Removes the first piece equal to the name or appends the name.
    void toggleClass(std::u16string_view className);

    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    // The shared copy of a known name, else a new copy of the name. Inline,
    // as every element made by a parse asks.
    static const std::u16string* nameWithNumber(std::u16string_view tagName, std::size_t tagNameNumber)
    {
        return tagNameNumber < KnownTagNameCount ? KnownTagNameWithNumber(tagNameNumber) : ownCopyOfName(tagName);
    }
    // Out of the way of the usual known name.
    [[gnu::noinline]] static const std::u16string* ownCopyOfName(std::u16string_view tagName);

    // Elements are many, so their fields are packed: the namespace and the
    // name's number in the base's tail padding, the name in one pointer.
    std::uint8_t namespace_ = static_cast<std::uint8_t>(HTMLNamespace::HTML);
    std::uint16_t tagNameNumber_;
    // A common name is shared by every element of that name and never
    // deleted (see the destructor); any other is the element's own.
    std::unique_ptr<const std::u16string> tagName_;
    HTMLOrderedDictionary attributes_;
};
