#include "outline/custom_outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outline/outline_test_support.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

using test::Build;
using test::Rows;
using test::Shape;

template <typename F> std::string ErrorOf(F&& action) {
    try {
        action();
        return "none";
    } catch (const Exception& error) {
        return error.Message();
    }
}

class OutlineTreeTest : public testing::Test {
protected:
    OutlineTreeTest() {
        Outline.OnClick = [this](TRowCursor&) { Events.push_back("click"); };
        Outline.OnExpand = [this](TCustomOutline&, std::int32_t index) {
            Events.push_back("expand " + std::to_string(index));
        };
        Outline.OnCollapse = [this](TCustomOutline&, std::int32_t index) {
            Events.push_back("collapse " + std::to_string(index));
        };
        Outline.OnShowError = [this](const std::exception& error) {
            Events.push_back(std::string("error ") + error.what());
        };
    }
    void Select(std::int32_t index) {
        Outline.SetSelectedIndex(index);
        Events.clear();
    }
    using TEvents = std::vector<std::string>;

    TCustomOutline Outline;
    TEvents Events;
};

TEST_F(OutlineTreeTest, EmptyOutlineRefusesPositions) {
    EXPECT_EQ(Outline.TotalItems(), 0);
    EXPECT_EQ(Outline.SelectedIndex(), 0);
    EXPECT_EQ(Outline.RowCount(), 1);
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(1); }), msg::SOutlineIndexNotFound);
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(0); }), msg::SOutlineBadIndex);
    EXPECT_EQ(ErrorOf([&] { Outline.SetSelectedIndex(0); }), msg::SOutlineSelection);
    EXPECT_EQ(ErrorOf([&] { Outline.DeleteItem(0); }), msg::SOutlineBadIndex);
    EXPECT_EQ(ErrorOf([&] { Outline.DeleteItem(1); }), msg::SOutlineIndexNotFound);
    EXPECT_EQ(ErrorOf([&] { Outline.AddSibling(-1, "x"); }), msg::SOutlineBadIndex);
    EXPECT_EQ(ErrorOf([&] { Outline.InsertBefore(-1, "x"); }), msg::SOutlineBadIndex);
}

TEST_F(OutlineTreeTest, AddingAtTheEndKeepsTheSelection) {
    Build(Outline, "1a 1b 1c 1d 1e");
    Select(3);
    EXPECT_EQ(Outline.AddSibling(0, " "), 6);
    EXPECT_EQ(Outline.SelectedIndex(), 3);
    EXPECT_EQ(Outline.InsertBefore(0, "z"), 7);
    EXPECT_EQ(Shape(Outline), "1a 1b 1c 1d 1e 1  1z");
    EXPECT_EQ(Events, TEvents{});
}

TEST_F(OutlineTreeTest, InsertingAboveTheSelectionFollowsTheSelectedItem) {
    Build(Outline, "1a 1b 1c 1d 1e");
    Select(3);
    EXPECT_EQ(Outline.InsertBefore(3, "n"), 3);
    EXPECT_EQ(Outline.ItemAt(4)->Text(), "c");
    EXPECT_EQ(Outline.SelectedIndex(), 4);
    EXPECT_EQ(Outline.Row(), 3);
    EXPECT_EQ(Events, TEvents{"click"});
}

TEST_F(OutlineTreeTest, AddingASiblingOfAChildAppendsUnderTheParent) {
    Build(Outline, "1P 2A 2B 1Q");
    EXPECT_EQ(Outline.AddSibling(2, "n"), 4);
    EXPECT_EQ(Shape(Outline), "1P 2A 2B 2n 1Q");
    EXPECT_EQ(Outline.InsertBefore(3, "m"), 3);
    EXPECT_EQ(Shape(Outline), "1P 2A 2m 2B 2n 1Q");
}

