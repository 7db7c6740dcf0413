#pragma once
// The main window: the outline on the left, the note editor on the right,
// the open document behind them and every command of the program.
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCloseEvent;
class QLabel;

namespace virevi {

enum class TCommand : std::uint8_t;

class TDocument;
class TFindForm;
class TMainDialogs;
class TMainPrompts;
class TMemo;
class TMemoLines;
class TNotePrinter;
class TOutline;

class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);
    ~TMain() override;

    TOutline* olTree;
    TMemo* moNote;
    /// The position label: "3 / 12", "3 / 12*" while modified.
    QLabel* lbIndex;

    /// The open document: NotePool, the item records, DocModified, the caption.
    TDocument& Document() { return *Document_; }
    /// While set, a selection change loads no note: a command is moving it.
    bool SelectLock = false;
    /// The splitter is being dragged.
    bool Dragging = false;

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

    /// Writes the position label and focuses the editor.
    void ShowPosition();
    /// Writes the position label alone: the selected item, the item count,
    /// and "*" while anything is unsaved, in the document or in the editor.
    void ShowLabel();
    /// The untitled document of one item captioned " ", not modified.
    void InitDocument();
    /// Empties the editor, the pool and the outline.
    void ClearDocument();
    void ResetDocument();
    void FormCreate();
    void FormDestroy();

    void olTreeEnter();
    void olTreeClick();

    void mnInsNodeClick();
    void mnAddNodeClick();
    /// Refused with a beep when no item would be left.
    void mnDelClick();
    void mnCutClick();
    void mnCopyClick();
    void mnPasteClick();
    /// The text before the caret goes to a new item above; the clipboard is not used.
    void mnSplitClick();
    void mnPrevNodeClick();
    void mnNextNodeClick();
    void mnLevelDownClick();
    void mnLevelUpClick();
    /// Opens the find dialog with the last search in it, selected.
    void mnFindClick();
    /// Finds the last search again after the caret; opens the dialog when
    /// there has been none.
    void mnFindNextClick();
    /// Finds `text` (Shift-JIS) after the caret, then in the notes of the
    /// following items, then once around, and shows the match as a click on
    /// its item would, its collapsed ancestors opened; says so when there is
    /// none. An empty text does nothing; one longer than a line is refused.
    void FindNext(const std::string& text, bool matchCase);
    /// The find dialog, made when first needed.
    TFindForm& FindForm();

    /// Opens the document `fileName` names (one of its three files, or its
    /// base path) as Open does once its dialog is answered, from the event
    /// loop, so that a failure reaches the error display over the new
    /// document. Nothing for an empty name.
    void OpenAtStartUp(const std::string& fileName);

    /// Runs the handler of `command`; nothing for TCommand::None.
    void Run(TCommand command);

    void mnNewClick();
    /// Asks about unsaved work once, before the file is chosen.
    void mnOpenClick();
    void mnSaveClick();
    void mnSaveAsClick();
    void mnAddClick();
    void mnuPrintClick();
    void About1Click();
    void mnExitClick();
    /// After Yes, closes only when the document was saved.
    void FormCloseQuery(bool& canClose);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
private:
    /// Commits the note being edited into the selected item.
    void CommitSelected();
    /// Gives an outline loaded without items the item of a new document.
    void EnsureItem();
    /// Loads the document of a chosen file name.
    void OpenFile(const std::string& fileName);

    std::unique_ptr<TDocument> Document_;
    std::unique_ptr<TMainDialogs> Dialogs_;
    std::unique_ptr<TNotePrinter> NotePrinter_;
    TFindForm* FindForm_ = nullptr; // owned by the window
    std::string LastSearch_;
    bool LastMatchCase_ = false;
    TMainPrompts* Prompts_ = nullptr;
};

} // namespace virevi
