#include "print/qt/qt_printer_service.h"

#include <QFontMetrics>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "runtime/canvas.h"
#include "runtime/qt/qt_shift_jis.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {

// Paper has no system colours: the window's is the paper, every other one ink.
QColor ToQColor(TColor color) {
    if (color == clWindow) {
        return Qt::white;
    }
    if (IsSystemColor(color)) {
        return Qt::black;
    }
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QFont ToQFont(const TFont& font, const QPaintDevice* device) {
    QFont result(QString::fromUtf8(font.Name));
    result.setBold((font.Style & fsBold) != 0);
    result.setItalic((font.Style & fsItalic) != 0);
    result.setUnderline((font.Style & fsUnderline) != 0);
    result.setStrikeOut((font.Style & fsStrikeOut) != 0);
    if (font.Pitch == TFontPitch::Fixed) {
        result.setFixedPitch(true);
        result.setStyleHint(QFont::TypeWriter);
    }
    if (font.Height < 0) {
        // The character height without internal leading is the em size.
        result.setPixelSize(-font.Height);
    } else if (font.Height > 0) {
        // A cell height: scale the em size so that ascent + descent fits it.
        result.setPixelSize(font.Height);
        const QFontMetrics metrics(result, device);
        const int cell = metrics.ascent() + metrics.descent();
        if (cell > 0) {
            result.setPixelSize(std::max(1, font.Height * font.Height / cell));
        }
    } else {
        result.setPixelSize(std::max(1, 10 * font.PixelsPerInch / 72));
    }
    return result;
}

// Draws and measures with the QPainter of a job, in device pixels.
class TPainterCanvas : public TCanvas {
public:
    TPainterCanvas(QPainter& painter, QPrinter& printer)
        : Painter_(painter), Printer_(printer), Metrics_(QFont(), &printer) {}

    void SetFont(const TFont& font) override {
        Font_ = font;
        QFont qfont = ToQFont(font, &Printer_);
        Metrics_ = QFontMetrics(qfont, &Printer_);
        PixelSize_ = qfont.pixelSize();
        if (!Painter_.isActive()) {
            return;
        }
        Painter_.setFont(qfont);
        Painter_.setPen(ToQColor(font.Color));
        Painter_.setBackgroundMode(Qt::OpaqueMode);
        Painter_.setBackground(Qt::white);
    }
    const TFont& Font() const override { return Font_; }
    TTextMetrics TextMetrics() override {
        TTextMetrics metrics;
        metrics.Ascent = Metrics_.ascent();
        metrics.Descent = Metrics_.descent();
        metrics.Height = metrics.Ascent + metrics.Descent;
        metrics.InternalLeading = std::max(0, metrics.Height - PixelSize_);
        metrics.ExternalLeading = std::max(0, Metrics_.leading());
        metrics.AveCharWidth = Metrics_.averageCharWidth();
        metrics.MaxCharWidth = Metrics_.maxWidth();
        return metrics;
    }
    std::int32_t TextWidth(std::string_view text) override {
        return Metrics_.horizontalAdvance(FromShiftJis(text));
    }
    std::int32_t TextHeight(std::string_view) override {
        return Metrics_.ascent() + Metrics_.descent();
    }
    void FillRect(const TRect& rect, TColor color) override {
        Painter_.fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQColor(color));
    }
    void Line(TPoint from, TPoint to, TColor color) override {
        Painter_.save();
        Painter_.setPen(ToQColor(color));
        Painter_.drawLine(from.X, from.Y, to.X, to.Y);
        Painter_.restore();
    }
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
        Painter_.drawText(QPoint(x, y + Metrics_.ascent()), FromShiftJis(text));
    }
    void TextRect(const TRect& clip, std::int32_t x, std::int32_t y, std::string_view text,
                  TColor background) override {
        const QRect area(clip.Left, clip.Top, clip.Width(), clip.Height());
        Painter_.save();
        Painter_.fillRect(area, ToQColor(background));
        Painter_.setClipRect(area);
        Painter_.drawText(QPoint(x, y + Metrics_.ascent()), FromShiftJis(text));
        Painter_.restore();
    }
    void DrawFocusRect(const TRect& rect) override {
        Painter_.save();
        Painter_.setPen(QPen(Qt::black, 0, Qt::DotLine));
        Painter_.drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
        Painter_.restore();
    }
    void DrawBitmap(const TBitmap& bitmap, const TRect& source, TPoint dest,
                    TColor transparent) override {
        QImage image(source.Width(), source.Height(), QImage::Format_ARGB32);
        for (int y = 0; y < source.Height(); ++y) {
            for (int x = 0; x < source.Width(); ++x) {
                const TColor pixel = bitmap.Pixel(source.Left + x, source.Top + y);
                image.setPixelColor(
                    x, y, pixel == transparent ? QColor(Qt::transparent) : ToQColor(pixel));
            }
        }
        Painter_.drawImage(dest.X, dest.Y, image);
    }

