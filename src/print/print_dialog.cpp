#include "print/print_dialog.h"

#include "print/printer.h"

namespace virevi {

bool TPrintDialog::Execute(TPrinter& printer) {
    TPrintChoice choice;
    choice.Printer = printer.Current();
    if (const TDeviceSettings* settings = printer.DeviceSettings()) {
        choice.Settings = *settings;
    }
    choice.Collate = Collate;
    choice.PrintToFile = PrintToFile;
    choice.PrintRange = PrintRange;
    choice.Copies = Copies;
    choice.FromPage = FromPage;
    choice.ToPage = ToPage;
    if (!Show || !Show(choice)) {
        return false;
    }
    printer.SetPrinter(choice.Printer, choice.Settings);
    Collate = choice.Collate;
    PrintToFile = choice.PrintToFile;
    PrintRange = choice.PrintRange;
    FromPage = choice.FromPage;
    ToPage = choice.ToPage;
    // A dialog that leaves the copies to the settings block reports one.
    Copies = choice.Copies == 1 ? printer.Copies() : choice.Copies;
    printer.SetCopies(Copies);
    return true;
}

TPoint DialogPosition(const TRect& monitor, std::int32_t width, std::int32_t height) {
    return {monitor.Left + (monitor.Width() - width) / 2,
            monitor.Top + (monitor.Height() - height) / 3};
}

} // namespace virevi
