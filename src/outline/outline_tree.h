#pragma once
// The outline's items: the tree under a hidden root, positions in outline
// order, expanding and collapsing, the selection and the outline text file.
// Whatever shows the tree as rows does so through TOutlineView; a tree that
// no control shows (one being read from a file) keeps its rows for itself.
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "outline/outline_node.h"
#include "outline/outline_store.h"
#include "outline/row_cursor.h"

namespace virevi {

class TFileStream;

/// The steps the tree asks of its view. The row cursor's are required; the
/// rest repaint, measure and notify, and a view that has nothing to do for
/// them keeps the defaults.
class TOutlineView {
public:
    virtual ~TOutlineView() = default;

    // --- the row cursor ---------------------------------------------------
    virtual std::int32_t Row() const = 0;
    /// A move to another row raises the click notification.
    virtual void SetRow(std::int32_t row) = 0;
    virtual std::int32_t RowCount() const = 0;
    /// The current row past the new end moves to the last row without a click.
    virtual void SetRowCount(std::int32_t count) = 0;
    /// The click notification the tree raises when the current row's item
    /// changed without a move.
    virtual void Click() {}

    // --- repainting and the column width ----------------------------------
    virtual void RepaintRow(std::int32_t row) {}
    virtual void RepaintAll() {}
    virtual void UpdateColumnWidth() {}
    /// Whether the view keeps the widths of the shown rows, through the two
    /// steps below.
    virtual bool TalliesWidths() const { return false; }
    /// Counts (sign +1) or uncounts (-1) the width of `item`'s row when
    /// `withItem`, and those of its shown descendants.
    virtual void TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem) {}
    /// A shown item's caption is about to become `text`.
    virtual void CaptionChanging(const TOutlineNode* item, std::string_view text) {}
    /// Every item went at once, without a step for each.
    virtual void Cleared() {}
    /// After a load or a take-over: the tree is new from the top.
    virtual void Loaded() {}

    // --- notifications ----------------------------------------------------
    /// Before an item expands, and after one collapsed.
    virtual void NotifyExpand(std::int32_t index) {}
    virtual void NotifyCollapse(std::int32_t index) {}
    /// Whether anything watches the single steps of expanding a subtree,
    /// which then go one item at a time.
    virtual bool WatchesExpandSteps() const { return false; }
    /// The error display, for the failures of the add operations.
    virtual void ShowError(const std::exception& error) {}
};

class TOutlineTree {
public:
    TOutlineTree();
    ~TOutlineTree();
    TOutlineTree(const TOutlineTree&) = delete;
    TOutlineTree& operator=(const TOutlineTree&) = delete;

    /// Shows the tree in `view` from now on; none gives it back its own rows.
    /// The view's rows are brought in step.
    void SetView(TOutlineView* view);

    /// Number of items; 0 when empty.
    std::int32_t TotalItems() const;
    /// Raises EOutlineError for 0 and for a position that names no item.
    TOutlineNode* ItemAt(std::int32_t index);
    TOutlineNode* RootItem() const { return RootItem_; }
    /// The selected item as kept; the root when nothing is selected yet.
    TOutlineNode* SelectedNode() const { return SelectedNode_; }

    /// Selects the item on the current row first when nothing is selected and
    /// items exist, and a shown ancestor for a hidden item; 0 when empty.
    std::int32_t SelectedIndex();
    /// 0 means 1 while items exist; raises EOutlineError for values <= 0 and
    /// missing positions. A hidden item gives way to its nearest shown ancestor.
    void SetSelectedIndex(std::int32_t value);
    /// Selects the item on the current row (the row was clicked).
    void SelectCurrentRow();
    /// Forgets the selection, which the next SelectedIndex takes from the row.
    void ClearSelection() { SelectedNode_ = RootItem_; }

    /// The new item's position, or 0 when the attach failed (the error went to
    /// the view's ShowError). 0 adds a last top-level item; a negative index raises.
    std::int32_t AddSibling(std::int32_t index, std::string_view text, void* data = nullptr);
    std::int32_t AppendChild(std::int32_t index, std::string_view text, void* data = nullptr);
    std::int32_t InsertBefore(std::int32_t index, std::string_view text, void* data = nullptr);
    /// Destroys the item and its subtree; the data pointers are not touched.
    void DeleteItem(std::int32_t index);
    /// Destroys every item; the data pointers are not touched.
    void ClearItems();
    /// Replaces the tree with the items of `source`, as a load does; `source`
    /// is left empty. The data pointers travel with the items.
    void TakeItems(TOutlineTree& source);
    void ExpandAll();
    void ToggleExpanded(TOutlineNode* item);

    /// The item on view row `row`; raises EOutlineError beyond the shown rows.
    TOutlineNode* ItemOnRow(std::int32_t row);
    /// The item on the view's current row; the tree must have items.
    TOutlineNode* ItemOnCurrentRow();
    /// The item's row; an item that is not shown gives the last row.
    std::int32_t RowOf(const TOutlineNode* item) const;
    /// Puts the current row on the item (a focus move when the row changes).
    void MoveRowTo(TOutlineNode* item);
    /// Row count := shown items, then the selection's row; true when the count changed.
    bool SyncRows();

