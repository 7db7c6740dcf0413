#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/main_prompts.h"
#include "dialogs/message_form.h"
#include "document/document.h"
#include "editor/memo.h"
#include "outline/outline.h"
#include "outline/outline_node.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

TEST(MainWindowTest, UntitledWindowIsCaptionedNewFile) {
    TMain window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("NewFile"));
}

using Lines = std::vector<std::string>;

// The person at the keyboard, answering from a script. A question that the
// script does not expect fails the test and is answered with Cancel.
class TScriptedPrompts : public TMainPrompts {
public:
    std::deque<int> SaveAnswers;
    // Each file dialog: the chosen name, or "" to cancel.
    std::deque<std::string> OpenNames;
    std::deque<std::string> SaveNames;
    std::vector<std::string> OpenFilters;
    int SavePrompts = 0;
    int SaveDialogs = 0;
    int Beeps = 0;

    int AskSave() override {
        ++SavePrompts;
        if (SaveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save prompt";
            return mrCancel;
        }
        const int answer = SaveAnswers.front();
        SaveAnswers.pop_front();
        return answer;
    }
    bool ChooseOpenFile(std::string_view filter, std::string& fileName) override {
        OpenFilters.emplace_back(filter);
        return Take(OpenNames, fileName);
    }
    bool ChooseSaveFile(std::string_view filter, std::string& fileName) override {
        ++SaveDialogs;
        EXPECT_EQ(filter, msg::DocumentFilter);
        return Take(SaveNames, fileName);
    }
    void Beep() override { ++Beeps; }

private:
    static bool Take(std::deque<std::string>& names, std::string& fileName) {
        if (names.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        const std::string name = names.front();
        names.pop_front();
        if (name.empty()) {
            return false;
        }
        fileName = name;
        return true;
    }
};

class MainWindowFixture : public testing::Test {
protected:
    MainWindowFixture() {
        Main.SetPrompts(&Prompts);
        Main.show();
        Main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main));
    }

    /// Replaces the document with items "caption" (one leading "-" per level
    /// below the top), all expanded, each note the one line of its caption;
    /// item 1 selected, nothing modified.
    void Build(std::initializer_list<std::string> items) {
        Main.ClearDocument();
        TDocument& document = Main.Document();
        document.SetCaption(msg::UntitledCaption);
        std::vector<std::int32_t> parents;
        for (const std::string& item : items) {
            const std::size_t level = item.find_first_not_of('-');
            const std::string text = item.substr(level);
            parents.resize(level);
            const std::int32_t index = level == 0 ? Main.olTree->AddSibling(0, text)
                                                  : Main.olTree->AppendChild(parents.back(), text);
            ItemRecord* record = TDocument::RecordOf(document.AttachNewRecord(index));
            document.NotePool.Add(text);
            record->Count = 1;
            parents.push_back(index);
        }
        Main.olTree->ExpandAll();
        Main.olTree->SetSelectedIndex(1);
        Main.olTreeClick();
        document.DocModified = false;
        Main.moNote->SetModified(false);
    }

    /// Selects item `index` as a command would, loading its note.
    void Select(std::int32_t index) { Main.olTree->SetSelectedIndex(index); }

    /// Types into the editor with real key events; "\n" is the Enter key.
    void Type(const std::string& text) {
        Main.moNote->setFocus();
        for (char c : text) {
            if (c == '\n') {
                QTest::keyClick(Main.moNote, Qt::Key_Return);
            } else {
                QTest::keyClick(Main.moNote, c);
            }
        }
    }
    /// Replaces the note being edited with `text`, typed.
    void Retype(const std::string& text) {
        Main.moNote->selectAll();
        QTest::keyClick(Main.moNote, Qt::Key_Delete);
        Type(text);
    }

    /// The outline, one "-" per level below the top before each caption.
    Lines Shape() {
        Lines shape;
        for (std::int32_t i = 1; i <= Main.olTree->TotalItems(); ++i) {
            TOutlineNode* item = Main.olTree->ItemAt(i);
            shape.push_back(std::string(item->Level() - 1, '-') + std::string(item->Text()));
        }
        return shape;
    }
    Lines Note(std::int32_t index) {
        const ItemRecord* record = TDocument::RecordOf(Main.olTree->ItemAt(index));
        Lines lines;
        for (std::int32_t k = 0; k < record->Count; ++k) {
            lines.emplace_back(Main.Document().NotePool.Strings(record->Start + k));
        }
        return lines;
    }
    std::string Editor() { return Main.moNote->toPlainText().toStdString(); }
    Lines EditorLines() {
        Lines lines;
        for (std::size_t i = 0; i < Main.moNote->Count(); ++i) {
            lines.push_back(Main.moNote->Line(i));
        }
        return lines;
    }
    std::string Label() { return Main.lbIndex->text().toStdString(); }
    std::int32_t Selected() { return Main.olTree->SelectedIndex(); }
    bool Modified() { return Main.Document().DocModified; }

    TScriptedPrompts Prompts;
    TMain Main;
};

