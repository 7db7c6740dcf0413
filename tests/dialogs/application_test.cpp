// The application object is the one QApplication of its process, so its
// cases run in a process of their own, under it, with real events.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <vector>

#include "app/application.h"
#include "dialogs/error_display.h"
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

} // namespace
} // namespace virevi::test
