#pragma once
// TColor to QColor, resolving the system colours from the application's palette.
#include <QColor>

#include "runtime/canvas.h"

namespace virevi {

/// A plain colour as it is; a system colour from the current palette
/// (clGradientActiveCaption, which Qt's palette lacks, is derived from the
/// highlight colour). An unknown system colour is the window colour.
QColor ToQColor(TColor color);

} // namespace virevi
