#pragma once
// The main window's rules that are text and arithmetic rather than widgets:
// the position label, the split of a note at the caret, and the file
// dialogs' filters in the platform's syntax.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/string_list.h"

namespace virevi {

class TMemoLines;

/// "3 / 12", or "3 / 12*" while the document is modified.
std::string PositionText(std::int32_t index, std::int32_t total, bool modified);

/// A note cut in two at the caret.
struct TNoteSplit {
    /// The lines before the caret: the note of the item inserted above.
    TStringList Before;
    /// The lines from the caret on: what the split item keeps.
    TStringList After;
};

/// Cuts the text of the hard lines `lines` (and a final line break when
/// `endsWithBreak`) at `caret`, an offset that counts a line break as two
/// characters and a double-byte character as one. A caret inside a line break
/// cuts before it; one past the end cuts at the end. Each part reads as the
/// editor would read it holding that part alone: one empty last line is not
/// counted, so a caret at the start gives an empty Before.
TNoteSplit SplitNoteAt(const TStringList& lines, bool endsWithBreak, std::size_t caret);

/// The editor's text cut at its caret (the selection start). Leaves the text,
/// the modified flag and the word wrap as they were; the caret goes to 0.
TNoteSplit SplitNoteAtCaret(TMemoLines& editor);

/// The longest line, in bytes, that Add text puts into the editor. The
/// editor lays a line out whole: a 1 MB line takes a quarter of a second and
/// about 50 bytes a character, and past some tens of MB it cannot be shown.
inline constexpr std::size_t MostAddedLineBytes = std::size_t{1} << 20;

/// Raises "行が長すぎます" when a line of `lines` is longer than Add text takes.
void CheckAddedLines(const TStringList& lines);

/// The name filters of a file dialog for a filter of "description|pattern"
/// pairs (patterns joined by ";"): "description (patterns)", or the
/// description alone when it already ends with the patterns in brackets.
/// "*.*" means every file, as the filter's users expect, and becomes "*".
std::vector<std::string> NameFiltersOf(std::string_view filter);

} // namespace virevi
