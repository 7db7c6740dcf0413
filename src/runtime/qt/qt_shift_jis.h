#pragma once
// Shift-JIS bytes to and from Qt's strings, where a person sees or types text.
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace virevi {

/// Lossless: bytes that are not Shift-JIS come back from ToShiftJis unchanged.
QString FromShiftJis(std::string_view bytes);
/// A character Shift-JIS cannot hold becomes "?".
std::string ToShiftJis(QStringView text);

} // namespace virevi
