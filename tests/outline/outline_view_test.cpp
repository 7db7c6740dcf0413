// The outline's rows as drawn on a recording canvas with fixed metrics
// (7 pixels a byte, 13 a line), in the main window's settings: a 13-pixel
// font, rows of 16, clCream.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "outline/custom_outline.h"
#include "outline/hooked_grid.h"
#include "outline/outline_test_support.h"
#include "runtime/errors.h"

namespace virevi {
namespace {

using test::Build;
using TOps = std::vector<std::string>;

class TTestOutline : public test::THooked<TCustomOutline> {
public:
    using TCustomOutline::UpdateColumnWidth;
    TTestOutline() {
        SetFont({"Gothic", -13});
        SetColor(clCream);
        SetItemHeight(16);
    }
};

class OutlineViewTest : public testing::Test {
protected:
    TOps DrawRow(std::int32_t row) {
        Canvas.Ops.clear();
        const TRect cell = Outline.RowRect(row);
        Outline.DrawCell(Canvas, row, cell, 0);
        return Canvas.Ops;
    }
    TTestOutline Outline;
    test::TRecordingCanvas Canvas;
};

TEST_F(OutlineViewTest, MainWindowFontGivesRowsOfSixteen) {
    EXPECT_EQ(Outline.FontPixelSize(), 13);
    EXPECT_EQ(Outline.DefaultRowHeight(), 16);
    EXPECT_EQ(Outline.ItemHeight(), 16);
    EXPECT_EQ(Outline.ColWidth(), 16) << "the root's own width";
}

TEST_F(OutlineViewTest, TwelvePointFontGivesNineteen) {
    Outline.SetFont({"Gothic", -16});
    EXPECT_EQ(Outline.FontPixelSize(), 16);
    EXPECT_EQ(Outline.DefaultRowHeight(), 19);
    Outline.SetItemHeight(30);
    EXPECT_EQ(Outline.ItemHeight(), 19);
    Outline.SetStyle(TOutlineType::otOwnerDraw);
    Outline.SetItemHeight(30);
    EXPECT_EQ(Outline.DefaultRowHeight(), 30);
    EXPECT_EQ(Outline.FontPixelSize(), 25);
}

TEST_F(OutlineViewTest, RowHeightTakesPointsAndPixelsAtTheScreensResolution) {
    class TScreenOutline : public TTestOutline {
    public:
        std::int32_t Ppi = 96;
        std::int32_t ScreenPixelsPerInch() const override { return Ppi; }
    };
    const struct {
        std::int32_t Ppi;
        std::int32_t Height;
        std::int32_t Pixels;
        std::int32_t Row;
    } cases[] = {
        {96, -13, 13, 16},  // 10 points
        {120, -13, 13, 16}, // 7.8 points, 8: 13.3 pixels
        {120, -16, 17, 20}, // 9.6 points, 10: 16.7 pixels, 20.4 a row
        {144, -16, 16, 19}, // 8 points
    };
    for (const auto& c : cases) {
        TScreenOutline outline;
        outline.Ppi = c.Ppi;
        outline.SetFont({"Gothic", c.Height});
        EXPECT_EQ(outline.FontPixelSize(), c.Pixels) << c.Ppi << " ppi, " << c.Height;
        EXPECT_EQ(outline.DefaultRowHeight(), c.Row) << c.Ppi << " ppi, " << c.Height;
    }
}

struct TWidthCase {
    const char* Name;
    TOutlineStyle Style;
    TOutlineOptions Options;
    std::int32_t Width;
};

class OutlineWidthTest : public OutlineViewTest, public testing::WithParamInterface<TWidthCase> {};

TEST_P(OutlineWidthTest, DisplayWidthOfALevelTwoItem) {
    Build(Outline, "1P 2abc");
    Outline.SetOutlineStyle(GetParam().Style);
    Outline.SetOptions(GetParam().Options);
    EXPECT_EQ(Outline.DisplayWidth(Outline.ItemAt(2)), GetParam().Width); // w = 21, H 16, V 1
}

INSTANTIATE_TEST_SUITE_P(
    Styles, OutlineWidthTest,
    testing::Values(
        TWidthCase{"Text", TOutlineStyle::osText, ooDrawTreeRoot, 38},
        TWidthCase{"PlusMinusText", TOutlineStyle::osPlusMinusText, 0, 54},
        TWidthCase{"PictureText", TOutlineStyle::osPictureText, 0, 54},
        TWidthCase{"PlusMinusPictureText", TOutlineStyle::osPlusMinusPictureText, 0, 70},
        TWidthCase{"TreeText", TOutlineStyle::osTreeText, ooDrawTreeRoot, 53},
        TWidthCase{"TreeTextNoRoot", TOutlineStyle::osTreeText, 0, 37},
        TWidthCase{"TreePictureText", TOutlineStyle::osTreePictureText, ooDrawTreeRoot, 69},
        TWidthCase{"TreePictureTextNoRoot", TOutlineStyle::osTreePictureText, 0, 53}),
    [](const testing::TestParamInfo<TWidthCase>& info) { return info.param.Name; });

TEST_F(OutlineViewTest, TopLevelCurrentRowAsInTheMainWindow) {
    Build(Outline, "1Top");
    Outline.HasFocus = true;
    EXPECT_EQ(DrawRow(0), (TOps{
                              "fill 0,0,53,16 cream",
                              "line 8,0-8,8 black",
                              "line 8,8-14,8 black",
                              "fill 31,0,54,16 highlight",
                              "text 31,0,54,16 at 31,1 'Top' on highlight in highlighttext",
                              "fill 16,1,29,14 cream",
                              "bitmap 13x13 to 16,1 clear #800080 px black/black",
                              "focus 31,0,54,16",
                          }));
}

TEST_F(OutlineViewTest, TreeLinesWithAndWithoutRoot) {
    Build(Outline, "1P 2A 2B 1Q");
    Outline.ItemAt(1)->SetExpanded(true);
    DrawRow(1);
    EXPECT_EQ(Canvas.Only("line"),
              (TOps{"line 8,16-8,32 black", "line 24,16-24,32 black", "line 24,24-30,24 black"}));
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 32,17 clear #800080 px black/black"});
    EXPECT_EQ(Canvas.Only("text"), TOps{"text 47,16,56,32 at 47,17 'A' on cream in windowtext"});
    DrawRow(2);
    EXPECT_EQ(Canvas.Only("line"),
              (TOps{"line 8,32-8,48 black", "line 24,32-24,40 black", "line 24,40-30,40 black"}));
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 16,1 clear #800080 px #00FFFF/#FFFFFF"})
        << "open folder";

    Outline.SetOptions(ooDrawFocusRect);
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("line"), TOps{});
    EXPECT_EQ(Canvas.Only("text"),
              TOps{"text 15,0,24,16 at 15,1 'P' on highlight in highlighttext"});
    DrawRow(1);
    EXPECT_EQ(Canvas.Only("line"), (TOps{"line 8,16-8,32 black", "line 8,24-14,24 black"}));
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 16,17 clear #800080 px black/black"});
}

TEST_F(OutlineViewTest, ExpandedChildlessItemShowsTheLeaf) {
    Build(Outline, "1P 1Q 2C");
    Outline.ItemAt(1)->SetExpanded(true);
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 16,1 clear #800080 px black/black"});
    DrawRow(1);
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 16,17 clear #800080 px #FFFFFF/black"})
        << "closed folder";
}

TEST_F(OutlineViewTest, PlusMinusPictureTextLeavesTheSlotOfALeafEmpty) {
    Build(Outline, "1P 2A");
    Outline.SetOutlineStyle(TOutlineStyle::osPlusMinusPictureText);
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("bitmap"), (TOps{"bitmap 13x13 to 0,1 clear #00BFBF px #00BFBF/#FFFFFF",
                                           "bitmap 13x13 to 16,1 clear #800080 px #FFFFFF/black"}));
    Outline.ItemAt(1)->SetExpanded(true);
    DrawRow(1);
    EXPECT_EQ(Canvas.Only("bitmap"), TOps{"bitmap 13x13 to 32,17 clear #800080 px black/black"});
    EXPECT_EQ(Canvas.Only("text"), TOps{"text 48,16,56,32 at 48,17 'A' on cream in windowtext"});
}

