// Every file operation of Save and of Open, failed in turn through the main
// window: the files on the disk stay byte for byte as they were, the open
// document with them, and the program's message is shown.
#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/qt/main_prompts.h"
#include "app/window_state.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/error_display.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "files/file_system.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "runtime/messages.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using Files = std::map<std::string, std::string>;

class TScriptedPrompts : public TMainPrompts {
public:
    std::string Folder;
    std::string OpenName;
    int SaveAnswer = mrNo;
    int AskSave() override { return SaveAnswer; }
    bool ChooseOpenFile(std::string_view, std::string& fileName) override {
        fileName = Folder + "/" + OpenName;
        return true;
    }
    bool ChooseSaveFile(std::string_view, std::string&) override { return false; }
    void Beep() override {}
};

const char* OperationName(TFileOperation operation) {
    switch (operation) {
    case TFileOperation::Open:
        return "open";
    case TFileOperation::Read:
        return "read";
    case TFileOperation::Write:
        return "write";
    case TFileOperation::Flush:
        return "flush";
    case TFileOperation::Rename:
        return "rename";
    case TFileOperation::Close:
        return "close";
    case TFileOperation::Remove:
        return "remove";
    case TFileOperation::Link:
        return "link";
    }
    return "?";
}

class FileFaultTest : public testing::Test {
protected:
    FileFaultTest() {
        Prompts.Folder = Folder.Path();
        Replaced = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box); });
        // "doc", saved before: the files every failed save must leave alone.
        test::WriteFileBytes(Folder.File("doc.Trr"), "a\r\n\tb\r\nc\r\n");
        test::WriteFileBytes(Folder.File("doc.Txt"), "a\r\nb\r\nc\r\n");
        test::WriteFileBytes(Folder.File("doc.Bin"), EncodeItemRecords({{0, 1}, {1, 1}, {2, 1}}));
        test::WriteFileBytes(Folder.File("mine.Trr"), "m\r\n");
        test::WriteFileBytes(Folder.File("mine.Txt"), "m\r\n");
        test::WriteFileBytes(Folder.File("mine.Bin"), EncodeItemRecords({{0, 1}}));
    }
    ~FileFaultTest() override {
        SetFaultHook({});
        SetErrorBoxDisplay(Replaced);
    }

    /// A window with document `name` open and "x" typed into its first
    /// note and committed, not saved.
    std::unique_ptr<TMain> Working(const std::string& name) {
        auto main = std::make_unique<TMain>();
        main->SetPrompts(&Prompts);
        Prompts.OpenName = name + ".Trr";
        main->mnOpenClick();
        main->moNote->setFocus();
        QTest::keyClicks(main->moNote, "x");
        // Open commits the note and then stops at the save prompt.
        Prompts.SaveAnswer = mrCancel;
        main->mnOpenClick();
        Prompts.SaveAnswer = mrNo;
        EXPECT_TRUE(main->Document().DocModified);
        return main;
    }

    Files FolderFiles() {
        Files files;
        for (const std::string& name : test::FileNamesIn(Folder.Path())) {
            files[name] = test::ReadFileBytes(Folder.File(name));
        }
        return files;
    }

    /// The operations `command` makes, and fails the one numbered `failing`
    /// (none for -1) with `error`.
    std::vector<std::string> Run(TMain& main, void (TMainCommands::*command)(), int failing,
                                 int error) {
        std::vector<std::string> operations;
        SetFaultHook([&](TFileOperation operation, const std::string&) {
            const bool fail = static_cast<int>(operations.size()) == failing;
            operations.emplace_back(OperationName(operation));
            return fail ? (operation == TFileOperation::Write ? ENOSPC : error) : 0;
        });
        Shown.clear();
        try {
            (main.*command)();
        } catch (const Exception&) {
            ShowException(std::current_exception());
        }
        SetFaultHook({});
        return operations;
    }

    test::TTempFolder Folder;
    TScriptedPrompts Prompts;
    TErrorBoxDisplay Replaced;
    std::vector<TErrorBox> Shown;
};

