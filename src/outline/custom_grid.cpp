#include "outline/custom_grid.h"

#include <algorithm>
#include <cstdlib>

namespace virevi {

// --- geometry ---------------------------------------------------------------

std::int32_t TCustomGrid::ClientWidth() const {
    const std::int32_t width = WindowClientSize().X - (VertBarShown_ ? ScrollBarExtent().X : 0);
    return std::max(0, width);
}

std::int32_t TCustomGrid::ClientHeight() const {
    const std::int32_t height = WindowClientSize().Y - (HorzBarShown_ ? ScrollBarExtent().Y : 0);
    return std::max(0, height);
}

TRect TCustomGrid::RowRect(std::int32_t row) const {
    const std::int32_t top = (row - TopRow_) * RowHeight_;
    return {-HorzOffset_, top, ColWidth_ - HorzOffset_, top + RowHeight_};
}

std::int32_t TCustomGrid::RowAt(std::int32_t x, std::int32_t y) const {
    if (y < 0 || RowHeight_ <= 0) {
        return -1;
    }
    const std::int32_t columnX = x + HorzOffset_;
    if (columnX < 0 || columnX >= ColWidth_) {
        return -1;
    }
    const std::int32_t row = TopRow_ + y / RowHeight_;
    return row < RowCount() ? row : -1;
}

std::int32_t TCustomGrid::FullRows(std::int32_t height) const {
    return RowHeight_ <= 0 ? RowCount() : height / RowHeight_;
}

std::int32_t TCustomGrid::LastFullyVisibleRow() const {
    // A client lower than one row still counts the top row as its page.
    const std::int32_t last = TopRow_ + std::max(1, FullRows(ClientHeight())) - 1;
    return std::min(last, RowCount() - 1);
}

std::int32_t TCustomGrid::PageHeight() const {
    return std::max(1, LastFullyVisibleRow() - TopRow_);
}

std::int32_t TCustomGrid::LargestTopRowFor(std::int32_t height) const {
    return std::max(0, RowCount() - std::max(1, FullRows(height)));
}

std::int32_t TCustomGrid::LargestTopRow() const {
    return LargestTopRowFor(ClientHeight());
}

std::int32_t TCustomGrid::VertScrollPosition() const {
    const std::int32_t largest = LargestTopRow();
    return largest == 0 ? 0 : MulDiv(TopRow_, VertScrollMax, largest);
}

std::int32_t TCustomGrid::MaxHorzOffset() const {
    return std::max(0, ColWidth_ - ClientWidth());
}

// --- properties -------------------------------------------------------------

void TCustomGrid::SetDefaultRowHeight(std::int32_t height) {
    if (height == RowHeight_) {
        return;
    }
    RowHeight_ = height;
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetColWidth(std::int32_t width) {
    if (width == ColWidth_) {
        return;
    }
    ColWidth_ = width;
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
    if (value == ScrollBars_) {
        return;
    }
    ScrollBars_ = value;
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetColor(TColor value) {
    if (value == Color_) {
        return;
    }
    Color_ = value;
    InvalidateGrid();
}

void TCustomGrid::SetFont(const TFont& value) {
    Font_ = value;
    if (TCanvas* canvas = MeasureCanvas()) {
        canvas->SetFont(Font_);
    }
    FontChanged();
}

void TCustomGrid::SetTopRow(std::int32_t row) {
    MoveTopRow(row);
}

// --- repainting and scrolling -------------------------------------------------

void TCustomGrid::InvalidateRow(std::int32_t row) {
    const TRect band = RowRect(row);
    if (band.Bottom <= 0 || band.Top >= ClientHeight()) {
        return;
    }
    InvalidateRect({0, band.Top, ClientWidth(), band.Bottom});
}

void TCustomGrid::InvalidateGrid() {
    InvalidateRect({0, 0, ClientWidth(), ClientHeight()});
}

void TCustomGrid::MoveTopRow(std::int32_t row) {
    row = std::clamp(row, 0, LargestTopRow());
    if (row == TopRow_) {
        return;
    }
    const std::int64_t distance = static_cast<std::int64_t>(TopRow_ - row) * RowHeight_;
    TopRow_ = row;
    if (std::llabs(distance) >= ClientHeight()) {
        InvalidateGrid();
    } else {
        ScrollContents(0, static_cast<std::int32_t>(distance));
    }
    UpdateScrollBars();
}

void TCustomGrid::SetHorzOffset(std::int32_t offset) {
    offset = std::clamp(offset, 0, MaxHorzOffset());
    if (offset == HorzOffset_) {
        return;
    }
    const std::int32_t distance = HorzOffset_ - offset;
    HorzOffset_ = offset;
    if (std::abs(distance) >= ClientWidth()) {
        InvalidateGrid();
    } else {
        ScrollContents(distance, 0);
    }
    UpdateScrollBars();
}

void TCustomGrid::BringIntoView() {
    const std::int32_t row = Row();
    if (row < TopRow_) {
        MoveTopRow(row);
    } else if (row > LastFullyVisibleRow()) {
        MoveTopRow(row - std::max(1, FullRows(ClientHeight())) + 1);
    }
}

void TCustomGrid::RowMoved(std::int32_t oldRow) {
    BringIntoView();
    InvalidateRow(oldRow);
    InvalidateRow(Row());
}

void TCustomGrid::RowCountChanged(std::int32_t oldCount) {
    const std::int32_t first = std::max(std::min(oldCount, RowCount()), TopRow_);
    const std::int32_t top = RowRect(first).Top;
    if (top < ClientHeight()) {
        InvalidateRect({0, top, ClientWidth(), ClientHeight()});
    }
    UpdateScrollRange();
}

void TCustomGrid::UpdateScrollRange() {
    const bool wantsVert =
        ScrollBars_ == TScrollStyle::ssVertical || ScrollBars_ == TScrollStyle::ssBoth;
    const bool wantsHorz =
        ScrollBars_ == TScrollStyle::ssHorizontal || ScrollBars_ == TScrollStyle::ssBoth;
    // Decided from the area without bars, so a bar that is no longer needed
    // goes away instead of keeping the space that made it needed.
    const TPoint full = WindowClientSize();
    const TPoint extent = ScrollBarExtent();
    bool vert = wantsVert && LargestTopRowFor(full.Y) > 0;
    bool horz = wantsHorz && ColWidth_ > full.X - (vert ? extent.X : 0);
    if (horz && wantsVert && !vert && LargestTopRowFor(full.Y - extent.Y) > 0) {
        vert = true;
    }
    const bool sizeChanged = vert != VertBarShown_ || horz != HorzBarShown_;
    VertBarShown_ = vert;
    HorzBarShown_ = horz;
    if (TopRow_ > LargestTopRow()) {
        MoveTopRow(LargestTopRow());
    }
    if (HorzOffset_ > MaxHorzOffset()) {
        SetHorzOffset(MaxHorzOffset());
    }
    UpdateScrollBars();
    if (sizeChanged && !UpdatingRange_) {
        // The client area changed as a resize of the window would change it.
        UpdatingRange_ = true;
        InvalidateGrid();
        Resized();
        UpdatingRange_ = false;
    }
}

void TCustomGrid::UpdateScrollBars() {
    const std::int32_t largest = LargestTopRow();
    SetScrollBar(TScrollBarKind::sbVertical, VertBarShown_, largest > 0 ? VertScrollMax : 0,
                 VertScrollPosition());
    SetScrollBar(TScrollBarKind::sbHorizontal, HorzBarShown_, MaxHorzOffset(), HorzOffset_);
}

void TCustomGrid::Resized() {
    UpdateScrollRange();
}

// --- keys ---------------------------------------------------------------------

void TCustomGrid::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(*this, key, shift);
    }
    const bool ctrl = (shift & ssCtrl) != 0;
    std::int32_t top = TopRow_;
    std::int32_t row = Row();
    switch (key) {
    case VK_UP:
        ctrl ? --top : --row;
        break;
    case VK_DOWN:
        ctrl ? ++top : ++row;
        break;
    case VK_PRIOR:
        if (ctrl) {
            row = TopRow_;
        } else {
            row -= PageHeight();
            top -= PageHeight();
        }
        break;
    case VK_NEXT:
        if (ctrl) {
            row = LastFullyVisibleRow();
        } else {
            row += PageHeight();
            top += PageHeight();
        }
        break;
    case VK_HOME:
        if (ctrl) {
            row = 0;
        }
        break;
    case VK_END:
        if (ctrl) {
            row = RowCount() - 1;
        }
        break;
    default:
        return;
    }
    MoveTopRow(top);
    row = std::clamp(row, 0, RowCount() - 1);
    if (row != Row()) {
        FocusMove(row);
    }
}

void TCustomGrid::KeyPress(char& key) {
    if (OnKeyPress) {
        OnKeyPress(*this, key);
    }
    if (key == '\r') {
        key = 0;
    }
}

// --- mouse, wheel and timer -------------------------------------------------

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x,
                            std::int32_t y) {
    if (button == TMouseButton::mbLeft) {
        if (!Focused() && CanFocus()) {
            TakeFocus();
            if (!Focused()) {
                return;
            }
        }
        if ((shift & ssDouble) != 0) {
            DblClick();
        } else if (const std::int32_t row = RowAt(x, y); row >= 0) {
            State_ = TGridState::gsSelecting;
            StartTimer();
            PlainMove(row);
        }
    }
    if (OnMouseDown) {
        OnMouseDown(*this, button, shift, x, y);
    }
}

