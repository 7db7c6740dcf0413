// Documents that need more memory than there is: the open document stays as
// it was and the user gets the program's own error.
#include "document/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "document_fixture.h"
#include "runtime/allocation.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::Lines;
using test::TDocumentState;
using test::TTempFolder;
using test::WriteFileBytes;

class DocumentMemoryTest : public test::DocumentFixture {
protected:
    void TearDown() override { SetAllocationHook({}); }

    // Two items with notes, saved as `base`, and then edited again.
    void BuildSavedAndEdited() {
        InitDocument();
        AddItem();
        Write(1, "first\r\nnote");
        Write(2, "second");
        Document.SaveDocument(Base);
        Write(2, "second, edited");
        Editor.Type(" and typed");
    }

    TTempFolder Folder;
    std::string Base = Folder.File("plan");
};

// A machine whose memory runs out at any single block of `limit` bytes.
void LimitBlocksTo(std::size_t limit) {
    SetAllocationHook([limit](std::size_t bytes) { return bytes >= limit; });
}

struct TMemoryCase {
    const char* Name;
    std::function<void(const std::string& base)> Spoil;
};

class DocumentOutOfMemoryTest : public DocumentMemoryTest,
                                public testing::WithParamInterface<TMemoryCase> {};

TEST_P(DocumentOutOfMemoryTest, LoadFailsWithOwnErrorAndChangesNothing) {
    BuildSavedAndEdited();
    GetParam().Spoil(Base);
    const TDocumentState before = State();
    LimitBlocksTo(std::size_t{16} << 20);
    try {
        Document.LoadDocument(Base);
        ADD_FAILURE() << "loaded";
    } catch (const EOutOfMemory& error) {
        EXPECT_EQ(error.Message(), "メモリが不足しています");
    }
    EXPECT_TRUE(State() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentOutOfMemoryTest,
    testing::Values(
        // A sparse file takes no room on the disk and claims 64 GB of text.
        TMemoryCase{"sparse_64_gigabyte_notes",
                    [](const std::string& base) {
                        ASSERT_EQ(::truncate((base + ".Txt").c_str(), std::int64_t{64} << 30), 0);
                    }},
        TMemoryCase{"notes_of_empty_lines",
                    [](const std::string& base) {
                        WriteFileBytes(base + ".Txt", "first\r\nnote\r\nsecond\r\n" +
                                                          std::string(std::size_t{8} << 20, '\n'));
                    }}),
    [](const testing::TestParamInfo<TMemoryCase>& info) { return info.param.Name; });

TEST_F(DocumentMemoryTest, AddedTextTooLargeForMemoryLeavesTheListAsItWas) {
    const std::string path = Folder.File("huge.txt");
    WriteFileBytes(path, "");
    ASSERT_EQ(::truncate(path.c_str(), std::int64_t{64} << 30), 0);
    TStringList list;
    list.Add("kept");
    LimitBlocksTo(std::size_t{16} << 20);
    EXPECT_THROW(list.LoadLines(path), EOutOfMemory);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0], "kept");
}

struct TMemoryBound {
    const char* Name;
    std::string Trr;
    std::size_t Records; // in the .Bin
    std::string Txt;
    double MostBytesPerFileByte; // allocated while loading, per byte of the largest file
    const char* Message;
};

class DocumentMemoryBoundTest : public DocumentMemoryTest,
                                public testing::WithParamInterface<TMemoryBound> {};

TEST_P(DocumentMemoryBoundTest, LoadTakesMemoryInProportionToWhatItKeeps) {
    const TMemoryBound& bound = GetParam();
    WriteFileBytes(Base + ".Trr", bound.Trr);
    WriteFileBytes(Base + ".Txt", bound.Txt);
    WriteFileBytes(Base + ".Bin", EncodeItemRecords(std::vector<ItemRecord>(bound.Records)));
    std::size_t allocated = 0;
    SetAllocationHook([&](std::size_t bytes) {
        allocated += bytes;
        return false;
    });
    std::string message = "<none>";
    try {
        Document.LoadDocument(Base);
    } catch (const Exception& error) {
        message = error.Message();
    }
    SetAllocationHook({});
    EXPECT_EQ(message, bound.Message);
    const double perByte = static_cast<double>(allocated) /
                           static_cast<double>(std::max(bound.Trr.size(), bound.Txt.size()));
    EXPECT_LE(perByte, bound.MostBytesPerFileByte) << allocated << " bytes";
}

constexpr std::size_t FourMegabytes = std::size_t{4} << 20;

