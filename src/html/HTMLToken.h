#pragma once

#include "html/HTMLOrderedDictionary.h"
#include "html/HTMLTagNames.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The tokens that the tokenizer hands to the tree construction. They are
// plain values; HTMLToken holds any one of them.

class HTMLDOCTYPEToken {
public:
    // A missing name or identifier (std::nullopt) differs from an empty one.
    const std::optional<std::u16string>& name() const { return name_; }
    void setName(std::optional<std::u16string> name) { name_ = std::move(name); }
    void appendLongCharacterToName(char32_t c);

    const std::optional<std::u16string>& publicIdentifier() const { return publicIdentifier_; }
    void setPublicIdentifier(std::optional<std::u16string> identifier) { publicIdentifier_ = std::move(identifier); }
    // Nothing happens for an empty string; otherwise the identifier is created if missing.
    void appendStringToPublicIdentifier(std::u16string_view string);

    const std::optional<std::u16string>& systemIdentifier() const { return systemIdentifier_; }
    void setSystemIdentifier(std::optional<std::u16string> identifier) { systemIdentifier_ = std::move(identifier); }
    void appendStringToSystemIdentifier(std::u16string_view string);

    bool forceQuirks() const { return forceQuirks_; }
    void setForceQuirks(bool forceQuirks) { forceQuirks_ = forceQuirks; }

    std::string description() const;
    // The force-quirks flag is not compared.
    bool operator==(const HTMLDOCTYPEToken& other) const;

private:
    std::optional<std::u16string> name_;
    std::optional<std::u16string> publicIdentifier_;
    std::optional<std::u16string> systemIdentifier_;
    bool forceQuirks_ = false;
};

// The part shared by start and end tags.
class HTMLTagToken {
public:
    explicit HTMLTagToken(std::u16string tagName = {}) : tagName_(std::move(tagName)) {}
    // An empty tag whose attributes take their memory from the resource.
    explicit HTMLTagToken(std::pmr::memory_resource* resource) : attributes_(resource) {}

    const std::u16string& tagName() const { return sharedName_ ? *sharedName_ : tagName_; }
    // For building the name in place; the name's number is looked up again afterwards.
    std::u16string& mutableTagName()
    {
        if (sharedName_) [[unlikely]]
            takeOwnName();
        tagNameNumber_ = unknownNumber;
        return tagName_;
    }
    void setTagName(std::u16string tagName)
    {
        tagName_ = std::move(tagName);
        sharedName_ = nullptr;
        tagNameNumber_ = unknownNumber;
    }
    // The name with its KnownTagNameNumber, already looked up: a known name
    // is the shared copy (see KnownTagNameWithNumber), not written out.
    void setTagName(std::u16string_view tagName, std::size_t number)
    {
        if (number < KnownTagNameCount) {
            tagName_.clear();
            sharedName_ = KnownTagNameWithNumber(number);
        } else {
            tagName_.assign(tagName);
            sharedName_ = nullptr;
        }
        tagNameNumber_ = static_cast<std::uint16_t>(number);
    }
    void appendLongCharacterToTagName(char32_t c);
    // Back to an empty tag, keeping the name's storage for the next one.
    void clear()
    {
        tagName_.clear();
        clearAllButName();
    }
    // clear() for a tag whose name is set next, by setTagName or written
    // anew into mutableTagName: the old name's units are left for that to
    // replace, rather than cleared twice.
    void clearAllButName()
    {
        sharedName_ = nullptr;
        tagNameNumber_ = unknownNumber;
        selfClosingFlag_ = false;
        // The tree construction usually takes the attributes, leaving the list empty.
        if (attributes_.count() != 0) [[unlikely]]
            dropAttributes();
    }
    // The name's KnownTagNameNumber, looked up once (the tokenizer does as it
    // completes a tag) and kept until the name changes.
    std::size_t tagNameNumber() const
    {
        if (tagNameNumber_ == unknownNumber)
            tagNameNumber_ = static_cast<std::uint16_t>(KnownTagNameNumber(tagName_));
        return tagNameNumber_;
    }
    // Whether tagNameNumber() has the number at hand (no lookup, no call).
    bool hasTagNameNumber() const { return tagNameNumber_ != unknownNumber; }

