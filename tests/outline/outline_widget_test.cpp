// The outline widget driven by real Qt events on the offscreen platform, in
// the main window's settings. Mouse events go through the platform layer, which
// turns a second press in time into a double click as a real mouse would.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <memory>
#include <string>

#include "outline/outline_test_support.h"
#include "outline/qt/outline.h"

namespace virevi {
namespace {

using test::Build;
using test::Rows;

constexpr int RowHeight = 16;

class OutlineWidgetTest : public testing::Test {
protected:
    OutlineWidgetTest() {
        Window.setObjectName("window");
        auto* layout = new QVBoxLayout(&Window);
        Other = new QLineEdit(&Window);
        Outline = new TOutline(&Window);
        Outline->setObjectName("olTree");
        layout->addWidget(Other);
        layout->addWidget(Outline);
        Outline->SetItemHeight(16);
        Outline->SetColor(clCream);
        TFont font{"ＭＳ ゴシック", -13, 0, SHIFTJIS_CHARSET, TFontPitch::Fixed, clBlack};
        Outline->SetFont(font);
        Outline->OnClick = [this](TRowCursor&) { ++Clicks; };
        Outline->OnEnter = [this](TCustomGrid& grid) {
            ++Enters;
            EnteredOnRow = grid.Row();
        };
        Window.resize(220, 260);
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
        Other->setFocus();
    }
    void Load(const std::string& shape) {
        Build(*Outline, shape);
        Clicks = 0;
    }
    QWidget* View() { return Outline->viewport(); }
    QPoint OnRow(int row, int x = 20) { return {x, row * RowHeight + RowHeight / 2}; }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Outline, key, modifiers);
    }

    QWidget Window;
    QLineEdit* Other = nullptr;
    TOutline* Outline = nullptr;
    int Clicks = 0;
    int Enters = 0;
    std::int32_t EnteredOnRow = -1;
};

TEST_F(OutlineWidgetTest, ClickTakesTheFocusFirstThenClicksOnce) {
    Load("1a 1b 1c");
    QTest::mouseClick(View(), Qt::LeftButton, {}, OnRow(1));
    EXPECT_EQ(Enters, 1);
    EXPECT_EQ(EnteredOnRow, 0) << "the enter event comes before the row moves";
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outline->SelectedIndex(), 2);
    QTest::mouseClick(View(), Qt::LeftButton, {}, OnRow(1));
    EXPECT_EQ(Clicks, 2) << "the selected row clicked again";
}

TEST_F(OutlineWidgetTest, ClickBelowTheRowsOrRightOfTheColumnGivesNoClick) {
    Load("1a 1b 1c");
    QTest::mouseClick(View(), Qt::LeftButton, {}, OnRow(5));
    QTest::mouseClick(View(), Qt::LeftButton, {}, OnRow(1, Outline->ColWidth() + 2));
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(Outline->SelectedIndex(), 1);
}

TEST_F(OutlineWidgetTest, DoubleClickExpandsWithoutASecondClick) {
    Load("1a 1b 2x 2y");
    QTest::mouseDClick(View(), Qt::LeftButton, {}, OnRow(1));
    EXPECT_EQ(Rows(*Outline), "a b x y");
    EXPECT_EQ(Clicks, 1);
    QTest::mouseDClick(View(), Qt::LeftButton, {}, OnRow(8));
    EXPECT_EQ(Rows(*Outline), "a b") << "a double click below the rows toggles the selected item";
    EXPECT_EQ(Outline->SelectedIndex(), 2);
}

