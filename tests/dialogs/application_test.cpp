// The application object is the one QApplication of its process, so its
// tests run in a process of their own, under it, with real events.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <new>
#include <vector>

#include "app/application.h"
#include "dialogs/error_display.h"
#include "runtime/errors.h"

namespace virevi::test {
namespace {

// Fails on key presses as a command handler would; counts what reaches it.
class TFailingWidget : public QWidget {
public:
    int Pressed = 0;
    int Keys = 0;
    int Cancelled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == CancelModeEvent()) {
            ++Cancelled;
            return true;
        }
        return QWidget::event(event);
    }
    void mousePressEvent(QMouseEvent*) override { ++Pressed; }
    void keyPressEvent(QKeyEvent* event) override {
        ++Keys;
        switch (event->key()) {
        case Qt::Key_A:
            throw EAbort();
        case Qt::Key_E:
            throw EWriteError("ストリームへの書き込みエラー");
        case Qt::Key_M:
            throw std::bad_alloc();
        default:
            break;
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

TEST_F(ApplicationTest, ErrorInHandlerIsShownAndEventsGoOn) {
    EXPECT_NO_THROW(QTest::keyClick(&Widget, Qt::Key_E));
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Caption, "virevi");
    EXPECT_EQ(Shown[0].Text, "ストリームへの書き込みエラー.");
    QTest::keyClick(&Widget, Qt::Key_X);
    EXPECT_EQ(Widget.Keys, 2);
}

TEST_F(ApplicationTest, AbortInHandlerShowsNothing) {
    EXPECT_NO_THROW(QTest::keyClick(&Widget, Qt::Key_A));
    EXPECT_TRUE(Shown.empty());
}

TEST_F(ApplicationTest, ForeignExceptionInHandlerIsShownAsApplicationError) {
    EXPECT_NO_THROW(QTest::keyClick(&Widget, Qt::Key_M));
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Caption, "アプリケーション エラー");
    EXPECT_EQ(Shown[0].Text.rfind("std::bad_allocがモジュール ", 0), 0u) << Shown[0].Text;
}

TEST_F(ApplicationTest, ErrorWhileButtonHeldCancelsThePressedWidgetsMode) {
    QTest::mousePress(&Widget, Qt::LeftButton);
    ASSERT_EQ(Widget.Pressed, 1);
    QTest::keyClick(&Widget, Qt::Key_E);
    EXPECT_EQ(Widget.Cancelled, 1);
    // Released: a later error finds nothing to cancel.
    QTest::mouseRelease(&Widget, Qt::LeftButton);
    QTest::mousePress(&Widget, Qt::LeftButton);
    QTest::mouseRelease(&Widget, Qt::LeftButton);
    QTest::keyClick(&Widget, Qt::Key_E);
    EXPECT_EQ(Widget.Cancelled, 1);
    EXPECT_EQ(Shown.size(), 2u);
}

} // namespace
} // namespace virevi::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    virevi::TApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