// --- editing commands -------------------------------------------------------

using MainEditingTest = MainWindowFixture;

TEST_F(MainEditingTest, NewDocumentHasOneBlankItem) {
    EXPECT_EQ(Shape(), Lines{" "});
    EXPECT_EQ(Editor(), "");
    EXPECT_EQ(Label(), "");
    Main.ShowPosition();
    EXPECT_EQ(Label(), "1 / 1");
    EXPECT_TRUE(Main.moNote->hasFocus());
}

TEST_F(MainEditingTest, InsertAboveThirdOfFiveKeepsTheOldItemsNote) {
    Build({"a", "b", "c", "d", "e"});
    Select(3);
    Main.mnInsNodeClick();
    EXPECT_EQ(Shape(), (Lines{"a", "b", " ", "c", "d", "e"}));
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Editor(), "");
    EXPECT_EQ(Note(4), Lines{"c"});
    EXPECT_EQ(Label(), "3 / 6"); // the insertion itself does not mark the document
    Main.mnNextNodeClick();      // ... the empty note's commit does
    EXPECT_EQ(Shape(), (Lines{"a", "b", "", "c", "d", "e"}));
    EXPECT_EQ(Label(), "4 / 6*");
}

TEST_F(MainEditingTest, AddAtTheEndFromAChildAddsALastTopLevelItem) {
    Build({"a", "-b", "-c"});
    Select(2);
    Main.mnAddNodeClick();
    EXPECT_EQ(Shape(), (Lines{"a", "-b", "-c", " "}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Label(), "4 / 4");
}

struct DeleteCase {
    const char* Name;
    std::int32_t Select;
    Lines Shape;
    std::int32_t Selected;
    int Beeps;
};

class MainDeleteTest : public MainWindowFixture, public testing::WithParamInterface<DeleteCase> {};

TEST_P(MainDeleteTest, RemovesTheSubtreeAndShowsTheNextSelection) {
    const DeleteCase& c = GetParam();
    if (c.Name == std::string("only item")) {
        Build({"a"});
    } else if (c.Name == std::string("only top-level item with children")) {
        Build({"a", "-b", "--c"});
    } else {
        Build({"a", "-b", "--c", "-d", "e", "-f"});
    }
    Select(c.Select);
    Type("unsaved ");
    Main.mnDelClick();
    EXPECT_EQ(Shape(), c.Shape);
    EXPECT_EQ(Selected(), c.Selected);
    EXPECT_EQ(Prompts.Beeps, c.Beeps);
    if (c.Beeps == 0) {
        // The typed text is discarded; the records of the whole subtree go.
        EXPECT_EQ(Editor(), std::string(Main.olTree->ItemAt(c.Selected)->Text()) + "\n");
        EXPECT_EQ(Main.Document().RecordsInUse(), c.Shape.size());
        EXPECT_TRUE(Modified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainDeleteTest,
    testing::Values(DeleteCase{"only item", 1, {"a"}, 1, 1},
                    DeleteCase{"only top-level item with children", 1, {"a", "-b", "--c"}, 1, 1},
                    DeleteCase{"parent with children", 2, {"a", "-d", "e", "-f"}, 2, 0},
                    DeleteCase{"last child", 4, {"a", "-b", "--c", "e", "-f"}, 2, 0},
                    DeleteCase{"only child", 6, {"a", "-b", "--c", "-d", "e"}, 5, 0}),
    [](const auto& info) {
        std::string name = info.param.Name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST_F(MainEditingTest, OnlyChildDeletedLeavesTheParentCollapsed) {
    Build({"a", "b", "-c"});
    Select(3);
    Main.mnDelClick();
    EXPECT_FALSE(Main.olTree->ItemAt(2)->HasChildren());
    EXPECT_FALSE(Main.olTree->ItemAt(2)->Expanded());
    EXPECT_EQ(Editor(), "b\n");
}

TEST_F(MainEditingTest, PreviousAndNextBeepAtTheEndsAfterCommitting) {
    Build({"a", "b"});
    Retype("first");
    Main.mnPrevNodeClick();
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Shape(), (Lines{"first", "b"}));
    Main.mnNextNodeClick();
    Retype("last");
    Main.mnNextNodeClick();
    EXPECT_EQ(Prompts.Beeps, 2);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Shape(), (Lines{"first", "last"}));
    EXPECT_EQ(Label(), "2 / 2*");
}

TEST_F(MainEditingTest, NextAndPreviousSkipItemsInsideCollapsedParents) {
    Build({"a", "-b", "--c", "d"});
    Main.olTree->ItemAt(1)->SetExpanded(false);
    Select(1);
    Main.mnNextNodeClick();
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Editor(), "d\n");
    Main.mnPrevNodeClick();
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Editor(), "a\n");
    EXPECT_EQ(Label(), "1 / 4");
}

TEST_F(MainEditingTest, SplitCutsBeforeTheCaretIntoANewItemAbove) {
    QApplication::clipboard()->setText(QStringLiteral("clipboard"));
    Build({"a", "b"});
    Select(2);
    Retype("first\nsecond");
    Main.moNote->SetSelStart(10); // after "sec"
    Main.mnSplitClick();
    EXPECT_EQ(Shape(), (Lines{"a", "first", "ond"}));
    EXPECT_EQ(Note(2), (Lines{"first", "sec"}));
    EXPECT_EQ(Note(3), Lines{"ond"});
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Editor(), "first\nsec\n");
    EXPECT_FALSE(Main.moNote->Modified());
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(Main.moNote->isVisible());
    EXPECT_FALSE(Main.SelectLock);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clipboard"));
}

