#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>

#include <utility>

#include "app/main_layout.h"
#include "app/main_prompts.h"
#include "app/main_state.h"
#include "dialogs/error_display.h"
#include "dialogs/find_form.h"
#include "dialogs/message_form.h"
#include "dialogs/message_layout.h"
#include "document/base_path.h"
#include "document/document.h"
#include "document/note_search.h"
#include "editor/memo.h"
#include "files/string_list.h"
#include "outline/outline.h"
#include "outline/outline_node.h"
#include "print/note_printer.h"
#include "runtime/errors.h"
#include "runtime/format.h"
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

TMain::TMain(QWidget* parent)
    : QMainWindow(parent), olTree(new TOutline), moNote(new TMemo), lbIndex(new QLabel),
      Dialogs_(std::make_unique<TMainDialogs>(this)) {
    setObjectName(QStringLiteral("Main"));
    olTree->setObjectName(QStringLiteral("olTree"));
    moNote->setObjectName(QStringLiteral("moNote"));
    lbIndex->setObjectName(QStringLiteral("lbIndex"));

    olTree->SetItemHeight(16);
    olTree->ItemSeparator = "\\";
    olTree->SetColor(clCream);
    TFont treeFont;
    treeFont.Name = msg::FixedGothicFace;
    treeFont.Height = -13;
    treeFont.Charset = SHIFTJIS_CHARSET;
    treeFont.Pitch = TFontPitch::Fixed;
    treeFont.Color = clBlack;
    olTree->SetFont(treeFont);
    // The whole window around the three controls; owned by the window.
    new TMainLayout(
        *this, *olTree, *moNote, *lbIndex, [this](TCommand command) { Run(command); }, &Dragging);

    Prompts_ = Dialogs_.get();
    Document_ = std::make_unique<TDocument>(*olTree, *moNote);
    Document_->OnCaption = [this](const std::string& caption) {
        setWindowTitle(QFile::decodeName(QByteArray::fromStdString(caption)));
    };
    Document_->OnShowPosition = [this] { ShowPosition(); };
    Document_->OnCursor = [](std::int32_t cursor) {
        if (cursor == crHourGlass) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    };
    PrintNote = [this](const TMemoLines& note) { NotePrinter().Print(note); };
    olTree->OnEnter = [this](auto&) { olTreeEnter(); };
    olTree->OnClick = [this](auto&) { olTreeClick(); };
    // Called inside the outline's handler, so the error keeps its own type.
    olTree->OnShowError = [](const std::exception&) { ShowException(std::current_exception()); };
    // Typing marks the label at once, not only at the next command.
    connect(moNote->document(), &QTextDocument::modificationChanged, this, [this] {
        if (!lbIndex->text().isEmpty()) {
            ShowLabel();
        }
    });
    FormCreate();
}

void TMain::Run(TCommand command) {
    // Every command the menu, the tool bar and the short-cuts offer, once.
    static constexpr std::pair<TCommand, void (TMain::*)()> Handlers[] = {
        {TCommand::New, &TMain::mnNewClick},
        {TCommand::Open, &TMain::mnOpenClick},
        {TCommand::Save, &TMain::mnSaveClick},
        {TCommand::SaveAs, &TMain::mnSaveAsClick},
        {TCommand::Print, &TMain::mnuPrintClick},
        {TCommand::AddText, &TMain::mnAddClick},
        {TCommand::Exit, &TMain::mnExitClick},
        {TCommand::InsNode, &TMain::mnInsNodeClick},
        {TCommand::AddNode, &TMain::mnAddNodeClick},
        {TCommand::Del, &TMain::mnDelClick},
        {TCommand::Cut, &TMain::mnCutClick},
        {TCommand::Copy, &TMain::mnCopyClick},
        {TCommand::Paste, &TMain::mnPasteClick},
        {TCommand::Split, &TMain::mnSplitClick},
        {TCommand::PrevNode, &TMain::mnPrevNodeClick},
        {TCommand::NextNode, &TMain::mnNextNodeClick},
        {TCommand::LevelDown, &TMain::mnLevelDownClick},
        {TCommand::LevelUp, &TMain::mnLevelUpClick},
        {TCommand::About, &TMain::About1Click},
        {TCommand::Find, &TMain::mnFindClick},
        {TCommand::FindNext, &TMain::mnFindNextClick},
    };
    for (const auto& [id, handler] : Handlers) {
        if (id == command) {
            (this->*handler)();
            return;
        }
    }
}

TMain::~TMain() {
    // Nothing may answer the outline while the window comes apart.
    olTree->OnEnter = nullptr;
    olTree->OnClick = nullptr;
    FormDestroy();
}

