#pragma once
// Filling "%s" and "%d" into the program's message texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace virevi {

/// Replaces the first "%s" of `pattern` with `text`, bytes as they are.
/// A pattern without "%s" is returned unchanged.
std::string FormatS(std::string_view pattern, std::string_view text);

/// Replaces the first "%d" of `pattern` with `value` in decimal ("-" for negatives).
std::string FormatD(std::string_view pattern, std::int64_t value);

} // namespace virevi
