#pragma once
// The part of the row grid that the outline's model relies on: how many rows
// there are and which one is current.
#include <cstdint>
#include <functional>

namespace virevi {

class TRowCursor {
public:
    TRowCursor() = default;
    virtual ~TRowCursor() = default;
    TRowCursor(const TRowCursor&) = delete;
    TRowCursor& operator=(const TRowCursor&) = delete;

    /// Never below 1.
    std::int32_t RowCount() const { return RowCount_; }
    /// A value of 0 or less gives one row; a current row past the new end moves
    /// to the last row without a click notification.
    void SetRowCount(std::int32_t count);

    std::int32_t Row() const { return Row_; }
    /// Nothing when `row` is the current row; otherwise a focus move.
    void SetRow(std::int32_t row);

    /// Raises EInvalidGridOperation for a row outside the rows, changing nothing.
    void PlainMove(std::int32_t row);
    /// A plain move followed by the click notification.
    void FocusMove(std::int32_t row);

    /// The control's click event, raised by the base click notification.
    std::function<void(TRowCursor& sender)> OnClick;

protected:
    /// The click notification; runs synchronously inside the move that raised it.
    virtual void Click();
    /// After every move, also one that keeps the row; the grid brings the row
    /// into view and repaints `oldRow` and the new one.
    virtual void RowMoved(std::int32_t oldRow) {}
    /// After the row count changed (and the current row was clamped).
    virtual void RowCountChanged(std::int32_t oldCount) {}

private:
    std::int32_t RowCount_ = 1;
    std::int32_t Row_ = 0;
};

} // namespace virevi
