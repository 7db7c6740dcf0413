#include "app/qt/main_prompts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>

#include "dialogs/dialog_answer.h"
#include "runtime/messages.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

class MainDialogsTest : public testing::Test {
protected:
    // Checks what the dialog offers, then chooses `path`.
    void Choose(const std::string& path, QStringList filters, QString offered) {
        test::WhenModalOpens<QFileDialog>([=](QFileDialog& dialog) {
            EXPECT_EQ(dialog.nameFilters(), filters);
            if (!offered.isEmpty()) {
                EXPECT_EQ(dialog.selectedFiles().value(0), offered);
            }
            EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);
            EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
            EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            EXPECT_TRUE(dialog.isSizeGripEnabled());
            // As typed: a shown dialog leaves a focused name box alone on selectFile.
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QFile::decodeName(QByteArray::fromStdString(path)));
            static_cast<QDialog&>(dialog).accept();
        });
    }

    test::TTempFolder Folder;
    QWidget Owner;
    TMainDialogs Dialogs{&Owner};
    const QStringList Outline{QStringLiteral("virevi(*.Trr)")};
    const QStringList AllFiles{QString::fromUtf8("すべてのファイル(*.*) (*)")};
};

TEST_F(MainDialogsTest, OpenAndAddTextShareTheLastNameWhichNeedNotExist) {
    const std::string plan = Folder.File("plan.Trr");
    const std::string notes = Folder.File("notes.txt"); // neither file exists
    std::string chosen;

    Choose(plan, Outline, QString());
    ASSERT_TRUE(Dialogs.ChooseOpenFile(msg::DocumentFilter, chosen));
    EXPECT_EQ(chosen, plan);

    Choose(notes, AllFiles, QString::fromStdString(plan));
    ASSERT_TRUE(Dialogs.ChooseOpenFile(msg::AllFilesFilter, chosen));
    EXPECT_EQ(chosen, notes);

    // The save dialog keeps a name of its own.
    Choose(plan, Outline, QString());
    ASSERT_TRUE(Dialogs.ChooseSaveFile(msg::DocumentFilter, chosen));
    EXPECT_EQ(Dialogs.dlSave->acceptMode(), QFileDialog::AcceptSave);
}

TEST_F(MainDialogsTest, CancelledDialogLeavesTheNameAlone) {
    std::string chosen = "kept";
    test::WhenModalOpens<QFileDialog>(
        [](QFileDialog& dialog) { static_cast<QDialog&>(dialog).reject(); });
    EXPECT_FALSE(Dialogs.ChooseSaveFile(msg::DocumentFilter, chosen));
    EXPECT_EQ(chosen, "kept");
}

} // namespace
} // namespace virevi
