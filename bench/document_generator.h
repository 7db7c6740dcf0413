#pragma once
// Reproducible large documents for the benchmarks: the *large* one has
// 100,000 items and the *huge* one 1,000,000.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace virevi {
class TCustomOutline;
}

namespace virevi::bench {

inline constexpr std::size_t LargeItems = 100000;
inline constexpr std::size_t HugeItems = 1000000;

/// Levels of `count` items in outline order, the same for the same seed: the
/// first is 1 and each is at most one deeper than the one before (at most 8).
std::vector<std::int32_t> GenerateLevels(std::size_t count, std::uint32_t seed);

/// 4 to 40 bytes mixing ASCII and Shift-JIS double-byte characters, never
/// starting with a blank and free of CR and 0x1A, so it is stored as it is.
std::string GenerateCaption(std::mt19937& random);

/// Fills an empty outline with items of these levels and random captions;
/// returns the caption bytes added.
std::size_t BuildOutline(TCustomOutline& outline, const std::vector<std::int32_t>& levels,
                         std::uint32_t seed);

} // namespace virevi::bench
