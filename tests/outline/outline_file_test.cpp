#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "outline/custom_outline.h"
#include "outline/outline_test_support.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::Build;
using test::Shape;

class OutlineFileTest : public testing::Test {
protected:
    std::string Save() {
        Outline.SaveOutline(File);
        std::ifstream in(File, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    /// Loads `bytes`; the error message, or "none".
    std::string Load(const std::string& bytes) {
        std::ofstream(File, std::ios::binary) << bytes;
        try {
            Outline.LoadOutline(File);
            return "none";
        } catch (const Exception& error) {
            return error.Message();
        }
    }

    test::TTempFolder Folder;
    std::string File = Folder.File("outline.Trr");
    TCustomOutline Outline;
};

TEST_F(OutlineFileTest, WritesTabsAndCrLfAndReadsBack) {
    Build(Outline, "1A 2B 3K 1D");
    Outline.ItemAt(1)->SetExpanded(true);
    EXPECT_EQ(Save(), "A\r\n\tB\r\n\t\tK\r\nD\r\n");
    EXPECT_EQ(Load("A\r\n\tB\r\n\t\tK\r\nD\r\n"), "none");
    EXPECT_EQ(Shape(Outline), "1A 2B 3K 1D");
    EXPECT_FALSE(Outline.ItemAt(1)->Expanded());
    EXPECT_EQ(Outline.SelectedIndex(), 1);
    EXPECT_EQ(Outline.RowCount(), 2);
}

TEST_F(OutlineFileTest, EmptyOutlineAndEmptyFile) {
    EXPECT_EQ(Save(), "");
    Build(Outline, "1x");
    EXPECT_EQ(Load(""), "none");
    EXPECT_EQ(Outline.TotalItems(), 0);
    EXPECT_EQ(Outline.SelectedIndex(), 0);
}

struct TReadCase {
    const char* Name;
    std::string Bytes;
    const char* Error;
    std::string Shape;
};

class OutlineReadTest : public OutlineFileTest, public testing::WithParamInterface<TReadCase> {};

TEST_P(OutlineReadTest, ReadsLines) {
    EXPECT_EQ(Load(GetParam().Bytes), GetParam().Error);
    EXPECT_EQ(Shape(Outline), GetParam().Shape);
    EXPECT_EQ(Outline.SelectedIndex(), Outline.TotalItems() > 0 ? 1 : 0);
}

const std::string Long4094(4094, 'a');
const std::string Long4095(4095, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, OutlineReadTest,
    testing::Values(
        TReadCase{"TwoStepsDeeperFails", "A\r\n\t\t\tB\r\n", msg::SOutlineFileLoad, "1A"},
        TReadCase{"FirstLineOneDeepThenSame", "\tA\r\n\tB\r\n", "none", "1A 1B"},
        TReadCase{"FirstLineOneDeepThenTopFails", "\tA\r\nB\r\n", msg::SOutlineFileLoad, "1A"},
        TReadCase{"SpacesCountAsIndentation", "x\r\n\t abc\r\n", msg::SOutlineFileLoad, "1x"},
        TReadCase{"OneSpaceIsOneStep", "x\r\n \r\n", "none", "1x 2"},
        TReadCase{"CrAloneEndsLine", "a\rb\r\n", "none", "1a 1b"},
        TReadCase{"LfAloneStaysInCaption", "a\nb\r\n", "none", "1a\nb"},
        TReadCase{"EndOfTextEndsReading",
                  "a\x1A"
                  "b\r\nc\r\n",
                  "none", "1a"},
        TReadCase{"MissingLastLineEnd", "a\r\nb", "none", "1a 1b"},
        TReadCase{"LineOf4094BytesThenMore", Long4094 + "\r\nb\r\nc", "none",
                  "1" + Long4094 + " 1b 1c"},
        TReadCase{"LineOf4095BytesThenMoreFails", Long4095 + "\r\nb\r\n", msg::SOutlineLongLine,
                  ""},
        TReadCase{"LineOf4095BytesAloneIsRead", Long4095, "none", "1" + Long4095},
        TReadCase{"LfOnlyLongFileFails", std::string(4096, '\n'), msg::SOutlineLongLine, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(OutlineFileTest, LfOnlyFileIsOneItem) {
    EXPECT_EQ(Load("\ta\nb\n"), "none");
    EXPECT_EQ(Outline.TotalItems(), 1);
    EXPECT_EQ(Outline.ItemAt(1)->Text(), "a\nb\n");
}

TEST_F(OutlineFileTest, MissingFileLeavesTreeAlone) {
    Build(Outline, "1a");
    EXPECT_THROW(Outline.LoadOutline(Folder.File("missing.Trr")), EFOpenError);
    EXPECT_EQ(Outline.TotalItems(), 1);
}

TEST_F(OutlineFileTest, WriterStoresCaptionsInTheirStorableForm) {
    Outline.AddSibling(0, " ");
    Outline.AppendChild(1, "\t lead");
    Outline.AppendChild(2, "a\rb\x1A"
                           "c\nd");
    EXPECT_EQ(Save(), "\r\n\tlead\r\n\t\tabc\nd\r\n");
    EXPECT_EQ(Load(Save()), "none");
    EXPECT_EQ(Shape(Outline), "1 2lead 3abc\nd");
}

TEST_F(OutlineFileTest, WriterCutsLongCaptionsAtWholeCharacters) {
    // 4093 single bytes, then a double-byte character that no longer fits.
    Outline.AddSibling(0, "x");
    Outline.AppendChild(1, std::string(4092, 'a') + "\x82\xA0"
                                                    "b");
    EXPECT_EQ(Save(), "x\r\n\t" + std::string(4092, 'a') + "\r\n");
}

TEST_F(OutlineFileTest, LineAfterEmptyLineStillLoads) {
    Outline.AddSibling(0, "");
    Outline.AddSibling(0, std::string(5000, 'a'));
    Outline.AddSibling(0, "z");
    EXPECT_EQ(Load(Save()), "none");
    EXPECT_EQ(Outline.TotalItems(), 3);
    EXPECT_EQ(Outline.ItemAt(2)->Text(), std::string(4092, 'a'));
}

TEST_F(OutlineFileTest, TooDeepForAFileIsRefusedBeforeWriting) {
    // 4094 tabs with CR LF fill the window; 4095 tabs fit only as the last line.
    std::string bytes;
    for (std::size_t depth = 0; depth < 4094; ++depth) {
        bytes += std::string(depth, '\t') + "a\r\n";
    }
    bytes += std::string(4094, '\t') + "\r\n" + std::string(4095, '\t');
    ASSERT_EQ(Load(bytes), "none");
    ASSERT_EQ(Outline.TotalItems(), 4096);
    std::ofstream(File, std::ios::binary) << "old";
    EXPECT_EQ(
        [&] {
            try {
                Outline.SaveOutline(File);
                return std::string("none");
            } catch (const EOutlineError& error) {
                return error.Message();
            }
        }(),
        msg::SOutlineMaxLevels);
    std::ifstream in(File, std::ios::binary);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "old");
}

TEST_F(OutlineFileTest, DeepestFileLoadsSavesExpandsCollapsesAndClears) {
    // The window caps a line's indentation, so a file nests about 4096 levels at most.
    std::string bytes;
    for (std::size_t depth = 0; depth < 4094; ++depth) {
        bytes += std::string(depth, '\t') + "x\r\n";
    }
    ASSERT_EQ(Load(bytes), "none");
    ASSERT_EQ(Outline.TotalItems(), 4094);
    EXPECT_EQ(Outline.ItemAt(4094)->Level(), 4094);
    EXPECT_EQ(Save(), bytes);
    Outline.ExpandAll();
    EXPECT_EQ(Outline.RowCount(), 4094);
    EXPECT_EQ(Outline.ItemOnRow(4093)->Index(), 4094);
    Outline.ItemAt(1)->SetExpanded(false);
    EXPECT_EQ(Outline.RowCount(), 1);
    Outline.ClearItems();
    EXPECT_EQ(Outline.TotalItems(), 0);
}

TEST_F(OutlineFileTest, RandomTreesRoundTripThroughTheStorableForm) {
    std::mt19937 random(7);
    const std::string alphabet = std::string("ab \t\r\n\x1A\x82\xA0\xFF", 11);
    for (int round = 0; round < 40; ++round) {
        Outline.ClearItems();
        std::vector<std::string> expected;
        std::int32_t last = 0;
        for (int i = 0; i < 30; ++i) {
            std::string caption;
            const int length = random() % 9 == 0 ? 5000 : static_cast<int>(random() % 12);
            for (int k = 0; k < length; ++k) {
                caption += alphabet[random() % alphabet.size()];
            }
            const bool child = last != 0 && random() % 2 == 0;
            last = child ? Outline.AppendChild(last, caption) : Outline.AddSibling(0, caption);
        }
        std::vector<std::int32_t> levels;
        for (std::int32_t i = 1; i <= Outline.TotalItems(); ++i) {
            levels.push_back(Outline.ItemAt(i)->Level());
        }
        const std::string saved = Save();
        ASSERT_EQ(Load(saved), "none") << round;
        ASSERT_EQ(Outline.TotalItems(), static_cast<std::int32_t>(levels.size()));
        for (std::int32_t i = 1; i <= Outline.TotalItems(); ++i) {
            TOutlineNode* node = Outline.ItemAt(i);
            ASSERT_EQ(node->Level(), levels[static_cast<std::size_t>(i) - 1]);
            const std::string_view text = node->Text();
            ASSERT_TRUE(text.empty() || (text[0] != ' ' && text[0] != '\t'));
            ASSERT_EQ(text.find_first_of("\r\x1A"), std::string_view::npos);
        }
        ASSERT_EQ(Save(), saved) << "a second save must give the same bytes";
    }
}

} // namespace
} // namespace virevi

namespace virevi {
namespace {

// The reader as it stands on its own: one 4096-byte window refilled after
// each last whole line. The outline's reader must place every line as this
// one does, whatever block sizes it reads in.
struct TReadResult {
    std::vector<std::pair<std::int32_t, std::string>> Items; // level and caption
    std::string Error = "none";
    bool operator==(const TReadResult&) const = default;
};

TReadResult ReadWindowByWindow(const std::string& bytes) {
    constexpr std::size_t Window = 4096;
    TReadResult result;
    std::vector<char> window(Window);
    std::size_t offset = 0;
    std::size_t dataEnd = Window;
    std::size_t previousDepth = 0;
    std::int32_t currentLevel = 0;
    try {
        for (;;) {
            const std::size_t carried = Window - dataEnd;
            std::memmove(window.data(), window.data() + dataEnd, carried);
            const std::size_t wanted = Window - carried;
            const std::size_t got = std::min(wanted, bytes.size() - offset);
            std::memcpy(window.data() + carried, bytes.data() + offset, got);
            offset += got;
            if (got < wanted) {
                dataEnd = carried + got;
                window[dataEnd] = 0x1A;
            } else {
                std::size_t cr = Window - 2;
                while (cr > 0 && window[cr] != '\r') {
                    --cr;
                }
                if (cr == 0) {
                    throw EOutlineError(msg::SOutlineLongLine);
                }
                dataEnd = cr + 1 + (window[cr + 1] == '\n' ? 1 : 0);
            }
            std::size_t cursor = 0;
            while (cursor < dataEnd && window[cursor] != 0x1A) {
                std::size_t depth = 0;
                for (; window[cursor] == '\t' || window[cursor] == ' '; ++cursor) {
                    ++depth;
                }
                const std::size_t start = cursor;
                while (window[cursor] != '\r' && window[cursor] != 0x1A) {
                    ++cursor;
                }
                std::string caption(window.data() + start, cursor - start);
                if (window[cursor] == '\r' && window[++cursor] == '\n') {
                    ++cursor;
                }
                std::int32_t parentLevel = currentLevel;
                if (depth > previousDepth || currentLevel == 0) {
                    if (depth - previousDepth > 1) {
                        throw EOutlineError(msg::SOutlineFileLoad);
                    }
                } else {
                    const auto up = static_cast<std::int32_t>(previousDepth - depth + 1);
                    if (up > parentLevel) {
                        throw EOutlineError(msg::SOutlineFileLoad);
                    }
                    parentLevel -= up;
                }
                currentLevel = parentLevel + 1;
                result.Items.emplace_back(currentLevel, std::move(caption));
                previousDepth = depth;
            }
            if (cursor < dataEnd || (dataEnd < Window && window[dataEnd] == 0x1A)) {
                break;
            }
        }
    } catch (const EOutlineError& error) {
        result.Error = error.Message();
    }
    return result;
}

TReadResult ReadByOutline(TCustomOutline& outline, const std::string& bytes) {
    TReadResult result;
    std::size_t offset = 0;
    try {
        outline.LoadOutlineFrom([&](char* buffer, std::size_t count) {
            const std::size_t step = std::min(count, bytes.size() - offset);
            std::memcpy(buffer, bytes.data() + offset, step);
            offset += step;
            return step;
        });
    } catch (const EOutlineError& error) {
        result.Error = error.Message();
    }
    for (std::int32_t i = 1; i <= outline.TotalItems(); ++i) {
        const TOutlineNode* item = outline.ItemAt(i);
        result.Items.emplace_back(item->Level(), std::string(item->Text()));
    }
    return result;
}

/// Megabytes of lines that mostly load, with the bytes the reader cares
/// about (blanks, CR, LF, 0x1A, lines near the window) now and then.
std::string RandomOutlineText(std::mt19937& random, std::size_t size, bool faulty) {
    std::string bytes;
    std::size_t depth = 0;
    const auto chance = [&](unsigned percent) { return random() % 1000 < percent; };
    while (bytes.size() < size) {
        if (bytes.empty()) {
            depth = 0;
        } else if (chance(500) && depth > 0) {
            depth -= 1 + random() % depth;
        } else if (chance(450)) {
            ++depth;
        }
        if (faulty && chance(2)) {
            depth += 2; // a jump the reader refuses
        }
        depth = std::min<std::size_t>(depth, 60);
        std::string line(depth, chance(100) ? ' ' : '\t');
        const std::size_t longLine = faulty ? 4000 + random() % 200 : 3900 + random() % 130;
        const std::size_t length = chance(5) ? longLine : random() % 40;
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned kind = random() % 1000;
            // A CR in a caption ends the line there; the rest is a line at depth 0.
            line.push_back(kind < 3             ? '\n'
                           : kind < 6 && faulty ? '\r'
                                                : static_cast<char>('A' + random() % 60));
        }
        if (faulty && chance(1)) {
            line.push_back(0x1A);
        }
        bytes += line;
        bytes += chance(10) ? "\r" : "\r\n";
    }
    return bytes;
}

TEST(OutlineReader, PlacesEveryLineAsTheWindowReaderDoesAcrossBlocks) {
    std::mt19937 random(4096);
    int completed = 0;
    for (int round = 0; round < 24; ++round) {
        const std::string bytes =
            RandomOutlineText(random, 512 * 1024 + random() % (3 << 20), round % 2 == 1);
        TCustomOutline outline;
        const TReadResult expected = ReadWindowByWindow(bytes);
        const TReadResult actual = ReadByOutline(outline, bytes);
        ASSERT_EQ(actual.Error, expected.Error) << round;
        ASSERT_EQ(actual.Items.size(), expected.Items.size()) << round;
        ASSERT_TRUE(actual == expected) << round;
        completed += expected.Error == "none" && expected.Items.size() > 10000 ? 1 : 0;
    }
    // Not every file stops early: the long ones are read through.
    EXPECT_GT(completed, 0);
}

TEST(OutlineReader, LoadedTreeKeepsItsCountsThroughEdits) {
    // Positions, rows and sizes made by the reader must be what edits expect.
    TCustomOutline outline;
    ReadByOutline(outline, "A\r\n\tB\r\n\t\tC\r\n\tD\r\nE\r\n\tF\r\n");
    EXPECT_EQ(test::Shape(outline), "1A 2B 3C 2D 1E 2F");
    EXPECT_EQ(test::Rows(outline), "A E");
    outline.ItemAt(1)->SetExpanded(true);
    EXPECT_EQ(test::Rows(outline), "A B D E");
    EXPECT_EQ(outline.ItemAt(1)->LastIndexInSubtree(), 4);
    outline.InsertBefore(3, "N");
    EXPECT_EQ(test::Shape(outline), "1A 2B 3N 3C 2D 1E 2F");
    outline.DeleteItem(2);
    EXPECT_EQ(test::Shape(outline), "1A 2D 1E 2F");
    EXPECT_EQ(test::Rows(outline), "A D E");
    outline.ItemAt(4)->MoveItem(1, TAttachMode::amBefore);
    EXPECT_EQ(test::Shape(outline), "1F 1A 2D 1E");
}

TEST(OutlineReader, LongCaptionsKeepTheirLength) {
    // Captions of 255 bytes and more are stored with a longer length.
    TCustomOutline outline;
    const std::string long254(254, 'x'), long255(255, 'y'), long4000(4000, 'z');
    ReadByOutline(outline, long254 + "\r\n" + long255 + "\r\n" + long4000 + "\r\n");
    ASSERT_EQ(outline.TotalItems(), 3);
    EXPECT_EQ(outline.ItemAt(1)->Text(), long254);
    EXPECT_EQ(outline.ItemAt(2)->Text(), long255);
    EXPECT_EQ(outline.ItemAt(3)->Text(), long4000);
    outline.ItemAt(3)->SetText("short");
    outline.ItemAt(1)->SetText(std::string(70000, 'w'));
    EXPECT_EQ(outline.ItemAt(1)->Text(), std::string(70000, 'w'));
    EXPECT_EQ(outline.ItemAt(3)->Text(), "short");
}

TEST_F(OutlineFileTest, ItemMovedBelowTheDeepestStorableLevelIsRefused) {
    // A file-made chain whose deepest item is just storable; moving the chain
    // one level down makes it too deep, though no edit ever made an item that deep.
    std::string bytes = "P\r\n";
    for (std::size_t depth = 0; depth < 4094; ++depth) {
        bytes += std::string(depth, '\t') + "a\r\n";
    }
    bytes += std::string(4094, '\t') + "\r\n";
    ASSERT_EQ(Load(bytes), "none");
    ASSERT_NO_THROW(Outline.SaveOutline(File));
    Outline.ItemAt(2)->ShiftLevel(1);
    ASSERT_EQ(Outline.ItemAt(2)->Level(), 2);
    EXPECT_THROW(Outline.SaveOutline(File), EOutlineError);
    Outline.ItemAt(2)->ShiftLevel(-1);
    EXPECT_NO_THROW(Outline.SaveOutline(File));
}

} // namespace
} // namespace virevi
