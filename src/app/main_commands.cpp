#include "app/main_commands.h"

#include <optional>
#include <utility>
#include <vector>

#include "app/main_menu.h"
#include "app/main_state.h"
#include "app/prompts.h"
#include "dialogs/message_layout.h"
#include "document/base_path.h"
#include "document/document.h"
#include "document/item_record.h"
#include "document/note_search.h"
#include "editor/memo_lines.h"
#include "files/line_search.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/outline_tree.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/scope_guard.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {

// Holds SelectLock for one command, released on every way out.
auto LockSelection(bool& lock) {
    lock = true;
    return TScopeGuard([&lock] { lock = false; });
}

} // namespace

TMainCommands::~TMainCommands() = default;

void TMainCommands::Run(TCommand command) {
    // Every command the menu, the tool bar and the short-cuts offer, once.
    static constexpr std::pair<TCommand, void (TMainCommands::*)()> Handlers[] = {
        {TCommand::New, &TMainCommands::mnNewClick},
        {TCommand::Open, &TMainCommands::mnOpenClick},
        {TCommand::Save, &TMainCommands::mnSaveClick},
        {TCommand::SaveAs, &TMainCommands::mnSaveAsClick},
        {TCommand::Print, &TMainCommands::mnuPrintClick},
        {TCommand::AddText, &TMainCommands::mnAddClick},
        {TCommand::Exit, &TMainCommands::mnExitClick},
        {TCommand::InsNode, &TMainCommands::mnInsNodeClick},
        {TCommand::AddNode, &TMainCommands::mnAddNodeClick},
        {TCommand::Del, &TMainCommands::mnDelClick},
        {TCommand::Cut, &TMainCommands::mnCutClick},
        {TCommand::Copy, &TMainCommands::mnCopyClick},
        {TCommand::Paste, &TMainCommands::mnPasteClick},
        {TCommand::Split, &TMainCommands::mnSplitClick},
        {TCommand::PrevNode, &TMainCommands::mnPrevNodeClick},
        {TCommand::NextNode, &TMainCommands::mnNextNodeClick},
        {TCommand::LevelDown, &TMainCommands::mnLevelDownClick},
        {TCommand::LevelUp, &TMainCommands::mnLevelUpClick},
        {TCommand::About, &TMainCommands::About1Click},
        {TCommand::Find, &TMainCommands::mnFindClick},
        {TCommand::FindNext, &TMainCommands::mnFindNextClick},
    };
    for (const auto& [id, handler] : Handlers) {
        if (id == command) {
            (this->*handler)();
            return;
        }
    }
}

void TMainCommands::CommitSelected() {
    Document().CommitNote(Tree().SelectedIndex());
}

// --- document state -------------------------------------------------------

void TMainCommands::ShowPosition() {
    ShowLabel();
    Editor().SetFocus();
}

void TMainCommands::ShowLabel() {
    const bool unsaved = Document().DocModified || Editor().Modified();
    SetPositionText(PositionText(Tree().SelectedIndex(), Tree().TotalItems(), unsaved));
}

void TMainCommands::InitDocument() {
    Document().SetCaption(msg::UntitledCaption);
    Dragging = false;
    SelectLock = false;
    Document().DocModified = false;
    Document().AttachNewRecord(Tree().AddSibling(0, msg::NewItemCaption));
}

void TMainCommands::ClearDocument() {
    Editor().Clear();
    Document().NotePool.Clear();
    Document().FreeItemRecords();
}

void TMainCommands::ResetDocument() {
    ClearDocument();
    InitDocument();
    ShowPosition();
}

void TMainCommands::FormCreate() {
    InitDocument();
}

void TMainCommands::FormDestroy() {
    ClearDocument();
}

void TMainCommands::EnsureItem() {
    if (Tree().TotalItems() > 0) {
        return;
    }
    Document().AttachNewRecord(Tree().AddSibling(0, msg::NewItemCaption));
    Tree().SetSelectedIndex(1);
    Document().LoadNote();
    ShowPosition();
}

// --- the outline's events -------------------------------------------------

void TMainCommands::olTreeEnter() {
    CommitSelected();
}

void TMainCommands::olTreeClick() {
    // The label follows every selection change, a command's included.
    if (PositionShown()) {
        ShowLabel();
    }
    if (SelectLock) {
        return;
    }
    Document().LoadNote();
    // Showing the note can settle the editor's flag without telling anyone.
    if (PositionShown()) {
        ShowLabel();
    }
    Editor().SetFocus();
}

// --- editing commands -----------------------------------------------------

void TMainCommands::mnInsNodeClick() {
    CommitSelected();
    Editor().Clear();
    {
        const auto lock = LockSelection(SelectLock);
        const std::int32_t index = Tree().InsertBefore(Tree().SelectedIndex(), msg::NewItemCaption);
        if (index == 0) {
            // The outline has shown why; the selected note comes back.
            Document().LoadNote();
            return;
        }
        Document().AttachNewRecord(index);
        Tree().SetSelectedIndex(Tree().SelectedIndex() - 1);
    }
    Editor().SetModified(true);
    ShowPosition();
}

