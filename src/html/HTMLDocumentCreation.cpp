#include "html/HTMLDocumentCreation.h"

#include "html/HTMLParser.h"

std::shared_ptr<HTMLDocument> HTMLDocument::documentWithString(std::u16string string)
{
    HTMLParser parser(std::move(string), {StringEncoding::UTF8, HTMLStringEncodingConfidence::Tentative});
    return parser.document();
}

std::shared_ptr<HTMLDocument> HTMLDocument::documentWithString(std::string_view utf8)
{
    return documentWithString(UTF16FromUTF8(utf8));
}

std::shared_ptr<HTMLDocument> HTMLDocument::documentWithData(std::string_view data,
                                                             std::optional<std::string_view> contentTypeHeader)
{
    return ParserForData(data, contentTypeHeader)->document();
}

namespace {

// A page that declares UTF-8 early is decoded and parsed once: had it been
// parsed as windows-1252 first, its first meta charset would have restarted
// the parse in UTF-8 with certain confidence, which is this parser. Both
// decodings read every ASCII byte alike, so the tree construction reaches
// the same first meta charset in either; when it names anything else the
// guess is dropped and the bytes take the usual way.
std::unique_ptr<HTMLParser> parserForPrescannedUTF8(std::string_view data)
{
    if (PrescannedStringEncoding(data) != StringEncoding::UTF8)
        return nullptr;
    std::optional<std::u16string> decoded = DecodedString(data, StringEncoding::UTF8);
    if (!decoded)
        return nullptr;
    auto parser = std::make_unique<HTMLParser>(std::move(*decoded),
                                               HTMLStringEncoding {StringEncoding::UTF8, HTMLStringEncodingConfidence::Certain});
    parser->document();
    if (parser->firstMetaCharset() != StringEncoding::UTF8)
        return nullptr;
    return parser;
}

} // namespace

std::unique_ptr<HTMLParser> ParserForData(std::string_view data, std::optional<std::string_view> contentTypeHeader)
{
    std::u16string string;
    std::optional<HTMLStringEncoding> certain = CertainStringEncodingForData(data, contentTypeHeader, string);
    if (!certain) {
        if (auto parser = parserForPrescannedUTF8(data))
            return parser;
    }
    const HTMLStringEncoding encoding = certain ? *certain : DeterminedStringEncodingForData(data, contentTypeHeader, string);
    auto parser = std::make_unique<HTMLParser>(std::move(string), encoding);

    // The replacement parser gets no callback, so a document restarts at most once.
    std::unique_ptr<HTMLParser> replacement;
    parser->setChangeEncoding([&](StringEncoding newEncoding, HTMLStringEncodingConfidence confidence) {
        if (std::optional<std::u16string> decoded = DecodedString(data, newEncoding))
            replacement = std::make_unique<HTMLParser>(std::move(*decoded), HTMLStringEncoding{newEncoding, confidence});
        else
            replacement = std::make_unique<HTMLParser>(parser->string(), encoding);
    });
    parser->document();
    parser->setChangeEncoding(nullptr);
    if (!replacement)
        return parser;
    replacement->document();
    return replacement;
}
