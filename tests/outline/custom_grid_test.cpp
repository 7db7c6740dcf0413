#include "outline/custom_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outline/hooked_grid.h"
#include "runtime/errors.h"

namespace virevi {
namespace {

using test::THooked;

class TPaintedGrid : public TCustomGrid {
public:
    std::vector<std::string> Cells;

protected:
    void DrawCell(TCanvas&, std::int32_t row, const TRect& rect, TGridDrawState state) override {
        Cells.push_back(std::to_string(row) + " " + std::to_string(rect.Left) + "," +
                        std::to_string(rect.Top) + "," + std::to_string(rect.Right) + "," +
                        std::to_string(rect.Bottom) + " state " + std::to_string(state));
    }
};

// 100 rows of 16 pixels in a client 200 × 160: ten rows fit, the vertical
// bar takes 17 pixels of the width.
class GridTest : public testing::Test {
protected:
    GridTest() {
        Grid.OnClick = [this](TRowCursor&) { ++Clicks; };
        Grid.OnEnter = [this](TCustomGrid& grid) { EnteredAtTop.push_back(grid.TopRow()); };
        Grid.SetDefaultRowHeight(16);
        Grid.SetRowCount(100);
    }
    void Place(std::int32_t row, std::int32_t top) {
        Grid.PlainMove(row);
        Grid.SetTopRow(top);
        Clicks = 0;
    }
    void Press(std::int32_t x, std::int32_t y, TShiftState shift = 0) {
        Grid.MouseDown(TMouseButton::mbLeft, shift, x, y);
    }
    void Release(std::int32_t x, std::int32_t y) { Grid.MouseUp(TMouseButton::mbLeft, 0, x, y); }

