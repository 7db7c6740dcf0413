#pragma once
#include <cstdint>

namespace virevi {

/// `value` × `numerator` / `denominator`, multiplied first in 64 bits and
/// rounded to the nearest integer, halves away from zero. A zero denominator
/// gives `value`.
inline std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator) {
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
    return static_cast<std::int32_t>(product < 0 ? -magnitude : magnitude);
}

} // namespace virevi
