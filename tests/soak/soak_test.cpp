// The whole main window under a long run of random user actions: commands
// through their handlers, the menu and their short-cut keys, files saved and
// opened again, clicks, keys, the wheel and typing. After every action the
// window must be consistent; after every save the files must read back as
// the document that was saved.
//
// VIREVI_SOAK_ACTIONS sets the number of actions, VIREVI_SOAK_SEED the seed;
// a failure names both and the actions that led to it, so it can be replayed.

// Mouse events through the platform layer, as a real mouse: a second press in
// time makes a double click.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_prompts.h"
#include "app/main_window.h"
#include "app/window_state.h"
#include "dialogs/error_display.h"
#include "dialogs/message_layout.h"
#include "document/base_path.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/memo.h"
#include "files/string_list.h"
#include "outline/outline.h"
#include "outline/outline_node.h"
#include "runtime/messages.h"
#include "soak_checks.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

// Runs in well under a minute in the optimised build.
constexpr std::uint64_t DefaultActions = 3000;
constexpr std::uint64_t DefaultSeed = 20261209;
// Past this many items the mix prefers deleting, so that checks stay cheap.
constexpr std::int32_t ManyItems = 250;
constexpr std::size_t LongNote = 40;
constexpr std::size_t HistoryLength = 20;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    char* end = nullptr;
    const std::uint64_t value = std::strtoull(text, &end, 10);
    return *end == '\0' ? value : fallback;
}

// The person at the keyboard: each answer is set by the action about to run.
class TSoakPrompts : public TMainPrompts {
public:
    std::string OpenPath; ///< empty: the dialog is cancelled
    std::string SavePath;
    int SaveAnswer = mrNo;
    int Beeps = 0;
    int SaveAsked = 0;

    int AskSave() override {
        ++SaveAsked;
        return SaveAnswer;
    }
    bool ChooseOpenFile(std::string_view, std::string& fileName) override {
        fileName = OpenPath;
        return !OpenPath.empty();
    }
    bool ChooseSaveFile(std::string_view, std::string& fileName) override {
        fileName = SavePath;
        return !SavePath.empty();
    }
    void Beep() override { ++Beeps; }
};

enum class TKind : std::uint8_t {
    InsNode,
    AddNode,
    Del,
    Cut,
    Copy,
    Paste,
    Split,
    PrevNode,
    NextNode,
    LevelDown,
    LevelUp,
    New,
    Open,
    Save,
    SaveAs,
    AddText,
    OpenBroken,
    ClickRow,
    DoubleClickRow,
    ClickBelowRows,
    OutlineKey,
    WheelOutline,
    WheelEditor,
    TypeAscii,
    TypeJapanese,
    TypeByInputMethod,
    EditorKey,
    ClearNote,
    ClipboardFromOutside,
    FocusOutline,
    FocusEditor,
    ClickEditor,
    ExpandByApi,
    CollapseByApi,
    Resize,
    Count,
};

constexpr std::array<const char*, static_cast<std::size_t>(TKind::Count)> KindNames = {
    "InsNode",
    "AddNode",
    "Del",
    "Cut",
    "Copy",
    "Paste",
    "Split",
    "PrevNode",
    "NextNode",
    "LevelDown",
    "LevelUp",
    "New",
    "Open",
    "Save",
    "SaveAs",
    "AddText",
    "OpenBroken",
    "ClickRow",
    "DoubleClickRow",
    "ClickBelowRows",
    "OutlineKey",
    "WheelOutline",
    "WheelEditor",
    "TypeAscii",
    "TypeJapanese",
    "TypeByInputMethod",
    "EditorKey",
    "ClearNote",
    "ClipboardFromOutside",
    "FocusOutline",
    "FocusEditor",
    "ClickEditor",
    "ExpandByApi",
    "CollapseByApi",
    "Resize",
};

