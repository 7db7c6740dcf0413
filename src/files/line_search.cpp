#include "files/line_search.h"

#include <algorithm>
#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VIREVI_HAVE_AVX2 1
#endif

#include "files/string_list.h"
#include "runtime/shift_jis.h"

namespace virevi {

namespace {

// Every lead and trail pair the codec reads as one character, one bit each:
// the boundary walk asks for it at every double-byte character it passes.
class TPairTable {
public:
    TPairTable() {
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFF; ++trail) {
                if (IsDoubleByteChar(static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail))) {
                    const unsigned key = lead << 8 | trail;
                    Bits_[key >> 6] |= std::uint64_t{1} << (key & 63);
                }
            }
        }
    }
    bool Joins(unsigned char lead, unsigned char trail) const {
        const unsigned key = static_cast<unsigned>(lead) << 8 | trail;
        return (Bits_[key >> 6] >> (key & 63) & 1) != 0;
    }

private:
    std::array<std::uint64_t, 1024> Bits_{};
};

const TPairTable& Pairs() {
    static const TPairTable table;
    return table;
}

// Bytes of the character at `p`, which lies before `end`.
inline std::size_t CharAt(const TPairTable& pairs, const unsigned char* p,
                          const unsigned char* end) {
    return IsLeadByte(p[0]) && p + 1 < end && pairs.Joins(p[0], p[1]) ? 2 : 1;
}

// How often a byte turns up in notes, roughly: Japanese text is mostly the
// lead bytes of kana and punctuation, English mostly small letters. The
// search looks first for the bytes of its text that score lowest.
int Commonness(unsigned char b) {
    if (b >= 0x81 && b <= 0x83) {
        return 255;
    }
    if (b == ' ') {
        return 240;
    }
    if (b >= 'a' && b <= 'z') {
        return std::strchr("etaoinsrhl", b) != nullptr ? 220 : 190;
    }
    if ((b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) {
        return 150;
    }
    if (b >= '0' && b <= '9') {
        return 140;
    }
    if (b >= 'A' && b <= 'Z') {
        return 120;
    }
    if (b >= 0x40 && b <= 0xFC) {
        return 110;
    }
    if (b >= 0x21 && b <= 0x3F) {
        return 100;
    }
    return 20;
}

bool IsAsciiLetter(unsigned char b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

TSearchPattern::TSearchPattern(std::string_view bytes, bool matchCase)
    : Bytes_(bytes), Other_(bytes), Chars_(bytes.size(), 0) {
    const TPairTable& pairs = Pairs();
    const unsigned char* p = Bytes(Bytes_);
    const unsigned char* end = p + Bytes_.size();
    for (std::size_t i = 0; i < Bytes_.size();) {
        const std::size_t length = CharAt(pairs, p + i, end);
        Chars_[i] = static_cast<std::uint8_t>(length);
        // Only a letter that is a character of its own has another case: the
        // same byte as the second of a double-byte character is not a letter.
        if (!matchCase && length == 1 && IsAsciiLetter(p[i])) {
            Other_[i] = static_cast<char>(p[i] ^ 0x20);
            Folds_ = true;
        }
        i += length;
    }
    std::vector<int> cost(Bytes_.size());
    for (std::size_t i = 0; i < Bytes_.size(); ++i) {
        const auto b = static_cast<unsigned char>(Bytes_[i]);
        const auto o = static_cast<unsigned char>(Other_[i]);
        cost[i] = Commonness(b) + (o != b ? Commonness(o) : 0);
    }
    for (std::size_t i = 0; i < cost.size(); ++i) {
        if (cost[i] < cost[First_]) {
            First_ = i;
        }
    }
    Second_ = First_;
    for (std::size_t i = 0; i < cost.size(); ++i) {
        if (i != First_ && (Second_ == First_ || cost[i] < cost[Second_])) {
            Second_ = i;
        }
    }
}

bool TSearchPattern::MatchesAt(std::string_view line, std::size_t at, std::size_t& boundary) const {
    const std::size_t m = Bytes_.size();
    if (m == 0 || at > line.size() || line.size() - at < m) {
        return false;
    }
    for (std::size_t j = 0; j < m; ++j) {
        const char t = line[at + j];
        if (t != Bytes_[j] && t != Other_[j]) {
            return false;
        }
    }
    const TPairTable& pairs = Pairs();
    const unsigned char* p = Bytes(line);
    const unsigned char* end = p + line.size();
    std::size_t q = boundary <= at ? boundary : 0;
    while (q < at) {
        q += CharAt(pairs, p + q, end);
    }
    boundary = q;
    if (q != at) {
        return false;
    }
    // The text must split into the pattern's characters: a stray lead byte
    // in the pattern does not match the first half of a character.
    for (std::size_t j = 0; j < m;) {
        const std::size_t length = CharAt(pairs, p + at + j, end);
        if (length != Chars_[j]) {
            return false;
        }
        j += length;
    }
    return true;
}

// The first place from `s` on, before `stop`, where the bytes at offsets
// `i1` and `i2` are each one of their pair (a1 or b1, a2 or b2); `stop` when
// none. The bytes at `stop` - 1 + `i2` and before must be readable.
struct TBytePair {
    std::size_t I1, I2;
    char A1, B1, A2, B2;
};

template <bool Fold>
const char* NextPairPortable(const char* s, const char* stop, const TBytePair& p) {
#if defined(__SSE2__)
    const __m128i a1 = _mm_set1_epi8(p.A1);
    const __m128i b1 = _mm_set1_epi8(p.B1);
    const __m128i a2 = _mm_set1_epi8(p.A2);
    const __m128i b2 = _mm_set1_epi8(p.B2);
    for (; stop - s >= 16; s += 16) {
        const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p.I1));
        const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p.I2));
        __m128i h1 = _mm_cmpeq_epi8(x1, a1);
        __m128i h2 = _mm_cmpeq_epi8(x2, a2);
        if constexpr (Fold) {
            h1 = _mm_or_si128(h1, _mm_cmpeq_epi8(x1, b1));
            h2 = _mm_or_si128(h2, _mm_cmpeq_epi8(x2, b2));
        }
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(h1, h2)));
        if (mask != 0) {
            return s + __builtin_ctz(mask);
        }
    }
