#pragma once

#include "html/HTMLNode.h"
#include "html/HTMLStringEncoding.h"

#include <cstdint>
#include <optional>

class HTMLDocumentType;

enum class HTMLQuirksMode : std::int64_t { NoQuirks = 0, Quirks = 1, LimitedQuirks = 2 };

class HTMLDocument : public HTMLNode {
public:
    HTMLDocument();

    // Parses a string (no encoding change is possible; the document records UTF-8).
    static std::shared_ptr<HTMLDocument> documentWithString(std::u16string string);
    static std::shared_ptr<HTMLDocument> documentWithString(std::string_view utf8);
    // Parses bytes, deciding their encoding from a byte-order mark, the HTTP
    // Content-Type header value (when given), then the document itself.
    static std::shared_ptr<HTMLDocument> documentWithData(std::string_view data,
                                                          std::optional<std::string_view> contentTypeHeader);

    // The first child that is a DOCTYPE / an element.
    std::shared_ptr<HTMLDocumentType> documentType() const;
    std::shared_ptr<HTMLElement> rootElement() const;
    // A new DOCTYPE replaces the old one, or goes before the root element, or
    // last; nullptr removes the old one.
    void setDocumentType(const std::shared_ptr<HTMLDocumentType>& documentType);
    // A new root element replaces the old one or goes last; nullptr removes it.
    void setRootElement(const std::shared_ptr<HTMLElement>& rootElement);
    // The root element's first "body" child element.
    std::shared_ptr<HTMLElement> bodyElement() const;

    HTMLQuirksMode quirksMode() const { return quirksMode_; }
    void setQuirksMode(HTMLQuirksMode quirksMode) { quirksMode_ = quirksMode; }
    StringEncoding parsedStringEncoding() const { return parsedStringEncoding_; }
    void setParsedStringEncoding(StringEncoding encoding) { parsedStringEncoding_ = encoding; }

    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    HTMLQuirksMode quirksMode_ = HTMLQuirksMode::NoQuirks;
    StringEncoding parsedStringEncoding_ = StringEncoding::UTF8;
};
