#include "print/printer_text_device.h"

#include <gtest/gtest.h>

#include "print/fake_printer_service.h"
#include "print/print_note.h"
#include "print/printer.h"
#include "support/list_memo_lines.h"

namespace virevi {
namespace {

// Shift-JIS "あ" and "い": double-byte, 20 pixels wide with the fake metrics.
const std::string A = "\x82\xa0";
const std::string I = "\x82\xa2";

struct TLayoutCase {
    const char* Name;
    std::vector<std::string> Lines;
    std::vector<std::string> Expected; ///< "page x,y text" for every text drawn
    int Pages;
    std::int32_t Width = 100;
    std::int32_t AveCharWidth = 10;
};

void PrintTo(const TLayoutCase& layout, std::ostream* out) {
    *out << layout.Name;
}

// Lines of 22 pixels (text height 20 + 2) on a page of 200: a line goes on
// the page while its top is at most 200 - 2 * 22 = 156.
std::vector<std::string> Repeat(const std::string& line, int count) {
    return std::vector<std::string>(count, line);
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const TLayoutCase LayoutCases[] = {
    {"EmptyNote", {}, {}, 1},
    {"WideLineCutAndCutAgain",
     {"abcdefghijklmnopqrstuvw"},
     {"1 0,0 abcdefghij", "1 0,22 klmnopqrst", "1 0,44 uvw"},
     1},
    {"LineEndingAtRightEdgeNotWrapped", {"abcdefghij", "k"}, {"1 0,0 abcdefghij", "1 0,22 k"}, 1},
    {"DoubleByteCrossingEdgeMovesWhole",
     {"abcdefghi" + A + "x"},
     {"1 0,0 abcdefghi", "1 0,22 " + A + "x"},
     1},
    {"TabAlone", {"\t", "x"}, {"1 0,20 x"}, 1},
    {"TabAtStopMinusOne", {"aaaaaaaiiiiiiiii\tx"}, {"1 0,0 aaaaaaaiiiiiiiii", "1 160,0 x"}, 1, 200},
    {"TabAtStopMinusTwo", {"aaaaaaaiiiiiiii\tx"}, {"1 0,0 aaaaaaaiiiiiiii", "1 80,0 x"}, 1, 200},
    {"TabPassingRightEdge", {"aaaaaaaaa\tb"}, {"1 0,0 aaaaaaaaa", "1 0,22 b"}, 1},
    {"TabWithoutAverageWidthStepsEightPixels", {"\tx"}, {"1 8,0 x"}, 1, 100, 0},
    {"CarriageReturnIgnored", {"ab\rcd"}, {"1 0,0 ab", "1 20,0 cd"}, 1},
    {"FormFeedMidLine", {"ab\fcd"}, {"1 0,0 ab", "2 0,0 cd"}, 2},
    {"LineFeedMidLine", {"ab\ncd"}, {"1 0,0 ab", "1 0,22 cd"}, 1},
    {"EmptyLineAdvancesByCharacterHeight", {"a", "", "b"}, {"1 0,0 a", "1 0,42 b"}, 1},
    {"PageTakesLinesWhileTopAtMostBottomLessTwoLines",
     Repeat("a", 9),
     {"1 0,0 a", "1 0,22 a", "1 0,44 a", "1 0,66 a", "1 0,88 a", "1 0,110 a", "1 0,132 a",
      "1 0,154 a", "2 0,0 a"},
     2},
    {"LastLineLowOpensEmptyLastPage",
     Repeat("a", 8),
     {"1 0,0 a", "1 0,22 a", "1 0,44 a", "1 0,66 a", "1 0,88 a", "1 0,110 a", "1 0,132 a",
      "1 0,154 a"},
     2},
    {"AfterEmptyLinePageBreaksOnlyPastBottom",
     Concat(Repeat("a", 7), {"", "b"}),
     {"1 0,0 a", "1 0,22 a", "1 0,44 a", "1 0,66 a", "1 0,88 a", "1 0,110 a", "1 0,132 a",
      "1 0,174 b"},
     2},
    {"CharacterWiderThanPageGoesAlone",
     {A + I + "x"},
     {"1 0,0 " + A, "1 0,22 " + I, "1 0,44 x"},
     1,
     15},
};

class PrinterTextDeviceTest : public testing::TestWithParam<TLayoutCase> {};

TEST_P(PrinterTextDeviceTest, LaysOutLines) {
    const TLayoutCase& layout = GetParam();
    test::TFakePrinterService service;
    service.Width = layout.Width;
    TPrinter printer(service, 96);
    test::TListMemoLines note;
    note.Lines = layout.Lines;
    service.AveCharWidth = layout.AveCharWidth;
    PrintLines(printer, note, test::FontOf("F", -16, 96));
    std::vector<std::string> drawn;
    int pages = 0;
    int docs = 0;
    for (const std::string& entry : service.Log) {
        if (entry == "StartPage") {
            ++pages;
        } else if (entry.starts_with("StartDoc")) {
            ++docs;
        } else if (entry.starts_with("Text ")) {
            drawn.push_back(std::to_string(pages) + " " + entry.substr(5));
        }
    }
    EXPECT_EQ(drawn, layout.Expected);
    EXPECT_EQ(pages, layout.Pages);
    EXPECT_EQ(docs, 1);
    EXPECT_EQ(service.Log.back(), "EndDoc");
    EXPECT_FALSE(printer.Printing());
}

INSTANTIATE_TEST_SUITE_P(Layouts, PrinterTextDeviceTest, testing::ValuesIn(LayoutCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace virevi
