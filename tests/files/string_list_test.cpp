#include "files/string_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/allocation.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::ReadFileBytes;
using test::TTempFolder;
using test::WriteFileBytes;

std::vector<std::string> LinesOf(const TStringList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.emplace_back(list[i]);
    }
    return lines;
}

TStringList ListOf(const std::vector<std::string>& lines) {
    TStringList list;
    for (const auto& line : lines) {
        list.Add(line);
    }
    return list;
}

struct TSplitCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
};

class TextToLinesTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(TextToLinesTest, SplitsAtEveryLineEnd) {
    TStringList list = ListOf({"stale"});
    list.TextToLines(GetParam().Text);
    EXPECT_EQ(LinesOf(list), GetParam().Lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    LineRules, TextToLinesTest,
    testing::Values(
        TSplitCase{"CrLf", "a\r\nb", {"a", "b"}}, TSplitCase{"LfAlone", "a\nb", {"a", "b"}},
        TSplitCase{"CrAlone", "a\rb", {"a", "b"}}, TSplitCase{"LfThenCr", "a\n\rb", {"a", "", "b"}},
        TSplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
        TSplitCase{"FinalLineEnd", "a\r\n", {"a"}},
        TSplitCase{"FinalEmptyLine", "a\r\n\r\n", {"a", ""}},
        TSplitCase{"NoFinalLineEnd", "abc", {"abc"}},
        TSplitCase{"NulEndsText", "ab\0cd\r\nef"s, {"ab"}}, TSplitCase{"OnlyCrLf", "\r\n", {""}},
        TSplitCase{"NulFirst", "\0abc"s, {}}, TSplitCase{"Empty", "", {}},
        TSplitCase{"NulAfterLineEnd", "a\r\n\0b"s, {"a"}},
        TSplitCase{"Utf16LoadsUpToFirstNul", "a\0b\0"s, {"a"}},
        TSplitCase{"ShiftJisKeptAsBytes", "\x83\x5C\x82\xA0\r\n", {"\x83\x5C\x82\xA0"}}),
    [](const testing::TestParamInfo<TSplitCase>& info) { return std::string(info.param.Name); });

TEST(LinesToTextTest, EveryLineEndsInCrLf) {
    EXPECT_EQ(ListOf({}).LinesToText(), "");
    EXPECT_EQ(ListOf({""}).LinesToText(), "\r\n");
    EXPECT_EQ(ListOf({"x", ""}).LinesToText(), "x\r\n\r\n");
    EXPECT_EQ(ListOf({"ab", "", "c"}).LinesToText(), "ab\r\n\r\nc\r\n");
}

class StringListFileTest : public testing::Test {
protected:
    TTempFolder Folder;
};

TEST_F(StringListFileTest, SavesExactTextFormAndLoadsItBack) {
    const std::string path = Folder.File("x.Txt");
    ListOf({"x", ""}).SaveLines(path);
    EXPECT_EQ(ReadFileBytes(path), "x\r\n\r\n");
    TStringList loaded;
    loaded.LoadLines(path);
    EXPECT_EQ(LinesOf(loaded), (std::vector<std::string>{"x", ""}));
}

TEST_F(StringListFileTest, EmptyListMakesEmptyFileAndBack) {
    const std::string path = Folder.File("empty.Txt");
    WriteFileBytes(path, "old content that is longer");
    ListOf({}).SaveLines(path);
    EXPECT_EQ(ReadFileBytes(path), "");
    TStringList loaded = ListOf({"previous"});
    loaded.LoadLines(path);
    EXPECT_TRUE(loaded.Empty());
}

TEST_F(StringListFileTest, SavingTruncatesALongerFile) {
    const std::string path = Folder.File("long.Txt");
    WriteFileBytes(path, std::string(1000, 'z'));
    ListOf({"ab"}).SaveLines(path);
    EXPECT_EQ(ReadFileBytes(path), "ab\r\n");
}

TEST_F(StringListFileTest, LoadsEveryLineEndStyleAlike) {
    for (const std::string text : {"a\r\nb\r\n\r\nc", "a\nb\n\nc\n", "a\rb\r\rc\r"}) {
        const std::string path = Folder.File("ends.Txt");
        WriteFileBytes(path, text);
        TStringList list;
        list.LoadLines(path);
        EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b", "", "c"})) << text;
    }
}

TEST_F(StringListFileTest, MissingFileNamesTheFileAndKeepsTheList) {
    const std::string path = Folder.File("absent.Txt");
    TStringList list = ListOf({"keep"});
    try {
        list.LoadLines(path);
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "ファイル " + path + " は開けません");
    }
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"keep"}));
}