std::string Repeated(const std::string& text, std::size_t times) {
    std::string repeated;
    repeated.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentMemoryBoundTest,
    testing::Values(
        // Four million items would cost some thirty bytes each; reading
        // stops at the second, as the .Bin has one record.
        TMemoryBound{"outline_of_empty_lines_past_the_records", std::string(FourMegabytes, '\r'), 1,
                     "", 0.1, "ファイルの末尾以降を読み込みました"},
        TMemoryBound{"outline_of_item_lines_past_the_records",
                     Repeated("item\r\n", FourMegabytes / 6), 1000, "", 0.1,
                     "ファイルの末尾以降を読み込みました"}),
    [](const testing::TestParamInfo<TMemoryBound>& info) { return info.param.Name; });

// A document open on its own outline and editor, made afresh for each failure.
struct TSession {
    TCustomOutline Outline;
    test::TFakeMemoLines Editor;
    TDocument Document{Outline.Tree(), Editor};

    TDocumentState State() { return test::StateOf(Outline, Document, Editor); }
    /// The note of every item, in outline order.
    std::vector<Lines> Notes() {
        std::vector<Lines> notes;
        for (std::int32_t i = 1; i <= Outline.TotalItems(); ++i) {
            const ItemRecord* record = TDocument::RecordOf(Outline.ItemAt(i));
            Lines note;
            for (std::int32_t k = 0; record != nullptr && k < record->Count; ++k) {
                note.emplace_back(Document.NotePool.Strings(record->Start + k));
            }
            notes.push_back(note);
        }
        return notes;
    }
    void Write(std::int32_t index, const std::string& text) {
        Outline.SetSelectedIndex(index);
        Editor.SetText("");
        Editor.Type(text);
        Document.CommitNote(index);
    }
};

// Three notes saved as `base`, then the second edited twice (garbage for a
// compaction) and a long third note typed but not committed, so that a
// commit grows both the pool's bytes and its line starts.
void BuildEdited(TSession& session, const std::string& base) {
    session.Document.AttachNewRecord(session.Outline.AddSibling(0, " "));
    session.Document.AttachNewRecord(session.Outline.AddSibling(0, " "));
    session.Document.AttachNewRecord(session.Outline.AppendChild(2, " "));
    session.Write(1, "first\r\nnote");
    session.Write(2, "second");
    session.Write(3, "third");
    session.Document.SaveDocument(base);
    session.Write(2, "second, edited");
    session.Write(2, "second, edited again\r\n\r\nwith a blank");
    session.Outline.SetSelectedIndex(3);
    session.Editor.SetText("");
    std::string typed;
    for (int i = 0; i < 200; ++i) {
        typed += "typed line " + std::to_string(i) + "\r\n";
    }
    session.Editor.Type(typed);
}

struct TSweepCase {
    const char* Name;
    std::function<void(TSession& session, const std::string& base)> Operation;
};

class AllocationFailureTest : public testing::TestWithParam<TSweepCase> {
protected:
    void TearDown() override { SetAllocationHook({}); }
    TTempFolder Folder;
};

// Fails the first, then the second, … allocation of the operation until it
// runs through. Each failure must leave the document as it was, and the
// document must go on as if nothing had happened: the next commit, save and
// reopen give exactly the notes it held, with the new one.
TEST_P(AllocationFailureTest, EachFailureLeavesTheDocumentAsItWas) {
    const std::string base = Folder.File("plan");
    const std::string again = Folder.File("again");
    int failures = 0;
    for (int failAt = 1;; ++failAt) {
        TSession session;
        BuildEdited(session, base);
        const TDocumentState before = session.State();
        std::vector<Lines> expected = session.Notes();

        int seen = 0;
        SetAllocationHook([&](std::size_t) { return ++seen == failAt; });
        bool failed = false;
        try {
            GetParam().Operation(session, base);
        } catch (const EOutOfMemory& error) {
            failed = true;
            EXPECT_EQ(error.Message(), "メモリが不足しています");
        }
        SetAllocationHook({});
        if (!failed) {
            break;
        }
        ++failures;
        ASSERT_TRUE(session.State() == before) << "allocation " << failAt;

        session.Write(1, "after the failure\r\nof an allocation");
        expected[0] = {"after the failure", "of an allocation"};
        EXPECT_EQ(session.Notes(), expected) << "allocation " << failAt;
        session.Document.SaveDocument(again);
        TSession reopened;
        reopened.Document.LoadDocument(again);
        EXPECT_EQ(reopened.Notes(), expected) << "allocation " << failAt;
    }
    // A sweep that never failed anything would prove nothing.
    EXPECT_GE(failures, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, AllocationFailureTest,
    testing::Values(
        TSweepCase{"commit",
                   [](TSession& session, const std::string&) { session.Document.CommitNote(3); }},
        TSweepCase{"compaction",
                   [](TSession& session, const std::string&) { session.Document.CompactPool(); }},
        TSweepCase{"load", [](TSession& session,
                              const std::string& base) { session.Document.LoadDocument(base); }}),
    [](const testing::TestParamInfo<TSweepCase>& info) { return info.param.Name; });

} // namespace
} // namespace virevi