// How often a user does each, out of the sum.
constexpr std::array<int, static_cast<std::size_t>(TKind::Count)> BaseWeights = {
    40, 30, 25, 12, 12, 15, 12, 30, 30, 20, 20, 3,  6,  8,  3,  6,  2, 60,
    15, 4,  80, 15, 10, 70, 30, 15, 60, 0,  4,  20, 20, 15, 10, 10, 3,
};

// How a menu command is given: its handler, its menu item, or its key.
enum class TRoute : std::uint8_t { Handler, Menu, Key };

// The document as a save now would write it: the editor's change counts as
// committed into the selected item. Captions in their stored form.
struct TDocumentImage {
    std::vector<std::string> Items; ///< level, a space, the caption
    std::vector<std::vector<std::string>> Notes;
    bool operator==(const TDocumentImage&) const = default;
};

std::vector<std::string> LinesOf(const TStringList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.emplace_back(list[i]);
    }
    return lines;
}

TDocumentImage ImageOf(TMain& main) {
    TDocumentImage image;
    TOutline& tree = *main.olTree;
    const std::int32_t selected = tree.SelectedIndex();
    for (std::int32_t i = 1; i <= tree.TotalItems(); ++i) {
        TOutlineNode* item = tree.ItemAt(i);
        std::string caption(item->Text());
        TStringList note;
        if (i == selected && main.moNote->Modified()) {
            test::HardLines(*main.moNote, note);
            caption = note.Count() > 0 ? std::string(note[0]) : std::string();
        } else if (const ItemRecord* record = TDocument::RecordOf(item)) {
            note.AddRange(main.Document().NotePool, record->Start, record->Count);
        }
        image.Items.push_back(std::to_string(item->Level()) + " " + test::StorableCaption(caption));
        image.Notes.push_back(LinesOf(note));
    }
    return image;
}

std::string Describe(const TDocumentImage& image) {
    std::ostringstream out;
    for (std::size_t i = 0; i < image.Items.size(); ++i) {
        out << "[" << image.Items[i] << "]" << testing::PrintToString(image.Notes[i]) << " ";
    }
    return out.str();
}

class TSoak {
public:
    TSoak(std::uint64_t actions, std::uint64_t seed)
        : Actions_(actions), Seed_(seed), Random_(seed) {
        Replaced_ = SetErrorBoxDisplay([this](const TErrorBox& box) { Boxes_.push_back(box); });
        Main_.SetPrompts(&Prompts_);
        Reader_.SetPrompts(&Prompts_);
        Main_.ShowAbout = [] {};
        Main_.PrintNote = [](const TMemoLines&) {};
        Main_.show();
        Main_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main_));
        Names_ = {Folder_.File("doc"), Folder_.File("日本語 メモ"), Folder_.File("two.parts")};
    }
    ~TSoak() { SetErrorBoxDisplay(Replaced_); }
    TSoak(const TSoak&) = delete;
    TSoak& operator=(const TSoak&) = delete;

    void Run() {
        QElapsedTimer clock;
        clock.start();
        for (Number_ = 1; Number_ <= Actions_; ++Number_) {
            if (!Step()) {
                return;
            }
        }
        std::ostringstream out;
        out << "soak: " << Actions_ << " actions in " << clock.elapsed() / 1000.0 << " s; "
            << SavesCompared_ << " saves read back, " << OpensCompared_ << " opens compared, "
            << Refusals_ << " refusals, " << Boxes_.size() << " errors shown, " << Prompts_.Beeps
            << " beeps, " << Prompts_.SaveAsked << " save prompts, at most " << MostItems_
            << " items\n";
        for (std::size_t kind = 0; kind < Counts_.size(); ++kind) {
            out << "  " << KindNames[kind] << " " << Counts_[kind] << "\n";
        }
        std::printf("%s", out.str().c_str());
    }