TNotePrinter& TMain::NotePrinter() {
    if (!NotePrinter_) {
        NotePrinter_ = std::make_unique<TNotePrinter>(this);
    }
    return *NotePrinter_;
}

void TMain::SetPrompts(TMainPrompts* prompts) {
    Prompts_ = prompts != nullptr ? prompts : Dialogs_.get();
}

void TMain::CommitSelected() {
    Document_->CommitNote(olTree->SelectedIndex());
}

// --- document state -------------------------------------------------------

void TMain::ShowPosition() {
    ShowLabel();
    moNote->SetFocus();
}

void TMain::ShowLabel() {
    const bool unsaved = Document_->DocModified || moNote->Modified();
    lbIndex->setText(QString::fromStdString(
        PositionText(olTree->SelectedIndex(), olTree->TotalItems(), unsaved)));
}

void TMain::InitDocument() {
    Document_->SetCaption(msg::UntitledCaption);
    Dragging = false;
    SelectLock = false;
    Document_->DocModified = false;
    Document_->AttachNewRecord(olTree->AddSibling(0, msg::NewItemCaption));
}

void TMain::ClearDocument() {
    moNote->Clear();
    Document_->NotePool.Clear();
    Document_->FreeItemRecords();
}

void TMain::ResetDocument() {
    ClearDocument();
    InitDocument();
    ShowPosition();
}

void TMain::FormCreate() {
    InitDocument();
}

void TMain::FormDestroy() {
    ClearDocument();
}

void TMain::EnsureItem() {
    if (olTree->TotalItems() > 0) {
        return;
    }
    Document_->AttachNewRecord(olTree->AddSibling(0, msg::NewItemCaption));
    olTree->SetSelectedIndex(1);
    Document_->LoadNote();
    ShowPosition();
}

// --- the outline's events -------------------------------------------------

void TMain::olTreeEnter() {
    CommitSelected();
}

void TMain::olTreeClick() {
    // The label follows every selection change, a command's included.
    if (!lbIndex->text().isEmpty()) {
        ShowLabel();
    }
    if (SelectLock) {
        return;
    }
    Document_->LoadNote();
    // Showing the note can settle the editor's flag without telling anyone.
    if (!lbIndex->text().isEmpty()) {
        ShowLabel();
    }
    moNote->SetFocus();
}

// --- editing commands -----------------------------------------------------

void TMain::mnInsNodeClick() {
    CommitSelected();
    moNote->Clear();
    {
        const auto lock = LockSelection(SelectLock);
        const std::int32_t index =
            olTree->InsertBefore(olTree->SelectedIndex(), msg::NewItemCaption);
        if (index == 0) {
            // The outline has shown why; the selected note comes back.
            Document_->LoadNote();
            return;
        }
        Document_->AttachNewRecord(index);
        olTree->SetSelectedIndex(olTree->SelectedIndex() - 1);
    }
    moNote->SetModified(true);
    ShowPosition();
}

void TMain::mnAddNodeClick() {
    CommitSelected();
    moNote->Clear();
    {
        const auto lock = LockSelection(SelectLock);
        const std::int32_t index = olTree->AddSibling(0, msg::NewItemCaption);
        if (index == 0) {
            Document_->LoadNote();
            return;
        }
        Document_->AttachNewRecord(index);
        olTree->SetSelectedIndex(index);
    }
    moNote->SetModified(true);
    ShowPosition();
}

void TMain::mnDelClick() {
    const std::int32_t index = olTree->SelectedIndex();
    // The only item, or one whose subtree is the whole outline, would leave
    // no item behind for the commands to work on.
    if (index == 1 && olTree->ItemAt(index)->LastIndexInSubtree() == olTree->TotalItems()) {
        Prompts_->Beep();
        return;
    }
    Document_->ReleaseItemRecords(index);
    olTree->DeleteItem(index);
    Document_->LoadNote();
    Document_->DocModified = true;
    ShowLabel();
}

void TMain::mnCutClick() {
    moNote->CutToClipboard();
}

void TMain::mnCopyClick() {
    moNote->CopyToClipboard();
    moNote->SetSelLength(0);
}

void TMain::mnPasteClick() {
    moNote->PasteFromClipboard();
}

void TMain::mnSplitClick() {
    // Frozen rather than hidden: hiding the focused editor would hand the
    // focus to the outline, whose enter event commits the whole note.
    const bool updates = moNote->updatesEnabled();
    moNote->setUpdatesEnabled(false);
    const TScopeGuard thaw([this, updates] { moNote->setUpdatesEnabled(updates); });
    const TNoteSplit split = SplitNoteAtCaret(*moNote);
    {
        const auto lock = LockSelection(SelectLock);
        if (olTree->InsertBefore(olTree->SelectedIndex(), "") == 0) {
            return;
        }
        moNote->Assign(split.After);
        moNote->SetModified(true);
        CommitSelected();
        moNote->Assign(split.Before);
        moNote->SetModified(true);
        Document_->AttachNewRecord(olTree->SelectedIndex() - 1);
        olTree->SetSelectedIndex(olTree->SelectedIndex() - 1);
        CommitSelected();
        moNote->SetFocus();
    }
    ShowLabel();
}

