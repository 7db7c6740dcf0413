#pragma once
// The mouse buttons every control of the program speaks of.
#include <cstdint>

namespace virevi {

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

} // namespace virevi
