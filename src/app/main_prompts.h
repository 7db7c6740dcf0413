#pragma once
// What the main window's commands ask of the person at the keyboard: the save
// prompt, the names of files to open and save, and the beep of a refusal.
// TMainDialogs asks through the real dialogs; tests script the answers.
#include <QString>

#include <memory>
#include <string>
#include <string_view>

class QFileDialog;
class QWidget;

namespace virevi {

class TMainPrompts {
public:
    virtual ~TMainPrompts() = default;

    /// The save prompt; mrYes, mrNo or mrCancel (also for the close box).
    virtual int AskSave() = 0;
    /// The open-file dialog `dlOpen` with `filter` ("description|pattern");
    /// false when cancelled. `fileName` gets the path's bytes.
    virtual bool ChooseOpenFile(std::string_view filter, std::string& fileName) = 0;
    /// The save-file dialog `dlSave`, likewise.
    virtual bool ChooseSaveFile(std::string_view filter, std::string& fileName) = 0;
    /// The signal of a refusal; nothing is shown.
    virtual void Beep() = 0;
};

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
