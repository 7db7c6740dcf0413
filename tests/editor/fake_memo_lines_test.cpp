#include <gtest/gtest.h>

#include "editor/fake_memo_lines.h"
#include "editor/memo_lines_cases.h"

namespace virevi::test {
namespace {

class TFakeHarness : public TMemoHarness {
public:
    TMemoLines& Memo() override { return Fake; }
    void Type(std::string_view bytes) override { Fake.Type(bytes); }
    std::string Clipboard() override { return Fake.Clipboard; }
    void SetClipboard(std::string_view bytes) override { Fake.Clipboard = bytes; }
    TFakeMemoLines Fake;
};

class FakeMemoLinesTest : public testing::TestWithParam<TMemoLinesCase> {};

TEST_P(FakeMemoLinesTest, FollowsTheLineRules) {
    TFakeHarness harness;
    GetParam().Run(harness);
}

INSTANTIATE_TEST_SUITE_P(Rules, FakeMemoLinesTest, testing::ValuesIn(MemoLinesCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FakeMemoLinesWrapTest, WrapWidthSplitsOnlyWrappedLinesAndKeepsDoubleBytesWhole) {
    TFakeMemoLines memo;
    memo.WrapWidth = 3;
    memo.Assign(MakeList({"abcdefg", "a\x82\xA0\x82\xA0"}));
    EXPECT_EQ(ReadLines(memo), (Lines{"abc", "def", "g", "a\x82\xA0", "\x82\xA0"}));
    memo.SetWordWrap(false);
    EXPECT_EQ(ReadLines(memo), (Lines{"abcdefg", "a\x82\xA0\x82\xA0"}));
    EXPECT_EQ(memo.WrapSwitches, 1);
}

TEST(FakeMemoLinesWrapTest, TypingReplacesTheSelectionAndSetsModified) {
    TFakeMemoLines memo;
    memo.SetText("abc\r\n");
    memo.SetSelStart(1);
    memo.SetSelLength(1);
    memo.Type("\x82\xA0");
    EXPECT_EQ(memo.Text(), "a\x82\xA0"
                           "c\r\n");
    EXPECT_EQ(memo.SelStart(), 2u);
    EXPECT_TRUE(memo.Modified());
}

} // namespace
} // namespace virevi::test
