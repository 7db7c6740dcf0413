#pragma once
// What the printer needs from the platform's printer service: the printers it
// knows, their settings, and contexts that measure and draw on a page. The ui
// implements it over Qt Print Support; the tests with a fake service.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace virevi {

class TCanvas;

/// One printer as the service lists it.
struct TPrinterDevice {
    std::string Device;
    std::string Driver;
    std::string Port;
    friend bool operator==(const TPrinterDevice&, const TPrinterDevice&) = default;
};

/// The settings block of a printer: what the user chose in the print dialog
/// and the service applies to every job.
struct TDeviceSettings {
    std::int32_t Copies = 1;
    bool Collate = false;
    std::string PaperName; ///< the service's own name of the paper; empty for the printer's default
    bool Landscape = false;
    friend bool operator==(const TDeviceSettings&, const TDeviceSettings&) = default;
};

/// A context of one printer. An information context only answers the
/// queries; a drawing context also runs a document of pages.
class TPrinterContext {
public:
    virtual ~TPrinterContext() = default;

    /// The printable area in device pixels.
    virtual std::int32_t PageWidth() = 0;
    virtual std::int32_t PageHeight() = 0;
    virtual std::int32_t PixelsPerInchY() = 0;

    /// Draws on the current page and measures in the device's pixels, with
    /// (0, 0) at the top left of the printable area.
    virtual TCanvas& Canvas() = 0;

    /// `keepGoing` is called back while the service works on the job; it
    /// returns false to cancel the job.
    virtual bool StartDoc(const std::string& title, std::function<bool()> keepGoing) = 0;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDoc() = 0;
};

class TPrinterService {
public:
    virtual ~TPrinterService() = default;

    /// The name of the service's default printer, empty when it has none.
    /// Raises EOSError when the service cannot be asked.
    virtual std::string DefaultPrinterName() = 0;
    /// The printers the service knows, in its order.
    virtual std::vector<TPrinterDevice> Printers() = 0;
    /// The printer's own settings; none when the printer offers no settings block.
    virtual std::optional<TDeviceSettings> DefaultSettings(const TPrinterDevice& printer) = 0;
    /// A new context for `printer` with `settings` (null for none), or null
    /// when the service refuses one.
    virtual std::unique_ptr<TPrinterContext>
    CreateContext(const TPrinterDevice& printer, const TDeviceSettings* settings, bool drawing) = 0;
};

} // namespace virevi