TEST_F(OutlineTreeTest, AddingBeyondTheLastItemShowsAndRaises) {
    Build(Outline, "1a 1b");
    EXPECT_EQ(ErrorOf([&] { Outline.AddSibling(3, "x"); }), msg::SOutlineIndexNotFound);
    EXPECT_EQ(Events, TEvents{std::string("error ") + msg::SOutlineIndexNotFound});
    EXPECT_EQ(Outline.TotalItems(), 2);
}

TEST_F(OutlineTreeTest, ItemAtLevel256CannotTakeAChild) {
    std::int32_t last = 0;
    for (int level = 1; level <= 256; ++level) {
        last = Outline.AppendChild(last, "x");
    }
    EXPECT_EQ(Outline.ItemAt(last)->Level(), 256);
    EXPECT_EQ(Outline.AppendChild(last, "y"), 0);
    EXPECT_EQ(Events, TEvents{std::string("error ") + msg::SOutlineMaxLevels});
    EXPECT_EQ(Outline.TotalItems(), 256);
    const std::int32_t top = Outline.AddSibling(0, "top");
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(top)->MoveItem(last, TAttachMode::amLastChild); }),
              msg::SOutlineMaxLevels);
    EXPECT_EQ(Outline.ItemAt(top)->Level(), 1);
}

TEST_F(OutlineTreeTest, DeletingRemovesTheWholeSubtree) {
    Build(Outline, "1P 2A 3a 3b 3c 2B");
    Outline.DeleteItem(2);
    EXPECT_EQ(Outline.TotalItems(), 2);
    EXPECT_EQ(Shape(Outline), "1P 2B");
}

struct TDeleteCase {
    const char* Name;
    const char* Tree;
    std::int32_t Selected;
    std::int32_t SelectedAfter;
    std::int32_t RowAfter;
    std::vector<std::string> Events;
};

class OutlineDeleteSelectedTest : public OutlineTreeTest,
                                  public testing::WithParamInterface<TDeleteCase> {};

