#include "print/print_note.h"

#include "editor/memo_lines.h"
#include "files/record_file.h"
#include "print/print_dialog.h"
#include "print/printer.h"
#include "print/printer_text_device.h"

namespace virevi {

void PrintLines(TPrinter& printer, const TMemoLines& note, const TFont& noteFont) {
    TPrinterTextDevice device(printer);
    try {
        device.Open();
        CheckIOResult();
        TFont font = printer.Canvas().Font();
        AssignFont(font, noteFont);
        printer.Canvas().SetFont(font);
        // Read once: lines the user adds while the job spools are not waited for.
        const std::size_t count = note.Count();
        for (std::size_t i = 0; i < count; ++i) {
            device.WriteLine(note.Line(i));
            CheckIOResult();
        }
    } catch (...) {
        // A failing close raises its own error, which then replaces this one.
        device.Close();
        CheckIOResult();
        throw;
    }
    device.Close();
    CheckIOResult();
}

void PrintNote(TPrintDialog& dialog, TPrinter& printer, const TMemoLines& note,
               const TFont& noteFont) {
    if (!dialog.Execute(printer)) {
        return;
    }
    PrintLines(printer, note, noteFont);
}

} // namespace virevi
