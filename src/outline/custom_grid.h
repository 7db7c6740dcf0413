#pragma once
// The one-column row list under the outline: top row, horizontal offset,
// scroll ranges, keys, mouse, wheel and the auto-scroll timer. Everything
// here is arithmetic and state; the widget supplies the platform through the
// hooks at the end and feeds its events into the handlers.
#include <cstdint>
#include <functional>

#include "outline/row_cursor.h"
#include "runtime/canvas.h"
#include "runtime/mouse.h"
#include "runtime/mul_div.h"

namespace virevi {

enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
/// The scroll bar requests, in the platform's order of codes.
enum class TScrollCode : std::uint8_t {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition, ///< the thumb was released at the given position
    scTrack,    ///< the thumb is being dragged
    scTop,
    scBottom,
    scEndScroll,
};
enum class TGridState : std::uint8_t { gsNormal, gsSelecting };

using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssDouble = 8;

using TGridDrawState = std::uint8_t;
inline constexpr TGridDrawState gdSelected = 1;
inline constexpr TGridDrawState gdFocused = 2;

inline constexpr std::uint16_t VK_RETURN = 13;
inline constexpr std::uint16_t VK_PRIOR = 33;
inline constexpr std::uint16_t VK_NEXT = 34;
inline constexpr std::uint16_t VK_END = 35;
inline constexpr std::uint16_t VK_HOME = 36;
inline constexpr std::uint16_t VK_LEFT = 37;
inline constexpr std::uint16_t VK_UP = 38;
inline constexpr std::uint16_t VK_RIGHT = 39;
inline constexpr std::uint16_t VK_DOWN = 40;
inline constexpr std::uint16_t VK_MULTIPLY = 106;

class TCustomGrid : public TRowCursor {
public:
    /// The vertical bar's range is always 0 … 127 while there is anything to scroll.
    static constexpr std::int32_t VertScrollMax = 127;
    static constexpr std::int32_t TimerPeriodMs = 60;
    static constexpr std::int32_t WheelDelta = 120;

    TCustomGrid() = default;

