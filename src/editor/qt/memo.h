#pragma once
// The note editor: a plain-text editor whose text the document reads and
// writes as Shift-JIS lines. It converts only at that edge, and lets in no
// character that Shift-JIS cannot hold, so what it shows is what is stored.
#include <QFont>
#include <QPlainTextEdit>

#include <string>
#include <string_view>
#include <vector>

#include "editor/memo_lines.h"

class QMimeData;

namespace virevi {

class TMemo : public QPlainTextEdit, public TMemoLines {
    Q_OBJECT

public:
    explicit TMemo(QWidget* parent = nullptr);

    /// The note face at 16 pixels: "ＭＳ ゴシック" where installed, else
    /// IPAGothic, else a fixed-pitch face with Japanese, else the system's fixed face.
    static QFont NoteFont();
    /// `text` as it may enter the editor: every character Shift-JIS cannot
    /// hold (an emoji as one), and every NUL, becomes "?"; line breaks stay.
    static QString Storable(const QString& text);

    std::size_t Count() const override;
    std::string Line(std::size_t index) const override;
    void AppendTo(TStringList& list) const override;
    void Append(std::string_view line) override;
    void AppendLines(const TStringList& lines) override;
    void Assign(const TStringList& lines) override;
    void Clear() override;
    std::uint64_t Revision() const override { return Revision_; }
    bool Modified() const override;
    void SetModified(bool modified) override;
    bool WordWrap() const override;
    void SetWordWrap(bool wrap) override;
    void ToStart() override;
    std::size_t SelStart() const override;
    void SetSelStart(std::size_t start) override;
    std::size_t SelLength() const override;
    void SetSelLength(std::size_t length) override;
    void CutToClipboard() override;
    void CopyToClipboard() override;
    void PasteFromClipboard() override;
    void SetFocus() override;
    /// Whether the selection shows while the editor's window is not active,
    /// as it must while the find dialog points at a match; by default not.
    void ShowSelectionUnfocused(bool show);
    void SetVisible(bool visible) override;
    bool Visible() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Offsets count a line break as two characters; the document's positions as one.
    std::size_t ToOffset(int position) const;
    int ToPosition(std::size_t offset) const;
    std::size_t TextLength() const;
    // Calls `visit` with each displayed line (each hard line with word wrap
    // off) until it returns false.
    template <typename Visit> void ForEachLine(Visit visit) const;
    // Breaks wrapped lines anywhere while the note holds a word too long to
    // wrap at word boundaries in reasonable time, else at word boundaries.
    void ChooseWrapMode();
    void BreakAnywhere(bool anywhere);
    // Adds `lines` by the append rule in one edit at the end of the text.
    void AppendAll(const std::vector<std::string_view>& lines);

    // The wrapped lines: their count, and where the last one read lies, for
    // as long as the text, the wrapping width and the font stay as they were.
    // Reading the lines one after another, as printing does, then walks the
    // layout once instead of once a line.
    struct TWrappedLines {
        bool Valid = false;
        std::uint64_t Revision = 0;
        int Width = 0;
        QFont Font;
        std::size_t Count = 0;
        std::size_t Index = 0; // the displayed line at Block, Line
        int Block = 0;
        int Line = 0;
    };
    // The wrapped-line cursor, made current.
    TWrappedLines& Wrapped() const;
    std::string WrappedLine(std::size_t index) const;

    std::uint64_t Revision_ = 0;
    mutable TWrappedLines Wrapped_;
};

} // namespace virevi
