#pragma once
// The encodings a text file for Add text comes in today, and their
// conversion to the Shift-JIS that notes are kept in.
#include <cstddef>
#include <string_view>

namespace virevi {

enum class TTextEncoding {
    ShiftJis, ///< taken byte for byte, as every file was before UTF-8 came in
    Utf8,
    Utf16LE,
    Utf16BE,
};

/// UTF-16 for a text that begins with its byte-order mark (FF FE little-endian,
/// FE FF big-endian); UTF-8 for one that begins with EF BB BF, or that is valid
/// UTF-8 throughout and holds at least one character of more than one byte;
/// anything else, plain ASCII and the empty text included, ShiftJis.
TTextEncoding DetectTextEncoding(std::string_view text);

/// What a conversion left at the front of its buffer.
struct TConvertedText {
    std::size_t Size = 0;
    /// Characters that became "?": those Shift-JIS cannot hold (one for a
    /// character outside the BMP), and each malformed byte or UTF-16 unit.
    std::size_t Replaced = 0;
};

/// Converts the `size` bytes at `text` from `encoding` to Shift-JIS in place,
/// dropping the byte-order mark. The result is never longer than the text,
/// so the buffer needs no room beyond it; ShiftJis leaves it as it is. Line
/// ends and NUL come out as the single bytes CR, LF and NUL.
TConvertedText ConvertToShiftJis(char* text, std::size_t size, TTextEncoding encoding);

} // namespace virevi