TEST_P(OutlineDeleteSelectedTest, SelectionMovesAsItemLeaves) {
    const TDeleteCase& c = GetParam();
    Build(Outline, c.Tree);
    Outline.ItemAt(1)->SetExpanded(true);
    Select(c.Selected);
    Outline.DeleteItem(c.Selected);
    EXPECT_EQ(Outline.SelectedIndex(), c.SelectedAfter);
    EXPECT_EQ(Outline.Row(), c.RowAfter);
    EXPECT_EQ(Events, c.Events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutlineDeleteSelectedTest,
    testing::Values(
        TDeleteCase{"FollowingSiblingTakesItsPlace", "1P 2X 2Y 2Z 1Q", 3, 3, 2, {}},
        TDeleteCase{"LastChildGivesWayToPreviousSibling", "1P 2X 2Y 2Z 1Q", 4, 3, 2, {"click"}},
        TDeleteCase{
            "OnlyChildGivesWayToCollapsedParent", "1P 2X 1Q", 2, 1, 0, {"collapse 1", "click"}},
        TDeleteCase{"OnlyItemLeavesNothingSelected", "1X", 1, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(OutlineTreeTest, DeletingAnOnlyChildLeavesParentCollapsedAndChildless) {
    Build(Outline, "1P 2X 1Q");
    Outline.ItemAt(1)->SetExpanded(true);
    Outline.DeleteItem(2);
    TOutlineNode* parent = Outline.ItemAt(1);
    EXPECT_FALSE(parent->Expanded());
    EXPECT_FALSE(parent->HasChildren());
    EXPECT_EQ(Rows(Outline), "P Q");
}

struct TLevelCase {
    const char* Name;
    const char* Tree;
    std::int32_t Item;
    std::int32_t Level;
    const char* Error;
    const char* After;
};

class OutlineLevelTest : public OutlineTreeTest, public testing::WithParamInterface<TLevelCase> {};

TEST_P(OutlineLevelTest, LevelChangeMovesTheItem) {
    const TLevelCase& c = GetParam();
    Build(Outline, c.Tree);
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(c.Item)->SetLevel(c.Level); }), c.Error);
    EXPECT_EQ(Shape(Outline), c.After);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutlineLevelTest,
    testing::Values(
        TLevelCase{"LeftLandsAfterFormerParent", "1P 2A 2X 2B 1Q", 3, 1, "none", "1P 2A 2B 1X 1Q"},
        TLevelCase{"RightBecomesLastChildOfPrevious", "1P 2A 3a 2X 2B 1Q", 4, 3, "none",
                   "1P 2A 3a 3X 2B 1Q"},
        TLevelCase{"RightOnFirstChildIsRefused", "1P 2A 2X 2B 1Q", 2, 3, msg::SOutlineBadLevel,
                   "1P 2A 2X 2B 1Q"},
        TLevelCase{"LeftOfTopLevelIsRefused", "1P 2A 1Q", 1, 0, msg::SOutlineBadLevel, "1P 2A 1Q"},
        TLevelCase{"LastTopLevelChildGoesToTheEnd", "1P 2A 2X", 3, 1, "none", "1P 2A 1X"},
        TLevelCase{"TwoLeftKeepsSubtree", "1P 2A 3X 4x 3B 1Q", 3, 1, "none", "1P 2A 3B 1X 2x 1Q"},
        TLevelCase{"SecondRightStepRefusedKeepsFirst", "1a 1b 1c", 3, 3, msg::SOutlineBadLevel,
                   "1a 1b 2c"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(OutlineTreeTest, MovingOntoOwnSubtreeDoesNothing) {
    Build(Outline, "1P 2A 3a 1Q");
    TOutlineNode* p = Outline.ItemAt(1);
    EXPECT_EQ(ErrorOf([&] { p->MoveItem(3, TAttachMode::amLastChild); }), "none");
    EXPECT_EQ(ErrorOf([&] { p->MoveItem(2, TAttachMode::amBefore); }), "none");
    EXPECT_EQ(Shape(Outline), "1P 2A 3a 1Q");
    EXPECT_EQ(ErrorOf([&] { p->MoveItem(0, TAttachMode::amBefore); }), msg::SOutlineBadIndex);
    Outline.ItemAt(4)->MoveItem(2, TAttachMode::amBefore);
    EXPECT_EQ(Shape(Outline), "1P 2Q 2A 3a");
}

TEST_F(OutlineTreeTest, ExpandingChildlessItemShowsLaterChildAtOnce) {
    Build(Outline, "1a 1b");
    TOutlineNode* a = Outline.ItemAt(1);
    a->SetExpanded(true);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(Outline.RowCount(), 2);
    Outline.AppendChild(1, "c");
    EXPECT_EQ(Rows(Outline), "a c b");
    EXPECT_EQ(Outline.RowCount(), 3);
}

TEST_F(OutlineTreeTest, ExpandingUnderCollapsedParentIsRefused) {
    Build(Outline, "1P 2A 3a");
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(2)->SetExpanded(true); }), msg::SOutlineExpandParent);
    EXPECT_EQ(ErrorOf([&] { Outline.ItemAt(2)->ExpandAll(); }), msg::SOutlineExpandParent);
    EXPECT_FALSE(Outline.ItemAt(2)->Expanded());
    EXPECT_EQ(Events, TEvents{});
}

TEST_F(OutlineTreeTest, CollapsingCollapsesDescendantsAndReexpandShowsChildrenOnly) {
    Build(Outline, "1P 2A 3a 1Q");
    Outline.ItemAt(1)->SetExpanded(true);
    Outline.ItemAt(2)->SetExpanded(true);
    EXPECT_EQ(Rows(Outline), "P A a Q");
    Outline.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(Rows(Outline), "P Q");
    EXPECT_FALSE(Outline.ItemAt(2)->Expanded());
    Outline.ToggleExpanded(Outline.ItemAt(1));
    EXPECT_EQ(Rows(Outline), "P A Q");
    EXPECT_EQ(Events, (TEvents{"expand 1", "expand 2", "collapse 1", "expand 1"}));
}

TEST_F(OutlineTreeTest, CollapsingParentOfSelectionSelectsParent) {
    Build(Outline, "1P 2A 1Q");
    Outline.ItemAt(1)->SetExpanded(true);
    Select(2);
    Outline.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(Events, (TEvents{"click", "collapse 1"}));
    EXPECT_EQ(Outline.SelectedIndex(), 1);
    EXPECT_EQ(Outline.Row(), 0);
}

TEST_F(OutlineTreeTest, CollapsingParentOfSelectionOnTheLastRowClicksToo) {
    // The rows shrink under the current row, which lands on the parent's row:
    // the selection moved, so the click must come all the same.
    Build(Outline, "1Q 1P 2A");
    Outline.ItemAt(2)->SetExpanded(true);
    Select(3);
    Outline.ItemAt(2)->SetExpanded(false);
    EXPECT_EQ(Events, (TEvents{"click", "collapse 2"}));
    EXPECT_EQ(Outline.SelectedIndex(), 2);
    EXPECT_EQ(Outline.Row(), 1);
}

TEST_F(OutlineTreeTest, HandlersSeeRowsBeforeExpandAndAfterCollapse) {
    Build(Outline, "1P 2A 2B");
    std::vector<std::int32_t> seen;
    Outline.OnExpand = [&](TCustomOutline& sender, std::int32_t index) {
        seen.push_back(sender.ItemAt(index)->Expanded());
        seen.push_back(sender.RowCount());
    };
    Outline.OnCollapse = Outline.OnExpand;
    Outline.ItemAt(1)->SetExpanded(true);
    Outline.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1, 0, 1}));
}

