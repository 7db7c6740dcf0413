// Qt's own texts, under the program's own application object.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QMenu>

#include <string>
#include <vector>

#include "editor/qt/memo.h"

namespace virevi {
namespace {

// The interface is Japanese whatever the locale: what Qt draws itself too.
TEST(QtTextsTest, TheEditorsMenuAndTheFileDialogAreJapanese) {
    TMemo memo;
    QMenu* menu = memo.createStandardContextMenu();
    std::vector<std::string> texts;
    for (QAction* action : menu->actions()) {
        // The short-cut after the tab is the platform's.
        texts.push_back(action->text().section(QLatin1Char('\t'), 0, 0).toStdString());
    }
    delete menu;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    for (const char* label : {"fileNameLabel", "fileTypeLabel"}) {
        texts.push_back(
            dialog.findChild<QLabel*>(QString::fromLatin1(label))->text().toStdString());
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"元に戻す(&U)", "やり直す(&R)", "", "切り取り(&T)",
                                        "コピー(&C)", "貼り付け(&P)", "削除", "", "すべてを選択",
                                        "ファイル名(&N):", "ファイルの種類:"}));
}

} // namespace
} // namespace virevi
