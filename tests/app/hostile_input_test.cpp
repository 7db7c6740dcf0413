// Hostile files through the real main window: each one, opened with Open or
// appended with Add text, either loads or is refused with the program's own
// message, and a refusal leaves the window exactly as it was.
#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/qt/main_prompts.h"
#include "app/window_state.h"
#include "dialogs/about_photo.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/error_display.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using Lines = std::vector<std::string>;

// Answers every file dialog with the next name of a script, in the folder,
// and the save prompt with "no".
class TScriptedPrompts : public TMainPrompts {
public:
    std::string Folder;
    std::istringstream Names;
    int AskSave() override { return mrNo; }
    bool ChooseOpenFile(std::string_view, std::string& fileName) override {
        std::string name;
        Names >> name;
        fileName = Folder + "/" + name;
        return !name.empty();
    }
    bool ChooseSaveFile(std::string_view filter, std::string& fileName) override {
        return ChooseOpenFile(filter, fileName);
    }
    void Beep() override {}
};

// A file of `size` bytes that starts with `head` and holds nothing after it:
// a hole costs no disk and no time to make.
void WriteSparse(const std::string& path, const std::string& head, off_t size) {
    test::WriteFileBytes(path, head);
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
}

// A document "x" of two items that loads as it stands.
void WriteDocument(const std::string& folder) {
    test::WriteFileBytes(folder + "/x.Trr", "one\r\ntwo\r\n");
    test::WriteFileBytes(folder + "/x.Txt", "one\r\ntwo\r\n");
    test::WriteFileBytes(folder + "/x.Bin", EncodeItemRecords({{0, 1}, {1, 1}}));
}

void ReplaceWith(const std::string& path, const std::string& bytes) {
    std::filesystem::remove(path);
    test::WriteFileBytes(path, bytes);
}

std::string RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