TEST_F(OutlineTreeTest, ExpandAllRaisesOneExpandPerChangedItemInOrder) {
    Build(Outline, "1P 2A 3a 2B 1Q 2C");
    Select(5);
    Outline.ExpandAll();
    EXPECT_EQ(Events, (TEvents{"expand 1", "click", "expand 2", "click", "expand 5"}));
    EXPECT_EQ(Rows(Outline), "P A a B Q C");
    EXPECT_EQ(Outline.SelectedIndex(), 5);
    EXPECT_EQ(Outline.Row(), 4);
}

TEST_F(OutlineTreeTest, ExpandAllUnwatchedGivesTheSameRows) {
    TCustomOutline quiet;
    Build(quiet, "1P 2A 3a 2B 1Q 2C");
    quiet.SetSelectedIndex(5);
    quiet.ExpandAll();
    EXPECT_EQ(Rows(quiet), "P A a B Q C");
    EXPECT_EQ(quiet.SelectedIndex(), 5);
    EXPECT_EQ(quiet.Row(), 4);
}

TEST_F(OutlineTreeTest, PositionsStayInOrderAfterManyInsertsAtTheTop) {
    for (std::intptr_t i = 0; i < 2000; ++i) {
        Outline.InsertBefore(Outline.TotalItems() == 0 ? 0 : 1, "x", reinterpret_cast<void*>(i));
    }
    for (std::int32_t position = 1; position <= 2000; ++position) {
        TOutlineNode* node = Outline.ItemAt(position);
        ASSERT_EQ(node->Index(), position);
        ASSERT_EQ(reinterpret_cast<std::intptr_t>(node->Data()), 2000 - position);
    }
}

TEST_F(OutlineTreeTest, ClickSelectsItemOnTheRowThenRaisesOnClick) {
    Build(Outline, "1a 1b 1c");
    std::int32_t selectedInHandler = -1;
    Outline.OnClick = [&](TRowCursor&) { selectedInHandler = Outline.SelectedNode()->Index(); };
    Outline.SetRow(2);
    EXPECT_EQ(selectedInHandler, 3);
}

