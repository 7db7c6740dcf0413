#include "files/record_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include "files/file_stream.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::ReadFileBytes;
using test::TTempFolder;
using test::WriteFileBytes;

// The code and message that CheckIOResult raises, or {0, ""} when nothing is pending.
std::pair<std::int32_t, std::string> Raised() {
    try {
        CheckIOResult();
    } catch (const EInOutError& error) {
        return {error.ErrorCode, error.Message()};
    }
    return {0, ""};
}

class RecordFileTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(IOResult(), 0) << "a code was left pending"; }
    TTempFolder Folder;
    TRecordFile File;
};

TEST_F(RecordFileTest, CreateTruncatesAndWritesRecordsAsBytes) {
    const std::string path = Folder.File("doc.Bin");
    WriteFileBytes(path, std::string(100, 'x'));
    BindRecordFile(File, path);
    CreateRecordFile(File, 8);
    CheckIOResult();
    const char first[8] = {1, 0, 0, 0, 2, 0, 0, 0};
    const char second[8] = {'\xff', '\xff', '\xff', '\x7f', 0, 0, 0, '\x80'};
    WriteRecord(File, first);
    CheckIOResult();
    WriteRecord(File, second);
    CheckIOResult();
    CloseRecordFile(File);
    CheckIOResult();
    EXPECT_EQ(ReadFileBytes(path), std::string(first, 8) + std::string(second, 8));
}