TEST_F(StringListFileTest, MissingFolderNamesThePath) {
    const std::string path = Folder.File("no/such/folder/plan.Txt");
    try {
        ListOf({"a"}).SaveLines(path);
        FAIL() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.Message(), "ファイル " + path + " を作成できません");
    }
}

TEST_F(StringListFileTest, FolderIsNotAFileToLoad) {
    TStringList list = ListOf({"keep"});
    EXPECT_THROW(list.LoadLines(Folder.Path()), EFOpenError);
    EXPECT_EQ(list.Count(), 1u);
}

TEST_F(StringListFileTest, OnlyRegularFilesLoad) {
    // Each is something Add text could be pointed at: none has lines to
    // give, and a FIFO without a writer would keep the load waiting for ever.
    const std::string fifo = Folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string linkToFifo = Folder.File("link");
    ::symlink(fifo.c_str(), linkToFifo.c_str());
    for (const std::string& path :
         {fifo, linkToFifo, std::string("/dev/zero"), std::string("/dev/urandom"),
          std::string("/dev/null"), std::string("/proc/self/status")}) {
        TStringList list = ListOf({"keep"});
        try {
            list.LoadLines(path);
            ADD_FAILURE() << path << " loaded";
        } catch (const EFOpenError& error) {
            EXPECT_EQ(error.Message(), "ファイル " + path + " は開けません");
        }
        EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"keep"})) << path;
    }
}

TEST_F(StringListFileTest, ReadOnlyFileCannotBeSavedOver) {
    const std::string path = Folder.File("ro.Txt");
    WriteFileBytes(path, "old\r\n");
    ::chmod(path.c_str(), 0444);
    test::OpenToOthers(Folder.Path());
    bool refused = false;
    test::RunWithPermissionChecks([&] {
        try {
            ListOf({"new"}).SaveLines(path);
        } catch (const EFCreateError&) {
            refused = true;
        }
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(ReadFileBytes(path), "old\r\n");
}

struct TTextFileCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Lines;
    std::size_t Replaced;
};

class LoadTextLinesTest : public testing::TestWithParam<TTextFileCase> {
protected:
    TTempFolder Folder;
};

// The line rules of LoadLines hold for the converted text: a line end is
// a character, never a byte inside one.
TEST_P(LoadTextLinesTest, ConvertsThenSplitsByTheLineRules) {
    const std::string path = Folder.File("added.txt");
    WriteFileBytes(path, GetParam().Bytes);
    TStringList list = ListOf({"stale"});
    EXPECT_EQ(list.LoadTextLines(path), GetParam().Replaced);
    EXPECT_EQ(LinesOf(list), GetParam().Lines);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Encodings, LoadTextLinesTest, testing::Values(
    TTextFileCase{"Utf16LineEnds", "\xFF\xFE" "a\0\r\0\n\0b\0\r\0c\0\n\0\n\0\x0A\x30"s,
                  {"a", "b", "c", "", "\x81\x73"}, 0},
    TTextFileCase{"Utf16NulEndsText", "\xFF\xFE" "A\0\0\0B\0"s, {"A"}, 0},
    TTextFileCase{"Utf8MarkAndCr", "\xEF\xBB\xBF\xE6\x97\xA5\rx\xF0\x9F\x98\x80", {"\x93\xFA", "x?"}, 1},
    TTextFileCase{"ShiftJisAsBytes", "\x93\xFA\r\n\x82\xA0", {"\x93\xFA", "\x82\xA0"}, 0},
    TTextFileCase{"Empty", "", {}, 0}),
    [](const testing::TestParamInfo<TTextFileCase>& info) { return std::string(info.param.Name); });
// clang-format on

TEST_F(StringListFileTest, LinesWithoutLineEndBytesRoundTrip) {
    std::vector<std::string> lines{"", "first", "", "", "\x82\xA0\x82\xA2", "\x1A", "last", ""};
    const std::string path = Folder.File("round.Txt");
    ListOf(lines).SaveLines(path);
    TStringList loaded;
    loaded.LoadLines(path);
    EXPECT_EQ(LinesOf(loaded), lines);
}

// The text form goes out a megabyte at a time: lines that end a piece
// exactly, miss it by a byte, or are longer than a piece come out whole.
TEST_F(StringListFileTest, LinesAroundThePieceSizeAreSavedWhole) {
    constexpr std::size_t Piece = 1 << 20;
    std::vector<std::string> lines;
    for (const std::size_t length : {Piece - 2, Piece - 1, Piece, Piece + 5, std::size_t{0},
                                     Piece / 2, Piece / 2 - 3, std::size_t{1}, 2 * Piece + 1}) {
        lines.push_back(std::string(length, static_cast<char>('a' + lines.size())));
    }
    for (int k = 0; k < 100000; ++k) {
        lines.push_back(std::to_string(k));
    }
    const TStringList list = ListOf(lines);
    const std::string path = Folder.File("long.Txt");
    list.SaveLines(path);
    EXPECT_TRUE(ReadFileBytes(path) == list.LinesToText());
}

TEST(StringListTest, CheckedIndexNamesTheIndex) {
    TStringList list = ListOf({"a", "b"});
    EXPECT_EQ(list.Strings(1), "b");
    try {
        (void)list.Strings(2);
        FAIL() << "no error";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (2)");
    }
    EXPECT_THROW((void)list.Strings(-1), EStringListError);
}

TEST(StringListTest, RearrangeKeepsTheFrontAndAppendsRunsOfItsOwnLines) {
    TStringList list = ListOf({"ab", "", "cde", "f", "gh"});
    list.Rearrange(1, {{3, 2}, {0, 1}, {2, 1}});
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"ab", "f", "gh", "ab", "cde"}));
    list.Rearrange(2, {});
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"ab", "f"}));
    list.Add("i");
    EXPECT_EQ(list.LinesToText(), "ab\r\nf\r\ni\r\n");
    // Overlapping and repeated runs outgrow the list.
    list.Rearrange(3, {{0, 3}, {1, 2}, {1, 2}});
    EXPECT_EQ(LinesOf(list),
              (std::vector<std::string>{"ab", "f", "i", "ab", "f", "i", "f", "i", "f", "i"}));
    list.Rearrange(0, {});
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.LinesToText(), "");
}

