#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Character references: the tables behind the tokenizer's references, and
// escaping and unescaping of plain text with the same tables.

// The value of the longest named reference that begins candidate (the
// tokenizer passes at most 32 units), with that name through matchedName;
// none when no name matches.
std::optional<std::u16string_view> StringForNamedCharacterReference(std::u16string_view candidate,
                                                                     std::u16string_view* matchedName = nullptr);

// The standard's replacement for a numeric reference (U+FFFD for 0, the
// windows-1252 characters for 0x80 to 0x9F, identities included), or 0 when
// the number has none.
char16_t ReplacementForNumericCharacterReference(std::uint32_t number);

// A letter, mark or digit of any script (what a named reference without ";"
// inside an attribute value must not be followed by).
bool IsAlphanumericCharacter(char16_t c);

// "&", U+00A0, '"', "<" and ">" written as references; the apostrophe stays.
std::u16string html_stringByEscapingForHTML(std::u16string_view string);
// Decodes every numeric and named reference it can; the rest stays as it stands.
std::u16string html_stringByUnescapingHTML(std::u16string_view string);