TEST_F(FileFaultTest, EveryFailedOperationOfSaveLeavesTheOldFilesAndTheDocument) {
    const Files old = FolderFiles();
    // The save as it goes without a fault: what each injected run is measured against.
    std::vector<std::string> operations;
    Files saved;
    {
        auto main = Working("doc");
        operations = Run(*main, &TMain::mnSaveClick, -1, 0);
        ASSERT_TRUE(Shown.empty());
        saved = FolderFiles();
        ASSERT_NE(saved, old);
    }
    ASSERT_FALSE(operations.empty());
    int failed = 0;
    int tolerated = 0;
    int leftovers = 0;
    std::string toleratedOperations;
    for (int k = 0; k < static_cast<int>(operations.size()); ++k) {
        SCOPED_TRACE("failing " + operations[k] + " #" + std::to_string(k));
        for (const std::string& name : test::FileNamesIn(Folder.Path())) {
            std::filesystem::remove(Folder.File(name));
        }
        for (const auto& [name, bytes] : old) {
            test::WriteFileBytes(Folder.File(name), bytes);
        }
        auto main = Working("doc");
        const test::TWindowState before = test::WindowState(*main);
        Run(*main, &TMain::mnSaveClick, k, EIO);
        if (!Shown.empty()) {
            ++failed;
            ASSERT_EQ(Shown.size(), 1u);
            EXPECT_EQ(Shown[0].Caption, msg::ApplicationTitle);
            EXPECT_EQ(FolderFiles(), old);
            EXPECT_EQ(test::WindowState(*main), before);
        } else {
            // Only the removal of the replaced files may fail: by then the
            // new ones are in place and flushed.
            EXPECT_EQ(operations[k], "remove");
            ++tolerated;
            toleratedOperations += operations[k] + " ";
            // Only a failed removal of the replaced files, kept under
            // hidden names until the new ones are safe, leaves them behind.
            Files files = FolderFiles();
            std::erase_if(files, [&](const auto& file) {
                const bool kept = file.first.starts_with(".virevi-");
                leftovers += kept ? 1 : 0;
                return kept;
            });
            EXPECT_EQ(files, saved);
            EXPECT_FALSE(main->Document().DocModified);
        }
    }
    std::cout << "save: " << operations.size() << " operations failed in turn, " << failed
              << " refused with the old files kept, " << tolerated << " saved regardless ("
              << leftovers << " replaced files left under hidden names)\n"
              << "saved regardless of a failed: " << toleratedOperations << "\n";
    EXPECT_GT(failed, 0);
}

TEST_F(FileFaultTest, EveryFailedOperationOfOpenLeavesTheOpenDocument) {
    const Files old = FolderFiles();
    std::vector<std::string> operations;
    test::TWindowState loaded;
    {
        auto main = Working("mine");
        Prompts.OpenName = "doc.Trr";
        operations = Run(*main, &TMain::mnOpenClick, -1, 0);
        ASSERT_TRUE(Shown.empty());
        ASSERT_EQ(QFile::encodeName(main->windowTitle()).toStdString(), Folder.File("doc"));
        loaded = test::WindowState(*main);
    }
    ASSERT_FALSE(operations.empty());
    int failed = 0;
    int tolerated = 0;
    for (int k = 0; k < static_cast<int>(operations.size()); ++k) {
        SCOPED_TRACE("failing " + operations[k] + " #" + std::to_string(k));
        auto main = Working("mine");
        const test::TWindowState before = test::WindowState(*main);
        Prompts.OpenName = "doc.Trr";
        Run(*main, &TMain::mnOpenClick, k, EIO);
        if (!Shown.empty()) {
            ++failed;
            ASSERT_EQ(Shown.size(), 1u);
            EXPECT_EQ(Shown[0].Caption, msg::ApplicationTitle);
            EXPECT_EQ(test::WindowState(*main), before);
        } else {
            // Only a file already read whole may fail to close; a failed
            // read taken for the end would load the document cut short.
            EXPECT_EQ(operations[k], "close");
            ++tolerated;
            EXPECT_EQ(test::WindowState(*main), loaded);
        }
        EXPECT_EQ(FolderFiles(), old);
    }
    std::cout << "open: " << operations.size() << " operations failed in turn, " << failed
              << " refused with the document kept, " << tolerated << " loaded regardless\n";
    EXPECT_GT(failed, 0);
}