void TCustomGrid::SelectingMoveTo(std::int32_t x, std::int32_t y) {
    const std::int32_t row = RowAt(x, y);
    if (row >= 0 && row <= LastFullyVisibleRow() + 1 && row != Row()) {
        PlainMove(row);
    }
}

void TCustomGrid::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
    if (State_ == TGridState::gsSelecting) {
        SelectingMoveTo(x, y);
    }
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
    // Only the button that started the selecting ends it.
    if (button != TMouseButton::mbLeft || State_ != TGridState::gsSelecting) {
        return;
    }
    SelectingMoveTo(x, y);
    KillTimer();
    State_ = TGridState::gsNormal;
    Click();
}

void TCustomGrid::TimerTick() {
    if (State_ != TGridState::gsSelecting) {
        return;
    }
    const TPoint pointer = CursorPos();
    const std::int32_t lastBottom = RowRect(LastFullyVisibleRow()).Bottom;
    if (pointer.Y < 0 && Row() > 0) {
        PlainMove(Row() - 1);
    } else if (pointer.Y >= lastBottom && Row() < RowCount() - 1) {
        PlainMove(Row() + 1);
    }
}

void TCustomGrid::CancelMode() {
    if (State_ != TGridState::gsSelecting) {
        return;
    }
    KillTimer();
    State_ = TGridState::gsNormal;
}

