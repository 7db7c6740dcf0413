#include "app/qt/main_prompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

#include "app/main_state.h"
#include "dialogs/qt/message_form.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

// Read-only box: the platform's dialog has none to show. No default
// extension, no overwrite question, any name accepted whether it exists or not.
void SetUp(QFileDialog& dialog, const char* name, QFileDialog::AcceptMode mode) {
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setSizeGripEnabled(true);
}

} // namespace

TMainDialogs::TMainDialogs(QWidget* owner)
    : dlOpen(new QFileDialog(owner)), dlSave(new QFileDialog(owner)) {
    SetUp(*dlOpen, "dlOpen", QFileDialog::AcceptOpen);
    SetUp(*dlSave, "dlSave", QFileDialog::AcceptSave);
}

TMainDialogs::~TMainDialogs() = default;

int TMainDialogs::AskSave() {
    return AskToSave();
}

bool TMainDialogs::ChooseOpenFile(std::string_view filter, std::string& fileName) {
    return Choose(*dlOpen, LastOpenName_, filter, fileName);
}

bool TMainDialogs::ChooseSaveFile(std::string_view filter, std::string& fileName) {
    return Choose(*dlSave, LastSaveName_, filter, fileName);
}

void TMainDialogs::Beep() {
    QApplication::beep();
}

bool TMainDialogs::Choose(QFileDialog& dialog, QString& lastName, std::string_view filter,
                          std::string& fileName) {
    QStringList filters;
    for (const std::string& nameFilter : NameFiltersOf(filter)) {
        filters.append(QString::fromUtf8(nameFilter));
    }
    dialog.setNameFilters(filters);
    if (!lastName.isEmpty()) {
        dialog.selectFile(lastName);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) {
        return false;
    }
    lastName = files.first();
    fileName = QFile::encodeName(lastName).toStdString();
    return true;
}

} // namespace virevi
