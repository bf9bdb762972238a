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

// A parser of the bytes in the encoding, or none when they cannot be decoded
// in it. UTF-8 and windows-1252 are decoded as the parse reads them, so
// invalid UTF-8 shows only after the parse (see parsedUnlessInvalid).
std::unique_ptr<HTMLParser> parserInEncoding(std::string_view data, HTMLStringEncoding encoding)
{
    if (encoding.encoding == StringEncoding::UTF8) {
        if (data.starts_with("\xEF\xBB\xBF"))
            data.remove_prefix(3);
        return std::make_unique<HTMLParser>(HTMLUndecodedText {data, HTMLUndecodedText::Encoding::UTF8}, encoding);
    }
    if (encoding.encoding == StringEncoding::Windows1252)
        return std::make_unique<HTMLParser>(HTMLUndecodedText {data, HTMLUndecodedText::Encoding::Windows1252}, encoding);
    std::optional<std::u16string> decoded = DecodedString(data, encoding.encoding);
    if (!decoded)
        return nullptr;
    return std::make_unique<HTMLParser>(std::move(*decoded), encoding);
}

// The parser with its document parsed, or none when there is no parser or
// its bytes turned out not to be UTF-8: then the bytes were never valid in
// that encoding, and the encoding rules go on as if it had been found so at
// once (an invalid page costs a parse that is dropped; a valid one is not
// read twice).
std::unique_ptr<HTMLParser> parsedUnlessInvalid(std::unique_ptr<HTMLParser> parser)
{
    if (!parser)
        return nullptr;
    parser->document();
    if (parser->foundInvalidUTF8())
        return nullptr;
    return parser;
}

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
    auto parser = parsedUnlessInvalid(parserInEncoding(data, {StringEncoding::UTF8, HTMLStringEncodingConfidence::Certain}));
    if (!parser || parser->firstMetaCharset() != StringEncoding::UTF8)
        return nullptr;
    return parser;
}

} // namespace

std::unique_ptr<HTMLParser> ParserForData(std::string_view data, std::optional<std::string_view> contentTypeHeader)
{
    if (const std::optional<std::string_view> text = DeclaredUTF8Text(data, contentTypeHeader)) {
        const HTMLStringEncoding certainUTF8 {StringEncoding::UTF8, HTMLStringEncodingConfidence::Certain};
        if (auto parser = parsedUnlessInvalid(
                std::make_unique<HTMLParser>(HTMLUndecodedText {*text, HTMLUndecodedText::Encoding::UTF8}, certainUTF8)))
            return parser;
    }

    std::unique_ptr<HTMLParser> parser;
    HTMLStringEncoding encoding;
    std::u16string string;
    if (const std::optional<HTMLStringEncoding> certain = CertainStringEncodingForData(data, contentTypeHeader, string)) {
        encoding = *certain;
        parser = std::make_unique<HTMLParser>(std::move(string), encoding);
    } else {
        if (auto prescanned = parserForPrescannedUTF8(data))
            return prescanned;
        // As DeterminedStringEncodingForData decides when nothing is certain.
        encoding = {StringEncoding::Windows1252, HTMLStringEncodingConfidence::Tentative};
        parser = parserInEncoding(data, encoding);
    }

    std::optional<HTMLStringEncoding> restart;
    parser->setChangeEncoding([&](StringEncoding newEncoding, HTMLStringEncodingConfidence confidence) {
        restart = HTMLStringEncoding {newEncoding, confidence};
    });
    parser->document();
    parser->setChangeEncoding(nullptr);
    if (!restart)
        return parser;
    // The replacement parser gets no callback, so a document restarts at most
    // once. Bytes the new encoding cannot decode keep the first encoding
    // (windows-1252, the one a restart can come from, decodes any bytes).
    if (auto replacement = parsedUnlessInvalid(parserInEncoding(data, *restart)))
        return replacement;
    return parsedUnlessInvalid(parserInEncoding(data, encoding));
}
