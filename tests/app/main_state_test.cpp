#include "app/main_state.h"

#include "runtime/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/fake_memo_lines.h"
#include "support/case_name.h"

namespace virevi {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const TStringList& list) {
    Lines lines;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.emplace_back(list[i]);
    }
    return lines;
}

TEST(PositionTextTest, ShowsPositionCountAndModifiedMark) {
    EXPECT_EQ(PositionText(1, 1, false), "1 / 1");
    EXPECT_EQ(PositionText(3, 12, false), "3 / 12");
    EXPECT_EQ(PositionText(3, 12, true), "3 / 12*");
}

struct SplitCase {
    const char* Name;
    std::string Text;
    std::size_t Caret;
    Lines Before;
    Lines After;
};

// "表" is 0x95 0x5C: its second byte is "\", and it is one character.
const SplitCase SplitCases[] = {
    {"inside the second line", "first\r\nsecond", 10, {"first", "sec"}, {"ond"}},
    {"at the start", "first\r\nsecond", 0, {}, {"first", "second"}},
    {"at the end", "first\r\nsecond", 13, {"first", "second"}, {}},
    {"past the end", "first\r\nsecond", 99, {"first", "second"}, {}},
    {"at a line start", "first\r\nsecond", 7, {"first"}, {"second"}},
    {"before a final break", "abc\r\n", 3, {"abc"}, {""}},
    {"after a final break", "abc\r\n", 5, {"abc"}, {}},
    {"before a blank line", "a\r\n\r\nb", 3, {"a"}, {"", "b"}},
    {"empty text", "", 0, {}, {}},
    {"after a double-byte character",
     "\x95\x5C"
     "a\x82\xA0z",
     1,
     {"\x95\x5C"},
     {"a\x82\xA0z"}},
    {"between double-byte characters",
     "\x82\xA0\x82\xA2\x82\xA4",
     2,
     {"\x82\xA0\x82\xA2"},
     {"\x82\xA4"}},
};

class SplitNoteTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitNoteTest, CutsAtTheCaretAndLeavesTheEditorAsItWas) {
    const SplitCase& c = GetParam();
    test::TFakeMemoLines editor;
    editor.Type(c.Text);
    editor.SetSelStart(c.Caret);
    const TNoteSplit split = SplitNoteAtCaret(editor);
    EXPECT_EQ(LinesOf(split.Before), c.Before);
    EXPECT_EQ(LinesOf(split.After), c.After);
    EXPECT_EQ(editor.Text(), c.Text);
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(editor.WordWrap());
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitNoteTest, testing::ValuesIn(SplitCases), test::TCaseName());

TEST(CheckAddedLinesTest, RefusesOnlyALineLongerThanTheEditorTakes) {
    TStringList lines;
    lines.Add("short");
    lines.Add(std::string(MostAddedLineBytes, 'a'));
    EXPECT_NO_THROW(CheckAddedLines(lines));
    lines.Add(std::string(MostAddedLineBytes + 1, 'a'));
    lines.Add("after");
    try {
        CheckAddedLines(lines);
        FAIL() << "a line one byte too long was taken";
    } catch (const EStringListError& error) {
        EXPECT_STREQ(error.what(), "行が長すぎます");
    }
}

TEST(NameFiltersTest, GivesThePlatformSyntax) {
    EXPECT_EQ(NameFiltersOf("virevi(*.Trr)|*.Trr"), (Lines{"virevi(*.Trr)"}));
    // Every file, not only names with a dot.
    EXPECT_EQ(NameFiltersOf("すべてのファイル(*.*)|*.*"), (Lines{"すべてのファイル(*.*) (*)"}));
    EXPECT_EQ(NameFiltersOf("Text|*.txt;*.log|All|*.*"), (Lines{"Text (*.txt *.log)", "All (*)"}));
    EXPECT_EQ(NameFiltersOf(""), Lines{});
}

} // namespace
} // namespace virevi
