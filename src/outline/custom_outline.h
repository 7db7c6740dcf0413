#pragma once
// The outline's model: the item tree under a hidden root, positions in
// outline order, the shown rows and the selection, kept in step with the row
// cursor it derives from.
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "outline/custom_grid.h"
#include "outline/outline_node.h"
#include "outline/outline_pictures.h"
#include "outline/outline_store.h"
#include "outline/width_tally.h"

namespace virevi {

class TFileStream;

/// Stored as the ordinal.
enum class TOutlineStyle : std::uint8_t {
    osText,
    osPlusMinusText,
    osPictureText,
    osPlusMinusPictureText,
    osTreeText,
    osTreePictureText,
};
using TOutlineOptions = std::uint8_t;
inline constexpr TOutlineOptions ooDrawTreeRoot = 1;
inline constexpr TOutlineOptions ooDrawFocusRect = 2;
inline constexpr TOutlineOptions ooStretchBitmaps = 4;
enum class TOutlineType : std::uint8_t { otStandard, otOwnerDraw };

class TCustomOutline : public TCustomGrid {
public:
    TCustomOutline();
    ~TCustomOutline() override;

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

    /// The new item's position, or 0 when the attach failed (the error went to
    /// ShowError). 0 adds a last top-level item; a negative index raises.
    std::int32_t AddSibling(std::int32_t index, std::string_view text, void* data = nullptr);
    std::int32_t AppendChild(std::int32_t index, std::string_view text, void* data = nullptr);
    std::int32_t InsertBefore(std::int32_t index, std::string_view text, void* data = nullptr);
    /// Destroys the item and its subtree; the data pointers are not touched.
    void DeleteItem(std::int32_t index);
    void Delete(std::int32_t index) { DeleteItem(index); }
    /// Destroys every item; the data pointers are not touched.
    void ClearItems();
    /// Replaces the tree with the items of `source`, as a load does (AfterLoad
    /// runs); `source` is left empty. The data pointers travel with the items.
    void TakeItems(TCustomOutline& source);
    void ExpandAll();
    void ToggleExpanded(TOutlineNode* item);

    /// The item on view row `row`; raises EOutlineError beyond the shown rows.
    TOutlineNode* ItemOnRow(std::int32_t row);
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
    /// Replaces the tree; on every way out the outline is left loaded as far as read.
    void LoadOutline(const std::string& fileName);
    void LoadOutlineStream(TFileStream& stream);
    /// The same reader and writer over any byte source and sink: `read` returns
    /// the bytes delivered (0 at the end), `write` raises on failure.
    void LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read);
    void SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write);

    /// Runs after the reader has built a tree: all collapsed, row 0, item 1 selected.
    virtual void AfterLoad();
    /// Raise OnExpand / OnCollapse; overridable.
    virtual void NotifyExpand(std::int32_t index);
    virtual void NotifyCollapse(std::int32_t index);

    // --- the view ---------------------------------------------------------
    TOutlineStyle OutlineStyle() const { return OutlineStyle_; }
    void SetOutlineStyle(TOutlineStyle value);
    TOutlineOptions Options() const { return Options_; }
    void SetOptions(TOutlineOptions value);
    TOutlineType Style() const { return Style_; }
    void SetStyle(TOutlineType value);
    std::int32_t ItemHeight() const { return ItemHeight_; }
    /// With otStandard the font decides, and the value read back is the font's row height.
    void SetItemHeight(std::int32_t value);
    std::int32_t FontPixelSize() const { return FontPixelSize_; }
    /// None when the picture was cleared.
    const TBitmap* Picture(TOutlinePicture which) const;
    /// Copies `bitmap`; none frees the picture.
    void SetPicture(TOutlinePicture which, const TBitmap* bitmap);
    std::uint8_t PictureFlags() const { return PictureFlags_; }
    /// The width the item's row needs in the current style; 0 at the least.
    std::int32_t DisplayWidth(const TOutlineNode* item);
    /// Recomputes the row height from the font (otStandard only).
    void UpdateRowHeight();

    // --- input (the grid's notifications, extended) -----------------------
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
    void Resized() override;

    std::string ItemSeparator = "\\";
    /// The row painter of otOwnerDraw.
    std::function<void(TCustomOutline& sender, std::int32_t row, const TRect& rect,
                       TGridDrawState state)>
        OnDrawItem;
    std::function<void(TCustomOutline& sender, std::int32_t index)> OnExpand;
    std::function<void(TCustomOutline& sender, std::int32_t index)> OnCollapse;
    /// The application's error display, for failures of the add operations.
    std::function<void(const std::exception& error)> OnShowError;

