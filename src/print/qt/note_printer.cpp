#include "print/qt/note_printer.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include <cmath>

#include "editor/memo_lines.h"
#include "editor/qt/memo.h"
#include "print/print_note.h"
#include "print/printer.h"

namespace virevi {
namespace {

std::int32_t ScreenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<std::int32_t>(std::lround(screen->logicalDotsPerInchY()))
                             : 96;
}

// The font a widget shows its text in, as the printer takes it.
TFont FontOf(const QFont& qfont, std::int32_t pixelsPerInch) {
    TFont font;
    font.Name = qfont.family().toStdString();
    const int pixels = qfont.pixelSize() > 0
                           ? qfont.pixelSize()
                           : static_cast<int>(std::lround(qfont.pointSizeF() * pixelsPerInch / 72));
    font.Height = -pixels;
    font.Style = static_cast<std::uint8_t>(
        (qfont.bold() ? fsBold : 0) | (qfont.italic() ? fsItalic : 0) |
        (qfont.underline() ? fsUnderline : 0) | (qfont.strikeOut() ? fsStrikeOut : 0));
    font.Charset = SHIFTJIS_CHARSET;
    font.Pitch = qfont.fixedPitch() ? TFontPitch::Fixed : TFontPitch::Default;
    font.Color = clBlack;
    font.PixelsPerInch = pixelsPerInch;
    return font;
}

TFont NoteFontOf(const TMemoLines& note) {
    if (const auto* widget = dynamic_cast<const QWidget*>(&note)) {
        return FontOf(widget->font(), widget->logicalDpiY());
    }
    return FontOf(TMemo::NoteFont(), ScreenPixelsPerInch());
}

} // namespace

TNotePrinter::TNotePrinter(QWidget* window) : Window_(window) {
    diaPrint.Show = [this](TPrintChoice& choice) { return ShowDialog(choice); };
}

TNotePrinter::~TNotePrinter() = default;

TPrinter& TNotePrinter::Printer() {
    if (!Printer_) {
        Printer_ = std::make_unique<TPrinter>(Service_, ScreenPixelsPerInch());
        // While the job spools the window keeps answering.
        Printer_->ProcessMessages = [] { QCoreApplication::processEvents(); };
    }
    return *Printer_;
}

void TNotePrinter::Print(const TMemoLines& note) {
    PrintNote(diaPrint, Printer(), note, NoteFontOf(note));
}

bool TNotePrinter::ShowDialog(TPrintChoice& choice) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromStdString(choice.Printer.Device));
    if (choice.Settings) {
        TQtPrinterService::Apply(*choice.Settings, printer);
    }
    if (choice.Copies > 0) {
        printer.setCopyCount(choice.Copies);
    }
    printer.setCollateCopies(choice.Collate);
    printer.setPrintRange(QPrinter::AllPages);

    QWidget* active = QApplication::activeWindow();
    QWidget* owner = active != nullptr ? active : Window_;
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("diaPrint"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    dialog.setWindowModality(Qt::ApplicationModal);

    dialog.adjustSize();
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        const TPoint place = DialogPosition(
            {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()},
            dialog.frameGeometry().width(), dialog.frameGeometry().height());
        dialog.move(place.X, place.Y);
    }

    const int result = RunDialog ? RunDialog(dialog) : dialog.exec();
    if (result != QDialog::Accepted) {
        return false;
    }
    TPrinterDevice chosen{printer.printerName().toStdString(), {}, {}};
    for (const TPrinterDevice& known : Service_.Printers()) {
        if (known.Device == chosen.Device) {
            chosen = known;
            break;
        }
    }
    choice.Printer = chosen;
    choice.Settings = TQtPrinterService::SettingsOf(printer);
    choice.Collate = printer.collateCopies();
    choice.Copies = printer.copyCount();
    choice.PrintToFile = false;
    choice.PrintRange = TPrintRange::prAllPages;
    choice.FromPage = printer.fromPage();
    choice.ToPage = printer.toPage();
    return true;
}

} // namespace virevi