void TMainCommands::mnAddNodeClick() {
    CommitSelected();
    Editor().Clear();
    {
        const auto lock = LockSelection(SelectLock);
        const std::int32_t index = Tree().AddSibling(0, msg::NewItemCaption);
        if (index == 0) {
            Document().LoadNote();
            return;
        }
        Document().AttachNewRecord(index);
        Tree().SetSelectedIndex(index);
    }
    Editor().SetModified(true);
    ShowPosition();
}

void TMainCommands::mnDelClick() {
    const std::int32_t index = Tree().SelectedIndex();
    // The only item, or one whose subtree is the whole outline, would leave
    // no item behind for the commands to work on.
    if (index == 1 && Tree().ItemAt(index)->LastIndexInSubtree() == Tree().TotalItems()) {
        Prompts().Beep();
        return;
    }
    Document().ReleaseItemRecords(index);
    Tree().DeleteItem(index);
    Document().LoadNote();
    Document().DocModified = true;
    ShowLabel();
}

void TMainCommands::mnCutClick() {
    Editor().CutToClipboard();
}

void TMainCommands::mnCopyClick() {
    Editor().CopyToClipboard();
    Editor().SetSelLength(0);
}

void TMainCommands::mnPasteClick() {
    Editor().PasteFromClipboard();
}

void TMainCommands::mnSplitClick() {
    // Frozen rather than hidden: hiding the focused editor would hand the
    // focus to the outline, whose enter event commits the whole note.
    const bool painting = EditorPainting();
    SetEditorPainting(false);
    const TScopeGuard thaw([this, painting] { SetEditorPainting(painting); });
    const TNoteSplit split = SplitNoteAtCaret(Editor());
    {
        const auto lock = LockSelection(SelectLock);
        if (Tree().InsertBefore(Tree().SelectedIndex(), "") == 0) {
            return;
        }
        Editor().Assign(split.After);
        Editor().SetModified(true);
        CommitSelected();
        Editor().Assign(split.Before);
        Editor().SetModified(true);
        Document().AttachNewRecord(Tree().SelectedIndex() - 1);
        Tree().SetSelectedIndex(Tree().SelectedIndex() - 1);
        CommitSelected();
        Editor().SetFocus();
    }
    ShowLabel();
}

void TMainCommands::mnPrevNodeClick() {
    CommitSelected();
    // The shown items are the rows: the previous shown item is the row above.
    const std::int32_t row = Tree().RowOf(Tree().ItemAt(Tree().SelectedIndex()));
    if (row == 0) {
        Prompts().Beep();
        return;
    }
    Tree().SetSelectedIndex(Tree().ItemOnRow(row - 1)->Index());
    ShowPosition();
}

void TMainCommands::mnNextNodeClick() {
    CommitSelected();
    const std::int32_t row = Tree().RowOf(Tree().ItemAt(Tree().SelectedIndex()));
    if (row + 1 >= Tree().RootItem()->ShownCount()) {
        Prompts().Beep();
        return;
    }
    Tree().SetSelectedIndex(Tree().ItemOnRow(row + 1)->Index());
    ShowPosition();
}

// A level change is a change of the document, whether or not a note was
// edited: the next save writes it, and closing asks before it is lost.
void TMainCommands::mnLevelDownClick() {
    CommitSelected();
    try {
        Tree().ItemAt(Tree().SelectedIndex())->ShiftLevel(+1);
        Document().DocModified = true;
        Document().LoadNote();
    } catch (const EOutlineError&) {
        Prompts().Beep();
    }
    ShowLabel();
}

void TMainCommands::mnLevelUpClick() {
    CommitSelected();
    try {
        const std::int32_t index = Tree().SelectedIndex();
        TOutlineNode* item = Tree().ItemAt(index);
        if (item->Parent()->NextSiblingIndex(index) == -1) {
            Prompts().Beep();
            return;
        }
        item->ShiftLevel(-1);
        Document().DocModified = true;
    } catch (const EOutlineError&) {
        Prompts().Beep();
    }
    ShowLabel();
}

// --- finding --------------------------------------------------------------

void TMainCommands::mnFindClick() {
    OpenFindDialog(LastSearch_, LastMatchCase_);
}

void TMainCommands::mnFindNextClick() {
    if (LastSearch_.empty()) {
        mnFindClick();
        return;
    }
    FindNext(LastSearch_, LastMatchCase_);
}

