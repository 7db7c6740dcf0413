#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>

#include <utility>

#include "app/main_menu.h"
#include "app/qt/main_layout.h"
#include "app/qt/main_prompts.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/error_display.h"
#include "dialogs/qt/find_form.h"
#include "dialogs/qt/message_form.h"
#include "document/document.h"
#include "editor/qt/memo.h"
#include "files/line_search.h"
#include "outline/qt/outline.h"
#include "print/qt/note_printer.h"
#include "runtime/format.h"
#include "runtime/messages.h"
#include "runtime/qt/qt_shift_jis.h"

namespace virevi {

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
    Document_ = std::make_unique<TDocument>(olTree->Tree(), *moNote);
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

// --- what the commands ask of the window -----------------------------------

TOutlineTree& TMain::Tree() {
    return olTree->Tree();
}

TMemoLines& TMain::Editor() {
    return *moNote;
}

void TMain::SetPositionText(const std::string& text) {
    lbIndex->setText(QString::fromStdString(text));
}

bool TMain::PositionShown() const {
    return !lbIndex->text().isEmpty();
}

bool TMain::EditorPainting() const {
    return moNote->updatesEnabled();
}

void TMain::SetEditorPainting(bool painting) {
    // Frozen rather than hidden: hiding the focused editor would hand the
    // focus to the outline, whose enter event commits the whole note.
    moNote->setUpdatesEnabled(painting);
}

void TMain::CloseWindow() {
    close();
}

void TMain::PrintEditor() {
    if (PrintNote) {
        PrintNote(*moNote);
    }
}

void TMain::ShowAboutBox() {
    if (ShowAbout) {
        ShowAbout();
    }
}

void TMain::OpenFindDialog(const std::string& text, bool matchCase) {
    if (!text.empty()) {
        FindForm().SetSearch(text, matchCase);
    }
    FindForm().Open();
}

void TMain::ShowNotFound(const std::string& text) {
    MessageDlg(FormatS(msg::SSearchNotFound, FromShiftJis(text).toStdString()),
               TMsgDlgType::mtInformation, MsgDlgButtons({mbOK}));
}

void TMain::MatchShown() {
    if (FindForm_ != nullptr && FindForm_->isVisible()) {
        // The dialog keeps the keyboard, so Enter finds the next one; the
        // editor shows the match all the same.
        moNote->ShowSelectionUnfocused(true);
    }
}

// --- finding and opening --------------------------------------------------

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

void TMain::OpenAtStartUp(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, fileName] { OpenFile(fileName); }, Qt::QueuedConnection);
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
