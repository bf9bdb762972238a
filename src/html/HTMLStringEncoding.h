#pragma once

#include "html/HTMLUTF8.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Identifiers of the encodings the parser decodes (UTF-8 is 4, as documents
// record it).
enum class StringEncoding : std::uint64_t {
    Invalid = 0,
    UTF8 = 4,
    UTF16BE,
    UTF16LE,
    Windows1252,
    Windows1250,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1255,
    Windows1256,
    Windows1257,
    Windows1258,
    Windows874,
    ISO8859_2,
    ISO8859_3,
    ISO8859_4,
    ISO8859_5,
    ISO8859_6,
    ISO8859_7,
    ISO8859_8,
    ISO8859_10,
    ISO8859_13,
    ISO8859_14,
    ISO8859_15,
    ISO8859_16,
    IBM866,
    KOI8R,
    KOI8U,
    Macintosh,
    MacCyrillic,
    Big5,
    EUCJP,
    EUCKR,
    GBK,
    GB18030,
    ISO2022JP,
    ShiftJIS,
};

enum class HTMLStringEncodingConfidence : std::int64_t { Tentative = 0, Certain = 1, Irrelevant = 2 };

// An encoding and how sure we are of it: a meta charset may change it only
// while the confidence is tentative.
struct HTMLStringEncoding {
    StringEncoding encoding = StringEncoding::UTF8;
    HTMLStringEncodingConfidence confidence = HTMLStringEncodingConfidence::Tentative;

    bool operator==(const HTMLStringEncoding&) const = default;
};

StringEncoding InvalidStringEncoding();

// The encoding an Encoding Standard label names (ignoring case and surrounding
// white space), or InvalidStringEncoding() for an unknown label or one of the
// "replacement" group.
StringEncoding StringEncodingForLabel(std::u16string_view label);
StringEncoding StringEncodingForLabel(std::string_view label);

bool IsASCIICompatibleEncoding(StringEncoding encoding);
bool IsUTF16Encoding(StringEncoding encoding);

// Appends the windows-1252 text of the bytes.
void AppendWindows1252(std::u16string& text, std::string_view data);
// The same written at out, one unit per byte.
void WriteWindows1252(std::string_view data, char16_t* out);

// The text of the bytes in the encoding, or nothing when they are not valid in
// it. A byte-order mark at the start is not part of the text.
std::optional<std::u16string> DecodedString(std::string_view data, StringEncoding encoding);

// The encoding a document's bytes carry for certain (byte-order mark, then the
// Content-Type header's charset), decoded into `string`; none otherwise.
std::optional<HTMLStringEncoding> CertainStringEncodingForData(std::string_view data,
                                                               std::optional<std::string_view> contentTypeHeader,
                                                               std::u16string& string);

// When CertainStringEncodingForData would decide on UTF-8 if the bytes are
// valid UTF-8: the bytes of the text (after any byte-order mark), neither
// checked nor decoded.
std::optional<std::string_view> DeclaredUTF8Text(std::string_view data, std::optional<std::string_view> contentTypeHeader);

// A guess from the first 1,024 bytes: the encoding a meta charset there names
// (UTF-16 read as UTF-8), or InvalidStringEncoding(). The tree construction
// has the last word, so a caller confirms the guess against it.
StringEncoding PrescannedStringEncoding(std::string_view data);

// Decides the encoding of a document's bytes (byte-order mark, the
// Content-Type header's charset, then windows-1252) and decodes them into
// `string`.
HTMLStringEncoding DeterminedStringEncodingForData(std::string_view data, std::optional<std::string_view> contentTypeHeader,
                                                   std::u16string& string);