void TMainCommands::FindNext(const std::string& text, bool matchCase) {
    if (text.empty()) {
        return;
    }
    if (text.size() > MostSearchBytes) {
        Prompts().Beep();
        return;
    }
    LastSearch_ = text;
    LastMatchCase_ = matchCase;
    // After the selection, so that the match shown last is passed over; read
    // before the commit, whose word-wrap switch puts the caret at 0.
    const std::size_t caret = Editor().SelStart() + Editor().SelLength();
    CommitSelected();
    const TStringList& pool = Document().NotePool;
    const std::int32_t index = Tree().SelectedIndex();
    const auto noteOf = [&](std::int32_t at) {
        const ItemRecord* record = TDocument::RecordOf(Tree().ItemAt(at));
        const bool inPool =
            record != nullptr && record->Start >= 0 && record->Count > 0 &&
            static_cast<std::uint64_t>(record->Start) + record->Count <= pool.Count();
        return inPool ? ItemRecord{*record} : ItemRecord{0, 0};
    };
    const ItemRecord note = noteOf(index);
    const TLinePlace from = NotePlaceOf(pool, static_cast<std::size_t>(note.Start),
                                        static_cast<std::size_t>(note.Count), caret);
    const std::optional<TNoteMatch> match =
        FindInNotes(Tree(), pool, index, from, TSearchPattern(text, matchCase));
    if (!match) {
        ShowNotFound(text);
        return;
    }

    // Shown as a click shows an item: the commit is done, and the selection
    // change loads the note.
    TOutlineNode* item = Tree().ItemAt(match->Index);
    {
        const auto lock = LockSelection(SelectLock);
        std::vector<TOutlineNode*> closed;
        for (TOutlineNode* parent = item->Parent();
             parent != Tree().RootItem() && !parent->Expanded(); parent = parent->Parent()) {
            closed.push_back(parent);
        }
        for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
            (*it)->SetExpanded(true);
        }
    }
    Tree().SetSelectedIndex(match->Index);
    ShowPosition();
    const ItemRecord found = noteOf(match->Index);
    const auto first = static_cast<std::size_t>(found.Start);
    const std::string_view line = pool[first + match->Place.Line];
    Editor().SetSelStart(NoteOffsetOf(pool, first, match->Place));
    Editor().SetSelLength(CharCount(line.substr(match->Place.Column, match->Length)));
    MatchShown();
}

// --- file commands --------------------------------------------------------

void TMainCommands::mnNewClick() {
    CommitSelected();
    ShowPosition();
    if (!Document().DocModified) {
        ResetDocument();
        return;
    }
    switch (Prompts().AskSave()) {
    case mrYes:
        if (Document().Caption() != msg::UntitledCaption) {
            Document().SaveDocument(Document().Caption());
            ResetDocument();
            return;
        }
        if (std::string name; Prompts().ChooseSaveFile(msg::DocumentFilter, name)) {
            Document().SaveDocument(BasePathOf(name));
            ResetDocument();
        }
        return;
    case mrNo:
        ResetDocument();
        return;
    default:
        return;
    }
}

void TMainCommands::mnOpenClick() {
    CommitSelected();
    ShowPosition();
    if (Document().DocModified) {
        const int answer = Prompts().AskSave();
        if (answer != mrYes && answer != mrNo) {
            return;
        }
        if (answer == mrYes) {
            mnSaveClick();
            // The save-file dialog was cancelled: the work is still unsaved.
            if (Document().DocModified) {
                return;
            }
        }
    }
    std::string name;
    if (!Prompts().ChooseOpenFile(msg::DocumentFilter, name)) {
        return;
    }
    OpenFile(name);
}

void TMainCommands::OpenFile(const std::string& fileName) {
    Document().LoadDocument(BasePathOf(fileName));
    EnsureItem();
}

void TMainCommands::mnSaveClick() {
    if (Document().Caption() != msg::UntitledCaption) {
        Document().SaveDocument(Document().Caption());
        return;
    }
    mnSaveAsClick();
}

void TMainCommands::mnSaveAsClick() {
    std::string name;
    if (Prompts().ChooseSaveFile(msg::DocumentFilter, name)) {
        Document().SaveDocument(BasePathOf(name));
    }
}

void TMainCommands::mnAddClick() {
    std::string name;
    if (!Prompts().ChooseOpenFile(msg::AllFilesFilter, name)) {
        return;
    }
    const TScopeGuard focus([this] { Editor().SetFocus(); });
    TStringList lines;
    lines.LoadTextLines(name);
    CheckAddedLines(lines);
    Editor().SetWordWrap(false);
    Editor().AppendLines(lines);
    Editor().SetModified(true);
    CommitSelected();
    ShowPosition();
}

void TMainCommands::mnuPrintClick() {
    // What the editor holds is printed, committed or not.
    PrintEditor();
}

void TMainCommands::About1Click() {
    ShowAboutBox();
}

void TMainCommands::mnExitClick() {
    CloseWindow();
}

void TMainCommands::FormCloseQuery(bool& canClose) {
    CommitSelected();
    ShowPosition();
    canClose = true;
    if (!Document().DocModified) {
        return;
    }
    switch (Prompts().AskSave()) {
    case mrYes:
        mnSaveClick();
        canClose = !Document().DocModified;
        return;
    case mrNo:
        return;
    default:
        canClose = false;
        return;
    }
}

} // namespace virevi
