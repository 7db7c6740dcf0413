#pragma once
// Finding the next of a few bytes in a run of text: line ends in the notes
// file, CRs and the end-of-text byte in the outline file. Most bytes are
// none of them, so the scan passes over a block of bytes a step.
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace virevi {

/// The scan that every machine can run: eight bytes a step in a 64-bit word.
/// The first byte in [p, end) equal to `a`, `b` or `c` (repeat one to look
/// for fewer), or `end`. Reads nothing outside [p, end).
inline const char* FindAnyOfPortable(const char* p, const char* end, char a, char b, char c) {
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t Highs = 0x8080808080808080;
    // Non-zero when some byte of `v` is zero; which one is found byte by byte,
    // so the order of the bytes in the word does not matter.
    const auto holdsZero = [](std::uint64_t v) { return ((v - Ones) & ~v & Highs) != 0; };
    const std::uint64_t wa = Ones * static_cast<unsigned char>(a);
    const std::uint64_t wb = Ones * static_cast<unsigned char>(b);
    const std::uint64_t wc = Ones * static_cast<unsigned char>(c);
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (holdsZero(word ^ wa) || holdsZero(word ^ wb) || holdsZero(word ^ wc)) {
            break;
        }
        p += 8;
    }
    for (; p < end; ++p) {
        if (*p == a || *p == b || *p == c) {
            return p;
        }
    }
    return end;
}

/// The same, sixteen bytes a step where the processor has SSE2.
inline const char* FindAnyOf(const char* p, const char* end, char a, char b, char c) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    const __m128i vc = _mm_set1_epi8(c);
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, va), _mm_cmpeq_epi8(block, vb)),
                         _mm_cmpeq_epi8(block, vc));
        if (const int mask = _mm_movemask_epi8(hits); mask != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
        p += 16;
    }
    for (; p < end; ++p) {
        if (*p == a || *p == b || *p == c) {
            return p;
        }
    }
    return end;
#else
    return FindAnyOfPortable(p, end, a, b, c);
#endif
}

} // namespace virevi
