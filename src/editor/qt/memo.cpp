#include "editor/qt/memo.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocumentFragment>
#include <QTextLayout>

#include "files/string_list.h"
#include "runtime/messages.h"
#include "runtime/qt/qt_font.h"
#include "runtime/qt/qt_shift_jis.h"
#include "runtime/scope_guard.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {

constexpr int NoteFontPixels = 16;

// Wrapping at word boundaries, Qt looks for the end of the word from the
// start of each wrapped line, so a word of n characters takes time in n
// squared: a 4 MB line without a space took minutes. A note holding a word
// longer than this breaks its lines anywhere instead, in linear time.
constexpr qsizetype LongestWrappedWord = 4096;

bool HasLongWord(const QString& text) {
    if (text.size() <= LongestWrappedWord) {
        return false;
    }
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype last = 0;
    for (qsizetype next = breaks.toNextBoundary(); next >= 0; next = breaks.toNextBoundary()) {
        if (next - last > LongestWrappedWord) {
            return true;
        }
        last = next;
    }
    return text.size() - last > LongestWrappedWord;
}

bool AllAscii(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Keeps a programmatic change of the text from touching the modified flag.
auto KeepModified(QTextDocument* document) {
    return TScopeGuard([document, was = document->isModified()] { document->setModified(was); });
}

// Holds back painting while many lines go in, so that the note is drawn once.
auto SuspendPainting(QWidget* widget) {
    const bool was = widget->updatesEnabled();
    widget->setUpdatesEnabled(false);
    return TScopeGuard([widget, was] { widget->setUpdatesEnabled(was); });
}

} // namespace

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    ShowSelectionUnfocused(false);
    setFont(NoteFont());
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    setTabStopDistance(8 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setModified(false);
    connect(document(), &QTextDocument::contentsChange, this, [this] { ++Revision_; });
}

QFont TMemo::NoteFont() {
    const QString face =
        JapaneseFace({QString::fromUtf8(msg::FixedGothicFace), QStringLiteral("IPAGothic"),
                      QString::fromUtf8("IPAゴシック")},
                     /*fixedPitch=*/true);
    QFont font = face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(face);
    font.setPixelSize(NoteFontPixels);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QString TMemo::Storable(const QString& text) {
    QString out = FromShiftJis(ToShiftJis(text));
    // A NUL would end the notes file early on the next load.
    out.replace(QChar(u'\0'), QLatin1Char('?'));
    return out;
}

std::size_t TMemo::ToOffset(int position) const {
    const QTextBlock block = document()->findBlock(position);
    return static_cast<std::size_t>(position) + static_cast<std::size_t>(block.blockNumber());
}

int TMemo::ToPosition(std::size_t offset) const {
    // The last block whose start, counted with two-character breaks, is at or before `offset`.
    int low = 0;
    int high = document()->blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        const QTextBlock block = document()->findBlockByNumber(mid);
        if (static_cast<std::size_t>(block.position() + mid) <= offset) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    const QTextBlock block = document()->findBlockByNumber(low);
    const std::size_t inBlock = offset - static_cast<std::size_t>(block.position() + low);
    const auto textLength = static_cast<std::size_t>(block.length() - 1);
    // Past the block's text means inside its line break: before it.
    return block.position() + static_cast<int>(std::min(inBlock, textLength));
}

std::size_t TMemo::TextLength() const {
    return ToOffset(document()->characterCount() - 1);
}

template <typename Visit> void TMemo::ForEachLine(Visit visit) const {
    const bool wrapped = WordWrap();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!wrapped) {
            if (!visit(QStringView(text))) {
                return;
            }
            continue;
        }
        // Lays the block out at the current width if it is not yet.
        layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        const int count = lines->lineCount();
        if (count == 0 && !visit(QStringView(text))) {
            return;
        }
        for (int i = 0; i < count; ++i) {
            const QTextLine line = lines->lineAt(i);
            if (!visit(QStringView(text).mid(line.textStart(), line.textLength()))) {
                return;
            }
        }
    }
}

