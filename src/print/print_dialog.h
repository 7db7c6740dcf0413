#pragma once
// The print dialog's choices and what OK does with them. The platform shows
// the dialog; the choices it starts from and how they come back are decided here.
#include <cstdint>
#include <functional>
#include <optional>

#include "print/printer_service.h"
#include "runtime/canvas.h"

namespace virevi {

class TPrinter;

enum class TPrintRange { prAllPages, prSelection, prPageNums };

/// What the dialog shows and what the user leaves in it.
struct TPrintChoice {
    TPrinterDevice Printer;
    std::optional<TDeviceSettings> Settings; ///< a copy of the printer's settings
    bool Collate = false;
    bool PrintToFile = false;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    std::int32_t Copies = 0;
    std::int32_t FromPage = 0;
    std::int32_t ToPage = 0;
};

class TPrintDialog {
public:
    bool Collate = false;
    bool PrintToFile = false;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    std::int32_t Copies = 0;
    std::int32_t FromPage = 0;
    std::int32_t ToPage = 0;
    std::int32_t MinPage = 0;
    std::int32_t MaxPage = 0;

    /// Shows the platform's dialog on `choice`; true when the user chose OK.
    std::function<bool(TPrintChoice& choice)> Show;

    /// Opens the dialog on the current printer (choosing the default one
    /// first, which may raise before anything opens). OK makes the chosen
    /// printer and settings current ("現在印刷中です" while a job runs) and
    /// keeps the choices for next time; cancel changes nothing.
    bool Execute(TPrinter& printer);
};

/// The top left of a dialog of `width` × `height` on `monitor`: centred
/// across, its top one third of the free height down.
TPoint DialogPosition(const TRect& monitor, std::int32_t width, std::int32_t height);

} // namespace virevi
