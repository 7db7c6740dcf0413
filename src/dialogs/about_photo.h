#pragma once
// The About box's photograph in its stored form, as the program carries it.
#include <cstdint>
#include <span>

namespace virevi {

/// The tag "TJPEGImage", a 32-bit little-endian byte count, the JPEG file.
/// Built into the program from resources/about_photo.dat.
std::span<const std::uint8_t> AboutPhotoStored();

} // namespace virevi