#endif
    for (; s < stop; ++s) {
        if ((s[p.I1] == p.A1 || s[p.I1] == p.B1) && (s[p.I2] == p.A2 || s[p.I2] == p.B2)) {
            return s;
        }
    }
    return stop;
}

#if defined(VIREVI_HAVE_AVX2)

// Sixty-four places a step: a search is as fast as the memory under it.
template <bool Fold>
__attribute__((target("avx2"))) const char* NextPairAvx2(const char* s, const char* stop,
                                                         const TBytePair& p) {
    const __m256i a1 = _mm256_set1_epi8(p.A1);
    const __m256i b1 = _mm256_set1_epi8(p.B1);
    const __m256i a2 = _mm256_set1_epi8(p.A2);
    const __m256i b2 = _mm256_set1_epi8(p.B2);
    for (; stop - s >= 64; s += 64) {
        const __m256i x1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p.I1));
        const __m256i x2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p.I2));
        const __m256i y1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 + p.I1));
        const __m256i y2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 + p.I2));
        __m256i hx1 = _mm256_cmpeq_epi8(x1, a1);
        __m256i hx2 = _mm256_cmpeq_epi8(x2, a2);
        __m256i hy1 = _mm256_cmpeq_epi8(y1, a1);
        __m256i hy2 = _mm256_cmpeq_epi8(y2, a2);
        if constexpr (Fold) {
            hx1 = _mm256_or_si256(hx1, _mm256_cmpeq_epi8(x1, b1));
            hx2 = _mm256_or_si256(hx2, _mm256_cmpeq_epi8(x2, b2));
            hy1 = _mm256_or_si256(hy1, _mm256_cmpeq_epi8(y1, b1));
            hy2 = _mm256_or_si256(hy2, _mm256_cmpeq_epi8(y2, b2));
        }
        const __m256i low = _mm256_and_si256(hx1, hx2);
        const __m256i high = _mm256_and_si256(hy1, hy2);
        const __m256i any = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(any, any) == 0) {
            const std::uint64_t mask =
                static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
                static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high)))
                    << 32;
            return s + __builtin_ctzll(mask);
        }
    }
    return NextPairPortable<Fold>(s, stop, p);
}
#endif

template <bool Fold> const char* NextPair(const char* s, const char* stop, const TBytePair& p) {
#if defined(VIREVI_HAVE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return NextPairAvx2<Fold>(s, stop, p);
    }
#endif
    return NextPairPortable<Fold>(s, stop, p);
}

// Scans a run of consecutive lines, which lie back to back in the list's
// bytes, for the pattern's two rarest bytes at once, and checks each place
// where both stand against the lines.
class TPatternScan {
public:
    TPatternScan(const TStringList& lines, std::size_t first, std::size_t end,
                 const TSearchPattern& pattern)
        : Lines_(lines), Pattern_(pattern), End_(end), Line_(first) {}