void TCustomGrid::MouseWheel(std::int32_t delta) {
    WheelAccumulator_ += delta;
    while (WheelAccumulator_ >= WheelDelta) {
        WheelAccumulator_ -= WheelDelta;
        if (Row() > 0) {
            FocusMove(Row() - 1);
        }
    }
    while (WheelAccumulator_ <= -WheelDelta) {
        WheelAccumulator_ += WheelDelta;
        if (Row() < RowCount() - 1) {
            FocusMove(Row() + 1);
        }
    }
}

void TCustomGrid::DblClick() {
    if (OnDblClick) {
        OnDblClick(*this);
    }
}

// --- scroll bars ------------------------------------------------------------

void TCustomGrid::Scroll(TScrollBarKind kind, TScrollCode code, std::int32_t position) {
    if (!Focused() && CanFocus()) {
        TakeFocus();
    }
    if (kind == TScrollBarKind::sbVertical) {
        std::int32_t top = TopRow_;
        switch (code) {
        case TScrollCode::scLineUp:
            --top;
            break;
        case TScrollCode::scLineDown:
            ++top;
            break;
        case TScrollCode::scPageUp:
            top -= std::max(1, FullRows(ClientHeight()) - 1);
            break;
        case TScrollCode::scPageDown:
            top = std::max(LastFullyVisibleRow(), TopRow_ + 1);
            break;
        case TScrollCode::scPosition:
            top = MulDiv(position, LargestTopRow(), VertScrollMax);
            break;
        case TScrollCode::scTop:
            top = 0;
            break;
        case TScrollCode::scBottom:
            top = LargestTopRow();
            break;
        default:
            return;
        }
        MoveTopRow(top);
        return;
    }
    std::int32_t offset = HorzOffset_;
    switch (code) {
    case TScrollCode::scLineUp:
    case TScrollCode::scLineDown: {
        TCanvas* canvas = MeasureCanvas();
        const std::int32_t step = canvas != nullptr ? canvas->TextWidth("0") : 8;
        offset += code == TScrollCode::scLineUp ? -step : step;
        break;
    }
    case TScrollCode::scPageUp:
        offset -= ClientWidth();
        break;
    case TScrollCode::scPageDown:
        offset += ClientWidth();
        break;
    case TScrollCode::scPosition:
        offset = position;
        break;
    case TScrollCode::scTop:
        offset = 0;
        break;
    case TScrollCode::scBottom:
        offset = MaxHorzOffset();
        break;
    default:
        return;
    }
    SetHorzOffset(offset);
}

void TCustomGrid::FocusChanged(bool gained) {
    if (gained && OnEnter) {
        OnEnter(*this);
    }
    InvalidateRow(Row());
}

// --- painting ---------------------------------------------------------------

void TCustomGrid::Paint(TCanvas& canvas, const TRect& area) {
    const std::int32_t width = ClientWidth();
    const std::int32_t height = ClientHeight();
    const auto meets = [&area](const TRect& rect) {
        return rect.Left < area.Right && area.Left < rect.Right && rect.Top < area.Bottom &&
               area.Top < rect.Bottom;
    };
    std::int32_t y = 0;
    const std::int32_t left = -HorzOffset_;
    const std::int32_t right = ColWidth_ - HorzOffset_;
    for (std::int32_t row = TopRow_; row < RowCount() && y < height; ++row, y += RowHeight_) {
        const TRect cell{left, y, right, y + RowHeight_};
        if (!cell.Empty() && meets(cell)) {
            TGridDrawState state = 0;
            if (row == Row()) {
                state = Focused() ? gdSelected | gdFocused : gdSelected;
            }
            DrawCell(canvas, row, cell, state);
        }
        if (RowHeight_ <= 0) {
            break;
        }
    }
    if (right < width) {
        canvas.FillRect({std::max(right, 0), 0, width, std::min(y, height)}, Color_);
    }
    if (y < height) {
        canvas.FillRect({0, y, width, height}, Color_);
    }
}

} // namespace virevi
