#include "outline/row_cursor.h"

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

class RowCursorTest : public testing::Test {
protected:
    RowCursorTest() {
        Cursor.OnClick = [this](TRowCursor&) { ++Clicks; };
    }
    TRowCursor Cursor;
    int Clicks = 0;
};

TEST_F(RowCursorTest, RowCountZeroLeavesOneRow) {
    Cursor.SetRowCount(0);
    EXPECT_EQ(Cursor.RowCount(), 1);
    EXPECT_EQ(Cursor.Row(), 0);
}

TEST_F(RowCursorTest, ShrinkingMovesCurrentRowWithoutClick) {
    Cursor.SetRowCount(10);
    Cursor.SetRow(7);
    Clicks = 0;
    Cursor.SetRowCount(4);
    EXPECT_EQ(Cursor.Row(), 3);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(RowCursorTest, SettingTheSameRowRaisesNoClick) {
    Cursor.SetRowCount(5);
    Cursor.SetRow(2);
    EXPECT_EQ(Clicks, 1);
    Cursor.SetRow(2);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(RowCursorTest, PlainMoveRaisesNoClick) {
    Cursor.SetRowCount(5);
    Cursor.PlainMove(4);
    EXPECT_EQ(Cursor.Row(), 4);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(RowCursorTest, RowOutsideRowsRaisesAndChangesNothing) {
    Cursor.SetRowCount(3);
    Cursor.SetRow(1);
    for (const std::int32_t row : {3, -1}) {
        try {
            Cursor.SetRow(row);
            FAIL() << row;
        } catch (const EInvalidGridOperation& error) {
            EXPECT_EQ(error.Message(), msg::SGridIndexOutOfRange);
        }
        EXPECT_EQ(Cursor.Row(), 1);
    }
    EXPECT_EQ(Clicks, 1);
}

} // namespace
} // namespace virevi
