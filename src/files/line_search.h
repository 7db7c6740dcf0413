#pragma once
// Finding a Shift-JIS text in a line list, character by character as the
// codec splits the lines, at the speed of the memory the lines lie in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace virevi {

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

/// The first match of every line of `lines` that holds one, in order; none
/// when more than `most` lines do.
std::optional<std::vector<TLinePlace>>
MatchingLines(const TStringList& lines, const TSearchPattern& pattern, std::size_t most);

} // namespace virevi
