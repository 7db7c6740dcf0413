#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <vector>

#include "dialogs/dialog_answer.h"
#include "dialogs/qt/error_display.h"
#include "dialogs/qt/message_form.h"

namespace virevi::test {
namespace {

struct TKey {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

// Presses each key where the platform would deliver it: to the focused control.
void Press(TMessageForm& form, const std::vector<TKey>& keys) {
    for (const TKey& key : keys) {
        QTest::keyClick(form.focusWidget() ? form.focusWidget() : &form, key.Key, key.Modifiers);
    }
}

QPushButton* Button(TMessageForm& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

constexpr TMsgDlgButtons SaveButtons = MsgDlgButtons({mbYes, mbNo, mbCancel});

TEST(MessageFormTest, FrameIsCentredOnTheScreen) {
    TMessageForm form("centred", TMsgDlgType::mtWarning, SaveButtons, 0);
    QRect frame;
    QRect client;
    WhenModalOpens<TMessageForm>([&](TMessageForm& shown) {
        frame = shown.frameGeometry();
        client = shown.geometry();
        shown.reject();
    });
    form.ShowModal();
    const QPoint centre = form.screen()->availableGeometry().center();
    // The platform draws a frame, which is what must be centred, not the client.
    ASSERT_NE(frame, client);
    EXPECT_LE((frame.center() - centre).manhattanLength(), 1) << frame.x() << "," << frame.y();
}

TEST(MessageFormTest, AnswersByKey) {
    struct Case {
        const char* Name;
        TMsgDlgButtons Buttons;
        std::vector<TKey> Keys;
        int Result;
    };
    const Case cases[] = {
        {"escape", SaveButtons, {{Qt::Key_Escape}}, mrCancel},
        {"enter at once", SaveButtons, {{Qt::Key_Return}}, mrYes},
        {"keypad enter", SaveButtons, {{Qt::Key_Enter, Qt::KeypadModifier}}, mrYes},
        {"n", SaveButtons, {{Qt::Key_N}}, mrNo},
        {"shift n", SaveButtons, {{Qt::Key_N, Qt::ShiftModifier}}, mrNo},
        {"tab then enter", SaveButtons, {{Qt::Key_Tab}, {Qt::Key_Return}}, mrNo},
        {"shift enter is nothing",
         SaveButtons,
         {{Qt::Key_Return, Qt::ShiftModifier}, {Qt::Key_N}},
         mrNo},
        {"ctrl n is nothing", SaveButtons, {{Qt::Key_N, Qt::ControlModifier}, {Qt::Key_Y}}, mrYes},
        // The cancel button would be OK, which is missing.
        {"escape without cancel",
         MsgDlgButtons({mbAbort, mbRetry, mbIgnore}),
         {{Qt::Key_Escape}, {Qt::Key_I}},
         mrIgnore},
    };
    for (const Case& c : cases) {
        WhenModalOpens<TMessageForm>([&](TMessageForm& form) { Press(form, c.Keys); });
        EXPECT_EQ(MessageDlg("?", TMsgDlgType::mtWarning, c.Buttons), c.Result) << c.Name;
    }
    WhenModalOpens<TMessageForm>([](TMessageForm& form) { form.close(); });
    EXPECT_EQ(AskToSave(), mrCancel) << "close box";
}

TEST(MessageFormTest, SavePromptIsBuiltAsLaidOut) {
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        const TMessageLayout& layout = form.Layout();
        EXPECT_EQ(form.windowTitle(), QStringLiteral("警告"));
        EXPECT_EQ(form.size(), QSize(layout.ClientWidth, layout.ClientHeight));
        EXPECT_NE(form.findChild<QLabel*>(QStringLiteral("Image")), nullptr);
        auto* message = form.findChild<QLabel*>(QStringLiteral("Message"));
        EXPECT_EQ(message->text(), QStringLiteral("セーブしますか ?"));
        EXPECT_EQ(message->x(), layout.HorzMargin + 32 + layout.HorzSpacing);
        EXPECT_LT(Button(form, "Yes")->x(), Button(form, "No")->x());
        EXPECT_LT(Button(form, "No")->x(), Button(form, "Cancel")->x());
        EXPECT_TRUE(Button(form, "Yes")->isDefault());
        EXPECT_EQ(form.focusWidget(), Button(form, "Yes"));
        form.close();
    });
    AskToSave();
}

TEST(MessageFormTest, LongMessageWrapsAtHalfTheScreen) {
    WhenModalOpens<TMessageForm>([](TMessageForm& form) {
        auto* label = form.findChild<QLabel*>(QStringLiteral("Message"));
        EXPECT_LE(label->width(), form.screen()->geometry().width() / 2);
        EXPECT_GT(label->height(), 2 * label->fontMetrics().height());
        EXPECT_GT(form.height(), label->height());
        form.close();
    });
    std::string message;
    for (int i = 0; i < 300; ++i) {
        message += "word ";
    }
    MessageDlg(message, TMsgDlgType::mtInformation, MsgDlgButtons({mbOK}));
}

class MessageFormClipboardTest : public testing::Test {
protected:
    void SetUp() override {
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
    // Another owner takes the clipboard the moment the text is put there.
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
