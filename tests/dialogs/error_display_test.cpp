#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <stdexcept>
#include <vector>

#include "dialogs/dialog_answer.h"
#include "dialogs/error_display.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi::test {
namespace {

class ErrorDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        Previous_ = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box); });
    }
    void TearDown() override { SetErrorBoxDisplay(std::move(Previous_)); }

    std::vector<TErrorBox> Shown;

private:
    TErrorBoxDisplay Previous_;
};

TEST_F(ErrorDisplayTest, AbortShowsNothing) {
    ShowException(std::make_exception_ptr(EAbort()));
    ShowException(nullptr);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(ErrorDisplayTest, ProgramErrorsShowTheirMessageUnderTheTitle) {
    ShowException(std::make_exception_ptr(EOutlineError(msg::SOutlineSelection)));
    ShowException(std::make_exception_ptr(EInOutError("I/O エラー (103)", 103)));
    ShowException(std::make_exception_ptr(EWriteError("")));
    ASSERT_EQ(Shown.size(), 3u);
    EXPECT_EQ(Shown[0].Caption, "virevi");
    EXPECT_EQ(Shown[0].Text, "選択範囲が不正です.");
    EXPECT_EQ(Shown[1].Text, "I/O エラー (103)");
    EXPECT_EQ(Shown[2].Text, "");
}

TEST_F(ErrorDisplayTest, ForeignExceptionGetsTheApplicationErrorBox) {
    ShowException(std::make_exception_ptr(std::runtime_error("lost")));
    ShowException(std::make_exception_ptr(42));
    ASSERT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Shown[0].Caption, "アプリケーション エラー");
    EXPECT_EQ(Shown[0].Text.rfind("std::runtime_errorがモジュール ", 0), 0u) << Shown[0].Text;
    EXPECT_NE(Shown[0].Text.find(" で発生しました。\n"), std::string::npos) << Shown[0].Text;
    EXPECT_EQ(Shown[0].Text.find("%"), std::string::npos) << Shown[0].Text;
    EXPECT_EQ(Shown[1].Text.rfind("intがモジュール ", 0), 0u) << Shown[1].Text;
}

// Counts the cancel-mode events it receives.
class TCaptureWidget : public QWidget {
public:
    int Cancelled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == CancelModeEvent()) {
            ++Cancelled;
            return true;
        }
        return QWidget::event(event);
    }
};

TEST_F(ErrorDisplayTest, MouseCaptureIsCancelledBeforeTheBox) {
    TCaptureWidget widget;
    widget.show();
    widget.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &widget);
    ShowException(std::make_exception_ptr(EPrinter(msg::SPrinting)));
    EXPECT_EQ(widget.Cancelled, 1);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    // Even for an abort, which shows nothing.
    widget.grabMouse();
    ShowException(std::make_exception_ptr(EAbort()));
    EXPECT_EQ(widget.Cancelled, 2);
}

TEST(ErrorDisplayBoxTest, PlatformBoxHasTitleStopIconAndOk) {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.standardButtons();
        box.button(QMessageBox::Ok)->click();
    });
    ShowException(std::make_exception_ptr(EFOpenError("ファイル a.Trr は開けません")));
    EXPECT_EQ(title, QStringLiteral("virevi"));
    EXPECT_EQ(text, QStringLiteral("ファイル a.Trr は開けません."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

} // namespace
} // namespace virevi::test
