#pragma once
// The program's one printer: the current printer and its settings, the
// context it measures and draws with, and the state of the print job.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "print/printer_canvas.h"
#include "print/printer_service.h"

namespace virevi {

enum class THandleState { None, Information, Drawing };

class TPrinter {
public:
    /// `screenPixelsPerInch` is where the canvas font starts.
    TPrinter(TPrinterService& service, std::int32_t screenPixelsPerInch);
    /// A job still running is ended first.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    /// Runs while the service works on a job: lets the user interface answer
    /// its pending events.
    std::function<void()> ProcessMessages;

    /// The current printer, the service's default one when none is chosen
    /// yet; raises "デフォルト プリンタが存在しません" when the service names no
    /// default or one it does not list (matched ignoring letter case).
    const TPrinterDevice& Current();
    bool HasCurrent() const { return Current_.has_value(); }
    /// Makes `printer` current with `settings`, dropping the context;
    /// "現在印刷中です" while a job runs.
    void SetPrinter(const TPrinterDevice& printer, std::optional<TDeviceSettings> settings);
    /// Null when the current printer has no settings block.
    const TDeviceSettings* DeviceSettings() const { return Settings_ ? &*Settings_ : nullptr; }
    /// The settings' copy count; "選択されたプリンタではサポートされていない機能です" without
    /// settings.
    std::int32_t Copies() const;
    /// "現在印刷中です" while a job runs, then as Copies without settings.
    void SetCopies(std::int32_t copies);

    THandleState HandleState() const { return State_; }
    bool Printing() const { return Printing_; }
    bool Aborted() const { return Aborted_; }
    std::int32_t PageNumber() const { return PageNumber_; }
    const std::string& Title() const { return Title_; }
    TPrinterCanvas& Canvas() { return Canvas_; }

    /// "現在印刷中です" while a job runs; "選択したプリンタは有効ではありません"
    /// when no drawing context can be had. Starts the document and its first page.
    void StartJob();
    /// "プリンタに印刷できる状態ではありません" when no job runs. The drawing
    /// context stays for the next job.
    void EndJob();
    /// "プリンタに印刷できる状態ではありません" when no job runs.
    void NextPage();

    /// The printable area in device pixels, from the drawing context or else
    /// an information context.
    std::int32_t PageWidth();
    std::int32_t PageHeight();

    /// The context the canvas draws on; null unless drawing.
    TPrinterContext* DrawingContext() {
        return State_ == THandleState::Drawing ? Context_.get() : nullptr;
    }

private:
    void SetState(THandleState state);
    TPrinterContext& Information();
    void CheckNotPrinting() const;

    TPrinterService& Service_;
    std::optional<TPrinterDevice> Current_;
    std::optional<TDeviceSettings> Settings_;
    std::unique_ptr<TPrinterContext> Context_;
    THandleState State_ = THandleState::None;
    bool Printing_ = false;
    bool Aborted_ = false;
    std::int32_t PageNumber_ = 0;
    std::string Title_;
    TPrinterCanvas Canvas_;
};

} // namespace virevi
