// Any bytes as a stored picture and as a JPEG file: either a picture of the
// size its header gives, three bytes a pixel, or one of the program's own
// errors — never a crash, a hang or a runaway allocation.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dialogs/jpeg_image.h"
#include "dialogs/picture_formats.h"
#include "runtime/errors.h"

namespace {

// Small enough that a pass over the largest allowed picture stays quick.
constexpr std::size_t MaxPixels = 512 * 512;

void Check(const virevi::TRgbImage& image) {
    if (image.Width <= 0 || image.Height <= 0 ||
        static_cast<std::size_t>(image.Width) * image.Height > MaxPixels ||
        image.Pixels.size() != static_cast<std::size_t>(image.Width) * image.Height * 3) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        Check(virevi::DecodeJpeg(bytes, MaxPixels));
    } catch (const virevi::EJPEG&) {
    }
    try {
        // The stored form: only its reading is exercised here, the decoding above.
        const auto graphic = virevi::ReadStoredPicture(bytes);
        const auto written = virevi::WriteStoredPicture(virevi::JpegTag, *graphic);
        if (written.size() > size) {
            std::abort();
        }
    } catch (const virevi::EInvalidGraphic&) {
    } catch (const virevi::EReadError&) {
    }
    return 0;
}
