#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <deque>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/qt/main_prompts.h"
#include "dialogs/dialog_answer.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/find_form.h"
#include "dialogs/qt/message_form.h"
#include "document/document.h"
#include "document/note_search.h"
#include "editor/qt/memo.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/shift_jis.h"
#include "support/case_name.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

TEST(MainWindowTest, UntitledWindowIsCaptionedNewFile) {
    TMain window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("NewFile"));
}

using Lines = std::vector<std::string>;

// The person at the keyboard, answering each question in turn from a script
// of words: "yes", "no", "cancel" to the save prompt; a file name in the
// folder, or "-" for Cancel, to a file dialog. Every question is logged.
class TScriptedPrompts : public TMainPrompts {
public:
    std::istringstream Answers;
    std::string Asked; // "save?", "save-as" or "open", each followed by a space
    Lines Filters;
    std::string Folder;
    int Beeps = 0;

    void Script(const std::string& words) { Answers = std::istringstream(words); }
    int AskSave() override {
        const std::string answer = Next("save?");
        return answer == "yes" ? mrYes : answer == "no" ? mrNo : mrCancel;
    }
    bool ChooseOpenFile(std::string_view filter, std::string& fileName) override {
        return Choose("open", filter, fileName);
    }
    bool ChooseSaveFile(std::string_view filter, std::string& fileName) override {
        return Choose("save-as", filter, fileName);
    }
    void Beep() override { ++Beeps; }

private:
    std::string Next(const std::string& question) {
        Asked += question + " ";
        std::string answer = "-";
        Answers >> answer;
        return answer;
    }
    bool Choose(const std::string& question, std::string_view filter, std::string& fileName) {
        Filters.emplace_back(filter);
        const std::string name = Next(question);
        fileName = Folder + "/" + name;
        return name != "-";
    }
};

class MainWindowFixture : public testing::Test {
protected:
    MainWindowFixture() {
        Prompts.Folder = Folder.Path();
        Main.SetPrompts(&Prompts);
        Main.show();
        Main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main));
    }

    /// An untitled document of items "caption" (a leading "-" per level below
    /// the top), all expanded, each note its caption; item 1 selected, nothing modified.
    void Build(std::initializer_list<std::string> items) {
        Main.ClearDocument();
        TDocument& document = Main.Document();
        document.SetCaption(msg::UntitledCaption);
        std::vector<std::int32_t> parents;
        for (const std::string& item : items) {
            const std::size_t level = item.find_first_not_of('-');
            parents.resize(level);
            const std::string text = item.substr(level);
            const std::int32_t index = level == 0 ? Main.olTree->AddSibling(0, text)
                                                  : Main.olTree->AppendChild(parents.back(), text);
            TDocument::RecordOf(document.AttachNewRecord(index))->Count = 1;
            document.NotePool.Add(text);
            parents.push_back(index);
        }
        Main.olTree->ExpandAll();
        Select(1);
        document.DocModified = false;
    }
    /// Selects item `index` and shows its note.
    void Select(std::int32_t index) {
        Main.olTree->SetSelectedIndex(index);
        Main.olTreeClick();
    }
    /// Replaces the note being edited with `text`, typed; "\n" is the Enter key.
    void Retype(const std::string& text) {
        Main.moNote->setFocus();
        // Ctrl+A is the menu's Add text, so the selection is made directly.
        Main.moNote->selectAll();
        QTest::keyClick(Main.moNote, Qt::Key_Delete);
        for (char c : text) {
            QTest::keyClick(Main.moNote, c == '\n' ? '\r' : c);
        }
    }

    /// The outline by spaces, a "-" per level below the top before each caption.
    std::string Shape() {
        std::string shape;
        for (std::int32_t i = 1; i <= Main.olTree->TotalItems(); ++i) {
            TOutlineNode* item = Main.olTree->ItemAt(i);
            shape += (i == 1 ? "" : " ") + std::string(item->Level() - 1, '-');
            shape += item->Text();
        }
        return shape;
    }
    Lines Note(std::int32_t index) {
        const ItemRecord* record = TDocument::RecordOf(Main.olTree->ItemAt(index));
        TStringList note;
        note.AddRange(Main.Document().NotePool, record->Start, record->Count);
        return LinesOf(note);
    }
    Lines Editor() {
        TStringList lines;
        Main.moNote->AppendTo(lines);
        return LinesOf(lines);
    }
    static Lines LinesOf(const TStringList& list) {
        Lines lines;
        for (std::size_t i = 0; i < list.Count(); ++i) {
            lines.emplace_back(list[i]);
        }
        return lines;
    }
    std::string Label() { return Main.lbIndex->text().toStdString(); }
    std::string Title() { return QFile::encodeName(Main.windowTitle()).toStdString(); }
    std::int32_t Selected() { return Main.olTree->SelectedIndex(); }
    bool Modified() { return Main.Document().DocModified; }

    test::TTempFolder Folder;
    TScriptedPrompts Prompts;
    TMain Main;
};

