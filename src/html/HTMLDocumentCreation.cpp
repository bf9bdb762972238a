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

std::unique_ptr<HTMLParser> ParserForData(std::string_view data, std::optional<std::string_view> contentTypeHeader)
{
    std::u16string string;
    const HTMLStringEncoding encoding = DeterminedStringEncodingForData(data, contentTypeHeader, string);
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
