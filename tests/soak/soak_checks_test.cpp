// The soak's checks must see a broken window: each case plants one fault in a
// sound window and expects the check to name it.
#include "soak_checks.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include <functional>
#include <string>

#include "app/qt/main_window.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"

namespace virevi::test {
namespace {

struct TCaptionRow {
    const char* Name;
    const char* Caption;
    const char* Stored;
};

class StorableCaptionTest : public testing::TestWithParam<TCaptionRow> {};

TEST_P(StorableCaptionTest, DropsWhatTheOutlineFileCannotHold) {
    EXPECT_EQ(StorableCaption(GetParam().Caption), GetParam().Stored);
}

INSTANTIATE_TEST_SUITE_P(Captions, StorableCaptionTest,
                         testing::Values(TCaptionRow{"empty", "", ""},
                                         TCaptionRow{"blank_only", " \t ", ""},
                                         TCaptionRow{"leading_blanks", " \tx y", "x y"},
                                         TCaptionRow{"inner_blanks_kept", "a \tb ", "a \tb "},
                                         TCaptionRow{"carriage_return", "a\rb", "ab"},
                                         TCaptionRow{"end_of_text",
                                                     "\x1a"
                                                     "a",
                                                     "a"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A window of three items "a", "b" (under a) and "c", each note its caption,
// "b" selected and nothing modified.
class SoakCheckTest : public testing::Test {
protected:
    SoakCheckTest() {
        Main.show();
        TOutline& tree = *Main.olTree;
        Main.ClearDocument();
        TDocument& document = Main.Document();
        const char* captions[] = {"a", "b", "c"};
        const std::int32_t a = tree.AddSibling(0, "a");
        tree.AppendChild(a, "b");
        tree.AddSibling(a, "c");
        for (std::int32_t i = 1; i <= 3; ++i) {
            TOutlineNode* item = document.AttachNewRecord(i);
            ItemRecord* record = TDocument::RecordOf(item);
            record->Start = static_cast<std::int32_t>(document.NotePool.Count());
            record->Count = 1;
            document.NotePool.Add(captions[i - 1]);
        }
        tree.ItemAt(1)->SetExpanded(true);
        tree.SetSelectedIndex(2);
        document.LoadNote();
        Main.moNote->SetModified(false);
        Main.ShowPosition();
    }

    std::string Planted(const std::function<void()>& plant, const std::function<void()>& undo) {
        plant();
        std::string found = CheckWindow(Main, true);
        undo();
        return found;
    }

    ItemRecord& Record(std::int32_t index) {
        return *TDocument::RecordOf(Main.olTree->ItemAt(index));
    }

    TMain Main;
};

TEST_F(SoakCheckTest, SoundWindowPasses) {
    EXPECT_EQ(CheckWindow(Main, true), "");
}

TEST_F(SoakCheckTest, RecordPastThePoolIsFound) {
    EXPECT_NE(Planted([&] { Record(3).Count = 2; }, [&] { Record(3).Count = 1; })
                  .find("item 3 record 2+2 outside the pool of 3"),
              std::string::npos);
    EXPECT_NE(Planted([&] { Record(1).Start = -1; }, [&] { Record(1).Start = 0; })
                  .find("item 1 record -1+1 outside"),
              std::string::npos);
}

TEST_F(SoakCheckTest, SharedRecordIsFound) {
    TOutlineNode* c = Main.olTree->ItemAt(3);
    void* own = c->Data();
    const std::string found =
        Planted([&] { c->SetData(Main.olTree->ItemAt(1)->Data()); }, [&] { c->SetData(own); });
    EXPECT_NE(found.find("item 3 shares its record"), std::string::npos) << found;
}

TEST_F(SoakCheckTest, CaptionThatIsNotTheFirstLineIsFound) {
    TOutlineNode* a = Main.olTree->ItemAt(1);
    EXPECT_NE(Planted([&] { a->SetText("z"); }, [&] { a->SetText("a"); })
                  .find("item 1 caption \"z\", note begins \"a\""),
              std::string::npos);
    EXPECT_EQ(Planted([&] { a->SetText("  a"); }, [&] { a->SetText("a"); }), "")
        << "leading blanks are not stored, so they do not count";
}

TEST_F(SoakCheckTest, UnmodifiedEditorWithOtherTextIsFound) {
    TStringList other;
    other.Add("not b");
    const std::string found = Planted(
        [&] {
            Main.moNote->Assign(other);
            Main.moNote->SetModified(false);
        },
        [&] { Main.Document().LoadNote(); });
    EXPECT_NE(found.find("unmodified editor"), std::string::npos) << found;
    Main.moNote->Assign(other);
    Main.moNote->SetModified(true);
    EXPECT_EQ(CheckWindow(Main, true), "") << "a change being typed is not yet the note's";
}

TEST_F(SoakCheckTest, StaleTitleAndLabelAreFound) {
    EXPECT_NE(
        Planted([&] { Main.setWindowTitle("other"); }, [&] { Main.setWindowTitle("NewFile"); })
            .find("title \"other\""),
        std::string::npos);
    Main.Document().DocModified = true;
    EXPECT_NE(CheckWindow(Main, false).find("label \"2 / 3\", position \"2 / 3*\""),
              std::string::npos);
    Main.lbIndex->clear();
    EXPECT_EQ(CheckWindow(Main, false), "") << "only a command that shows the position writes it";
}

} // namespace
} // namespace virevi::test
