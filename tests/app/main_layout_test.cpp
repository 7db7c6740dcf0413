#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <string>
#include <vector>

#include "app/qt/hint_controller.h"
#include "app/qt/hint_window.h"
#include "app/qt/main_layout.h"
#include "app/qt/panel.h"
#include "app/qt/speed_button.h"
#include "runtime/canvas.h"
#include "runtime/qt/qt_color.h"

namespace virevi {
namespace {

// Stands in for the outline: takes the focus and remembers every key it gets.
class TKeyRecorder : public QWidget {
public:
    TKeyRecorder() { setFocusPolicy(Qt::StrongFocus); }
    std::vector<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Control) {
            Keys.push_back(event->key());
        }
    }
};

class MainLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        auto* tree = new TKeyRecorder;
        tree->setObjectName(QStringLiteral("olTree"));
        olTree = tree;
        moNote = new QPlainTextEdit;
        moNote->setObjectName(QStringLiteral("moNote"));
        lbIndex = new QLabel;
        lbIndex->setObjectName(QStringLiteral("lbIndex"));
        Layout = new TMainLayout(Window, *olTree, *moNote, *lbIndex, Recording());
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    TRunCommand Recording() {
        return [this](TCommand command) { Ran.push_back(command); };
    }

    template <typename T = QWidget> T* Find(const char* name) {
        T* found = Window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Drawn pixels have 8 bits a channel; palette colours may carry more.
    static QRgb PixelAt(QWidget* widget, QPoint at) { return widget->grab().toImage().pixel(at); }
    static QRgb Role(QPalette::ColorRole role) { return QApplication::palette().color(role).rgb(); }

    std::vector<TCommand> Ran;
    QMainWindow Window;
    QWidget* olTree = nullptr;
    QPlainTextEdit* moNote = nullptr;
    QLabel* lbIndex = nullptr;
    TMainLayout* Layout = nullptr;
};

struct TBoundsRow {
    const char* Name;
    QRect Bounds;
};

TEST_F(MainLayoutTest, EveryControlAtItsPlace) {
    const TBoundsRow rows[] = {
        {"pnMemo", {201, 31, 419, 300}},   {"pnSpeed", {0, 0, 620, 31}},
        {"pnOutline", {0, 31, 201, 300}},  {"pnStatus", {0, 331, 620, 25}},
        {"olTree", {4, 4, 193, 292}},      {"moNote", {4, 4, 411, 292}},
        {"pnStLeft", {1, 1, 400, 23}},     {"pnStRight", {401, 1, 218, 23}},
        {"pnIndex", {400, 6, 90, 19}},     {"lbIndex", {2, 2, 86, 15}},
        {"spNew", {8, 3, 25, 25}},         {"spOpen", {32, 3, 25, 25}},
        {"spSave", {56, 3, 25, 25}},       {"spInsNode", {96, 3, 25, 25}},
        {"spAddNode", {120, 3, 27, 25}},   {"spCut", {160, 3, 24, 25}},
        {"spCopy", {184, 3, 25, 25}},      {"spPaste", {208, 3, 25, 25}},
        {"spSplit", {248, 3, 25, 25}},     {"spLevelUp", {288, 3, 25, 25}},
        {"spLevelDown", {312, 3, 25, 25}}, {"spPrevNode", {336, 3, 27, 25}},
        {"spNextNode", {360, 3, 25, 25}},  {"spHelp", {560, 3, 24, 25}},
        {"spExit", {584, 3, 25, 25}},
    };
    EXPECT_EQ(Window.centralWidget()->size(), QSize(620, 356));
    for (const TBoundsRow& row : rows) {
        if (QWidget* control = Find(row.Name)) {
            EXPECT_EQ(control->geometry(), row.Bounds) << row.Name;
        }
    }
}

