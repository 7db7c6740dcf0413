#pragma once
// Shift-JIS (code page 932) text: the byte form of every caption, note line
// and document file. The core keeps text as these bytes; only the ui decodes
// it, to show it, and encodes what the user types.
#include <cstddef>
#include <string>
#include <string_view>

namespace virevi {

/// True for a byte that starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

/// True when `lead` and `trail` decode as one double-byte character; a lead
/// byte followed by anything else is a character of its own.
bool IsDoubleByteChar(unsigned char lead, unsigned char trail);

/// The bytes of the character at `pos` in `text`: 2 for a lead byte and the
/// byte after it when the decoder reads them as one character, else 1.
/// `pos` must lie inside `text`.
std::size_t CharLengthAt(std::string_view text, std::size_t pos);

/// The characters of `text` as the decoder splits it.
std::size_t CharCount(std::string_view text);

/// The start of the character that ends just before `pos` in `text`, stepping
/// over a double-byte character as one; 0 when `pos` is 0. A lead byte whose
/// second byte is missing counts as a character of its own.
std::size_t CharPrev(std::string_view text, std::size_t pos);

/// Decodes Shift-JIS bytes to UTF-16. Lossless: bytes that are not Shift-JIS
/// are carried as private-use characters that EncodeShiftJis turns back into
/// the same bytes.
std::u16string DecodeShiftJis(std::string_view bytes);

/// Encodes UTF-16 as Shift-JIS; a character Shift-JIS cannot hold becomes "?".
std::string EncodeShiftJis(std::u16string_view text);

/// The Shift-JIS code of one character: the byte itself when below 0x100,
/// else lead byte * 256 + trail byte; 0 when Shift-JIS cannot hold it. The
/// private-use characters that DecodeShiftJis makes of stray bytes have no
/// code here: they stand for no character. U+0000 gives 0 too.
unsigned ShiftJisCode(char16_t c);

} // namespace virevi
