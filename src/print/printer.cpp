#include "print/printer.h"

#include <algorithm>

#include "runtime/canvas.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

TPrinter::TPrinter(TPrinterService& service, std::int32_t screenPixelsPerInch)
    : Service_(service), Canvas_(*this, screenPixelsPerInch) {}

TPrinter::~TPrinter() {
    if (!Printing_) {
        return;
    }
    try {
        EndJob();
    } catch (...) {
        // Nobody is left to be told at the end of the program.
    }
}

const TPrinterDevice& TPrinter::Current() {
    if (Current_) {
        return *Current_;
    }
    const std::string name = Service_.DefaultPrinterName();
    if (!name.empty()) {
        for (const TPrinterDevice& printer : Service_.Printers()) {
            if (SameNameIgnoringCase(printer.Device, name)) {
                Settings_ = Service_.DefaultSettings(printer);
                Current_ = printer;
                return *Current_;
            }
        }
    }
    throw EPrinter(msg::SNoDefaultPrinter);
}

void TPrinter::CheckNotPrinting() const {
    if (Printing_) {
        throw EPrinter(msg::SPrinting);
    }
}

void TPrinter::SetPrinter(const TPrinterDevice& printer, std::optional<TDeviceSettings> settings) {
    CheckNotPrinting();
    SetState(THandleState::None);
    Current_ = printer;
    Settings_ = std::move(settings);
}

std::int32_t TPrinter::Copies() const {
    if (!Settings_) {
        throw EPrinter(msg::SPrinterNotSupported);
    }
    return Settings_->Copies;
}

void TPrinter::SetCopies(std::int32_t copies) {
    CheckNotPrinting();
    if (!Settings_) {
        throw EPrinter(msg::SPrinterNotSupported);
    }
    Settings_->Copies = copies;
}

void TPrinter::SetState(THandleState state) {
    if (state == State_) {
        return;
    }
    if (state == THandleState::None) {
        CheckNotPrinting();
        Context_.reset();
        State_ = THandleState::None;
        return;
    }
    // A drawing context answers the queries too.
    if (state == THandleState::Information && State_ == THandleState::Drawing) {
        return;
    }
    Context_.reset();
    State_ = THandleState::None;
    Canvas_.Refresh();
    const TPrinterDevice printer = Current();
    Context_ = Service_.CreateContext(printer, DeviceSettings(), state == THandleState::Drawing);
    if (!Context_) {
        throw EPrinter(msg::SInvalidPrinter);
    }
    State_ = state;
}

TPrinterContext& TPrinter::Information() {
    SetState(THandleState::Information);
    return *Context_;
}

void TPrinter::StartJob() {
    CheckNotPrinting();
    SetState(THandleState::Drawing);
    Canvas_.Refresh();
    TFont font = Canvas_.Font();
    AdaptFont(font, Context_->PixelsPerInchY());
    Canvas_.SetFont(font);
    Printing_ = true;
    Aborted_ = false;
    PageNumber_ = 1;
    const bool started = Context_->StartDoc(Title_, [this] {
        if (ProcessMessages) {
            ProcessMessages();
        }
        return !Aborted_;
    });
    // A job the service refused (a spooler that is down, an output file that
    // cannot be written) must not look printed. It stays a job, aborted, so
    // that the device's close still ends it without sending anything.
    if (!started || !Context_->StartPage()) {
        Aborted_ = true;
        throw EOSError(msg::SUnkOSError, 0);
    }
}

void TPrinter::EndJob() {
    if (!Printing_) {
        throw EPrinter(msg::SNotPrinting);
    }
    Context_->EndPage();
    if (!Aborted_) {
        Context_->EndDoc();
    }
    Printing_ = false;
    Aborted_ = false;
    PageNumber_ = 0;
}

void TPrinter::NextPage() {
    if (!Printing_) {
        throw EPrinter(msg::SNotPrinting);
    }
    Context_->EndPage();
    Context_->StartPage();
    ++PageNumber_;
    Canvas_.Refresh();
}

std::int32_t TPrinter::PageWidth() {
    return Information().PageWidth();
}

std::int32_t TPrinter::PageHeight() {
    return Information().PageHeight();
}

} // namespace virevi
