// Any bytes through the codec: decode then encode gives the same bytes, or the
// same length with CP932's second codes made canonical, which decode the same;
// the canonical form then comes back exactly. The input read as UTF-16 encodes
// to text that decodes to itself where it holds no "?".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/shift_jis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = virevi::DecodeShiftJis(bytes);
    const std::string back = virevi::EncodeShiftJis(text);
    if (back.size() != bytes.size() || virevi::DecodeShiftJis(back) != text) {
        std::abort();
    }
    if (virevi::EncodeShiftJis(virevi::DecodeShiftJis(back)) != back) {
        std::abort();
    }
    for (std::size_t pos = 0; pos <= size; pos += 1 + size / 16) {
        if (virevi::CharPrev(bytes, pos) > (pos == 0 ? 0 : pos - 1)) {
            std::abort();
        }
    }

    // The same bytes as UTF-16: whatever goes in, what comes out decodes to
    // text that encodes to the same bytes again.
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    const std::string encoded = virevi::EncodeShiftJis(units);
    if (virevi::EncodeShiftJis(virevi::DecodeShiftJis(encoded)) != encoded) {
        std::abort();
    }
    return 0;
}
