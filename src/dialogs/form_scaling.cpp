#include "dialogs/form_scaling.h"

namespace virevi {

std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator) {
    if (denominator == 0) {
        return value;
    }
    std::int64_t product = std::int64_t{value} * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // floor(|p| / d + 1/2), then the sign back: halves go away from zero.
    const std::int64_t magnitude =
        (2 * (product < 0 ? -product : product) + divisor) / (2 * divisor);
    const std::int64_t rounded = product < 0 ? -magnitude : magnitude;
    return static_cast<std::int32_t>(rounded);
}

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
