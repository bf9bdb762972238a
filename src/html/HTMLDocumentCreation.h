#pragma once

#include <memory>
#include <optional>
#include <string_view>

class HTMLParser;

// A parser of the bytes, in the encoding their byte-order mark, Content-Type
// header or content decides, whose document is already parsed. When a meta
// charset in the document names another encoding, the bytes are decoded again
// and parsed once more (never a second time). The parser's string() decodes
// data again, so data must outlive such calls.
std::unique_ptr<HTMLParser> ParserForData(std::string_view data, std::optional<std::string_view> contentTypeHeader);