TEST_F(OutlineWidgetTest, KeysMoveTheSelection) {
    Load("1a 2b 3c 1d 2e");
    Outline->ItemAt(1)->SetExpanded(true);
    Outline->ItemAt(2)->SetExpanded(true);
    Outline->setFocus();
    Clicks = 0;
    Press(Qt::Key_End);
    EXPECT_EQ(Outline->SelectedIndex(), 4);
    Press(Qt::Key_Home);
    EXPECT_EQ(Outline->SelectedIndex(), 1);
    Press(Qt::Key_Right);
    EXPECT_EQ(Outline->SelectedIndex(), 2);
    Press(Qt::Key_Down);
    Press(Qt::Key_Left);
    EXPECT_EQ(Outline->SelectedIndex(), 2);
    Press(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Outline->SelectedIndex(), 2) << "b is the last child of a";
    Press(Qt::Key_Left);
    Press(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Outline->SelectedIndex(), 4);
    Press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Outline->SelectedIndex(), 1);
    EXPECT_EQ(Clicks, 8);
    QTest::keyClick(Outline, Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(Rows(*Outline), "a b c d e");
    Press(Qt::Key_Minus);
    EXPECT_EQ(Rows(*Outline), "a d e");
    Press(Qt::Key_Return);
    EXPECT_EQ(Rows(*Outline), "a b d e");
}

TEST_F(OutlineWidgetTest, WheelTurnMovesOneRow) {
    Load("1a 1b 1c");
    QWheelEvent wheel(OnRow(0), View()->mapToGlobal(OnRow(0)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &wheel);
    EXPECT_EQ(Outline->SelectedIndex(), 2);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(OutlineWidgetTest, DraggingMovesTheRowAndClicksOnRelease) {
    Load("1a 1b 1c 1d");
    QTest::mousePress(View(), Qt::LeftButton, {}, OnRow(0));
    QMouseEvent move(QEvent::MouseMove, OnRow(2), View()->mapToGlobal(OnRow(2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View(), &move);
    EXPECT_EQ(Outline->Row(), 2);
    EXPECT_EQ(Clicks, 0);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, OnRow(2));
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outline->SelectedIndex(), 3);
}

TEST_F(OutlineWidgetTest, ScrollBarClickTakesTheFocusBeforeScrolling) {
    std::string shape;
    for (int i = 0; i < 60; ++i) {
        shape += "1r" + std::to_string(i) + " ";
    }
    Load(shape);
    QScrollBar* bar = Outline->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 127);
    ASSERT_FALSE(Outline->hasFocus());
    // A click in the groove below the handle: a page down.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 25));
    EXPECT_TRUE(Outline->hasFocus());
    EXPECT_EQ(Enters, 1);
    EXPECT_GT(Outline->TopRow(), 0);
    EXPECT_EQ(bar->value(), Outline->VertScrollPosition());
    EXPECT_EQ(Clicks, 0);
}

// Pixels of the main window's example: a top-level item on row 0, selected,
// and its child on row 1.
TEST_F(OutlineWidgetTest, RendersTheRowsAtTheirPixels) {
    Load("1Top 2kid");
    Outline->ItemAt(1)->SetExpanded(true);
    Outline->SetRow(0);
    Outline->setFocus();
    QImage image(View()->size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        Outline->PaintRows(painter, {0, 0, image.width(), image.height()});
    }
    const QColor cream(0xFF, 0xFB, 0xF0);
    const QColor highlight = Outline->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(8, 0), Qt::black) << "connector";
    EXPECT_EQ(image.pixelColor(8, 8), Qt::black);
    EXPECT_EQ(image.pixelColor(8, 9), cream) << "the last top-level item's connector stops";
    EXPECT_EQ(image.pixelColor(13, 8), Qt::black) << "branch";
    EXPECT_EQ(image.pixelColor(14, 8), cream) << "the branch ends before L + 14";
    EXPECT_EQ(image.pixelColor(16, 1), cream) << "the open folder's transparent corner";
    EXPECT_EQ(image.pixelColor(18, 2), Qt::black) << "the folder's outline";
    EXPECT_EQ(image.pixelColor(32, 0), highlight) << "the caption box";
    EXPECT_EQ(image.pixelColor(30, 3), cream);
    EXPECT_EQ(image.pixelColor(24, 16 + 8), Qt::black) << "the child's connector, 16 further";
    EXPECT_EQ(image.pixelColor(8, 16 + 8), cream) << "a was the last top-level item";
    EXPECT_EQ(image.pixelColor(32, 17), Qt::black) << "the leaf's top-left corner";
    EXPECT_EQ(image.pixelColor(60, 16 * 4), cream) << "below the rows";
}

} // namespace
} // namespace virevi
