#pragma once
// How a window or panel shares its client area among its docked controls.
#include <cstdint>
#include <vector>

#include "runtime/canvas.h"

namespace virevi {

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TAlignedControl {
    TAlign Align = TAlign::alNone;
    /// The current bounds: a top or bottom control keeps its height, a left or
    /// right one its width; alNone keeps them all.
    TRect Bounds;
};

/// The new bounds of `controls` in `client`: every top control takes its strip
/// first, then the bottom, left and right ones, each from what is left, and a
/// client control fills the rest. A strip wider than the space left is cut to
/// it, so no size comes out negative.
std::vector<TRect> AlignControls(const TRect& client, const std::vector<TAlignedControl>& controls);

} // namespace virevi