TEST_F(MainLayoutTest, ColoursAsDrawn) {
    const QRgb moneyGreen = qRgb(192, 220, 192);
    // Between the position label and the help button only the tool bar shows.
    EXPECT_EQ(PixelAt(Layout->pnSpeed, {520, 15}), moneyGreen);
    EXPECT_EQ(PixelAt(Layout->pnStatus, {300, 12}), Role(QPalette::Button));
    EXPECT_EQ(PixelAt(lbIndex, {3, 3}), ToQColor(clGradientActiveCaption).rgb());
    EXPECT_EQ(lbIndex->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(lbIndex->alignment(), Qt::AlignCenter);
    EXPECT_EQ(lbIndex->font().pixelSize(), 16);
    EXPECT_TRUE(lbIndex->text().isEmpty());
    EXPECT_EQ(Window.font().pixelSize(), 13);
    // Raised then lowered: the outline pane's outer edge is light at the top
    // left, its inner ring dark there.
    EXPECT_EQ(PixelAt(Layout->pnOutline, {0, 0}), Role(QPalette::Light));
    EXPECT_EQ(PixelAt(Layout->pnOutline, {2, 2}), Role(QPalette::Dark));
    EXPECT_EQ(PixelAt(Layout->pnOutline, {200, 299}), Role(QPalette::Dark));
}

TEST_F(MainLayoutTest, ResizingGivesTheChangeToTheNotePane) {
    Window.resize(Window.width() + 100, Window.height() + 50);
    QTRY_COMPARE(Window.centralWidget()->size(), QSize(720, 406));
    EXPECT_EQ(Layout->pnOutline->geometry(), QRect(0, 31, 201, 350));
    EXPECT_EQ(Layout->pnMemo->geometry(), QRect(201, 31, 519, 350));
    EXPECT_EQ(Layout->pnStatus->geometry(), QRect(0, 381, 720, 25));
    EXPECT_EQ(moNote->geometry(), QRect(4, 4, 511, 342));
}

TEST_F(MainLayoutTest, ShrinkingKeepsBothPanesAndGrowingBringsBackEverySize) {
    std::vector<std::pair<QWidget*, QRect>> designed;
    for (QWidget* control : Window.centralWidget()->findChildren<QWidget*>()) {
        // The window's own controls, not the parts Qt's widgets are made of.
        if (!control->objectName().isEmpty() && !control->objectName().startsWith("qt_")) {
            designed.emplace_back(control, control->geometry());
        }
    }
    const QSize size = Window.size();
    Window.resize(150, 120);
    // The window stops at its smallest client area, where both panes show.
    QTRY_COMPARE(Window.centralWidget()->size(), QSize(160, 104));
    EXPECT_EQ(Layout->pnOutline->geometry(), QRect(0, 31, 144, 48));
    EXPECT_EQ(Layout->pnMemo->geometry(), QRect(144, 31, 16, 48));
    Window.resize(size);
    QTRY_COMPARE(Window.centralWidget()->size(), QSize(620, 356));
    for (const auto& [control, bounds] : designed) {
        EXPECT_EQ(control->geometry(), bounds) << control->objectName().toStdString();
    }
}

TEST_F(MainLayoutTest, EditorHasTheFocusOnceTheWindowIsActive) {
    EXPECT_EQ(QApplication::focusWidget(), moNote);
}

struct TMenuRow {
    const char* Menu;
    const char* Item;
    const char* Text; ///< caption, tab, short-cut text
    TCommand Handler; ///< None: a separator
};

TEST_F(MainLayoutTest, MenuTreeWithCaptionsShortCutsAndHandlers) {
    const TMenuRow rows[] = {
        {"ファイル(&F)", "mnNew", "新規作成(&N)\tCtrl+N", TCommand::New},
        {"ファイル(&F)", "mnOpen", "開く(&O)\tCtrl+O", TCommand::Open},
        {"ファイル(&F)", "mnSave", "上書き保存(&S)\tCtrl+S", TCommand::Save},
        {"ファイル(&F)", "mnSaveAs", "名前を付けて保存(&A)...", TCommand::SaveAs},
        {"ファイル(&F)", "N1", "", TCommand::None},
        {"ファイル(&F)", "mnuPrint", "印刷(&P)", TCommand::Print},
        {"ファイル(&F)", "mnKei1", "", TCommand::None},
        {"ファイル(&F)", "mnAdd", "テキストの追加(&T)\tCtrl+A", TCommand::AddText},
        {"ファイル(&F)", "mnKei2", "", TCommand::None},
        {"ファイル(&F)", "mnExit", "終了(&X)", TCommand::Exit},
        {"編集(&E)", "mnInsNode", "上に挿入(&I)", TCommand::InsNode},
        {"編集(&E)", "mnAddNode", "下に追加(&A)", TCommand::AddNode},
        {"編集(&E)", "mnDel", "削除(&D)\tCtrl+Del", TCommand::Del},
        {"編集(&E)", "mnKey3", "", TCommand::None},
        {"編集(&E)", "mnCut", "切り取り(&T)\tCtrl+X", TCommand::Cut},
        {"編集(&E)", "mnCopy", "コピー(&C)\tCtrl+C", TCommand::Copy},
        {"編集(&E)", "mnPaste", "貼り付け(&P)\tCtrl+V", TCommand::Paste},
        {"編集(&E)", "mnKey4", "", TCommand::None},
        {"編集(&E)", "mnSplit", "分割(&S)", TCommand::Split},
        {"編集(&E)", "mnKey6", "", TCommand::None},
        {"編集(&E)", "mnFind", "検索(&F)...\tCtrl+F", TCommand::Find},
        {"編集(&E)", "mnFindNext", "次を検索(&N)\tF3", TCommand::FindNext},
        {"表示(&V)", "mnPrevNote", "上のノート(&P)\tPgUp", TCommand::PrevNode},
        {"表示(&V)", "mnNextNote", "下のノート(&N)\tPgDn", TCommand::NextNode},
        {"表示(&V)", "mnKey5", "", TCommand::None},
        {"表示(&V)", "mnLevelDown", "レベルを右へ(&R)", TCommand::LevelDown},
        {"表示(&V)", "mnLevelUp", "レベルを左へ(&L)", TCommand::LevelUp},
        {"ヘルプ(&H)", "About1", "バージョン情報(&A)", TCommand::About},
    };
    std::vector<std::pair<QString, QAction*>> items;
    for (QAction* menuAction : Layout->dlMainMenu->actions()) {
        for (QAction* action : menuAction->menu()->actions()) {
            items.emplace_back(menuAction->text(), action);
        }
    }
    ASSERT_EQ(items.size(), std::size(rows));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TMenuRow& row = rows[i];
        QAction* action = items[i].second;
        EXPECT_EQ(items[i].first, QString::fromUtf8(row.Menu)) << row.Item;
        EXPECT_EQ(action->objectName(), QString::fromLatin1(row.Item));
        EXPECT_EQ(action->isSeparator(), row.Handler == TCommand::None) << row.Item;
        if (row.Handler == TCommand::None) {
            continue;
        }
        EXPECT_EQ(action->text(), QString::fromUtf8(row.Text)) << row.Item;
        EXPECT_TRUE(action->isEnabled());
        EXPECT_FALSE(action->isCheckable());
        Ran.clear();
        action->trigger();
        EXPECT_EQ(Ran, std::vector<TCommand>{row.Handler}) << row.Item;
    }
}

