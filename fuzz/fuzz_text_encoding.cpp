// Any bytes taken as a file for Add text: the encoding it is read in is
// decided, the text converted in place and split into lines. The conversion
// never grows the text, leaves a text it does not convert as it was, and
// gives only whole Shift-JIS characters; UTF-16 without surrogates or
// private-use characters comes out as the codec encodes it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/string_list.h"
#include "runtime/shift_jis.h"
#include "runtime/text_encoding.h"

namespace {

bool IsPlainUnit(char16_t c) {
    return (c < 0xD800 || c > 0xDFFF) && (c < 0xF780 || c > 0xF7FF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const virevi::TTextEncoding encoding = virevi::DetectTextEncoding(input);
    std::string buffer(input);
    const virevi::TConvertedText converted =
        virevi::ConvertToShiftJis(buffer.data(), buffer.size(), encoding);
    if (converted.Size > size) {
        std::abort();
    }
    const std::string_view text(buffer.data(), converted.Size);
    if (encoding == virevi::TTextEncoding::ShiftJis) {
        if (text != input || converted.Replaced != 0) {
            std::abort();
        }
    } else if (virevi::EncodeShiftJis(virevi::DecodeShiftJis(text)) != text) {
        // A stray byte would have decoded to a private-use character that
        // encodes back to it, but a lead byte could have joined the next.
        std::abort();
    }
    if (encoding == virevi::TTextEncoding::Utf16LE || encoding == virevi::TTextEncoding::Utf16BE) {
        const bool big = encoding == virevi::TTextEncoding::Utf16BE;
        std::u16string units;
        bool plain = size % 2 == 0;
        for (std::size_t i = 2; i + 1 < size && plain; i += 2) {
            const auto unit = static_cast<char16_t>(big ? data[i] << 8 | data[i + 1]
                                                        : data[i + 1] << 8 | data[i]);
            plain = IsPlainUnit(unit);
            units.push_back(unit);
        }
        if (plain && virevi::EncodeShiftJis(units) != text) {
            std::abort();
        }
    }
    virevi::TStringList lines;
    lines.TextToLines(text);
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (lines[i].find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) {
            std::abort();
        }
    }
    return 0;
}