    /// Calls `visit` with the first match of each line that holds one, in
    /// order, until it returns false.
    template <typename TVisit> void Visit(const char* from, const char* to, TVisit visit) {
        if (Pattern_.Folds_) {
            Scan<true>(from, to, visit);
        } else {
            Scan<false>(from, to, visit);
        }
    }

private:
    template <bool Fold, typename TVisit>
    void Scan(const char* from, const char* to, TVisit& visit) {
        const std::size_t m = Pattern_.Size();
        if (to - from < static_cast<std::ptrdiff_t>(m)) {
            return;
        }
        const TBytePair pair{Pattern_.First_,
                             Pattern_.Second_,
                             Pattern_.Bytes_[Pattern_.First_],
                             Pattern_.Other_[Pattern_.First_],
                             Pattern_.Bytes_[Pattern_.Second_],
                             Pattern_.Other_[Pattern_.Second_]};
        const char* const stop = to - m + 1; // past the last place a match can start
        for (const char* s = NextPair<Fold>(from, stop, pair); s < stop;) {
            const std::optional<TLinePlace> place = Check(s);
            if (!place) {
                s = NextPair<Fold>(s + 1, stop, pair);
                continue;
            }
            if (!visit(*place)) {
                return;
            }
            // On from the next line: only the first match of a line counts.
            const std::string_view line = Lines_[place->Line];
            const char* next = line.data() + line.size();
            if (next >= stop) {
                return;
            }
            s = NextPair<Fold>(next, stop, pair);
        }
    }

    // The line holding `at`, which lies in the run; places come in order, so
    // the search starts at the line of the last one.
    std::size_t LineOf(const char* at) {
        const std::string_view current = Lines_[Line_];
        if (at < current.data() + current.size()) {
            return Line_;
        }
        std::size_t lo = Line_ + 1;
        std::size_t hi = End_;
        // The last line starting at or before `at`: empty lines before a
        // line start where it does, and hold nothing.
        while (hi - lo > 1) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (Lines_[mid].data() <= at) {
                lo = mid;
            } else {
                hi = mid;
            }
        }
        return lo;
    }

    std::optional<TLinePlace> Check(const char* at) {
        // The bytes first, which the run holds from `at` on: most places
        // fail there, and finding the line costs a search of the line starts.
        for (std::size_t j = 0; j < Pattern_.Bytes_.size(); ++j) {
            if (at[j] != Pattern_.Bytes_[j] && at[j] != Pattern_.Other_[j]) {
                return std::nullopt;
            }
        }
        const std::size_t line = LineOf(at);
        if (line != Line_) {
            Line_ = line;
            Boundary_ = 0;
        }
        const std::string_view text = Lines_[line];
        const auto column = static_cast<std::size_t>(at - text.data());
        if (Pattern_.MatchesAt(text, column, Boundary_)) {
            return TLinePlace{line, column};
        }
        return std::nullopt;
    }

    const TStringList& Lines_;
    const TSearchPattern& Pattern_;
    std::size_t End_;
    std::size_t Line_;         // the line of the last place checked
    std::size_t Boundary_ = 0; // a character boundary in it, at most that place
};

std::optional<TLinePlace> FindInLines(const TStringList& lines, std::size_t first, std::size_t end,
                                      std::size_t from, const TSearchPattern& pattern) {
    end = std::min(end, lines.Count());
    if (pattern.Empty() || first >= end) {
        return std::nullopt;
    }
    // A list keeps its lines back to back in one buffer, so consecutive
    // lines are one run of bytes.
    const std::string_view head = lines[first];
    const std::string_view last = lines[end - 1];
    const char* begin = head.data() + std::min(from, head.size());
    std::optional<TLinePlace> found;
    TPatternScan(lines, first, end, pattern)
        .Visit(begin, last.data() + last.size(), [&found](const TLinePlace& place) {
            found = place;
            return false;
        });
    return found;
}

std::optional<std::vector<TLinePlace>>
MatchingLines(const TStringList& pool, const TSearchPattern& pattern, std::size_t most) {
    std::vector<TLinePlace> places;
    if (pool.Empty()) {
        return places;
    }
    bool many = false;
    const std::string_view last = pool[pool.Count() - 1];
    TPatternScan(pool, 0, pool.Count(), pattern)
        .Visit(pool[0].data(), last.data() + last.size(), [&](const TLinePlace& place) {
            many = places.size() == most;
            if (!many) {
                places.push_back(place);
            }
            return !many;
        });
    if (many) {
        return std::nullopt;
    }
    return places;
}

} // namespace virevi
