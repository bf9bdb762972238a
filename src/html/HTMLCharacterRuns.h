#pragma once

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Finding the end of a run of ordinary characters, eight UTF-16 units at a
// time where SSE2 is there. Ordinary units are printable ASCII, tab, line
// feed, form feed and U+00A0 to U+D7FF: each is its own code point and the
// input stream has nothing to report for it. Everything else (carriage
// return, U+0000, other controls, surrogates, noncharacters) ends the run and
// takes the careful way.

constexpr bool IsOrdinaryUnit(char16_t u)
{
    return (u >= 0x20 && u < 0x7F) || u == 0x09 || u == 0x0A || u == 0x0C || (u >= 0xA0 && u < 0xD800);
}

// The first unit from p on that is one of Stops or not ordinary; end if none is.
// Always inlined: most runs are short, and a call would set up the constants
// for each of them.
template <char16_t... Stops>
[[gnu::always_inline]] inline const char16_t* FindRunStop(const char16_t* p, const char16_t* end)
{
#if defined(__SSE2__)
    // SSE2 compares signed 16-bit lanes: a range of units, moved to the
    // bottom of the signed range, is told apart with one add and one
    // compare. A block of printable ASCII, 0x20 to 0x7E, is let through first
    // with fewer steps; U+00A0 to U+D7FF are looked for only after it.
    const __m128i printableShift = _mm_set1_epi16(0x7FE0);
    const __m128i printableLimit = _mm_set1_epi16(static_cast<short>(0x8000 + 0x7F - 0x20));
    const __m128i wideShift = _mm_set1_epi16(static_cast<short>(0x8000 - 0xA0));
    const __m128i wideLimit = _mm_set1_epi16(static_cast<short>(0x8000 + 0xD800 - 0xA0 - 0x10000));
    const __m128i tab = _mm_set1_epi16(0x09);
    const __m128i lineFeed = _mm_set1_epi16(0x0A);
    const __m128i formFeed = _mm_set1_epi16(0x0C);
    for (; end - p >= 8; p += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i stop = _mm_setzero_si128();
        ((stop = _mm_or_si128(stop, _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(Stops))))), ...);
        __m128i ordinary = _mm_cmplt_epi16(_mm_add_epi16(units, printableShift), printableLimit);
        const unsigned printable = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(stop, ordinary)));
        if (printable == 0xFFFF)
            continue;
        // Most runs are short and end at a stop, which needs no closer look.
        const int firstOther = std::countr_zero(~printable);
        if ((static_cast<unsigned>(_mm_movemask_epi8(stop)) >> firstOther) & 1)
            return p + firstOther / 2;
        ordinary = _mm_or_si128(ordinary, _mm_cmplt_epi16(_mm_add_epi16(units, wideShift), wideLimit));
        ordinary = _mm_or_si128(ordinary, _mm_cmpeq_epi16(units, tab));
        ordinary = _mm_or_si128(ordinary, _mm_cmpeq_epi16(units, lineFeed));
        ordinary = _mm_or_si128(ordinary, _mm_cmpeq_epi16(units, formFeed));
        const unsigned passing = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(stop, ordinary)));
        if (passing != 0xFFFF)
            return p + std::countr_zero(~passing) / 2;
    }
#endif
    while (p != end && IsOrdinaryUnit(*p) && ((*p != Stops) && ...))
        ++p;
    return p;
}
