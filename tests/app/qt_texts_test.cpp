// Qt's own texts, under the program's own application object.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QMenu>

#include <string>
#include <vector>

#include "editor/memo.h"

namespace virevi {
namespace {

// The interface is Japanese whatever the locale: what Qt draws itself too.
TEST(QtTextsTest, TheEditorsMenuAndTheFileDialogAreJapanese) {
    TMemo memo;
    QMenu* menu = memo.createStandardContextMenu();
    std::vector<std::string> texts;
    for (QAction* action : menu->actions()) {
        texts.push_back(action->text().toStdString());
    }
    delete menu;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    for (const char* label : {"fileNameLabel", "fileTypeLabel"}) {
        texts.push_back(
            dialog.findChild<QLabel*>(QString::fromLatin1(label))->text().toStdString());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "元に戻す(&U)\tCtrl+Z", "やり直す(&R)\tCtrl+Y", "", "切り取り(&T)\tCtrl+X",
                         "コピー(&C)\tCtrl+C", "貼り付け(&P)\tCtrl+V", "削除", "",
                         "すべてを選択\tCtrl+A", "ファイル名(&N):", "ファイルの種類:"}));
}

} // namespace
} // namespace virevi