void TMain::mnPrevNodeClick() {
    CommitSelected();
    // The shown items are the rows: the previous shown item is the row above.
    const std::int32_t row = olTree->RowOf(olTree->ItemAt(olTree->SelectedIndex()));
    if (row == 0) {
        Prompts_->Beep();
        return;
    }
    olTree->SetSelectedIndex(olTree->ItemOnRow(row - 1)->Index());
    ShowPosition();
}

void TMain::mnNextNodeClick() {
    CommitSelected();
    const std::int32_t row = olTree->RowOf(olTree->ItemAt(olTree->SelectedIndex()));
    if (row + 1 >= olTree->RootItem()->ShownCount()) {
        Prompts_->Beep();
        return;
    }
    olTree->SetSelectedIndex(olTree->ItemOnRow(row + 1)->Index());
    ShowPosition();
}

// A level change is a change of the document, whether or not a note was
// edited: the next save writes it, and closing asks before it is lost.
void TMain::mnLevelDownClick() {
    CommitSelected();
    try {
        olTree->ItemAt(olTree->SelectedIndex())->ShiftLevel(+1);
        Document_->DocModified = true;
        Document_->LoadNote();
    } catch (const EOutlineError&) {
        Prompts_->Beep();
    }
    ShowLabel();
}

void TMain::mnLevelUpClick() {
    CommitSelected();
    try {
        const std::int32_t index = olTree->SelectedIndex();
        TOutlineNode* item = olTree->ItemAt(index);
        if (item->Parent()->NextSiblingIndex(index) == -1) {
            Prompts_->Beep();
            return;
        }
        item->ShiftLevel(-1);
        Document_->DocModified = true;
    } catch (const EOutlineError&) {
        Prompts_->Beep();
    }
    ShowLabel();
}

// --- finding --------------------------------------------------------------

TFindForm& TMain::FindForm() {
    if (FindForm_ == nullptr) {
        FindForm_ = new TFindForm(this);
        // One character more than a search may hold, so that a longer text
        // pasted into the field is refused rather than cut short.
        FindForm_->edFind->setMaxLength(static_cast<int>(MostSearchBytes) + 1);
        connect(FindForm_, &QDialog::finished, this,
                [this] { moNote->ShowSelectionUnfocused(false); });
        FindForm_->OnFindNext = [this](const std::string& text, bool matchCase) {
            // Called from the dialog's button, outside the menu's handling.
            try {
                FindNext(text, matchCase);
            } catch (...) {
                ShowException(std::current_exception());
            }
        };
    }
    return *FindForm_;
}

void TMain::mnFindClick() {
    if (!LastSearch_.empty()) {
        FindForm().SetSearch(LastSearch_, LastMatchCase_);
    }
    FindForm().Open();
}

void TMain::mnFindNextClick() {
    if (LastSearch_.empty()) {
        mnFindClick();
        return;
    }
    FindNext(LastSearch_, LastMatchCase_);
}