struct TKeyRow {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    TCommand Handler;
};

const TKeyRow ShortCutKeys[] = {
    {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, TCommand::AddText},
    {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, TCommand::Copy},
    {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, TCommand::Cut},
    {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, TCommand::Paste},
    {"Ctrl+Del", Qt::Key_Delete, Qt::ControlModifier, TCommand::Del},
    {"PgUp", Qt::Key_PageUp, Qt::NoModifier, TCommand::PrevNode},
    {"PgDn", Qt::Key_PageDown, Qt::NoModifier, TCommand::NextNode},
    {"Ctrl+F", Qt::Key_F, Qt::ControlModifier, TCommand::Find},
    {"F3", Qt::Key_F3, Qt::NoModifier, TCommand::FindNext},
};

TEST_F(MainLayoutTest, ShortCutsWinOverTheFocusedEditor) {
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    const QString text = QStringLiteral("one two\n").repeated(200);
    for (const TKeyRow& row : ShortCutKeys) {
        moNote->setPlainText(text);
        QTextCursor cursor = moNote->textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor); // "two"
        moNote->setTextCursor(cursor);
        moNote->setFocus();
        Ran.clear();
        QTest::keyClick(moNote, row.Key, row.Modifiers);
        EXPECT_EQ(Ran, std::vector<TCommand>{row.Handler}) << row.Name;
        EXPECT_EQ(moNote->toPlainText().toStdString(), text.toStdString()) << row.Name;
        EXPECT_EQ(moNote->textCursor().selectedText().toStdString(), "two") << row.Name;
    }
}

