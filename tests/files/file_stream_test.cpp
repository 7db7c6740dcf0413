#include "files/file_stream.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "files/file_system.h"
#include "files/string_list.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::ReadFileBytes;
using test::TTempFolder;
using test::WriteFileBytes;

class FileStreamTest : public testing::Test {
protected:
    void TearDown() override { SetFaultHook({}); }
    TTempFolder Folder;
};

TEST_F(FileStreamTest, ReadsUpToTheEndThenNothing) {
    const std::string path = Folder.File("a.txt");
    WriteFileBytes(path, "hello");
    TFileStream stream(path, TFileMode::ReadDenyWrite);
    EXPECT_EQ(stream.Size(), 5);
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 3), 3u);
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ(stream.Read(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), "lo");
    EXPECT_EQ(stream.Read(buffer, 8), 0u);
}

TEST_F(FileStreamTest, CreateTruncatesAndWrites) {
    const std::string path = Folder.File("b.txt");
    WriteFileBytes(path, "a much longer old content");
    {
        TFileStream stream(path, TFileMode::Create);
        EXPECT_EQ(stream.Size(), 0);
        stream.Write("new", 3);
        stream.Write(nullptr, 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "new");
}

TEST_F(FileStreamTest, WriterKeepsOthersOutAndReadersShare) {
    const std::string path = Folder.File("c.txt");
    {
        TFileStream writer(path, TFileMode::Create);
        EXPECT_THROW(TFileStream(path, TFileMode::ReadDenyWrite), EFOpenError);
        EXPECT_THROW(TFileStream(path, TFileMode::Create), EFCreateError);
    }
    TFileStream reader(path, TFileMode::ReadDenyWrite);
    EXPECT_NO_THROW(TFileStream(path, TFileMode::ReadDenyWrite));
    EXPECT_THROW(TFileStream(path, TFileMode::ReadExclusive), EFOpenError);
    // A refused writer must not have emptied the file that the reader holds.
    WriteFileBytes(path, "kept");
    EXPECT_THROW(TFileStream(path, TFileMode::Create), EFCreateError);
    EXPECT_EQ(ReadFileBytes(path), "kept");
}

TEST_F(FileStreamTest, ShortOrFailedWriteRaises) {
    TFileStream full("/dev/full", TFileMode::Create);
    try {
        full.Write("x", 1);
        FAIL() << "no error";
    } catch (const EWriteError& error) {
        EXPECT_EQ(error.Message(), "ストリームへの書き込みエラー");
    }
}

TEST_F(FileStreamTest, InjectedFaultsFailTheirOperation) {
    const std::string path = Folder.File("d.txt");
    SetFaultHook([](TFileOperation op, const std::string&) {
        return op == TFileOperation::Write ? ENOSPC : 0;
    });
    TFileStream stream(path, TFileMode::Create);
    EXPECT_THROW(stream.Write("abc", 3), EWriteError);
    SetFaultHook([](TFileOperation op, const std::string&) {
        return op == TFileOperation::Open ? EACCES : 0;
    });
    EXPECT_THROW(TFileStream(path, TFileMode::ReadDenyWrite), EFOpenError);
    SetFaultHook([](TFileOperation op, const std::string&) {
        return op == TFileOperation::Flush ? EIO : 0;
    });
    EXPECT_THROW(stream.Flush(), EWriteError);
    SetFaultHook([](TFileOperation op, const std::string&) {
        return op == TFileOperation::Close ? EIO : 0;
    });
    EXPECT_THROW(stream.Close(), EWriteError);
}

// A read that fails halfway through a file is an error, not its end: a list
// of lines, like the notes of a document, is not loaded cut short.
TEST_F(FileStreamTest, FailedReadIsAnErrorNotTheEnd) {
    const std::string path = Folder.File("long.txt");
    std::string text;
    while (text.size() < 3 * (std::size_t{1} << 20)) {
        text += "a line of the notes\r\n";
    }
    WriteFileBytes(path, text);
    int reads = 0;
    SetFaultHook([&](TFileOperation op, const std::string&) {
        return op == TFileOperation::Read && ++reads == 2 ? EIO : 0;
    });
    TStringList lines;
    lines.Add("kept");
    EXPECT_THROW(lines.LoadLines(path), EReadError);
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(lines[0], "kept");
    SetFaultHook({});
    lines.LoadLines(path);
    EXPECT_EQ(lines.Count(), text.size() / 21);
}

TEST_F(FileStreamTest, LongWritesStartTheirFlushAsTheyGo) {
    const std::string path = Folder.File("long.txt");
    int started = 0;
    int failing = 0; // the start that fails, none for 0
    SetFaultHook([&](TFileOperation op, const std::string&) {
        if (op != TFileOperation::Flush) {
            return 0;
        }
        return ++started == failing ? EIO : 0;
    });
    const std::string half(static_cast<std::size_t>(TFileStream::WriteBehind / 2), 'x');
    {
        TFileStream stream(path, TFileMode::Create);
        stream.Write(half.data(), half.size());
        EXPECT_EQ(started, 0);
        stream.Write(half.data(), half.size());
        EXPECT_EQ(started, 1);
        stream.Write("y", 1);
        stream.Write(half.data(), half.size());
        EXPECT_EQ(started, 1);
        failing = 2;
        EXPECT_THROW(stream.Write(half.data(), half.size()), EWriteError);
    }
    EXPECT_EQ(ReadFileBytes(path).size(), 4 * half.size() + 1);
    // Nothing to start for what is not a regular file.
    started = 0;
    failing = 1;
    TFileStream null("/dev/null", TFileMode::Create);
    null.Write(half.data(), half.size());
    null.Write(half.data(), half.size());
    EXPECT_EQ(started, 0);
}

} // namespace
} // namespace virevi