TEST_F(RecordFileTest, CreateAndCloseLeavesEmptyFile) {
    const std::string path = Folder.File("empty.Bin");
    WriteFileBytes(path, "previous");
    BindRecordFile(File, path);
    CreateRecordFile(File, 8);
    CheckIOResult();
    CloseRecordFile(File);
    CheckIOResult();
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(RecordFileTest, ThirdRecordOfTwentyBytesReadsPastTheEnd) {
    const std::string path = Folder.File("short.Bin");
    WriteFileBytes(path, "AAAAAAAABBBBBBBBCCCC");
    BindRecordFile(File, path);
    OpenRecordFile(File, 8);
    CheckIOResult();
    char buffer[8];
    ReadRecord(File, buffer);
    CheckIOResult();
    EXPECT_EQ(std::string(buffer, 8), "AAAAAAAA");
    ReadRecord(File, buffer);
    CheckIOResult();
    ReadRecord(File, buffer);
    EXPECT_EQ(Raised(), std::make_pair(100, std::string("ファイルの末尾以降を読み込みました")));
    EXPECT_EQ(std::string(buffer, 4), "CCCC"); // what was there is in the buffer
    CloseRecordFile(File);
    CheckIOResult();
}

TEST_F(RecordFileTest, EmptyFileHasNoRecord) {
    const std::string path = Folder.File("zero.Bin");
    WriteFileBytes(path, "");
    BindRecordFile(File, path);
    OpenRecordFile(File, 8);
    CheckIOResult();
    char buffer[8];
    ReadRecord(File, buffer);
    EXPECT_EQ(Raised().first, 100);
    CloseRecordFile(File);
    CheckIOResult();
}

TEST_F(RecordFileTest, MissingFileAndMissingFolder) {
    BindRecordFile(File, Folder.File("absent.Bin"));
    OpenRecordFile(File, 8);
    EXPECT_EQ(File.Mode, TRecordFileMode::Closed);
    EXPECT_EQ(Raised(), std::make_pair(2, std::string("ファイルが見つかりません")));

    BindRecordFile(File, Folder.File("no/folder/absent.Bin"));
    OpenRecordFile(File, 8);
    EXPECT_EQ(Raised(), std::make_pair(3, std::string("不正なファイル名です")));
    CreateRecordFile(File, 8);
    EXPECT_EQ(Raised().first, 3);
}

TEST_F(RecordFileTest, ReadOnlyFileIsRefusedAlthoughOnlyReadsFollow) {
    const std::string path = Folder.File("ro.Bin");
    WriteFileBytes(path, std::string(8, '\0'));
    ::chmod(path.c_str(), 0444);
    test::OpenToOthers(Folder.Path());
    std::pair<std::int32_t, std::string> raised;
    test::RunWithPermissionChecks([&] {
        TRecordFile file;
        BindRecordFile(file, path);
        OpenRecordFile(file, 8);
        raised = Raised();
    });
    EXPECT_EQ(raised, std::make_pair(5, std::string("ファイルへのアクセスが拒否されました")));
}

TEST_F(RecordFileTest, ClosingWhatIsNotOpenIs103) {
    BindRecordFile(File, Folder.File("never.Bin"));
    CloseRecordFile(File);
    EXPECT_EQ(Raised(), std::make_pair(103, std::string("I/O エラー (103)")));
    char buffer[8] = {};
    ReadRecord(File, buffer);
    EXPECT_EQ(Raised().first, 103);
    WriteRecord(File, buffer);
    EXPECT_EQ(Raised().first, 5);
}

TEST_F(RecordFileTest, TestClearsThePendingCode) {
    BindRecordFile(File, Folder.File("never.Bin"));
    CloseRecordFile(File);
    EXPECT_EQ(IOResult(), 103);
    EXPECT_THROW(CheckIOResult(), EInOutError);
    EXPECT_EQ(IOResult(), 0);
    EXPECT_NO_THROW(CheckIOResult());
}

TEST_F(RecordFileTest, ExclusiveHolderGivesSharingViolation) {
    const std::string path = Folder.File("held.Trr");
    TFileStream holder(path, TFileMode::Create);
    BindRecordFile(File, path);
    OpenRecordFile(File, 8);
    EXPECT_EQ(Raised(), std::make_pair(32, std::string("I/O エラー (32)")));
}

TEST_F(RecordFileTest, LongNamesAreKeptWhole) {
    std::string folder = Folder.Path();
    for (int i = 0; i < 3; ++i) {
        folder += "/" + std::string(120, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    const std::string path = folder + "/" + std::string(100, 'n') + ".Bin";
    ASSERT_GT(path.size(), 259u);
    BindRecordFile(File, path);
    CreateRecordFile(File, 8);
    CheckIOResult();
    WriteRecord(File, "12345678");
    CheckIOResult();
    CloseRecordFile(File);
    CheckIOResult();
    EXPECT_EQ(File.Name, path);
    EXPECT_EQ(ReadFileBytes(path), "12345678");
}

TEST_F(RecordFileTest, FullDiskIs101) {
    // /dev/full accepts the open and refuses every byte with "no space".
    BindRecordFile(File, "/dev/full");
    OpenRecordFile(File, 8);
    CheckIOResult();
    WriteRecord(File, "12345678");
    EXPECT_EQ(Raised(), std::make_pair(101, std::string("ディスクがいっぱいです")));
    CloseRecordFile(File);
    CheckIOResult();
}

struct TCodeCase {
    std::int32_t Code;
    const char* Message;
};

TEST(InOutErrorMessageTest, TableThenGenericText) {
    const TCodeCase cases[] = {{2, "ファイルが見つかりません"},
                               {3, "不正なファイル名です"},
                               {4, "オープンしたファイルが多すぎます"},
                               {5, "ファイルへのアクセスが拒否されました"},
                               {100, "ファイルの末尾以降を読み込みました"},
                               {101, "ディスクがいっぱいです"},
                               {106, "入力値が数値ではありません"},
                               {32, "I/O エラー (32)"},
                               {103, "I/O エラー (103)"}};
    for (const auto& c : cases) {
        EXPECT_EQ(InOutErrorMessage(c.Code), c.Message) << c.Code;
    }
}

TEST(IOCodeOfErrnoTest, PlatformErrorsNeverSelectAWrongMessage) {
    EXPECT_EQ(IOCodeOfErrno(EMFILE, "x"), 4);
    EXPECT_EQ(IOCodeOfErrno(EACCES, "x"), 5);
    EXPECT_EQ(IOCodeOfErrno(EROFS, "x"), 5);
    EXPECT_EQ(IOCodeOfErrno(ENOSPC, "x"), 101);
    // EIO is 5 on Linux, the code of "access denied": it must come out elsewhere.
    const std::int32_t io = IOCodeOfErrno(EIO, "x");
    EXPECT_NE(io, 5);
    EXPECT_EQ(InOutErrorMessage(io), "I/O エラー (" + std::to_string(io) + ")");
}

} // namespace
} // namespace virevi
