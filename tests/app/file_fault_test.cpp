// Every file operation of Save and of Open, failed in turn through the main
// window: the files on the disk stay byte for byte as they were, the open
// document with them, and the program's message is shown.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_prompts.h"
#include "app/window_state.h"
#include "dialogs/error_display.h"
#include "dialogs/message_layout.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/memo.h"
#include "files/file_system.h"
#include "outline/outline.h"
#include "outline/outline_node.h"
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
    std::vector<std::string> Run(TMain& main, void (TMain::*command)(), int failing, int error) {
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
    {
        auto main = Working("mine");
        Prompts.OpenName = "doc.Trr";
        operations = Run(*main, &TMain::mnOpenClick, -1, 0);
        ASSERT_TRUE(Shown.empty());
        ASSERT_EQ(QFile::encodeName(main->windowTitle()).toStdString(), Folder.File("doc"));
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
            ++tolerated;
            EXPECT_EQ(QFile::encodeName(main->windowTitle()).toStdString(), Folder.File("doc"));
        }
        EXPECT_EQ(FolderFiles(), old);
    }
    std::cout << "open: " << operations.size() << " operations failed in turn, " << failed
              << " refused with the document kept, " << tolerated << " loaded regardless\n";
    EXPECT_GT(failed, 0);
}

} // namespace
} // namespace virevi