TEST(StringListTest, RearrangeOutsideTheListRaisesAndChangesNothing) {
    TStringList list = ListOf({"a", "b", "c"});
    EXPECT_THROW(list.Rearrange(4, {}), EStringListError);
    EXPECT_THROW(list.Rearrange(0, {{1, 1}, {2, 2}}), EStringListError);
    EXPECT_THROW(list.Rearrange(0, {{3, 1}}), EStringListError);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b", "c"}));
    list.Rearrange(3, {{7, 0}});
    EXPECT_EQ(list.Count(), 3u);
}

// Runs that move towards the front and the back, runs out of order that
// must be copied aside, repeats and empty lines, against the plain copy.
TEST(StringListTest, RearrangeMatchesCopyingEveryRunInTurn) {
    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> lines;
        for (std::size_t k = random() % 14; k > 0; --k) {
            lines.push_back(std::string(random() % 5, static_cast<char>('a' + lines.size())));
        }
        TStringList list = ListOf(lines);
        const std::size_t keep = lines.empty() ? 0 : random() % (lines.size() + 1);
        std::vector<TLineRun> runs;
        std::vector<std::string> expected(lines.begin(),
                                          lines.begin() + static_cast<std::ptrdiff_t>(keep));
        std::size_t next = keep; // runs in order are the common case
        for (std::size_t r = random() % 6; r > 0 && !lines.empty(); --r) {
            TLineRun run;
            run.First = random() % 3 == 0 ? random() % lines.size() : next % lines.size();
            run.Count = random() % (lines.size() - run.First + 1);
            next = run.First + run.Count + random() % 2;
            runs.push_back(run);
            expected.insert(expected.end(), lines.begin() + static_cast<std::ptrdiff_t>(run.First),
                            lines.begin() + static_cast<std::ptrdiff_t>(run.First + run.Count));
        }
        list.Rearrange(keep, runs);
        ASSERT_EQ(LinesOf(list), expected) << "round " << round;
        std::string text;
        for (const std::string& line : expected) {
            text += line + "\r\n";
        }
        ASSERT_EQ(list.LinesToText(), text) << "round " << round;
    }
}

