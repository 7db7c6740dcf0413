#include "document/note_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <string>
#include <vector>

#include "document/item_record.h"
#include "files/string_list.h"
#include "outline/custom_outline.h"
#include "outline/outline_node.h"
#include "support/case_name.h"

namespace virevi {
namespace {

// 表 ends in the byte of "\", ア in the byte of "A"; Ａ and ａ are full-width;
// 0x84 "A" is a Cyrillic letter, 0x82 "A" and 0x84 "a" are no characters.
#define HYO "\x95\x5C"
#define A_KATA "\x83\x41"
#define A_WIDE "\x82\x60"
#define A_WIDE_SMALL "\x82\x81"

struct TItem {
    std::int32_t Level;
    std::vector<std::string> Note;
};

// Items 1 … 7 of levels 1, 2, 2, 1, 1, 1, 2: the children of 1 and of 6 are
// collapsed. The notes lie in the pool out of outline order, with garbage
// between, as commits leave them.
const TItem Items[] = {
    {1, {"first", "x\\y"}},
    {2, {HYO "示", "ab Ab"}},
    {2,
     {A_KATA "A", "\x84"
                  "A"}},
    {1, {A_WIDE, "line one", "end"}},
    {1, {}},
    {1,
     {"stray \x82", "\x82"
                    "A"}},
    {2, {"last"}},
};
const std::size_t PoolOrder[] = {3, 1, 0, 6, 5, 4, 2};

class NoteSearchTest : public testing::Test {
protected:
    NoteSearchTest() {
        std::vector<std::int32_t> parents{0};
        for (const TItem& item : Items) {
            parents.resize(static_cast<std::size_t>(item.Level));
            parents.push_back(Outline.AppendChild(parents.back(), "item"));
        }
        Records.resize(std::size(Items));
        for (std::size_t i : PoolOrder) {
            Pool.Add("garbage");
            Records[i] = {static_cast<std::int32_t>(Pool.Count()),
                          static_cast<std::int32_t>(Items[i].Note.size())};
            for (const std::string& line : Items[i].Note) {
                Pool.Add(line);
            }
        }
        for (std::size_t i = 0; i < std::size(Items); ++i) {
            Outline.ItemAt(static_cast<std::int32_t>(i + 1))->SetData(&Records[i]);
        }
    }

    TCustomOutline Outline;
    TStringList Pool;
    std::deque<ItemRecord> Records;
};

struct TFindCase {
    const char* Name;
    const char* Text;
    bool MatchCase;
    std::int32_t FromIndex;
    TLinePlace From;
    std::int32_t Index; // 0: not found
    TLinePlace Found;
};

void PrintTo(const TFindCase& c, std::ostream* os) {
    *os << c.Name;
}

class NoteSearchFindTest : public NoteSearchTest, public testing::WithParamInterface<TFindCase> {};

TEST_P(NoteSearchFindTest, FindsTheFirstMatchInOutlineOrderFromTheCaretOnceAround) {
    const TFindCase& c = GetParam();
    const auto match =
        FindInNotes(Outline.Tree(), Pool, c.FromIndex, c.From, TSearchPattern(c.Text, c.MatchCase));
    if (c.Index == 0) {
        EXPECT_FALSE(match.has_value());
        return;
    }
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->Index, c.Index);
    EXPECT_EQ(match->Place.Line, c.Found.Line);
    EXPECT_EQ(match->Place.Column, c.Found.Column);
    EXPECT_EQ(match->Length, std::string(c.Text).size());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, NoteSearchFindTest, testing::Values(
    TFindCase{"at the caret",                     "first", true,  1, {0, 0}, 1, {0, 0}},
    TFindCase{"after the caret in its line",      "e",     true,  4, {1, 0}, 4, {1, 3}},
    TFindCase{"caret past its note",              "la",    true,  4, {3, 0}, 7, {0, 0}},
    TFindCase{"into a collapsed child",           "Ab",    true,  1, {0, 1}, 2, {1, 3}},
    TFindCase{"backslash skips the half of hyo",  "\\",    true,  1, {1, 2}, 1, {1, 1}},
    TFindCase{"hyo itself",                       HYO,     true,  1, {1, 2}, 2, {0, 0}},
    TFindCase{"A skips the half of katakana a",   "A",     true,  3, {0, 0}, 3, {0, 2}},
    TFindCase{"letters fold without the box",     "a",     false, 2, {1, 1}, 2, {1, 3}},
    TFindCase{"letters keep case with the box",   "a",     true,  2, {1, 1}, 6, {0, 3}},
    TFindCase{"a folded never meets katakana a",  "a",     false, 3, {0, 0}, 3, {0, 2}},
    TFindCase{"full-width letters do not fold",   A_WIDE_SMALL, false, 1, {0, 0}, 0, {}},
    TFindCase{"full-width letter itself",         A_WIDE,  false, 1, {0, 0}, 4, {0, 0}},
    TFindCase{"no match across a line break",     "oneend", false, 1, {0, 0}, 0, {}},
    TFindCase{"stray lead at the line end",       "\x82",  true,  4, {0, 0}, 6, {0, 6}},
    TFindCase{"stray lead before a letter",       "\x82",  true,  6, {0, 7}, 6, {1, 0}},
    TFindCase{"stray lead is no first half",      "\x84" "a", false, 1, {0, 0}, 0, {}},
    TFindCase{"wraps to item 1",                  "x",     true,  7, {0, 0}, 1, {1, 0}},
    TFindCase{"a match at the caret counts",      "y",     true,  1, {1, 2}, 1, {1, 2}},
    TFindCase{"wraps into its own note",          "ne",    true,  4, {1, 7}, 4, {1, 2}},
    TFindCase{"ends where it began",              "garbage", true, 3, {0, 1}, 0, {}},
    TFindCase{"nothing for an empty text",        "",      true,  1, {0, 0}, 0, {}}),
    test::TCaseName());
// clang-format on

TEST_F(NoteSearchTest, NotesReachingOutsideThePoolAreEmptyAndEmptyOutlinesHoldNothing) {
    Records[0] = {static_cast<std::int32_t>(Pool.Count()) - 1, 2};
    Records[1] = {-1, 3};
    Outline.ItemAt(3)->SetData(nullptr);
    const TSearchPattern last("last", true);
    const auto match = FindInNotes(Outline.Tree(), Pool, 1, {}, last);
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->Index, 7);
    EXPECT_FALSE(FindInNotes(Outline.Tree(), Pool, 1, {}, TSearchPattern("x\\y", true)));
    TCustomOutline empty;
    EXPECT_FALSE(FindInNotes(empty.Tree(), Pool, 1, {}, last));
}

