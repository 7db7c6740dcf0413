#include "outline/row_cursor.h"

#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

void TRowCursor::SetRowCount(std::int32_t count) {
    if (count == RowCount_) {
        return;
    }
    const std::int32_t oldCount = RowCount_;
    RowCount_ = count <= 0 ? 1 : count;
    if (Row_ >= RowCount_) {
        PlainMove(RowCount_ - 1);
    }
    RowCountChanged(oldCount);
}

void TRowCursor::SetRow(std::int32_t row) {
    if (row == Row_) {
        return;
    }
    FocusMove(row);
}

void TRowCursor::PlainMove(std::int32_t row) {
    if (row < 0 || row >= RowCount_) {
        throw EInvalidGridOperation(msg::SGridIndexOutOfRange);
    }
    const std::int32_t oldRow = Row_;
    Row_ = row;
    RowMoved(oldRow);
}

void TRowCursor::FocusMove(std::int32_t row) {
    PlainMove(row);
    Click();
}

void TRowCursor::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

} // namespace virevi
