#pragma once
// The printer's canvas: the one font of the print job, its point size at the
// font's pixels per inch, and the checks made before every use.
#include <cstdint>
#include <string_view>

#include "runtime/canvas.h"

namespace virevi {

class TPrinter;

/// Rounds num / den (den > 0) to the nearest integer, halves away from zero.
std::int64_t RoundDiv(std::int64_t num, std::int64_t den);
/// The point size of `font`: -round(height * 72 / ppi).
std::int32_t FontSize(const TFont& font);
/// Sets the height of `font` for `size` points: -round(size * ppi / 72).
void SetFontSize(TFont& font, std::int32_t size);
/// Moves `font` to `pixelsPerInch` keeping its point size; the height is kept
/// when the value is already that.
void AdaptFont(TFont& font, std::int32_t pixelsPerInch);
/// The note editor's font given to the printer's `font`: name, height, style,
/// character set, pitch and colour; at another pixels per inch the point size
/// of `note` at its own resolution, at the same the height unchanged.
void AssignFont(TFont& font, const TFont& note);

/// Measures and draws on the printer's drawing context. Every use raises
/// EPrinter "プリンタに印刷できる状態ではありません" while no job runs, moves
/// the font to the printer's pixels per inch, and selects the font into the
/// context when it is not selected there yet.
class TPrinterCanvas : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter& printer, std::int32_t pixelsPerInch);

    /// Takes effect at the next use.
    void SetFont(const TFont& font) override;
    const TFont& Font() const override { return Font_; }
    /// Forgets what is selected into the context, so that the next use selects it again.
    void Refresh() { Selected_ = false; }

    TTextMetrics TextMetrics() override;
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

private:
    TCanvas& Ready();

    TPrinter& Printer_;
    TFont Font_;
    bool Selected_ = false;
};

} // namespace virevi
