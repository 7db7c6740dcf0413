#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <vector>

#include "dialogs/dialog_answer.h"
#include "dialogs/error_display.h"
#include "dialogs/message_form.h"

namespace virevi::test {
namespace {

struct TKey {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

// Presses each key where the platform would deliver it: to the focused control.
void Press(TMessageForm& form, const std::vector<TKey>& keys) {
    for (const TKey& key : keys) {
        QWidget* target = form.focusWidget() != nullptr ? form.focusWidget() : &form;
        QTest::keyClick(target, key.Key, key.Modifiers);
    }
}

QPushButton* Button(TMessageForm& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

TEST(MessageFormTest, SavePromptAnswersByKey) {
    struct Case {
        const char* Name;
        std::vector<TKey> Keys;
        int Result;
    };
    const Case cases[] = {
        {"escape", {{Qt::Key_Escape}}, mrCancel},
        {"enter at once", {{Qt::Key_Return}}, mrYes},
        {"keypad enter", {{Qt::Key_Enter, Qt::KeypadModifier}}, mrYes},
        {"n", {{Qt::Key_N}}, mrNo},
        {"shift n", {{Qt::Key_N, Qt::ShiftModifier}}, mrNo},
        {"y", {{Qt::Key_Y}}, mrYes},
        {"tab then enter", {{Qt::Key_Tab}, {Qt::Key_Return}}, mrNo},
        {"tab twice then space", {{Qt::Key_Tab}, {Qt::Key_Tab}, {Qt::Key_Space}}, mrCancel},
        {"shift enter is no answer", {{Qt::Key_Return, Qt::ShiftModifier}, {Qt::Key_N}}, mrNo},
        {"ctrl n is no answer", {{Qt::Key_N, Qt::ControlModifier}, {Qt::Key_Y}}, mrYes},
    };
    for (const Case& c : cases) {
        WhenModalOpens<TMessageForm>([&](TMessageForm& form) { Press(form, c.Keys); });
        EXPECT_EQ(AskToSave(), c.Result) << c.Name;
    }
}

TEST(MessageFormTest, CloseBoxAnswersCancel) {
    WhenModalOpens<TMessageForm>([](TMessageForm& form) { form.close(); });
    EXPECT_EQ(AskToSave(), mrCancel);
}

TEST(MessageFormTest, EscapeWithoutCancelButtonKeepsDialogOpen) {
    // Yes and no: no is the cancel button. Abort, retry, ignore: OK is, but is missing.
    WhenModalOpens<TMessageForm>([](TMessageForm& form) { Press(form, {{Qt::Key_Escape}}); });
    EXPECT_EQ(MessageDlg("?", TMsgDlgType::mtConfirmation, MsgDlgButtons({mbYes, mbNo})), mrNo);
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        Press(form, {{Qt::Key_Escape}});
        EXPECT_TRUE(form.isVisible());
        Press(form, {{Qt::Key_I}});
    });
    EXPECT_EQ(MessageDlg("!", TMsgDlgType::mtError, MsgDlgButtons({mbAbort, mbRetry, mbIgnore})),
              mrIgnore);
}

TEST(MessageFormTest, SavePromptIsBuiltAsLaidOut) {
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        const TMessageLayout& layout = form.Layout();
        EXPECT_EQ(form.windowTitle(), QStringLiteral("警告"));
        EXPECT_EQ(form.size(), QSize(layout.ClientWidth, layout.ClientHeight));
        auto* image = form.findChild<QLabel*>(QStringLiteral("Image"));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->geometry(), QRect(layout.HorzMargin, layout.VertMargin, 32, 32));
        EXPECT_FALSE(image->pixmap().isNull());
        auto* message = form.findChild<QLabel*>(QStringLiteral("Message"));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), QStringLiteral("セーブしますか ?"));
        EXPECT_EQ(message->x(), layout.HorzMargin + 32 + layout.HorzSpacing);
        const char* names[] = {"Yes", "No", "Cancel"};
        const char* captions[] = {"はい(&Y)", "いいえ(&N)", "キャンセル"};
        int x = -1;
        for (int i = 0; i < 3; ++i) {
            QPushButton* button = Button(form, names[i]);
            ASSERT_NE(button, nullptr) << names[i];
            EXPECT_EQ(button->text(), QString::fromUtf8(captions[i]));
            EXPECT_GT(button->x(), x);
            EXPECT_EQ(button->y(), layout.IconTextHeight + layout.VertMargin + layout.VertSpacing);
            x = button->x();
        }
        EXPECT_TRUE(Button(form, "Yes")->isDefault());
        EXPECT_EQ(form.focusWidget(), Button(form, "Yes"));
        form.close();
    });
    AskToSave();
}

TEST(MessageFormTest, LongMessageWrapsAtHalfTheScreen) {
    const std::string message = [] {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            text += "word ";
        }
        return text;
    }();
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        auto* label = form.findChild<QLabel*>(QStringLiteral("Message"));
        const int halfScreen = form.screen()->geometry().width() / 2;
        EXPECT_LE(label->width(), halfScreen);
        EXPECT_GT(label->height(), 2 * label->fontMetrics().height());
        EXPECT_GT(form.height(), label->height());
        form.close();
    });
    MessageDlg(message, TMsgDlgType::mtInformation, MsgDlgButtons({mbOK}));
}

class MessageFormClipboardTest : public testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        Previous_ = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box); });
    }
    void TearDown() override { SetErrorBoxDisplay(std::move(Previous_)); }

    std::vector<TErrorBox> Shown;

private:
    TErrorBoxDisplay Previous_;
};

TEST_F(MessageFormClipboardTest, CtrlCCopiesTheDialogAndKeepsItOpen) {
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        Press(form, {{Qt::Key_C, Qt::ControlModifier}});
        EXPECT_TRUE(form.isVisible());
        Press(form, {{Qt::Key_Escape}});
    });
    EXPECT_EQ(AskToSave(), mrCancel);
    const QString dashes = QStringLiteral("---------------------------\r\n");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              dashes + QStringLiteral("警告\r\n") + dashes +
                  QStringLiteral("セーブしますか ?\r\n") + dashes +
                  QStringLiteral("はい(Y)   いいえ(N)   キャンセル   \r\n") + dashes);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(MessageFormClipboardTest, ClipboardTakenAwayAtOnceIsReported) {
    // Another owner takes the clipboard the moment we put the text there.
    QClipboard* clipboard = QGuiApplication::clipboard();
    QMetaObject::Connection takeover;
    takeover = QObject::connect(clipboard, &QClipboard::dataChanged, [&] {
        QObject::disconnect(takeover);
        clipboard->setText(QStringLiteral("someone else"));
    });
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        Press(form, {{Qt::Key_C, Qt::ControlModifier}, {Qt::Key_N}});
    });
    EXPECT_EQ(AskToSave(), mrNo);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Caption, "virevi");
    EXPECT_EQ(Shown[0].Text, "クリップボードを開くことができません.");
}

} // namespace
} // namespace virevi::test
