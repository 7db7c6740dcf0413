#include "print/printer_text_device.h"

#include "print/printer.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {

constexpr char TabByte = 0x09;
constexpr char LineFeedByte = 0x0A;
constexpr char FormFeedByte = 0x0C;
constexpr char CarriageReturnByte = 0x0D;
// Tab stop step when the font reports no average character width.
constexpr std::int32_t FallbackTabStep = 8;

// The length of the first character of `text`, a double-byte one as two.
std::size_t FirstCharLength(std::string_view text) {
    return IsLeadByte(static_cast<unsigned char>(text[0])) && text.size() > 1 ? 2 : 1;
}

} // namespace

void TPrinterTextDevice::Open() {
    Open_ = true;
    Printer_.StartJob();
    CurrentX = 0;
    CurrentY = 0;
    RightEdge = Printer_.PageWidth();
    BottomEdge = Printer_.PageHeight();
    LineHeight = 0;
}

void TPrinterTextDevice::WriteLine(std::string_view text) {
    Write(text);
    Write(std::string_view(&LineFeedByte, 1));
}

void TPrinterTextDevice::Close() {
    // Lines are laid out whole as they come, so nothing is pending here.
    Open_ = false;
    Printer_.EndJob();
}

void TPrinterTextDevice::Write(std::string_view text) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (byte != TabByte && byte != LineFeedByte && byte != FormFeedByte &&
            byte != CarriageReturnByte) {
            continue;
        }
        if (i > runStart) {
            OutputRun(text.substr(runStart, i - runStart));
        }
        runStart = i + 1;
        switch (byte) {
        case TabByte:
            Tab();
            break;
        case LineFeedByte:
            BreakLine();
            break;
        case FormFeedByte:
            BreakPage();
            break;
        default:
            break;
        }
    }
    if (runStart < text.size()) {
        OutputRun(text.substr(runStart));
    }
}

void TPrinterTextDevice::OutputRun(std::string_view run) {
    TPrinterCanvas& canvas = Printer_.Canvas();
    while (true) {
        std::size_t length = run.size();
        std::int32_t width = canvas.TextWidth(run);
        std::int32_t height = canvas.TextHeight(run);
        while (length > 0 && CurrentX + width > RightEdge) {
            length = CharPrev(run, length);
            width = canvas.TextWidth(run.substr(0, length));
            height = canvas.TextHeight(run.substr(0, length));
        }
        // A character wider than the whole line would otherwise never be
        // placed: it goes alone on a line of its own, cut off by the printer.
        if (length == 0 && CurrentX == 0) {
            length = FirstCharLength(run);
            width = canvas.TextWidth(run.substr(0, length));
            height = canvas.TextHeight(run.substr(0, length));
        }
        if (LineHeight < height) {
            LineHeight = height + 2;
        }
        if (length > 0) {
            canvas.TextOut(CurrentX, CurrentY, run.substr(0, length));
        }
        run.remove_prefix(length);
        if (run.empty()) {
            CurrentX += width;
            return;
        }
        BreakLine();
    }
}

void TPrinterTextDevice::Tab() {
    auto step = static_cast<std::uint16_t>(8 * Printer_.Canvas().TextMetrics().AveCharWidth);
    const std::int32_t stop = step == 0 ? FallbackTabStep : step;
    CurrentX = stop * ((CurrentX + 1) / stop + 1);
    if (CurrentX > RightEdge) {
        BreakLine();
    }
}

void TPrinterTextDevice::BreakLine() {
    CurrentX = 0;
    CurrentY += LineHeight != 0
                    ? LineHeight
                    : static_cast<std::uint16_t>(Printer_.Canvas().TextMetrics().Height);
    if (CurrentY > BottomEdge - 2 * LineHeight) {
        BreakPage();
    }
    LineHeight = 0;
}

void TPrinterTextDevice::BreakPage() {
    CurrentX = 0;
    CurrentY = 0;
    Printer_.NextPage();
}

} // namespace virevi
