#pragma once
// A fixed dialog layout drawn for 96 dpi and a 12-pixel line of text, fitted
// to the screen and font it meets when it is created.
#include <cstdint>

#include "runtime/canvas.h"
#include "runtime/mul_div.h"

namespace virevi {

/// The font height for a screen of `pixelsPerInch`: unchanged at 96.
std::int32_t ScaledFontHeight(std::int32_t height, std::int32_t pixelsPerInch);

/// Left, top, width and height each scaled by `textHeight` / `designTextHeight`;
/// unchanged when the two are equal.
TRect ScaledBounds(const TRect& bounds, std::int32_t textHeight, std::int32_t designTextHeight);

} // namespace virevi
