#include "document/document.h"

#include <gtest/gtest.h>

#include <random>

#include "document_fixture.h"
#include "runtime/errors.h"

namespace virevi {
namespace {

using test::Lines;

class NotePoolTest : public test::DocumentFixture {};

TEST_F(NotePoolTest, CommitOfUnmodifiedEditorChangesNothing) {
    InitDocument();
    Editor.SetText("typed\r\n"); // put there by the program, not by the user
    Document.CommitNote(1);
    EXPECT_TRUE(Document.NotePool.Empty());
    EXPECT_FALSE(Document.DocModified);
    EXPECT_EQ(Caption(1), " ");
    EXPECT_EQ(Editor.WrapSwitches, 0);
}

TEST_F(NotePoolTest, CommitAppendsHardLinesAndTakesFirstAsCaption) {
    InitDocument();
    Editor.WrapWidth = 4; // a displayed line must not become two stored lines
    Write(1, "first line\r\nsecond");
    EXPECT_EQ(Note(1), (Lines{"first line", "second"}));
    EXPECT_EQ(Caption(1), "first line");
    EXPECT_TRUE(Editor.WordWrap());
    EXPECT_FALSE(Editor.Modified());
    EXPECT_TRUE(Document.DocModified);
}

TEST_F(NotePoolTest, TrailingLineBreakAddsNoLine) {
    InitDocument();
    Write(1, "abc\r\n");
    EXPECT_EQ(Note(1), (Lines{"abc"}));
}

TEST_F(NotePoolTest, ThreeCommitsLeaveThreeCopiesAndCompactionOne) {
    InitDocument();
    AddItem();
    Write(2, "other");
    Write(1, "one");
    Write(1, "two");
    Write(1, "three");
    EXPECT_EQ(Pool(), (Lines{"other", "one", "two", "three"}));
    EXPECT_EQ(Record(1).Start, 3);
    Document.CompactPool();
    EXPECT_EQ(Pool(), (Lines{"three", "other"}));
    EXPECT_EQ(Record(1).Start, 0);
    EXPECT_EQ(Record(2).Start, 1);
    EXPECT_EQ(Note(1), (Lines{"three"}));
}

TEST_F(NotePoolTest, EmptyCommitGivesEmptyCaptionThenSpaceOnLoading) {
    InitDocument();
    Write(1, "something");
    Write(1, "");
    EXPECT_EQ(Caption(1), "");
    EXPECT_EQ(Record(1).Count, 0);
    Document.LoadNote();
    EXPECT_EQ(Caption(1), " ");
    EXPECT_EQ(Editor.Text(), "");
}

TEST_F(NotePoolTest, LoadNotePutsSelectedNoteInEditorAndLeavesFlagsAlone) {
    InitDocument();
    AddItem();
    Write(2, "x\r\n\r\ny");
    Editor.SetText("");
    Outline.SetSelectedIndex(2);
    Editor.SetModified(true);
    Document.DocModified = false;
    Document.LoadNote();
    EXPECT_EQ(Editor.Text(), "x\r\n\r\ny\r\n");
    EXPECT_TRUE(Editor.Modified());
    EXPECT_FALSE(Document.DocModified);
    EXPECT_TRUE(Editor.WordWrap());
    EXPECT_EQ(Caption(2), "x");
}

TEST_F(NotePoolTest, LoadingTheShownNoteAgainRebuildsOnlyWhatChanged) {
    InitDocument();
    AddItem();
    Write(1, "one\r\ntwo");
    Write(2, "other");
    Outline.SetSelectedIndex(1);
    Document.LoadNote();
    const std::uint64_t shown = Editor.Revision();
    const int switches = Editor.WrapSwitches;

    // The same note again: the text stays, the caret goes back to the start.
    Editor.SetSelStart(5);
    Document.LoadNote();
    EXPECT_EQ(Editor.Revision(), shown);
    EXPECT_EQ(Editor.WrapSwitches, switches);
    EXPECT_EQ(Editor.SelStart(), 0u);
    EXPECT_EQ(Editor.Text(), "one\r\ntwo\r\n");

    // Text changed without the modified flag comes back as the note.
    Editor.SetText("stray");
    Document.LoadNote();
    EXPECT_EQ(Editor.Text(), "one\r\ntwo\r\n");

    // New lines under the same record: the pool is what is shown.
    Document.NotePool.Clear();
    Document.NotePool.Add("three");
    Document.NotePool.Add("four");
    Document.LoadNote();
    EXPECT_EQ(Editor.Text(), "three\r\nfour\r\n");

    // A word wrap switched off is switched back on.
    Editor.SetWordWrap(false);
    Document.LoadNote();
    EXPECT_TRUE(Editor.WordWrap());
    EXPECT_EQ(Editor.Text(), "three\r\nfour\r\n");
}

TEST_F(NotePoolTest, CompactionFollowsOutlineOrderAfterLevelChange) {
    InitDocument();
    AddItem();
    AddItem();
    Write(1, "A");
    Write(2, "B");
    Write(3, "C");
    // C moves before B, then B goes one level right, under C.
    Outline.ItemAt(3)->MoveItem(2, TAttachMode::amBefore);
    Document.CompactPool();
    EXPECT_EQ(Pool(), (Lines{"A", "C", "B"}));
    EXPECT_EQ(Record(2).Start, 1);
    Outline.ItemAt(3)->ShiftLevel(+1); // B under C
    EXPECT_EQ(Outline.ItemAt(3)->Level(), 2);
    Write(1, "A2");
    Document.CompactPool();
    EXPECT_EQ(Pool(), (Lines{"A2", "C", "B"}));
}

TEST_F(NotePoolTest, UneditedNewItemStartsAtPoolEndAndCompactsToRunningCount) {
    InitDocument();
    Write(1, "a\r\nb");
    Write(1, "c\r\nd\r\ne");
    const std::int32_t added = AddItem();
    EXPECT_EQ(Record(added).Start, 5);
    EXPECT_EQ(Record(added).Count, 0);
    Document.CompactPool();
    EXPECT_EQ(Record(added).Start, 3);
    EXPECT_EQ(Record(added).Count, 0);
}

TEST_F(NotePoolTest, ReleasingItemReleasesDescendantsRecords) {
    InitDocument();
    const std::int32_t parent = AddItem();
    AddChild(AddChild(parent));
    AddItem();
    EXPECT_EQ(Document.RecordsInUse(), 5u);
    Document.ReleaseItemRecords(parent);
    Outline.DeleteItem(parent);
    EXPECT_EQ(Document.RecordsInUse(), 2u);
    Document.FreeItemRecords();
    EXPECT_EQ(Document.RecordsInUse(), 0u);
    EXPECT_EQ(Outline.TotalItems(), 0);
}

TEST_F(NotePoolTest, ItemWithoutRecordReadsAsEmptyNoteAndGetsOneOnCommit) {
    Outline.AddSibling(0, "bare");
    Document.NotePool.Add("unrelated");
    Outline.SetSelectedIndex(1);
    Editor.SetText("old\r\n");
    Document.LoadNote();
    EXPECT_EQ(Editor.Text(), "");
    EXPECT_EQ(Caption(1), " ");
    Document.CompactPool();
    EXPECT_EQ(Record(1).Count, 0);
    Outline.ItemAt(1)->SetData(nullptr);
    Write(1, "now");
    EXPECT_EQ(Note(1), (Lines{"now"}));
}

TEST_F(NotePoolTest, CompactionWithRecordOutsidePoolRaisesAndChangesNothing) {
    InitDocument();
    AddItem();
    Write(1, "a");
    Write(2, "b");
    TDocument::RecordOf(Outline.ItemAt(2))->Count = 5; // lines 1 … 5 of a pool of 2
    try {
        Document.CompactPool();
        FAIL() << "compaction went through";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (2)");
    }
    EXPECT_EQ(Pool(), (Lines{"a", "b"}));
    EXPECT_EQ(Record(1).Start, 0);
    EXPECT_EQ(Record(2).Start, 1);
}

TEST_F(NotePoolTest, CompactionWithBadRecordAfterMovedNoteChangesNothing) {
    Outline.AddSibling(0, "bare");
    InitDocument();
    AddItem();
    Write(2, "a");
    Write(3, "b");
    Write(2, "a again");
    TDocument::RecordOf(Outline.ItemAt(3))->Start = -4;
    EXPECT_THROW(Document.CompactPool(), EStringListError);
    EXPECT_EQ(Pool(), (Lines{"a", "b", "a again"}));
    EXPECT_EQ(Record(2).Start, 2);
    EXPECT_EQ(TDocument::RecordOf(Outline.ItemAt(1)), nullptr);
}

TEST_F(NotePoolTest, CompactionKeepsNotesInPlaceAndRebuildsFromTheFirstMoved) {
    InitDocument();
    AddItem();
    AddItem();
    Write(1, "a1\r\na2");
    Write(2, "b1");
    Write(3, "c1\r\nc2");
    Document.NotePool.Add("left over");
    Document.CompactPool(); // all in place: only the line after them goes
    EXPECT_EQ(Pool(), (Lines{"a1", "a2", "b1", "c1", "c2"}));
    Write(2, "b1\r\nb2\r\nb3");
    Document.CompactPool();
    EXPECT_EQ(Pool(), (Lines{"a1", "a2", "b1", "b2", "b3", "c1", "c2"}));
    EXPECT_EQ(Record(3).Start, 5);
    EXPECT_EQ(Note(3), (Lines{"c1", "c2"}));
}

// Records that share lines, start anywhere, are empty or negative, or are
// missing, compacted as appending each item's note to a new pool would.
TEST_F(NotePoolTest, CompactionMatchesAppendingEveryNoteInOrder) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Document.FreeItemRecords();
        Document.NotePool.Clear();
        const int lines = static_cast<int>(random() % 12);
        for (int k = 0; k < lines; ++k) {
            Document.NotePool.Add(std::string(random() % 4, static_cast<char>('a' + k)));
        }
        const int items = 1 + static_cast<int>(random() % 8);
        std::int32_t next = 0; // runs of notes already in place are common
        for (int i = 0; i < items; ++i) {
            const std::int32_t index = Outline.AddSibling(0, " ");
            const int kind = static_cast<int>(random() % 6);
            if (kind == 0) {
                continue; // no record at all
            }
            const std::int32_t count = kind == 1
                                           ? -static_cast<std::int32_t>(random() % 3)
                                           : static_cast<std::int32_t>(random() % (lines + 1));
            std::int32_t start =
                kind <= 3 ? next : static_cast<std::int32_t>(random() % (lines + 1));
            if (start + count > lines) {
                start = lines - count;
            }
            Document.AttachNewRecord(index);
            *TDocument::RecordOf(Outline.ItemAt(index)) = ItemRecord{start, count};
            next = start + std::max(count, 0);
        }
        Lines expected;
        std::vector<std::pair<std::int32_t, std::int32_t>> records;
        for (std::int32_t i = 1; i <= items; ++i) {
            const ItemRecord* record = TDocument::RecordOf(Outline.ItemAt(i));
            const ItemRecord note = record != nullptr ? *record : ItemRecord{};
            records.emplace_back(static_cast<std::int32_t>(expected.size()), note.Count);
            for (std::int32_t k = 0; k < note.Count; ++k) {
                expected.emplace_back(Document.NotePool[static_cast<std::size_t>(note.Start + k)]);
            }
        }
        Document.CompactPool();
        ASSERT_EQ(Pool(), expected) << "round " << round;
        for (std::int32_t i = 1; i <= items; ++i) {
            ASSERT_EQ(Record(i).Start, records[i - 1].first) << "round " << round;
            ASSERT_EQ(Record(i).Count, records[i - 1].second) << "round " << round;
        }
    }
}

} // namespace
} // namespace virevi
