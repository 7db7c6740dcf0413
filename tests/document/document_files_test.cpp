#include "document/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "document_fixture.h"
#include "files/file_system.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::Lines;
using test::ReadFileBytes;
using test::TDocumentState;
using test::TTempFolder;
using test::WriteFileBytes;

class DocumentFilesTest : public test::DocumentFixture {
protected:
    void TearDown() override { SetFaultHook({}); }

    // Three items, the second with a child, every note written once.
    void BuildSample() {
        InitDocument();
        const std::int32_t second = AddItem();
        AddChild(second);
        Write(1, "first\r\nline two");
        Write(2, "second");
        Write(3, "child\r\n\r\nafter a blank");
    }

    std::string Base(const std::string& name = "plan") { return Folder.File(name); }
    std::string Trr(const std::string& name = "plan") { return ReadFileBytes(Base(name) + ".Trr"); }
    std::string Txt(const std::string& name = "plan") { return ReadFileBytes(Base(name) + ".Txt"); }
    std::string Bin(const std::string& name = "plan") { return ReadFileBytes(Base(name) + ".Bin"); }
    std::vector<std::string> FolderNames() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TTempFolder Folder;
};

TEST_F(DocumentFilesTest, OneEmptyItemSavesOneLineEmptyNotesAndZeroRecord) {
    InitDocument();
    Document.SaveDocument(Base());
    EXPECT_EQ(Trr(), "\r\n");
    EXPECT_EQ(Txt(), "");
    EXPECT_EQ(Bin(), std::string(8, '\0'));
    EXPECT_EQ(Document.Caption(), Base());
    EXPECT_EQ(Captions, (Lines{Base()}));
    EXPECT_FALSE(Document.DocModified);
    EXPECT_EQ(Positions, 1);
    EXPECT_EQ(Cursors, (std::vector<std::int32_t>{crHourGlass, crDefault}));
    EXPECT_EQ(FolderNames(), (Lines{"plan.Bin", "plan.Trr", "plan.Txt"}));
}

TEST_F(DocumentFilesTest, SavedFilesHoldOutlineNotesAndConsecutiveStarts) {
    BuildSample();
    Write(2, "second, edited");
    Write(2, "second, again\r\nwith two lines");
    Outline.SetSelectedIndex(2);
    Document.SaveDocument(Base());
    EXPECT_EQ(Trr(), "first\r\nsecond, again\r\n\tchild\r\n");
    EXPECT_EQ(Txt(), "first\r\nline two\r\nsecond, again\r\nwith two lines\r\n"
                     "child\r\n\r\nafter a blank\r\n");
    EXPECT_EQ(Bin(), EncodeItemRecords({{0, 2}, {2, 2}, {4, 3}}));
}

TEST_F(DocumentFilesTest, SavingTwiceWritesIdenticalFiles) {
    BuildSample();
    Document.SaveDocument(Base("one"));
    Document.SaveDocument(Base("two"));
    EXPECT_EQ(Trr("one"), Trr("two"));
    EXPECT_EQ(Txt("one"), Txt("two"));
    EXPECT_EQ(Bin("one"), Bin("two"));
}

TEST_F(DocumentFilesTest, SaveCommitsEditorAndPutsCaretBack) {
    InitDocument();
    Editor.Type("typed\r\nnot yet committed");
    Editor.SetSelStart(3);
    Document.SaveDocument(Base());
    EXPECT_EQ(Txt(), "typed\r\nnot yet committed\r\n");
    EXPECT_EQ(Editor.SelStart(), 3u);
    EXPECT_FALSE(Document.DocModified);
}

TEST_F(DocumentFilesTest, PlanDot2024KeepsItsInnerDot) {
    InitDocument();
    Document.SaveDocument(BasePathOf(Folder.File("plan.2024.Trr")));
    EXPECT_EQ(FolderNames(), (Lines{"plan.2024.Bin", "plan.2024.Trr", "plan.2024.Txt"}));
}

