// Documents that need more memory than there is: the open document stays as
// it was and the user gets the program's own error.
#include "document/document.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace virevi