std::size_t TMemo::Count() const {
    const QTextBlock last = document()->lastBlock();
    const std::size_t dropped = last.length() == 1 ? 1 : 0; // one empty last line
    if (!WordWrap()) {
        return static_cast<std::size_t>(document()->blockCount()) - dropped;
    }
    return Wrapped().Count - dropped;
}

TMemo::TWrappedLines& TMemo::Wrapped() const {
    TWrappedLines& w = Wrapped_;
    const int width = viewport()->width();
    if (w.Valid && w.Revision == Revision_ && w.Width == width && w.Font == font()) {
        return w;
    }
    w = TWrappedLines{true, Revision_, width, font()};
    ForEachLine([&](QStringView) {
        ++w.Count;
        return true;
    });
    return w;
}

std::string TMemo::WrappedLine(std::size_t index) const {
    TWrappedLines& w = Wrapped();
    if (index < w.Index) {
        w.Index = 0;
        w.Block = 0;
        w.Line = 0;
    }
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    std::size_t at = w.Index;
    int first = w.Line;
    for (QTextBlock block = document()->findBlockByNumber(w.Block); block.isValid();
         block = block.next()) {
        // Lays the block out at the current width if it is not yet; a block
        // without lines still shows as one.
        layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        const int count = std::max(lines->lineCount(), 1);
        const auto left = static_cast<std::size_t>(count - first);
        if (index < at + left) {
            const int n = first + static_cast<int>(index - at);
            w.Index = index;
            w.Block = block.blockNumber();
            w.Line = n;
            const QString text = block.text();
            if (lines->lineCount() == 0) {
                return ToShiftJis(text);
            }
            const QTextLine line = lines->lineAt(n);
            return ToShiftJis(QStringView(text).mid(line.textStart(), line.textLength()));
        }
        at += left;
        first = 0;
    }
    return {};
}

std::string TMemo::Line(std::size_t index) const {
    if (index >= Count()) {
        return {};
    }
    if (!WordWrap()) {
        return ToShiftJis(document()->findBlockByNumber(static_cast<int>(index)).text());
    }
    return WrappedLine(index);
}

void TMemo::AppendTo(TStringList& list) const {
    std::size_t remaining = Count();
    ForEachLine([&](QStringView line) {
        if (remaining == 0) {
            return false;
        }
        --remaining;
        list.Add(ToShiftJis(line));
        return true;
    });
}

void TMemo::AppendAll(const std::vector<std::string_view>& lines) {
    if (lines.empty()) {
        return;
    }
    // The append rule, line by line: after an empty last line a line goes in
    // followed by a break; after one with characters, a break goes in first,
    // so an empty line there only ends the last line.
    bool lastLineEmpty = document()->lastBlock().length() == 1;
    QString insertion;
    for (std::string_view line : lines) {
        const QString text = FromShiftJis(line);
        if (lastLineEmpty) {
            insertion += text;
            insertion += QLatin1Char('\n');
        } else {
            insertion += QLatin1Char('\n');
            insertion += text;
            lastLineEmpty = text.isEmpty();
        }
    }
    const auto keep = KeepModified(document());
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(insertion);
    setTextCursor(cursor);
}

void TMemo::Append(std::string_view line) {
    AppendAll({line});
}

void TMemo::AppendLines(const TStringList& lines) {
    if (lines.Count() == 0) {
        return;
    }
    // A list goes in whole: the last line is ended first, so an empty line
    // of the list is a line of the note and not just that line's end.
    QString insertion;
    if (document()->lastBlock().length() != 1) {
        insertion += QLatin1Char('\n');
    }
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        insertion += FromShiftJis(lines[i]);
        insertion += QLatin1Char('\n');
    }
    const auto suspend = SuspendPainting(this);
    const auto keep = KeepModified(document());
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(insertion);
    setTextCursor(cursor);
}

void TMemo::Assign(const TStringList& lines) {
    const auto suspend = SuspendPainting(this);
    Clear();
    AppendLines(lines);
    // Undo must not bring back the note that was there before.
    const auto keep = KeepModified(document());
    document()->clearUndoRedoStacks();
}