TEST_F(DocumentFilesTest, LoadReplacesDocumentCollapsedWithFirstNoteShown) {
    BuildSample();
    Document.SaveDocument(Base());
    Document.FreeItemRecords();
    Document.NotePool.Clear();
    InitDocument();
    Write(1, "the other document");
    Cursors.clear();
    Document.LoadDocument(Base());
    EXPECT_EQ(Outline.TotalItems(), 3);
    EXPECT_FALSE(Outline.ItemAt(2)->Expanded());
    EXPECT_EQ(Outline.SelectedIndex(), 1);
    EXPECT_EQ(Note(3), (Lines{"child", "", "after a blank"}));
    EXPECT_EQ(Caption(3), "child");
    EXPECT_EQ(Editor.Text(), "first\r\nline two\r\n");
    EXPECT_EQ(Document.Caption(), Base());
    EXPECT_FALSE(Document.DocModified);
    EXPECT_EQ(Document.RecordsInUse(), 3u);
    EXPECT_EQ(Cursors, (std::vector<std::int32_t>{crHourGlass, crDefault}));
}

TEST_F(DocumentFilesTest, LoadIgnoresRecordsBeyondTheItems) {
    BuildSample();
    Document.SaveDocument(Base());
    WriteFileBytes(Base() + ".Bin", Bin() + EncodeItemRecords({{1000, 1000}}) + "xyz");
    Document.LoadDocument(Base());
    EXPECT_EQ(Note(2), (Lines{"second"}));
}

TEST_F(DocumentFilesTest, LoadOfEmptyNoteShowsSpaceCaption) {
    InitDocument();
    AddItem();
    Write(2, "only the second");
    Document.SaveDocument(Base());
    Document.LoadDocument(Base());
    EXPECT_EQ(Caption(1), " ");
    EXPECT_EQ(Caption(2), "only the second");
}

// Puts a FIFO without a writer in place of `path`.
void ReplaceWithFifo(const std::string& path) {
    std::filesystem::remove(path);
    ::mkfifo(path.c_str(), 0600);
}

// Puts a symbolic link to `target` in place of `path`.
void ReplaceWithLink(const std::string& path, const std::string& target) {
    std::filesystem::remove(path);
    std::filesystem::create_symlink(target, path);
}

TEST_F(DocumentFilesTest, NotesSharingLinesLoadAndSaveEachInFull) {
    WriteFileBytes(Base() + ".Trr", "a\r\nb\r\nc\r\n");
    WriteFileBytes(Base() + ".Txt", "a\r\nx\r\n");
    WriteFileBytes(Base() + ".Bin", EncodeItemRecords({{0, 2}, {0, 2}, {1, 1}}));
    Document.LoadDocument(Base());
    Document.SaveDocument(Base("saved"));
    EXPECT_EQ(Txt("saved"), "a\r\nx\r\na\r\nx\r\nx\r\n");
    EXPECT_EQ(Bin("saved"), EncodeItemRecords({{0, 2}, {2, 2}, {4, 1}}));
}

// A first note of one line, then notes that each share all the lines of a
// pool of 1,048,576: 2,047 of them make 2,146,435,073 lines in all,
// 1,048,574 short of what a .Bin can address.
class DocumentSharedLinesTest : public DocumentFilesTest {
protected:
    static constexpr std::int32_t PoolLines = 1 << 20;
    void WriteShared(std::size_t sharing) {
        WriteFileBytes(Base("shared") + ".Trr", std::string(sharing + 1, '\r'));
        WriteFileBytes(Base("shared") + ".Txt", std::string(PoolLines, '\n'));
        std::vector<ItemRecord> records(sharing + 1, ItemRecord{0, PoolLines});
        records[0].Count = 1;
        WriteFileBytes(Base("shared") + ".Bin", EncodeItemRecords(records));
    }
};

TEST_F(DocumentSharedLinesTest, PastWhatABinCanAddressAreRefusedAtLoad) {
    BuildSample();
    const TDocumentState before = State();
    WriteShared(2048);
    try {
        Document.LoadDocument(Base("shared"));
        ADD_FAILURE() << "loaded";
    } catch (const EStringListError& error) {
        // The record that takes the total past 2,147,483,647.
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (2048)");
    }
    EXPECT_TRUE(State() == before);
}