// --- editing commands -------------------------------------------------------

using MainEditingTest = MainWindowFixture;

TEST_F(MainEditingTest, NewDocumentHasOneBlankItemThatPrintsUncommittedAndCannotBeDeleted) {
    EXPECT_EQ(Shape(), " ");
    EXPECT_EQ(Editor(), Lines{});
    EXPECT_EQ(Label(), "");
    Main.ShowPosition();
    EXPECT_EQ(Label(), "1 / 1");
    EXPECT_TRUE(Main.moNote->hasFocus());
    // Printing prints what the editor holds, committed or not.
    Retype("typed\nlines");
    Lines printed;
    Main.PrintNote = [&](const TMemoLines& note) { printed = {note.Line(0), note.Line(1)}; };
    Main.mnuPrintClick();
    EXPECT_EQ(printed, (Lines{"typed", "lines"}));
    EXPECT_EQ(Note(1), Lines{});
    // Deleting would leave no item: the only one, or the one holding all others.
    Main.mnDelClick();
    Build({"a", "-b", "--c"});
    Main.mnDelClick();
    EXPECT_EQ(Shape(), "a -b --c");
    EXPECT_EQ(Prompts.Beeps, 2);
}

TEST_F(MainEditingTest, InsertAboveThirdOfFiveKeepsTheOldItemsNote) {
    Build({"a", "b", "c", "d", "e"});
    Select(3);
    Main.mnInsNodeClick();
    EXPECT_EQ(Shape(), "a b   c d e");
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Editor(), Lines{});
    EXPECT_EQ(Note(4), Lines{"c"});
    EXPECT_FALSE(Modified());     // inserting does not mark the document ...
    EXPECT_EQ(Label(), "3 / 6*"); // ... but the note to commit is unsaved work
    Main.mnNextNodeClick();       // ... and its commit marks the document
    EXPECT_EQ(Shape(), "a b  c d e");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Label(), "4 / 6*");
}

struct MoveCase {
    const char* Name;
    void (TMainCommands::*Command)();
    std::int32_t Select;
    const char* Shape; // the typed note "x" is committed into the selected item first
    std::int32_t Selected;
    int Beeps;
};

void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.Name;
}

class MainMoveTest : public MainWindowFixture, public testing::WithParamInterface<MoveCase> {};

TEST_P(MainMoveTest, MovesOrBeepsAndShowsTheSelectedNote) {
    const MoveCase& c = GetParam();
    Build({"a", "-b", "-c", "-d", "e", "-f"});
    Select(c.Select);
    Retype("x");
    (Main.*c.Command)();
    EXPECT_EQ(Shape(), c.Shape);
    EXPECT_EQ(Selected(), c.Selected);
    EXPECT_EQ(Prompts.Beeps, c.Beeps);
    EXPECT_EQ(Editor(), Note(c.Selected));
    EXPECT_TRUE(Modified());
    // Every record of a deleted subtree goes with it.
    EXPECT_EQ(Main.Document().RecordsInUse(), static_cast<std::size_t>(Main.olTree->TotalItems()));
}

