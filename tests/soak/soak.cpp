#include "soak.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "editor/qt/memo.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "soak_checks.h"

namespace virevi::test {
namespace {

// Past this many items the mix prefers deleting, so that checks stay cheap.
constexpr std::int32_t ManyItems = 250;
constexpr std::size_t LongNote = 40;
constexpr std::size_t HistoryLength = 20;

constexpr std::array<const char*, static_cast<std::size_t>(TKind::Count)> KindNames = {
    "InsNode",      "AddNode",        "Del",
    "Cut",          "Copy",           "Paste",
    "Split",        "PrevNode",       "NextNode",
    "LevelDown",    "LevelUp",        "New",
    "Open",         "Save",           "SaveAs",
    "AddText",      "OpenBroken",     "OpenGenerated",
    "ClickRow",     "DoubleClickRow", "ClickBelowRows",
    "OutlineKey",   "WheelOutline",   "WheelEditor",
    "TypeAscii",    "TypeJapanese",   "TypeByInputMethod",
    "EditorKey",    "ClearNote",      "ClipboardFromOutside",
    "FocusOutline", "FocusEditor",    "ClickEditor",
    "ExpandByApi",  "CollapseByApi",  "Resize",
};

// How often a user does each, out of the sum.
constexpr std::array<int, static_cast<std::size_t>(TKind::Count)> BaseWeights = {
    40, 30, 25, 12, 12, 15, 12, 30, 30, 20, 20, 3, 6,  8,  3,  6,  2,  2,
    60, 15, 4,  80, 15, 10, 70, 30, 15, 60, 2,  4, 20, 20, 15, 10, 10, 3,
};

// How a menu command is given: its handler, its menu item, or its key.
enum class TRoute : std::uint8_t { Handler, Menu, Key };

} // namespace

TSoak::TSoak(std::uint64_t actions, std::uint64_t seed)
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

TSoak::~TSoak() {
    SetErrorBoxDisplay(Replaced_);
}

void TSoak::Run() {
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

bool TSoak::Step() {
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
    const std::string found = Problems_.str() + CheckWindow(Main_, LabelShown_);
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

TKind TSoak::Choose() {
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

void TSoak::Expect(bool holds, const std::string& what) {
    if (!holds) {
        Problems_ << what << "\n";
    }
}

// A handler called as the menu calls it: what escapes goes to the error display.
void TSoak::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TSoak::Command(void (TMainCommands::*handler)(), const char* menuItem, QKeyCombination key) {
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

QWidget* TSoak::FocusWidget() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus : Main_.moNote;
}

void TSoak::FocusOn(QWidget* widget) {
    if (QApplication::focusWidget() != widget) {
        widget->setFocus();
    }
}

void TSoak::Act(TKind kind) {
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
    case TKind::OpenGenerated:
        OpenGenerated();
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
            QStringLiteral("from outside"),         QStringLiteral("二行\r\nの文"),
            QStringLiteral("表ソ\u20ac\U0001F600"), QStringLiteral("\ttabbed\nx"),
            QStringLiteral("end\x1aof text"),       QString::fromUtf16(u"nul\0inside", 10),
            QStringLiteral("lone\rreturn")};
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

} // namespace virevi::test
