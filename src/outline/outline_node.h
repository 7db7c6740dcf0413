#pragma once
// One item of the outline: a caption, the caller's data pointer and the
// item's children.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace virevi {

class TOutlineStore;
class TOutlineTree;

/// Where MoveItem puts the moved item, relative to the destination.
enum class TAttachMode : std::uint8_t {
    amLastSibling = 0, ///< last child of the destination's parent
    amLastChild = 1,   ///< last child of the destination
    amBefore = 2,      ///< just before the destination, under the same parent
};

class TOutlineNode {
public:
    TOutlineNode(const TOutlineNode&) = delete;
    TOutlineNode& operator=(const TOutlineNode&) = delete;

    /// The caption's bytes as stored (Shift-JIS, never converted).
    std::string_view Text() const {
        return Text_ == nullptr ? std::string_view() : CaptionIn(Text_);
    }
    /// Repaints the item's row when it is shown.
    void SetText(std::string_view value);

    /// The caller's pointer; the outline never reads, allocates or frees it.
    void* Data() const { return Data_; }
    void SetData(void* value) { Data_ = value; }

    /// 1-based place in outline order, shown or not; 0 for the root.
    std::int32_t Index() const;
    /// Number of ancestors: 0 for the root, 1 for a top-level item.
    std::int32_t Level() const;
    /// The root for a top-level item; none for the root.
    TOutlineNode* Parent() const { return Parent_; }
    /// The tree the item belongs to.
    TOutlineTree* Tree() const;

    bool Expanded() const { return Expanded_; }
    /// Expanding raises EOutlineError when an ancestor is collapsed; collapsing
    /// collapses the whole subtree. Nothing when the flag already has `value`.
    void SetExpanded(bool value);
    /// Expands this item and every descendant that has children; nothing for a
    /// childless item.
    void ExpandAll();
    /// False for the root.
    bool IsShown() const;
    // A child list is never empty: the last child leaving takes it along.
    bool HasChildren() const { return Children_ != nullptr; }
    std::int32_t ChildCount() const { return Children_ == nullptr ? 0 : Children_->Count; }
    /// The child at 0-based `place`; `place` must be below ChildCount().
    TOutlineNode* Child(std::int32_t place) const { return (*Children_)[place]; }
    /// The item's 0-based place among its parent's children; the item must have a parent.
    std::int32_t PlaceInParent() const;
    /// Shown descendants: 0 when collapsed.
    std::int32_t ShownCount() const { return ShownCount_; }
    /// This item when shown, else the nearest ancestor that is.
    TOutlineNode* NearestShownItem();
    /// Position of the last item of the subtree; the own position when childless.
    std::int32_t LastIndexInSubtree() const;
    /// Position of the child after the child at position `childIndex`; -1 when
    /// that child is the last one or no child has that position.
    std::int32_t NextSiblingIndex(std::int32_t childIndex) const;

    /// Raises EOutlineError below level 1 and for each deeper step on a first
    /// child; deeper steps done before a refusal stay done.
    void SetLevel(std::int32_t newLevel);
    void ShiftLevel(std::int8_t delta);
    /// Moves the item with its subtree; a destination inside the subtree does nothing.
    void MoveItem(std::int32_t destination, TAttachMode mode);

    /// The n-th shown descendant in display order, 0 giving the item itself;
    /// raises EOutlineError beyond the shown descendants.
    TOutlineNode* ShownItemAt(std::int32_t n);
    /// The item at position `n` within this subtree; raises OutlineError when none.
    TOutlineNode* ItemAtIndex(std::int32_t n);

    /// The caption's width as the view last measured it, when that was in
    /// `generation`; the width lives with the caption, so an empty one has none.
    bool CachedWidth(std::uint8_t generation, std::uint16_t& width) const {
        if (Text_ == nullptr) {
            return false;
        }
        const char* cache = WidthCacheIn(Text_);
        if (static_cast<std::uint8_t>(cache[0]) != generation) {
            return false;
        }
        std::memcpy(&width, cache + 1, sizeof width);
        return true;
    }
    void CacheWidth(std::uint8_t generation, std::uint16_t width) const {
        if (Text_ != nullptr) {
            char* cache = WidthCacheIn(Text_);
            cache[0] = static_cast<char>(generation);
            std::memcpy(cache + 1, &width, sizeof width);
        }
    }

private:
    friend class TOutlineTree;

