#pragma once
// The Print command of the main window: the print dialog diaPrint on the
// current printer, then the note editor's lines as they stand.
#include <functional>
#include <memory>

#include "print/print_dialog.h"
#include "print/qt/qt_printer_service.h"

class QPrintDialog;
class QWidget;

namespace virevi {

class TMemoLines;
class TPrinter;

class TNotePrinter {
public:
    /// `window` places the dialog when no window is active.
    explicit TNotePrinter(QWidget* window = nullptr);
    ~TNotePrinter();
    TNotePrinter(const TNotePrinter&) = delete;
    TNotePrinter& operator=(const TNotePrinter&) = delete;

    /// Runs the dialog and prints every line of `note` in its font (the note
    /// editor's when `note` is one). Raises "デフォルト プリンタが存在しません"
    /// before any dialog when there is no default printer, "現在印刷中です" on
    /// OK while a job runs.
    void Print(const TMemoLines& note);

    /// Runs the placed and filled-in dialog modally and returns its result
    /// (QDialog::Accepted for OK); tests answer it here instead of a person.
    std::function<int(QPrintDialog& dialog)> RunDialog;

    /// Created the first time it is needed; lives as long as this.
    TPrinter& Printer();
    TQtPrinterService& Service() { return Service_; }
    TPrintDialog diaPrint;

private:
    bool ShowDialog(TPrintChoice& choice);

    QWidget* Window_;
    TQtPrinterService Service_;
    std::unique_ptr<TPrinter> Printer_;
};

} // namespace virevi