constexpr auto Del = &TMain::mnDelClick;
constexpr auto Prev = &TMain::mnPrevNodeClick;
constexpr auto Next = &TMain::mnNextNodeClick;
constexpr auto Right = &TMain::mnLevelDownClick;
constexpr auto Left = &TMain::mnLevelUpClick;
constexpr auto Add = &TMain::mnAddNodeClick;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MainMoveTest, testing::Values(
    MoveCase{"add from a child",              Add,   2, "a -x -c -d e -f  ",    7, 0},
    MoveCase{"delete parent",                 Del,   1, "e -f",                 1, 0},
    MoveCase{"delete last child",             Del,   4, "a -b -c e -f",         3, 0},
    MoveCase{"delete only child",             Del,   6, "a -b -c -d e",         5, 0},
    MoveCase{"previous on item 1",            Prev,  1, "x -b -c -d e -f",      1, 1},
    MoveCase{"next on the last item",         Next,  6, "a -b -c -d e -x",      6, 1},
    MoveCase{"right on a first child",        Right, 2, "a -x -c -d e -f",      2, 1},
    // Under a childless, so collapsed, item: the selection goes to it.
    MoveCase{"right on a second child",       Right, 3, "a -b --x -d e -f",     2, 0},
    MoveCase{"left on a top-level item",      Left,  1, "x -b -c -d e -f",      1, 1},
    MoveCase{"left on the last top-level",    Left,  5, "a -b -c -d x -f",      5, 1},
    MoveCase{"left on a last child",          Left,  4, "a -b -c -x e -f",      4, 1},
    MoveCase{"left on a middle child",        Left,  3, "a -b -d x e -f",       4, 0}),
    test::TCaseName());
// clang-format on

TEST_F(MainEditingTest, LevelChangeThatMovesAnItemIsUnsavedWorkAndARefusedOneIsNot) {
    const struct {
        const char* Name;
        void (TMainCommands::*Command)();
        std::int32_t Select;
        bool Moves;
    } cases[] = {
        {"right on a first item", Right, 1, false},   {"right on a second child", Right, 3, true},
        {"left on the last item", Left, 4, false},    {"left on a middle child", Left, 2, true},
        {"left on a top-level item", Left, 1, false},
    };
    for (const auto& c : cases) {
        Build({"a", "-b", "-c", "d"});
        Select(c.Select);
        Main.ShowPosition();
        Prompts.Asked.clear();
        (Main.*c.Command)();
        EXPECT_EQ(Modified(), c.Moves) << c.Name;
        EXPECT_EQ(Label().back() == '*', c.Moves) << c.Name << ": " << Label();
        if (c.Moves) {
            // Closing asks before the move is lost.
            Prompts.Script("cancel");
            Main.mnExitClick();
            EXPECT_EQ(Prompts.Asked, "save? ") << c.Name;
            EXPECT_TRUE(Main.isVisible());
        }
    }
}

TEST_F(MainEditingTest, LabelFollowsEverySelectionAndShowsTypingAtOnce) {
    Build({"a", "b", "c", "d"});
    Main.ShowPosition();
    EXPECT_EQ(Label(), "1 / 4");
    const TRect row1 = Main.olTree->RowRect(1);
    QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {},
                      QPoint(row1.Left + 2, (row1.Top + row1.Bottom) / 2));
    EXPECT_EQ(Label(), "2 / 4");
    Main.olTree->setFocus();
    QTest::keyClick(Main.olTree, Qt::Key_Down);
    EXPECT_EQ(Label(), "3 / 4");
    QTest::keyClick(Main.moNote, Qt::Key_X);
    EXPECT_EQ(Label(), "3 / 4*");
    Main.mnDelClick();
    EXPECT_EQ(Label(), "3 / 3*");
}

TEST_F(MainEditingTest, NextAndPreviousSkipItemsInsideCollapsedParents) {
    Build({"a", "-b", "--c", "d"});
    Main.olTree->ItemAt(1)->SetExpanded(false);
    Main.mnNextNodeClick();
    EXPECT_EQ(Editor(), Lines{"d"});
    Main.mnPrevNodeClick();
    EXPECT_EQ(Editor(), Lines{"a"});
    EXPECT_EQ(Label(), "1 / 4");
}