    /// Lines of Level - 1 tabs, the caption's storable form and CR LF.
    /// Raises EOutlineError before writing anything for an item too deep to store.
    void SaveOutline(const std::string& fileName);
    void SaveOutlineStream(TFileStream& stream);
    /// Replaces the tree; on every way out the tree is left loaded as far as read.
    void LoadOutline(const std::string& fileName);
    void LoadOutlineStream(TFileStream& stream);
    /// The same reader and writer over any byte source and sink: `read` returns
    /// the bytes delivered (0 at the end), `write` raises on failure.
    void LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read);
    void SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write);

    /// After a tree was built from a file: all collapsed, row 0, item 1 selected.
    void AfterLoad();

    /// Captions keep the width the view measured, marked with the generation
    /// it was measured in; only the current generation's marks count.
    std::uint8_t WidthGeneration() const { return WidthGeneration_; }
    /// Makes every kept width stale (the view's font changed).
    void ForgetCaptionWidths();

private:
    friend class TOutlineNode;
    enum class TAttachKind { Sibling, Child, Before };

    /// The rows of a tree that no view shows.
    class TOwnRows final : public TOutlineView {
    public:
        std::int32_t Row() const override { return Rows_.Row(); }
        void SetRow(std::int32_t row) override { Rows_.SetRow(row); }
        std::int32_t RowCount() const override { return Rows_.RowCount(); }
        void SetRowCount(std::int32_t count) override { Rows_.SetRowCount(count); }

    private:
        TRowCursor Rows_;
    };

    std::int32_t Attach(std::int32_t index, std::string_view text, void* data, TAttachKind kind);
    /// The three add operations: checks, attaches, then looks `index` up again.
    std::int32_t Add(std::int32_t index, std::string_view text, void* data, TAttachKind kind);
    TOutlineNode* FindItem(std::int32_t index);
    TOutlineNode* NewItem(std::string_view text, void* data);
    void DestroyItem(TOutlineNode* item);
    void ReleaseSubtree(TOutlineNode* item);
    /// Drops every item at once without visiting them.
    void DropItems(bool keepMemory);
    void BuildFromOutlineText(const std::function<std::size_t(char*, std::size_t)>& read);
    void SetCaption(TOutlineNode* item, std::string_view text);
    void Relocate(TOutlineNode* source, std::int32_t destination, TAttachMode mode);
    void Expand(TOutlineNode* item);
    void Collapse(TOutlineNode* item);
    void ExpandSubtree(TOutlineNode* item);
    void WidthChangedUnder(const TOutlineNode* parent);
    void SyncRowsAndRepaint();
    void CheckStorableDepth() const;

    void InsertChild(TOutlineNode* parent, std::int32_t place, TOutlineNode* child);
    void RemoveChild(TOutlineNode* child);
    void AddCounts(TOutlineNode* from, std::int32_t sizeDelta, std::int32_t shownDelta);
    static bool DeeperThan(const TOutlineNode* item, std::int32_t level);

    TOutlineStore Store_; // every item's node, caption and child list
    TOutlineNode* RootItem_ = nullptr;
    TOutlineNode* SelectedNode_ = nullptr;
    TOwnRows OwnRows_;
    TOutlineView* View_ = &OwnRows_;
    // The row of KnownRowItem_, while no row has moved since it was found.
    // Opening an item moves the rows below it by what opens, so ExpandAll,
    // when it opens item by item for a watcher, keeps the selection's row
    // without looking for it again through every list above it.
    const TOutlineNode* KnownRowItem_ = nullptr;
    std::int32_t KnownRow_ = 0;
    std::uint8_t WidthGeneration_ = 1;
    // No item is deeper than this level; it may overstate, never understate,
    // so saving walks the tree for the real depth only when it is large.
    mutable std::int64_t DepthBound_ = 0;
};

// Made for every line of a file being read, so kept where the reader sees them.

inline char* TOutlineNode::NewText(TOutlineStore& store, std::string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    const std::size_t header =
        (text.size() < 255 ? 1 : 1 + sizeof(std::uint32_t)) + WidthCacheBytes;
    auto* block = static_cast<char*>(store.Allocate(header + text.size()));
    if (text.size() < 255) {
        block[0] = static_cast<char>(text.size());
    } else {
        const auto length = static_cast<std::uint32_t>(text.size());
        block[0] = static_cast<char>(255);
        std::memcpy(block + 1, &length, sizeof length);
    }
    WidthCacheIn(block)[0] = 0;
    std::memcpy(block + header, text.data(), text.size());
    return block;
}

inline TOutlineNode* TOutlineTree::NewItem(std::string_view text, void* data) {
    void* memory = Store_.Allocate(sizeof(TOutlineNode));
    auto* item = new (memory) TOutlineNode(data);
    try {
        item->Text_ = TOutlineNode::NewText(Store_, text);
    } catch (...) {
        Store_.Release(item, sizeof(TOutlineNode));
        throw;
    }
    return item;
}

} // namespace virevi