    bool selfClosingFlag() const { return selfClosingFlag_; }
    void setSelfClosingFlag(bool flag) { selfClosingFlag_ = flag; }

    const HTMLOrderedDictionary& attributes() const { return attributes_; }
    HTMLOrderedDictionary& attributes() { return attributes_; }
    void setAttributes(HTMLOrderedDictionary attributes) { attributes_ = std::move(attributes); }

protected:
    // Equal names, flags and attributes (attribute order aside).
    bool isEqualTag(const HTMLTagToken& other) const;
    // The attributes as ` name="value"` pairs, in order.
    std::string attributesDescription() const;

private:
    static constexpr std::uint16_t unknownNumber = 0xffff;
    static_assert(KnownTagNameCount < unknownNumber);

    // The shared name copied into tagName_, to be changed there.
    void takeOwnName();
    void dropAttributes();

    std::u16string tagName_;
    // When set, the name is this shared copy of a known name and tagName_ is empty.
    const std::u16string* sharedName_ = nullptr;
    mutable std::uint16_t tagNameNumber_ = unknownNumber;
    bool selfClosingFlag_ = false;
    HTMLOrderedDictionary attributes_;
};

class HTMLStartTagToken : public HTMLTagToken {
public:
    using HTMLTagToken::HTMLTagToken;

    // The same attributes and flag under another name (the tree construction renames tags).
    HTMLStartTagToken copyWithTagName(std::u16string tagName) const;

    std::string description() const;
    bool operator==(const HTMLStartTagToken& other) const { return isEqualTag(other); }
};

class HTMLEndTagToken : public HTMLTagToken {
public:
    using HTMLTagToken::HTMLTagToken;

    std::string description() const;
    // Only the names are compared.
    bool operator==(const HTMLEndTagToken& other) const { return tagName() == other.tagName(); }
};

class HTMLCommentToken {
public:
    explicit HTMLCommentToken(std::u16string data = {}) : data_(std::move(data)) {}

    const std::u16string& data() const { return data_; }
    std::u16string& data() { return data_; }
    void appendString(std::u16string_view string) { data_.append(string); }
    void appendLongCharacter(char32_t c);

    std::string description() const;
    bool operator==(const HTMLCommentToken& other) const { return data_ == other.data_; }

private:
    std::u16string data_;
};

// One run of characters.
class HTMLCharacterToken {
public:
    explicit HTMLCharacterToken(std::u16string string = {}) : string_(std::move(string)) {}

    const std::u16string& string() const { return string_; }
    // The tokenizer fills a token it hands out again in place.
    std::u16string& mutableString() { return string_; }

    // False when the text is known to hold no U+0000 (the tokenizer knows as
    // it reads the text), so that it need not be looked through for one.
    bool mayHoldNull() const { return mayHoldNull_; }
    void setMayHoldNull(bool mayHoldNull) { mayHoldNull_ = mayHoldNull; }

    // The leading white space: the token itself when it is all white space
    // (or empty), none when it starts with another character.
    std::optional<HTMLCharacterToken> leadingWhitespaceToken() const;
    // The rest after the leading white space; none when nothing is left.
    std::optional<HTMLCharacterToken> afterLeadingWhitespaceToken() const;

    std::string description() const;
    bool operator==(const HTMLCharacterToken& other) const { return string_ == other.string_; }

private:
    std::u16string string_;
    bool mayHoldNull_ = true;
};

// A parse error travelling in the token stream; its text is a fixed English message.
class HTMLParseErrorToken {
public:
    explicit HTMLParseErrorToken(std::string error = {}) : error_(std::move(error)) {}

    const std::string& error() const { return error_; }
    // Any two parse errors are equal, whatever their messages.
    bool operator==(const HTMLParseErrorToken&) const { return true; }

private:
    std::string error_;
};

// Made by the tree construction when the tokenizer has no more tokens.
class HTMLEOFToken {
public:
    bool operator==(const HTMLEOFToken&) const { return true; }
};

using HTMLToken = std::variant<HTMLDOCTYPEToken, HTMLStartTagToken, HTMLEndTagToken, HTMLCommentToken,
                               HTMLCharacterToken, HTMLParseErrorToken, HTMLEOFToken>;
