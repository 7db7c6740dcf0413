#pragma once
// The main window: the outline on the left, the note editor on the right and
// the open document behind them. The commands are the core's; the window
// builds the widgets, asks through the real dialogs and routes the menu, the
// tool bar and the short-cuts to the commands.
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/main_commands.h"

class QCloseEvent;
class QLabel;

namespace virevi {

class TFindForm;
class TMainDialogs;
class TMemo;
class TNotePrinter;
class TOutline;

class TMain : public QMainWindow, public TMainCommands {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);
    ~TMain() override;

    TOutline* olTree;
    TMemo* moNote;
    /// The position label: "3 / 12", "3 / 12*" while modified.
    QLabel* lbIndex;

    TDocument& Document() override { return *Document_; }

    /// Who answers the commands' questions; none gives the real dialogs back.
    void SetPrompts(TMainPrompts* prompts);
    /// The real dialogs, dlOpen and dlSave.
    TMainDialogs& Dialogs() { return *Dialogs_; }

    /// The Print command's printer and print dialog, made when first needed.
    TNotePrinter& NotePrinter();
    /// Prints the lines the editor holds (the Print command); by default
    /// through NotePrinter().
    std::function<void(const TMemoLines& note)> PrintNote;
    /// Shows the About box modally.
    std::function<void()> ShowAbout;

    /// The find dialog, made when first needed.
    TFindForm& FindForm();

    /// Opens the document `fileName` names (one of its three files, or its
    /// base path) as Open does once its dialog is answered, from the event
    /// loop, so that a failure reaches the error display over the new
    /// document. Nothing for an empty name.
    void OpenAtStartUp(const std::string& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;

    TOutlineTree& Tree() override;
    TMemoLines& Editor() override;
    TMainPrompts& Prompts() override { return *Prompts_; }
    void SetPositionText(const std::string& text) override;
    bool PositionShown() const override;
    bool EditorPainting() const override;
    void SetEditorPainting(bool painting) override;
    void CloseWindow() override;
    void PrintEditor() override;
    void ShowAboutBox() override;
    void OpenFindDialog(const std::string& text, bool matchCase) override;
    void ShowNotFound(const std::string& text) override;
    void MatchShown() override;

private:
    std::unique_ptr<TDocument> Document_;
    std::unique_ptr<TMainDialogs> Dialogs_;
    std::unique_ptr<TNotePrinter> NotePrinter_;
    TFindForm* FindForm_ = nullptr; // owned by the window
    TMainPrompts* Prompts_ = nullptr;
};

} // namespace virevi