protected:
    /// Selects the item on the current row, then raises OnClick.
    void Click() override;
    /// OnDblClick, then toggles the selected item.
    void DblClick() override;
    void DrawCell(TCanvas& canvas, std::int32_t row, const TRect& rect,
                  TGridDrawState state) override;
    void FontChanged() override;

    void RepaintRow(std::int32_t row) { InvalidateRow(row); }
    void RepaintAll() { InvalidateGrid(); }
    /// The column-width rule of the view; cheap, the widths are kept as they change.
    void UpdateColumnWidth();
    /// Measures every shown item again (after the font or the row height changed).
    void RetallyWidths();
    /// The error display; by default OnShowError.
    virtual void ShowError(const std::exception& error);
    /// Whether anything watches ExpandAll's single steps, which it then takes
    /// one item at a time: by default an OnExpand or OnClick handler. A
    /// subclass that overrides NotifyExpand, NotifyCollapse or Click to watch
    /// them says so here.
    virtual bool WatchesExpandSteps() const;
    /// The screen's pixels per inch, for the font's pixel size.
    virtual std::int32_t ScreenPixelsPerInch() const { return 96; }

private:
    friend class TOutlineNode;
    enum class TAttachKind { Sibling, Child, Before };

    std::int32_t Attach(std::int32_t index, std::string_view text, void* data, TAttachKind kind);
    void Remember(std::int32_t index);
    TOutlineNode* FindItem(std::int32_t index);
    TOutlineNode* ItemOnCurrentRow();
    TOutlineNode* NewItem(std::string_view text, void* data);
    void DestroyItem(TOutlineNode* item);
    void ReleaseSubtree(TOutlineNode* item);
    /// Drops every item at once without visiting them.
    void DropItems(bool keepMemory);
    void BuildFromOutlineText(const std::function<std::size_t(char*, std::size_t)>& read);
    void Relocate(TOutlineNode* source, std::int32_t destination, TAttachMode mode);
    void Expand(TOutlineNode* item);
    void Collapse(TOutlineNode* item);
    void ExpandSubtree(TOutlineNode* item);
    void WidthChangedUnder(const TOutlineNode* parent);
    /// Counts (sign +1) or uncounts (-1) the widths of `item` and its shown descendants.
    void TallyShown(const TOutlineNode* item, std::int32_t sign);
    void TallyChildren(const TOutlineNode* item, std::int32_t sign);
    void TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem);
    bool Tallying() const { return Tallying_; }
    std::int32_t WidthKey(std::string_view text, std::int32_t level);
    std::int32_t StyleWidthOffset() const;
    void DrawPictures(TCanvas& canvas, const TRect& rect, std::int32_t x, const TBitmap* first,
                      const TBitmap* second);
    void DrawTreeLines(TCanvas& canvas, const TRect& rect, const TOutlineNode* item,
                       std::int32_t level);
    void SelectItem(const TOutlineNode* item);
    /// The caption's width in the control's font, cached with the caption.
    std::int32_t CaptionWidth(const TOutlineNode* item, TCanvas& canvas);
    /// Forgets every cached caption width (the font changed).
    void ForgetCaptionWidths();
    void CaptionChanging(const TOutlineNode* item, std::string_view text);
    void SyncRowsAndRepaint();
    void CheckStorableDepth() const;

    void InsertChild(TOutlineNode* parent, std::int32_t place, TOutlineNode* child);
    void RemoveChild(TOutlineNode* child);
    void AddCounts(TOutlineNode* from, std::int32_t sizeDelta, std::int32_t shownDelta);
    static bool DeeperThan(const TOutlineNode* item, std::int32_t level);

    TOutlineStore Store_; // every item's node, caption and child list
    TOutlineNode* RootItem_ = nullptr;
    TOutlineNode* SelectedNode_ = nullptr;
    // The row of KnownRowItem_, while no row has moved since it was found.
    // Opening an item moves the rows below it by what opens, so ExpandAll,
    // when it opens item by item for a watcher, keeps the selection's row
    // without looking for it again through every list above it.
    const TOutlineNode* KnownRowItem_ = nullptr;
    std::int32_t KnownRow_ = 0;
    int WidthSuspended_ = 0;
    TOutlineStyle OutlineStyle_ = TOutlineStyle::osTreePictureText;
    TOutlineOptions Options_ = ooDrawTreeRoot | ooDrawFocusRect;
    TOutlineType Style_ = TOutlineType::otStandard;
    std::int32_t ItemHeight_ = 0;
    std::int32_t FontPixelSize_ = 0;
    TBitmap Pictures_[OutlinePictureCount];
    bool HasPicture_[OutlinePictureCount] = {};
    std::uint8_t PictureFlags_ = 0;
    bool SettingWidth_ = false;
    bool SettingHeight_ = false;
    // The widths of the shown rows, kept as rows come and go; only while a
    // measuring canvas exists.
    TWidthTally Widths_;
    bool Tallying_ = false;
    // Cached caption widths carry the generation they were measured in.
    std::uint8_t WidthGeneration_ = 1;
    TFont WidthFont_;
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

inline TOutlineNode* TCustomOutline::NewItem(std::string_view text, void* data) {
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
