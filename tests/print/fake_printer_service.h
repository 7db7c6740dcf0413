#pragma once
// A printer service whose contexts record every call in one log, with fixed
// text metrics: a single-byte character is 10 pixels wide ("i" 1 pixel), a
// double-byte one 20, every text 20 high.
#include <memory>
#include <string>
#include <vector>

#include "print/printer_service.h"
#include "runtime/canvas.h"
#include "runtime/shift_jis.h"

namespace virevi::test {

inline TFont FontOf(std::string name, std::int32_t height, std::int32_t pixelsPerInch) {
    TFont font;
    font.Name = std::move(name);
    font.Height = height;
    font.PixelsPerInch = pixelsPerInch;
    return font;
}

class TPageRecordingCanvas : public TCanvas {
public:
    explicit TPageRecordingCanvas(std::vector<std::string>& log) : Log_(log) {}
    TTextMetrics Metrics;
    std::size_t MeasuredBytes = 0;

    void SetFont(const TFont& font) override {
        Font_ = font;
        Log_.push_back("Font " + font.Name + " " + std::to_string(font.Height) + " @" +
                       std::to_string(font.PixelsPerInch));
    }
    const TFont& Font() const override { return Font_; }
    TTextMetrics TextMetrics() override { return Metrics; }
    std::int32_t TextWidth(std::string_view text) override {
        MeasuredBytes += text.size();
        std::int32_t width = 0;
        for (std::size_t end = text.size(); end > 0;) {
            const std::size_t start = CharPrev(text, end);
            width += end - start == 2 ? 20 : text[start] == 'i' ? 1 : 10;
            end = start;
        }
        return width;
    }
    std::int32_t TextHeight(std::string_view) override { return Metrics.Height; }
    void FillRect(const TRect&, TColor) override {}
    void Line(TPoint, TPoint, TColor) override {}
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
        Log_.push_back("Text " + std::to_string(x) + "," + std::to_string(y) + " " +
                       std::string(text));
    }
    void TextRect(const TRect&, std::int32_t, std::int32_t, std::string_view, TColor) override {}
    void DrawFocusRect(const TRect&) override {}
    void DrawBitmap(const TBitmap&, const TRect&, TPoint, TColor) override {}

private:
    std::vector<std::string>& Log_;
    TFont Font_;
};

class TRecordingContext : public TPrinterContext {
public:
    TRecordingContext(std::vector<std::string>& log, std::int32_t width, std::int32_t height,
                      std::int32_t pixelsPerInch)
        : Canvas_(log), Log_(log), Width_(width), Height_(height), Ppi_(pixelsPerInch) {}
    std::int32_t PageWidth() override { return Width_; }
    std::int32_t PageHeight() override { return Height_; }
    std::int32_t PixelsPerInchY() override { return Ppi_; }
    TCanvas& Canvas() override { return Canvas_; }
    bool StartDoc(const std::string& title, std::function<bool()>) override {
        Log_.push_back("StartDoc '" + title + "'");
        return !RefuseStart;
    }
    bool StartPage() override { return Log_.emplace_back("StartPage"), true; }
    bool EndPage() override { return Log_.emplace_back("EndPage"), true; }
    bool EndDoc() override { return Log_.emplace_back("EndDoc"), true; }
    TPageRecordingCanvas Canvas_;
    bool RefuseStart = false;

private:
    std::vector<std::string>& Log_;
    std::int32_t Width_, Height_, Ppi_;
};

class TFakePrinterService : public TPrinterService {
public:
    std::string Default = "PDF";
    bool RefuseContexts = false;
    bool RefuseStart = false; ///< the contexts made from now on refuse to start a document
    std::int32_t Width = 100, Height = 200, PixelsPerInch = 600, AveCharWidth = 10;
    std::vector<std::string> Log;
    TRecordingContext* LastContext = nullptr;

    std::string DefaultPrinterName() override { return Default; }
    std::vector<TPrinterDevice> Printers() override {
        return {{"Laser", "drv", "lp0"}, {"PDF", "pdf", "file"}};
    }
    std::optional<TDeviceSettings> DefaultSettings(const TPrinterDevice&) override {
        TDeviceSettings settings;
        settings.Copies = 3;
        return settings;
    }
    std::unique_ptr<TPrinterContext> CreateContext(const TPrinterDevice& printer,
                                                   const TDeviceSettings*, bool drawing) override {
        Log.push_back(std::string(drawing ? "DC " : "IC ") + printer.Device);
        if (RefuseContexts) {
            return nullptr;
        }
        auto context = std::make_unique<TRecordingContext>(Log, Width, Height, PixelsPerInch);
        context->Canvas_.Metrics.Height = 20;
        context->Canvas_.Metrics.AveCharWidth = AveCharWidth;
        context->RefuseStart = RefuseStart;
        LastContext = context.get();
        return context;
    }
};

} // namespace virevi::test
