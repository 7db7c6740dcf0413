#pragma once
// The main window's questions asked through the platform's dialogs.
#include <QString>

#include <memory>
#include <string>
#include <string_view>

#include "app/prompts.h"

class QFileDialog;
class QWidget;

namespace virevi {

/// The prompts through the platform's dialogs. The two file dialogs live as
/// long as this object, so each offers the name chosen last again; Open and
/// Add text share `dlOpen` and so each other's last name.
class TMainDialogs : public TMainPrompts {
public:
    explicit TMainDialogs(QWidget* owner);
    ~TMainDialogs() override;
    TMainDialogs(const TMainDialogs&) = delete;
    TMainDialogs& operator=(const TMainDialogs&) = delete;

    int AskSave() override;
    bool ChooseOpenFile(std::string_view filter, std::string& fileName) override;
    bool ChooseSaveFile(std::string_view filter, std::string& fileName) override;
    void Beep() override;

    QFileDialog* dlOpen;
    QFileDialog* dlSave;

private:
    bool Choose(QFileDialog& dialog, QString& lastName, std::string_view filter,
                std::string& fileName);

    QString LastOpenName_;
    QString LastSaveName_;
};

} // namespace virevi
