#pragma once
// The canvas over a QPainter: what the row painter draws, in Qt. Captions
// stay Shift-JIS bytes up to here and are decoded only to be drawn or measured.
#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <cstdint>
#include <vector>

#include "runtime/canvas.h"

class QPainter;
class QWidget;

namespace virevi {

class TQtCanvas : public TCanvas {
public:
    /// System colours are taken from `owner`'s palette.
    explicit TQtCanvas(const QWidget& owner);

    /// Drawing goes to `painter` until End(); measuring works without one.
    void Begin(QPainter* painter);
    void End();

    /// The Qt font for `font`: pixel heights as they are, Japanese fixed-pitch
    /// faces found where the named one is missing.
    static QFont ToQFont(const TFont& font);
    QColor Resolve(TColor color) const;

    void SetFont(const TFont& font) override;
    const TFont& Font() const override { return Font_; }
    TTextMetrics TextMetrics() override;
    /// The sum of the characters' advances, as the platform measures text for
    /// layout (no kerning), kept per character so that long outlines measure fast.
    std::int32_t TextWidth(std::string_view text) override;
    std::int32_t TextHeight(std::string_view text) override;
    void FillRect(const TRect& rect, TColor color) override;
    void Line(TPoint from, TPoint to, TColor color) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text,
                  TColor background) override;
    void DrawFocusRect(const TRect& rect) override;
    void DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                    TColor transparent) override;
    void StretchBitmap(const TBitmap& bitmap, const TRect& dest, TColor transparent) override;

private:
    const QImage& ImageOf(const TBitmap& bitmap, TColor transparent);
    std::int32_t Advance(std::string_view character);
    /// Measures one character and remembers its advance in `slot`.
    std::int32_t Learn(std::size_t slot, std::string_view character);

    const QWidget& Owner_;
    QPainter* Painter_ = nullptr;
    TFont Font_;
    QFont QFont_;
    QFontMetrics Metrics_;
    // Advances: single bytes first, then pairs by lead byte (numbered
    // 0 … 59) × 256 + trail byte, Unknown until first measured. A byte each,
    // 15 KiB in all, so the table stays in the first-level cache while long
    // outlines are measured; an advance too wide for it is measured every time.
    static constexpr std::uint8_t Unknown = 255;
    static constexpr std::size_t LeadBytes = 60;
    std::vector<std::uint8_t> Widths_;
    struct TCachedImage {
        TBitmap Source;
        TColor Transparent = 0;
        QImage Image;
    };
    std::vector<TCachedImage> Images_;
};

} // namespace virevi