// "one", "two" and "三" as UTF-16LE with its byte order mark, CR LF each.
std::string Utf16Text() {
    const char16_t text[] = u"\xfeffone\r\ntwo\r\n\x4e09\r\n";
    std::string bytes;
    for (std::size_t i = 0; i + 1 < std::size(text); ++i) {
        bytes += static_cast<char>(text[i] & 0xff);
        bytes += static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

// The JPEG file the About box carries: its bytes from the start-of-image mark.
std::string JpegBytes() {
    const auto stored = AboutPhotoStored();
    const std::string bytes(reinterpret_cast<const char*>(stored.data()), stored.size());
    const std::size_t start = bytes.find("\xff\xd8\xff");
    return start == std::string::npos ? std::string() : bytes.substr(start);
}

// An outline whose lines each go one level deeper, `depth` of them.
std::string NestedOutline(std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += std::string(i, '\t') + "n\r\n";
    }
    return text;
}

struct HostileCase {
    const char* Name;
    void (*Make)(const std::string& folder);
    const char* Chosen; // the file chosen in the dialog
    // What happens: "loads", or the message shown, "%s" for the folder.
    const char* Opens;
    const char* Adds; // nullptr: not appended, the case before appends its kind
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.Name;
}

constexpr off_t GB = off_t{1} << 30;
constexpr std::size_t MB = std::size_t{1} << 20;

// clang-format off
const HostileCase HostileCases[] = {
    {"sparse_1_GB_notes",
     [](const std::string& f) { WriteDocument(f); WriteSparse(f + "/x.Txt", "one\r\ntwo\r\n", GB); },
     "x.Txt", "loads", "loads"},
    // Add text reads UTF-16 no further than its first zero unit either.
    {"sparse_1_GB_UTF_16_notes",
     [](const std::string& f) { WriteDocument(f); WriteSparse(f + "/x.Txt", std::string("\xFF\xFEo\0n\0e\0\r\0\n\0", 12), GB); },
     "x.Txt", "リストのインデックスが範囲を超えています (1)", "loads"},
    {"outline_of_one_100_MB_line",
     [](const std::string& f) { WriteDocument(f); ReplaceWith(f + "/x.Trr", std::string(100 * MB, 'a')); },
     "x.Trr", "行が長すぎます", "行が長すぎます"},
    // One unbroken word as long as Add text takes, wrapped at the editor's width.
    {"notes_of_one_1_MB_line",
     [](const std::string& f) { WriteDocument(f); ReplaceWith(f + "/x.Txt", std::string(MB, 'a')); },
     "x.Txt", "リストのインデックスが範囲を超えています (1)", "loads"},
    {"sparse_8_GB_index",
     [](const std::string& f) { WriteDocument(f); WriteSparse(f + "/x.Bin", EncodeItemRecords({{0, 1}, {1, 1}}), 8 * GB); },
     "x.Bin", "loads", "loads"},
    {"outline_nested_as_deep_as_a_line_allows",
     [](const std::string& f) {
         ReplaceWith(f + "/x.Trr", NestedOutline(4000));
         ReplaceWith(f + "/x.Txt", "n\r\n");
         ReplaceWith(f + "/x.Bin", EncodeItemRecords(std::vector<ItemRecord>(4000, ItemRecord{0, 1})));
     },
     "x.Trr", "loads", "loads"},
    {"outline_nested_deeper_than_a_line",
     [](const std::string& f) {
         ReplaceWith(f + "/x.Trr", NestedOutline(5000));
         ReplaceWith(f + "/x.Txt", "n\r\n");
         ReplaceWith(f + "/x.Bin", EncodeItemRecords(std::vector<ItemRecord>(5000, ItemRecord{0, 1})));
     },
     "x.Trr", "行が長すぎます", nullptr},
    {"fifo_outline",
     [](const std::string& f) { WriteDocument(f); std::filesystem::remove(f + "/x.Trr"); ::mkfifo((f + "/x.Trr").c_str(), 0600); },
     "x.Trr", "ファイル %s/x.Trr は開けません", "ファイル %s/x.Trr は開けません"},
    {"fifo_notes",
     [](const std::string& f) { WriteDocument(f); std::filesystem::remove(f + "/x.Txt"); ::mkfifo((f + "/x.Txt").c_str(), 0600); },
     "x.Txt", "ファイル %s/x.Txt は開けません", "ファイル %s/x.Txt は開けません"},
    {"notes_linked_to_the_zero_device",
     [](const std::string& f) { WriteDocument(f); std::filesystem::remove(f + "/x.Txt"); std::filesystem::create_symlink("/dev/zero", f + "/x.Txt"); },
     "x.Txt", "ファイル %s/x.Txt は開けません", "ファイル %s/x.Txt は開けません"},
    {"outline_linked_to_the_zero_device",
     [](const std::string& f) { WriteDocument(f); std::filesystem::remove(f + "/x.Trr"); std::filesystem::create_symlink("/dev/zero", f + "/x.Trr"); },
     "x.Trr", "ファイル %s/x.Trr は開けません", "ファイル %s/x.Trr は開けません"},
    {"index_linked_to_the_zero_device",
     [](const std::string& f) { WriteDocument(f); std::filesystem::remove(f + "/x.Bin"); std::filesystem::create_symlink("/dev/zero", f + "/x.Bin"); },
     "x.Bin", "ファイルへのアクセスが拒否されました", "ファイル %s/x.Bin は開けません"},
    {"random_bytes_in_all_three",
     [](const std::string& f) {
         ReplaceWith(f + "/x.Trr", RandomBytes(64 * 1024, 1));
         ReplaceWith(f + "/x.Txt", RandomBytes(64 * 1024, 2));
         ReplaceWith(f + "/x.Bin", RandomBytes(64 * 1024, 3));
     },
     "x.Trr", "リストのインデックスが範囲を超えています (-2080794518)", "loads"},
    {"random_bytes_as_notes",
     [](const std::string& f) { WriteDocument(f); ReplaceWith(f + "/x.Txt", RandomBytes(MB, 4)); },
     "x.Txt", "リストのインデックスが範囲を超えています (1)", "loads"},
    {"random_bytes_as_index",
     [](const std::string& f) { WriteDocument(f); ReplaceWith(f + "/x.Bin", RandomBytes(4096, 5)); },
     "x.Bin", "リストのインデックスが範囲を超えています (-1108357533)", "loads"},
    {"utf16_in_all_three",
     [](const std::string& f) {
         for (const char* e : {".Trr", ".Txt", ".Bin"}) ReplaceWith(f + "/x" + e, Utf16Text());
     },
     "x.Txt", "ファイルの末尾以降を読み込みました", "loads"},
    {"jpeg_in_all_three",
     [](const std::string& f) {
         for (const char* e : {".Trr", ".Txt", ".Bin"}) ReplaceWith(f + "/x" + e, JpegBytes());
     },
     "x.Txt", "リストのインデックスが範囲を超えています (-520103681)", "loads"},
};
// clang-format on

// What the window shows and holds, all of it that a failed command must leave alone.
class HostileInputTest : public testing::TestWithParam<HostileCase> {
protected:
    HostileInputTest() {
        // A hang fails the case instead of stalling the run.
        ::alarm(50);
        Prompts.Folder = Folder.Path();
        Main.SetPrompts(&Prompts);
        Main.show();
        Main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main));
        Replaced = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box.Text); });
    }
    ~HostileInputTest() override {
        SetErrorBoxDisplay(Replaced);
        ::alarm(0);
    }

    /// A saved document "mine" of "a" with child "b", then an item added at
    /// the end, typed in and not saved: titled, modified, its first note in the editor.
    void MakeWork() {
        Main.ClearDocument();
        TDocument& document = Main.Document();
        const std::int32_t a = Main.olTree->AddSibling(0, "a");
        const std::int32_t b = Main.olTree->AppendChild(a, "b");
        for (std::int32_t i : {a, b}) {
            TDocument::RecordOf(document.AttachNewRecord(i))->Count = 1;
            document.NotePool.Add(i == a ? "a" : "b");
        }
        Main.olTree->ExpandAll();
        Main.olTree->SetSelectedIndex(1);
        Main.olTreeClick();
        Prompts.Names = std::istringstream("mine.Trr");
        Main.mnSaveAsClick();
        Main.mnAddNodeClick();
        Main.moNote->setFocus();
        QTest::keyClicks(Main.moNote, "c");
        // A click on the first row commits the typing, as a user would.
        const TRect row1 = Main.olTree->RowRect(1);
        QTest::mouseClick(Main.olTree->viewport(), Qt::LeftButton, {},
                          QPoint(row1.Left + 2, (row1.Top + row1.Bottom) / 2));
        Main.ShowPosition();
        ASSERT_TRUE(Main.Document().DocModified);
    }

    /// Runs `command` as a menu would, a message going to the error display.
    void Run(void (TMainCommands::*command)()) {
        QElapsedTimer timer;
        timer.start();
        try {
            (Main.*command)();
        } catch (const Exception&) {
            ShowException(std::current_exception());
        }
        // Whatever loaded is painted too, as the user would see it.
        Main.repaint();
        QCoreApplication::processEvents();
        Elapsed = timer.elapsed();
    }

    /// The expected outcome with the folder in place of "%s".
    std::string Expected(const char* outcome) {
        std::string text = outcome;
        const std::size_t at = text.find("%s");
        if (at != std::string::npos) {
            text.replace(at, 2, Folder.Path());
        }
        return text;
    }

    /// Within a few seconds on a loaded machine, and in memory of about the
    /// process's own plus 1.5 times the largest file the case writes. A
    /// sanitizer inflates both: it marks every reserved byte, so reserving
    /// room for a sparse 8 GB file alone takes it seconds and a gigabyte.
    void ExpectBounded() {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        EXPECT_LT(Elapsed, 5000) << "ms";
        EXPECT_LT(PeakMegabytes(), 400);
#else
        EXPECT_LT(Elapsed, 30000) << "ms";
#endif
    }

    static long PeakMegabytes() {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024;
    }

    test::TTempFolder Folder;
    TScriptedPrompts Prompts;
    TMain Main;
    TErrorBoxDisplay Replaced;
    Lines Shown;
    qint64 Elapsed = 0;
};

