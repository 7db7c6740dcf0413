#pragma once
// The five 14 × 14 pictures of the outline's rows, kept as XPM text under
// resources/ and turned into bitmaps here.
#include <cstdint>

#include "runtime/canvas.h"

namespace virevi {

/// In the order of the picture flags.
enum class TOutlinePicture : std::uint8_t { Plus, Minus, Open, Closed, Leaf };
inline constexpr int OutlinePictureCount = 5;

/// Reads XPM text with one character per pixel and "#RRGGBB" colours; a
/// malformed picture gives an empty bitmap.
TBitmap BitmapFromXpm(const char* const* xpm, int lines);
TBitmap LoadOutlinePicture(TOutlinePicture which);
/// The colour of the bottom-left pixel, which the picture treats as transparent.
TColor TransparentColorOf(const TBitmap& bitmap);

} // namespace virevi
