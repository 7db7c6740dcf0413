#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <memory>

#include "editor/memo_lines_cases.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "runtime/qt/qt_shift_jis.h"
#include "runtime/shift_jis.h"

namespace virevi::test {
namespace {

// Key presses as the platform sends them: a letter's key code, or for other
// characters the text alone, a surrogate pair in one event.
void TypeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80) {
            QTest::keyClick(widget, text[i].toLatin1());
            continue;
        }
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(widget, &release);
        i += n - 1;
    }
}

class TQtHarness : public TMemoHarness {
public:
    explicit TQtHarness(TMemo& memo) : Memo_(memo) {}
    TMemoLines& Memo() override { return Memo_; }
    // Real key events: the characters, and the Enter key for each CR LF.
    void Type(std::string_view bytes) override {
        for (;;) {
            const std::size_t brk = bytes.find("\r\n");
            TypeText(&Memo_, FromShiftJis(bytes.substr(0, brk)));
            if (brk == std::string_view::npos) {
                return;
            }
            QTest::keyClick(&Memo_, Qt::Key_Return);
            bytes.remove_prefix(brk + 2);
        }
    }
    std::string Clipboard() override {
        return ToShiftJis(QGuiApplication::clipboard()->text().replace(QLatin1String("\n"),
                                                                       QLatin1String("\r\n")));
    }
    void SetClipboard(std::string_view bytes) override {
        QGuiApplication::clipboard()->setText(
            FromShiftJis(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }

private:
    TMemo& Memo_;
};

class MemoTest : public testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::clipboard()->clear();
        Memo.setObjectName(QStringLiteral("moNote"));
        Memo.resize(400, 300);
        Memo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Memo));
    }
    std::vector<std::string> Lines() const { return ReadLines(Memo); }
    TMemo Memo;
};

class MemoRulesTest : public MemoTest, public testing::WithParamInterface<TMemoLinesCase> {};

TEST_P(MemoRulesTest, FollowsTheLineRules) {
    TQtHarness harness(Memo);
    GetParam().Run(harness);
}

INSTANTIATE_TEST_SUITE_P(Rules, MemoRulesTest, testing::ValuesIn(MemoLinesCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MemoTest, WrappedLineCountsAsSeveralDisplayedLinesAndOneHardLine) {
    std::string hard;
    while (hard.size() < 300) {
        hard += "word ";
    }
    Memo.Assign(MakeList({hard, "short"}));
    const std::size_t wrapped = Memo.Count();
    EXPECT_GT(wrapped, 3u);
    // The displayed lines are the hard line's pieces, in order.
    std::string joined;
    for (std::size_t i = 0; i + 1 < wrapped; ++i) {
        joined += Memo.Line(i);
    }
    EXPECT_EQ(joined, hard);
    EXPECT_EQ(Memo.Line(wrapped - 1), "short");
    TStringList shown;
    Memo.AppendTo(shown);
    EXPECT_EQ(shown.Count(), wrapped);

    Memo.SetWordWrap(false);
    EXPECT_EQ(Lines(), (std::vector<std::string>{hard, "short"}));
}

TEST_F(MemoTest, DisplayedLinesFollowTheWidth) {
    Memo.Assign(MakeList({std::string(200, 'x')}));
    const std::size_t narrow = Memo.Count();
    Memo.resize(800, 300);
    QApplication::processEvents();
    EXPECT_LT(Memo.Count(), narrow);
    EXPECT_GE(Memo.Count(), 1u);
}

TEST_F(MemoTest, DisplayedLinesReadInAnyOrderMatchTheLayoutAfterEveryChange) {
    std::string hard;
    while (hard.size() < 200) {
        hard += "word" + std::to_string(hard.size()) + " ";
    }
    Memo.Assign(MakeList({hard, "", hard + "x", "short"}));
    const auto check = [this](const char* after) {
        TStringList shown;
        Memo.AppendTo(shown);
        ASSERT_EQ(Memo.Count(), shown.Count()) << after;
        for (std::size_t i = 0; i < shown.Count(); ++i) {
            EXPECT_EQ(Memo.Line(i), shown[i]) << after << ", line " << i;
        }
        for (std::size_t i = shown.Count(); i-- > 0;) {
            EXPECT_EQ(Memo.Line(i), shown[i]) << after << ", backwards, line " << i;
        }
        EXPECT_EQ(Memo.Line(shown.Count()), "") << after;
    };
    check("assigning");
    Memo.resize(250, 300);
    QApplication::processEvents();
    check("narrowing");
    Memo.SetSelStart(0);
    QTest::keyClicks(&Memo, QStringLiteral("typed in front "));
    check("typing");
    QFont larger = Memo.font();
    larger.setPixelSize(24);
    Memo.setFont(larger);
    check("a larger font");
}

TEST_F(MemoTest, WordWrapSwitchScrollsToTheTopAndKeepsTheFocus) {
    Memo.activateWindow();
    Memo.SetFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Memo));
    TStringList many;
    for (int i = 0; i < 200; ++i) {
        many.Add("line");
    }
    Memo.Assign(many);
    ASSERT_GT(Memo.verticalScrollBar()->value(), 0); // the caret went to the end
    Memo.SetWordWrap(false);
    EXPECT_EQ(Memo.verticalScrollBar()->value(), 0);
    EXPECT_EQ(Memo.SelStart(), 0u);
    EXPECT_TRUE(Memo.hasFocus());
    EXPECT_EQ(Memo.Count(), 200u);
}