TEST_F(MainEditingTest, SplitMovesTheTextBeforeTheCaretAboveAndLeavesTheClipboard) {
    QApplication::clipboard()->setText(QStringLiteral("clipboard"));
    Build({"a", "b"});
    Select(2);
    Retype("first\nsecond");
    Main.moNote->SetSelStart(10); // after "sec"
    Main.mnSplitClick();
    EXPECT_EQ(Shape(), "a first ond");
    EXPECT_EQ(Note(2), (Lines{"first", "sec"}));
    EXPECT_EQ(Note(3), Lines{"ond"});
    EXPECT_EQ(Editor(), Note(2));
    EXPECT_EQ(Selected(), 2);
    EXPECT_FALSE(Main.moNote->Modified());
    EXPECT_TRUE(Main.moNote->hasFocus());
    Main.Document().DocModified = false;
    Main.moNote->SetSelStart(0);
    Main.mnSplitClick();
    EXPECT_EQ(Shape(), "a  first ond");
    EXPECT_EQ(Note(2), Lines{});
    EXPECT_EQ(Note(3), (Lines{"first", "sec"}));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clipboard"));
}

TEST_F(MainEditingTest, ClickOnARowCommitsTheEditedNoteFirst) {
    Build({"a", "b"});
    Retype("typed");
    const TRect row1 = Main.olTree->RowRect(1);
    QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {},
                      QPoint(row1.Left + 2, (row1.Top + row1.Bottom) / 2));
    EXPECT_EQ(Shape(), "typed b");
    EXPECT_EQ(Editor(), Lines{"b"});
    EXPECT_TRUE(Main.moNote->hasFocus());
}

TEST_F(MainEditingTest, ClickIntoTheWindowWhileAnotherIsActiveSelectsAndCommitsFirst) {
    Build({"a", "b"});
    Retype("typed");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    const TRect row1 = Main.olTree->RowRect(1);
    QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {},
                      QPoint(row1.Left + 2, (row1.Top + row1.Bottom) / 2));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Shape(), "typed b");
    EXPECT_EQ(Editor(), Lines{"b"});
}

// --- finding ----------------------------------------------------------------

std::string Sjis(std::u16string_view text) {
    return EncodeShiftJis(text);
}

// Types `text` as one key of a Japanese input method would.
void Type(QWidget* widget, const QString& text) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

using MainFindTest = MainWindowFixture;

