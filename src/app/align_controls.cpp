#include "app/align_controls.h"

#include <algorithm>

namespace virevi {

std::vector<TRect> AlignControls(const TRect& client,
                                 const std::vector<TAlignedControl>& controls) {
    std::vector<TRect> bounds;
    bounds.reserve(controls.size());
    for (const TAlignedControl& control : controls) {
        bounds.push_back(control.Bounds);
    }
    TRect space = client;
    space.Right = std::max(space.Right, space.Left);
    space.Bottom = std::max(space.Bottom, space.Top);
    std::int32_t reserveWidth = 0;
    std::int32_t reserveHeight = 0;
    for (const TAlignedControl& control : controls) {
        if (control.Align == TAlign::alClient) {
            reserveWidth = std::max(reserveWidth, control.MinWidth);
            reserveHeight = std::max(reserveHeight, control.MinHeight);
        }
    }
    constexpr TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                                TAlign::alClient};
    for (TAlign align : order) {
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].Align != align) {
                continue;
            }
            const std::int32_t height = std::clamp(controls[i].Bounds.Height(), 0,
                                                   std::max(space.Height() - reserveHeight, 0));
            const std::int32_t width = std::clamp(controls[i].Bounds.Width(), 0,
                                                  std::max(space.Width() - reserveWidth, 0));
            TRect& r = bounds[i];
            switch (align) {
            case TAlign::alTop:
                r = {space.Left, space.Top, space.Right, space.Top + height};
                space.Top += height;
                break;
            case TAlign::alBottom:
                r = {space.Left, space.Bottom - height, space.Right, space.Bottom};
                space.Bottom -= height;
                break;
            case TAlign::alLeft:
                r = {space.Left, space.Top, space.Left + width, space.Bottom};
                space.Left += width;
                break;
            case TAlign::alRight:
                r = {space.Right - width, space.Top, space.Right, space.Bottom};
                space.Right -= width;
                break;
            case TAlign::alClient:
                r = space;
                break;
            case TAlign::alNone:
                break;
            }
        }
    }
    return bounds;
}

} // namespace virevi