private:
    QPainter& Painter_;
    QPrinter& Printer_;
    QFontMetrics Metrics_;
    int PixelSize_ = 0;
    TFont Font_;
};

class TQtPrinterContext : public TPrinterContext {
public:
    explicit TQtPrinterContext(std::unique_ptr<QPrinter> printer)
        : Printer_(std::move(printer)), Canvas_(Painter_, *Printer_) {}
    ~TQtPrinterContext() override {
        if (Painter_.isActive()) {
            Painter_.end();
        }
    }

    std::int32_t PageWidth() override { return Printer_->width(); }
    std::int32_t PageHeight() override { return Printer_->height(); }
    std::int32_t PixelsPerInchY() override { return Printer_->logicalDpiY(); }
    TCanvas& Canvas() override { return Canvas_; }

    bool StartDoc(const std::string& title, std::function<bool()> keepGoing) override {
        KeepGoing_ = std::move(keepGoing);
        Printer_->setDocName(FromShiftJis(title));
        FirstPage_ = true;
        // The painter opens the first page itself.
        return Painter_.begin(Printer_.get());
    }
    bool StartPage() override {
        const bool started = FirstPage_ || Printer_->newPage();
        FirstPage_ = false;
        return started && GoOn();
    }
    bool EndPage() override { return GoOn(); }
    bool EndDoc() override {
        // The document goes to the spooler here.
        const bool ended = !Painter_.isActive() || Painter_.end();
        return ended && GoOn();
    }

private:
    bool GoOn() {
        if (KeepGoing_ && !KeepGoing_()) {
            Printer_->abort();
            return false;
        }
        return true;
    }

    std::unique_ptr<QPrinter> Printer_;
    QPainter Painter_;
    TPainterCanvas Canvas_;
    std::function<bool()> KeepGoing_;
    bool FirstPage_ = true;
};

} // namespace

std::string TQtPrinterService::DefaultPrinterName() {
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::vector<TPrinterDevice> TQtPrinterService::Printers() {
    std::vector<TPrinterDevice> printers;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        printers.push_back({info.printerName().toStdString(), info.makeAndModel().toStdString(),
                            info.location().toStdString()});
    }
    return printers;
}

std::optional<TDeviceSettings> TQtPrinterService::DefaultSettings(const TPrinterDevice& printer) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printer.Device));
    TDeviceSettings settings;
    if (!info.isNull()) {
        settings.PaperName = info.defaultPageSize().key().toStdString();
    }
    return settings;
}

std::unique_ptr<TPrinterContext> TQtPrinterService::CreateContext(const TPrinterDevice& printer,
                                                                  const TDeviceSettings* settings,
                                                                  bool) {
    auto qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (OutputFileName.empty()) {
        qprinter->setPrinterName(QString::fromStdString(printer.Device));
    } else {
        qprinter->setOutputFormat(QPrinter::PdfFormat);
        qprinter->setOutputFileName(QString::fromStdString(OutputFileName));
    }
    if (settings != nullptr) {
        Apply(*settings, *qprinter);
    }
    // The page starts at the printable area's corner: no margins of Qt's own,
    // only what the device cannot print on (nothing on a PDF printer).
    qprinter->setFullPage(false);
    qprinter->setPageMargins(qprinter->pageLayout().minimumMargins(),
                             qprinter->pageLayout().units());
    if (!qprinter->isValid()) {
        return nullptr;
    }
    return std::make_unique<TQtPrinterContext>(std::move(qprinter));
}

void TQtPrinterService::Apply(const TDeviceSettings& settings, QPrinter& printer) {
    printer.setCopyCount(std::max(1, settings.Copies));
    printer.setCollateCopies(settings.Collate);
    if (!settings.PaperName.empty()) {
        const QString key = QString::fromStdString(settings.PaperName);
        for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
            const QPageSize size(static_cast<QPageSize::PageSizeId>(id));
            if (size.key() == key) {
                printer.setPageSize(size);
                break;
            }
        }
    }
    printer.setPageOrientation(settings.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

TDeviceSettings TQtPrinterService::SettingsOf(const QPrinter& printer) {
    TDeviceSettings settings;
    settings.Copies = printer.copyCount();
    settings.Collate = printer.collateCopies();
    settings.PaperName = printer.pageLayout().pageSize().key().toStdString();
    settings.Landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    return settings;
}

} // namespace virevi