TEST_F(OutlineViewTest, EmptyCaptionAndEmptyOutlineGetNoHighlight) {
    EXPECT_EQ(DrawRow(0), TOps{"fill 0,0,16,16 cream"});
    Build(Outline, "1");
    Outline.HasFocus = true;
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("fill 31"), TOps{});
    EXPECT_EQ(Canvas.Only("text"), TOps{});
    EXPECT_EQ(Canvas.Only("focus"), TOps{});
}

TEST_F(OutlineViewTest, HighlightStaysWithoutFocusOnlyTheFocusRectGoes) {
    Build(Outline, "1a 1b");
    DrawRow(0);
    EXPECT_EQ(Canvas.Only("fill 31"), TOps{"fill 31,0,40,16 highlight"});
    EXPECT_EQ(Canvas.Only("focus"), TOps{});
}

TEST_F(OutlineViewTest, RowPastTheShownItemsIsDrawnEmpty) {
    Build(Outline, "1a 1b");
    EXPECT_EQ(DrawRow(2), TOps{"fill 0,32,39,48 cream"});
    EXPECT_THROW(Outline.ItemOnRow(2), EOutlineError);
}

TEST_F(OutlineViewTest, ColumnGrowsWithAWideCaptionAndShrinksOnCollapse) {
    Build(Outline, "1P 2" + std::string(40, 'x'));
    EXPECT_EQ(Outline.ColWidth(), 16 + 7 + 16);
    Outline.ItemAt(1)->SetExpanded(true);
    EXPECT_EQ(Outline.ColWidth(), 280 + 16 * 3);
    EXPECT_TRUE(Outline.HorzBarShown());
    Outline.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(Outline.ColWidth(), 39);
    EXPECT_FALSE(Outline.HorzBarShown());
}

