#include "runtime/text_encoding.h"

#include <cstdint>
#include <cstring>

#include "runtime/shift_jis.h"

namespace virevi {
namespace {

using TByte = unsigned char;

constexpr std::string_view Utf8Mark("\xEF\xBB\xBF");
constexpr std::string_view Utf16LEMark("\xFF\xFE");
constexpr std::string_view Utf16BEMark("\xFE\xFF");

// The length of the well-formed UTF-8 character at `p` (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing past
// U+10FFFF), its code point in `c`; 0 when the bytes there are none.
[[gnu::always_inline]] inline std::size_t Utf8Char(const TByte* p, const TByte* end, char32_t& c) {
    const TByte b = *p;
    if (b < 0x80) {
        c = b;
        return 1;
    }
    // Most of a Japanese text: three bytes, no bounds of their own to check.
    if (b >= 0xE1 && b != 0xED && b <= 0xEF && end - p >= 3 && (p[1] & 0xC0u) == 0x80 &&
        (p[2] & 0xC0u) == 0x80) {
        c = (b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        return 3;
    }
    std::size_t length;
    TByte low = 0x80;
    TByte high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0Fu;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07u;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i > 1 && (p[i] & 0xC0u) != 0x80) {
            return 0;
        }
        c = (c << 6) | (p[i] & 0x3Fu);
    }
    return length;
}

// The next eight bytes are all ASCII: most of a text in any of these encodings
// is, and passing them over a word at a time keeps a large file quick.
inline bool AsciiWord(const TByte* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080u) == 0;
}

// Writes the Shift-JIS form of `c` at `out`, "?" when it has none; returns
// the bytes written.
inline std::size_t PutChar(char32_t c, char* out, std::size_t& replaced) {
    const unsigned code = c <= 0xFFFF ? ShiftJisCode(static_cast<char16_t>(c)) : 0;
    if (code == 0 && c != 0) {
        *out = '?';
        ++replaced;
        return 1;
    }
    if (code < 0x100) {
        *out = static_cast<char>(code);
        return 1;
    }
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
    return 2;
}

// Every character is read before its Shift-JIS form is written, and that form
// is never longer than the bytes it was read from, so the writing never
// overtakes the reading.
TConvertedText FromUtf8(char* text, std::size_t size) {
    TConvertedText result;
    const auto* p = reinterpret_cast<const TByte*>(text);
    const TByte* const end = p + size;
    if (size >= Utf8Mark.size() && std::memcmp(p, Utf8Mark.data(), Utf8Mark.size()) == 0) {
        p += Utf8Mark.size();
    }
    char* out = text;
    while (p < end) {
        if (end - p >= 8 && AsciiWord(p)) {
            std::memmove(out, p, 8);
            out += 8;
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            *out++ = static_cast<char>(*p++);
            continue;
        }
        char32_t c;
        const std::size_t length = Utf8Char(p, end, c);
        if (length == 0) {
            *out++ = '?';
            ++result.Replaced;
            ++p;
            continue;
        }
        out += PutChar(c, out, result.Replaced);
        p += length;
    }
    result.Size = static_cast<std::size_t>(out - text);
    return result;
}

TConvertedText FromUtf16(char* text, std::size_t size, bool bigEndian) {
    TConvertedText result;
    const auto* p = reinterpret_cast<const TByte*>(text);
    const TByte* const end = p + size;
    if (std::string_view(text, size).starts_with(bigEndian ? Utf16BEMark : Utf16LEMark)) {
        p += 2;
    }
    auto unit = [bigEndian](const TByte* at) -> char16_t {
        return static_cast<char16_t>(bigEndian ? at[0] << 8 | at[1] : at[1] << 8 | at[0]);
    };
    char* out = text;
    while (end - p >= 2) {
        const char16_t c = unit(p);
        p += 2;
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
            continue;
        }
        if (c < 0xD800 || c > 0xDFFF) {
            out += PutChar(c, out, result.Replaced);
            continue;
        }
        // A character outside the BMP is one "?", a lone half of one too.
        if (c <= 0xDBFF && end - p >= 2) {
            const char16_t next = unit(p);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                p += 2;
            }
        }
        *out++ = '?';
        ++result.Replaced;
    }
    if (p < end) {
        // An odd last byte is half a unit.
        *out++ = '?';
        ++result.Replaced;
    }
    result.Size = static_cast<std::size_t>(out - text);
    return result;
}

} // namespace

TTextEncoding DetectTextEncoding(std::string_view text) {
    if (text.starts_with(Utf8Mark)) {
        return TTextEncoding::Utf8;
    }
    if (text.starts_with(Utf16LEMark)) {
        return TTextEncoding::Utf16LE;
    }
    if (text.starts_with(Utf16BEMark)) {
        return TTextEncoding::Utf16BE;
    }
    const auto* p = reinterpret_cast<const TByte*>(text.data());
    const TByte* const end = p + text.size();
    bool multiByte = false;
    while (p < end) {
        if (end - p >= 8 && AsciiWord(p)) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        char32_t c;
        const std::size_t length = Utf8Char(p, end, c);
        if (length == 0) {
            return TTextEncoding::ShiftJis;
        }
        multiByte = multiByte || length > 1;
        p += length;
    }
    return multiByte ? TTextEncoding::Utf8 : TTextEncoding::ShiftJis;
}

TConvertedText ConvertToShiftJis(char* text, std::size_t size, TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8:
        return FromUtf8(text, size);
    case TTextEncoding::Utf16LE:
        return FromUtf16(text, size, false);
    case TTextEncoding::Utf16BE:
        return FromUtf16(text, size, true);
    case TTextEncoding::ShiftJis:
        break;
    }
    return TConvertedText{size, 0};
}

} // namespace virevi
