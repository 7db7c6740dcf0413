// The outline's answers to the mouse and the keyboard, with the OnClick
// counts the main window relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outline/custom_outline.h"
#include "outline/hooked_grid.h"
#include "outline/outline_test_support.h"

namespace virevi {
namespace {

using test::Build;
using test::Rows;

class TTestOutline : public test::THooked<TCustomOutline> {
public:
    TTestOutline() {
        SetFont({"Gothic", -13});
        HasFocus = true;
    }
};

// Rows of 16 pixels: P (A (X), B), Q (C), with P and A expanded.
class OutlineInputTest : public testing::Test {
protected:
    OutlineInputTest() {
        Build(Outline, "1P 2A 3X 2B 1Q 2C");
        Outline.ItemAt(1)->SetExpanded(true);
        Outline.ItemAt(2)->SetExpanded(true);
        Outline.OnClick = [this](TRowCursor&) { ++Clicks; };
    }
    void Select(std::int32_t index) {
        Outline.SetSelectedIndex(index);
        Clicks = 0;
    }
    void Click(std::int32_t x, std::int32_t y, TShiftState shift = 0) {
        Outline.MouseDown(TMouseButton::mbLeft, shift, x, y);
        Outline.MouseUp(TMouseButton::mbLeft, shift, x, y);
    }
    void Key(std::uint16_t key, TShiftState shift = 0) { Outline.KeyDown(key, shift); }
    void Char(char key) { Outline.KeyPress(key); }

    TTestOutline Outline;
    int Clicks = 0;
};

TEST_F(OutlineInputTest, ClickingTheSelectedRowClicksOnce) {
    Select(2);
    Click(40, 16 + 5);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outline.SelectedIndex(), 2);
}

TEST_F(OutlineInputTest, ClickBelowTheRowsOrRightOfTheColumnClicksNothing) {
    Select(2);
    Click(40, 16 * 6 + 1);
    Click(Outline.ColWidth(), 5);
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(Outline.SelectedIndex(), 2);
}

TEST_F(OutlineInputTest, DoubleClickSelectsThenToggles) {
    Select(1);
    Click(40, 16 * 4 + 5);
    Click(40, 16 * 4 + 5, ssDouble);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Rows(Outline), "P A X B Q C");
    Click(40, 16 * 9, ssDouble);
    EXPECT_EQ(Rows(Outline), "P A X B Q");
    EXPECT_EQ(Outline.SelectedIndex(), 5);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(OutlineInputTest, PressSelectsTheRowWithoutAClickUntilRelease) {
    Select(1);
    Outline.MouseDown(TMouseButton::mbLeft, 0, 40, 16 * 3 + 5);
    EXPECT_EQ(Outline.SelectedNode(), Outline.ItemAt(4));
    EXPECT_EQ(Clicks, 0);
    Outline.MouseMove(0, 40, 16 * 4 + 5);
    Outline.MouseUp(TMouseButton::mbLeft, 0, 40, 16 * 4 + 5);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outline.SelectedIndex(), 5);
}

struct TKeyCase {
    const char* Name;
    std::int32_t Selected;
    std::uint16_t Key;
    TShiftState Shift;
    std::int32_t NewSelected, Clicks, Beeps;
};

class OutlineKeyTest : public OutlineInputTest, public testing::WithParamInterface<TKeyCase> {};