private:
    // --- the loop ----------------------------------------------------------

    bool Step() {
        const TKind kind = Choose();
        ++Counts_[static_cast<std::size_t>(kind)];
        Current_.str({});
        Current_ << KindNames[static_cast<std::size_t>(kind)];
        Problems_.str({});
        LabelShown_ = false;
        const std::size_t boxes = Boxes_.size();
        try {
            Act(kind);
            QCoreApplication::processEvents();
        } catch (const std::exception& error) {
            Problems_ << "escaped: " << error.what() << "\n";
        }
        History_.push_back(Current_.str());
        if (History_.size() > HistoryLength) {
            History_.pop_front();
        }
        if (Boxes_.size() > boxes && !Refusable_) {
            Problems_ << "error shown: " << Boxes_.back().Text << "\n";
        }
        Refusable_ = false;
        MostItems_ = std::max(MostItems_, Main_.olTree->TotalItems());
        const std::string found = Problems_.str() + test::CheckWindow(Main_, LabelShown_);
        if (found.empty()) {
            return true;
        }
        std::ostringstream history;
        for (const std::string& action : History_) {
            history << "  " << action << "\n";
        }
        ADD_FAILURE() << "seed " << Seed_ << ", action " << Number_ << " of " << Actions_
                      << " (replay with VIREVI_SOAK_SEED=" << Seed_
                      << " VIREVI_SOAK_ACTIONS=" << Number_ << ")\n"
                      << found << "last actions:\n"
                      << history.str();
        return false;
    }

    TKind Choose() {
        std::array<int, static_cast<std::size_t>(TKind::Count)> weights = BaseWeights;
        auto weight = [&weights](TKind kind) -> int& {
            return weights[static_cast<std::size_t>(kind)];
        };
        if (Main_.olTree->TotalItems() >= ManyItems) {
            weight(TKind::InsNode) = 0;
            weight(TKind::AddNode) = 0;
            weight(TKind::Split) = 0;
            weight(TKind::Del) = 200;
        }
        if (Main_.moNote->Count() > LongNote) {
            weight(TKind::ClearNote) = 100;
            weight(TKind::AddText) = 0;
            weight(TKind::Paste) = 0;
        }
        int total = 0;
        for (const int w : weights) {
            total += w;
        }
        int pick = Below(total);
        for (std::size_t kind = 0; kind < weights.size(); ++kind) {
            pick -= weights[kind];
            if (pick < 0) {
                return static_cast<TKind>(kind);
            }
        }
        return TKind::TypeAscii;
    }

    int Below(int bound) { return static_cast<int>(Random_() % static_cast<unsigned>(bound)); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <typename T> const T& Pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }

    void Expect(bool holds, const std::string& what) {
        if (!holds) {
            Problems_ << what << "\n";
        }
    }

    // A handler called as the menu calls it: what escapes goes to the error display.
    void Guarded(const std::function<void()>& command) {
        try {
            command();
        } catch (...) {
            ShowException(std::current_exception());
        }
    }

    void Command(void (TMain::*handler)(), const char* menuItem, QKeyCombination key = {}) {
        auto route = static_cast<TRoute>(Below(3));
        if (route == TRoute::Key && key.key() == Qt::Key_unknown) {
            route = TRoute::Menu;
        }
        switch (route) {
        case TRoute::Handler:
            Current_ << " by handler";
            Guarded([&] { (Main_.*handler)(); });
            return;
        case TRoute::Menu: {
            Current_ << " by menu";
            auto* action = Main_.menuBar()->findChild<QAction*>(QString::fromUtf8(menuItem));
            Expect(action != nullptr, std::string("no menu item ") + menuItem);
            if (action != nullptr) {
                action->trigger();
            }
            return;
        }
        case TRoute::Key:
            Current_ << " by key";
            QTest::keyClick(FocusWidget(), key.key(), key.keyboardModifiers());
            return;
        }
    }

    QWidget* FocusWidget() {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus : Main_.moNote;
    }

    void FocusOn(QWidget* widget) {
        if (QApplication::focusWidget() != widget) {
            widget->setFocus();
        }
    }

    // --- the actions -------------------------------------------------------

    void Act(TKind kind) {
        TOutline& tree = *Main_.olTree;
        const std::int32_t total = tree.TotalItems();
        switch (kind) {
        case TKind::InsNode:
            Command(&TMain::mnInsNodeClick, "mnInsNode");
            Expect(tree.TotalItems() == total + 1, "InsNode added no item");
            LabelShown_ = true;
            return;
        case TKind::AddNode:
            Command(&TMain::mnAddNodeClick, "mnAddNode");
            Expect(tree.TotalItems() == total + 1, "AddNode added no item");
            LabelShown_ = true;
            return;
        case TKind::Del: {
            TOutlineNode* item = tree.ItemAt(tree.SelectedIndex());
            const std::int32_t gone = item->LastIndexInSubtree() - item->Index() + 1;
            Command(&TMain::mnDelClick, "mnDel", Qt::ControlModifier | Qt::Key_Delete);
            Expect(tree.TotalItems() == (gone == total ? total : total - gone),
                   "Del removed " + std::to_string(total - tree.TotalItems()) + " items, not " +
                       std::to_string(gone));
            return;
        }
        case TKind::Cut:
            Command(&TMain::mnCutClick, "mnCut", Qt::ControlModifier | Qt::Key_X);
            return;
        case TKind::Copy:
            Command(&TMain::mnCopyClick, "mnCopy", Qt::ControlModifier | Qt::Key_C);
            return;
        case TKind::Paste:
            Command(&TMain::mnPasteClick, "mnPaste", Qt::ControlModifier | Qt::Key_V);
            return;
        case TKind::Split:
            Command(&TMain::mnSplitClick, "mnSplit");
            return;
        case TKind::PrevNode:
            Command(&TMain::mnPrevNodeClick, "mnPrevNote", Qt::NoModifier | Qt::Key_PageUp);
            return;
        case TKind::NextNode:
            Command(&TMain::mnNextNodeClick, "mnNextNote", Qt::NoModifier | Qt::Key_PageDown);
            return;
        case TKind::LevelDown:
            Command(&TMain::mnLevelDownClick, "mnLevelDown");
            Expect(tree.TotalItems() == total, "LevelDown changed the item count");
            return;
        case TKind::LevelUp:
            Command(&TMain::mnLevelUpClick, "mnLevelUp");
            Expect(tree.TotalItems() == total, "LevelUp changed the item count");
            return;
        case TKind::New:
        case TKind::Open:
            FileCommand(kind);
            return;
        case TKind::Save:
        case TKind::SaveAs:
            Save(kind);
            return;
        case TKind::AddText:
            AddText();
            return;
        case TKind::OpenBroken:
            OpenBroken();
            return;
        case TKind::ClickRow:
        case TKind::DoubleClickRow:
            ClickRow(kind == TKind::DoubleClickRow);
            return;
        case TKind::ClickBelowRows: {
            const QRect inside = tree.viewport()->rect();
            const int y = inside.height() - 1 - Below(8);
            Current_ << " at y " << y;
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, {Below(inside.width()), y});
            return;
        }
        case TKind::OutlineKey:
            OutlineKey();
            return;
        case TKind::WheelOutline:
            Wheel(tree.viewport());
            return;
        case TKind::WheelEditor:
            Wheel(Main_.moNote->viewport());
            return;
        case TKind::TypeAscii:
            TypeAscii();
            return;
        case TKind::TypeJapanese:
            TypeJapanese();
            return;
        case TKind::TypeByInputMethod:
            TypeByInputMethod();
            return;
        case TKind::EditorKey:
            EditorKey();
            return;
        case TKind::ClearNote:
            FocusOn(Main_.moNote);
            QTest::keyClick(Main_.moNote, Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClick(Main_.moNote, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
            QTest::keyClick(Main_.moNote, Qt::Key_Backspace);
            return;
        case TKind::ClipboardFromOutside: {
            static const std::vector<QString> texts = {
                QStringLiteral("from outside"), QStringLiteral("二行\r\nの文"),
                QStringLiteral("表ソ\u20ac\U0001F600"), QStringLiteral("\ttabbed\nx")};
            const QString& text = Pick(texts);
            Current_ << " " << text.toStdString();
            QApplication::clipboard()->setText(text);
            return;
        }
        case TKind::FocusOutline:
            Main_.olTree->setFocus();
            return;
        case TKind::FocusEditor:
            Main_.moNote->setFocus();
            return;
        case TKind::ClickEditor: {
            const QRect inside = Main_.moNote->viewport()->rect();
            const QPoint at(Below(inside.width()), Below(inside.height()));
            Current_ << " at " << at.x() << "," << at.y();
            QTest::mouseClick(Main_.moNote->viewport(), Qt::LeftButton, {}, at);
            return;
        }
        case TKind::ExpandByApi:
        case TKind::CollapseByApi:
            ExpandByApi(kind == TKind::ExpandByApi);
            return;
        case TKind::Resize: {
            const QSize size(400 + Below(500), 250 + Below(450));
            Current_ << " to " << size.width() << "x" << size.height();
            Main_.resize(size);
            QCoreApplication::processEvents();
            return;
        }
        case TKind::Count:
            return;
        }
    }

    // New and Open: the save prompt, perhaps a save, then the new document.
    void FileCommand(TKind kind) {
        TDocument& document = Main_.Document();
        const bool modified = document.DocModified || Main_.moNote->Modified();
        const TDocumentImage before = ImageOf(Main_);
        const std::string caption = document.Caption();
        static const int answers[] = {mrYes, mrNo, mrCancel};
        Prompts_.SaveAnswer = answers[Below(3)];
        Prompts_.SavePath = OneIn(4) ? std::string() : Pick(Names_) + ".Trr";
        std::string openBase;
        if (kind == TKind::Open) {
            if (!Saved_.empty() && !OneIn(8)) {
                auto it = Saved_.begin();
                std::advance(it, Below(static_cast<int>(Saved_.size())));
                openBase = it->first;
            }
            Prompts_.OpenPath = openBase.empty() ? std::string() : openBase + ".Trr";
        }
        Current_ << " answer " << Prompts_.SaveAnswer << " save to \"" << Prompts_.SavePath
                 << "\" open \"" << Prompts_.OpenPath << "\"" << (modified ? " modified" : "");
        if (kind == TKind::New) {
            Command(&TMain::mnNewClick, "mnNew", Qt::ControlModifier | Qt::Key_N);
        } else {
            Command(&TMain::mnOpenClick, "mnOpen", Qt::ControlModifier | Qt::Key_O);
        }
        QCoreApplication::processEvents();
        // Which way the command went, as the person's answers decide.
        bool goesOn = !modified || Prompts_.SaveAnswer == mrNo;
        if (modified && Prompts_.SaveAnswer == mrYes) {
            const std::string savedTo = caption != msg::UntitledCaption ? caption
                                        : Prompts_.SavePath.empty()     ? std::string()
                                                                    : BasePathOf(Prompts_.SavePath);
            if (!savedTo.empty()) {
                Saved_[savedTo] = before;
                ReadBack(savedTo, before);
                goesOn = true;
            }
        }
        if (kind == TKind::New) {
            if (goesOn) {
                Expect(Main_.olTree->TotalItems() == 1 && !document.DocModified &&
                           document.Caption() == msg::UntitledCaption,
                       "New left no fresh document");
                LabelShown_ = true;
            }
            return;
        }
        if (goesOn && !openBase.empty()) {
            ++OpensCompared_;
            const TDocumentImage opened = ImageOf(Main_);
            Expect(opened == Saved_[openBase],
                   "opened " + Describe(opened) + "\nsaved  " + Describe(Saved_[openBase]));
            Expect(!document.DocModified && document.Caption() == openBase &&
                       !Main_.moNote->Modified(),
                   "Open left the document modified or under another name");
        }
    }

    void Save(TKind kind) {
        TDocument& document = Main_.Document();
        const TDocumentImage before = ImageOf(Main_);
        const std::string caption = document.Caption();
        Prompts_.SavePath = OneIn(6) ? std::string() : Pick(Names_) + ".Trr";
        Current_ << " to \"" << Prompts_.SavePath << "\"";
        if (kind == TKind::Save) {
            Command(&TMain::mnSaveClick, "mnSave", Qt::ControlModifier | Qt::Key_S);
        } else {
            Command(&TMain::mnSaveAsClick, "mnSaveAs");
        }
        QCoreApplication::processEvents();
        const bool asked = kind == TKind::SaveAs || caption == msg::UntitledCaption;
        if (asked && Prompts_.SavePath.empty()) {
            Expect(document.Caption() == caption, "a cancelled save renamed the document");
            return;
        }
        const std::string base = asked ? BasePathOf(Prompts_.SavePath) : caption;
        Expect(!document.DocModified && document.Caption() == base,
               "Save left the document modified or under another name");
        Saved_[base] = before;
        ReadBack(base, before);
        LabelShown_ = true;
    }

    // The files just saved, opened in a window of their own.
    void ReadBack(const std::string& base, const TDocumentImage& saved) {
        ++SavesCompared_;
        try {
            Reader_.Document().LoadDocument(base);
        } catch (const std::exception& error) {
            Expect(false, "reading back " + base + " failed: " + error.what());
            return;
        }
        const TDocumentImage read = ImageOf(Reader_);
        Expect(read == saved, "read back " + Describe(read) + "\nsaved     " + Describe(saved));
    }

    void AddText() {
        static const std::vector<std::string> texts = {
            "plain line\r\n",
            "one\r\ntwo\r\nthree\r\n",
            "no line end",
            "lf only\nsecond\n",
            // 表 and ソ end in the byte of a backslash; ｶﾅ is half-width kana.
            "\x95\x5c\x8e\xa6\r\n\x83\x5c\x83\x74\x83\x67\r\n\xb6\xc5\r\n",
            "\x93\xfa\x96\x7b\x8c\xea\r\n",
            "\r\n\r\n",
            "\tindented\r\n  spaced\r\n",
        };
        const std::string& text = Pick(texts);
        test::WriteFileBytes(Folder_.File("add.txt"), text);
        Prompts_.OpenPath = OneIn(10) ? std::string() : Folder_.File("add.txt");
        Current_ << " " << testing::PrintToString(text)
                 << (Prompts_.OpenPath.empty() ? " cancelled" : "");
        Command(&TMain::mnAddClick, "mnAdd", Qt::ControlModifier | Qt::Key_A);
        QCoreApplication::processEvents();
        if (Prompts_.OpenPath.empty()) {
            return;
        }
        Expect(Main_.Document().DocModified && !Main_.moNote->Modified(),
               "Add text left its lines uncommitted");
        LabelShown_ = true;
    }

    // A document whose index points past its notes: refused, and nothing changes.
    void OpenBroken() {
        const std::string base = Folder_.File("broken");
        test::WriteFileBytes(base + ".Trr", "a\r\n\tb\r\n");
        test::WriteFileBytes(base + ".Txt", "a\r\n");
        test::WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 1}, {5, 9}}));
        // The outline taking the focus commits the note first; an outline
        // that has it already takes nothing.
        Main_.moNote->setFocus();
        Main_.olTree->setFocus();
        const test::TWindowState before = test::WindowState(Main_);
        const std::size_t boxes = Boxes_.size();
        Prompts_.SaveAnswer = mrNo;
        Prompts_.OpenPath = base + ".Trr";
        Refusable_ = true;
        Guarded([this] { Main_.mnOpenClick(); });
        QCoreApplication::processEvents();
        Expect(Boxes_.size() == boxes + 1, "the broken document was not refused");
        ++Refusals_;
        // Open shows the position before it asks, which the state includes.
        test::TWindowState after = test::WindowState(Main_);
        after.Label = before.Label;
        Expect(after == before,
               "the refused open changed the window: " + testing::PrintToString(after) + "\nwas " +
                   testing::PrintToString(before));
    }

    void ClickRow(bool twice) {
        TOutline& tree = *Main_.olTree;
        const std::int32_t first = tree.TopRow();
        const std::int32_t last = tree.LastFullyVisibleRow();
        if (tree.RowCount() == 0 || last < first) {
            return;
        }
        const std::int32_t row = first + Below(last - first + 1);
        const TRect band = tree.RowRect(row);
        const std::int32_t level = tree.ItemOnRow(row)->Level();
        // Often on the item's picture or +/- sign, at the left of its caption.
        const int x = OneIn(2) ? Below(std::min(20 * level, tree.viewport()->width()))
                               : Below(std::max(1, std::min(tree.ColWidth(), band.Right)));
        const QPoint at(x, band.Top + Below(std::max(1, band.Bottom - band.Top)));
        Current_ << " row " << row << " at " << at.x() << "," << at.y();
        if (twice) {
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        }
    }

    void OutlineKey() {
        struct TKey {
            Qt::Key Key;
            Qt::KeyboardModifiers Modifiers;
            const char* Text;
        };
        static const std::vector<TKey> keys = {
            {Qt::Key_Up, Qt::NoModifier, ""},
            {Qt::Key_Down, Qt::NoModifier, ""},
            {Qt::Key_PageUp, Qt::NoModifier, ""},
            {Qt::Key_PageDown, Qt::NoModifier, ""},
            {Qt::Key_Home, Qt::NoModifier, ""},
            {Qt::Key_End, Qt::NoModifier, ""},
            {Qt::Key_Left, Qt::NoModifier, ""},
            {Qt::Key_Right, Qt::NoModifier, ""},
            {Qt::Key_Plus, Qt::NoModifier, "+"},
            {Qt::Key_Minus, Qt::NoModifier, "-"},
            {Qt::Key_Asterisk, Qt::NoModifier, "*"},
            {Qt::Key_Return, Qt::NoModifier, "\r"},
            {Qt::Key_Up, Qt::ControlModifier, ""},
            {Qt::Key_Down, Qt::ControlModifier, ""},
            {Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier, "*"},
        };
        TKey key = Pick(keys);
        // Expanding everything is slow on a large outline, and known to be.
        if (key.Modifiers.testFlag(Qt::KeypadModifier) && Main_.olTree->TotalItems() > 60) {
            key = keys.front();
        }
        Current_ << " "
                 << QKeySequence(QKeyCombination(key.Modifiers, key.Key)).toString().toStdString();
        FocusOn(Main_.olTree);
        QTest::sendKeyEvent(QTest::Click, Main_.olTree, key.Key, QString::fromLatin1(key.Text),
                            key.Modifiers);
    }

    void Wheel(QWidget* target) {
        const int delta = (Below(2) == 0 ? 120 : -120) * (1 + Below(3));
        const QPoint at(Below(std::max(1, target->width())), Below(std::max(1, target->height())));
        Current_ << " delta " << delta;
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    void TypeAscii() {
        static const std::vector<const char*> words = {"note",  "a",      "Item ",     " lead",
                                                       "x y z", "\\path", "~!@#$%^&()"};
        const char* word = Pick(words);
        Current_ << " \"" << word << "\"";
        FocusOn(Main_.moNote);
        TypeText(QString::fromLatin1(word));
    }

    // One key event a character, as a keyboard sends them.
    void TypeText(const QString& text) {
        for (const QChar c : text) {
            const bool plain = c.unicode() < 0x80 && c.isLetterOrNumber();
            const auto key = plain                   ? Qt::Key(c.toUpper().unicode())
                             : c == QLatin1Char(' ') ? Qt::Key_Space
                                                     : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, Main_.moNote, key, QString(c), Qt::NoModifier);
        }
    }

    // Japanese as a keyboard would send it, one character an event; € and the
    // emoji have no Shift-JIS form.
    void TypeJapanese() {
        static const std::vector<QString> words = {
            QStringLiteral("日本語"), QStringLiteral("表示"),   QStringLiteral("ソフト"),
            QStringLiteral("ｶﾅ"),     QStringLiteral("\u20ac"), QStringLiteral("\U0001F600")};
        const QString& word = Pick(words);
        Current_ << " " << word.toStdString();
        FocusOn(Main_.moNote);
        TypeText(word);
    }

    void TypeByInputMethod() {
        static const std::vector<QString> words = {
            QStringLiteral("変換"), QStringLiteral("漢字かな"), QStringLiteral("\U0001F600字")};
        const QString& word = Pick(words);
        Current_ << " " << word.toStdString();
        FocusOn(Main_.moNote);
        QInputMethodEvent event;
        event.setCommitString(word);
        QApplication::sendEvent(Main_.moNote, &event);
    }

    void EditorKey() {
        struct TKey {
            Qt::Key Key;
            Qt::KeyboardModifiers Modifiers;
        };
        static const std::vector<TKey> keys = {
            {Qt::Key_Return, Qt::NoModifier},    {Qt::Key_Return, Qt::NoModifier},
            {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
            {Qt::Key_Left, Qt::NoModifier},      {Qt::Key_Right, Qt::NoModifier},
            {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_Down, Qt::NoModifier},
            {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier},
            {Qt::Key_Right, Qt::ShiftModifier},  {Qt::Key_Left, Qt::ShiftModifier},
            {Qt::Key_Down, Qt::ShiftModifier},   {Qt::Key_Tab, Qt::NoModifier},
        };
        const TKey& key = Pick(keys);
        Current_ << " "
                 << QKeySequence(QKeyCombination(key.Modifiers, key.Key)).toString().toStdString();
        FocusOn(Main_.moNote);
        QTest::keyClick(Main_.moNote, key.Key, key.Modifiers);
    }

    void ExpandByApi(bool expand) {
        TOutline& tree = *Main_.olTree;
        // The outline expands only items on a row.
        TOutlineNode* item = tree.ItemOnRow(Below(tree.RowCount()));
        const std::int32_t index = item->Index();
        const int how = Below(3);
        Current_ << " item " << index << " way " << how;
        if (!expand) {
            item->SetExpanded(false);
        } else if (how == 0) {
            item->SetExpanded(true);
        } else if (how == 1) {
            tree.ToggleExpanded(item);
        } else if (item->LastIndexInSubtree() - index < 60) {
            item->ExpandAll();
        }
    }

    TMain Main_;
    TMain Reader_;
    TSoakPrompts Prompts_;
    test::TTempFolder Folder_;
    std::vector<std::string> Names_;
    std::map<std::string, TDocumentImage> Saved_;
    std::uint64_t Actions_;
    std::uint64_t Seed_;
    std::mt19937_64 Random_;
    std::uint64_t Number_ = 0;
    std::vector<TErrorBox> Boxes_;
    TErrorBoxDisplay Replaced_;
    std::deque<std::string> History_;
    std::ostringstream Current_;
    std::ostringstream Problems_;
    bool LabelShown_ = false;
    bool Refusable_ = false;
    std::array<std::uint64_t, static_cast<std::size_t>(TKind::Count)> Counts_{};
    std::uint64_t SavesCompared_ = 0;
    std::uint64_t OpensCompared_ = 0;
    std::uint64_t Refusals_ = 0;
    std::int32_t MostItems_ = 0;
};

TEST(SoakTest, RandomActionsKeepTheWindowConsistent) {
    const std::uint64_t actions = EnvNumber("VIREVI_SOAK_ACTIONS", DefaultActions);
    const std::uint64_t seed = EnvNumber("VIREVI_SOAK_SEED", DefaultSeed);
    std::printf("soak: seed %llu, %llu actions\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(actions));
    std::fflush(stdout);
    TSoak soak(actions, seed);
    soak.Run();
}

} // namespace
} // namespace virevi
