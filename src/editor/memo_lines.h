#pragma once
// The note editor as the document sees it: its text as a list of Shift-JIS
// lines, its modified flag, selection, word wrap and clipboard commands. TMemo
// implements it over the platform's editor; core tests use an in-memory one.
//
// The text is a sequence of characters in which a hard line break counts as
// two (CR LF). With word wrap off a line is a hard line; with word wrap on it
// is a displayed line, a hard line split where it wraps at the editor's width.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace virevi {

class TStringList;

class TMemoLines {
public:
    virtual ~TMemoLines() = default;

    /// Number of lines; one empty last line is not counted, so an empty text
    /// has 0, "a" 1, "a" CR LF 1 and "a" CR LF CR LF 2.
    virtual std::size_t Count() const = 0;
    /// Line `index` without its line break, whole however long; "" past the last line.
    virtual std::string Line(std::size_t index) const = 0;
    /// Adds lines 0 … Count() - 1 to the end of `list`, in order.
    virtual void AppendTo(TStringList& list) const = 0;

    /// Adds `line` at the end: into an empty text or after a line break as
    /// `line` CR LF, else as CR LF `line` — so an empty `line` there only ends
    /// the last line and is lost. The caret ends after it.
    virtual void Append(std::string_view line) = 0;
    /// Appends each line of `lines` in order, repainting once.
    virtual void AppendLines(const TStringList& lines) = 0;
    /// Clears the text and appends each line of `lines`, repainting once; an
    /// empty list leaves the text empty.
    virtual void Assign(const TStringList& lines) = 0;
    /// Empties the text.
    virtual void Clear() = 0;

    /// A number that changes whenever the text changes, by any means (the
    /// user, a command or an undo), and stays while it does not.
    virtual std::uint64_t Revision() const = 0;

    /// Set when the user changes the text; Append, AppendLines, Assign and
    /// Clear leave it as it was.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;

    virtual bool WordWrap() const = 0;
    /// Switching to the other value keeps the text and the modified flag and
    /// leaves the caret at 0, nothing selected, scrolled to the top (the
    /// focus stays where it was); setting the current value does nothing.
    virtual void SetWordWrap(bool wrap) = 0;
    /// Leaves the caret at 0, nothing selected, scrolled to the top, as a
    /// switch of the word wrap does, without laying the text out again.
    virtual void ToStart() = 0;

    /// Offset of the first selected character, or of the caret when nothing is selected.
    virtual std::size_t SelStart() const = 0;
    /// Empties the selection with the caret at `start` (at most the text's
    /// length; inside a line break, before it).
    virtual void SetSelStart(std::size_t start) = 0;
    /// Number of selected characters.
    virtual std::size_t SelLength() const = 0;
    /// Selects `length` characters from the current selection start (at most
    /// to the end of the text) and scrolls the caret into view.
    virtual void SetSelLength(std::size_t length) = 0;

    /// Moves the selection to the clipboard as plain text and sets the
    /// modified flag; with nothing selected the clipboard and the text stay as they were.
    virtual void CutToClipboard() = 0;
    /// Copies the selection to the clipboard as plain text; nothing with nothing selected.
    virtual void CopyToClipboard() = 0;
    /// Replaces the selection (or inserts at the caret) with the clipboard's
    /// plain text; nothing when the clipboard holds no text. A character
    /// Shift-JIS cannot hold comes in as "?". Sets the modified flag.
    virtual void PasteFromClipboard() = 0;

    /// Gives the editor the keyboard focus.
    virtual void SetFocus() = 0;
    /// Hiding keeps the text and every state as it was.
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
};

} // namespace virevi
