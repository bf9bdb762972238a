#include "html/HTMLUTF8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::optional<std::u16string> DecodeUTF8(std::string_view utf8, bool strict)
{
    // No sequence gives more UTF-16 units than it has bytes, so the text fits
    // in as many units as there are bytes.
    std::u16string text(utf8.size(), u'\0');
    char16_t* out = text.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    while (i < size) {
        // Pages are mostly ASCII: widen sixteen bytes at a time while they are.
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        while (i + 16 <= size) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            if (_mm_movemask_epi8(chunk) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(chunk, zero));
            out += 16;
            i += 16;
        }
#endif
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            if (word & 0x8080808080808080u)
                break;
            for (int k = 0; k < 8; ++k)
                out[k] = bytes[i + k];
            out += 8;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
            continue;
        }
        // The lead byte fixes the length and the range of the second byte
        // (which excludes overlong forms, surrogates and values past U+10FFFF).
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t c = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        }
        std::size_t consumed = 1;
        bool valid = length > 0;
        while (valid && consumed < length) {
            if (i + consumed >= size) {
                valid = false;
                break;
            }
            const unsigned char next = bytes[i + consumed];
            if (next < low || next > high) {
                valid = false;
                break;
            }
            low = 0x80;
            high = 0xBF;
            c = (c << 6) | (next & 0x3F);
            ++consumed;
        }
        if (!valid) {
            if (strict)
                return std::nullopt;
            // The maximal valid prefix becomes one replacement character.
            *out++ = u'\uFFFD';
            i += consumed;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(c);
        }
        i += length;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

std::u16string UTF16FromUTF8(std::string_view utf8)
{
    return *DecodeUTF8(utf8, false);
}

std::string UTF8FromUTF16(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
