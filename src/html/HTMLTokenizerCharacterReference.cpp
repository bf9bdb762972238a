// Consuming one character reference for the tokenizer's reference states.
#include "html/HTMLEntities.h"
#include "html/HTMLTokenizer.h"

namespace {

// The named references are at most 32 units long.
constexpr std::size_t longestReferenceName = 32;

} // namespace

bool HTMLTokenizer::nextCharactersLookLikeNamedReference()
{
    // One or more letters, marks or digits followed by ";".
    std::size_t i = 0;
    while (IsAlphanumericCharacter(inputStream_.nextUnprocessedUnitAt(i)))
        ++i;
    return i > 0 && inputStream_.nextUnprocessedUnitAt(i) == u';';
}

std::optional<std::u16string> HTMLTokenizer::attemptToConsumeCharacterReference(bool isPartOfAnAttribute)
{
    const char32_t c = inputStream_.nextInputCharacter();
    if (additionalAllowedCharacter_ != HTMLEOFCharacter && c == additionalAllowedCharacter_)
        return std::nullopt;
    if (IsHTMLWhitespace(c) || c == U'<' || c == U'&' || c == HTMLEOFCharacter)
        return std::nullopt;

    if (c == U'#') {
        consumeNextInputCharacter();
        const bool hexadecimal = inputStream_.consumeString(u"x", false);
        std::uint32_t number = 0;
        if (!(hexadecimal ? inputStream_.consumeHexInt(number) : inputStream_.consumeUnsignedInt(number))) {
            inputStream_.unconsumeInputCharacters(hexadecimal ? 2 : 1);
            emitParseError("Numeric entity with no numbers");
            return std::nullopt;
        }
        if (!inputStream_.consumeString(u";", true))
            emitParseError("Missing semicolon for numeric entity");
        if (const char16_t replacement = ReplacementForNumericCharacterReference(number)) {
            emitParseError("Invalid numeric entity (has replacement)");
            return std::u16string(1, replacement);
        }
        if (number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF)) {
            emitParseError("Invalid numeric entity (outside valid Unicode range)");
            return u"\uFFFD";
        }
        if (IsNoncharacterOrDisallowedControl(number))
            emitParseError("Invalid numeric entity (in bad Unicode range)");
        return StringWithLongCharacter(number);
    }

    const std::u16string_view candidate = inputStream_.nextUnprocessedCharactersWithMaximumLength(longestReferenceName);
    std::u16string_view name;
    const std::optional<std::u16string_view> value = StringForNamedCharacterReference(candidate, &name);
    if (!value) {
        if (nextCharactersLookLikeNamedReference())
            emitParseError("Unknown named entity with semicolon");
        return std::nullopt;
    }

    inputStream_.consumeString(name, true);
    const bool hasSemicolon = name.back() == u';';
    if (isPartOfAnAttribute && !hasSemicolon) {
        // Legacy references without ";" stay text in attribute values when
        // they run into "=" or further name characters (as in URL queries).
        const char32_t next = inputStream_.nextInputCharacter();
        if (next == U'=') {
            inputStream_.unconsumeInputCharacters(name.size());
            emitParseError("Named entity in attribute ending with =");
            return std::nullopt;
        }
        if (next != HTMLEOFCharacter && IsAlphanumericCharacter(static_cast<char16_t>(next & 0xFFFF))) {
            inputStream_.unconsumeInputCharacters(name.size());
            return std::nullopt;
        }
    }
    if (!hasSemicolon)
        emitParseError("Named entity missing semicolon");
    return std::u16string(*value);
}
