#include <gtest/gtest.h>

#include "runtime/format.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

TEST(FormatTest, FileNameGoesInAsItsBytes) {
    EXPECT_EQ(FormatS(msg::SFOpenError, "/tmp/\x83\x5C.Txt"),
              "ファイル /tmp/\x83\x5C.Txt は開けません");
}

TEST(FormatTest, CodesInDecimal) {
    EXPECT_EQ(FormatD(msg::SInOutError, 103), "I/O エラー (103)");
    EXPECT_EQ(FormatD(msg::SListIndexError, -1), "リストのインデックスが範囲を超えています (-1)");
}

TEST(FormatTest, PatternWithoutMarkerIsUnchanged) {
    EXPECT_EQ(FormatS(msg::SWriteError, "x"), msg::SWriteError);
    EXPECT_EQ(FormatS("", "x"), "");
}

} // namespace
} // namespace virevi