TEST_F(MemoTest, NoteWithAWordLongerThanWrappingTakesBreaksAnywhereUntilItGoes) {
    const std::string word(64 * 1024, 'w');
    std::string words;
    while (words.size() < 300) {
        words += "word ";
    }
    const auto show = [&](const TStringList& note) {
        Memo.SetWordWrap(false);
        Memo.Assign(note);
        Memo.SetWordWrap(true);
    };
    show(MakeList({"a", word}));
    EXPECT_EQ(Memo.wordWrapMode(), QTextOption::WrapAnywhere);
    std::string joined;
    for (std::size_t i = 1; i < Memo.Count(); ++i) {
        joined += Memo.Line(i);
    }
    EXPECT_EQ(joined, word);

    // The next note has ordinary words: they wrap whole again.
    show(MakeList({words}));
    EXPECT_EQ(Memo.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (std::size_t i = 0; i + 1 < Memo.Count(); ++i) {
        EXPECT_EQ(Memo.Line(i).back(), ' ') << Memo.Line(i);
    }

    // Japanese may break between any two characters: a long line of it is no long word.
    std::string japanese;
    while (japanese.size() < 3 * 4096) {
        japanese += "\x82\xA0\x8A\xBF"; // あ漢
    }
    show(MakeList({japanese}));
    EXPECT_EQ(Memo.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

    // Pasted while wrapping, before the text is laid out.
    QGuiApplication::clipboard()->setText(QString::fromStdString(word));
    Memo.PasteFromClipboard();
    EXPECT_EQ(Memo.wordWrapMode(), QTextOption::WrapAnywhere);
}

TEST_F(MemoTest, RevisionMovesWithEveryChangeOfTheTextAndOnlyThen) {
    Memo.Assign(MakeList({"a", "b"}));
    std::uint64_t last = Memo.Revision();
    const auto changed = [&] {
        const bool moved = Memo.Revision() != last;
        last = Memo.Revision();
        return moved;
    };
    Memo.SetWordWrap(false);
    Memo.SetWordWrap(true);
    Memo.SetSelStart(2);
    Memo.SetModified(true);
    Memo.ToStart();
    EXPECT_FALSE(changed());
    QTest::keyClick(&Memo, 'x');
    EXPECT_TRUE(changed());
    QTest::keyClick(&Memo, Qt::Key_Z, Qt::ControlModifier); // undo
    EXPECT_TRUE(changed());
    Memo.Append("c");
    EXPECT_TRUE(changed());
    Memo.Clear();
    EXPECT_TRUE(changed());
}

TEST_F(MemoTest, RealKeysTypeJapaneseTabsAndLineBreaks) {
    QTest::keyClicks(&Memo, QStringLiteral("abc"));
    QTest::keyClick(&Memo, Qt::Key_Tab);
    QTest::keyClick(&Memo, Qt::Key_Return);
    TypeText(&Memo, QString::fromUtf8("漢字ｶﾅ"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abc\t", "\x8A\xBF\x8E\x9A\xB6\xC5"}));
    EXPECT_TRUE(Memo.Modified());
}

TEST_F(MemoTest, TypedCharactersShiftJisCannotHoldBecomeQuestionMarks) {
    TypeText(&Memo, QString::fromUtf8("a😀€あ"));
    // What is shown is what is stored.
    EXPECT_EQ(Memo.toPlainText(), QString::fromUtf8("a??あ"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a??\x82\xA0"}));
}

TEST_F(MemoTest, PastedEmojiAndNulBecomeQuestionMarks) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8("x😀y") + QChar(u'\0') + "z");
    Memo.PasteFromClipboard();
    EXPECT_EQ(Memo.toPlainText(), QStringLiteral("x?y?z"));
    // The editor's own paste key takes the same way in.
    QTest::keyClick(&Memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Memo.toPlainText(), QStringLiteral("x?y?zx?y?z"));
    // And so does the Paste of its right-click menu.
    const std::unique_ptr<QMenu> menu(Memo.createStandardContextMenu());
    QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(Memo.toPlainText(), QStringLiteral("x?y?zx?y?zx?y?z"));
}

TEST_F(MemoTest, InputMethodCommitBecomesStorable) {
    QInputMethodEvent compose(QString::fromUtf8("かん"), {});
    QApplication::sendEvent(&Memo, &compose);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("漢😀"));
    QApplication::sendEvent(&Memo, &commit);
    EXPECT_EQ(Memo.toPlainText(), QString::fromUtf8("漢?"));
}

TEST_F(MemoTest, CopiedTextIsPlainTextOnly) {
    Memo.Assign(MakeList({"ab", "cd"}));
    Memo.SetSelStart(1);
    Memo.SetSelLength(5);
    Memo.CopyToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("text/plain")});
    EXPECT_EQ(data->text(), QStringLiteral("b\ncd"));
}

TEST_F(MemoTest, NoteFaceIsAFixedPitchJapaneseGothicAt16Pixels) {
    const QFontInfo info(Memo.font());
    EXPECT_EQ(info.pixelSize(), 16);
    // Japanese and Latin share one grid: every letter one cell, a kana two.
    const QFontMetrics metrics(Memo.font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
              metrics.horizontalAdvance(QLatin1Char('W')))
        << info.family().toStdString();
    EXPECT_EQ(metrics.horizontalAdvance(QString::fromUtf8("あ")),
              2 * metrics.horizontalAdvance(QLatin1Char('a')));
    EXPECT_EQ(Memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(Memo.WordWrap());
    EXPECT_FALSE(Memo.Modified());
}

// Pixels of the focused selection colour in the editor's picture.
int HighlightPixels(TMemo& memo) {
    const QImage image = memo.grab().toImage();
    const QRgb highlight = memo.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == highlight ? 1 : 0;
        }
    }
    return n;
}

TEST_F(MemoTest, SelectionIsShownOnlyWithTheFocus) {
    QWidget other;
    other.show();
    Memo.Assign(MakeList({"selected text"}));
    Memo.SetSelStart(0);
    Memo.SetSelLength(8);
    Memo.activateWindow();
    Memo.SetFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Memo));
    EXPECT_GT(HighlightPixels(Memo), 100);
    other.activateWindow();
    other.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(Memo.hasFocus());
    EXPECT_EQ(HighlightPixels(Memo), 0);
    EXPECT_EQ(Memo.SelLength(), 8u);
}

TEST_F(MemoTest, StorableKeepsLineBreaksAndStrays) {
    EXPECT_EQ(TMemo::Storable(QStringLiteral("a\nb\r\nc\t")), QStringLiteral("a\nb\r\nc\t"));
    const QString stray(QChar(0xF780));
    EXPECT_EQ(TMemo::Storable(stray), stray);
}

} // namespace
} // namespace virevi::test