TEST_F(OutlineTreeTest, ClearingEmptiesTheOutline) {
    Build(Outline, "1a 2b 1c");
    Outline.ItemAt(1)->SetExpanded(true);
    Select(3);
    Outline.ClearItems();
    EXPECT_EQ(Outline.TotalItems(), 0);
    EXPECT_EQ(Outline.SelectedIndex(), 0);
    EXPECT_EQ(Outline.RowCount(), 1);
    EXPECT_EQ(Outline.Row(), 0);
    EXPECT_EQ(Outline.AddSibling(0, "n"), 1);
}

TEST_F(OutlineTreeTest, TakingItemsReplacesTheTreeAsALoadDoes) {
    Build(Outline, "1old 2older");
    TCustomOutline source;
    Build(source, "1a 2b 3c 1d");
    int data = 0;
    source.ItemAt(3)->SetData(&data);
    source.ItemAt(1)->SetExpanded(true);
    Outline.ItemAt(1)->SetExpanded(true);
    Outline.SetRow(1);
    Events.clear();
    Outline.TakeItems(source);
    EXPECT_EQ(Shape(Outline), "1a 2b 3c 1d");
    EXPECT_EQ(Rows(Outline), "a b d"); // expansion travels with the items
    EXPECT_EQ(Outline.ItemAt(3)->Data(), &data);
    EXPECT_EQ(Outline.Row(), 0);
    EXPECT_EQ(Outline.SelectedIndex(), 1);
    EXPECT_EQ(Outline.RowCount(), 3);
    EXPECT_EQ(Events, std::vector<std::string>{"click"}); // the row went back to 0
    EXPECT_EQ(source.TotalItems(), 0);
    EXPECT_EQ(source.RowCount(), 1);

    // Both go on working with the memory each now has.
    Outline.DeleteItem(2);
    Outline.ItemAt(1)->SetText("A");
    EXPECT_EQ(Outline.AppendChild(1, "e"), 2);
    EXPECT_EQ(Shape(Outline), "1A 2e 1d");
    EXPECT_EQ(source.AddSibling(0, "x"), 1);
    EXPECT_EQ(Shape(source), "1x");
}

TEST_F(OutlineTreeTest, NextSiblingIndexNamesTheFollowingChild) {
    Build(Outline, "1P 2A 3a 2B 1Q");
    TOutlineNode* p = Outline.ItemAt(1);
    EXPECT_EQ(p->NextSiblingIndex(2), 4);
    EXPECT_EQ(p->NextSiblingIndex(4), -1);
    EXPECT_EQ(p->NextSiblingIndex(3), -1);
    EXPECT_EQ(Outline.RootItem()->NextSiblingIndex(1), 5);
    EXPECT_EQ(p->LastIndexInSubtree(), 4);
}

} // namespace
} // namespace virevi

namespace virevi {
namespace {

using test::Build;
using test::Rows;
using test::Shape;

/// A view that keeps a row cursor and writes down every other step asked of it.
class TRecordingView final : public TOutlineView {
public:
    std::int32_t Row() const override { return Rows_.Row(); }
    void SetRow(std::int32_t row) override {
        if (row != Rows_.Row()) {
            Steps.push_back("row " + std::to_string(row));
        }
        Rows_.SetRow(row);
    }
    std::int32_t RowCount() const override { return Rows_.RowCount(); }
    void SetRowCount(std::int32_t count) override {
        if (count != Rows_.RowCount()) {
            Steps.push_back("rows " + std::to_string(count));
        }
        Rows_.SetRowCount(count);
    }
    void Click() override { Steps.push_back("click"); }
    void RepaintRow(std::int32_t row) override { Steps.push_back("paint " + std::to_string(row)); }
    void RepaintAll() override { Steps.push_back("paint all"); }
    void UpdateColumnWidth() override { Steps.push_back("width"); }
    bool TalliesWidths() const override { return true; }
    void TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem) override {
        Steps.push_back(std::string(sign > 0 ? "+" : "-") + (withItem ? "" : "under ") +
                        std::string(item->Text()));
    }
    void CaptionChanging(const TOutlineNode* item, std::string_view text) override {
        Steps.push_back(std::string(item->Text()) + ">" + std::string(text));
    }
    void Cleared() override { Steps.push_back("cleared"); }
    void Loaded() override { Steps.push_back("loaded"); }
    void NotifyExpand(std::int32_t index) override {
        Steps.push_back("expand " + std::to_string(index) + " rows " +
                        std::to_string(Rows_.RowCount()));
    }
    void NotifyCollapse(std::int32_t index) override {
        Steps.push_back("collapse " + std::to_string(index) + " rows " +
                        std::to_string(Rows_.RowCount()));
    }
    void ShowError(const std::exception& error) override {
        Steps.push_back(std::string("error ") + error.what());
    }