    // Positions and rows are kept relative to the parent and summed on the
    // way up. A child list knows how far its children's cached offsets are
    // correct (Valid), and how far their rows are (RowValid, never past
    // Valid); a change inside the list only pulls them back, and readers
    // extend them forward as far as they need. Opening or closing an item
    // moves rows but no positions, so it pulls back RowValid alone. The
    // child pointers follow the header in the same block.
    struct alignas(alignof(TOutlineNode*)) TChildList {
        std::int32_t Count = 0;
        std::int32_t Capacity = 0;
        std::int32_t Valid = 0;
        std::int32_t RowValid = 0;

        /// Offsets and rows from `place` on are stale.
        void Invalidate(std::int32_t place) {
            Valid = std::min(Valid, place);
            RowValid = std::min(RowValid, place);
        }

        static std::size_t BlockBytes(std::int32_t capacity) {
            static_assert(sizeof(TChildList) % alignof(TOutlineNode*) == 0,
                          "the child pointers follow the header aligned");
            return sizeof(TChildList) + sizeof(TOutlineNode*) * static_cast<std::size_t>(capacity);
        }
        TOutlineNode** begin() { return reinterpret_cast<TOutlineNode**>(this + 1); }
        TOutlineNode** end() { return begin() + Count; }
        TOutlineNode* const* begin() const {
            return reinterpret_cast<TOutlineNode* const*>(this + 1);
        }
        TOutlineNode* const* end() const { return begin() + Count; }
        TOutlineNode*& operator[](std::int32_t place) { return begin()[place]; }
        TOutlineNode* operator[](std::int32_t place) const { return begin()[place]; }
    };

    explicit TOutlineNode(void* data) : Data_(data) {}
    ~TOutlineNode() = default;

    // Captions are stored as a length byte, the view's cached width of the
    // caption (WidthCacheBytes) and the bytes; 255 in the length byte means a
    // 32-bit length follows it, before the cached width.
    static constexpr std::size_t WidthCacheBytes = 3;
    static inline char* NewText(TOutlineStore& store, std::string_view text);
    static void ReleaseText(TOutlineStore& store, char* text) noexcept;
    /// The cached width: a generation byte (0: none) and a 16-bit width.
    static char* WidthCacheIn(char* block) {
        return static_cast<unsigned char>(block[0]) < 255 ? block + 1
                                                          : block + 1 + sizeof(std::uint32_t);
    }
    static std::string_view CaptionIn(const char* block) {
        const auto length = static_cast<unsigned char>(block[0]);
        if (length < 255) {
            return {block + 1 + WidthCacheBytes, length};
        }
        std::uint32_t longLength;
        std::memcpy(&longLength, block + 1, sizeof longLength);
        return {block + 1 + sizeof longLength + WidthCacheBytes, longLength};
    }

    /// The place in the parent's list when it lies where cached offsets are
    /// correct, else -1.
    std::int32_t CheckedPlace() const;
    void ValidateThrough(std::int32_t place) const;
    /// Child place whose position range holds `offset` (relative to this item).
    std::int32_t ChildPlaceForOffset(std::int32_t offset) const;
    /// Child place whose row range holds `rowOffset` (relative to this item).
    std::int32_t ChildPlaceForRow(std::int32_t rowOffset) const;
    /// Marks cached offsets after this item in its parent's list as stale.
    void InvalidateFollowing() const;
    /// ... only their rows: this item's shown count changed, not its size.
    void InvalidateFollowingRows() const;
    std::int32_t RowInOutline() const;

    TOutlineNode* Parent_ = nullptr;
    TChildList* Children_ = nullptr;
    void* Data_ = nullptr;
    char* Text_ = nullptr;  // none for an empty caption
    std::int32_t Size_ = 1; // items in the subtree, this one included
    std::int32_t ShownCount_ : 31 = 0;
    bool Expanded_ : 1 = false;
    mutable std::int32_t Offset_ = 1;    // position minus the parent's position
    mutable std::int32_t RowOffset_ = 1; // row minus the parent's row
};

/// Calls visit(item, depth) for every item below `top` in outline order,
/// depth 0 for its children, without recursion: an outline read from a file
/// may be a million levels deep.
template <typename TNode, typename TVisit> void VisitDescendants(TNode* top, TVisit&& visit) {
    std::vector<std::pair<TNode*, std::int32_t>> path{{top, 0}};
    while (!path.empty()) {
        auto& [node, next] = path.back();
        if (next >= node->ChildCount()) {
            path.pop_back();
            continue;
        }
        TNode* child = node->Child(next++);
        visit(child, path.size() - 1);
        if (child->HasChildren()) {
            path.emplace_back(child, 0);
        }
    }
}

} // namespace virevi
