#include "print/printer_canvas.h"

#include "print/printer.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

std::int64_t RoundDiv(std::int64_t num, std::int64_t den) {
    // floor(|num| / den + 1/2), then the sign put back.
    const std::int64_t magnitude = num < 0 ? -num : num;
    const std::int64_t rounded = (2 * magnitude + den) / (2 * den);
    return num < 0 ? -rounded : rounded;
}

std::int32_t FontSize(const TFont& font) {
    // A device that reports no resolution has no point sizes either.
    if (font.PixelsPerInch <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>(
        -RoundDiv(static_cast<std::int64_t>(font.Height) * 72, font.PixelsPerInch));
}

void SetFontSize(TFont& font, std::int32_t size) {
    font.Height = static_cast<std::int32_t>(
        -RoundDiv(static_cast<std::int64_t>(size) * font.PixelsPerInch, 72));
}

void AdaptFont(TFont& font, std::int32_t pixelsPerInch) {
    if (font.PixelsPerInch == pixelsPerInch) {
        return;
    }
    const std::int32_t size = FontSize(font);
    font.PixelsPerInch = pixelsPerInch;
    SetFontSize(font, size);
}

void AssignFont(TFont& font, const TFont& note) {
    font.Name = note.Name;
    font.Height = note.Height;
    font.Style = note.Style;
    font.Charset = note.Charset;
    font.Pitch = note.Pitch;
    font.Color = note.Color;
    if (font.PixelsPerInch != note.PixelsPerInch) {
        SetFontSize(font, FontSize(note));
    }
}

TPrinterCanvas::TPrinterCanvas(TPrinter& printer, std::int32_t pixelsPerInch) : Printer_(printer) {
    Font_.PixelsPerInch = pixelsPerInch;
}

void TPrinterCanvas::SetFont(const TFont& font) {
    Font_ = font;
    Selected_ = false;
}

TCanvas& TPrinterCanvas::Ready() {
    TPrinterContext* context = Printer_.Printing() ? Printer_.DrawingContext() : nullptr;
    if (context == nullptr) {
        throw EPrinter(msg::SNotPrinting);
    }
    const std::int32_t pixelsPerInch = context->PixelsPerInchY();
    if (Font_.PixelsPerInch != pixelsPerInch) {
        AdaptFont(Font_, pixelsPerInch);
        Selected_ = false;
    }
    TCanvas& canvas = context->Canvas();
    if (!Selected_) {
        canvas.SetFont(Font_);
        Selected_ = true;
    }
    return canvas;
}

TTextMetrics TPrinterCanvas::TextMetrics() {
    return Ready().TextMetrics();
}

std::int32_t TPrinterCanvas::TextWidth(std::string_view text) {
    return Ready().TextWidth(text);
}

std::int32_t TPrinterCanvas::TextHeight(std::string_view text) {
    return Ready().TextHeight(text);
}

void TPrinterCanvas::FillRect(const TRect& rect, TColor color) {
    Ready().FillRect(rect, color);
}

void TPrinterCanvas::Line(TPoint from, TPoint to, TColor color) {
    Ready().Line(from, to, color);
}

void TPrinterCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    Ready().TextOut(x, y, text);
}

void TPrinterCanvas::TextRect(const TRect& clip, std::int32_t x, std::int32_t y,
                              std::string_view text, TColor background) {
    Ready().TextRect(clip, x, y, text, background);
}

void TPrinterCanvas::DrawFocusRect(const TRect& rect) {
    Ready().DrawFocusRect(rect);
}

void TPrinterCanvas::DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                                TColor transparent) {
    Ready().DrawBitmap(bitmap, source, dest, transparent);
}

} // namespace virevi