TEST_F(MainFindTest, CtrlFAndF3FindWordsInCollapsedNotesAndSayWhenThereIsNone) {
    // はじめに, thirty more items, then 章 > 節 > 表示と検索 collapsed, then 再検索.
    Build({Sjis(u"はじめに")});
    TDocument& document = Main.Document();
    std::vector<std::int32_t> parents{0};
    for (int i = 0; i < 34; ++i) {
        const int level = i == 31 ? 2 : i == 32 ? 3 : 1;
        const std::string text = i < 30    ? Sjis(u"項目")
                                 : i == 30 ? Sjis(u"章")
                                 : i == 31 ? Sjis(u"節")
                                 : i == 32 ? Sjis(u"表示と検索")
                                           : Sjis(u"再検索");
        parents.resize(static_cast<std::size_t>(level));
        const std::int32_t index = Main.olTree->AppendChild(parents.back(), text);
        parents.push_back(index);
        TDocument::RecordOf(document.AttachNewRecord(index))->Count = 1;
        document.NotePool.Add(text);
    }
    Main.olTree->ItemAt(32)->ExpandAll();
    Main.olTree->ItemAt(32)->SetExpanded(false);
    ASSERT_EQ(Main.olTree->TotalItems(), 35);
    TFindForm& form = Main.FindForm();
    auto selected = [&] { return Main.moNote->textCursor().selectedText().toStdString(); };

    // With no search yet F3 opens the dialog, and Escape closes it.
    QTest::keyClick(Main.moNote, Qt::Key_F3);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("検索"));
    QTest::keyClick(form.edFind, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());

    // What the editor holds is searched, committed first; past the caret at
    // its end the search comes round to it; letters match either case.
    Retype("find");
    QTest::keyClick(Main.moNote, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClicks(form.edFind, QStringLiteral("FIND"));
    QTest::mouseClick(form.btFindNext, Qt::LeftButton);
    EXPECT_EQ(Note(1), Lines{"find"});
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(selected(), "find");

    // The last search comes back selected; Enter finds the word inside the
    // collapsed subtree, which opens, its row in view.
    QTest::keyClick(Main.moNote, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.edFind->selectedText(), QStringLiteral("FIND"));
    Type(form.edFind, QStringLiteral("検索"));
    QTest::keyClick(form.edFind, Qt::Key_Return);
    EXPECT_EQ(Selected(), 34);
    EXPECT_TRUE(Main.olTree->ItemAt(32)->Expanded());
    EXPECT_TRUE(Main.olTree->ItemAt(33)->Expanded());
    EXPECT_EQ(Editor(), Lines{Sjis(u"表示と検索")});
    EXPECT_EQ(Main.moNote->SelStart(), 3u);
    EXPECT_EQ(selected(), "検索");
    EXPECT_EQ(Label(), "34 / 35*");
    const std::int32_t row = Main.olTree->Row();
    EXPECT_GE(row, Main.olTree->TopRow());
    EXPECT_LE(Main.olTree->RowRect(row).Bottom, Main.olTree->viewport()->height());
    // The dialog keeps the keyboard, and the editor shows the match all the same.
    const QPalette colours = Main.moNote->palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
              colours.color(QPalette::Active, QPalette::Highlight));

    // Enter again, and F3 in the window, go on to the next, then once around.
    QTest::keyClick(form.edFind, Qt::Key_Return);
    EXPECT_EQ(Selected(), 35);
    EXPECT_EQ(Main.moNote->SelStart(), 1u);
    EXPECT_EQ(selected(), "検索");
    QApplication::setActiveWindow(&Main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main));
    QTest::keyClick(Main.olTree, Qt::Key_F3);
    EXPECT_EQ(Selected(), 34);
    EXPECT_EQ(Editor(), Lines{Sjis(u"表示と検索")});

    // Not finding says so and changes nothing.
    QTest::keyClick(Main.moNote, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Type(form.edFind, QStringLiteral("存在しない"));
    QString message;
    test::WhenModalOpens<TMessageForm>([&](TMessageForm& box) {
        message = box.findChild<QLabel*>(QStringLiteral("Message"))->text();
        EXPECT_EQ(box.windowTitle(), QStringLiteral("情報"));
        box.findChild<QPushButton*>()->click();
    });
    QTest::mouseClick(form.btFindNext, Qt::LeftButton);
    EXPECT_EQ(message, QStringLiteral("「存在しない」は見つかりません。"));
    EXPECT_EQ(Selected(), 34);
    EXPECT_EQ(selected(), "検索");
    // Closed, the dialog no longer makes the editor show its selection.
    QTest::keyClick(form.edFind, Qt::Key_Escape);
    EXPECT_EQ(Main.moNote->palette().color(QPalette::Inactive, QPalette::Highlight),
              QColor(Qt::white));

    // A text longer than any line is refused with the beep alone.
    Main.FindNext(std::string(MostSearchBytes + 1, 'a'), true);
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(Selected(), 34);
}

// --- file commands ----------------------------------------------------------

struct FileCase {
    const char* Name;
    void (TMainCommands::*Command)();
    const char* Answers;
    const char* Asked;
    const char* Shape; // of the open document afterwards
    bool Modified;
    bool Closed = false;
    bool Fails = false;
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.Name;
}

class MainFileTest : public MainWindowFixture, public testing::WithParamInterface<FileCase> {};

