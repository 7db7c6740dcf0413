#pragma once
// Finding text in a document's notes. The search reads the note pool item by
// item in outline order, never the editor, so it costs no layout however many
// notes it passes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace virevi {

class TCustomOutline;
class TStringList;

/// The longest search text in bytes: no line of a note can hold more.
inline constexpr std::size_t MostSearchBytes = std::size_t{4} << 20;

/// A search text: Shift-JIS bytes split into characters as the codec splits them.
class TSearchPattern {
public:
    /// Without `matchCase` a single-byte ASCII letter matches either case; a
    /// double-byte character (full-width letters, kana) only itself.
    TSearchPattern(std::string_view bytes, bool matchCase);

    std::size_t Size() const { return Bytes_.size(); }
    bool Empty() const { return Bytes_.empty(); }

    /// Whether the pattern stands at `at` in `line`: the same characters as
    /// the codec splits each of them, starting at a character boundary that
    /// a walk from `boundary` (a boundary of `line`; the line's start when
    /// past `at`) finds. The boundary reached on the way is left in `boundary`.
    bool MatchesAt(std::string_view line, std::size_t at, std::size_t& boundary) const;

private:
    friend class TPatternScan;

    std::string Bytes_;
    std::string Other_;               // each byte's other case, or the byte itself
    std::vector<std::uint8_t> Chars_; // character length at a character start, 0 inside one
    bool Folds_ = false;              // some letter matches either case
    // The two places whose bytes are looked for first: the rarest in text.
    std::size_t First_ = 0;
    std::size_t Second_ = 0;
};

/// A place in a line list: a line and a byte column of it.
struct TLinePlace {
    std::size_t Line = 0;
    std::size_t Column = 0;
    friend auto operator<=>(const TLinePlace&, const TLinePlace&) = default;
};

/// The first match in lines `first` … `end` - 1 of `lines`, in line `first`
/// at byte `from` or later. A match lies inside one line; none past the list.
std::optional<TLinePlace> FindInLines(const TStringList& lines, std::size_t first, std::size_t end,
                                      std::size_t from, const TSearchPattern& pattern);

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
std::optional<TNoteMatch> FindInNotes(TCustomOutline& outline, const TStringList& pool,
                                      std::int32_t index, TLinePlace from,
                                      const TSearchPattern& pattern);

/// Characters in `bytes` as the codec splits them.
std::size_t CharsIn(std::string_view bytes);

/// The place in note lines `first` … `first` + `count` - 1 of `pool` of an
/// editor offset (a line break counting two characters): inside a line break
/// the end of its line; past the last line {count, 0}.
TLinePlace NotePlaceOf(const TStringList& pool, std::size_t first, std::size_t count,
                       std::size_t offset);
/// The editor offset of `place` in the note whose first line is `first`.
std::size_t NoteOffsetOf(const TStringList& pool, std::size_t first, TLinePlace place);

} // namespace virevi