TEST_F(MainLayoutTest, ShortCutsWinOverTheFocusedOutline) {
    auto* tree = static_cast<TKeyRecorder*>(olTree);
    for (const TKeyRow& row : ShortCutKeys) {
        tree->setFocus();
        Ran.clear();
        QTest::keyClick(tree, row.Key, row.Modifiers);
        EXPECT_EQ(Ran, std::vector<TCommand>{row.Handler}) << row.Name;
    }
    EXPECT_TRUE(tree->Keys.empty());
    // Other keys still reach it.
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(tree->Keys, std::vector<int>{Qt::Key_Down});
}

TEST_F(MainLayoutTest, ButtonsRunOnReleaseOverThemOnly) {
    auto* save = Find<TSpeedButton>("spSave");
    QTest::mousePress(save, Qt::LeftButton, {}, {12, 12});
    EXPECT_TRUE(save->isDown());
    QTest::mouseMove(save, {40, 12});
    EXPECT_FALSE(save->isDown());
    QTest::mouseRelease(save, Qt::LeftButton, {}, {40, 12});
    EXPECT_TRUE(Ran.empty());

    QTest::mouseClick(save, Qt::LeftButton, {}, {12, 12});
    EXPECT_EQ(Ran, std::vector<TCommand>{TCommand::Save});
    EXPECT_EQ(QApplication::focusWidget(), moNote);

    Ran.clear();
    QTest::mouseClick(Find<TSpeedButton>("spHelp"), Qt::LeftButton, {}, {12, 12});
    EXPECT_TRUE(Ran.empty());
}

