#pragma once
// The printer service over Qt Print Support (CUPS on Linux). Contexts draw
// with a QPainter on a QPrinter in the printer's own pixels.
#include <string>

#include "print/printer_service.h"

class QPrinter;

namespace virevi {

class TQtPrinterService : public TPrinterService {
public:
    /// When not empty, every job goes to this PDF file instead of a printer.
    std::string OutputFileName;

    std::string DefaultPrinterName() override;
    std::vector<TPrinterDevice> Printers() override;
    std::optional<TDeviceSettings> DefaultSettings(const TPrinterDevice& printer) override;
    std::unique_ptr<TPrinterContext> CreateContext(const TPrinterDevice& printer,
                                                   const TDeviceSettings* settings,
                                                   bool drawing) override;

    /// Puts `settings` into `printer`.
    static void Apply(const TDeviceSettings& settings, QPrinter& printer);
    /// The settings that `printer` holds.
    static TDeviceSettings SettingsOf(const QPrinter& printer);
};

} // namespace virevi
