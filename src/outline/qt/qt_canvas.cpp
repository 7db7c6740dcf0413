#include "outline/qt/qt_canvas.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <array>

#include "runtime/qt/qt_color.h"
#include "runtime/qt/qt_shift_jis.h"
#include "runtime/shift_jis.h"

namespace virevi {
TQtCanvas::TQtCanvas(const QWidget& owner)
    : Owner_(owner), QFont_(ToQFont(Font_)), Metrics_(QFont_) {
    SetFont(Font_);
}

void TQtCanvas::Begin(QPainter* painter) {
    Painter_ = painter;
    Painter_->setFont(QFont_);
}

void TQtCanvas::End() {
    Painter_ = nullptr;
}

QFont TQtCanvas::ToQFont(const TFont& font) {
    QFont result;
    QStringList families;
    if (!font.Name.empty()) {
        families << QString::fromStdString(font.Name);
    }
    if (font.Charset == SHIFTJIS_CHARSET || font.Pitch == TFontPitch::Fixed) {
        families << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans Mono CJK JP");
    }
    if (!families.isEmpty()) {
        result.setFamilies(families);
    }
    if (font.Pitch == TFontPitch::Fixed) {
        result.setStyleHint(QFont::TypeWriter);
        result.setFixedPitch(true);
    }
    if (font.Height < 0) {
        result.setPixelSize(-font.Height);
    } else if (font.Height > 0) {
        result.setPixelSize(std::max(1, font.Height * 13 / 16));
    } else {
        result.setPointSize(8);
    }
    result.setBold((font.Style & fsBold) != 0);
    result.setItalic((font.Style & fsItalic) != 0);
    result.setUnderline((font.Style & fsUnderline) != 0);
    result.setStrikeOut((font.Style & fsStrikeOut) != 0);
    // Captions are laid out by whole pixels, as the widths are counted.
    result.setHintingPreference(QFont::PreferFullHinting);
    result.setKerning(false);
    return result;
}

QColor TQtCanvas::Resolve(TColor color) const {
    return ToQColor(color, Owner_.palette());
}

void TQtCanvas::SetFont(const TFont& font) {
    const bool sameFace = font.Name == Font_.Name && font.Height == Font_.Height &&
                          font.Style == Font_.Style && font.Charset == Font_.Charset &&
                          font.Pitch == Font_.Pitch && !Widths_.empty();
    Font_ = font;
    if (sameFace) {
        return; // only the colour changed: the measures stay
    }
    QFont_ = ToQFont(font);
    Metrics_ = QFontMetrics(QFont_);
    Widths_.assign(256 + LeadBytes * 256, Unknown);
    if (Painter_ != nullptr) {
        Painter_->setFont(QFont_);
    }
}

TTextMetrics TQtCanvas::TextMetrics() {
    TTextMetrics metrics;
    metrics.Height = Metrics_.height();
    metrics.Ascent = Metrics_.ascent();
    metrics.Descent = Metrics_.descent();
    metrics.ExternalLeading = Metrics_.leading();
    metrics.AveCharWidth = Metrics_.averageCharWidth();
    metrics.MaxCharWidth = Metrics_.maxWidth();
    return metrics;
}

std::int32_t TQtCanvas::Advance(std::string_view character) {
    return Metrics_.horizontalAdvance(FromShiftJis(character));
}

namespace {

/// Lead bytes numbered 0 … 59; 255 for every other byte.
constexpr std::array<std::uint8_t, 256> LeadNumbers = [] {
    std::array<std::uint8_t, 256> numbers{};
    std::uint8_t next = 0;
    for (int byte = 0; byte < 256; ++byte) {
        numbers[static_cast<std::size_t>(byte)] =
            IsLeadByte(static_cast<unsigned char>(byte)) ? next++ : 255;
    }
    return numbers;
}();

} // namespace

std::int32_t TQtCanvas::Learn(std::size_t slot, std::string_view character) {
    const std::int32_t advance = Advance(character);
    if (advance >= 0 && advance < Unknown) {
        Widths_[slot] = static_cast<std::uint8_t>(advance);
    }
    return advance;
}

std::int32_t TQtCanvas::TextWidth(std::string_view text) {
    // Mixed text would mispredict a branch per character: the slot is
    // computed, not branched to, and the loop only reads the table.
    const std::uint8_t* widths = Widths_.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::int32_t width = 0;
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        const bool more = i + 1 < size;
        const unsigned char trail = more ? bytes[i + 1] : 0;
        const std::uint8_t number = LeadNumbers[lead];
        const bool pair = more & (number != 255);
        const std::size_t slot = pair ? 256 + number * 256u + trail : lead;
        const std::uint8_t known = widths[slot];
        width += known != Unknown ? known : Learn(slot, text.substr(i, pair ? 2 : 1));
        i += pair ? 2 : 1;
    }
    return width;
}

std::int32_t TQtCanvas::TextHeight(std::string_view) {
    return Metrics_.height();
}

