#pragma once
// The main window's commands and its document state, over the document, the
// outline's tree, the note editor's lines and the questions the commands ask
// of the user. Nothing here knows the widgets: the window supplies them and
// the few things only a window can do (the position label, the dialogs of
// Find, Print and About, closing itself).
#include <cstdint>
#include <string>

namespace virevi {

enum class TCommand : std::uint8_t;
class TOutlineTree;
class TDocument;
class TMainPrompts;
class TMemoLines;

class TMainCommands {
public:
    virtual ~TMainCommands();

    /// While set, a selection change loads no note: a command is moving it.
    bool SelectLock = false;
    /// The splitter is being dragged.
    bool Dragging = false;

    /// The open document: NotePool, the item records, DocModified, the caption.
    virtual TDocument& Document() = 0;

    /// Runs the handler of `command`, as the menu, the tool bar and the
    /// short-cuts do; nothing for TCommand::None.
    void Run(TCommand command);

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
    // What the commands work on.
    virtual TOutlineTree& Tree() = 0;
    virtual TMemoLines& Editor() = 0;
    virtual TMainPrompts& Prompts() = 0;

    // What only the window can do.
    virtual void SetPositionText(const std::string& text) = 0;
    /// The label stays empty until the position is first shown.
    virtual bool PositionShown() const = 0;
    /// Whether the editor paints; off while a split rebuilds its text.
    virtual bool EditorPainting() const = 0;
    virtual void SetEditorPainting(bool painting) = 0;
    virtual void CloseWindow() = 0;
    /// Prints what the editor holds.
    virtual void PrintEditor() = 0;
    virtual void ShowAboutBox() = 0;
    /// Opens the find dialog, with `text` (Shift-JIS) in it when there is one.
    virtual void OpenFindDialog(const std::string& text, bool matchCase) = 0;
    /// Says that `text` (Shift-JIS) is in no note.
    virtual void ShowNotFound(const std::string& text) = 0;
    /// A match is selected in the editor; the window lets it show.
    virtual void MatchShown() = 0;

    /// Loads the document of a chosen file name, as Open does.
    void OpenFile(const std::string& fileName);

private:
    /// Commits the note being edited into the selected item.
    void CommitSelected();
    /// Gives an outline loaded without items the item of a new document.
    void EnsureItem();

    std::string LastSearch_;
    bool LastMatchCase_ = false;
};

} // namespace virevi
