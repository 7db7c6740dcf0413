#pragma once
// Qt's mouse buttons in the program's terms.
#include <Qt>

#include <optional>

#include "runtime/mouse.h"

namespace virevi {

/// The program's button for a Qt button; none for the back, forward and
/// other extra buttons, which no control answers.
inline std::optional<TMouseButton> ToMouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return TMouseButton::mbLeft;
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return std::nullopt;
    }
}

} // namespace virevi