    std::int32_t TopRow() const { return TopRow_; }
    /// Clamped to 0 … LargestTopRow(); scrolls when it changes.
    void SetTopRow(std::int32_t row);
    std::int32_t HorzOffset() const { return HorzOffset_; }
    std::int32_t DefaultRowHeight() const { return RowHeight_; }
    void SetDefaultRowHeight(std::int32_t height);
    std::int32_t ColWidth() const { return ColWidth_; }
    void SetColWidth(std::int32_t width);
    TScrollStyle ScrollBars() const { return ScrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TColor Color() const { return Color_; }
    void SetColor(TColor value);
    const TFont& Font() const { return Font_; }
    void SetFont(const TFont& value);
    TGridState State() const { return State_; }

    /// The client area as it is with the scroll bars the grid shows.
    std::int32_t ClientWidth() const;
    std::int32_t ClientHeight() const;
    bool VertBarShown() const { return VertBarShown_; }
    bool HorzBarShown() const { return HorzBarShown_; }
    /// The band of `row` in client coordinates; rows above the top row lie above 0.
    TRect RowRect(std::int32_t row) const;
    /// The row under a client point, or -1 below the last row, above the top
    /// row, left of 0 or right of the column's end.
    std::int32_t RowAt(std::int32_t x, std::int32_t y) const;
    /// Never below the top row and never past the last row.
    std::int32_t LastFullyVisibleRow() const;
    /// At least 1.
    std::int32_t PageHeight() const;
    /// 0 when every row fits.
    std::int32_t LargestTopRow() const;
    std::int32_t VertScrollPosition() const;
    std::int32_t MaxHorzOffset() const;

    void InvalidateRow(std::int32_t row);
    void InvalidateGrid();

    // What the platform delivers. The virtual ones are the notifications a
    // subclass extends; it runs the grid's version first.
    virtual void KeyDown(std::uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    /// A press with ssDouble in `shift` is the second press of a double click.
    virtual void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
    void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// Positive `delta` turns the wheel away from the user (rows go up).
    void MouseWheel(std::int32_t delta);
    void TimerTick();
    /// Another window took the mouse.
    void CancelMode();
    void Scroll(TScrollBarKind kind, TScrollCode code, std::int32_t position);
    void FocusChanged(bool gained);
    /// The window's size changed.
    virtual void Resized();
    /// Paints the rows that meet `area` and fills the rest of it with Color.
    void Paint(TCanvas& canvas, const TRect& area);

    /// Raised when the control receives the keyboard focus.
    std::function<void(TCustomGrid& sender)> OnEnter;
    std::function<void(TCustomGrid& sender)> OnDblClick;
    std::function<void(TCustomGrid& sender, std::uint16_t& key, TShiftState shift)> OnKeyDown;
    std::function<void(TCustomGrid& sender, char& key)> OnKeyPress;
    std::function<void(TCustomGrid& sender, TMouseButton button, TShiftState shift, std::int32_t x,
                       std::int32_t y)>
        OnMouseDown;

protected:
    void RowMoved(std::int32_t oldRow) override;
    void RowCountChanged(std::int32_t oldCount) override;

    /// The row painter; the grid's own draws nothing (default drawing is off).
    virtual void DrawCell(TCanvas& canvas, std::int32_t row, const TRect& rect,
                          TGridDrawState state) {}
    /// Raises OnDblClick.
    virtual void DblClick();
    virtual void FontChanged() { InvalidateGrid(); }
    /// Scroll ranges need recomputing (the rows, their height or the column changed).
    void UpdateScrollRange();

    // --- the platform ---------------------------------------------------
    virtual void InvalidateRect(const TRect& rect) {}
    /// Moves the painted contents by (dx, dy) pixels; the platform repaints
    /// what is uncovered.
    virtual void ScrollContents(std::int32_t dx, std::int32_t dy) {}
    /// `max` 0 hides the bar; the minimum is always 0.
    virtual void SetScrollBar(TScrollBarKind kind, bool visible, std::int32_t max,
                              std::int32_t position) {}
    virtual void StartTimer() {}
    virtual void KillTimer() {}
    virtual bool CanFocus() const { return true; }
    virtual bool Focused() const { return false; }
    /// Asks for the keyboard focus; FocusChanged(true) arrives before it returns
    /// when the platform grants it.
    virtual void TakeFocus() {}
    /// The client area without any scroll bar.
    virtual TPoint WindowClientSize() const { return {}; }
    /// Width of the vertical bar and height of the horizontal one.
    virtual TPoint ScrollBarExtent() const { return {}; }
    /// The mouse pointer in client coordinates.
    virtual TPoint CursorPos() const { return {}; }
    /// A canvas holding the control's font for measuring; none without a window.
    virtual TCanvas* MeasureCanvas() { return nullptr; }
    virtual void Beep() {}

private:
    void MoveTopRow(std::int32_t row);
    void SetHorzOffset(std::int32_t offset);
    void BringIntoView();
    void SelectingMoveTo(std::int32_t x, std::int32_t y);
    void UpdateScrollBars();
    std::int32_t FullRows(std::int32_t height) const;
    std::int32_t LargestTopRowFor(std::int32_t height) const;

    std::int32_t TopRow_ = 0;
    std::int32_t HorzOffset_ = 0;
    std::int32_t RowHeight_ = 24;
    std::int32_t ColWidth_ = 64;
    TScrollStyle ScrollBars_ = TScrollStyle::ssBoth;
    TColor Color_ = clWindow;
    TFont Font_{"", -11};
    TGridState State_ = TGridState::gsNormal;
    std::int32_t WheelAccumulator_ = 0;
    bool VertBarShown_ = false;
    bool HorzBarShown_ = false;
    bool UpdatingRange_ = false;
};

} // namespace virevi
