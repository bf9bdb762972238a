#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-8 to UTF-16: each invalid sequence becomes U+FFFD, or, when strict,
// makes the decoding fail.
std::optional<std::u16string> DecodeUTF8(std::string_view utf8, bool strict);
std::u16string UTF16FromUTF8(std::string_view utf8);
// Appends the text of the bytes up to their first invalid sequence; false
// when there is one.
bool AppendUTF8(std::u16string& text, std::string_view utf8);
// The same written at out, which has room for as many units as there are
// bytes, and moved past what was written.
bool WriteUTF8(std::string_view utf8, char16_t*& out);

// The length of the ASCII run at the start of bytes[0, size), each byte
// widened into out, which has room for size units (some past the run may be
// written too).
std::size_t WidenASCIIRun(const unsigned char* bytes, std::size_t size, char16_t* out);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string UTF8FromUTF16(std::u16string_view utf16);