TEST(StringListTest, AddRangeStopsAtTheFirstIndexOutside) {
    const TStringList source = ListOf({"a", "b", "c"});
    TStringList target = ListOf({"x"});
    target.AddRange(source, 1, 2);
    EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"x", "b", "c"}));
    try {
        target.AddRange(source, 2, 3);
        FAIL() << "no error";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (3)");
    }
    EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"x", "b", "c", "c"}));
    EXPECT_THROW(target.AddRange(source, 7, 1), EStringListError);
    EXPECT_EQ(target.Count(), 4u);
}

struct TListOperation {
    const char* Name;
    std::function<void(TStringList& list, const std::string& file)> Run;
};

class StringListAllocationFailureTest : public testing::TestWithParam<TListOperation> {
protected:
    void TearDown() override { SetAllocationHook({}); }
    TTempFolder Folder;
};

// Three lines fill the first room for line starts, so the next line added
// must grow both the bytes and the starts; failing either must take nothing
// in, or the next line added would carry the stray bytes.
TEST_P(StringListAllocationFailureTest, EachFailureLeavesTheListAsItWas) {
    const std::string file = Folder.File("lines.txt");
    WriteFileBytes(file, "from\r\nthe file\r\n" + std::string(5000, 'f'));
    int failures = 0;
    for (int failAt = 1;; ++failAt) {
        TStringList list;
        list.Add("one");
        list.Add("two");
        list.Add("three");
        const std::vector<std::string> before = LinesOf(list);
        int seen = 0;
        SetAllocationHook([&](std::size_t) { return ++seen == failAt; });
        bool failed = false;
        try {
            GetParam().Run(list, file);
        } catch (const std::bad_alloc&) {
            failed = true;
        } catch (const EOutOfMemory&) {
            failed = true;
        }
        SetAllocationHook({});
        if (!failed) {
            break;
        }
        ++failures;
        EXPECT_EQ(LinesOf(list), before) << "allocation " << failAt;
        list.Add("next");
        EXPECT_EQ(list.LinesToText(), "one\r\ntwo\r\nthree\r\nnext\r\n") << "allocation " << failAt;
    }
    EXPECT_GE(failures, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, StringListAllocationFailureTest,
    testing::Values(
        TListOperation{
            "add", [](TStringList& list, const std::string&) { list.Add(std::string(4000, 'x')); }},
        TListOperation{"add_range",
                       [](TStringList& list, const std::string&) {
                           TStringList source = ListOf({"a", std::string(4000, 'b'), "c"});
                           list.AddRange(source, 0, 3);
                       }},
        TListOperation{"rearrange",
                       [](TStringList& list, const std::string&) {
                           list.Rearrange(1, {{2, 1}, {0, 3}, {1, 2}});
                       }},
        TListOperation{"text_to_lines",
                       [](TStringList& list, const std::string&) {
                           list.TextToLines("a\r\nb\r\n" + std::string(4000, 'c'));
                       }},
        TListOperation{"load_lines",
                       [](TStringList& list, const std::string& file) { list.LoadLines(file); }},
        TListOperation{
            "load_text_lines",
            [](TStringList& list, const std::string& file) { list.LoadTextLines(file); }}),
    [](const testing::TestParamInfo<TListOperation>& info) { return info.param.Name; });

TEST(StringListTest, UpdatesNotifyOnceAroundALoad) {
    TStringList list = ListOf({"a"});
    std::vector<std::string> events;
    list.OnChanging = [&] { events.push_back("changing"); };
    list.OnChange = [&] { events.push_back("change"); };
    list.TextToLines("x\r\ny\r\nz");
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
    events.clear();
    list.BeginUpdate();
    list.Add("1");
    list.Clear();
    list.BeginUpdate();
    list.Add("2");
    list.EndUpdate();
    EXPECT_EQ(events, (std::vector<std::string>{"changing"}));
    list.EndUpdate();
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
    events.clear();
    list.Add("3");
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
}

} // namespace
} // namespace virevi
