#pragma once
// Finding text in a document's notes. The search reads the note pool item by
// item in outline order, never the editor, so it costs no layout however many
// notes it passes.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "files/line_search.h"

namespace virevi {

class TOutlineTree;
class TStringList;

/// A match in the notes: item `Index`, line `Place.Line` of its note.
struct TNoteMatch {
    std::int32_t Index = 0;
    TLinePlace Place;
    std::size_t Length = 0; ///< bytes
};

/// Searches the notes of `outline`'s items (their ItemRecord in Data; an item
/// without one, or with lines outside `pool`, has an empty note): item
/// `index` from `from` on, then every following item in outline order,
/// collapsed or not, then once around from item 1 to `from`. Nothing for an
/// empty pattern or outline.
std::optional<TNoteMatch> FindInNotes(TOutlineTree& outline, const TStringList& pool,
                                      std::int32_t index, TLinePlace from,
                                      const TSearchPattern& pattern);

/// The place in note lines `first` … `first` + `count` - 1 of `pool` of an
/// editor offset (a line break counting two characters): inside a line break
/// the end of its line; past the last line {count, 0}.
TLinePlace NotePlaceOf(const TStringList& pool, std::size_t first, std::size_t count,
                       std::size_t offset);
/// The editor offset of `place` in the note whose first line is `first`.
std::size_t NoteOffsetOf(const TStringList& pool, std::size_t first, TLinePlace place);

} // namespace virevi
