#pragma once
// A canvas that writes down what is drawn on it, with fixed text metrics:
// every byte of text is 7 pixels wide (in a 13-pixel font) and a line is 13
// pixels high.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/canvas.h"

namespace virevi::test {

class TRecordingCanvas : public TCanvas {
public:
    static constexpr std::int32_t CharWidth = 7;
    static constexpr std::int32_t LineHeight = 13;

    void SetFont(const TFont& font) override { Font_ = font; }
    const TFont& Font() const override { return Font_; }
    TTextMetrics TextMetrics() override { return {LineHeight, 11, 2, 0, 0, CharWidth, CharWidth}; }
    /// 7 pixels a byte in a 13-pixel font, in proportion in others.
    std::int32_t TextWidth(std::string_view text) override {
        const std::int32_t height = Font_.Height < 0 ? -Font_.Height : 13;
        return static_cast<std::int32_t>(text.size()) * CharWidth * height / 13;
    }
    std::int32_t TextHeight(std::string_view) override { return LineHeight; }

    void FillRect(const TRect& rect, TColor color) override {
        Ops.push_back("fill " + Rect(rect) + " " + Color(color));
    }
    void Line(TPoint from, TPoint to, TColor color) override {
        Ops.push_back("line " + Point(from) + "-" + Point(to) + " " + Color(color));
    }
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
        Ops.push_back("textout " + Point({x, y}) + " " + std::string(text));
    }
    void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text,
                  TColor background) override {
        Ops.push_back("text " + Rect(clip) + " at " + Point({x, y}) + " '" + std::string(text) +
                      "' on " + Color(background) + " in " + Color(Font_.Color));
    }
    void DrawFocusRect(const TRect& rect) override { Ops.push_back("focus " + Rect(rect)); }
    void DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                    TColor transparent) override {
        // Two pixels tell the five pictures apart: (2,2) and (6,3).
        Ops.push_back("bitmap " + std::to_string(source.Width()) + "x" +
                      std::to_string(source.Height()) + " to " + Point(dest) + " clear " +
                      Color(transparent) + " px " + Color(bitmap.Pixel(2, 2)) + "/" +
                      Color(bitmap.Pixel(6, 3)));
    }

    /// The operations whose text starts with `prefix`.
    std::vector<std::string> Only(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const std::string& op : Ops) {
            if (op.starts_with(prefix)) {
                found.push_back(op);
            }
        }
        return found;
    }

    std::vector<std::string> Ops;

private:
    static std::string Point(TPoint p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }
    static std::string Rect(const TRect& r) {
        return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
               std::to_string(r.Right) + "," + std::to_string(r.Bottom);
    }
    static std::string Color(TColor color) {
        switch (color) {
        case clHighlight:
            return "highlight";
        case clHighlightText:
            return "highlighttext";
        case clWindow:
            return "window";
        case clWindowText:
            return "windowtext";
        case clCream:
            return "cream";
        case clBlack:
            return "black";
        default: {
            char hex[16];
            std::snprintf(hex, sizeof hex, "#%06X", static_cast<unsigned>(color));
            return hex;
        }
        }
    }

    TFont Font_;
};

} // namespace virevi::test