TEST_P(OutlineKeyTest, SelectsAsTheTableSays) {
    const TKeyCase& c = GetParam();
    Select(c.Selected);
    Key(c.Key, c.Shift);
    EXPECT_EQ(Outline.SelectedIndex(), c.NewSelected);
    EXPECT_EQ(Clicks, c.Clicks);
    EXPECT_EQ(Outline.Beeps, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, OutlineKeyTest,
    testing::Values(TKeyCase{"LeftOnAChildSelectsItsParent", 3, VK_LEFT, 0, 2, 1, 0},
                    TKeyCase{"LeftOnATopLevelItemBeeps", 5, VK_LEFT, 0, 5, 0, 1},
                    TKeyCase{"RightOnAnExpandedParent", 1, VK_RIGHT, 0, 2, 1, 0},
                    TKeyCase{"RightOnACollapsedParentBeeps", 5, VK_RIGHT, 0, 5, 0, 1},
                    TKeyCase{"RightOnALeafBeeps", 3, VK_RIGHT, ssCtrl, 3, 0, 1},
                    TKeyCase{"EndSelectsTheDeepestLastShown", 1, VK_END, 0, 5, 1, 0},
                    TKeyCase{"HomeSelectsTheFirst", 4, VK_HOME, 0, 1, 1, 0},
                    TKeyCase{"CtrlHome", 4, VK_HOME, ssCtrl, 1, 1, 0},
                    TKeyCase{"DownMovesOneRow", 2, VK_DOWN, 0, 3, 1, 0},
                    TKeyCase{"CtrlDownToTheNextSibling", 2, VK_DOWN, ssCtrl, 4, 1, 0},
                    TKeyCase{"CtrlDownOnTheLastChildBeeps", 4, VK_DOWN, ssCtrl, 4, 0, 1},
                    TKeyCase{"CtrlUpToThePreviousSibling", 5, VK_UP, ssCtrl, 1, 1, 0},
                    TKeyCase{"CtrlUpOnAFirstChildBeeps", 2, VK_UP, ssCtrl, 2, 0, 1},
                    TKeyCase{"OtherKeyKeepsTheSelection", 2, 'A', 0, 2, 0, 0}),
    [](const testing::TestParamInfo<TKeyCase>& info) { return info.param.Name; });

TEST_F(OutlineInputTest, CtrlUpScrollsFirstThenSelectsOrBeeps) {
    Outline.Client = {200, 32}; // two rows
    Outline.SetSelectedIndex(4);
    Select(3);
    ASSERT_EQ(Outline.TopRow(), 2);
    Key(VK_UP, ssCtrl);
    EXPECT_EQ(Outline.Beeps, 1) << "X is the first child of A";
    EXPECT_EQ(Outline.SelectedIndex(), 3);
    EXPECT_EQ(Outline.TopRow(), 1);
    EXPECT_EQ(Clicks, 0);
    Select(4);
    Outline.SetTopRow(3);
    Key(VK_UP, ssCtrl);
    EXPECT_EQ(Outline.SelectedIndex(), 2) << "the previous sibling of B is A";
    EXPECT_EQ(Outline.TopRow(), 1);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(OutlineInputTest, EnterAndCharactersExpandWithoutClick) {
    Select(5);
    Key(VK_RETURN);
    EXPECT_EQ(Rows(Outline), "P A X B Q C");
    char enter = '\r';
    Outline.KeyPress(enter);
    EXPECT_EQ(Rows(Outline), "P A X B Q C") << "the Enter character is swallowed";
    Char('-');
    EXPECT_EQ(Rows(Outline), "P A X B Q");
    Char('+');
    EXPECT_EQ(Rows(Outline), "P A X B Q C");
    Select(1);
    Char('-');
    Char('*');
    EXPECT_EQ(Rows(Outline), "P A X B Q C");
    EXPECT_EQ(Clicks, 0);
}

TEST_F(OutlineInputTest, CtrlKeypadStarExpandsAboveAndMovesTheRow) {
    Outline.ItemAt(1)->SetExpanded(false);
    Select(5);
    Key(VK_MULTIPLY, ssCtrl);
    EXPECT_EQ(Rows(Outline), "P A X B Q C");
    EXPECT_EQ(Outline.Row(), 4);
    EXPECT_EQ(Outline.SelectedIndex(), 5);
    EXPECT_GE(Clicks, 1);
}

TEST_F(OutlineInputTest, EmptyOutlineClickStillClicks) {
    Outline.ClearItems();
    Click(5, 5);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outline.SelectedIndex(), 0);
    Key(VK_DOWN);
    Char('+');
    EXPECT_EQ(Outline.SelectedIndex(), 0);
}

// A subclass that watches the expand steps through an override, and says so,
// gets one call per item that ExpandAll opens with no event assigned.
class TWatchingOutline : public TCustomOutline {
public:
    std::vector<std::int32_t> Expanded;
    void NotifyExpand(std::int32_t index) override { Expanded.push_back(index); }
    bool WatchesExpandSteps() const override { return true; }
};

TEST(OutlineExpandAllTest, OverridingSubclassSeesEveryStep) {
    TWatchingOutline outline;
    Build(outline, "1P 2A 3X 2B 1Q 2C 1R");
    outline.ExpandAll();
    EXPECT_EQ(outline.Expanded, (std::vector<std::int32_t>{1, 2, 5}));
}

} // namespace
} // namespace virevi