    THooked<TPaintedGrid> Grid;
    int Clicks = 0;
    std::vector<std::int32_t> EnteredAtTop;
};

struct TKeyCase {
    const char* Name;
    std::int32_t Row, Top;
    std::uint16_t Key;
    TShiftState Shift;
    std::int32_t NewRow, NewTop, Clicks;
};

class GridKeyTest : public GridTest, public testing::WithParamInterface<TKeyCase> {};

TEST_P(GridKeyTest, MovesRowAndTopAsTheTableSays) {
    const TKeyCase& c = GetParam();
    Place(c.Row, c.Top);
    std::uint16_t key = c.Key;
    Grid.KeyDown(key, c.Shift);
    EXPECT_EQ(Grid.Row(), c.NewRow);
    EXPECT_EQ(Grid.TopRow(), c.NewTop);
    EXPECT_EQ(Clicks, c.Clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeyTest,
    testing::Values(TKeyCase{"DownMoves", 0, 0, VK_DOWN, 0, 1, 0, 1},
                    TKeyCase{"UpOnFirstRowDoesNothing", 0, 0, VK_UP, 0, 0, 0, 0},
                    TKeyCase{"DownOnLastRowDoesNothing", 99, 90, VK_DOWN, 0, 99, 90, 0},
                    TKeyCase{"DownPastThePageScrolls", 9, 0, VK_DOWN, 0, 10, 1, 1},
                    TKeyCase{"PageDown", 0, 0, VK_NEXT, 0, 9, 9, 1},
                    TKeyCase{"PageDownNearTheEnd", 95, 90, VK_NEXT, 0, 99, 90, 1},
                    TKeyCase{"PageUp", 20, 15, VK_PRIOR, 0, 11, 6, 1},
                    TKeyCase{"PageUpNearTheStart", 3, 1, VK_PRIOR, 0, 0, 0, 1},
                    TKeyCase{"CtrlDownScrollsOnly", 5, 0, VK_DOWN, ssCtrl, 5, 1, 0},
                    TKeyCase{"CtrlUpAtTheTop", 5, 0, VK_UP, ssCtrl, 5, 0, 0},
                    TKeyCase{"CtrlPageUpGoesToTopRow", 20, 15, VK_PRIOR, ssCtrl, 15, 15, 1},
                    TKeyCase{"CtrlPageDownGoesToLastVisible", 20, 15, VK_NEXT, ssCtrl, 24, 15, 1},
                    TKeyCase{"CtrlHome", 20, 15, VK_HOME, ssCtrl, 0, 0, 1},
                    TKeyCase{"CtrlEnd", 20, 15, VK_END, ssCtrl, 99, 90, 1},
                    TKeyCase{"HomeAloneDoesNothing", 20, 15, VK_HOME, 0, 20, 15, 0},
                    TKeyCase{"LeftDoesNothing", 20, 15, VK_LEFT, ssCtrl, 20, 15, 0}),
    [](const testing::TestParamInfo<TKeyCase>& info) { return info.param.Name; });

TEST_F(GridTest, VerticalBarPositionRoundsHalvesUp) {
    EXPECT_EQ(Grid.Vert.Max, 127);
    Grid.SetTopRow(45); // 45 × 127 ÷ 90 = 63.5
    EXPECT_EQ(Grid.Vert.Position, 64);
    Grid.SetTopRow(1);
    EXPECT_EQ(Grid.Vert.Position, 1);
    Grid.SetTopRow(500);
    EXPECT_EQ(Grid.TopRow(), 90);
    EXPECT_EQ(Grid.Vert.Position, 127);
}

struct TScrollCase {
    const char* Name;
    std::int32_t Top;
    TScrollCode Code;
    std::int32_t Position, NewTop;
};

class GridScrollTest : public GridTest, public testing::WithParamInterface<TScrollCase> {};

TEST_P(GridScrollTest, VerticalRequests) {
    const TScrollCase& c = GetParam();
    Grid.SetTopRow(c.Top);
    Grid.Scroll(TScrollBarKind::sbVertical, c.Code, c.Position);
    EXPECT_EQ(Grid.TopRow(), c.NewTop);
    EXPECT_EQ(Clicks, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, GridScrollTest,
    testing::Values(TScrollCase{"LineDown", 0, TScrollCode::scLineDown, 0, 1},
                    TScrollCase{"LineUpAtTheTop", 0, TScrollCode::scLineUp, 0, 0},
                    TScrollCase{"PageDownToLastVisible", 0, TScrollCode::scPageDown, 0, 9},
                    TScrollCase{"PageUpKeepsOldTopVisible", 20, TScrollCode::scPageUp, 0, 11},
                    TScrollCase{"PageDownAtTheEnd", 90, TScrollCode::scPageDown, 0, 90},
                    TScrollCase{"ThumbReleased", 0, TScrollCode::scPosition, 64, 45},
                    TScrollCase{"ThumbDraggedChangesNothing", 3, TScrollCode::scTrack, 64, 3},
                    TScrollCase{"Bottom", 0, TScrollCode::scBottom, 0, 90},
                    TScrollCase{"Top", 50, TScrollCode::scTop, 0, 0}),
    [](const testing::TestParamInfo<TScrollCase>& info) { return info.param.Name; });

TEST_F(GridTest, ScrollingScrollsTheContentsOrRepaintsWhenFar) {
    Grid.Scroll(TScrollBarKind::sbVertical, TScrollCode::scLineDown, 0);
    Grid.Scroll(TScrollBarKind::sbVertical, TScrollCode::scBottom, 0);
    EXPECT_EQ(Grid.Scrolls, (std::vector<std::string>{"0,-16"}));
}

TEST_F(GridTest, ScrollRequestTakesTheFocusBeforeScrolling) {
    Grid.Scroll(TScrollBarKind::sbVertical, TScrollCode::scLineDown, 0);
    EXPECT_EQ(EnteredAtTop, std::vector<std::int32_t>{0});
    EXPECT_EQ(Grid.TopRow(), 1);
}

TEST_F(GridTest, AllRowsVisibleGiveEmptyRanges) {
    Grid.SetRowCount(10);
    EXPECT_EQ(Grid.Vert.Max, 0);
    EXPECT_FALSE(Grid.Vert.Visible);
    EXPECT_EQ(Grid.Horz.Max, 0);
    EXPECT_EQ(Grid.ClientWidth(), 200);
}

TEST_F(GridTest, HorizontalRequestsAndNarrowingColumn) {
    Grid.SetColWidth(500);
    ASSERT_TRUE(Grid.HorzBarShown());
    EXPECT_EQ(Grid.ClientHeight(), 143);
    EXPECT_EQ(Grid.LargestTopRow(), 92);
    EXPECT_EQ(Grid.Horz.Max, 317);
    Grid.Scroll(TScrollBarKind::sbHorizontal, TScrollCode::scLineDown, 0);
    EXPECT_EQ(Grid.HorzOffset(), 7) << "the width of \"0\"";
    Grid.Scroll(TScrollBarKind::sbHorizontal, TScrollCode::scPageDown, 0);
    EXPECT_EQ(Grid.HorzOffset(), 190);
    Grid.Scroll(TScrollBarKind::sbHorizontal, TScrollCode::scBottom, 0);
    EXPECT_EQ(Grid.HorzOffset(), 317);
    EXPECT_EQ(Grid.RowAt(0, 0), 0);
    Grid.SetColWidth(300);
    EXPECT_EQ(Grid.HorzOffset(), 117);
    EXPECT_EQ(Grid.Horz.Position, 117);
    Grid.SetColWidth(100);
    EXPECT_EQ(Grid.HorzOffset(), 0);
    EXPECT_FALSE(Grid.HorzBarShown());
}

TEST_F(GridTest, HorizontalBarCanBringTheVerticalOne) {
    Grid.SetRowCount(10); // fits 160, not 143
    EXPECT_FALSE(Grid.VertBarShown());
    Grid.SetColWidth(210);
    EXPECT_TRUE(Grid.HorzBarShown());
    EXPECT_TRUE(Grid.VertBarShown());
    EXPECT_EQ(Grid.Vert.Max, 127);
}

TEST_F(GridTest, WheelStepsEveryFullTurn) {
    Place(5, 0);
    Grid.MouseWheel(-60);
    EXPECT_EQ(Grid.Row(), 5);
    Grid.MouseWheel(-60);
    EXPECT_EQ(Grid.Row(), 6);
    Grid.MouseWheel(240);
    EXPECT_EQ(Grid.Row(), 4);
    EXPECT_EQ(Clicks, 3);
    Place(0, 0);
    Grid.MouseWheel(120);
    EXPECT_EQ(Clicks, 0) << "no step above row 0";
}

struct TClickCase {
    const char* Name;
    std::int32_t Rows;
    std::int32_t PressX, PressY, ReleaseX, ReleaseY;
    std::int32_t NewRow, Clicks;
};

class GridClickTest : public GridTest, public testing::WithParamInterface<TClickCase> {};

TEST_P(GridClickTest, PressAndRelease) {
    const TClickCase& c = GetParam();
    Grid.SetRowCount(c.Rows);
    Place(2, 0);
    Press(c.PressX, c.PressY);
    Release(c.ReleaseX, c.ReleaseY);
    EXPECT_EQ(Grid.Row(), c.NewRow);
    EXPECT_EQ(Clicks, c.Clicks);
    EXPECT_EQ(Grid.State(), TGridState::gsNormal);
    EXPECT_FALSE(Grid.TimerOn);
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, GridClickTest,
    testing::Values(TClickCase{"OnTheCurrentRow", 5, 10, 40, 10, 40, 2, 1},
                    TClickCase{"OnAnotherRow", 5, 10, 70, 10, 70, 4, 1},
                    TClickCase{"BelowTheLastRow", 5, 10, 100, 10, 100, 2, 0},
                    TClickCase{"RightOfTheColumn", 5, 70, 40, 70, 40, 2, 0},
                    TClickCase{"DraggedToAnotherRow", 5, 10, 40, 10, 70, 4, 1},
                    TClickCase{"DraggedBelowTheRows", 5, 10, 40, 10, 150, 2, 1}),
    [](const testing::TestParamInfo<TClickCase>& info) { return info.param.Name; });

TEST_F(GridTest, PressTakesTheFocusBeforeMovingAndIsDroppedWithoutIt) {
    Press(10, 40);
    EXPECT_EQ(EnteredAtTop.size(), 1u);
    EXPECT_EQ(Grid.Row(), 2);
    Release(10, 40);
    Grid.HasFocus = false;
    Grid.GrantsFocus = false;
    Press(10, 70);
    Release(10, 70);
    EXPECT_EQ(Grid.Row(), 2);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(GridTest, CancelModeEndsSelectingWithoutClick) {
    Press(10, 40);
    EXPECT_TRUE(Grid.TimerOn);
    Grid.CancelMode();
    Release(10, 40);
    EXPECT_FALSE(Grid.TimerOn);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(GridTest, OnlyTheLeftReleaseEndsSelecting) {
    Press(10, 40);
    Grid.MouseUp(TMouseButton::mbRight, 0, 10, 70);
    Grid.MouseUp(TMouseButton::mbMiddle, 0, 10, 70);
    EXPECT_TRUE(Grid.TimerOn);
    EXPECT_EQ(Clicks, 0);
    Release(10, 70);
    EXPECT_FALSE(Grid.TimerOn);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Grid.Row(), 4);
}

TEST_F(GridTest, TimerTicksFollowThePointerPastTheEdges) {
    Place(0, 0);
    Press(10, 9 * 16 + 3);
    ASSERT_EQ(Grid.Row(), 9);
    Grid.Pointer = {10, 159};
    Grid.TimerTick();
    EXPECT_EQ(Grid.Row(), 9) << "still inside the last visible row";
    Grid.Pointer = {10, 160};
    Grid.TimerTick();
    EXPECT_EQ(Grid.Row(), 10);
    EXPECT_EQ(Grid.TopRow(), 1);
    Grid.Pointer = {10, -1};
    Grid.TimerTick();
    Grid.TimerTick();
    EXPECT_EQ(Grid.Row(), 8);
    EXPECT_EQ(Clicks, 0);
    Release(10, -1);
    EXPECT_EQ(Clicks, 1);
    Grid.TimerTick();
    EXPECT_EQ(Grid.Row(), 8) << "no ticks after the release";
}

TEST_F(GridTest, PaintsVisibleRowsInTheAreaAndFillsTheRest) {
    Grid.SetRowCount(3);
    Grid.SetColor(clCream);
    test::TRecordingCanvas canvas;
    Grid.Paint(canvas, {0, 0, 200, 160});
    EXPECT_EQ(Grid.Cells, (std::vector<std::string>{"0 0,0,64,16 state 1", "1 0,16,64,32 state 0",
                                                    "2 0,32,64,48 state 0"}));
    EXPECT_EQ(canvas.Ops,
              (std::vector<std::string>{"fill 64,0,200,48 cream", "fill 0,48,200,160 cream"}));
    Grid.Cells.clear();
    Grid.HasFocus = true;
    Grid.Paint(canvas, {0, 20, 10, 30});
    EXPECT_EQ(Grid.Cells, std::vector<std::string>{"1 0,16,64,32 state 0"});
    Grid.Cells.clear();
    Grid.Paint(canvas, {0, 0, 10, 10});
    EXPECT_EQ(Grid.Cells, std::vector<std::string>{"0 0,0,64,16 state 3"});
}

} // namespace
} // namespace virevi