void TMain::FindNext(const std::string& text, bool matchCase) {
    if (text.empty()) {
        return;
    }
    if (text.size() > MostSearchBytes) {
        Prompts_->Beep();
        return;
    }
    LastSearch_ = text;
    LastMatchCase_ = matchCase;
    // After the selection, so that the match shown last is passed over; read
    // before the commit, whose word-wrap switch puts the caret at 0.
    const std::size_t caret = moNote->SelStart() + moNote->SelLength();
    CommitSelected();
    const TStringList& pool = Document_->NotePool;
    const std::int32_t index = olTree->SelectedIndex();
    const auto noteOf = [&](std::int32_t at) {
        const ItemRecord* record = TDocument::RecordOf(olTree->ItemAt(at));
        const bool inPool =
            record != nullptr && record->Start >= 0 && record->Count > 0 &&
            static_cast<std::uint64_t>(record->Start) + record->Count <= pool.Count();
        return inPool ? ItemRecord{*record} : ItemRecord{0, 0};
    };
    const ItemRecord note = noteOf(index);
    const TLinePlace from = NotePlaceOf(pool, static_cast<std::size_t>(note.Start),
                                        static_cast<std::size_t>(note.Count), caret);
    const std::optional<TNoteMatch> match =
        FindInNotes(*olTree, pool, index, from, TSearchPattern(text, matchCase));
    if (!match) {
        const std::u16string shown = DecodeShiftJis(text);
        MessageDlg(FormatS(msg::SSearchNotFound,
                           QString::fromUtf16(shown.data(), static_cast<qsizetype>(shown.size()))
                               .toStdString()),
                   TMsgDlgType::mtInformation, MsgDlgButtons({mbOK}));
        return;
    }

    // Shown as a click shows an item: the commit is done, and the selection
    // change loads the note.
    TOutlineNode* item = olTree->ItemAt(match->Index);
    {
        const auto lock = LockSelection(SelectLock);
        std::vector<TOutlineNode*> closed;
        for (TOutlineNode* parent = item->Parent();
             parent != olTree->RootItem() && !parent->Expanded(); parent = parent->Parent()) {
            closed.push_back(parent);
        }
        for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
            (*it)->SetExpanded(true);
        }
    }
    olTree->SetSelectedIndex(match->Index);
    ShowPosition();
    const ItemRecord found = noteOf(match->Index);
    const auto first = static_cast<std::size_t>(found.Start);
    const std::string_view line = pool[first + match->Place.Line];
    moNote->SetSelStart(NoteOffsetOf(pool, first, match->Place));
    moNote->SetSelLength(CharCount(line.substr(match->Place.Column, match->Length)));
    if (FindForm_ != nullptr && FindForm_->isVisible()) {
        // The dialog keeps the keyboard, so Enter finds the next one; the
        // editor shows the match all the same.
        moNote->ShowSelectionUnfocused(true);
    }
}

// --- file commands --------------------------------------------------------

void TMain::mnNewClick() {
    CommitSelected();
    ShowPosition();
    if (!Document_->DocModified) {
        ResetDocument();
        return;
    }
    switch (Prompts_->AskSave()) {
    case mrYes:
        if (Document_->Caption() != msg::UntitledCaption) {
            Document_->SaveDocument(Document_->Caption());
            ResetDocument();
            return;
        }
        if (std::string name; Prompts_->ChooseSaveFile(msg::DocumentFilter, name)) {
            Document_->SaveDocument(BasePathOf(name));
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

void TMain::mnOpenClick() {
    CommitSelected();
    ShowPosition();
    if (Document_->DocModified) {
        const int answer = Prompts_->AskSave();
        if (answer != mrYes && answer != mrNo) {
            return;
        }
        if (answer == mrYes) {
            mnSaveClick();
            // The save-file dialog was cancelled: the work is still unsaved.
            if (Document_->DocModified) {
                return;
            }
        }
    }
    std::string name;
    if (!Prompts_->ChooseOpenFile(msg::DocumentFilter, name)) {
        return;
    }
    OpenFile(name);
}

void TMain::OpenFile(const std::string& fileName) {
    Document_->LoadDocument(BasePathOf(fileName));
    EnsureItem();
}

void TMain::OpenAtStartUp(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, fileName] { OpenFile(fileName); }, Qt::QueuedConnection);
}

void TMain::mnSaveClick() {
    if (Document_->Caption() != msg::UntitledCaption) {
        Document_->SaveDocument(Document_->Caption());
        return;
    }
    mnSaveAsClick();
}

void TMain::mnSaveAsClick() {
    std::string name;
    if (Prompts_->ChooseSaveFile(msg::DocumentFilter, name)) {
        Document_->SaveDocument(BasePathOf(name));
    }
}

void TMain::mnAddClick() {
    std::string name;
    if (!Prompts_->ChooseOpenFile(msg::AllFilesFilter, name)) {
        return;
    }
    const TScopeGuard focus([this] { moNote->SetFocus(); });
    TStringList lines;
    lines.LoadTextLines(name);
    CheckAddedLines(lines);
    moNote->SetWordWrap(false);
    moNote->AppendLines(lines);
    moNote->SetModified(true);
    CommitSelected();
    ShowPosition();
}

void TMain::mnuPrintClick() {
    // What the editor holds is printed, committed or not.
    if (PrintNote) {
        PrintNote(*moNote);
    }
}

void TMain::About1Click() {
    if (ShowAbout) {
        ShowAbout();
    }
}

void TMain::mnExitClick() {
    close();
}

void TMain::FormCloseQuery(bool& canClose) {
    CommitSelected();
    ShowPosition();
    canClose = true;
    if (!Document_->DocModified) {
        return;
    }
    switch (Prompts_->AskSave()) {
    case mrYes:
        mnSaveClick();
        canClose = !Document_->DocModified;
        return;
    case mrNo:
        return;
    default:
        canClose = false;
        return;
    }
}

void TMain::closeEvent(QCloseEvent* event) {
    // Stays open unless the query says otherwise, also when it fails.
    event->ignore();
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) {
        event->accept();
    }
}

} // namespace virevi