TEST_P(MainFileTest, ReplacesOrClosesOnlyWhatIsSavedOrGivenUp) {
    const FileCase& c = GetParam();
    Build({"a", "b"});
    Prompts.Script("other.Trr");
    Main.mnSaveAsClick();
    Build({"mine"});
    Retype("work");
    Prompts.Asked.clear();
    Prompts.Filters.clear();
    Prompts.Script(c.Answers);
    try {
        (Main.*c.Command)();
        EXPECT_FALSE(c.Fails);
    } catch (const EFOpenError&) {
        EXPECT_TRUE(c.Fails);
    }
    EXPECT_EQ(Prompts.Asked, c.Asked);
    EXPECT_EQ(Shape(), c.Shape);
    EXPECT_EQ(Modified(), c.Modified);
    EXPECT_EQ(Main.isVisible(), !c.Closed);
    const bool saved = std::string(c.Answers).find("saved") != std::string::npos;
    EXPECT_EQ(test::ReadFileBytes(Folder.File("saved.Txt")), saved ? "work\r\n" : "<missing>");
    for (const std::string& filter : Prompts.Filters) {
        EXPECT_EQ(filter, msg::DocumentFilter);
    }
}

constexpr auto New = &TMain::mnNewClick;
constexpr auto Open = &TMain::mnOpenClick;
constexpr auto Close = &TMain::mnExitClick;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Answers, MainFileTest, testing::Values(
    FileCase{"new yes saved",         New,   "yes saved.Trr",           "save? save-as ",      " ",    false},
    FileCase{"new yes not saved",     New,   "yes -",                   "save? save-as ",      "work", true},
    FileCase{"new no",                New,   "no",                      "save? ",              " ",    false},
    FileCase{"new cancel",            New,   "cancel",                  "save? ",              "work", true},
    FileCase{"open yes saved",        Open,  "yes saved.Trr other.Trr", "save? save-as open ", "a b",  false},
    FileCase{"open yes not saved",    Open,  "yes -",                   "save? save-as ",      "work", true},
    FileCase{"open no",               Open,  "no other.Trr",            "save? open ",         "a b",  false},
    FileCase{"open cancel",           Open,  "cancel",                  "save? ",              "work", true},
    FileCase{"open dialog cancelled", Open,  "no -",                    "save? open ",         "work", true},
    FileCase{"open fails",            Open,  "no missing.Trr",          "save? open ",         "work", true, false, true},
    FileCase{"close yes saved",       Close, "yes saved.Trr",           "save? save-as ",      "work", false, true},
    FileCase{"close yes not saved",   Close, "yes -",                   "save? save-as ",      "work", true},
    FileCase{"close no",              Close, "no",                      "save? ",              "work", true, true},
    FileCase{"close cancel",          Close, "cancel",                  "save? ",              "work", true}),
    test::TCaseName());
// clang-format on

using MainDocumentTest = MainWindowFixture;

TEST_F(MainDocumentTest, SaveAsksForANameOnlyWhenUntitledAndNewAndCloseAskNothingWhenSaved) {
    Build({"a"});
    Retype("note");
    Prompts.Script("plan.2024.Trr");
    Main.mnSaveClick();
    EXPECT_EQ(Title(), Folder.File("plan.2024"));
    EXPECT_EQ(Label(), "1 / 1");
    Retype("again");
    Main.mnSaveClick();
    EXPECT_EQ(test::ReadFileBytes(Folder.File("plan.2024.Txt")), "again\r\n");
    Main.mnNewClick();
    EXPECT_EQ(Title(), "NewFile");
    Main.mnExitClick();
    EXPECT_FALSE(Main.isVisible());
    EXPECT_EQ(Prompts.Asked, "save-as ");
}

