#include "document/note_search.h"

#include <algorithm>
#include <vector>

#include "document/document.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/outline_tree.h"
#include "runtime/shift_jis.h"

namespace virevi {

namespace {

// Items in outline order from a given position on, without recursion.
class TOutlineWalk {
public:
    TOutlineWalk(TOutlineTree& outline, std::int32_t position)
        : Item_(outline.ItemAt(position)), Position_(position) {
        for (TOutlineNode* child = Item_; child->Parent() != nullptr; child = child->Parent()) {
            Path_.push_back({child->Parent(), PlaceOf(child) + 1});
        }
        std::reverse(Path_.begin(), Path_.end());
    }

    TOutlineNode* Item() const { return Item_; }
    std::int32_t Position() const { return Position_; }

    /// Moves to the next item; false after the last.
    bool Next() {
        if (Item_->HasChildren()) {
            Path_.push_back({Item_, 1});
            Item_ = Item_->Child(0);
            ++Position_;
            return true;
        }
        while (!Path_.empty()) {
            auto& [parent, next] = Path_.back();
            if (next < parent->ChildCount()) {
                Item_ = parent->Child(next++);
                ++Position_;
                return true;
            }
            Path_.pop_back();
        }
        return false;
    }

private:
    // The children's positions rise with their places.
    static std::int32_t PlaceOf(const TOutlineNode* child) {
        const TOutlineNode* parent = child->Parent();
        const std::int32_t position = child->Index();
        std::int32_t lo = 0;
        std::int32_t hi = parent->ChildCount() - 1;
        while (lo < hi) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            if (parent->Child(mid)->Index() < position) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    }

    struct TStep {
        TOutlineNode* Parent;
        std::int32_t Next; // place of the next child to visit
    };
    TOutlineNode* Item_;
    std::int32_t Position_;
    std::vector<TStep> Path_;
};

struct TNoteLines {
    std::size_t First = 0;
    std::size_t Count = 0;
};

// An item's note as lines of the pool; a record that reaches outside it,
// which only crafted files give, is searched as an empty note.
TNoteLines NoteLinesOf(const TOutlineNode* item, const TStringList& pool) {
    const ItemRecord* record = TDocument::RecordOf(item);
    if (record == nullptr || record->Start < 0 || record->Count <= 0 ||
        static_cast<std::uint64_t>(record->Start) + static_cast<std::uint64_t>(record->Count) >
            pool.Count()) {
        return {};
    }
    return {static_cast<std::size_t>(record->Start), static_cast<std::size_t>(record->Count)};
}

// The notes of items in outline order, gathered while they lie back to back
// in the pool (as they all do after a load or a save) and searched as one
// run of lines, so that the search costs per byte and hardly per item.
class TNoteRuns {
public:
    TNoteRuns(const TStringList& pool, const TSearchPattern& pattern)
        : Pool_(pool), Pattern_(pattern) {}

    std::optional<TNoteMatch> Add(const TOutlineNode* item, std::int32_t position) {
        const TNoteLines note = NoteLinesOf(item, Pool_);
        if (note.Count == 0) {
            return std::nullopt;
        }
        if (!Items_.empty() && (note.First != End_ || Items_.size() >= MostItems)) {
            if (auto match = Flush()) {
                return match;
            }
        }
        if (Items_.empty()) {
            End_ = note.First;
        }
        Items_.push_back({position, note.First});
        End_ += note.Count;
        return std::nullopt;
    }

    /// From now on looks the runs up in `places`, the first match of every
    /// line of the pool that holds one, in order, instead of reading them.
    void UseMatches(std::vector<TLinePlace> places) {
        Places_ = std::move(places);
        UsePlaces_ = true;
    }

    std::optional<TNoteMatch> Flush() {
        if (Items_.empty()) {
            return std::nullopt;
        }
        std::optional<TLinePlace> found;
        if (UsePlaces_) {
            const auto first = std::lower_bound(Places_.begin(), Places_.end(),
                                                TLinePlace{Items_.front().First, 0});
            if (first != Places_.end() && first->Line < End_) {
                found = *first;
            }
        } else {
            found = FindInLines(Pool_, Items_.front().First, End_, 0, Pattern_);
        }
        std::optional<TNoteMatch> match;
        if (found) {
            const auto holder = std::upper_bound(Items_.begin(), Items_.end(), found->Line,
                                                 [](std::size_t line, const TRunItem& item) {
                                                     return line < item.First;
                                                 }) -
                                1;
            match = TNoteMatch{
                holder->Position, {found->Line - holder->First, found->Column}, Pattern_.Size()};
        }
        Items_.clear();
        return match;
    }

private:
    // Bounds the memory a run takes; a run this long is searched in pieces.
    static constexpr std::size_t MostItems = 65536;

