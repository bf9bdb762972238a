#include "html/HTMLUTF8.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

namespace {

// One sequence from a lead byte that is not ASCII.
struct Sequence {
    char32_t codePoint = 0;
    // The bytes read: the whole sequence when valid, else the maximal valid
    // prefix (at least the lead byte), which stands for one U+FFFD.
    std::size_t length = 1;
    bool valid = false;
};

Sequence readSequence(const unsigned char* bytes, std::size_t size)
{
    // The lead byte fixes the length and the range of the second byte
    // (which excludes overlong forms, surrogates and values past U+10FFFF).
    const unsigned char lead = bytes[0];
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
    Sequence sequence;
    if (length == 0)
        return sequence;
    for (; sequence.length < length; ++sequence.length) {
        if (sequence.length >= size)
            return sequence;
        const unsigned char next = bytes[sequence.length];
        if (next < low || next > high)
            return sequence;
        low = 0x80;
        high = 0xBF;
        c = (c << 6) | (next & 0x3F);
    }
    sequence.codePoint = c;
    sequence.valid = true;
    return sequence;
}

char16_t* appendUTF16(char16_t* out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        *out++ = static_cast<char16_t>(c);
    }
    return out;
}

#if defined(__SSE2__)
// Chinese, Japanese and Korean text is runs of three-byte sequences, which are
// decoded here four at a time: a byte shuffle (SSSE3) puts each sequence in a
// lane of its own, where it is checked and decoded like the others. Returns
// the length of the run of valid three-byte sequences at the start of
// bytes[0, size) that it decoded into out, which has room for size units
// (some past the run are written too). Four sequences are taken from a load
// of sixteen bytes, so the last few bytes are left to the caller.
__attribute__((target("ssse3"))) std::size_t decodeThreeByteRun(const unsigned char* bytes, std::size_t size,
                                                                char16_t* out)
{
    const __m128i spreadSequences = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i packUnits = _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1);
    std::size_t i = 0;
    for (; i + 16 <= size; i += 12, out += 4) {
        // Lanes of lead, continuation, continuation, zero.
        const __m128i lanes = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)),
                                               spreadSequences);
        const __m128i shaped = _mm_cmpeq_epi32(_mm_and_si128(lanes, _mm_set1_epi32(0x00C0C0F0)),
                                               _mm_set1_epi32(0x008080E0));
        const __m128i codePoints = _mm_or_si128(
            _mm_or_si128(_mm_slli_epi32(_mm_and_si128(lanes, _mm_set1_epi32(0x0F)), 12),
                         _mm_srli_epi32(_mm_and_si128(lanes, _mm_set1_epi32(0x3F00)), 2)),
            _mm_and_si128(_mm_srli_epi32(lanes, 16), _mm_set1_epi32(0x3F)));
        // Overlong forms and surrogates are not valid.
        const __m128i notOverlong = _mm_cmpgt_epi32(codePoints, _mm_set1_epi32(0x7FF));
        const __m128i surrogate = _mm_cmpeq_epi32(_mm_and_si128(codePoints, _mm_set1_epi32(0xF800)),
                                                  _mm_set1_epi32(0xD800));
        const __m128i valid = _mm_andnot_si128(surrogate, _mm_and_si128(shaped, notOverlong));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(codePoints, packUnits));
        const auto validLanes = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(valid)));
        if (validLanes != 0xF)
            return i + 3 * static_cast<std::size_t>(std::countr_one(validLanes));
    }
    return i;
}

bool hasByteShuffles()
{
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return supported;
}
#endif

} // namespace

// Pages are mostly ASCII, so the run is taken 32 and 16 bytes at a time
// where SSE2 is there; the sixteen bytes where the run ends are widened whole
// too, which spares a slow look at the last few.
std::size_t WidenASCIIRun(const unsigned char* bytes, std::size_t size, char16_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const auto widen = [&](std::size_t at, __m128i chunk) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(chunk, zero));
    };
    for (; i + 32 <= size; i += 32) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16));
        if (_mm_movemask_epi8(_mm_or_si128(first, second)) != 0)
            break;
        widen(i, first);
        widen(i + 16, second);
    }
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        widen(i, chunk);
        if (const int high = _mm_movemask_epi8(chunk))
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(high)));
    }
#endif
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080u)
            break;
        for (int k = 0; k < 8; ++k)
            out[i + k] = bytes[i + k];
    }
    for (; i < size && bytes[i] < 0x80; ++i)
        out[i] = bytes[i];
    return i;
}

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
        if (bytes[i] < 0x80) {
            const std::size_t ascii = WidenASCIIRun(bytes + i, size - i, out);
            i += ascii;
            out += ascii;
            continue;
        }
        const Sequence sequence = readSequence(bytes + i, size - i);
        if (!sequence.valid) {
            if (strict)
                return std::nullopt;
            *out++ = u'\uFFFD';
        } else {
            out = appendUTF16(out, sequence.codePoint);
        }
        i += sequence.length;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

bool WriteUTF8(std::string_view utf8, char16_t*& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    // Written through a copy of out, which stays in a register: a unit
    // written through out itself could change it, so it would be read back
    // from memory after every unit.
    char16_t* to = out;
#if defined(__SSE2__)
    const bool byteShuffles = hasByteShuffles();
#endif
    while (i < size) {
        if (bytes[i] < 0x80) {
            const std::size_t ascii = WidenASCIIRun(bytes + i, size - i, to);
            i += ascii;
            to += ascii;
            continue;
        }
#if defined(__SSE2__)
        // Unless another three-byte sequence follows, the inline checks below
        // take it faster (a lone quotation mark or dash in Latin text, text
        // in two-byte sequences).
        if (byteShuffles && i + 16 <= size && (bytes[i] & 0xF0) == 0xE0 && (bytes[i + 3] & 0xF0) == 0xE0) {
            if (const std::size_t length = decodeThreeByteRun(bytes + i, size - i, to)) {
                i += length;
                to += length / 3;
                continue;
            }
        }
#endif
        // Runs of sequences (text in other scripts) go on without a look for
        // ASCII; the common two- and three-byte sequences (no overlong form or
        // surrogate can start with these leads) are checked inline.
        const unsigned char lead = bytes[i];
        if (lead >= 0xC2 && lead < 0xE0 && i + 2 <= size && (bytes[i + 1] & 0xC0) == 0x80) {
            *to++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
            i += 2;
        } else if (((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) && i + 3 <= size
                   && (bytes[i + 1] & 0xC0) == 0x80 && (bytes[i + 2] & 0xC0) == 0x80) {
            *to++ = static_cast<char16_t>(((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F));
            i += 3;
        } else {
            const Sequence sequence = readSequence(bytes + i, size - i);
            if (!sequence.valid) {
                out = to;
                return false;
            }
            to = appendUTF16(to, sequence.codePoint);
            i += sequence.length;
        }
    }
    out = to;
    return true;
}

bool AppendUTF8(std::u16string& text, std::string_view utf8)
{
    const std::size_t start = text.size();
    text.resize(start + utf8.size());
    char16_t* out = text.data() + start;
    const bool valid = WriteUTF8(utf8, out);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return valid;
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
