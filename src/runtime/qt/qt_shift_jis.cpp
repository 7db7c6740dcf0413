#include "runtime/qt/qt_shift_jis.h"

#include "runtime/shift_jis.h"

namespace virevi {

QString FromShiftJis(std::string_view bytes) {
    const std::u16string text = DecodeShiftJis(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToShiftJis(QStringView text) {
    return EncodeShiftJis(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                              static_cast<std::size_t>(text.size())));
}

} // namespace virevi