    struct TRunItem {
        std::int32_t Position;
        std::size_t First;
    };
    const TStringList& Pool_;
    const TSearchPattern& Pattern_;
    std::vector<TRunItem> Items_;
    std::size_t End_ = 0;
    std::vector<TLinePlace> Places_;
    bool UsePlaces_ = false;
};

// Items searched one by one after the start before the pool is read whole:
// at least the first, on through a sixteenth of the pool's lines, at most
// the last. Past that, reading the pool once costs less than what is left.
constexpr std::int32_t NearItemsAtLeast = 1024;
constexpr std::int32_t NearItemsAtMost = 65536;
constexpr std::size_t NearShareOfPool = 16;
// Lines of the pool holding a match that are looked up rather than read again.
constexpr std::size_t MostPoolMatches = 65536;

std::optional<TNoteMatch> InNote(const TStringList& pool, TNoteLines note, std::int32_t index,
                                 std::size_t lineCount, TLinePlace from,
                                 const TSearchPattern& pattern) {
    if (from.Line >= std::min(note.Count, lineCount)) {
        return std::nullopt;
    }
    const std::optional<TLinePlace> found =
        FindInLines(pool, note.First + from.Line, note.First + std::min(note.Count, lineCount),
                    from.Column, pattern);
    if (!found) {
        return std::nullopt;
    }
    return TNoteMatch{index, {found->Line - note.First, found->Column}, pattern.Size()};
}

} // namespace

std::optional<TNoteMatch> FindInNotes(TOutlineTree& outline, const TStringList& pool,
                                      std::int32_t index, TLinePlace from,
                                      const TSearchPattern& pattern) {
    const std::int32_t total = outline.TotalItems();
    if (pattern.Empty() || total == 0) {
        return std::nullopt;
    }
    index = std::clamp(index, 1, total);
    TOutlineWalk walk(outline, index);
    const TNoteLines start = NoteLinesOf(walk.Item(), pool);
    if (auto match = InNote(pool, start, index, start.Count, from, pattern)) {
        return match;
    }
    // The items just after the start first, their notes read as they come:
    // a match nearby is found without reading the rest of the pool.
    TNoteRuns runs(pool, pattern);
    bool more = true;
    std::size_t nearLines = 0;
    for (std::int32_t near = 0;
         (near < NearItemsAtLeast ||
          (near < NearItemsAtMost && nearLines < pool.Count() / NearShareOfPool)) &&
         (more = walk.Next());
         ++near) {
        if (auto match = runs.Add(walk.Item(), walk.Position())) {
            return match;
        }
        nearLines += NoteLinesOf(walk.Item(), pool).Count;
    }
    if (auto match = runs.Flush()) {
        return match;
    }
    // Then the whole pool at memory speed, which holds every note: often it
    // holds no match at all, and with few the walk on through the items
    // need not read their notes.
    if (auto places = MatchingLines(pool, pattern, MostPoolMatches)) {
        if (places->empty()) {
            return std::nullopt;
        }
        runs.UseMatches(std::move(*places));
    }
    while (more && walk.Next()) {
        if (auto match = runs.Add(walk.Item(), walk.Position())) {
            return match;
        }
    }
    if (auto match = runs.Flush()) {
        return match;
    }
    // Once around: from item 1 up to where the search began.
    TOutlineWalk around(outline, 1);
    while (around.Position() < index) {
        if (auto match = runs.Add(around.Item(), around.Position())) {
            return match;
        }
        around.Next();
    }
    if (auto match = runs.Flush()) {
        return match;
    }
    auto match = InNote(pool, start, index, from.Line + 1, {}, pattern);
    if (match && match->Place < from) {
        return match;
    }
    return std::nullopt;
}

TLinePlace NotePlaceOf(const TStringList& pool, std::size_t first, std::size_t count,
                       std::size_t offset) {
    for (std::size_t line = 0; line < count && first + line < pool.Count(); ++line) {
        const std::string_view text = pool[first + line];
        std::size_t at = 0;
        for (; offset > 0 && at < text.size(); --offset) {
            at += CharLengthAt(text, at);
        }
        if (at < text.size() || offset == 0) {
            return {line, at};
        }
        if (offset < 2) {
            return {line, text.size()};
        }
        offset -= 2;
    }
    return {count, 0};
}

std::size_t NoteOffsetOf(const TStringList& pool, std::size_t first, TLinePlace place) {
    std::size_t offset = 0;
    for (std::size_t line = 0; line < place.Line; ++line) {
        offset += CharCount(pool[first + line]) + 2;
    }
    return offset + CharCount(pool[first + place.Line].substr(0, place.Column));
}

} // namespace virevi