void TMemo::Clear() {
    const auto keep = KeepModified(document());
    clear();
}

bool TMemo::Modified() const {
    return document()->isModified();
}

void TMemo::SetModified(bool modified) {
    document()->setModified(modified);
}

bool TMemo::WordWrap() const {
    return lineWrapMode() == QPlainTextEdit::WidgetWidth;
}

void TMemo::SetWordWrap(bool wrap) {
    if (wrap == WordWrap()) {
        return;
    }
    const bool hadFocus = hasFocus();
    const auto keep = KeepModified(document());
    if (wrap) {
        ChooseWrapMode();
    }
    setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    ToStart();
    if (hadFocus) {
        setFocus();
    }
}

void TMemo::ToStart() {
    setTextCursor(QTextCursor(document()));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void TMemo::ChooseWrapMode() {
    bool longWord = false;
    for (QTextBlock block = document()->begin(); block.isValid() && !longWord;
         block = block.next()) {
        // Only a long line can hold a long word; the length needs no copy.
        longWord = block.length() > LongestWrappedWord && HasLongWord(block.text());
    }
    BreakAnywhere(longWord);
}

void TMemo::BreakAnywhere(bool anywhere) {
    const auto mode =
        anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode) {
        setWordWrapMode(mode);
    }
}

std::size_t TMemo::SelStart() const {
    return ToOffset(textCursor().selectionStart());
}

void TMemo::SetSelStart(std::size_t start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToPosition(std::min(start, TextLength())));
    setTextCursor(cursor);
}

std::size_t TMemo::SelLength() const {
    const QTextCursor cursor = textCursor();
    return ToOffset(cursor.selectionEnd()) - ToOffset(cursor.selectionStart());
}

void TMemo::SetSelLength(std::size_t length) {
    const std::size_t start = SelStart();
    const std::size_t end = start + std::min(length, TextLength() - start);
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToPosition(start));
    cursor.setPosition(ToPosition(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TMemo::CutToClipboard() {
    if (!textCursor().hasSelection()) {
        return;
    }
    cut();
    SetModified(true);
}

void TMemo::CopyToClipboard() {
    if (!textCursor().hasSelection()) {
        return;
    }
    copy();
}

void TMemo::PasteFromClipboard() {
    if (QGuiApplication::clipboard()->text().isEmpty()) {
        return;
    }
    paste();
    SetModified(true);
}

void TMemo::ShowSelectionUnfocused(bool show) {
    QPalette colours = palette();
    // Hidden, the selection is drawn in the text's own colours.
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     show ? colours.color(QPalette::Active, QPalette::Highlight) : Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     show ? colours.color(QPalette::Active, QPalette::HighlightedText) : Qt::black);
    setPalette(colours);
}

void TMemo::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

void TMemo::SetVisible(bool visible) {
    setVisible(visible);
}

bool TMemo::Visible() const {
    return isVisible();
}

void TMemo::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    // Control characters are the editor's keys, not text: leave them to it.
    if (AllAscii(text)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent storable(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                       event->nativeVirtualKey(), event->nativeModifiers(), Storable(text),
                       event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QPlainTextEdit::keyPressEvent(&storable);
    event->setAccepted(storable.isAccepted());
}

void TMemo::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (commit.isEmpty() || Storable(commit) == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent storable(event->preeditString(), event->attributes());
    storable.setCommitString(Storable(commit), event->replacementStart(),
                             event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&storable);
    event->setAccepted(storable.isAccepted());
}

void TMemo::insertFromMimeData(const QMimeData* source) {
    // Pasted or dropped: plain text only, made storable.
    if (source == nullptr || !source->hasText()) {
        return;
    }
    QMimeData plain;
    plain.setText(Storable(source->text()));
    if (WordWrap() && HasLongWord(plain.text())) {
        // Before the text goes in: it is laid out as it is inserted.
        BreakAnywhere(true);
    }
    QPlainTextEdit::insertFromMimeData(&plain);
}

QMimeData* TMemo::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

} // namespace virevi
