#pragma once
// What the core draws on and measures with. The outline's row painter and the
// printer's text device speak only to this; the ui implements it over a
// QPainter, the tests with a recording canvas and fixed metrics.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace virevi {

/// A colour as 0x00BBGGRR. A value with the top bit set names a system colour
/// by its index (clHighlight, clBtnFace, ...), which the platform resolves.
using TColor = std::int32_t;

inline constexpr TColor SystemColor(std::int32_t index) {
    return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}
inline constexpr bool IsSystemColor(TColor color) {
    return color < 0;
}

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);

inline constexpr std::uint8_t RedOf(TColor color) {
    return color & 0xFF;
}
inline constexpr std::uint8_t GreenOf(TColor color) {
    return (color >> 8) & 0xFF;
}
inline constexpr std::uint8_t BlueOf(TColor color) {
    return (color >> 16) & 0xFF;
}
inline constexpr TColor Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<TColor>(red | (green << 8) | (blue << 16));
}

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// Right and Bottom lie just outside the rectangle.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint point) const {
        return point.X >= Left && point.X < Right && point.Y >= Top && point.Y < Bottom;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TFontPitch : std::uint8_t { Default, Variable, Fixed };

inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SHIFTJIS_CHARSET = 128;

struct TFont {
    std::string Name; ///< the face name, UTF-8
    /// Negative: the character height in pixels without internal leading;
    /// positive: the cell height; 0: the face's default.
    std::int32_t Height = 0;
    std::uint8_t Style = 0; ///< TFontStyle bits
    std::uint8_t Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = TFontPitch::Default;
    TColor Color = clWindowText;
    std::int32_t PixelsPerInch = 96;
    friend bool operator==(const TFont&, const TFont&) = default;
};

/// The measures of the selected font, in pixels.
struct TTextMetrics {
    std::int32_t Height = 0; ///< ascent + descent
    std::int32_t Ascent = 0;
    std::int32_t Descent = 0;
    std::int32_t InternalLeading = 0;
    std::int32_t ExternalLeading = 0;
    std::int32_t AveCharWidth = 0;
    std::int32_t MaxCharWidth = 0;
};

/// A small picture of plain colours, row by row from the top left.
struct TBitmap {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<TColor> Pixels;
    TColor Pixel(std::int32_t x, std::int32_t y) const { return Pixels[y * Width + x]; }
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    /// The font that text output and the measures use from now on.
    virtual void SetFont(const TFont& font) = 0;
    virtual const TFont& Font() const = 0;
    virtual TTextMetrics TextMetrics() = 0;
    /// Widths and heights of Shift-JIS byte strings in the current font.
    virtual std::int32_t TextWidth(std::string_view text) = 0;
    virtual std::int32_t TextHeight(std::string_view text) = 0;

    virtual void FillRect(const TRect& rect, TColor color) = 0;
    /// A one-pixel line from `from` up to, not including, `to`.
    virtual void Line(TPoint from, TPoint to, TColor color) = 0;
    /// One line of Shift-JIS text with its cell's top left at (x, y), in the
    /// font's colour, over whatever is there.
    virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    /// Fills `clip` with `background`, then draws the text at (x, y) cut to `clip`.
    virtual void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text,
                          TColor background) = 0;
    /// The dotted keyboard-focus frame.
    virtual void DrawFocusRect(const TRect& rect) = 0;
    /// Copies `source` of `bitmap` to `dest`; pixels of colour `transparent`
    /// leave what is below them.
    virtual void DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                            TColor transparent) = 0;
    /// Scales the whole of `bitmap` into `dest` (nearest pixel); pixels of
    /// colour `transparent` leave what is below them.
    virtual void StretchBitmap(const TBitmap& bitmap, const TRect& dest, TColor transparent) {
        if (bitmap.Width <= 0 || bitmap.Height <= 0 || dest.Empty()) {
            return;
        }
        for (std::int32_t y = dest.Top; y < dest.Bottom; ++y) {
            const std::int32_t sy = (y - dest.Top) * bitmap.Height / dest.Height();
            for (std::int32_t x = dest.Left; x < dest.Right; ++x) {
                const TColor pixel =
                    bitmap.Pixel((x - dest.Left) * bitmap.Width / dest.Width(), sy);
                if (pixel != transparent) {
                    FillRect({x, y, x + 1, y + 1}, pixel);
                }
            }
        }
    }
};

} // namespace virevi
