#pragma once
// TColor to QColor, resolving the system colours from the application's palette.
#include <QColor>

class QPalette;

#include "runtime/canvas.h"

namespace virevi {

/// A plain colour as it is; a system colour from the current palette
/// (clGradientActiveCaption, which Qt's palette lacks, is derived from the
/// highlight colour). An unknown system colour is the window colour.
QColor ToQColor(TColor color);
/// The same, with the system colours taken from `palette` (a widget's own).
QColor ToQColor(TColor color, const QPalette& palette);

} // namespace virevi
