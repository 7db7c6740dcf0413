#include "print/printer_text_device.h"

#include <algorithm>
#include <vector>

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

std::size_t TPrinterTextDevice::FittingLength(std::string_view run) {
    TPrinterCanvas& canvas = Printer_.Canvas();
    const auto fits = [&](std::size_t length) {
        return CurrentX + canvas.TextWidth(run.substr(0, length)) <= RightEdge;
    };
    // The longest start of whole characters that fits. A longer start is
    // never narrower, so this is where dropping the last character one at a
    // time from the whole run would stop; doubling and then halving measures
    // only about as much as one printed line, however long the run.
    std::vector<std::size_t> ends{0}; // ends[k]: the byte end of the first k characters
    std::size_t good = 0;             // a number of characters that fits
    std::size_t bad = 0;              // one that does not, once known
    for (std::size_t count = 1; bad == 0; count *= 2) {
        while (ends.size() <= count && ends.back() < run.size()) {
            ends.push_back(ends.back() + CharLengthAt(run, ends.back()));
        }
        const std::size_t probe = std::min(count, ends.size() - 1);
        if (!fits(ends[probe])) {
            bad = probe;
        } else if (ends[probe] == run.size()) {
            return run.size();
        } else {
            good = probe;
        }
    }
    while (bad - good > 1) {
        const std::size_t middle = good + (bad - good) / 2;
        (fits(ends[middle]) ? good : bad) = middle;
    }
    return ends[good];
}

void TPrinterTextDevice::OutputRun(std::string_view run) {
    TPrinterCanvas& canvas = Printer_.Canvas();
    while (true) {
        std::size_t length = FittingLength(run);
        // A character wider than the whole line would otherwise never be
        // placed: it goes alone on a line of its own, cut off by the printer.
        if (length == 0 && CurrentX == 0) {
            length = CharLengthAt(run, 0);
        }
        const std::string_view part = run.substr(0, length);
        const std::int32_t width = canvas.TextWidth(part);
        const std::int32_t height = canvas.TextHeight(part);
        if (LineHeight < height) {
            LineHeight = height + 2;
        }
        if (length > 0) {
            canvas.TextOut(CurrentX, CurrentY, part);
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