void TQtCanvas::FillRect(const TRect& rect, TColor color) {
    if (Painter_ == nullptr || rect.Empty()) {
        return;
    }
    Painter_->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), Resolve(color));
}

void TQtCanvas::Line(TPoint from, TPoint to, TColor color) {
    if (Painter_ == nullptr) {
        return;
    }
    // One-pixel lines without their end point, as plain rectangles, so that
    // no pen geometry can move them by half a pixel.
    if (from.X == to.X) {
        FillRect({from.X, std::min(from.Y, to.Y + 1), from.X + 1, std::max(from.Y + 1, to.Y)},
                 color);
        return;
    }
    if (from.Y == to.Y) {
        FillRect({std::min(from.X, to.X + 1), from.Y, std::max(from.X + 1, to.X), from.Y + 1},
                 color);
        return;
    }
    Painter_->setPen(Resolve(color));
    Painter_->drawLine(from.X, from.Y, to.X, to.Y);
}

void TQtCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    if (Painter_ == nullptr) {
        return;
    }
    Painter_->setPen(Resolve(Font_.Color));
    Painter_->drawText(QPoint(x, y + Metrics_.ascent()), FromShiftJis(text));
}

void TQtCanvas::TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text,
                         TColor background) {
    if (Painter_ == nullptr || clip.Empty()) {
        return;
    }
    const QRect box(clip.Left, clip.Top, clip.Width(), clip.Height());
    Painter_->fillRect(box, Resolve(background));
    Painter_->setPen(Resolve(Font_.Color));
    // A point, not a rectangle: no "&" is taken as a mnemonic. A caption
    // that fits (the row painter sizes its box so) needs no clipping, which
    // would cost more than the text itself.
    const QPoint origin(x, y + Metrics_.ascent());
    const bool fits = x >= clip.Left && y >= clip.Top && y + Metrics_.height() <= clip.Bottom &&
                      x + TextWidth(text) <= clip.Right;
    if (fits) {
        Painter_->drawText(origin, FromShiftJis(text));
        return;
    }
    const bool clipped = Painter_->hasClipping();
    const QRegion region = clipped ? Painter_->clipRegion() : QRegion();
    Painter_->setClipRect(box, Qt::IntersectClip);
    Painter_->drawText(origin, FromShiftJis(text));
    if (clipped) {
        Painter_->setClipRegion(region);
    } else {
        Painter_->setClipping(false);
    }
}

void TQtCanvas::DrawFocusRect(const TRect& rect) {
    if (Painter_ == nullptr || rect.Empty()) {
        return;
    }
    // Every other pixel round the frame inverted, so that a second call undoes it.
    Painter_->save();
    Painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(255, 255, 255);
    int step = 0;
    const auto dot = [&](int x, int y) {
        if (step++ % 2 == 0) {
            Painter_->fillRect(QRect(x, y, 1, 1), white);
        }
    };
    const int right = rect.Right - 1;
    const int bottom = rect.Bottom - 1;
    for (int x = rect.Left; x <= right; ++x) {
        dot(x, rect.Top);
    }
    for (int y = rect.Top + 1; y <= bottom; ++y) {
        dot(right, y);
    }
    for (int x = right - 1; x >= rect.Left && bottom > rect.Top; --x) {
        dot(x, bottom);
    }
    for (int y = bottom - 1; y > rect.Top && right > rect.Left; --y) {
        dot(rect.Left, y);
    }
    Painter_->restore();
}

const QImage& TQtCanvas::ImageOf(const TBitmap& bitmap, TColor transparent) {
    for (const TCachedImage& cached : Images_) {
        if (cached.Transparent == transparent && cached.Source.Width == bitmap.Width &&
            cached.Source.Height == bitmap.Height && cached.Source.Pixels == bitmap.Pixels) {
            return cached.Image;
        }
    }
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_ARGB32);
    for (std::int32_t y = 0; y < bitmap.Height; ++y) {
        for (std::int32_t x = 0; x < bitmap.Width; ++x) {
            const TColor pixel = bitmap.Pixel(x, y);
            image.setPixel(x, y,
                           pixel == transparent
                               ? qRgba(0, 0, 0, 0)
                               : qRgb(RedOf(pixel), GreenOf(pixel), BlueOf(pixel)));
        }
    }
    if (Images_.size() > 16) {
        Images_.clear();
    }
    Images_.push_back({bitmap, transparent, image});
    return Images_.back().Image;
}

void TQtCanvas::DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                           TColor transparent) {
    if (Painter_ == nullptr || source.Empty() || bitmap.Width <= 0) {
        return;
    }
    Painter_->drawImage(QPoint(dest.X, dest.Y), ImageOf(bitmap, transparent),
                        QRect(source.Left, source.Top, source.Width(), source.Height()));
}

void TQtCanvas::StretchBitmap(const TBitmap& bitmap, const TRect& dest, TColor transparent) {
    if (Painter_ == nullptr || dest.Empty() || bitmap.Width <= 0) {
        return;
    }
    Painter_->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()),
                        ImageOf(bitmap, transparent));
}

} // namespace virevi