    std::vector<std::string> Steps;

private:
    TRowCursor Rows_;
};

// What the tree asks of whatever shows it: every row-count, row, repaint,
// width and notification step, in order, for the operations that reach the view.
TEST(OutlineTreeViewTest, AsksItsViewForEveryStepInOrder) {
    using TSteps = std::vector<std::string>;
    TOutlineTree tree;
    TRecordingView view;
    tree.SetView(&view);
    Build(tree, "1P 2a 2b 1Q");
    tree.SetSelectedIndex(4);
    view.Steps.clear();

    // Expanding: the handler sees the rows as they were, then they open.
    tree.ItemAt(1)->SetExpanded(true);
    EXPECT_EQ(view.Steps, (TSteps{"expand 1 rows 2", "+under P", "width", "rows 4", "row 3",
                                  "paint all"}));
    view.Steps.clear();

    // A shown caption: measured again, its row repainted, the width rechecked.
    tree.ItemAt(2)->SetText("A");
    EXPECT_EQ(view.Steps, (TSteps{"a>A", "paint 1", "width"}));
    view.Steps.clear();

    // Collapsing: the rows go first, then the handler hears of it. Q's row
    // came up to where the cursor was cut to, so the tree clicks it.
    tree.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(view.Steps,
              (TSteps{"-under P", "rows 2", "click", "paint all", "collapse 1 rows 2", "width"}));
    view.Steps.clear();

    // A failed add goes to the view's error display before the caller hears of it.
    EXPECT_THROW(tree.AppendChild(9, "x"), EOutlineError);
    EXPECT_EQ(view.Steps, (TSteps{std::string("error ") + msg::SOutlineIndexNotFound}));
    view.Steps.clear();

    tree.ClearItems();
    EXPECT_EQ(view.Steps, (TSteps{"cleared", "rows 0"}));
}

// A tree that nothing shows keeps rows of its own: it reads, selects and
// saves alone, and a control that takes its items shows them.
TEST(OutlineTreeViewTest, WorksWithoutAViewAndHandsItsItemsToAControl) {
    TOutlineTree tree;
    const std::string file = "P\r\n\ta\r\nQ\r\n";
    std::size_t at = 0;
    tree.LoadOutlineFrom([&](char* buffer, std::size_t count) {
        const std::size_t n = std::min(count, file.size() - at);
        file.copy(buffer, n, at);
        at += n;
        return n;
    });
    EXPECT_EQ(Shape(tree), "1P 2a 1Q");
    EXPECT_EQ(Rows(tree), "P Q");
    EXPECT_EQ(tree.SelectedIndex(), 1);
    tree.ExpandAll();
    tree.SetSelectedIndex(3);
    EXPECT_EQ(tree.RowOf(tree.ItemAt(3)), 2);
    std::string saved;
    tree.SaveOutlineTo([&](const char* bytes, std::size_t count) { saved.append(bytes, count); });
    EXPECT_EQ(saved, file);

    TCustomOutline outline;
    outline.TakeItems(tree);
    EXPECT_EQ(Rows(outline), "P a Q");
    EXPECT_EQ(outline.RowCount(), 3);
    EXPECT_EQ(outline.SelectedIndex(), 1);
    EXPECT_EQ(tree.TotalItems(), 0);
    EXPECT_EQ(tree.SelectedIndex(), 0);
}

} // namespace
} // namespace virevi
