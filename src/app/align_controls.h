#pragma once
// How a window or panel shares its client area among its docked controls.
#include <cstdint>
#include <vector>

#include "runtime/canvas.h"

namespace virevi {

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TAlignedControl {
    TAlign Align = TAlign::alNone;
    /// The designed bounds: a top or bottom control keeps its height, a left
    /// or right one its width; alNone keeps them all. They are what the
    /// control gets back when the client grows again after cutting it.
    TRect Bounds;
    /// For a client control, the room that the strips leave it where they
    /// can; a strip is cut before the client control drops below it.
    std::int32_t MinWidth = 0;
    std::int32_t MinHeight = 0;
};

/// The new bounds of `controls` in `client`: every top control takes its strip
/// first, then the bottom, left and right ones, each from what is left, and a
/// client control fills the rest. A strip wider than the space left, less the
/// client control's minimum, is cut to it, so no size comes out negative.
std::vector<TRect> AlignControls(const TRect& client, const std::vector<TAlignedControl>& controls);

} // namespace virevi