// A small file system of its own, mounted for the test where the system lets
// it (it takes the right to mount), so that a save meets a really full disk.
class TSmallDisk {
public:
    TSmallDisk(const std::string& path, const char* size) : Path_(path) {
        std::filesystem::create_directory(path);
        const std::string options = std::string("size=") + size + ",mode=0700";
        Mounted_ = ::mount("virevi-test", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.c_str()) == 0;
    }
    ~TSmallDisk() {
        if (Mounted_) {
            ::umount2(Path_.c_str(), MNT_DETACH);
        }
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    bool Mounted() const { return Mounted_; }

    /// Fills the disk with a file of its own until `room` bytes are left
    /// (or less, where the disk counts in larger units).
    void LeaveRoom(std::uint64_t room) const {
        struct statvfs disk {};
        ASSERT_EQ(::statvfs(Path_.c_str(), &disk), 0);
        const std::uint64_t free = std::uint64_t{disk.f_bavail} * disk.f_frsize;
        if (free <= room) {
            return;
        }
        const int fd = ::open((Path_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::posix_fallocate(fd, 0, static_cast<off_t>(free - room)), 0);
        ::close(fd);
    }

private:
    std::string Path_;
    bool Mounted_ = false;
};

TEST_F(FileFaultTest, SaveOnAFullDiskKeepsTheOldFilesAtEveryAmountOfRoom) {
    TSmallDisk disk(Folder.File("small"), "1m");
    if (!disk.Mounted()) {
        GTEST_SKIP() << "this system does not let the test mount a file system";
    }
    const Files old = {{"doc.Trr", test::ReadFileBytes(Folder.File("doc.Trr"))},
                       {"doc.Txt", test::ReadFileBytes(Folder.File("doc.Txt"))},
                       {"doc.Bin", test::ReadFileBytes(Folder.File("doc.Bin"))}};
    // A note of 2,000 lines, 200 KB, appended: the save needs that much room and more.
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += std::to_string(i) + std::string(94, 'n') + "\r\n";
    }
    test::WriteFileBytes(Folder.File("added.txt"), text);
    const auto smallFiles = [&] {
        Files files;
        for (const std::string& name : test::FileNamesIn(Folder.File("small"))) {
            if (name != "filler") {
                files[name] = test::ReadFileBytes(Folder.File("small/" + name));
            }
        }
        return files;
    };

    constexpr std::uint64_t Step = 4096;
    int refused = 0;
    bool saved = false;
    std::set<std::string> messages;
    for (std::uint64_t room = 0; !saved && room <= 1024 * 1024; room += Step) {
        SCOPED_TRACE("room " + std::to_string(room));
        for (const std::string& name : test::FileNamesIn(Folder.File("small"))) {
            std::filesystem::remove(Folder.File("small/" + name));
        }
        for (const auto& [name, bytes] : old) {
            test::WriteFileBytes(Folder.File("small/" + name), bytes);
        }
        disk.LeaveRoom(room);
        TMain main;
        main.SetPrompts(&Prompts);
        Prompts.OpenName = "small/doc.Trr";
        main.mnOpenClick();
        Prompts.OpenName = "added.txt";
        main.mnAddClick();
        ASSERT_TRUE(main.Document().DocModified);
        const test::TWindowState before = test::WindowState(main);
        Run(main, &TMain::mnSaveClick, -1, 0);
        if (Shown.empty()) {
            saved = true;
            EXPECT_FALSE(main.Document().DocModified);
            EXPECT_NE(test::ReadFileBytes(Folder.File("small/doc.Txt")).find(text),
                      std::string::npos);
            break;
        }
        ++refused;
        ASSERT_EQ(Shown.size(), 1u);
        messages.insert(Shown[0].Text);
        // Nothing of the failed save is left: no new file, no partial one.
        EXPECT_EQ(smallFiles(), old);
        EXPECT_EQ(test::WindowState(main), before);
    }
    std::cout << "full disk: " << refused << " saves refused with the old files kept, from 0 to "
              << refused * Step << " bytes of room, then saved; messages:";
    for (const std::string& message : messages) {
        std::cout << " \"" << message << "\"";
    }
    std::cout << "\n";
    EXPECT_TRUE(saved);
    EXPECT_GT(refused, 40); // the note alone needs 200 KB
}

} // namespace
} // namespace virevi