TEST_F(DocumentSharedLinesTest, CompactionChecksTheTotalBeforeCopying) {
    WriteShared(2047);
    Document.LoadDocument(Base("shared"));
    // One more note sharing them, as an edit cannot make it but a crafted file can.
    *TDocument::RecordOf(Outline.ItemAt(AddItem())) = ItemRecord{0, PoolLines};
    const TDocumentState before = State();
    try {
        Document.SaveDocument(Base());
        ADD_FAILURE() << "saved";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (2048)");
    }
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(FolderNames(), (Lines{"shared.Bin", "shared.Trr", "shared.Txt"}));
}

struct TEditorAfterLoad {
    const char* Name;
    std::string Trr, Txt, Bin;
    std::string EditorText;
};

class DocumentEditorAfterLoadTest : public DocumentFilesTest,
                                    public testing::WithParamInterface<TEditorAfterLoad> {};

TEST_P(DocumentEditorAfterLoadTest, HoldsTheFirstLoadedNoteUnmodified) {
    BuildSample();
    Editor.Type("typed into the previous document");
    WriteFileBytes(Base("other") + ".Trr", GetParam().Trr);
    WriteFileBytes(Base("other") + ".Txt", GetParam().Txt);
    WriteFileBytes(Base("other") + ".Bin", GetParam().Bin);
    Document.LoadDocument(Base("other"));
    EXPECT_EQ(Editor.Text(), GetParam().EditorText);
    EXPECT_FALSE(Editor.Modified());
    // Nothing of the previous document's editor comes back with a commit.
    if (Outline.TotalItems() > 0) {
        Document.CommitNote(1);
        EXPECT_FALSE(Document.DocModified);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentEditorAfterLoadTest,
    testing::Values(TEditorAfterLoad{"no_items", "", "", "", ""},
                    TEditorAfterLoad{"no_items_with_stray_notes", "", "stray\r\n", "", ""},
                    TEditorAfterLoad{"empty_first_note", "a\r\nb\r\n", "b\r\n",
                                     EncodeItemRecords({{0, 0}, {0, 1}}), ""},
                    TEditorAfterLoad{"first_note_of_two_lines", "a\r\n", "a\r\nline\r\n",
                                     EncodeItemRecords({{0, 2}}), "a\r\nline\r\n"}),
    [](const testing::TestParamInfo<TEditorAfterLoad>& info) { return info.param.Name; });

struct TLoadFailure {
    const char* Name;
    // Spoils the saved sample files of `base`.
    std::function<void(const std::string& base)> Spoil;
    std::string Message; // "%s" stands for the base path
    bool ReadOnlyBin = false;
};

class DocumentLoadFailureTest : public DocumentFilesTest,
                                public testing::WithParamInterface<TLoadFailure> {};

TEST_P(DocumentLoadFailureTest, LeavesOpenDocumentExactlyAsItWas) {
    BuildSample();
    Document.SaveDocument(Base("saved"));
    GetParam().Spoil(Base("saved"));
    // The open document differs from the files and is modified.
    Write(2, "edited after saving");
    Editor.Type("uncommitted");
    const TDocumentState before = State();
    Cursors.clear();
    std::string message = "<none>";
    const auto load = [&] {
        try {
            Document.LoadDocument(Base("saved"));
        } catch (const Exception& error) {
            message = error.Message();
        }
    };
    if (GetParam().ReadOnlyBin) {
        test::OpenToOthers(Folder.Path());
        ::chmod((Base("saved") + ".Bin").c_str(), 0444);
        test::RunWithPermissionChecks(load);
    } else {
        load();
    }
    std::string expected = GetParam().Message;
    if (const auto at = expected.find("%s"); at != std::string::npos) {
        expected.replace(at, 2, Base("saved"));
    }
    EXPECT_EQ(message, expected);
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(Cursors, (std::vector<std::int32_t>{crHourGlass, crDefault}));
}

// The sample's pool has 6 lines; its records are {0,2} {2,1} {3,3}.
INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentLoadFailureTest,
    testing::Values(
        TLoadFailure{"missing_outline",
                     [](const std::string& base) { std::filesystem::remove(base + ".Trr"); },
                     "ファイル %s.Trr は開けません"},
        TLoadFailure{
            "malformed_outline",
            [](const std::string& base) { WriteFileBytes(base + ".Trr", "a\r\n\t\t\tb\r\nc\r\n"); },
            "ファイル読み込みエラー"},
        TLoadFailure{"missing_notes",
                     [](const std::string& base) { std::filesystem::remove(base + ".Txt"); },
                     "ファイル %s.Txt は開けません"},
        TLoadFailure{"missing_index",
                     [](const std::string& base) { std::filesystem::remove(base + ".Bin"); },
                     "ファイルが見つかりません"},
        TLoadFailure{"short_index",
                     [](const std::string& base) {
                         WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 2}, {2, 1}}) + "abc");
                     },
                     "ファイルの末尾以降を読み込みました"},
        TLoadFailure{"read_only_index", [](const std::string&) {},
                     "ファイルへのアクセスが拒否されました", true},
        TLoadFailure{"record_past_pool_end",
                     [](const std::string& base) {
                         WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 2}, {2, 1}, {4, 3}}));
                     },
                     "リストのインデックスが範囲を超えています (6)"},
        TLoadFailure{"record_starting_past_end",
                     [](const std::string& base) {
                         WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 2}, {9, 0}, {3, 3}}));
                     },
                     "リストのインデックスが範囲を超えています (9)"},
        TLoadFailure{
            "negative_start",
            [](const std::string& base) {
                WriteFileBytes(base + ".Bin", EncodeItemRecords({{-2, 2}, {2, 1}, {3, 3}}));
            },
            "リストのインデックスが範囲を超えています (-2)"},
        TLoadFailure{
            "negative_count",
            [](const std::string& base) {
                WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 2}, {2, -1}, {3, 3}}));
            },
            "リストのインデックスが範囲を超えています (-1)"},
        TLoadFailure{
            "sum_overflowing_int32",
            [](const std::string& base) {
                WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 2}, {2, 0x7fffffff}, {3, 3}}));
            },
            "リストのインデックスが範囲を超えています (6)"},
        // Files that are not regular files are refused before a byte is
        // read: a FIFO would wait for a writer for ever, a device or a /proc
        // file has no size and would load as an empty or an endless file.
        TLoadFailure{"fifo_outline",
                     [](const std::string& base) { ReplaceWithFifo(base + ".Trr"); },
                     "ファイル %s.Trr は開けません"},
        TLoadFailure{"fifo_notes", [](const std::string& base) { ReplaceWithFifo(base + ".Txt"); },
                     "ファイル %s.Txt は開けません"},
        TLoadFailure{"fifo_index", [](const std::string& base) { ReplaceWithFifo(base + ".Bin"); },
                     "ファイルへのアクセスが拒否されました"},
        TLoadFailure{"zero_device_notes",
                     [](const std::string& base) { ReplaceWithLink(base + ".Txt", "/dev/zero"); },
                     "ファイル %s.Txt は開けません"},
        TLoadFailure{"zero_device_index",
                     [](const std::string& base) { ReplaceWithLink(base + ".Bin", "/dev/zero"); },
                     "ファイルへのアクセスが拒否されました"},
        TLoadFailure{
            "proc_file_notes",
            [](const std::string& base) { ReplaceWithLink(base + ".Txt", "/proc/self/status"); },
            "ファイル %s.Txt は開けません"},
        TLoadFailure{
            "proc_file_index",
            [](const std::string& base) { ReplaceWithLink(base + ".Bin", "/proc/self/status"); },
            "ファイルへのアクセスが拒否されました"},
        TLoadFailure{"link_to_fifo_notes",
                     [](const std::string& base) {
                         ReplaceWithFifo(base + ".fifo");
                         ReplaceWithLink(base + ".Txt", base + ".fifo");
                     },
                     "ファイル %s.Txt は開けません"}),
    [](const testing::TestParamInfo<TLoadFailure>& info) { return info.param.Name; });

} // namespace
} // namespace virevi
