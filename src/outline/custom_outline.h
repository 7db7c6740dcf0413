#pragma once
// The outline control: a one-column grid that shows an item tree as rows,
// draws them and answers the mouse and the keyboard. The tree's own
// operations are here too, handed on, so callers can treat the control as
// the outline it shows.
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
#include "outline/outline_tree.h"
#include "outline/width_tally.h"

namespace virevi {

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

    /// The item tree the control shows.
    TOutlineTree& Tree() { return Tree_; }
    const TOutlineTree& Tree() const { return Tree_; }

    // --- the tree's operations, as the tree has them ----------------------
    std::int32_t TotalItems() const { return Tree_.TotalItems(); }
    TOutlineNode* ItemAt(std::int32_t index) { return Tree_.ItemAt(index); }
    TOutlineNode* RootItem() const { return Tree_.RootItem(); }
    TOutlineNode* SelectedNode() const { return Tree_.SelectedNode(); }
    std::int32_t SelectedIndex() { return Tree_.SelectedIndex(); }
    void SetSelectedIndex(std::int32_t value) { Tree_.SetSelectedIndex(value); }
    std::int32_t AddSibling(std::int32_t index, std::string_view text, void* data = nullptr) {
        return Tree_.AddSibling(index, text, data);
    }
    std::int32_t AppendChild(std::int32_t index, std::string_view text, void* data = nullptr) {
        return Tree_.AppendChild(index, text, data);
    }
    std::int32_t InsertBefore(std::int32_t index, std::string_view text, void* data = nullptr) {
        return Tree_.InsertBefore(index, text, data);
    }
    void DeleteItem(std::int32_t index) { Tree_.DeleteItem(index); }
    void Delete(std::int32_t index) { Tree_.DeleteItem(index); }
    void ClearItems() { Tree_.ClearItems(); }
    void TakeItems(TOutlineTree& source) { Tree_.TakeItems(source); }
    void TakeItems(TCustomOutline& source) { Tree_.TakeItems(source.Tree_); }
    void ExpandAll() { Tree_.ExpandAll(); }
    void ToggleExpanded(TOutlineNode* item) { Tree_.ToggleExpanded(item); }
    TOutlineNode* ItemOnRow(std::int32_t row) { return Tree_.ItemOnRow(row); }
    std::int32_t RowOf(const TOutlineNode* item) const { return Tree_.RowOf(item); }
    void SaveOutline(const std::string& fileName) { Tree_.SaveOutline(fileName); }
    void LoadOutline(const std::string& fileName) { Tree_.LoadOutline(fileName); }
    void LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read) {
        Tree_.LoadOutlineFrom(read);
    }
    void SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write) {
        Tree_.SaveOutlineTo(write);
    }

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
    /// The steps the tree asks of the control.
    class TViewSteps final : public TOutlineView {
    public:
        explicit TViewSteps(TCustomOutline& outline) : Outline_(outline) {}
        std::int32_t Row() const override { return Outline_.Row(); }
        void SetRow(std::int32_t row) override { Outline_.SetRow(row); }
        std::int32_t RowCount() const override { return Outline_.RowCount(); }
        void SetRowCount(std::int32_t count) override;
        void Click() override { Outline_.Click(); }
        void RepaintRow(std::int32_t row) override { Outline_.RepaintRow(row); }
        void RepaintAll() override { Outline_.RepaintAll(); }
        void UpdateColumnWidth() override { Outline_.UpdateColumnWidth(); }
        bool TalliesWidths() const override { return Outline_.Tallying_; }
        void TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem) override {
            Outline_.TallyRows(item, sign, withItem);
        }
        void CaptionChanging(const TOutlineNode* item, std::string_view text) override {
            Outline_.CaptionChanging(item, text);
        }
        void Cleared() override { Outline_.Widths_.Clear(); }
        void Loaded() override;
        void NotifyExpand(std::int32_t index) override { Outline_.NotifyExpand(index); }
        void NotifyCollapse(std::int32_t index) override { Outline_.NotifyCollapse(index); }
        bool WatchesExpandSteps() const override { return Outline_.WatchesExpandSteps(); }
        void ShowError(const std::exception& error) override { Outline_.ShowError(error); }

    private:
        TCustomOutline& Outline_;
    };

    /// Counts (sign +1) or uncounts (-1) the widths of `item` and its shown descendants.
    void TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem);
    std::int32_t WidthKey(std::string_view text, std::int32_t level);
    std::int32_t StyleWidthOffset() const;
    void DrawPictures(TCanvas& canvas, const TRect& rect, std::int32_t x, const TBitmap* first,
                      const TBitmap* second);
    void DrawTreeLines(TCanvas& canvas, const TRect& rect, const TOutlineNode* item,
                       std::int32_t level);
    void SelectItem(const TOutlineNode* item);
    /// The caption's width in the control's font, cached with the caption.
    std::int32_t CaptionWidth(const TOutlineNode* item, TCanvas& canvas);
    void CaptionChanging(const TOutlineNode* item, std::string_view text);

    TOutlineTree Tree_;
    TViewSteps ViewSteps_{*this};
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
    TFont WidthFont_;
};

} // namespace virevi