TEST_P(HostileInputTest, OpenLoadsOrShowsTheMessageAndKeepsTheWindow) {
    const HostileCase& c = GetParam();
    MakeWork();
    c.Make(Folder.Path());
    const test::TWindowState before = test::WindowState(Main);
    Prompts.Names = std::istringstream(c.Chosen);
    Run(&TMain::mnOpenClick);
    const std::string expected = Expected(c.Opens);
    if (expected == "loads") {
        EXPECT_EQ(Shown, Lines{});
        const test::TWindowState after = test::WindowState(Main);
        EXPECT_EQ(after.Title, Folder.File("x"));
        EXPECT_FALSE(after.Modified);
        EXPECT_EQ(after.Selected, 1);
        EXPECT_EQ(after.Label, "1 / " + std::to_string(Main.olTree->TotalItems()));
    } else {
        EXPECT_EQ(Shown, Lines{ErrorDisplayText(expected)});
        EXPECT_EQ(test::WindowState(Main), before);
    }
    ExpectBounded();
    std::cout << c.Name << " open: " << Elapsed << " ms, peak " << PeakMegabytes() << " MB\n";
}

TEST_P(HostileInputTest, AddTextAppendsOrShowsTheMessageAndKeepsTheWindow) {
    const HostileCase& c = GetParam();
    if (c.Adds == nullptr) {
        return;
    }
    MakeWork();
    c.Make(Folder.Path());
    const test::TWindowState before = test::WindowState(Main);
    Prompts.Names = std::istringstream(c.Chosen);
    Run(&TMain::mnAddClick);
    const std::string expected = Expected(c.Adds);
    const test::TWindowState after = test::WindowState(Main);
    if (expected == "loads") {
        EXPECT_EQ(Shown, Lines{});
        // The lines go after the note's own, all of which stay.
        ASSERT_GE(after.Editor.size(), before.Editor.size());
        EXPECT_TRUE(std::equal(before.Editor.begin(), before.Editor.end(), after.Editor.begin()));
        EXPECT_EQ(after.Title, before.Title);
        EXPECT_TRUE(after.Modified);
    } else {
        EXPECT_EQ(Shown, Lines{ErrorDisplayText(expected)});
        EXPECT_EQ(after, before);
    }
    ExpectBounded();
    std::cout << c.Name << " add: " << Elapsed << " ms, peak " << PeakMegabytes() << " MB\n";
}

INSTANTIATE_TEST_SUITE_P(Files, HostileInputTest, testing::ValuesIn(HostileCases),
                         [](const testing::TestParamInfo<HostileCase>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
} // namespace virevi
