#include "files/line_search.h"

#include <gtest/gtest.h>

#include <string>

#include "files/string_list.h"

namespace virevi {
namespace {

// 表: its second byte is the byte of "\".
#define HYO "\x95\x5C"

TEST(LineSearchTest, RunsOfManyLinesFindTheFirstMatchAtABoundary) {
    // Long lines of "表" hold a "\" at every other byte; only the real one counts.
    TStringList lines;
    std::string hyo;
    for (int i = 0; i < 1000; ++i) {
        hyo += HYO;
    }
    lines.Add(hyo);
    lines.Add("");
    lines.Add(hyo + "\\" + hyo);
    lines.Add("\\");
    const TSearchPattern backslash("\\", true);
    EXPECT_EQ(FindInLines(lines, 0, 4, 0, backslash), (TLinePlace{2, 2000}));
    EXPECT_EQ(FindInLines(lines, 2, 4, 2001, backslash), (TLinePlace{3, 0}));
    EXPECT_EQ(FindInLines(lines, 0, 3, 0, TSearchPattern(HYO "\\" HYO, true)),
              (TLinePlace{2, 1998}));
    EXPECT_FALSE(FindInLines(lines, 0, 2, 0, backslash));
    EXPECT_FALSE(FindInLines(lines, 0, 9, 0, TSearchPattern(hyo + hyo, true)));
}

} // namespace
} // namespace virevi