TEST_F(MainDocumentTest, OpenLeavesNoRowOfTheDocumentBeforeOnTheScreen) {
    Build({"aaaa", "bb", "cccccccccccc", "dd"});
    Prompts.Script("four.Trr");
    Main.mnSaveAsClick();
    const auto clickRow = [this](std::int32_t row) {
        const TRect r = Main.olTree->RowRect(row);
        QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {},
                          QPoint(r.Left + 2, (r.Top + r.Bottom) / 2));
    };
    clickRow(1);
    QTest::keyClick(Main.moNote, Qt::Key_End);
    QTest::keyClicks(Main.moNote, QStringLiteral("XYZ"));
    clickRow(0);
    EXPECT_EQ(Shape(), "aaaa bbXYZ cccccccccccc dd");
    QTest::qWait(20);
    Prompts.Script("no four.Trr");
    Main.mnOpenClick();
    EXPECT_EQ(Shape(), "aaaa bb cccccccccccc dd");
    QTest::qWait(20);
    // What the window shows is what painting the outline afresh draws.
    QWidget* rows = Main.olTree->viewport();
    const QRect onWindow(rows->mapTo(&Main, QPoint(0, 0)), rows->size());
    const QImage shown = Main.screen()->grabWindow(Main.winId()).toImage().copy(onWindow);
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              rows->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainDocumentTest, EmptyOutlineFileLoadsAsADocumentWithOneItem) {
    for (const char* extension : {".Trr", ".Txt", ".Bin"}) {
        test::WriteFileBytes(Folder.File(std::string("empty") + extension), "");
    }
    Build({"a", "b"});
    Prompts.Script("empty.Trr");
    Main.mnOpenClick();
    EXPECT_EQ(Shape(), " ");
    EXPECT_EQ(Title(), Folder.File("empty"));
    EXPECT_EQ(Editor(), Lines{});
    EXPECT_EQ(Label(), "1 / 1");
    Main.mnInsNodeClick();
    Main.mnSplitClick();
    EXPECT_EQ(Main.olTree->TotalItems(), 3);
}

TEST_F(MainDocumentTest, AddTextAppendsTheFileOrChangesNothingWhenItIsMissing) {
    test::WriteFileBytes(Folder.File("empty.txt"), "");
    test::WriteFileBytes(Folder.File("two.txt"), "x\r\ny\r\n");
    Build({"a"});
    Prompts.Script("empty.txt two.txt missing.txt");
    Main.mnAddClick();
    EXPECT_EQ(Note(1), Lines{"a"});
    EXPECT_EQ(Label(), "1 / 1*");
    Main.mnAddClick();
    EXPECT_THROW(Main.mnAddClick(), EFOpenError);
    EXPECT_EQ(Note(1), (Lines{"a", "x", "y"}));
    EXPECT_EQ(Editor(), (Lines{"a", "x", "y"}));
    EXPECT_TRUE(Main.moNote->hasFocus());
    EXPECT_EQ(Prompts.Filters, Lines(3, msg::AllFilesFilter));
}

// The Japanese text was written for the test in UTF-8; its Shift-JIS and
// UTF-16 copies were made by iconv, the Shift-JIS one with CR LF line ends.
TEST_F(MainDocumentTest, AddTextOfAUtf8OrUtf16TextGivesTheNoteOfItsShiftJisCopy) {
    for (const char* name : {"japanese-sjis.txt", "japanese-utf8.txt", "japanese-utf16.txt"}) {
        std::filesystem::copy_file(std::string(VIREVI_FIXTURES) + "/" + name, Folder.File(name));
    }
    Build({"a", "a", "a"});
    Prompts.Script("japanese-sjis.txt japanese-utf8.txt japanese-utf16.txt");
    for (std::int32_t item = 1; item <= 3; ++item) {
        Select(item);
        Main.mnAddClick();
    }
    const Lines shiftJis = Note(1);
    ASSERT_GE(shiftJis.size(), 7u);
    EXPECT_EQ(shiftJis[1], "\x92\xEB\x82\xCC\x8E\xE8\x93\xFC\x82\xEA"); // 庭の手入れ
    for (const std::string& line : shiftJis) {
        // Every character of the text has its code: none became "?".
        EXPECT_EQ(line.find('?'), std::string::npos) << line;
    }
    EXPECT_EQ(Note(2), shiftJis);
    EXPECT_EQ(Note(3), shiftJis);
}

} // namespace
} // namespace virevi
