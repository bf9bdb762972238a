#include "html/HTMLToken.h"

#include "html/HTMLCodePoints.h"
#include "html/HTMLUTF8.h"

#include <algorithm>
#include <cstdio>

namespace {

// "<Class: 0x...>" opening shared by the descriptions.
std::string descriptionHead(const char* className, const void* address)
{
    char head[96];
    std::snprintf(head, sizeof head, "<%s: %p ", className, address);
    return head;
}

std::string describe(const std::optional<std::u16string>& string)
{
    return string ? UTF8FromUTF16(*string) : "(null)";
}

void appendToIdentifier(std::optional<std::u16string>& identifier, std::u16string_view string)
{
    if (string.empty())
        return;
    if (identifier)
        identifier->append(string);
    else
        identifier.emplace(string);
}

} // namespace

void HTMLDOCTYPEToken::appendLongCharacterToName(char32_t c)
{
    if (!name_)
        name_.emplace();
    AppendLongCharacter(*name_, c);
}

void HTMLDOCTYPEToken::appendStringToPublicIdentifier(std::u16string_view string)
{
    appendToIdentifier(publicIdentifier_, string);
}

void HTMLDOCTYPEToken::appendStringToSystemIdentifier(std::u16string_view string)
{
    appendToIdentifier(systemIdentifier_, string);
}

std::string HTMLDOCTYPEToken::description() const
{
    return descriptionHead("HTMLDOCTYPEToken", this) + "<!DOCTYPE " + describe(name_) + " " + describe(publicIdentifier_)
        + " " + describe(systemIdentifier_) + "> >";
}

bool HTMLDOCTYPEToken::operator==(const HTMLDOCTYPEToken& other) const
{
    return name_ == other.name_ && publicIdentifier_ == other.publicIdentifier_
        && systemIdentifier_ == other.systemIdentifier_;
}

void HTMLTagToken::appendLongCharacterToTagName(char32_t c)
{
    AppendLongCharacter(mutableTagName(), c);
}

void HTMLTagToken::takeOwnName()
{
    tagName_.assign(*sharedName_);
    sharedName_ = nullptr;
}

bool HTMLTagToken::isEqualTag(const HTMLTagToken& other) const
{
    if (tagName() != other.tagName() || selfClosingFlag_ != other.selfClosingFlag_
        || attributes_.count() != other.attributes_.count())
        return false;
    return std::all_of(attributes_.begin(), attributes_.end(), [&](const HTMLOrderedDictionary::Entry& entry) {
        const HTMLOrderedDictionary::String* value = other.attributes_.objectForKey(entry.first);
        return value && *value == entry.second;
    });
}

std::string HTMLTagToken::attributesDescription() const
{
    std::string text;
    for (const auto& [name, value] : attributes_)
        text += " " + UTF8FromUTF16(name) + "=\"" + UTF8FromUTF16(value) + "\"";
    return text;
}

void HTMLTagToken::dropAttributes()
{
    attributes_ = HTMLOrderedDictionary(attributes_.resource());
}

HTMLStartTagToken HTMLStartTagToken::copyWithTagName(std::u16string tagName) const
{
    HTMLStartTagToken copy(std::move(tagName));
    copy.setAttributes(attributes());
    copy.setSelfClosingFlag(selfClosingFlag());
    return copy;
}

std::string HTMLStartTagToken::description() const
{
    return descriptionHead("HTMLStartTagToken", this) + "<" + UTF8FromUTF16(tagName()) + attributesDescription() + "> >";
}

std::string HTMLEndTagToken::description() const
{
    return descriptionHead("HTMLEndTagToken", this) + "</" + UTF8FromUTF16(tagName()) + "> >";
}

void HTMLCommentToken::appendLongCharacter(char32_t c)
{
    AppendLongCharacter(data_, c);
}

std::string HTMLCommentToken::description() const
{
    return descriptionHead("HTMLCommentToken", this) + "<!-- " + UTF8FromUTF16(data_) + " --> >";
}

std::optional<HTMLCharacterToken> HTMLCharacterToken::leadingWhitespaceToken() const
{
    const auto firstOther = std::find_if_not(string_.begin(), string_.end(), IsHTMLWhitespace);
    if (firstOther == string_.end())
        return *this;
    if (firstOther == string_.begin())
        return std::nullopt;
    HTMLCharacterToken whitespace(std::u16string(string_.begin(), firstOther));
    whitespace.setMayHoldNull(false);
    return whitespace;
}

std::optional<HTMLCharacterToken> HTMLCharacterToken::afterLeadingWhitespaceToken() const
{
    const auto firstOther = std::find_if_not(string_.begin(), string_.end(), IsHTMLWhitespace);
    if (firstOther == string_.end())
        return std::nullopt;
    HTMLCharacterToken rest(std::u16string(firstOther, string_.end()));
    rest.setMayHoldNull(mayHoldNull_);
    return rest;
}

std::string HTMLCharacterToken::description() const
{
    return descriptionHead("HTMLCharacterToken", this) + "'" + UTF8FromUTF16(string_) + "'>";
}