TEST_F(OutlineViewTest, ColumnFollowsTheFontAndTakenItems) {
    Build(Outline, "1P 2" + std::string(40, 'x'));
    Outline.ItemAt(1)->SetExpanded(true);
    Outline.SetFont({"Gothic", -26}); // 20 points: F 27, H 32, V 2, 14 pixels a byte
    EXPECT_EQ(Outline.ColWidth(), 560 + 32 * 3 - 2 + 1);
    TTestOutline other;
    Build(other, "1" + std::string(50, 'y'));
    other.ItemAt(1)->SetText(std::string(50, 'y')); // measured in the other font
    Outline.TakeItems(other);
    EXPECT_EQ(Outline.ColWidth(), 700 + 32 * 2 - 2 + 1);
}

// The kept widths against a count from scratch after every kind of change.
TEST_F(OutlineViewTest, KeptColumnWidthMatchesAFullCount) {
    std::mt19937 random(7);
    const auto full = [&] {
        std::int32_t widest = Outline.DisplayWidth(Outline.RootItem());
        for (std::int32_t r = 0; r < Outline.RootItem()->ShownCount(); ++r) {
            widest = std::max(widest, Outline.DisplayWidth(Outline.ItemOnRow(r)));
        }
        return widest;
    };
    for (int step = 0; step < 400; ++step) {
        const std::int32_t total = Outline.TotalItems();
        const std::int32_t pick = total == 0 ? 0 : 1 + static_cast<std::int32_t>(random() % total);
        const std::string caption(random() % 12, 'c');
        switch (total == 0 ? 0 : random() % 7) {
        case 0:
            Outline.AddSibling(0, caption);
            break;
        case 1:
            Outline.AppendChild(pick, caption);
            break;
        case 2:
            if (Outline.ItemAt(pick)->IsShown()) {
                Outline.ItemAt(pick)->SetExpanded(!Outline.ItemAt(pick)->Expanded());
            }
            break;
        case 3:
            Outline.ItemAt(pick)->SetText(caption);
            break;
        case 4:
            if (total > 20) {
                Outline.DeleteItem(pick);
            }
            break;
        case 5:
            try {
                Outline.ItemAt(pick)->ShiftLevel(random() % 2 == 0 ? 1 : -1);
            } catch (const EOutlineError&) {
            }
            break;
        case 6:
            if (Outline.ItemAt(pick)->IsShown()) {
                Outline.ItemAt(pick)->ExpandAll();
            }
            break;
        }
        Outline.UpdateColumnWidth();
        ASSERT_EQ(Outline.ColWidth(), full()) << "step " << step;
    }
}

} // namespace
} // namespace virevi
