#include <gtest/gtest.h>

#include "dialogs/message_layout.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

constexpr TMsgDlgButtons SaveButtons = MsgDlgButtons({mbYes, mbNo, mbCancel});

// Every caption the same width, counting how often one is measured.
struct TFixedCaptions {
    std::int32_t Width = 40;
    int Measured = 0;
    std::int32_t operator()(std::string_view caption) {
        ++Measured;
        EXPECT_EQ(caption.find('&'), std::string_view::npos) << caption;
        return Width;
    }
};

TMessageLayout Layout(std::int32_t alphabetWidth, std::int32_t charHeight, std::int32_t textWidth,
                      std::int32_t textHeight, TMsgDlgType type, TMsgDlgButtons buttons,
                      TFixedCaptions captions = {}) {
    TButtonWidthCache cache;
    return LayoutMessageDialog({alphabetWidth, charHeight, textWidth, textHeight}, type, buttons,
                               cache, std::ref(captions));
}

TEST(MessageLayoutTest, SavePromptAtSixByTwelve) {
    // 363 / 52 drops its remainder: still 6.
    for (const std::int32_t alphabet : {6 * 52, 6 * 52 + 51}) {
        const TMessageLayout l = Layout(alphabet, 12, 100, 12, TMsgDlgType::mtWarning, SaveButtons);
        EXPECT_EQ(l.CharWidth, 6);
        EXPECT_EQ(l.HorzMargin, 12);
        EXPECT_EQ(l.VertMargin, 12);
        EXPECT_EQ(l.HorzSpacing, 15);
        EXPECT_EQ(l.VertSpacing, 15);
        EXPECT_EQ(l.ButtonWidth, 75);
        EXPECT_EQ(l.ButtonHeight, 21);
        EXPECT_EQ(l.ButtonGap, 6);
        EXPECT_EQ(l.ButtonRowWidth, 237);
        EXPECT_EQ(l.IconTextWidth, 147);
        EXPECT_EQ(l.IconTextHeight, 32);
        EXPECT_EQ(l.ClientWidth, 261);
        EXPECT_EQ(l.ClientHeight, 92);
        EXPECT_EQ(l.Icon, (TRect{12, 12, 44, 44}));
        EXPECT_EQ(l.Message, (TRect{59, 12, 159, 24}));
        const std::vector<TMessageButtonPlace> buttons{
            {mbYes, {12, 59, 87, 80}}, {mbNo, {93, 59, 168, 80}}, {mbCancel, {174, 59, 249, 80}}};
        EXPECT_EQ(l.Buttons, buttons);
    }
}

TEST(MessageLayoutTest, DialogUnitsRoundHalvesUp) {
    // 7 wide, 13 high: 17.5 -> 18, 87.5 -> 88, 16.25 -> 16, 22.75 -> 23.
    const TMessageLayout l = Layout(7 * 52, 13, 100, 12, TMsgDlgType::mtWarning, SaveButtons);
    EXPECT_EQ(l.HorzMargin, 14);
    EXPECT_EQ(l.VertMargin, 13);
    EXPECT_EQ(l.HorzSpacing, 18);
    EXPECT_EQ(l.VertSpacing, 16);
    EXPECT_EQ(l.ButtonWidth, 88);
    EXPECT_EQ(l.ButtonHeight, 23);
    EXPECT_EQ(l.ButtonGap, 7);
}

TEST(MessageLayoutTest, WideTextCentresButtonsRoundingDown) {
    // Text 301 wide: icon and text 348, client 372, buttons start at 135 / 2.
    const TMessageLayout l = Layout(6 * 52, 12, 301, 48, TMsgDlgType::mtWarning, SaveButtons);
    EXPECT_EQ(l.ClientWidth, 372);
    EXPECT_EQ(l.ClientHeight, 48 + 21 + 15 + 24);
    EXPECT_EQ(l.Buttons.front().Bounds.Left, 67);
    EXPECT_EQ(l.Buttons.front().Bounds.Top, 48 + 12 + 15);
}

TEST(MessageLayoutTest, CustomTypeHasNoIcon) {
    const TMessageLayout l =
        Layout(6 * 52, 12, 100, 12, TMsgDlgType::mtCustom, MsgDlgButtons({mbOK}));
    EXPECT_TRUE(l.Icon.Empty());
    EXPECT_EQ(l.Message, (TRect{12, 12, 112, 24}));
    EXPECT_EQ(l.Buttons.front().Bounds, (TRect{24, 39, 99, 60}));
}

TEST(MessageLayoutTest, WideCaptionWidensEveryButtonOnce) {
    TButtonWidthCache cache;
    TFixedCaptions wide{100};
    const auto measures = TMessageMeasures{6 * 52, 12, 100, 12};
    TMessageLayout l =
        LayoutMessageDialog(measures, TMsgDlgType::mtWarning, SaveButtons, cache, std::ref(wide));
    EXPECT_EQ(l.ButtonWidth, 108);
    EXPECT_EQ(wide.Measured, 3);
    // Cached for good: a narrower font later does not shrink the measured kinds.
    TFixedCaptions narrow{10};
    l = LayoutMessageDialog(measures, TMsgDlgType::mtWarning, MsgDlgButtons({mbYes, mbOK}), cache,
                            std::ref(narrow));
    EXPECT_EQ(l.ButtonWidth, 108);
    EXPECT_EQ(narrow.Measured, 1);
}

TEST(MessageLayoutTest, DefaultAndCancelButtons) {
    struct Case {
        const char* Name;
        TMsgDlgButtons Set;
        TMsgDlgBtn Default;
        TMsgDlgBtn Cancel;
    };
    const Case cases[] = {
        {"save prompt", SaveButtons, mbYes, mbCancel},
        {"yes and no", MsgDlgButtons({mbYes, mbNo}), mbYes, mbNo},
        {"ok and cancel", MsgDlgButtons({mbOK, mbCancel}), mbOK, mbCancel},
        {"ok wins over yes", MsgDlgButtons({mbYes, mbOK}), mbOK, mbOK},
        {"abort retry ignore", MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), mbRetry, mbOK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultButton(c.Set), c.Default) << c.Name;
        EXPECT_EQ(CancelButton(c.Set), c.Cancel) << c.Name;
    }
}

TEST(MessageLayoutTest, ClipboardTextOfSavePrompt) {
    const std::string dashes = "---------------------------\r\n";
    EXPECT_EQ(MessageClipboardText("警告", msg::SavePrompt, SaveButtons),
              dashes + "警告\r\n" + dashes + "セーブしますか ?\r\n" + dashes +
                  "はい(Y)   いいえ(N)   キャンセル   \r\n" + dashes);
}

TEST(MessageLayoutTest, ErrorTextGetsFullStopAfterCharactersAboveIt) {
    struct Case {
        const char* Message;
        const char* Shown;
    };
    const Case cases[] = {
        {"ディスクがいっぱいです", "ディスクがいっぱいです."},
        {"クリップボードを開くことができません", "クリップボードを開くことができません."},
        {"I/O エラー (103)", "I/O エラー (103)"},
        {"done.", "done."},
        {"", ""},
        {"trailing ", "trailing "},
        {"dash-", "dash-"},    // "-" lies just below "."
        {"slash/", "slash/."}, // "/" just above it
        {"ends in a", "ends in a."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorDisplayText(c.Message), c.Shown) << '"' << c.Message << '"';
    }
}

} // namespace
} // namespace virevi