TEST_F(MainLayoutTest, PressedButtonDrawsItsPictureOnePixelLower) {
    auto* exit = Find<TSpeedButton>("spExit");
    // The door's black frame starts 3 pixels into the picture, which sits at (4, 4).
    const QRgb black = qRgb(0, 0, 0);
    EXPECT_EQ(PixelAt(exit, {7, 4}), black);
    EXPECT_NE(PixelAt(exit, {8, 5}), black);
    exit->setDown(true);
    EXPECT_EQ(PixelAt(exit, {8, 5}), black);
    EXPECT_EQ(exit->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainLayoutTest, EveryButtonHasAPictureWithTheOliveLeftTransparent) {
    for (TSpeedButton* button : Layout->Buttons) {
        const QPixmap& glyph = button->Glyph();
        ASSERT_EQ(glyph.size(), QSize(16, 16)) << button->objectName().toStdString();
        const QImage mask = glyph.mask().toImage();
        EXPECT_EQ(mask.pixelIndex(0, 15), 0) << button->objectName().toStdString();
    }
    EXPECT_EQ(Layout->Buttons.size(), 15u);
}

TEST_F(MainLayoutTest, HintsShowAquaAfterTheirPauseAndAtOnceOnTheNext) {
    const char* hints[] = {"新規作成",         "ロード",       "セーブ",       "上に挿入",
                           "末尾に追加",       "切り取り",     "コピー",       "貼り付け",
                           "カーソル行で分割", "レベルを左へ", "レベルを右へ", "上のレコード",
                           "下のレコード",     "ヘルプ",       "さようなら"};
    THintWindow& hint = Layout->Hints().Window();
    QTest::mouseMove(Layout->pnSpeed, {520, 15});
    QTest::mouseMove(Layout->Buttons[0], {12, 12});
    EXPECT_FALSE(hint.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(hint.isVisible(), 2000);
    EXPECT_EQ(hint.Text(), QString::fromUtf8(hints[0]));
    EXPECT_EQ(PixelAt(&hint, {1, 1}), qRgb(0, 255, 255));
    for (std::size_t i = 1; i < Layout->Buttons.size(); ++i) {
        QTest::mouseMove(Layout->Buttons[i], {12, 12});
        EXPECT_TRUE(hint.isVisible()) << i;
        EXPECT_EQ(hint.Text(), QString::fromUtf8(hints[i])) << i;
    }
    // Gone after its time, and it stays gone while the pointer rests there.
    QTRY_VERIFY_WITH_TIMEOUT(!hint.isVisible(), 4000);
    QTest::qWait(700);
    EXPECT_FALSE(hint.isVisible());
}

TEST_F(MainLayoutTest, KeyPressOrLeavingHidesTheHint) {
    THintWindow& hint = Layout->Hints().Window();
    auto* save = Find<TSpeedButton>("spSave");
    QTest::mouseMove(save, {12, 12});
    QTRY_VERIFY_WITH_TIMEOUT(hint.isVisible(), 2000);
    QTest::keyClick(moNote, Qt::Key_X);
    EXPECT_FALSE(hint.isVisible());

    QTest::mouseMove(Layout->pnSpeed, {520, 15});
    QTest::mouseMove(save, {12, 12});
    QTRY_VERIFY_WITH_TIMEOUT(hint.isVisible(), 2000);
    QTest::mouseMove(Layout->pnSpeed, {520, 15});
    EXPECT_FALSE(hint.isVisible());
}

class OutlineSplitterTest : public MainLayoutTest {
protected:
    QPoint Frame(int x) const { return {x, 150}; }
    int PaneWidth() const { return Layout->pnOutline->width(); }
};

TEST_F(OutlineSplitterTest, LeftDragWithinItsLimits) {
    TPanel* pane = Layout->pnOutline;
    const int windowWidth = Window.frameGeometry().width();
    QTest::mousePress(pane, Qt::LeftButton, {}, Frame(199));
    QTest::mouseMove(pane, {300, 150});
    EXPECT_EQ(PaneWidth(), 300);
    EXPECT_EQ(Layout->pnMemo->geometry(), QRect(300, 31, 320, 300));
    QTest::mouseMove(pane, {windowWidth - 20, 150});
    EXPECT_EQ(PaneWidth(), 300);
    QTest::mouseMove(pane, {windowWidth - 21, 150});
    EXPECT_EQ(PaneWidth(), windowWidth - 21);
    QTest::mouseMove(pane, {11, 150});
    QTest::mouseMove(pane, {5, 150});
    EXPECT_EQ(PaneWidth(), 11);
    QTest::mouseRelease(pane, Qt::LeftButton, {}, {5, 150});
    EXPECT_FALSE(Layout->Splitter().Dragging());
}

TEST_F(OutlineSplitterTest, PressLeftOfTheGripDragsNothing) {
    TPanel* pane = Layout->pnOutline;
    // Column 197 is inside the right frame (the outline ends at 196) but not on the grip.
    QTest::mousePress(pane, Qt::LeftButton, {}, Frame(197));
    QTest::mouseMove(pane, {300, 150});
    QTest::mouseRelease(pane, Qt::LeftButton, {}, {300, 150});
    EXPECT_EQ(PaneWidth(), 201);
}

TEST_F(OutlineSplitterTest, RightDragReleasedOverTheOutlineGoesOnOverTheFrame) {
    TPanel* pane = Layout->pnOutline;
    QTest::mousePress(pane, Qt::RightButton, {}, Frame(199));
    QTest::mouseRelease(pane, Qt::RightButton, {}, {100, 100});
    EXPECT_TRUE(Layout->Splitter().Dragging());
    QTest::mouseMove(pane, {100, 120}); // over the outline: the pane sees nothing
    EXPECT_EQ(PaneWidth(), 201);
    QTest::mouseMove(pane, {150, 298}); // the bottom frame
    EXPECT_EQ(PaneWidth(), 150);
    QTest::mouseClick(pane, Qt::LeftButton, {}, {148, 298});
    EXPECT_FALSE(Layout->Splitter().Dragging());
    QTest::mouseMove(pane, {120, 298});
    EXPECT_EQ(PaneWidth(), 150);
}

TEST_F(OutlineSplitterTest, SplitCursorOnlyOverTheGrip) {
    TPanel* pane = Layout->pnOutline;
    QTest::mouseMove(pane, Frame(199));
    ASSERT_EQ(pane->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(pane->cursor().hotSpot(), QPoint(16, 14));
    EXPECT_EQ(pane->cursor().pixmap().size(), QSize(32, 32));
    QTest::mouseMove(pane, Frame(197));
    EXPECT_EQ(pane->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace virevi