TEST_F(MainEditingTest, SplitAtTheStartGivesAnEmptyItemAndLeavesTheClipboard) {
    QApplication::clipboard()->setText(QStringLiteral("clipboard"));
    Build({"a"});
    Main.moNote->SetSelStart(0);
    Main.mnSplitClick();
    EXPECT_EQ(Shape(), (Lines{"", "a"}));
    EXPECT_EQ(Note(1), Lines{});
    EXPECT_EQ(Note(2), Lines{"a"});
    EXPECT_EQ(Editor(), "");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clipboard"));
}

struct LevelCase {
    const char* Name;
    bool Right;
    std::int32_t Select;
    Lines Shape;
    std::int32_t Selected;
    int Beeps;
};

class MainLevelTest : public MainWindowFixture, public testing::WithParamInterface<LevelCase> {};

TEST_P(MainLevelTest, MovesOrBeeps) {
    const LevelCase& c = GetParam();
    Build({"a", "-b", "-c", "-d", "e", "f"});
    if (c.Name == std::string("right on a collapsed second top-level item")) {
        Build({"a", "b"});
    }
    Select(c.Select);
    Retype("x");
    if (c.Right) {
        Main.mnLevelDownClick();
    } else {
        Main.mnLevelUpClick();
    }
    EXPECT_EQ(Shape(), c.Shape);
    EXPECT_EQ(Selected(), c.Selected);
    EXPECT_EQ(Prompts.Beeps, c.Beeps);
    EXPECT_EQ(EditorLines(), Lines{std::string(Main.olTree->ItemAt(c.Selected)->Text())});
    EXPECT_TRUE(Modified()); // through the commit of the typed "x"
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainLevelTest,
    testing::Values(
        LevelCase{"right on item 1", true, 1, {"x", "-b", "-c", "-d", "e", "f"}, 1, 1},
        LevelCase{"right on a first child", true, 2, {"a", "-x", "-c", "-d", "e", "f"}, 2, 1},
        // The first child had no children, so it stays collapsed and takes the selection.
        LevelCase{"right on a second child", true, 3, {"a", "-b", "--x", "-d", "e", "f"}, 2, 0},
        LevelCase{"right on a collapsed second top-level item", true, 2, {"a", "-x"}, 1, 0},
        LevelCase{"left on a top-level item", false, 5, {"a", "-b", "-c", "-d", "x", "f"}, 5, 1},
        LevelCase{
            "left on the last top-level item", false, 6, {"a", "-b", "-c", "-d", "e", "x"}, 6, 1},
        LevelCase{"left on a last child", false, 4, {"a", "-b", "-c", "-x", "e", "f"}, 4, 1},
        LevelCase{"left on a middle child", false, 3, {"a", "-b", "-d", "x", "e", "f"}, 4, 0}),
    [](const auto& info) {
        std::string name = info.param.Name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST_F(MainEditingTest, ClickOnARowCommitsTheEditedNoteFirst) {
    Build({"a", "b"});
    Retype("typed");
    const QPoint row1(20, 16 + 8);
    QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {}, row1);
    EXPECT_EQ(Shape(), (Lines{"typed", "b"}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Editor(), "b\n");
    EXPECT_TRUE(Main.moNote->hasFocus());
}

// --- file commands ----------------------------------------------------------

class MainFileTest : public MainWindowFixture {
protected:
    std::string Base(const std::string& name) { return Folder.File(name); }
    /// A saved document "base" of items a and b.
    void SaveAB(const std::string& base) {
        Build({"a", "b"});
        Prompts.SaveNames.push_back(base + ".Trr");
        Main.mnSaveAsClick();
    }
    std::string Title() { return QFile::encodeName(Main.windowTitle()).toStdString(); }

    test::TTempFolder Folder;
};

TEST_F(MainFileTest, SaveAsksForANameOnlyWhenUntitled) {
    Build({"a"});
    Retype("note");
    Prompts.SaveNames = {Base("plan.2024.Trr")};
    Main.mnSaveClick();
    EXPECT_EQ(Title(), Base("plan.2024"));
    EXPECT_EQ(test::ReadFileBytes(Base("plan.2024.Txt")), "note\r\n");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Label(), "1 / 1");
    Retype("again");
    Main.mnSaveClick();
    EXPECT_EQ(Prompts.SaveDialogs, 1);
    EXPECT_EQ(test::ReadFileBytes(Base("plan.2024.Txt")), "again\r\n");
}

struct AnswerCase {
    const char* Name;
    std::deque<int> Answers;
    std::deque<std::string> SaveNames; // "" cancels
    bool Reset;                        // for New: the document was replaced; for closing: closed
    bool Saved;
};

const AnswerCase AnswerCases[] = {
    {"yes and saved", {mrYes}, {"saved.Trr"}, true, true},
    {"yes and save dialog cancelled", {mrYes}, {""}, false, false},
    {"no", {mrNo}, {}, true, false},
    {"cancel", {mrCancel}, {}, false, false},
};

class MainNewTest : public MainFileTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(MainNewTest, ModifiedUntitledDocumentIsResetOnlyAsAnswered) {
    const AnswerCase& c = GetParam();
    Build({"a", "b"});
    Retype("work");
    Prompts.SaveAnswers = c.Answers;
    for (const std::string& name : c.SaveNames) {
        Prompts.SaveNames.push_back(name.empty() ? name : Base(name));
    }
    Main.mnNewClick();
    EXPECT_EQ(Prompts.SavePrompts, 1);
    EXPECT_EQ(Shape(), c.Reset ? Lines{" "} : (Lines{"work", "b"}));
    EXPECT_EQ(Modified(), !c.Reset);
    EXPECT_EQ(Label(), c.Reset ? "1 / 1" : "1 / 2*");
    EXPECT_EQ(Title(), "NewFile");
    EXPECT_EQ(test::ReadFileBytes(Base("saved.Trr")) != "<missing>", c.Saved);
}

class MainCloseTest : public MainFileTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(MainCloseTest, ModifiedDocumentClosesOnlyWhenSavedOrDiscarded) {
    const AnswerCase& c = GetParam();
    Build({"a"});
    Retype("work");
    Prompts.SaveAnswers = c.Answers;
    for (const std::string& name : c.SaveNames) {
        Prompts.SaveNames.push_back(name.empty() ? name : Base(name));
    }
    Main.mnExitClick();
    EXPECT_EQ(Main.isVisible(), !c.Reset);
    EXPECT_EQ(Modified(), !c.Saved);
    EXPECT_EQ(test::ReadFileBytes(Base("saved.Txt")), c.Saved ? "work\r\n" : "<missing>");
}

INSTANTIATE_TEST_SUITE_P(Answers, MainNewTest, testing::ValuesIn(AnswerCases),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });
INSTANTIATE_TEST_SUITE_P(Answers, MainCloseTest, testing::ValuesIn(AnswerCases),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(MainFileTest, UnmodifiedDocumentIsResetAndClosedWithoutAPrompt) {
    SaveAB(Base("plan"));
    Main.mnNewClick();
    EXPECT_EQ(Shape(), Lines{" "});
    EXPECT_EQ(Title(), "NewFile");
    Main.mnExitClick();
    EXPECT_FALSE(Main.isVisible());
    EXPECT_EQ(Prompts.SavePrompts, 0);
}

struct OpenCase {
    const char* Name;
    std::deque<int> Answers;
    std::deque<std::string> SaveNames;
    std::deque<std::string> OpenNames;
    bool Loaded;
    bool Fails = false;
};

class MainOpenTest : public MainFileTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(MainOpenTest, AsksOnceAndLoadsOnlyWhatMayReplaceTheWork) {
    const OpenCase& c = GetParam();
    SaveAB(Base("other"));
    Build({"mine"});
    Retype("work");
    Prompts.SaveAnswers = c.Answers;
    for (const std::string& name : c.SaveNames) {
        Prompts.SaveNames.push_back(name.empty() ? name : Base(name));
    }
    for (const std::string& name : c.OpenNames) {
        Prompts.OpenNames.push_back(name.empty() ? name : Base(name));
    }
    if (c.Fails) {
        EXPECT_THROW(Main.mnOpenClick(), EFOpenError);
    } else {
        Main.mnOpenClick();
    }
    EXPECT_EQ(Prompts.SavePrompts, 1);
    EXPECT_TRUE(Prompts.SaveNames.empty() && Prompts.OpenNames.empty());
    if (c.Loaded) {
        EXPECT_EQ(Shape(), (Lines{"a", "b"}));
        EXPECT_EQ(Title(), Base("other"));
        EXPECT_EQ(Editor(), "a\n");
        EXPECT_EQ(Label(), "1 / 2");
        EXPECT_EQ(Prompts.OpenFilters, Lines{msg::DocumentFilter});
    } else {
        EXPECT_EQ(Shape(), Lines{"work"});
        EXPECT_TRUE(Modified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MainOpenTest,
    testing::Values(OpenCase{"no", {mrNo}, {}, {"other.Trr"}, true},
                    OpenCase{"cancel", {mrCancel}, {}, {}, false},
                    OpenCase{"yes and save dialog cancelled", {mrYes}, {""}, {}, false},
                    OpenCase{"open dialog cancelled", {mrNo}, {}, {""}, false},
                    OpenCase{"failed load", {mrNo}, {}, {"missing.Trr"}, false, true}),
    [](const auto& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(MainFileTest, EmptyOutlineFileLoadsAsADocumentWithOneItem) {
    test::WriteFileBytes(Base("empty.Trr"), "");
    test::WriteFileBytes(Base("empty.Txt"), "");
    test::WriteFileBytes(Base("empty.Bin"), "");
    Build({"a", "b"});
    Prompts.OpenNames = {Base("empty.Trr")};
    Main.mnOpenClick();
    EXPECT_EQ(Shape(), Lines{" "});
    EXPECT_EQ(Title(), Base("empty"));
    EXPECT_EQ(Editor(), "");
    EXPECT_EQ(Label(), "1 / 1");
    EXPECT_FALSE(Modified());
    Main.mnInsNodeClick();
    Main.mnSplitClick();
    EXPECT_EQ(Main.olTree->TotalItems(), 3);
}

TEST_F(MainFileTest, AddTextAppendsTheFileOrChangesNothingWhenItIsMissing) {
    test::WriteFileBytes(Base("empty.txt"), "");
    test::WriteFileBytes(Base("two.txt"), "x\r\ny\r\n");
    Build({"a"});
    Prompts.OpenNames = {Base("empty.txt"), Base("two.txt"), Base("missing.txt")};
    Main.mnAddClick();
    EXPECT_EQ(Note(1), Lines{"a"});
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Label(), "1 / 1*");
    EXPECT_EQ(Prompts.OpenFilters, Lines{msg::AllFilesFilter});
    Main.mnAddClick();
    EXPECT_EQ(Note(1), (Lines{"a", "x", "y"}));
    EXPECT_THROW(Main.mnAddClick(), EFOpenError);
    EXPECT_EQ(Note(1), (Lines{"a", "x", "y"}));
    EXPECT_EQ(Editor(), "a\nx\ny\n");
    EXPECT_TRUE(Main.moNote->hasFocus());
}

TEST_F(MainFileTest, PrintPrintsTheTypedTextUncommitted) {
    Build({"a"});
    Retype("typed\nlines");
    Lines printed;
    Main.PrintNote = [&](const TMemoLines& note) {
        for (std::size_t i = 0; i < note.Count(); ++i) {
            printed.push_back(note.Line(i));
        }
    };
    Main.mnuPrintClick();
    EXPECT_EQ(printed, (Lines{"typed", "lines"}));
    EXPECT_EQ(Note(1), Lines{"a"});
    EXPECT_FALSE(Modified());
}

} // namespace
} // namespace virevi
