// The application object is the one QApplication of its process, so its
// cases run in a process of their own, under it, with real events.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <vector>

#include "app/qt/application.h"
#include "app/qt/main_window.h"
#include "dialogs/qt/error_display.h"
#include "outline/qt/outline.h"
#include "runtime/errors.h"

namespace virevi::test {
namespace {

// Fails on "e" and "a" as a command handler would; counts what reaches it.
class TFailingWidget : public QWidget {
public:
    int Keys = 0;
    int Cancelled = 0;

protected:
    bool event(QEvent* event) override {
        Cancelled += event->type() == CancelModeEvent();
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        ++Keys;
        if (event->key() == Qt::Key_E) {
            throw EWriteError("ストリームへの書き込みエラー");
        }
        if (event->key() == Qt::Key_A) {
            throw EAbort();
        }
    }
};

class ApplicationTest : public testing::Test {
protected:
    void SetUp() override {
        Previous_ = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box); });
        Widget.show();
    }
    void TearDown() override { SetErrorBoxDisplay(std::move(Previous_)); }

    TFailingWidget Widget;
    std::vector<TErrorBox> Shown;

private:
    TErrorBoxDisplay Previous_;
};

TEST_F(ApplicationTest, ErrorsInHandlersAreShownAndEventsGoOn) {
    EXPECT_NO_THROW(QTest::keyClick(&Widget, Qt::Key_E));
    EXPECT_NO_THROW(QTest::keyClick(&Widget, Qt::Key_A));
    QTest::keyClick(&Widget, Qt::Key_X);
    EXPECT_EQ(Widget.Keys, 3);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Caption, "virevi");
    EXPECT_EQ(Shown[0].Text, "ストリームへの書き込みエラー.");
}

TEST_F(ApplicationTest, ErrorWhileButtonHeldCancelsThePressedWidgetsMode) {
    QTest::mousePress(&Widget, Qt::LeftButton);
    QTest::keyClick(&Widget, Qt::Key_E);
    EXPECT_EQ(Widget.Cancelled, 1);
    // Pressed and released: a later error finds nothing to cancel.
    QTest::mousePress(&Widget, Qt::LeftButton);
    QTest::mouseRelease(&Widget, Qt::LeftButton);
    QTest::keyClick(&Widget, Qt::Key_E);
    EXPECT_EQ(Widget.Cancelled, 1);
}

TEST_F(ApplicationTest, ErrorWhileButtonHeldEndsTheOutlinesSelectingAndTheSplittersDrag) {
    TMain main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const auto error = std::make_exception_ptr(EWriteError("ストリームへの書き込みエラー"));

    int clicks = 0;
    main.olTree->OnClick = [&](auto&) { ++clicks; };
    const TRect row = main.olTree->RowRect(0);
    const QPoint onRow(row.Left + 2, (row.Top + row.Bottom) / 2);
    QTest::mousePress(main.olTree->viewport(), Qt::LeftButton, {}, onRow);
    ShowException(error);
    QTest::mouseRelease(main.olTree->viewport(), Qt::LeftButton, {}, onRow);
    EXPECT_EQ(clicks, 0) << "the release after the error still ended a selecting";

    auto* pane = main.findChild<QWidget*>(QStringLiteral("pnOutline"));
    ASSERT_NE(pane, nullptr);
    const int width = pane->width();
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(width - 2, 2));
    ASSERT_TRUE(main.Dragging);
    ShowException(error);
    EXPECT_FALSE(main.Dragging);
    QTest::mouseMove(pane, QPoint(150, 2));
    EXPECT_EQ(pane->width(), width);
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(150, 2));
    EXPECT_EQ(Shown.size(), 2u);
}

} // namespace
} // namespace virevi::test
