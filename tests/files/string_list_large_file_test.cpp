// Files larger than the reading block: the lines must come out as splitting
// the whole text at once gives them, wherever a line end falls.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/string_list.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

constexpr std::size_t Block = std::size_t{1} << 20;

void ExpectSameLines(const TStringList& loaded, const TStringList& split) {
    ASSERT_EQ(loaded.Count(), split.Count());
    for (std::size_t i = 0; i < split.Count(); ++i) {
        ASSERT_EQ(loaded[i], split[i]) << "line " << i;
    }
}

TEST(LargeFileLoad, GivesTheLinesOfTheWholeTextWhereverLineEndsFall) {
    test::TTempFolder folder;
    const std::string file = folder.File("notes.Txt");
    std::mt19937 random(1 << 20);
    // Each case puts one byte pattern right across the first block boundary.
    const std::vector<std::string> atBoundary = {"\r\n", "\r", "\n", "\n\n", "\r\r\n", "ab", ""};
    for (const std::string& pattern : atBoundary) {
        for (const std::size_t before : {std::size_t{0}, std::size_t{1}}) {
            std::string text;
            while (text.size() < Block - before) {
                text += std::string(random() % 60, static_cast<char>('a' + random() % 26));
                const unsigned end = random() % 4;
                text += end == 0 ? "\r\n" : end == 1 ? "\r" : end == 2 ? "\n" : "\r\n\r\n";
            }
            text.resize(Block - before);
            text += pattern;
            text += "tail line\r\nlast";
            test::WriteFileBytes(file, text);
            TStringList loaded;
            loaded.LoadLines(file);
            TStringList split;
            split.TextToLines(text);
            ExpectSameLines(loaded, split);
        }
    }
}

TEST(LargeFileLoad, NulEndsTheTextInALaterBlock) {
    test::TTempFolder folder;
    const std::string file = folder.File("notes.Txt");
    std::string text;
    for (int i = 0; text.size() < 3 * Block; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    for (const std::size_t nul : {2 * Block + 7, 2 * Block + 3}) {
        std::string withNul = text;
        withNul[nul] = '\0';
        test::WriteFileBytes(file, withNul);
        TStringList loaded;
        loaded.LoadLines(file);
        TStringList split;
        split.TextToLines(withNul);
        ExpectSameLines(loaded, split);
        EXPECT_LT(loaded.Count(), 3 * Block / 8);
    }
}

TEST(LargeFileLoad, ManyEmptyLinesAndOneHugeLine) {
    test::TTempFolder folder;
    const std::string file = folder.File("notes.Txt");
    // More lines than the first block promises, then a line longer than a block.
    const std::string text = std::string(Block, 'x') + "\r\n" + std::string(3 * Block, '\n') +
                             std::string(Block + 5, 'y');
    test::WriteFileBytes(file, text);
    TStringList loaded;
    loaded.LoadLines(file);
    ASSERT_EQ(loaded.Count(), 2 + 3 * Block);
    EXPECT_EQ(loaded[0].size(), Block);
    EXPECT_EQ(loaded[1], "");
    EXPECT_EQ(loaded[loaded.Count() - 1], std::string(Block + 5, 'y'));
}

struct TLineCost {
    const char* Name;
    std::string LineEnd;
    double MostBytesPerLine; // held by the list after loading
};

class LargeFileLineCost : public testing::TestWithParam<TLineCost> {};

// Four million empty lines: what the list holds for them afterwards is their
// starts, four bytes each, and no room for the line ends they were read from.
TEST_P(LargeFileLineCost, EmptyLinesCostTheirStartsAlone) {
    test::TTempFolder folder;
    const std::string file = folder.File("empty.Txt");
    constexpr std::size_t Lines = std::size_t{4} << 20;
    std::string text;
    text.reserve(Lines * GetParam().LineEnd.size());
    for (std::size_t i = 0; i < Lines; ++i) {
        text += GetParam().LineEnd;
    }
    test::WriteFileBytes(file, text);
    TStringList list;
    list.LoadLines(file);
    ASSERT_EQ(list.Count(), Lines);
    EXPECT_LE(static_cast<double>(list.Reserved()) / Lines, GetParam().MostBytesPerLine);
}

INSTANTIATE_TEST_SUITE_P(Cases, LargeFileLineCost,
                         testing::Values(TLineCost{"lf", "\n", 4.6}, TLineCost{"crlf", "\r\n", 4.6},
                                         TLineCost{"cr", "\r", 4.6}),
                         [](const testing::TestParamInfo<TLineCost>& info) {
                             return info.param.Name;
                         });

} // namespace
} // namespace virevi
