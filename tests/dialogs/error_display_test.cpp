#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include <stdexcept>
#include <vector>

#include "dialogs/dialog_answer.h"
#include "dialogs/qt/error_display.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi::test {
namespace {

TEST(ErrorDisplayTest, ProgramAndForeignErrorsGetTheirBoxes) {
    std::vector<TErrorBox> shown;
    TErrorBoxDisplay previous =
        SetErrorBoxDisplay([&](const TErrorBox& box) { shown.push_back(box); });
    ShowException(std::make_exception_ptr(EOutlineError(msg::SOutlineSelection)));
    ShowException(std::make_exception_ptr(EAbort()));
    ShowException(std::make_exception_ptr(std::runtime_error("lost")));
    SetErrorBoxDisplay(std::move(previous));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Caption, "virevi");
    EXPECT_EQ(shown[0].Text, "選択範囲が不正です.");
    EXPECT_EQ(shown[1].Caption, "アプリケーション エラー");
    EXPECT_EQ(shown[1].Text.rfind("std::runtime_errorがモジュール ", 0), 0u) << shown[1].Text;
    EXPECT_NE(shown[1].Text.find(" で発生しました。\n"), std::string::npos) << shown[1].Text;
    EXPECT_EQ(shown[1].Text.find('%'), std::string::npos) << shown[1].Text;
}

TEST(ErrorDisplayTest, PlatformBoxHasTitleStopIconAndOk) {
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
