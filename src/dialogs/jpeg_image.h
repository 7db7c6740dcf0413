#pragma once
// The JPEG picture kind: the About box's photograph is stored as one. Decoding
// is libjpeg's own, at full size into 24-bit colour.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "dialogs/picture_formats.h"

namespace virevi {

/// The kind's tag in stored layouts.
inline constexpr const char* JpegTag = "TJPEGImage";

/// Decoding more than this many pixels is refused: the one picture we carry is
/// tiny, and a wild size in the header must not claim gigabytes.
inline constexpr std::size_t DefaultMaxJpegPixels = std::size_t{4096} * 4096;
/// A progressive file may split its data into ever more scans, each a pass
/// over the whole picture; past this many it is refused like an oversized one.
inline constexpr int MaxJpegScans = 500;

/// Decodes a JPEG file with libjpeg: full size, RGB, the floating-point
/// inverse transform, block smoothing, all scans before any row comes out.
/// A fatal libjpeg error raises EJPEG with the library's message code; a
/// picture over `maxPixels` pixels or MaxJpegScans scans raises EJPEG with
/// JERR_IMAGE_TOO_BIG. Warnings (such as data cut short) are ignored: libjpeg
/// fills what is missing and the rest of the picture still shows.
TRgbImage DecodeJpeg(std::span<const std::uint8_t> jpeg,
                     std::size_t maxPixels = DefaultMaxJpegPixels);

/// A JPEG picture: its file's bytes, and the decoded bitmap once drawn.
class TJPEGImage : public TGraphic {
public:
    TJPEGImage() = default;
    explicit TJPEGImage(std::vector<std::uint8_t> jpeg) : Data_(std::move(jpeg)) {}

    /// A 32-bit little-endian byte count, then the file's bytes; bytes after
    /// them are not ours and are left alone. Raises EReadError when cut short.
    void ReadData(std::span<const std::uint8_t> data) override;
    std::vector<std::uint8_t> WriteData() const override;

    const std::vector<std::uint8_t>& JpegData() const { return Data_; }
    /// Decodes on the first call and keeps the result; a decode that raised is
    /// tried again on the next call.
    const TRgbImage& Bitmap() override;

private:
    std::vector<std::uint8_t> Data_;
    std::optional<TRgbImage> Bitmap_;
};

/// The kind under "jpeg" and "jpg", as the registry starts with it.
std::vector<TPictureFormat> JpegFormats();
/// Registers the kind again after UnregisterJpegImage.
void RegisterJpegImage();
void UnregisterJpegImage();

} // namespace virevi
