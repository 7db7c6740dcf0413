#pragma once
// Plain text on the printer, line by line from the top left of the printable
// area: a hard wrap at the right edge that never splits a double-byte
// character, tab stops every eight average character widths, and a new page
// when the bottom comes near.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace virevi {

class TPrinter;

class TPrinterTextDevice {
public:
    explicit TPrinterTextDevice(TPrinter& printer) : Printer_(printer) {}

    /// Starts the job; the device counts as open even when starting raises,
    /// so that Close still ends the job.
    void Open();
    /// Lays out the Shift-JIS bytes of `text` and then a line feed. TAB moves
    /// to the next tab stop, LF ends the line, FF the page, CR is ignored.
    void WriteLine(std::string_view text);
    /// Ends the job: "プリンタに印刷できる状態ではありません" when none runs.
    void Close();

    bool IsOpen() const { return Open_; }

    std::int32_t CurrentX = 0;   ///< left edge of the next output
    std::int32_t CurrentY = 0;   ///< top of the current line
    std::int32_t RightEdge = 0;  ///< printable width, taken when the job starts
    std::int32_t BottomEdge = 0; ///< printable height, taken when the job starts
    std::int32_t LineHeight = 0; ///< 0 while nothing is drawn on the line

private:
    void Write(std::string_view text);
    void OutputRun(std::string_view run);
    // The bytes of the longest start of `run`, in whole characters, that fit
    // between CurrentX and RightEdge.
    std::size_t FittingLength(std::string_view run);
    void Tab();
    void BreakLine();
    void BreakPage();

    TPrinter& Printer_;
    bool Open_ = false;
};

} // namespace virevi
