#include "dialogs/form_scaling.h"

namespace virevi {

std::int32_t ScaledFontHeight(std::int32_t height, std::int32_t pixelsPerInch) {
    return pixelsPerInch == 96 ? height : MulDiv(height, pixelsPerInch, 96);
}

TRect ScaledBounds(const TRect& bounds, std::int32_t textHeight, std::int32_t designTextHeight) {
    if (textHeight == designTextHeight) {
        return bounds;
    }
    const std::int32_t left = MulDiv(bounds.Left, textHeight, designTextHeight);
    const std::int32_t top = MulDiv(bounds.Top, textHeight, designTextHeight);
    return {left, top, left + MulDiv(bounds.Width(), textHeight, designTextHeight),
            top + MulDiv(bounds.Height(), textHeight, designTextHeight)};
}

} // namespace virevi
