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

// A parser of the bytes in the encoding, or none when they are not valid in
// it. UTF-8 and windows-1252 are decoded as the parse reads them.
std::unique_ptr<HTMLParser> parserInEncoding(std::string_view data, HTMLStringEncoding encoding)
{
    if (encoding.encoding == StringEncoding::UTF8) {
        if (data.starts_with("\xEF\xBB\xBF"))
            data.remove_prefix(3);
        if (!IsValidUTF8(data))
            return nullptr;
        return std::make_unique<HTMLParser>(HTMLUndecodedText {data, HTMLUndecodedText::Encoding::ValidUTF8}, encoding);
    }
    if (encoding.encoding == StringEncoding::Windows1252)
        return std::make_unique<HTMLParser>(HTMLUndecodedText {data, HTMLUndecodedText::Encoding::Windows1252}, encoding);
    std::optional<std::u16string> decoded = DecodedString(data, encoding.encoding);
    if (!decoded)
        return nullptr;
    return std::make_unique<HTMLParser>(std::move(*decoded), encoding);
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
    auto parser = parserInEncoding(data, {StringEncoding::UTF8, HTMLStringEncodingConfidence::Certain});
    if (!parser)
        return nullptr;
    parser->document();
    if (parser->firstMetaCharset() != StringEncoding::UTF8)
        return nullptr;
    return parser;
}

} // namespace

std::unique_ptr<HTMLParser> ParserForData(std::string_view data, std::optional<std::string_view> contentTypeHeader)
{
    std::unique_ptr<HTMLParser> parser;
    HTMLStringEncoding encoding {StringEncoding::UTF8, HTMLStringEncodingConfidence::Certain};
    std::u16string string;
    if (const std::optional<std::string_view> text = CertainUTF8Text(data, contentTypeHeader)) {
        parser = std::make_unique<HTMLParser>(HTMLUndecodedText {*text, HTMLUndecodedText::Encoding::ValidUTF8}, encoding);
    } else if (const std::optional<HTMLStringEncoding> certain = CertainStringEncodingForData(data, contentTypeHeader, string)) {
        encoding = *certain;
        parser = std::make_unique<HTMLParser>(std::move(string), encoding);
    } else {
        if (auto prescanned = parserForPrescannedUTF8(data))
            return prescanned;
        // As DeterminedStringEncodingForData decides when nothing is certain.
        encoding = {StringEncoding::Windows1252, HTMLStringEncodingConfidence::Tentative};
        parser = parserInEncoding(data, encoding);
    }

    // The replacement parser gets no callback, so a document restarts at most once.
    std::unique_ptr<HTMLParser> replacement;
    parser->setChangeEncoding([&](StringEncoding newEncoding, HTMLStringEncodingConfidence confidence) {
        replacement = parserInEncoding(data, {newEncoding, confidence});
        if (!replacement)
            replacement = parserInEncoding(data, encoding);
    });
    parser->document();
    parser->setChangeEncoding(nullptr);
    if (!replacement)
        return parser;
    replacement->document();
    return replacement;
}
