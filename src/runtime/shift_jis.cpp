#include "runtime/shift_jis.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace virevi {
namespace {

#include "runtime/shift_jis_table.inc"

// A byte that is not a character on its own and does not start one is carried
// as U+F780 + (byte - 0x80): private use, clear of CP932's user-defined area
// (U+E000-U+E757) and of anything iconv's CP932 maps.
constexpr char16_t StrayBase = 0xF700;
constexpr char16_t StrayFirst = 0xF780;
constexpr char16_t StrayLast = 0xF7FF;

constexpr int LeadRow(unsigned byte) {
    if (byte >= 0x81 && byte <= 0x9F) {
        return static_cast<int>(byte - 0x81);
    }
    if (byte >= 0xE0 && byte <= 0xFC) {
        return static_cast<int>(byte - 0xE0 + 0x1F);
    }
    return -1;
}

// The character of a lead byte and the byte after it; 0 when they are no character.
inline char16_t Pair(unsigned lead, unsigned trail) {
    if (trail < 0x40) {
        return 0;
    }
    return DoubleByteTable[LeadRow(lead)][trail - 0x40];
}

// A byte that decodes only as a stray: no character alone, though it may start one.
constexpr bool CanStray(unsigned byte) {
    return byte >= 0x80 &&
           (IsLeadByte(static_cast<unsigned char>(byte)) || SingleByteTable[byte] == 0);
}

struct TEncodeTables {
    // CP932 code of every BMP code point: a byte below 0x100, else lead * 256 +
    // trail; 0 when Shift-JIS cannot hold it (U+0000 is handled as ASCII).
    std::array<std::uint16_t, 0x10000> Code{};
    // Every code of characters that have more than one, sorted by character.
    std::vector<std::pair<char16_t, std::uint16_t>> Duplicates;

    TEncodeTables() {
        for (unsigned b = 1; b < 0x100; ++b) {
            if (SingleByteTable[b] != 0 && Code[SingleByteTable[b]] == 0) {
                Code[SingleByteTable[b]] = static_cast<std::uint16_t>(b);
            }
        }
        std::vector<std::pair<char16_t, std::uint16_t>> all;
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (LeadRow(lead) < 0) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFF; ++trail) {
                char16_t c = Pair(lead, trail);
                if (c == 0) {
                    continue;
                }
                auto code = static_cast<std::uint16_t>(lead * 256 + trail);
                all.emplace_back(c, code);
                if (Code[c] == 0) {
                    Code[c] = code;
                }
            }
        }
        for (const auto& [cp, code] : EncodeOverrides) {
            Code[cp] = static_cast<std::uint16_t>(code);
        }
        std::sort(all.begin(), all.end());
        for (std::size_t i = 0; i < all.size(); ++i) {
            bool shared = (i > 0 && all[i - 1].first == all[i].first) ||
                          (i + 1 < all.size() && all[i + 1].first == all[i].first);
            if (shared) {
                Duplicates.push_back(all[i]);
            }
        }
    }
};

const TEncodeTables& EncodeTables() {
    static const TEncodeTables tables;
    return tables;
}

inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

bool IsDoubleByteChar(unsigned char lead, unsigned char trail) {
    return IsLeadByte(lead) && Pair(lead, trail) != 0;
}

std::size_t CharPrev(std::string_view text, std::size_t pos) {
    if (pos == 0) {
        return 0;
    }
    if (pos > text.size()) {
        pos = text.size();
    }
    // Shift-JIS cannot be read backwards; start after the nearest byte that is
    // neither a lead nor a trail byte, which always ends a character.
    std::size_t start = pos - 1;
    while (start > 0) {
        auto b = static_cast<unsigned char>(text[start - 1]);
        if (b < 0x40 || b == 0x7F || b > 0xFC) {
            break;
        }
        --start;
    }
    std::size_t prev = start;
    std::size_t i = start;
    while (i < pos) {
        prev = i;
        i += CharLengthAt(text, i);
    }
    return prev;
}

std::size_t CharCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
        ++n;
    }
    return n;
}

std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
    const auto b = static_cast<unsigned char>(text[pos]);
    // A double-byte character is what the decoder reads as one.
    if (IsLeadByte(b) && pos + 1 < text.size() &&
        Pair(b, static_cast<unsigned char>(text[pos + 1])) != 0) {
        return 2;
    }
    return 1;
}

std::u16string DecodeShiftJis(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    while (p < end) {
        unsigned b = *p;
        if (b < 0x80) {
            *o++ = static_cast<char16_t>(b);
            ++p;
            continue;
        }
        int row = LeadRow(b);
        if (row >= 0) {
            if (p + 1 < end && p[1] >= 0x40) {
                char16_t c = DoubleByteTable[row][p[1] - 0x40];
                if (c != 0) {
                    *o++ = c;
                    p += 2;
                    continue;
                }
            }
            *o++ = static_cast<char16_t>(StrayBase + b);
            ++p;
            continue;
        }
        char16_t c = SingleByteTable[b];
        *o++ = c != 0 ? c : static_cast<char16_t>(StrayBase + b);
        ++p;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string EncodeShiftJis(std::u16string_view text) {
    const TEncodeTables& tables = EncodeTables();
    std::string out(text.size() * 2, '\0');
    char* const first = out.data();
    char* o = first;
    // A stray lead byte must not join the byte after it into a character, or
    // the text would not decode back to itself: the last stray lead written,
    // or null.
    char* strayLead = nullptr;
    auto joins = [&](unsigned firstByte) {
        return strayLead != nullptr && Pair(static_cast<unsigned char>(*strayLead), firstByte) != 0;
    };
    auto breakJoin = [&](unsigned firstByte) {
        if (joins(firstByte)) {
            *strayLead = '?';
        }
        strayLead = nullptr;
    };

    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p < end) {
        char16_t c = *p++;
        unsigned code;
        if (c < 0x80) {
            code = c;
        } else if (c >= StrayFirst && c <= StrayLast) {
            unsigned b = c - StrayBase;
            if (!CanStray(b)) {
                code = '?';
            } else {
                breakJoin(b);
                *o++ = static_cast<char>(b);
                if (IsLeadByte(static_cast<unsigned char>(b))) {
                    strayLead = o - 1;
                }
                continue;
            }
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            // A character outside the BMP is one "?", not two.
            if (IsHighSurrogate(c) && p < end && IsLowSurrogate(*p)) {
                ++p;
            }
            code = '?';
        } else {
            code = tables.Code[c];
            if (code == 0) {
                code = '?';
            }
        }
        if (code < 0x100) {
            if (strayLead != nullptr) {
                breakJoin(code);
            }
            *o++ = static_cast<char>(code);
            continue;
        }
        if (strayLead != nullptr) {
            if (joins(code >> 8)) {
                // Another code of the same character may keep the stray byte apart.
                auto it = std::lower_bound(tables.Duplicates.begin(), tables.Duplicates.end(),
                                           std::pair<char16_t, std::uint16_t>(c, 0));
                for (; it != tables.Duplicates.end() && it->first == c; ++it) {
                    if (!joins(it->second >> 8u)) {
                        code = it->second;
                        break;
                    }
                }
            }
            breakJoin(code >> 8);
        }
        o[0] = static_cast<char>(code >> 8);
        o[1] = static_cast<char>(code & 0xFF);
        o += 2;
    }
    out.resize(static_cast<std::size_t>(o - first));
    return out;
}

unsigned ShiftJisCode(char16_t c) {
    if (c < 0x80) {
        return c;
    }
    return EncodeTables().Code[c];
}

} // namespace virevi
