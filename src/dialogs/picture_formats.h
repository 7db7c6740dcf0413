#pragma once
// The picture kinds the program can read from a stored layout. A stored
// picture is its kind's tag followed by that kind's own data; the tag is what
// finds the reader, the extensions and description are what a file dialog
// would offer.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace virevi {

/// A decoded picture: red, green, blue, one byte each, row by row from the top.
struct TRgbImage {
    static constexpr int BitsPerPixel = 24;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Pixels;
};

/// A picture of some kind, readable from and writable to its stored data.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    /// Takes the kind's data that follows the tag; raises when it is cut short.
    virtual void ReadData(std::span<const std::uint8_t> data) = 0;
    /// The kind's data as ReadData takes it.
    virtual std::vector<std::uint8_t> WriteData() const = 0;
    /// The picture to draw, decoded on the first call and kept; raises the
    /// kind's own error when the data cannot be decoded.
    virtual const TRgbImage& Bitmap() = 0;
};

struct TPictureFormat {
    std::string Extension;   ///< without the dot, lower case
    std::string Description; ///< UTF-8
    std::string Tag;         ///< the kind's tag in stored layouts
    std::function<std::unique_ptr<TGraphic>()> Create;
};

/// The registered picture kinds, in the order they were registered. The
/// program's own kinds are registered from the start.
class TPictureFormats {
public:
    /// A second registration of an extension replaces the first.
    static void Register(TPictureFormat format);
    /// Removes every extension registered with `tag`.
    static void Unregister(const std::string& tag);
    /// nullptr when no kind has the extension; the match ignores ASCII case.
    static const TPictureFormat* FindByExtension(const std::string& extension);
    /// The kind whose tag begins `stored`, nullptr when none does.
    static const TPictureFormat* FindByTag(std::span<const std::uint8_t> stored);

private:
    static std::vector<TPictureFormat>& List();
};

/// Reads a stored picture: finds its kind by the tag and hands it the rest.
/// Raises EInvalidGraphic for an unknown tag.
std::unique_ptr<TGraphic> ReadStoredPicture(std::span<const std::uint8_t> stored);

/// The stored form of `graphic` under `tag`.
std::vector<std::uint8_t> WriteStoredPicture(const std::string& tag, const TGraphic& graphic);

} // namespace virevi
