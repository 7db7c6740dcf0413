#include "document/atomic_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_system.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::ReadFileBytes;
using test::TTempFolder;
using test::WriteFileBytes;

struct ESaveFailed : std::runtime_error {
    ESaveFailed(TSaveStep step, int error)
        : std::runtime_error("save failed"), Step(step), Error(error) {}
    TSaveStep Step;
    int Error;
};

TAtomicSave::TFailure Raise() {
    return [](TSaveStep step, int error) { throw ESaveFailed(step, error); };
}

class AtomicSaveTest : public testing::Test {
protected:
    void TearDown() override { SetFaultHook({}); }

    // Saves "new a" and "new b" over a and b.
    void SaveBoth() {
        TAtomicSave save;
        const std::string a = save.Add(Folder.File("a"), Raise());
        const std::string b = save.Add(Folder.File("b"), Raise());
        WriteFileBytes(a, "new a");
        save.Finish(0);
        WriteFileBytes(b, "new b");
        save.Finish(1);
        save.Commit();
    }

    TTempFolder Folder;
};

TEST_F(AtomicSaveTest, ReplacesEveryTargetAndLeavesNothingElse) {
    WriteFileBytes(Folder.File("a"), "old a");
    SaveBoth();
    EXPECT_EQ(ReadFileBytes(Folder.File("a")), "new a");
    EXPECT_EQ(ReadFileBytes(Folder.File("b")), "new b");
    EXPECT_EQ(test::FileNamesIn(Folder.Path()), (std::vector<std::string>{"a", "b"}));
}

TEST_F(AtomicSaveTest, UncommittedSaveRemovesItsTemporaryFiles) {
    WriteFileBytes(Folder.File("a"), "old a");
    {
        TAtomicSave save;
        WriteFileBytes(save.Add(Folder.File("a"), Raise()), "new a");
    }
    EXPECT_EQ(ReadFileBytes(Folder.File("a")), "old a");
    EXPECT_EQ(test::FileNamesIn(Folder.Path()), (std::vector<std::string>{"a"}));
}

// Every file is on the disk before any target is replaced: each flush is
// started when its file is finished and waited for in the commit.
TEST_F(AtomicSaveTest, NothingIsRenamedBeforeEveryFileIsFlushed) {
    WriteFileBytes(Folder.File("a"), "old a");
    std::vector<std::string> steps;
    SetFaultHook([&](TFileOperation operation, const std::string& path) {
        if (operation == TFileOperation::Flush) {
            steps.push_back(path.empty() ? "flush file" : "flush folder");
        } else if (operation == TFileOperation::Rename) {
            steps.push_back("rename");
        }
        return 0;
    });
    SaveBoth();
    EXPECT_EQ(steps, (std::vector<std::string>{"flush file", "flush file", "flush file",
                                               "flush file", "rename", "rename", "flush folder"}));
}

TEST_F(AtomicSaveTest, CommitFinishesFilesNotFinishedYet) {
    TAtomicSave save;
    WriteFileBytes(save.Add(Folder.File("a"), Raise()), "new a");
    int flushes = 0;
    SetFaultHook([&](TFileOperation operation, const std::string& path) {
        flushes += operation == TFileOperation::Flush && path.empty() ? 1 : 0;
        return 0;
    });
    save.Commit();
    EXPECT_EQ(flushes, 2);
    EXPECT_EQ(ReadFileBytes(Folder.File("a")), "new a");
    EXPECT_EQ(test::FileNamesIn(Folder.Path()), (std::vector<std::string>{"a"}));
}

TEST_F(AtomicSaveTest, FailedFlushWaitLeavesOldFilesAndNoTemporary) {
    WriteFileBytes(Folder.File("a"), "old a");
    bool failed = false;
    {
        TAtomicSave save;
        WriteFileBytes(save.Add(Folder.File("a"), Raise()), "new a");
        save.Finish(0);
        SetFaultHook([](TFileOperation operation, const std::string&) {
            return operation == TFileOperation::Flush ? EIO : 0;
        });
        try {
            save.Commit();
        } catch (const ESaveFailed& failure) {
            failed = failure.Step == TSaveStep::Flush && failure.Error == EIO;
        }
        SetFaultHook({});
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(ReadFileBytes(Folder.File("a")), "old a");
    EXPECT_EQ(test::FileNamesIn(Folder.Path()), (std::vector<std::string>{"a"}));
}

TEST_F(AtomicSaveTest, KeepsThePermissionsOfTheReplacedFile) {
    WriteFileBytes(Folder.File("a"), "old a");
    ::chmod(Folder.File("a").c_str(), 0640);
    SaveBoth();
    struct stat info {};
    ASSERT_EQ(::stat(Folder.File("a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AtomicSaveTest, WritesThroughSymbolicLinkAndKeepsIt) {
    std::filesystem::create_directory(Folder.File("real"));
    WriteFileBytes(Folder.File("real/a"), "old a");
    std::filesystem::create_symlink("real/a", Folder.File("a"));
    SaveBoth();
    EXPECT_TRUE(std::filesystem::is_symlink(Folder.File("a")));
    EXPECT_EQ(ReadFileBytes(Folder.File("real/a")), "new a");
    EXPECT_EQ(test::FileNamesIn(Folder.File("real")), (std::vector<std::string>{"a"}));
}

TEST_F(AtomicSaveTest, RefusesReadOnlyTargetBeforeCreatingAnything) {
    test::OpenToOthers(Folder.Path());
    WriteFileBytes(Folder.File("a"), "old a");
    ::chmod(Folder.File("a").c_str(), 0444);
    // Others may write the folder, so only the file's own bits refuse.
    ::chmod(Folder.Path().c_str(), 0777);
    bool refused = false;
    test::RunWithPermissionChecks([&] {
        TAtomicSave save;
        try {
            save.Add(Folder.File("a"), Raise());
        } catch (const ESaveFailed& failure) {
            refused = failure.Step == TSaveStep::Reserve && failure.Error == EACCES;
        }
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(ReadFileBytes(Folder.File("a")), "old a");
    EXPECT_EQ(test::FileNamesIn(Folder.Path()), (std::vector<std::string>{"a"}));
}

} // namespace
} // namespace virevi