// Past the items searched one by one, the pool is read whole first; what it
// says must come out the same whether it holds no match in any note, a few
// lines with matches or very many (garbage lines counting as well).
TEST(NoteSearchFarTest, FarMatchesAreFoundTheSameWhateverThePoolHolds) {
    constexpr std::int32_t Total = 70000;
    TCustomOutline outline;
    for (std::int32_t i = 0; i < Total; ++i) {
        outline.AddSibling(0, "item");
    }
    struct TPoolCase {
        const char* Name;
        std::size_t GarbageMatches;
        std::int32_t Holder; // the item whose note holds the word; 0: none
        std::int32_t Start;
    };
    const TPoolCase cases[] = {
        {"only garbage", 10, 0, 1},
        {"a few", 10, 69000, 1},
        {"very many", 70000, 69000, 1},
        {"round to before the start", 10, 10, 20},
        {"round with very many", 70000, 10, 20},
    };
    for (const TPoolCase& c : cases) {
        TStringList pool;
        for (std::size_t k = 0; k < c.GarbageMatches; ++k) {
            pool.Add("old word");
        }
        std::vector<ItemRecord> records(Total);
        for (std::int32_t i = 1; i <= Total; ++i) {
            records[static_cast<std::size_t>(i - 1)] = {static_cast<std::int32_t>(pool.Count()), 2};
            pool.Add("note");
            pool.Add(i == c.Holder ? "a word" : "none");
            outline.ItemAt(i)->SetData(&records[static_cast<std::size_t>(i - 1)]);
        }
        const auto match =
            FindInNotes(outline.Tree(), pool, c.Start, {}, TSearchPattern("word", true));
        if (c.Holder == 0) {
            EXPECT_FALSE(match.has_value()) << c.Name;
            continue;
        }
        ASSERT_TRUE(match.has_value()) << c.Name;
        EXPECT_EQ(match->Index, c.Holder) << c.Name;
        EXPECT_EQ(match->Place, (TLinePlace{1, 2})) << c.Name;
    }
}

struct TOffsetCase {
    std::size_t Offset;
    TLinePlace Place;
    std::size_t Back; // the offset of the place
};

TEST(NoteSearchOffsetTest, EditorOffsetsCountCharactersAndLineBreaksAsTwo) {
    TStringList pool;
    pool.Add("other");
    for (const char* line : {HYO "a", "", "bc"}) {
        pool.Add(line);
    }
    const TOffsetCase cases[] = {
        {0, {0, 0}, 0}, {1, {0, 2}, 1}, {2, {0, 3}, 2}, {3, {0, 3}, 2}, {4, {1, 0}, 4},
        {5, {1, 0}, 4}, {6, {2, 0}, 6}, {8, {2, 2}, 8}, {9, {2, 2}, 8}, {10, {3, 0}, 0},
    };
    for (const TOffsetCase& c : cases) {
        const TLinePlace place = NotePlaceOf(pool, 1, 3, c.Offset);
        EXPECT_EQ(place, c.Place) << c.Offset;
        if (place.Line < 3) {
            EXPECT_EQ(NoteOffsetOf(pool, 1, place), c.Back) << c.Offset;
        }
    }
}

} // namespace
} // namespace virevi
