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
