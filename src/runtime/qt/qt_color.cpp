#include "runtime/qt/qt_color.h"

#include <QApplication>
#include <QPalette>

namespace virevi {

namespace {

// The light end of an active caption's gradient: the highlight colour washed
// out toward the window colour, as desktop themes draw it.
QColor GradientActiveCaption(const QPalette& palette) {
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    auto mix = [](int a, int b) { return (a * 2 + b * 3 + 2) / 5; };
    return {mix(highlight.red(), base.red()), mix(highlight.green(), base.green()),
            mix(highlight.blue(), base.blue())};
}

} // namespace

QColor ToQColor(TColor color) {
    if (!IsSystemColor(color)) {
        return {RedOf(color), GreenOf(color), BlueOf(color)};
    }
    return ToQColor(color, QApplication::palette());
}

QColor ToQColor(TColor color, const QPalette& palette) {
    if (!IsSystemColor(color)) {
        return {RedOf(color), GreenOf(color), BlueOf(color)};
    }
    auto role = [&palette](QPalette::ColorRole r) { return palette.color(QPalette::Active, r); };
    switch (color) {
    case clWindow:
        return role(QPalette::Base);
    case clWindowText:
        return role(QPalette::WindowText);
    case clHighlight:
        return role(QPalette::Highlight);
    case clHighlightText:
        return role(QPalette::HighlightedText);
    case clBtnFace:
        return role(QPalette::Button);
    case clBtnShadow:
        return role(QPalette::Dark);
    case clBtnText:
        return role(QPalette::ButtonText);
    case clBtnHighlight:
        return role(QPalette::Light);
    case clInfoBk:
        return role(QPalette::ToolTipBase);
    case clGradientActiveCaption:
        return GradientActiveCaption(palette);
    default:
        return role(QPalette::Window);
    }
}

} // namespace virevi
